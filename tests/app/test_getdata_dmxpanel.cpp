// The Dmx panel's level texts. The value dialog and the panel themselves are played in
// tests/data/app/scenarios/dialogs.txt.

#include "app/DmxPanel.h"

#include <QtTest>

#include <cstdlib>

class TestGetDataDmxPanel : public QObject {
    Q_OBJECT

private slots:
    void levelText()
    {
        // The level itself, or the nearest whole percentage p: |p * 255 - v * 100| < 255 / 2.
        for (int v = 0; v <= 255; ++v) {
            QCOMPARE(LevelText(v, false), QString::number(v));
            QString text = LevelText(v, true);
            QVERIFY2(text.endsWith(" %"), qPrintable(text));
            text.chop(2);
            bool ok = false;
            const int p = text.toInt(&ok);
            QVERIFY2(ok, qPrintable(text));
            QVERIFY2(2 * std::abs(p * 255 - v * 100) < 255, qPrintable(QString("%1 gives %2").arg(v).arg(p)));
        }
    }
};

QTEST_MAIN(TestGetDataDmxPanel)
#include "test_getdata_dmxpanel.moc"
