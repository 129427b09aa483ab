#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QLineEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QToolButton;

// The test levels of the 96 channels, 0 to 255: entry k for channel k, entry 0 unused. Nothing
// reads them but the panel; nothing is sent to any device.
using TDmxLevels = std::array<uint8_t, 97>;

// A level as the panel and the master fader show it: "128", or in percent "50 %".
QString LevelText(int level, bool percent);

// The panel of 96 test faders.
class TfrmDmxPanel : public QDialog {
    Q_OBJECT
public:
    // The panel shows and sets levels, which outlive it.
    explicit TfrmDmxPanel(TDmxLevels &levels, QWidget *parent = nullptr);

    // Shows the level of the fader in its value box and stores it in the levels.
    void DmxChLevelChange(QScrollBar *fader);
    void IsPercentClick();

    QScrollArea *ScrollBox;
    QPushButton *BitBtn1;
    QToolButton *IsPercent;

private:
    TDmxLevels &levels_;
};
