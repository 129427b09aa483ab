#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QToolButton;

class TCommand;
class TFixture;
class TLiveOutput;
class TPalette;

// The test levels of the 96 channels, 0 to 255: entry k for channel k, entry 0 unused. Nothing
// reads them but the panel; with live output on, the panel sends them to a DMX universe.
using TDmxLevels = std::array<uint8_t, 97>;

// A level as the panel and the master fader show it: "128", or in percent "50 %".
QString LevelText(int level, bool percent);

// The panel of 96 test faders, or of one fader per attribute of the current fixture, and the
// window's live output: with "Live output" on, the faders' levels, scaled by the master, go to a
// universe through olad, and so do the commands and palettes the pages send.
class TfrmDmxPanel : public QDialog {
    Q_OBJECT
public:
    // The panel shows and sets levels, which outlive it, and shows the attributes of the fixture,
    // when there is one.
    explicit TfrmDmxPanel(TDmxLevels &levels, const TFixture *fixture = nullptr, QWidget *parent = nullptr);
    ~TfrmDmxPanel() override;

    // The master's level, 0 to 255, which scales what the faders send.
    void SetMaster(int level);
    bool Live() const { return live_ != nullptr; }
    // A command's steps in order, each held for its time; a palette's values.
    void SendCommand(const TFixture &fixture, const TCommand &command);
    void SendPalette(const TFixture &fixture, const TPalette &palette);
    // Rebuilds the attribute view from the fixture.
    void ShowAttributes();

    // Shows the level of the fader in its value box and stores it in the levels.
    void DmxChLevelChange(QScrollBar *fader);
    void IsPercentClick();

    QScrollArea *ScrollBox;
    QPushButton *BitBtn1;
    QToolButton *IsPercent;
    QCheckBox *LiveOutput;
    QSpinBox *LiveUniverse;
    QToolButton *ByAttribute;
    QScrollArea *AttributeBox;
    QSpinBox *LiveAddress;
    QLabel *LiveStatus;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void LiveOutputClick();
    void LiveFailed(const QString &message);
    // Sends the levels of the view shown.
    void SendFaders();

    TDmxLevels &levels_;
    const TFixture *fixture_;
    int master_ = 255;
    // The attribute faders' levels by attribute name, kept while the view is rebuilt.
    std::map<std::string, int> attributeLevels_;
    std::unique_ptr<TLiveOutput> live_;
};

// The pages' way to the live output of the panel of their window. A command asks for live output
// to be switched on when it is off (the panel opens); a palette is sent only while it is on.
void SendCommandLive(const QWidget *page, const TFixture &fixture, const TCommand &command);
void SendPaletteLive(const QWidget *page, const TFixture &fixture, const TPalette &palette);
