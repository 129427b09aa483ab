// The DMX panel live: its faders, the master and the attribute view's 16-bit split read back from
// olad; olad stopping gives one message, and the panel goes on offline.

#include "app/DmxPanel.h"
#include "fxr/FixtureReader.h"
#include "model/FixClasses.h"
#include "support/Olad.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

class TestLivePanel : public QObject {
    Q_OBJECT
private slots:
    void FadersMasterAndAttributesReadBack();
};

void TestLivePanel::FadersMasterAndAttributesReadBack()
{
    if (const std::string why = testing_support::OladMissing(); !why.empty())
        QSKIP(why.c_str());
    QStandardPaths::setTestModeEnabled(true);
    testing_support::TOlad olad(2);
    qputenv("RIGSMITH_OLA_PORT", QByteArray::fromStdString(olad.Port()));
    TScriptedDialogs dialogs;
    const TFixture fixture = ReadFixtureFile(RIGSMITH_SOURCE_DIR "/data/Fixtures/demo-spot.fxr");
    TDmxLevels levels{};
    TfrmDmxPanel panel(levels, &fixture);
    panel.LiveUniverse->setValue(2);
    panel.LiveAddress->setValue(3);
    panel.LiveOutput->setChecked(true);
    const auto move = [&](const QString &fader, int level) {
        auto *bar = panel.findChild<QScrollBar *>(fader);
        bar->setValue(bar->maximum() - level);
    };
    const auto universe = [&olad](std::size_t channels) {
        std::vector<int> read = olad.Levels();
        read.resize(channels);
        return read;
    };
    // Channel k of the panel is channel k of the universe, scaled by the master.
    move("DmxChLevel1", 200);
    move("DmxChLevel3", 255);
    QTRY_COMPARE(universe(3), (std::vector<int>{200, 0, 255}));
    panel.SetMaster(128);
    QTRY_COMPARE(universe(3), (std::vector<int>{100, 0, 128}));
    panel.SetMaster(255);
    // Pan, 16 bits on its patches 1 and 2, and Dimmer on 5, from address 3.
    panel.ByAttribute->setChecked(true);
    move("DmxAttrLevel1", 0x1234);
    move("DmxAttrLevel3", 255);
    QTRY_COMPARE(universe(7), (std::vector<int>{200, 0, 0x12, 0x34, 0, 0, 255}));
    QCOMPARE(QSettings().value("live/address").toInt(), 3);

    olad.Stop();
    move("DmxAttrLevel3", 10);
    QTRY_COMPARE(dialogs.Shown.size(), 1u);
    QCOMPARE(dialogs.Shown[0].Text, "The connection to olad was lost: did it stop?\nLive output is off.");
    QVERIFY(!panel.LiveOutput->isChecked());
    move("DmxAttrLevel3", 20);
    QCOMPARE(panel.findChild<QLineEdit *>("DmxAttrValue3")->text(), "20");
    QCOMPARE(dialogs.Shown.size(), 1u);
}

QTEST_MAIN(TestLivePanel)
#include "test_live_panel.moc"
