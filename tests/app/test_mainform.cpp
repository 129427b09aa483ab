// The main window in both layouts: start-up, the file commands with their prompts, the checks,
// the settings file and the not-saved state, driven through the widgets with scripted dialogs.

#include "app/Widgets.h"
#include "fxr/FixtureReader.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <string>

namespace {

const QString NotSaved = "File not saved. Save file?";
const QString Unnamed = "Warning: Fixture must be filled";
const QString PatchError = "Warning: parameter \"Dimmer\": Internal patch error !";
const QDate FixedDate(2023, 11, 15); // the date of SOURCE_DATE_EPOCH, set for the whole run

// Format 1.0 with a 16-bit attribute and a channel count the attributes overrule.
const QByteArray ParText = TMainWindowHarness::Data("par.fxr");
const QStringList ParRows{"1|Dimmer", "2|Dimmer( low )", "3|Red"};
// The same with a revision and comments, which a format 1.0 file may hold but the format 1.0
// writer has no place for.
const QByteArray ParNotesText = QByteArray(ParText).replace(
    "Date = ", "Revision = \"r3\"\r\nCOMMENTS\r\nWarm white only\r\nNo strobe\r\nENDCOMMENTS\r\nDate = ");

// Format 2 without attributes.
const QByteArray BareText = TMainWindowHarness::Data("bare.fxr");

// Angles the fields cannot show: below and above their ranges.
const QByteArray AnglesText = TMainWindowHarness::Data("scanner.fxr");

// One attribute on patch 5: the channel count follows the single attribute, so the patch is out
// of range and the patch check fails.
const QByteArray ClashText = TMainWindowHarness::Data("clash.fxr");

// The error sits on the third physical line.
const QByteArray BrokenText = TMainWindowHarness::Data("broken.fxr");

using Harness = TMainWindowHarness;
constexpr auto GridRows = &Harness::Rows;
constexpr auto ReadBytes = &Harness::ReadBytes;
constexpr auto WriteBytes = &Harness::WriteBytes;

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

QString Saved(const QString &file)
{
    return "Information: File " + file + " saved";
}

void Pick(QComboBox *list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void PickRadio(TRadioGroup *group, const QString &caption)
{
    for (QRadioButton *button : group->findChildren<QRadioButton *>())
        if (button->text() == caption)
            button->click();
}

constexpr auto Click = &TMainWindowHarness::Click;

} // namespace

class TestMainForm : public TWindowTest {
    Q_OBJECT

    void Start(bool compact) { window_->Start(compact); }
    void Load(const QString &path) { window_->Load(path); }
    void Forget() { window_->Forget(); }
    // The messages shown, one a line, so that a failure prints them all.
    QString Shown() const { return window_->Messages().join('\n'); }
    QString OutFile(const QString &name) const { return window_->Path("out/" + name); }
    QString FixtureFile(const QString &name, const QByteArray &text)
    {
        const QString path = window_->Path("fixtures/" + name);
        WriteBytes(path, text);
        return path;
    }
    void WriteSettings(const QByteArray &fxrDefaults)
    {
        WriteBytes(window_->Path("program/Settings.ini"),
                   "[FxrDefaults]\r\n" + fxrDefaults + "\r\n[800Mode]\r\nFxrPath=\r\n");
    }
    // Which of the attribute, command and palette pages have their tabs shown, as "110".
    QString TabsShown() const
    {
        QString shown;
        for (QWidget *page : {C().AttributesPage, C().CommandPage, C().PalettePage})
            shown += C().PageControl->isTabVisible(C().PageControl->indexOf(page)) ? '1' : '0';
        return shown;
    }

private slots:
    void initTestCase()
    {
        // What start-up sets before the main window exists.
        QApplication::setApplicationDisplayName("Rigsmith");
        qputenv("SOURCE_DATE_EPOCH", "1700049600");
    }
    void init()
    {
        Begin("program", {"fixtures", "out"});
        // The gel list is looked for beside the program when the working directory has none.
        WriteBytes(window_->Path("program/lee.txt"), {});
    }
    void cleanup() { Finish(false); }

    void settings_appliedAtStartAndAtNew_data()
    {
        QTest::addColumn<QByteArray>("settings"); // "<none>": no Settings.ini at all
        QTest::addColumn<int>("controlType");
        QTest::addColumn<int>("path");
        QTest::addColumn<int>("inherit");
        QTest::addColumn<int>("showOnEditor");
        const auto row = [](const char *name, const char *settings, int control, int path, int inherit, int show) {
            QTest::newRow(name) << QByteArray(settings) << control << path << inherit << show;
        };
        row("LTP, SnapStart, No, No", "ControlType=LTP\r\nPath=SnapStart\r\nInherit=No\r\nShowOnEditor=No\r\n", 1, 1, 1,
            1);
        row("SnapEnd", "Path=SnapEnd\r\n", 0, 2, 0, 0);
        row("other letter case", "ControlType=ltp\r\nPath=snapend\r\nInherit=NO\r\nShowOnEditor=no\r\n", 0, 0, 0, 0);
        row("unknown words", "ControlType=Both\r\nPath=Curve\r\nInherit=1\r\nShowOnEditor=True\r\n", 0, 0, 0, 0);
        row("no file", "<none>", 0, 0, 0, 0);
    }
    void settings_appliedAtStartAndAtNew()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, controlType);
        QFETCH(int, path);
        QFETCH(int, inherit);
        QFETCH(int, showOnEditor);

        if (settings != "<none>")
            WriteSettings(settings);
        const auto shown = [&] {
            return QList<int>{C().ControlType->ItemIndex(), C().Path->currentIndex(), C().Hinherit->currentIndex(),
                              C().ShowOnEditor->currentIndex()};
        };
        const QList<int> expected{controlType, path, inherit, showOnEditor};
        Start(true);
        QCOMPARE(shown(), expected);
        // The user picks other values; a new fixture starts from the configured ones again.
        PickRadio(C().ControlType, controlType == 0 ? "LTP" : "HTP");
        Pick(C().Path, path == 2 ? 1 : 2);
        Pick(C().Hinherit, 1 - inherit);
        Pick(C().ShowOnEditor, 1 - showOnEditor);
        QVERIFY(Fixture().Saved);
        Click(C().btnNewFixture);
        QVERIFY(dialogs_->Questions.empty());
        QCOMPARE(shown(), expected);
    }

    void settings_readAfreshAtEachNew()
    {
        Start(false);
        QCOMPARE(C().ControlType->ItemIndex(), 0);
        WriteSettings("ControlType=LTP\r\nInherit=No\r\n");
        Click(C().btnNewFixture);
        QCOMPARE(C().ControlType->ItemIndex(), 1);
        QCOMPARE(C().Hinherit->currentIndex(), 1);
        QCOMPARE(C().Path->currentIndex(), 0);
        // A value that no longer names an item leaves the cleared editor's first item.
        WriteSettings("ControlType=Ltp\r\n");
        Click(C().btnNewFixture);
        QCOMPARE(C().ControlType->ItemIndex(), 0);
        QCOMPARE(C().Hinherit->currentIndex(), 0);
    }

    // The prompts are the controller's, the same in both layouts.
    void prompts_newLoadClose_data()
    {
        QTest::addColumn<QString>("action");
        // Empty: the fixture is saved and nothing is asked. "Yes, saved": the save dialog is
        // confirmed; "Yes, no file": it is cancelled; "Yes, refused": the fixture was named and the
        // name erased, so the check refuses to save it.
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("fixture"); // the fixture's name afterwards
        QTest::addColumn<bool>("savedAfter");
        QTest::addColumn<bool>("closed");

        {
            const auto row = [&](const char *action, const QString &answer) -> QTestData & {
                return QTest::addRow("%s %s", action, answer.isEmpty() ? "saved" : qPrintable(answer))
                       << QString(action) << answer;
            };
            row("New", "") << "" << true << false;
            row("New", "Yes, saved") << "" << true << false;
            row("New", "Yes, no file") << "Lamp" << false << false;
            row("New", "Yes, refused") << "" << false << false;
            row("New", "No") << "" << true << false;
            row("New", "Cancel") << "Lamp" << false << false;

            row("Load", "") << "Par" << true << false;
            row("Load", "Yes, saved") << "Par" << true << false;
            row("Load", "Yes, no file") << "Lamp" << false << false;
            row("Load", "Yes, refused") << "" << false << false;
            row("Load", "No") << "Par" << true << false;
            row("Load", "Cancel") << "Lamp" << false << false;

            row("Close", "") << "" << true << true;
            row("Close", "Yes, saved") << "Lamp" << true << true;
            row("Close", "Yes, no file") << "Lamp" << false << false;
            row("Close", "Yes, refused") << "" << false << false;
            row("Close", "No") << "Lamp" << false << true;
            row("Close", "Cancel") << "Lamp" << false << false;

            row("Exit", "No") << "Lamp" << false << true;
            row("Exit", "Cancel") << "Lamp" << false << false;
        }
    }
    void prompts_newLoadClose()
    {
        QFETCH(QString, action);
        QFETCH(QString, answer);
        QFETCH(QString, fixture);
        QFETCH(bool, savedAfter);
        QFETCH(bool, closed);

        const QString par = FixtureFile("par.fxr", ParText);
        const QString target = OutFile("lamp.fxr");
        Start(false);
        if (answer == "Yes, refused") {
            QTest::keyClicks(C().FixtureName, "L");
            QTest::keyClick(C().FixtureName, Qt::Key_Backspace);
        } else if (!answer.isEmpty()) {
            QTest::keyClicks(C().FixtureName, "Lamp");
        }
        QCOMPARE(Fixture().Saved, answer.isEmpty());
        if (!answer.isEmpty())
            dialogs_->Answers.push_back(answer.startsWith("Yes") ? TAnswer::Yes
                                        : answer == "No"         ? TAnswer::No
                                                                 : TAnswer::Cancel);
        if (answer == "Yes, saved")
            dialogs_->Files.push_back(target.toStdString());
        if (answer == "Yes, no file")
            dialogs_->Files.push_back(std::nullopt);

        bool wasClosed = false;
        if (action == "New") {
            Click(C().btnNewFixture);
        } else if (action == "Load" && fixture == "Par") {
            Load(par);
        } else if (action == "Load") {
            Click(C().btnLoadFixture);
        } else if (action == "Close") {
            wasClosed = window_->Form().close();
        } else {
            Click(C().btnExit);
            wasClosed = !window_->Form().isVisible();
        }

        const bool written = answer == "Yes, saved";
        QCOMPARE(window_->Questions(), answer.isEmpty() ? QStringList() : QStringList{NotSaved});
        QCOMPARE(QFile::exists(target), written);
        QCOMPARE(Shown(), written ? Saved("lamp.fxr") : answer == "Yes, refused" ? Unnamed : QString());
        if (written)
            Harness::CompareWithData(target, "lamp-named.fxr");
        if (answer == "Yes, refused")
            QVERIFY(dialogs_->FileDialogs.empty());
        QCOMPARE(Q(Fixture().Name), fixture);
        QCOMPARE(C().FixtureName->text(), fixture);
        QCOMPARE(Fixture().Saved, savedAfter);
        QCOMPARE(wasClosed, closed);
        QCOMPARE(window_->Form().isVisible(), !closed);
        if (fixture != "Lamp")
            QCOMPARE(C().FileName->text(), fixture.isEmpty() ? "" : "par.fxr");
    }

    void patchCheck_byLayout_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("action"); // Save, Save As, or New, Load or Close answered with Yes
        QTest::addColumn<bool>("written");
        // The standard layout checks the patches before it saves, and so does its New, which saves
        // through the Save button; its Load and Close save without the check.
        for (const bool compact : {false, true})
            for (const QString action : {"Save", "Save As", "New", "Load", "Close"})
                Harness::LayoutRow(compact, action) << action << (compact || action == "Load" || action == "Close");
    }
    void patchCheck_byLayout()
    {
        QFETCH(bool, compact);
        QFETCH(QString, action);
        QFETCH(bool, written);

        const QString clash = FixtureFile("clash.fxr", ClashText);
        const QString par = FixtureFile("par.fxr", ParText);
        Start(compact);
        Load(clash);
        QTest::keyClicks(C().Brand, "B");
        Forget();

        const bool prompted = !action.startsWith("Save");
        const QString target = action == "Save As" ? OutFile("clash2.fxr") : clash;
        if (prompted)
            dialogs_->Answers.push_back(TAnswer::Yes);
        if (action == "Save As" && compact)
            dialogs_->FileListChoices.push_back(TFileListChoice{"clash2", window_->Path("out").toStdString()});
        bool closed = false;
        if (action == "Save")
            Click(C().btnSaveFixture);
        else if (action == "Save As")
            Click(C().btnSaveAsFixture);
        else if (action == "New")
            Click(C().btnNewFixture);
        else if (action == "Load")
            Load(par);
        else
            closed = window_->Form().close();

        QCOMPARE(window_->Questions(), prompted ? QStringList{NotSaved} : QStringList());
        // The loaded file is saved where it is; only the standard layout's open dialog shows.
        QCOMPARE(dialogs_->FileDialogs.size(), std::size_t(action == "Load" && !compact ? 1 : 0));
        QCOMPARE(closed, written && action == "Close");
        if (written) {
            QCOMPARE(Shown(), Saved(QFileInfo(target).fileName()));
            Harness::CompareWithData(target, "clash-brand.fxr");
            QCOMPARE(Q(Fixture().Name), action == "New" ? "" : action == "Load" ? "Par" : "Clash");
            QVERIFY(Fixture().Saved);
        } else {
            QCOMPARE(Shown(), PatchError);
            QCOMPARE(ReadBytes(clash), ClashText);
            QVERIFY(QDir(window_->Path("out")).isEmpty());
            QCOMPARE(Q(Fixture().Name), "Clash");
            QCOMPARE(C().Brand->text(), "B");
            QVERIFY(!Fixture().Saved);
        }
    }

    void save_writesTheModel_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("standard Save") << false << false;
        QTest::newRow("standard Save As") << false << true;
        QTest::newRow("800 Save As") << true << true;
    }
    void save_writesTheModel()
    {
        QFETCH(bool, compact);
        QFETCH(bool, saveAs);

        Start(compact);
        QTest::keyClicks(C().FixtureName, "Lamp");
        QTest::keyClicks(C().Author, "Ann");
        QTest::keyClicks(C().Comment, "Two lines");
        Pick(C().MacType, 1);
        const bool fileList = compact && saveAs;
        if (fileList)
            dialogs_->FileListChoices.push_back(TFileListChoice{"lamp", window_->Path("out").toStdString()});
        else
            dialogs_->Files.push_back(OutFile("lamp.fxr").toStdString());
        Click(saveAs ? C().btnSaveAsFixture : C().btnSaveFixture);

        const TFixture &f = Fixture();
        QCOMPARE(Shown(), Saved("lamp.fxr"));
        Harness::CompareWithData(OutFile("lamp.fxr"), "lamp.fxr");
        QCOMPARE(Q(f.FileDir), window_->Path("out"));
        QCOMPARE(C().FileName->text(), "lamp.fxr");
        QCOMPARE(C().LastUpdate->date(), FixedDate);
        QVERIFY(f.Saved);
        if (fileList) {
            QCOMPARE(dialogs_->FileListNames, std::vector<std::string>{""});
            QVERIFY(dialogs_->FileDialogs.empty());
        } else {
            QCOMPARE(dialogs_->FileDialogs.size(), std::size_t(1));
            const TFileDialogOptions &options = dialogs_->FileDialogs.front();
            QCOMPARE(options.InitialDir, std::string("Fixtures"));
            QCOMPARE(options.DefaultExt, std::string("fxr"));
            QVERIFY(options.OverwritePrompt);
        }
        QVERIFY(window_->Form().close()); // saved: nothing is asked
    }

    void save_loadedFixtureWritesItsFile_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<int>("format"); // 2: picked in "File version", which only the 800 layout shows
        QTest::newRow("standard") << false << 1;
        QTest::newRow("800, format 2 picked") << true << 2;
    }
    void save_loadedFixtureWritesItsFile()
    {
        QFETCH(bool, compact);
        QFETCH(int, format);

        const QString par = FixtureFile("par.fxr", ParNotesText);
        Start(compact);
        Load(par);
        QTest::keyClicks(C().Revision, "4");
        if (format == 2) {
            QCOMPARE(C().FileVersion->currentIndex(), 0);
            Pick(C().FileVersion, 1);
            QCOMPARE(Fixture().FormatVersion, 2);
        }
        QVERIFY(!Fixture().Saved);
        Forget();

        Click(C().btnSaveFixture);
        QVERIFY(dialogs_->FileDialogs.empty());
        const TFixture &f = Fixture();
        QCOMPARE(f.Revision, std::string("r34"));
        if (format == 1) {
            // What the user typed is named, not dropped.
            QCOMPARE(Shown(), "Warning: The file would not keep these texts as they stand:\n\nRevision \"r34\" has "
                              "no place in a format 1.0 file.\n\nComment \"Warm white only\r\nNo strobe\" has no "
                              "place in a format 1.0 file.");
            QCOMPARE(ReadBytes(par), ParNotesText);
            QVERIFY(!f.Saved);
            return;
        }
        QCOMPARE(Shown(), Saved("par.fxr"));
        Harness::CompareWithData(par, "par-format2.fxr");
        QCOMPARE(C().FileVersion->currentIndex(), format - 1);
        QCOMPARE(C().LastUpdate->date(), FixedDate);
        QVERIFY(f.Saved);
    }

    void save_keepsUsersChannelCount_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("command"); // Save, Save As, or a switch to the Attributes page
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("channels"); // picked by the user in "Dmx channels"
        QTest::newRow("standard Save As, spare channels") << false << "Save As" << ParText << 8;
        // The check passes because of the picked count; the file must say so too.
        QTest::newRow("standard Save, patch in range by the count") << false << "Save" << ClashText << 5;
        QTest::newRow("800 Save As, spare channels") << true << "Save As" << ParText << 8;
        QTest::newRow("800 page switch") << true << "Attributes page" << ParText << 8;
    }
    void save_keepsUsersChannelCount()
    {
        QFETCH(bool, compact);
        QFETCH(QString, command);
        QFETCH(QByteArray, file);
        QFETCH(int, channels);

        const QString path = FixtureFile("fixture.fxr", file);
        Start(compact);
        Load(path);
        Pick(C().DmxChannel, channels - 1);
        QCOMPARE(Fixture().DmxChannels, channels);
        Forget();

        QString written = path;
        if (command == "Save") {
            Click(C().btnSaveFixture);
        } else if (command == "Save As") {
            written = OutFile("copy.fxr");
            if (compact)
                dialogs_->FileListChoices.push_back(TFileListChoice{"copy", window_->Path("out").toStdString()});
            else
                dialogs_->Files.push_back(written.toStdString());
            Click(C().btnSaveAsFixture);
        } else {
            C().PageControl->setCurrentWidget(C().AttributesPage);
            written.clear();
        }
        if (!written.isEmpty()) {
            QCOMPARE(Shown(), Saved(QFileInfo(written).fileName()));
            QCOMPARE(ReadFixtureFile(written.toStdString()).DmxChannels, channels);
        }
        QCOMPARE(Fixture().DmxChannels, channels);
        QCOMPARE(C().DmxChannel->currentText(), QString::number(channels));
    }

    void save_refusesTextsTheFileWouldNotKeep()
    {
        const QString par = FixtureFile("par.fxr", ParText);
        Start(false);
        Load(par);
        QTest::keyClicks(C().FixtureName, " 12\"");
        QTest::keyClick(C().Brand, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(C().Brand, "A//B");
        Forget();

        const QString warning = "Warning: The file would not keep these texts as they stand:\n\n"
                                "Fixture \"Par 12\"\" holds a double quote, which the file drops.\n\n"
                                "Brand \"A//B\" holds \"//\", after which the file keeps nothing.";
        for (QPushButton *button : {C().btnSaveFixture, C().btnSaveAsFixture, C().btnFixtureCheck}) {
            Click(button);
            QCOMPARE(Shown(), warning);
            Forget();
        }
        QVERIFY(!Fixture().Saved);
        QCOMPARE(ReadBytes(par), ParText);
    }

    void save_cancelledOrFailedChangesNothing_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<bool>("loaded");     // a loaded fixture has a file name; a new one has none
        QTest::addColumn<bool>("unwritable"); // the dialog names a file in a directory that is not there
        QTest::newRow("standard Save new") << false << false << false << false;
        QTest::newRow("standard Save As loaded, unwritable") << false << true << true << true;
        QTest::newRow("800 Save As loaded") << true << true << true << false;
        QTest::newRow("800 Save new, unwritable") << true << false << false << true;
        QTest::newRow("800 Save As loaded, unwritable") << true << true << true << true;
    }
    void save_cancelledOrFailedChangesNothing()
    {
        QFETCH(bool, compact);
        QFETCH(bool, saveAs);
        QFETCH(bool, loaded);
        QFETCH(bool, unwritable);

        const QString par = FixtureFile("par.fxr", ParText);
        Start(compact);
        if (loaded)
            Load(par);
        else
            QTest::keyClicks(C().FixtureName, "Lamp");
        QTest::keyClicks(C().Brand, "X");
        const TFixture &f = Fixture();
        const std::string fileName = f.FileName;
        const std::string fileDir = f.FileDir;
        Forget();

        if (compact && saveAs && unwritable)
            dialogs_->FileListChoices.push_back(TFileListChoice{"lamp", window_->Path("missing").toStdString()});
        else if (compact && saveAs)
            dialogs_->FileListChoices.push_back(std::nullopt);
        else if (unwritable)
            dialogs_->Files.push_back(window_->Path("missing/lamp.fxr").toStdString());
        else
            dialogs_->Files.push_back(std::nullopt);
        Click(saveAs ? C().btnSaveAsFixture : C().btnSaveFixture);

        QCOMPARE(Shown(), unwritable ? "Warning: File access error" : "");
        QCOMPARE(f.FileName, fileName);
        QCOMPARE(f.FileDir, fileDir);
        QCOMPARE(C().FileName->text(), Q(fileName));
        QVERIFY(!f.Saved);
        QVERIFY(QDir(window_->Path("out")).isEmpty());
        QVERIFY(!QFile::exists(window_->Path("missing")));
        QCOMPARE(ReadBytes(par), ParText);
        if (compact && saveAs)
            QCOMPARE(dialogs_->FileListNames, std::vector<std::string>{fileName});
    }

    void saveAs_compactNameRule_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        const auto row = [](const char *name, const char *typed, const char *stored) {
            QTest::newRow(name) << QString(typed) << QString(stored);
        };
        row("no extension", "lamp", "lamp.fxr");
        row("extension in capitals", "Lamp.FXR", "Lamp.FXR");
        row("extension inside", "wash.fxr.old", "wash.fxr.old");
        row("other extension", "spot.txt", "spot.txt.fxr");
        row("slashed directory", "/some/dir/beam", "beam.fxr");
        row("backslashed directory", "c:\\fixtures\\beam.fxr", "beam.fxr");
        row("empty", "", "");
        row("directory only", "some/dir/", "");
    }
    void saveAs_compactNameRule()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);

        const QString par = FixtureFile("par.fxr", ParText);
        Start(true);
        Load(par);
        QTest::keyClicks(C().Brand, "X");
        Forget();

        const QString outDir = window_->Path("out");
        dialogs_->FileListChoices.push_back(TFileListChoice{typed.toStdString(), outDir.toStdString()});
        Click(C().btnSaveAsFixture);

        const TFixture &f = Fixture();
        QCOMPARE(dialogs_->FileListNames, std::vector<std::string>{"par.fxr"});
        QCOMPARE(ReadBytes(par), ParText);
        if (stored.isEmpty()) {
            QCOMPARE(Shown(), "Warning: The name field cannot be blank!");
            QCOMPARE(Q(f.FileName), "par.fxr");
            QCOMPARE(Q(f.FileDir), window_->Path("fixtures"));
            QCOMPARE(C().FileName->text(), "par.fxr");
            QVERIFY(QDir(outDir).isEmpty());
            QVERIFY(!f.Saved);
            return;
        }
        QCOMPARE(Shown(), Saved(stored));
        QCOMPARE(Q(f.FileName), stored);
        QCOMPARE(Q(f.FileDir), outDir);
        QCOMPARE(C().FileName->text(), stored);
        QCOMPARE(QDir(outDir).entryList(QDir::Files), QStringList{stored});
        Harness::CompareWithData(outDir + '/' + stored, "par-brand.fxr");
        QVERIFY(f.Saved);
    }

    void saveAs_standardStartsWithNameAndLastDirectory()
    {
        const QString par = FixtureFile("par.fxr", ParText);
        Start(false);
        Load(par);
        Forget();
        dialogs_->Files.push_back(OutFile("lamp.fxr").toStdString());
        Click(C().btnSaveAsFixture);
        dialogs_->Files.push_back(OutFile("lamp2.fxr").toStdString());
        Click(C().btnSaveAsFixture);

        const std::vector<TFileDialogOptions> &options = dialogs_->FileDialogs;
        QCOMPARE(options.size(), std::size_t(2));
        QCOMPARE(options[0].FileName, std::string("par.fxr"));
        QCOMPARE(options[0].InitialDir, std::string("Fixtures"));
        QCOMPARE(options[1].FileName, std::string("lamp.fxr"));
        QCOMPARE(Q(options[1].InitialDir), window_->Path("out"));
        QCOMPARE(Shown(), Saved("lamp.fxr") + "\n" + Saved("lamp2.fxr"));
        Harness::CompareWithData(OutFile("lamp2.fxr"), "par-saved.fxr");
        QCOMPARE(C().FileName->text(), "lamp2.fxr");
        QCOMPARE(ReadBytes(par), ParText);
    }

    void check_messages_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QByteArray>("file");   // empty: a new fixture
        QTest::addColumn<QString>("typedName"); // typed into "Fixture" after the load
        QTest::addColumn<int>("dmxChannels");   // picked in "Dmx channels" by the user; 0: left alone
        QTest::addColumn<QStringList>("messages");

        const QString ready = "Information: Fixture is ready to save";
        const QString channels = "Warning: DMX channel value cannot be lower than the number of attributes";
        const QByteArray nameless = QByteArray(ClashText).replace("Fixture = \"Clash\"\r\n", "");
        for (const bool compact : {false, true}) {
            const auto row = [&](const char *name) -> QTestData & { return Harness::LayoutRow(compact, name); };
            row("new, no name") << QByteArray() << "" << 0 << QStringList{Unnamed};
            row("new, named") << QByteArray() << "Lamp" << 0 << QStringList{ready};
            row("loaded") << ParText << "" << 0 << QStringList{ready};
            // The standard layout checks the patches first and stops there.
            row("patch conflict") << ClashText << "" << 0 << QStringList{compact ? ready : PatchError};
            row("patch conflict, no name") << nameless << "" << 0 << QStringList{compact ? Unnamed : PatchError};
            row("patch conflict mended by the channel count") << ClashText << "" << 5 << QStringList{ready};
            row("fewer channels than attributes")
                << ParText << "" << 2
                << QStringList{compact ? channels : "Warning: parameter \"Red\": Internal patch error !"};
            // Two attributes without a fixture name, squeezed into one channel.
            row("one channel for two attributes, no name")
                << Harness::ManyAttributesText(2).replace("Fixture = \"Many\"\r\n", "") << "" << 1
                << (compact ? QStringList{channels, Unnamed}
                            : QStringList{"Warning: parameter \"Ch2\": Internal patch error !"});
        }
    }
    void check_messages()
    {
        QFETCH(bool, compact);
        QFETCH(QByteArray, file);
        QFETCH(QString, typedName);
        QFETCH(int, dmxChannels);
        QFETCH(QStringList, messages);

        Start(compact);
        if (!file.isEmpty())
            Load(FixtureFile("check.fxr", file));
        QTest::keyClicks(C().FixtureName, typedName);
        if (dmxChannels > 0) {
            Pick(C().DmxChannel, dmxChannels - 1);
            QCOMPARE(Fixture().DmxChannels, dmxChannels);
        }
        Forget();

        const bool saved = Fixture().Saved;
        Click(C().btnFixtureCheck);
        QCOMPARE(Shown(), messages.join('\n'));
        QCOMPARE(Fixture().Saved, saved);
        QVERIFY(QDir(window_->Path("out")).isEmpty());
    }

    void load_oflFixtureAsksTheModeAndOpensNewAndUnsaved()
    {
        const QByteArray spot = R"({"name": "Spot", "categories": ["Moving Head"], "rdm": {"modelId": 1},
            "availableChannels": {"Dimmer": {"capability": {"type": "Intensity"}}},
            "modes": [{"name": "One", "channels": ["Dimmer"]}, {"name": "Two", "channels": [null, "Dimmer"]}]})";
        for (const bool compact : {false, true}) {
            if (compact) {
                cleanup();
                init();
            }
            Start(compact);
            dialogs_->Modes.push_back(1);
            Load(FixtureFile("spot.JSON", spot));
            QVERIFY(dialogs_->ModeLists == (std::vector<std::vector<std::string>>{{"One", "Two"}}));
            QCOMPARE(Shown(),
                     "Information: What has no counterpart in a fixture file:\n\nRDM data has no counterpart.");
            QCOMPARE(C().FixtureName->text(), "Spot (Two)");
            QCOMPARE(int(Fixture().Attributes[0].InternalPatch), 2);
            QVERIFY(!Fixture().Saved && Fixture().FileName.empty());
            QVERIFY(compact || dialogs_->FileDialogs.back().Filter ==
                                   "Fixture files (*.fxr);;Open Fixture Library fixtures (*.json)");
        }
    }

    void notSaved_userEditsClearSaved_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("model"); // the model field afterwards
        // The 800 layout has every field; the standard one shares their handling.
        Harness::LayoutRow(false, "Brand") << "Brand"
                                           << "Lamp";
        const auto row = [&](const char *field, const char *model) {
            Harness::LayoutRow(true, field) << field << model;
        };
        for (const char *field : {"FixtureName", "Author", "Revision", "Comment"})
            row(field, "Lamp");
        row("MacType", "2");
        row("DmxChannel", "8");
        row("FileVersion", "2");
        for (const char *angle : {"PanAngleMin", "PanAngleMax", "TiltAngleMin", "TiltAngleMax"})
            row(angle, "1");
    }
    void notSaved_userEditsClearSaved()
    {
        QFETCH(bool, compact);
        QFETCH(QString, field);
        QFETCH(QString, model);

        Start(compact);
        // A new fixture is format 1.0, which has no revision and no comments.
        if (field == "Revision" || field == "Comment")
            Load(FixtureFile("bare.fxr", BareText));
        QVERIFY(Fixture().Saved);
        QWidget *control = window_->Form().findChild<QWidget *>(field);
        QVERIFY(control);
        if (auto *list = qobject_cast<QComboBox *>(control))
            Pick(list, field == "DmxChannel" ? 7 : 1);
        else if (qobject_cast<QSpinBox *>(control))
            QTest::keyClick(control, Qt::Key_Up);
        else
            QTest::keyClicks(control, "Lamp");

        const TFixture &f = Fixture();
        const QMap<QString, QString> values{
            {"FixtureName", Q(f.Name)},
            {"Brand", Q(f.Brand)},
            {"Author", Q(f.Author)},
            {"Revision", Q(f.Revision)},
            {"Comment", Q(f.Comments)},
            {"MacType", QString::number(f.FixtureType)},
            {"DmxChannel", QString::number(f.DmxChannels)},
            {"FileVersion", QString::number(f.FormatVersion)},
            {"PanAngleMin", QString::number(f.PanAngleMin)},
            {"PanAngleMax", QString::number(f.PanAngleMax)},
            {"TiltAngleMin", QString::number(f.TiltAngleMin)},
            {"TiltAngleMax", QString::number(f.TiltAngleMax)},
        };
        QCOMPARE(values.value(field), model);
        QVERIFY(!f.Saved);
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(window_->Form().close());
        QCOMPARE(window_->Questions(), QStringList{NotSaved});
    }

    void notSaved_anglesOutOfRangeStayInModel()
    {
        Start(true);
        Load(FixtureFile("scanner.fxr", AnglesText));
        const TFixture &f = Fixture();
        QCOMPARE((QList<int>{C().PanAngleMin->value(), C().PanAngleMax->value(), C().TiltAngleMin->value(),
                             C().TiltAngleMax->value()}),
                 (QList<int>{0, 540, 0, 360}));
        QVERIFY(f.Saved);
        // A change elsewhere takes nothing from the shown angles.
        QTest::keyClicks(C().Brand, "Acme");
        QVERIFY(!f.Saved);
        QCOMPARE((QList<int>{f.PanAngleMin, f.PanAngleMax, f.TiltAngleMin, f.TiltAngleMax}),
                 (QList<int>{-30, 540, -135, 400}));
    }

    // A format 1.0 file has no revision and no comments: their fields are unavailable, unless they
    // hold text that the user may still want to remove.
    void formatFields_unavailableWhereTheFormatHasNoPlace()
    {
        Start(true);
        const auto available = [&] { return QList<bool>{C().Revision->isEnabled(), C().Comment->isEnabled()}; };
        QCOMPARE(available(), (QList<bool>{false, false}));
        Pick(C().FileVersion, 1);
        QCOMPARE(available(), (QList<bool>{true, true}));
        QTest::keyClicks(C().Revision, "r2");
        Pick(C().FileVersion, 0);
        QCOMPARE(available(), (QList<bool>{true, false}));
        dialogs_->Answers.push_back(TAnswer::No);
        Load(FixtureFile("par.fxr", ParNotesText));
        QCOMPARE(available(), (QList<bool>{true, true}));
        Forget();
    }

    void notSaved_typedTextReachesModelInCodePage()
    {
        Start(false);
        Load(FixtureFile("bare.fxr", BareText));
        // Key clicks know only ASCII; these key events carry the characters as the keyboard would.
        for (const QChar character : QString::fromUtf8("Z\u00fcrich \u00b0"))
            QTest::sendKeyEvent(QTest::Click, C().Brand, Qt::Key_unknown, QString(character), Qt::NoModifier);
        QCOMPARE(Fixture().Brand, std::string("Z\xfcrich \xb0"));
        QTest::keyClicks(C().Comment, "One");
        QTest::keyClick(C().Comment, Qt::Key_Return);
        QTest::keyClicks(C().Comment, "Two");
        QCOMPARE(Fixture().Comments, std::string("One\r\nTwo"));
        QVERIFY(!Fixture().Saved);
        dialogs_->Answers.push_back(TAnswer::No);
        QVERIFY(window_->Form().close());
    }

    void load_showsFixtureAndGrid()
    {
        Start(false);
        Load(FixtureFile("par.fxr", ParNotesText));
        QCOMPARE(Shown(), QString());
        QCOMPARE((QStringList{C().FileName->text(), C().FixtureName->text(), C().Brand->text(), C().Author->text(),
                              C().Revision->text(), C().MacType->currentText(), C().FileVersion->currentText(),
                              C().Comment->toPlainText()}),
                 (QStringList{"par.fxr", "Par", "Acme", "Ann", "r3", "Dimmer", "1.0", "Warm white only\nNo strobe"}));
        QCOMPARE(C().LastUpdate->date(), QDate(2025, 3, 1));
        QCOMPARE(GridRows(C().AttributesChannelList), ParRows);
        // The file's own channel count stays.
        QCOMPARE(C().DmxChannel->currentText(), "12");
        QCOMPARE(Fixture().DmxChannels, 12);
        QCOMPARE(Fixture().Comments, std::string("Warm white only\r\nNo strobe"));
        QVERIFY(Fixture().Saved);
        // The attribute page is in front, so the first attribute is in the editor, not yet edited.
        QCOMPARE(C().AttributeName->text(), "Dimmer");
        QCOMPARE(C().PatchLow->currentText(), "2");
        QVERIFY(!C().btnApplyParam->isEnabled());
        // The program filling the fields is no change by the user.
        Controller().ShowFixture();
        QVERIFY(Fixture().Saved);

        // New starts again at format 1.0.
        Click(C().btnNewFixture);
        QCOMPARE(C().FileVersion->currentText(), "1.0");
        QCOMPARE(Fixture().FormatVersion, 1);
        QCOMPARE(C().FileName->text(), "");

        // More channels than the list offers.
        Load(FixtureFile("many.fxr", Harness::ManyAttributesText(65)));
        QCOMPARE(C().AttributesChannelList->rowCount(), 65);
        QCOMPARE(GridRows(C().AttributesChannelList).last(), "65|Ch65");
        QCOMPARE(Fixture().DmxChannels, 65);
        QVERIFY(Fixture().Saved);
        QCOMPARE(Shown(), QString());
    }

    void load_tabsFollowAttributes()
    {
        const QString par = FixtureFile("par.fxr", ParText);
        const QString bare = FixtureFile("bare.fxr", BareText);
        Start(true);
        Load(bare);
        QCOMPARE(TabsShown(), "100");
        Load(par);
        QCOMPARE(TabsShown(), "111");
        // Loading goes to the first page.
        C().PageControl->setCurrentWidget(C().CommandPage);
        Load(par);
        QCOMPARE(C().PageControl->currentIndex(), 0);
        Load(bare);
        QCOMPARE(TabsShown(), "100");
        Load(par);
        Click(C().btnNewFixture);
        QCOMPARE(TabsShown(), "100");
        QVERIFY(dialogs_->Questions.empty());
    }

    void load_failureLeavesEverything_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        Harness::LayoutRow(false, "broken") << "broken.fxr"
                                            << "Plain: Cannot open the file. Error in line #3:   DMX_CHANNELS = MANY";
        Harness::LayoutRow(true, "missing") << "missing.fxr"
                                            << "Warning: File access error (No such file or directory)";
    }
    void load_failureLeavesEverything()
    {
        QFETCH(bool, compact);
        QFETCH(QString, file);
        QFETCH(QString, message);

        const QString par = FixtureFile("par.fxr", ParText);
        FixtureFile("broken.fxr", BrokenText);
        Start(compact);
        Load(par);
        QTest::keyClicks(C().Brand, "X");
        const int page = C().PageControl->currentIndex();
        Forget();

        dialogs_->Answers.push_back(TAnswer::No);
        Load(window_->Path("fixtures/" + file));
        QCOMPARE(window_->Questions(), QStringList{NotSaved});
        const QStringList shown = window_->Messages();
        QCOMPARE(shown.size(), 1);
        // The line is reported as the reader holds it; compare it without regard to letter case.
        QVERIFY2(shown.front().compare(message, Qt::CaseInsensitive) == 0, qPrintable(shown.front()));
        QVERIFY(shown.front().startsWith(message.left(message.indexOf('#') + 5)));

        const TFixture &f = Fixture();
        QCOMPARE((QStringList{Q(f.Name), Q(f.Brand), Q(f.FileName), Q(f.FileDir)}),
                 (QStringList{"Par", "AcmeX", "par.fxr", window_->Path("fixtures")}));
        QCOMPARE(f.Attributes.Count(), std::size_t(3));
        QCOMPARE(f.DmxChannels, 12);
        QVERIFY(!f.Saved);
        QCOMPARE((QStringList{C().FixtureName->text(), C().Brand->text(), C().FileName->text()}),
                 (QStringList{"Par", "AcmeX", "par.fxr"}));
        QCOMPARE(GridRows(C().AttributesChannelList), ParRows);
        QCOMPARE(C().PageControl->currentIndex(), page);
        QCOMPARE(TabsShown(), "111");
        // Still not saved: closing asks.
        dialogs_->Answers.push_back(TAnswer::Cancel);
        QVERIFY(!window_->Form().close());
    }

    void load_cancelledDialogLeavesEverything_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("emptyPath"); // the file list confirmed with nothing selected
        QTest::newRow("standard") << false << false;
        QTest::newRow("800") << true << false;
        QTest::newRow("800 nothing selected") << true << true;
    }
    void load_cancelledDialogLeavesEverything()
    {
        QFETCH(bool, compact);
        QFETCH(bool, emptyPath);
        Start(compact);
        Load(FixtureFile("par.fxr", ParText));
        Forget();
        dialogs_->Files.push_back(emptyPath ? std::optional<std::string>(std::string()) : std::nullopt);
        Click(C().btnLoadFixture);
        QCOMPARE(Shown(), QString());
        QVERIFY(dialogs_->Questions.empty());
        QCOMPARE(Q(Fixture().Name), "Par");
        QCOMPARE(C().FixtureName->text(), "Par");
        QCOMPARE(GridRows(C().AttributesChannelList), ParRows);
        QVERIFY(Fixture().Saved);
    }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
