#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QToolButton;

// The test levels of the 96 channels, 0 to 255, for the run of the program. Nothing reads them
// but the panel; nothing is sent to any device.
extern std::array<uint8_t, 97> DmxLevels; // entry k for channel k; entry 0 unused

// A level as the panel and the master fader show it: "128", or in percent "50 %".
QString LevelText(int level, bool percent);

// The panel of 96 test faders.
class TfrmDmxPanel : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDmxPanel(QWidget *parent = nullptr);

    // Shows the level of the fader in its value box and stores it in DmxLevels.
    void DmxChLevelChange(QScrollBar *fader);
    void IsPercentClick();

    QScrollArea *ScrollBox;
    QPushButton *BitBtn1;
    QToolButton *IsPercent;
};
