// Unsaved work is copied aside while the editor runs and offered back after it ended without saving.

#include "app/MainFormClass.h"
#include "app/Recovery.h"
#include "support/MainWindowHarness.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QtTest>

namespace {

const QByteArray ParText = "Version = 1.0\r\nFixture = \"Par\"\r\nDmx_Channels = 2\r\nPARAMETERS\r\n"
                           "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, LINEAR, 0\r\nENDPARAMETERS\r\n";

} // namespace

class TestRecovery : public TWindowTest {
    Q_OBJECT

    QString Dir() const { return window_->Path("unsaved"); }

    // An editor that loaded par.fxr, renamed the fixture and ended without saving or discarding.
    void LeaveUnsavedWork(const std::function<void(TFixture &)> &change = {})
    {
        window_->Start(false);
        window_->Load(window_->Path("par.fxr"));
        QTest::keyClicks(window_->Widget<QLineEdit>("FixtureName"), " 64");
        if (change)
            change(Fixture());
        QVERIFY(!Fixture().Saved);
        TRecovery ended(Fixture(), Dir());
        ended.Poll();
        QVERIFY(QFile::exists(ended.CopyPath()));
        window_->CloseForm();
    }

    static QJsonObject Copy(const QString &path)
    {
        return QJsonDocument::fromJson(TMainWindowHarness::ReadBytes(path)).object();
    }

private slots:
    void init()
    {
        Begin();
        TMainWindowHarness::WriteBytes(window_->Path("par.fxr"), ParText);
    }
    void cleanup() { Finish(); }

    // The copy follows the work until it is saved, and names the file by its absolute path,
    // whatever directory the next editor starts in.
    void poll_copiesUnsavedWorkUntilItIsSaved()
    {
        TFixture f;
        TRecovery recovery(f, Dir());
        QVERIFY(recovery.Active());
        QCOMPARE(recovery.CopyPath(), Dir() + "/unsaved-0.json");
        recovery.Poll();
        QVERIFY(!QFile::exists(recovery.CopyPath()));

        const struct {
            const char *Name, *Dir, *Written;
        } cases[] = {{"Spot", "/home/ann/Fixtures", "/home/ann/Fixtures"}, {"Spot 2", "", ""}, {"Spot 3", "A", "A"}};
        const char *before = nullptr;
        for (const auto &c : cases) {
            f.Name = c.Name;
            f.FileDir = c.Dir;
            f.FileName = "spot.fxr";
            f.Saved = false;
            // Only a change the controller reports is copied; the first poll always looks.
            recovery.Poll();
            if (before)
                QCOMPARE(Copy(recovery.CopyPath())["Fixture"].toObject()["Name"].toString(), before);
            recovery.MarkChanged();
            recovery.Poll();
            const QJsonObject copy = Copy(recovery.CopyPath());
            QCOMPARE(copy["Fixture"].toObject()["Name"].toString(), c.Name);
            QCOMPARE(copy["Fixture"].toObject()["FileName"].toString(), "spot.fxr");
            QCOMPARE(copy["FileDir"].toString(), QDir::cleanPath(QDir::current().absoluteFilePath(c.Written)));
            before = c.Name;
        }
        f.Saved = true;
        recovery.Poll();
        QVERIFY(!QFile::exists(recovery.CopyPath()));
    }

    void offer_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("accept");
        QTest::newRow("standard Yes") << false << true;
        QTest::newRow("800 No") << true << false;
    }
    void offer()
    {
        QFETCH(bool, compact);
        QFETCH(bool, accept);
        LeaveUnsavedWork();

        window_->Start(compact);
        window_->Forget();
        dialogs_->Answers.push_back(accept ? TAnswer::Yes : TAnswer::No);
        TRecovery recovery(Fixture(), Dir());
        QCOMPARE(recovery.Offer(Controller()), accept);
        QCOMPARE(window_->Questions(), QStringList{"Rigsmith ended without saving the changes to \"Par 64\" (" +
                                                   window_->Path("par.fxr") + "). Recover them?"});
        const TFixture &f = Fixture();
        if (accept) {
            QCOMPARE(f.Name, std::string("Par 64"));
            QCOMPARE(QString::fromStdString(f.FileDir + "/" + f.FileName), window_->Path("par.fxr"));
            QCOMPARE(f.FormatVersion, 1);
            QVERIFY(!f.Saved);
            QCOMPARE(window_->Widget<QLineEdit>("FixtureName")->text(), "Par 64");
            QCOMPARE(window_->Widget<QLineEdit>("FileName")->text(), "par.fxr");
            QVERIFY(QFile::exists(recovery.CopyPath())); // still unsaved
        } else {
            QCOMPARE(f.Name, std::string());
            QVERIFY(!QFile::exists(recovery.CopyPath()));
        }
        QCOMPARE(TMainWindowHarness::ReadBytes(window_->Path("par.fxr")), ParText);
    }

    // The copy keeps what no fixture file could: these texts would not load from one.
    void offer_recoversTextsNoFileCanHold()
    {
        LeaveUnsavedWork([](TFixture &f) {
            f.Attributes[0].Name = "Dim//mer";
            f.Brand = "Red, \"deep\"";
            f.Comments = "ENDCOMMENTS\r\n";
        });
        window_->Start(false);
        dialogs_->Answers.push_back(TAnswer::Yes);
        TRecovery recovery(Fixture(), Dir());
        QVERIFY(recovery.Offer(Controller()));
        const TFixture &f = Fixture();
        QCOMPARE(f.Attributes[0].Name, std::string("Dim//mer"));
        QCOMPARE(f.Brand, std::string("Red, \"deep\""));
        QCOMPARE(f.Comments, std::string("ENDCOMMENTS\r\n"));
        window_->Forget();
    }

    // The file named on the command line is not dropped unseen: the question names it, and No
    // leaves it to be opened.
    void offer_namesTheFileItWouldReplace()
    {
        LeaveUnsavedWork();
        window_->Start(false);
        dialogs_->Answers.push_back(TAnswer::No);
        TRecovery recovery(Fixture(), Dir());
        QVERIFY(!recovery.Offer(Controller(), "/shows/x.fxr"));
        QCOMPARE(window_->Questions(),
                 QStringList{"Rigsmith ended without saving the changes to \"Par 64\" (" + window_->Path("par.fxr") +
                             "). Recover them instead of opening /shows/x.fxr?"});
        window_->Forget();
    }

    void offer_notTheCopyOfARunningEditor()
    {
        LeaveUnsavedWork();
        TFixture runningWork;
        TRecovery running(runningWork, Dir());
        runningWork.Name = "Running";
        runningWork.Saved = false;
        running.Poll();

        window_->Start(false);
        TRecovery second(Fixture(), Dir());
        QCOMPARE(second.CopyPath(), Dir() + "/unsaved-1.json");
        QVERIFY(!second.Offer(Controller()));
        QCOMPARE(window_->Questions(), QStringList());
        QVERIFY(QFile::exists(running.CopyPath()));
    }

    // Copies left in slots that no running editor holds are offered too, one after the other.
    void offer_copiesOfEveryEditorThatEnded()
    {
        {
            TFixture work;
            TRecovery first(work, Dir()), second(work, Dir());
            work.Saved = false;
            work.Name = "First";
            first.Poll();
            work.Name = "Second";
            second.Poll();
        }
        window_->Start(false);
        dialogs_->Answers = {TAnswer::No, TAnswer::Yes};
        TRecovery recovery(Fixture(), Dir());
        QVERIFY(recovery.Offer(Controller()));
        QCOMPARE(window_->Questions(),
                 (QStringList{"Rigsmith ended without saving the changes to \"First\". Recover them?",
                              "Rigsmith ended without saving the changes to \"Second\". Recover them?"}));
        QCOMPARE(Fixture().Name, std::string("Second"));
        QCOMPARE(QDir(Dir()).entryList({"*.json"}), QStringList{"unsaved-0.json"});
        window_->Forget();
    }

    // A copy that cannot be read is never deleted: it is moved where the next copy will not
    // replace it, and the user is told where.
    void offer_unreadableCopyIsKeptAndReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("copy");
        QTest::newRow("not JSON") << "unsaved-0.json" << QByteArray("{\"Rigsmith\": \"unsaved work\", \"Fix");
        QTest::newRow("no fixture") << "unsaved-0.json" << QByteArray("{\"Rigsmith\": \"unsaved work\"}");
        QTest::newRow("an earlier form, not a fixture")
            << "unsaved-0.fxr"
            << QByteArray("// Rigsmith unsaved work\t2\t\t\r\nPARAMETERS\r\n"
                          "\"A\", 1, IN, HTP, 8, 1, na, LINEAR, 0, zz, LINEAR, 0\r\nENDPARAMETERS\r\n");
    }
    void offer_unreadableCopyIsKeptAndReported()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, copy);
        TMainWindowHarness::WriteBytes(Dir() + "/" + name, copy);
        window_->Start(false);
        TRecovery recovery(Fixture(), Dir());
        QVERIFY(!recovery.Offer(Controller()));
        QCOMPARE(window_->Questions(), QStringList());
        const QStringList kept = QDir(Dir()).entryList({"unsaved-0-unreadable-*"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TMainWindowHarness::ReadBytes(Dir() + "/" + kept[0]), copy);
        const QStringList messages = window_->Messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith("Warning: A copy of work that Rigsmith did not save cannot be read (") &&
                     messages[0].endsWith("). It is kept as " + Dir() + "/" + kept[0] + "."),
                 qPrintable(messages[0]));
        window_->Forget();
        QVERIFY(!QFile::exists(Dir() + "/" + name));
    }

    // Copies made by an earlier version are offered too, and replaced by one of the new form.
    void offer_readsTheEarlierForm()
    {
        TMainWindowHarness::WriteBytes(Dir() + "/unsaved-0.fxr",
                                       "// Rigsmith unsaved work\t1\t/shows\tpar.fxr\r\n" + ParText);
        window_->Start(false);
        dialogs_->Answers.push_back(TAnswer::Yes);
        TRecovery recovery(Fixture(), Dir());
        QVERIFY(recovery.Offer(Controller()));
        QCOMPARE(window_->Questions(),
                 QStringList{"Rigsmith ended without saving the changes to \"Par\" (/shows/par.fxr). Recover them?"});
        QVERIFY(!QFile::exists(Dir() + "/unsaved-0.fxr"));
        QCOMPARE(Copy(recovery.CopyPath())["FileDir"].toString(), "/shows");
        window_->Forget();
    }

    // Without a place for copies the editor says so once, and goes on.
    void start_saysOnceWhenNoCopyCanBeKept()
    {
        const QString expected = "Warning: Unsaved work cannot be copied aside: %1. Rigsmith goes on, but a crash "
                                 "would lose the changes made since the last save.";
        TMainWindowHarness::WriteBytes(window_->Path("file"), "not a directory");
        TFixture work;
        TRecovery nowhere(work, window_->Path("file/unsaved"));
        nowhere.Start(2000);
        work.Saved = false;
        nowhere.Poll();
        QCOMPARE(window_->Messages(),
                 QStringList{expected.arg("the directory " + window_->Path("file/unsaved") + " cannot be made")});
        window_->Forget();

        TRecovery recovery(work, Dir());
        recovery.Start(2000);
        QVERIFY(QDir(Dir()).removeRecursively());
        TMainWindowHarness::WriteBytes(Dir(), "now a file");
        for (const char *name : {"One", "Two"}) {
            work.Name = name;
            recovery.MarkChanged();
            recovery.Poll();
        }
        QCOMPARE(window_->Messages(), QStringList{expected.arg(recovery.CopyPath() + " cannot be written")});
        window_->Forget();
        QFile::remove(Dir());
    }

    // Saved work is not offered again, even if the editor dies while "saved" is still shown.
    void save_removesTheCopyBeforeTheMessage()
    {
        window_->Start(false);
        window_->Load(window_->Path("par.fxr"));
        TRecovery recovery(Fixture(), Dir());
        connect(&Controller(), &TMainFormClass::Saved, &recovery, &TRecovery::Discard);
        QTest::keyClicks(window_->Widget<QLineEdit>("FixtureName"), " 64");
        recovery.Poll();
        QVERIFY(QFile::exists(recovery.CopyPath()));
        bool copyWhileShown = true;
        dialogs_->WhileShown = [&](const TScriptedDialogs::TShown &) {
            recovery.Poll();
            copyWhileShown = QFile::exists(recovery.CopyPath());
        };
        QTest::mouseClick(window_->Widget<QPushButton>("btnSaveFixture"), Qt::LeftButton);
        dialogs_->WhileShown = nullptr;
        QCOMPARE(window_->Messages(), QStringList{"Information: File par.fxr saved"});
        QVERIFY(!copyWhileShown);
        window_->Forget();
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
