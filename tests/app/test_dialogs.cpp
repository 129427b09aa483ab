#include "app/QtDialogs.h"
#include "app/Save800.h"
#include "palettes/GetColName.h"
#include "platform/Paths.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>

namespace {

const QString BlankName = "Warning: The name field cannot be blank!";
const QString Cancelled = "<cancelled>";

// Results and messages as text, so that a failure prints them.
QString Result(const std::optional<std::string> &path)
{
    return path ? QString::fromStdString(*path) : Cancelled;
}
QString Result(const std::optional<TFileListChoice> &choice)
{
    return choice ? QString::fromStdString(choice->Name) + " in " + QString::fromStdString(choice->Directory)
                  : Cancelled;
}
QStringList Messages(const TScriptedDialogs &dialogs)
{
    QStringList messages;
    for (const TScriptedDialogs::TShown &shown : dialogs.Shown)
        messages << (shown.Kind == TMessageKind::Warning ? "Warning: " : "Other: ") +
                        QString::fromStdString(shown.Text);
    return messages;
}

constexpr auto WriteFile = &TMainWindowHarness::WriteBytes;

QStringList Names(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->text();
    return names;
}

// The label may shorten a long directory in the middle; its tool tip always holds all of it.
void CheckShows(const QLabel *label, const QString &expected)
{
    QCOMPARE(label->toolTip(), expected);
    if (label->text() != expected)
        QVERIFY2(label->text().contains(QChar(0x2026)), qPrintable(label->text()));
}

// Runs action once the dialog's event loop is running; a dialog that stays open too long is
// cancelled so that a failing test ends instead of hanging.
void WhenShown(QDialog &dialog, std::function<void()> action)
{
    QTimer::singleShot(0, &dialog, std::move(action));
    QTimer::singleShot(5000, &dialog, &QDialog::reject);
}

// The same for a dialog that the code under test makes and runs itself.
void WhenModal(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, qApp, [action = std::move(action)] { action(QApplication::activeModalWidget()); });
    QTimer::singleShot(5000, qApp, [] {
        if (QWidget *left = QApplication::activeModalWidget())
            left->close();
    });
}

// A directory and a file whose names Windows-1252 cannot hold.
const QString ScriptDir = QString::fromUtf8("Fixtures \xD0\x96\xD1\x91\xD0\xBB\xD1\x82\xD1\x8B\xD0\xB9");
const QString ScriptName = QString::fromUtf8("Sp\xC3\xB6t \xD0\x96.fxr");

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void saveList_listsOnlyFixtureFilesSorted();
    void saveList_missingDirectoryLeavesListEmpty();

    void saveDialog_selectionFillsName();
    void saveDialog_activationKeepsCallersName();
    void saveDialog_refusesEmptyName();

    void saveList_namesInAnyScript();
    void fileDialogs_pathsInAnyScript_data();
    void fileDialogs_pathsInAnyScript();

    void nameDialog_refusesEmptyName();
    void nameDialog_acceptsBlank();
    void nameDialog_escapeAndFrameCancel();
    void nameDialog_executeSetsTitleAndProposal();

private:
    void WriteSettings(const QString &fxrPath);
    QString MakeFixtureDir();

    std::unique_ptr<QTemporaryDir> root_;
    std::unique_ptr<TScriptedDialogs> dialogs_;
};

void TestDialogs::init()
{
    root_ = std::make_unique<QTemporaryDir>();
    QVERIFY(root_->isValid());
    QVERIFY(QDir(root_->path()).mkdir("program"));
    SetProgramDir(root_->filePath("program").toStdString());
    dialogs_ = std::make_unique<TScriptedDialogs>();
}

void TestDialogs::cleanup()
{
    dialogs_.reset();
    SetProgramDir({});
    root_.reset();
}

void TestDialogs::WriteSettings(const QString &fxrPath)
{
    WriteFile(root_->filePath("program/Settings.ini"),
              "[FxrDefaults]\r\nControlType=LTP\r\n\r\n[800Mode]\r\nFxrPath=" + fxrPath.toUtf8() + "\r\n");
}

// Three fixture files, one of them in capitals, beside a text file and a directory that only
// looks like a fixture file.
QString TestDialogs::MakeFixtureDir()
{
    const QString dir = root_->filePath("fixtures");
    QDir().mkdir(dir);
    for (const char *name : {"spot.fxr", "WASH.FXR", "beam.fxr", "notes.txt"})
        WriteFile(dir + '/' + name, "Name=x\r\n");
    QDir().mkdir(dir + "/archive.fxr");
    return dir;
}

void TestDialogs::saveList_listsOnlyFixtureFilesSorted()
{
    const QString dir = MakeFixtureDir();
    WriteSettings(dir);
    const QStringList expected{"beam.fxr", "spot.fxr", "WASH.FXR"};

    TfrmSave800 save;
    save.FormActivate();
    QCOMPARE(Names(save.flbFxr), expected);
    QCOMPARE(save.Directory(), dir.toStdString());
    CheckShows(save.lDir, dir);
}

void TestDialogs::saveList_missingDirectoryLeavesListEmpty()
{
    const QString missing = root_->filePath("missing");
    WriteSettings(missing);

    TfrmSave800 save;
    save.FormActivate();
    QCOMPARE(save.flbFxr->count(), 0);
    CheckShows(save.lDir, missing + " (does not exist)");
}

void TestDialogs::saveDialog_selectionFillsName()
{
    WriteSettings(MakeFixtureDir());
    TfrmSave800 save;
    save.FormActivate();
    QVERIFY(save.flbFxr->selectedItems().isEmpty());

    save.eFileName->setText("typed");
    save.flbFxr->item(1)->setSelected(true);
    QCOMPARE(save.eFileName->text(), "spot.fxr");
    save.flbFxr->clearSelection();
    QCOMPARE(save.eFileName->text(), "");
}

void TestDialogs::saveDialog_activationKeepsCallersName()
{
    const QString dir = MakeFixtureDir();
    WriteSettings(dir);
    TfrmSave800 save;
    WhenShown(save, [&] {
        save.flbFxr->item(0)->setSelected(true);
        QTest::mouseClick(save.btnCancel, Qt::LeftButton);
    });
    QCOMPARE(Result(save.Execute("spot.fxr")), Cancelled); // Cancel gives nothing

    // Refilling the list drops the old selection; that must not wipe the name just given.
    QString shown;
    WhenShown(save, [&] {
        shown = save.eFileName->text();
        QTest::mouseClick(save.btnSave, Qt::LeftButton);
    });
    QCOMPARE(Result(save.Execute("Wash.FXR")), "Wash.FXR in " + dir);
    QCOMPARE(shown, "Wash.FXR");
}

void TestDialogs::saveDialog_refusesEmptyName()
{
    const QString dir = MakeFixtureDir();
    WriteSettings(dir);
    TfrmSave800 save;
    bool stayedOpen = false;
    WhenShown(save, [&] {
        save.eFileName->clear();
        QTest::mouseClick(save.btnSave, Qt::LeftButton);
        stayedOpen = save.isVisible() && save.result() != QDialog::Accepted;
        QCOMPARE(save.focusWidget(), save.eFileName);
        QTest::keyClicks(save.eFileName, "wash");
        QTest::mouseClick(save.btnSave, Qt::LeftButton);
    });
    QCOMPARE(Result(save.Execute("spot.fxr")), "wash in " + dir);
    QVERIFY(stayedOpen);
    QCOMPARE(Messages(*dialogs_), QStringList{BlankName});
}

void TestDialogs::saveList_namesInAnyScript()
{
    const QString dir = root_->filePath(ScriptDir);
    QVERIFY(QDir().mkdir(dir));
    WriteFile(dir + '/' + ScriptName, "Name=x\r\n");
    WriteSettings(dir);

    TfrmSave800 save;
    QString proposed;
    WhenShown(save, [&] {
        proposed = save.eFileName->text();
        QTest::mouseClick(save.btnSave, Qt::LeftButton);
    });
    QCOMPARE(Result(save.Execute(ScriptName.toStdString())), ScriptName + " in " + dir);
    QCOMPARE(proposed, ScriptName);
}

void TestDialogs::fileDialogs_pathsInAnyScript_data()
{
    QTest::addColumn<bool>("saving");
    QTest::newRow("open") << false;
    QTest::newRow("save") << true;
}

void TestDialogs::fileDialogs_pathsInAnyScript()
{
    QFETCH(bool, saving);
    const QString dir = root_->filePath(ScriptDir);
    QVERIFY(QDir().mkdir(dir));
    WriteFile(dir + '/' + ScriptName, "Name=x\r\n");

    TQtDialogs dialogs;
    TFileDialogOptions options;
    options.InitialDir = dir.toStdString();
    options.FileName = saving ? ScriptName.toStdString() : std::string();
    QString startDir, startName;
    WhenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog)
            return;
        startDir = dialog->directory().absolutePath();
        if (saving)
            startName = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        else
            dialog->selectFile(ScriptName);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        static_cast<QDialog *>(dialog)->accept(); // the file dialog hides its own accept()
    });
    const std::optional<std::string> chosen = saving ? dialogs.SaveFileName(options) : dialogs.OpenFileName(options);
    QCOMPARE(startDir, dir);
    QCOMPARE(startName, saving ? ScriptName : QString());
    QCOMPARE(Result(chosen), dir + '/' + ScriptName);
    QVERIFY(std::filesystem::is_regular_file(*chosen));
}

void TestDialogs::nameDialog_refusesEmptyName()
{
    TfrmGetColName name;
    bool stayedOpen = false;
    WhenShown(name, [&] {
        name.eCustColName->clear();
        QTest::keyClick(name.eCustColName, Qt::Key_Return);
        stayedOpen = name.isVisible() && name.result() != QDialog::Accepted;
        QCOMPARE(name.focusWidget(), name.eCustColName);
        QTest::mouseClick(name.Button2, Qt::LeftButton);
    });
    QCOMPARE(Result(name.Execute("Get palette name", "Red")), Cancelled);
    QVERIFY(stayedOpen);
    QCOMPARE(Messages(*dialogs_), QStringList{BlankName});
}

void TestDialogs::nameDialog_acceptsBlank()
{
    TfrmGetColName name;
    WhenShown(name, [&] {
        name.eCustColName->setText(" ");
        QTest::mouseClick(name.Button1, Qt::LeftButton);
    });
    QCOMPARE(Result(name.Execute("Get command name", "Other")), " ");
    QCOMPARE(Messages(*dialogs_), QStringList());
}

void TestDialogs::nameDialog_escapeAndFrameCancel()
{
    TfrmGetColName name;
    WhenShown(name, [&] { QTest::keyClick(name.eCustColName, Qt::Key_Escape); });
    QCOMPARE(Result(name.Execute("Get palette name", "Red")), Cancelled);

    WhenShown(name, [&] { name.close(); });
    QCOMPARE(Result(name.Execute("Get palette name", "Red")), Cancelled);
}

void TestDialogs::nameDialog_executeSetsTitleAndProposal()
{
    TfrmGetColName name;
    QString title, proposed;
    bool focused = false;
    WhenShown(name, [&] {
        title = name.windowTitle();
        proposed = name.eCustColName->text();
        focused = name.focusWidget() == name.eCustColName;
        name.Button1->setText("Add");
        QTest::keyClick(name.eCustColName, Qt::Key_Return);
    });
    QCOMPARE(Result(name.Execute("Get attribute name", "Other")), "Other");
    QCOMPARE(title, "Get attribute name");
    QCOMPARE(proposed, "Other");
    QVERIFY(focused);

    // The next caller sees its own title, and the button its usual caption.
    WhenShown(name, [&] {
        title = name.windowTitle();
        QCOMPARE(name.Button1->text(), "OK");
        QTest::keyClicks(name.eCustColName, "Deep blue");
        QTest::keyClick(name.eCustColName, Qt::Key_Enter);
    });
    QCOMPARE(Result(name.Execute("Get palette name", "Lee 079")), "Deep blue");
    QCOMPARE(title, "Get palette name");
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
