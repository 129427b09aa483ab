// Unsaved work is copied aside while the editor runs and offered back after it ended without saving.

#include "app/MainFormClass.h"
#include "app/Recovery.h"
#include "fxr/FixtureWriter.h"
#include "model/FixDatas.h"
#include "support/MainWindowHarness.h"

#include <QLineEdit>
#include <QtTest>

namespace {

const QByteArray ParText = "Version = 1.0\r\nFixture = \"Par\"\r\nDmx_Channels = 2\r\nPARAMETERS\r\n"
                           "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, LINEAR, 0\r\nENDPARAMETERS\r\n";

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainWindowHarness> window_;
    QString Dir() const { return window_->Path("unsaved"); }

    // An editor that loaded par.fxr, renamed the fixture and ended without saving or discarding.
    void LeaveUnsavedWork()
    {
        window_->Start(false);
        window_->Load(window_->Path("par.fxr"));
        QTest::keyClicks(window_->Controls().FixtureName, " 64");
        QVERIFY(!CurrentFixture().Saved);
        TRecovery ended(Dir());
        ended.Poll();
        QVERIFY(QFile::exists(ended.CopyPath()));
        window_->CloseForm();
        CurrentFixture() = TFixture();
    }

private slots:
    void init()
    {
        window_ = std::make_unique<TMainWindowHarness>();
        TMainWindowHarness::WriteBytes(window_->Path("par.fxr"), ParText);
    }
    void cleanup()
    {
        window_->Finish(true);
        window_.reset();
    }

    void poll_copiesUnsavedWorkUntilItIsSaved()
    {
        TRecovery recovery(Dir());
        QVERIFY(recovery.Active());
        QCOMPARE(recovery.CopyPath(), Dir() + "/unsaved-0.fxr");
        TFixture &f = CurrentFixture();
        recovery.Poll();
        QVERIFY(!QFile::exists(recovery.CopyPath()));

        for (const char *name : {"Spot", "Spot 2"}) {
            f.Name = name;
            f.FileDir = "/home/ann/Fixtures";
            f.FileName = "spot.fxr";
            f.Saved = false;
            recovery.Poll();
            QCOMPARE(TMainWindowHarness::ReadBytes(recovery.CopyPath()),
                     "// Rigsmith unsaved work\t1\t/home/ann/Fixtures\tspot.fxr\r\n" +
                         QByteArray::fromStdString(FormatFixture(f, 2)));
        }
        f.Saved = true;
        recovery.Poll();
        QVERIFY(!QFile::exists(recovery.CopyPath()));
    }

    void offer_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("accept");
        for (const bool compact : {false, true}) {
            TMainWindowHarness::LayoutRow(compact, "Yes") << true;
            TMainWindowHarness::LayoutRow(compact, "No") << false;
        }
    }
    void offer()
    {
        QFETCH(bool, compact);
        QFETCH(bool, accept);
        LeaveUnsavedWork();

        window_->Start(compact);
        window_->Forget();
        window_->Dialogs().Answers.push_back(accept ? TAnswer::Yes : TAnswer::No);
        TRecovery recovery(Dir());
        QCOMPARE(recovery.Offer(window_->Controller()), accept);
        QCOMPARE(window_->Questions(),
                 QStringList{"Rigsmith ended without saving the changes to \"Par 64\". Recover them?"});
        const TFixture &f = CurrentFixture();
        if (accept) {
            QCOMPARE(f.Name, std::string("Par 64"));
            QCOMPARE(QString::fromStdString(f.FileDir + "/" + f.FileName), window_->Path("par.fxr"));
            QCOMPARE(f.FormatVersion, 1);
            QVERIFY(!f.Saved);
            QCOMPARE(window_->Controls().FixtureName->text(), "Par 64");
            QCOMPARE(window_->Controls().FileName->text(), "par.fxr");
            QVERIFY(QFile::exists(recovery.CopyPath())); // still unsaved
        } else {
            QCOMPARE(f.Name, std::string());
            QVERIFY(!QFile::exists(recovery.CopyPath()));
        }
        QCOMPARE(TMainWindowHarness::ReadBytes(window_->Path("par.fxr")), ParText);
    }

    void offer_notTheCopyOfARunningEditor()
    {
        LeaveUnsavedWork();
        TRecovery running(Dir());
        CurrentFixture().Name = "Running";
        CurrentFixture().Saved = false;
        running.Poll();

        window_->Start(false);
        TRecovery second(Dir());
        QCOMPARE(second.CopyPath(), Dir() + "/unsaved-1.fxr");
        QVERIFY(!second.Offer(window_->Controller()));
        QCOMPARE(window_->Questions(), QStringList());
        QVERIFY(QFile::exists(running.CopyPath()));
    }

    void offer_unreadableCopyGoesWithoutAsking_data()
    {
        QTest::addColumn<QByteArray>("copy");
        QTest::newRow("not a copy") << ParText;
        QTest::newRow("not a fixture") << QByteArray("// Rigsmith unsaved work\t2\t\t\r\nPARAMETERS\r\n"
                                                     "\"A\", 1, IN, HTP, 8, 1, na, LINEAR, 0, zz, LINEAR, 0\r\n"
                                                     "ENDPARAMETERS\r\n");
    }
    void offer_unreadableCopyGoesWithoutAsking()
    {
        QFETCH(QByteArray, copy);
        TMainWindowHarness::WriteBytes(Dir() + "/unsaved-0.fxr", copy);
        window_->Start(false);
        TRecovery recovery(Dir());
        QVERIFY(!recovery.Offer(window_->Controller()));
        QCOMPARE(window_->Questions(), QStringList());
        QVERIFY(!QFile::exists(recovery.CopyPath()));
    }

    void discard_removesTheCopy()
    {
        TRecovery recovery(Dir());
        CurrentFixture().Saved = false;
        recovery.Poll();
        QVERIFY(QFile::exists(recovery.CopyPath()));
        recovery.Discard();
        QVERIFY(!QFile::exists(recovery.CopyPath()));
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
