// Start-up as users meet it: the editor's command line (layout, file to open, help, version,
// wrong options), the window and file it starts with, both programs run as child processes, and
// an installation into a scratch prefix.

#include "app/FileListBox.h"
#include "app/MainFormBase.h"
#include "app/Startup.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString Version = QStringLiteral(RIGSMITH_VERSION);
const QString UnknownOption = "rigsmith: Unknown option 'bogus'.\nTry 'rigsmith --help' for more information.\n";

struct TRun {
    int Status = -1;
    QString Out;
    QString Err;
};

// Runs a program without any display, so that what needs none is seen to need none.
TRun Run(const QString &program, const QStringList &arguments, const QString &directory = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    if (!directory.isEmpty())
        process.setWorkingDirectory(directory);
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return {};
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void arguments_data();
    void arguments();
    void startsLayoutAndFile_data();
    void startsLayoutAndFile();
    void userFixtures_whenTheWorkingDirectoryHasNone();
    void install_putsProgramsAndFilesWhereTheyFindThem();

private:
    std::unique_ptr<QTemporaryDir> root_;
    std::unique_ptr<TScriptedDialogs> dialogs_;
};

void TestStartup::init()
{
    QApplication::setApplicationDisplayName("Rigsmith");
    root_ = std::make_unique<QTemporaryDir>();
    QVERIFY(root_->isValid());
    dialogs_ = std::make_unique<TScriptedDialogs>();
}

void TestStartup::cleanup()
{
    dialogs_.reset();
    root_.reset();
}

// The rows of tests/data/app/start-arguments.txt.
void TestStartup::arguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QFile file(QStringLiteral(RIGSMITH_APP_DATA "/start-arguments.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n'))
        if (line.contains('|') && !line.startsWith('#'))
            QTest::newRow(qPrintable("rigsmith " + line.section('|', 0, 0).simplified()))
                << line.section('|', 0, 0).split(' ', Qt::SkipEmptyParts)
                << line.section('|', 1).trimmed().replace("\\n", "\n").replace("$VERSION", Version);
}

void TestStartup::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const TStartRequest request = ReadStartArguments(QStringList{"rigsmith"} + arguments);
    QString found = request.ExitStatus ? "ends " + QString::number(*request.ExitStatus)
                                       : (request.Compact ? "compact" : "standard") +
                                             (request.File.isEmpty() ? "" : " " + request.File);
    if (!request.Output.isEmpty())
        found += " > " + request.Output.section('\n', 0, 0);
    if (!request.Errors.isEmpty())
        found += " ! " + request.Errors;
    QCOMPARE(found, expected);
    QCOMPARE(request.Output.endsWith('\n'), !request.Output.isEmpty());
}

void TestStartup::startsLayoutAndFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("loaded"); // the file name the fixture carries afterwards
    QTest::addColumn<QString>("shown");  // the message box, as "Warning: text" or "Plain: text"

    // "good.fxr" is a copy of a sample in the test's directory, "broken.fxr" has a bad date on its
    // second line, "missing.fxr" is not there.
    const QString noAccess = "Warning: File access error (No such file or directory)";
    QTest::newRow("no argument") << QStringList{} << false << QString() << QString();
    QTest::newRow("800") << QStringList{"800"} << true << QString() << QString();
    QTest::newRow("800 FILE") << QStringList{"800", "good.fxr"} << true << "good.fxr" << QString();
    QTest::newRow("FILE") << QStringList{"good.fxr"} << false << "good.fxr" << QString();
    QTest::newRow("0800") << QStringList{"0800"} << false << QString() << noAccess;
    QTest::newRow("missing file") << QStringList{"missing.fxr"} << false << QString() << noAccess;
    QTest::newRow("800 and a missing file") << QStringList{"800", "missing.fxr"} << true << QString() << noAccess;
    QTest::newRow("a directory") << QStringList{"."} << false << QString()
                                 << "Warning: File access error (Is a directory)";
    QTest::newRow("a file that does not load") << QStringList{"broken.fxr"} << false << QString()
                                               << "Plain: Cannot open the file. Error in line #2:   DATE = 31/02/2005";
}

void TestStartup::startsLayoutAndFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, compact);
    QFETCH(QString, loaded);
    QFETCH(QString, shown);

    QFile::copy(QString::fromStdString(ProgramFile("Fixtures/demo-spot.fxr")), root_->filePath("good.fxr"));
    QFile broken(root_->filePath("broken.fxr"));
    QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("Fixture = \"Odd\"\r\nDate = 31/02/2005\r\n") > 0);
    broken.close();
    for (QString &argument : arguments)
        if (argument.endsWith(".fxr") || argument == "." || argument == "0800")
            argument = root_->filePath(argument);
    const TStartRequest request = ReadStartArguments(QStringList{"rigsmith"} + arguments);
    QVERIFY(!request.ExitStatus);
    const std::unique_ptr<TMainFormBase> form = CreateMainForm(request);
    form->show();
    form->Controller()->Fixture().Name = "Before";
    OpenStartFile(*form, request);

    QCOMPARE(dynamic_cast<TMainForm800 *>(form.get()) != nullptr, compact);
    QCOMPARE(dynamic_cast<TMainForm *>(form.get()) != nullptr, !compact);
    // Nothing was asked: the file came from the command line, not from a chooser.
    QVERIFY(dialogs_->FileDialogs.empty());
    QVERIFY(dialogs_->Questions.empty());

    const TFixture &f = form->Controller()->Fixture();
    QCOMPARE(QString::fromStdString(f.FileName), loaded);
    QCOMPARE(form->findChild<QLineEdit *>("FileName")->text(), loaded);
    QCOMPARE(f.Name == "Before", loaded.isEmpty()); // a file that does not load leaves the fixture as it was
    QVERIFY(f.Saved);
    if (!loaded.isEmpty()) {
        QCOMPARE(f.Layout800, compact);
        QCOMPARE(QString::fromStdString(f.FileDir), root_->path());
        QVERIFY(f.Attributes.Count() > 0);
    }
    const char *kinds[] = {"Warning: ", "Information: ", "Plain: ", "Error: "};
    QStringList messages;
    for (const TScriptedDialogs::TShown &message : dialogs_->Shown)
        messages << kinds[int(message.Kind)] + QString::fromStdString(message.Text);
    QCOMPARE(messages, shown.isEmpty() ? QStringList{} : QStringList{shown});
}

void TestStartup::userFixtures_whenTheWorkingDirectoryHasNone()
{
    // As an installed editor started from the menu: no Fixtures where it runs, so the dialogs
    // open on the user's own directory, made with copies of the samples, never on the program's.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root_->path()));
    SetDocumentsDir(root_->filePath("Documents").toStdString());
    const QString own = root_->filePath("Documents/Rigsmith/Fixtures");

    const std::unique_ptr<TMainFormBase> form = CreateMainForm(ReadStartArguments({"rigsmith"}));
    dialogs_->Files.push_back(std::nullopt); // the user cancels the chooser
    form->findChild<QPushButton *>("btnLoadFixture")->click();
    const bool samplesCopied = QFile::exists(own + "/demo-spot.fxr");
    // The compact layout's lists: Settings.ini names the relative directory "Fixtures".
    const std::string listed = FileListDirectory("unused");

    SetDocumentsDir({});
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(dialogs_->FileDialogs.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(dialogs_->FileDialogs[0].InitialDir), own);
    QVERIFY(samplesCopied);
    QCOMPARE(QString::fromStdString(listed), own);
}

void TestStartup::install_putsProgramsAndFilesWhereTheyFindThem()
{
    const QString prefix = root_->filePath("prefix");
    const TRun install = Run(RIGSMITH_CMAKE, {"--install", RIGSMITH_BUILD_DIR, "--prefix", prefix});
    QVERIFY2(install.Status == 0, qPrintable(install.Out + install.Err));

    const QDir bin(prefix + "/bin");
    const QDir share(prefix + "/share/rigsmith");
    QCOMPARE(QString::fromStdString(ProgramDirFor(bin.filePath("rigsmith").toStdString())), share.path());
    for (const char *file : {"Settings.ini", "FxrColor.ini", "lee.txt", "AddChannel.ini", "AddCommand.ini",
                             "Bitmaps/dimmer.bmp", "Fixtures/demo-spot.fxr"})
        QVERIFY2(QFile::exists(share.filePath(file)), file);
    QVERIFY(!QFile::exists(share.filePath("CMakeLists.txt")));
    QVERIFY(!QDir(share.filePath("PaletteIcons")).isEmpty(QDir::Dirs | QDir::NoDotAndDotDot));
    for (const char *file : {"applications/rigsmith.desktop", "mime/packages/rigsmith.xml",
                             "icons/hicolor/scalable/apps/rigsmith.svg", "icons/hicolor/48x48/apps/rigsmith.png",
                             "man/man1/rigsmith.1.gz", "man/man1/rigsmith-fxr.1.gz", "doc/rigsmith/copyright"})
        QVERIFY2(QFile::exists(prefix + "/share/" + file), file);

    // The installed programs run from anywhere, with no display; the editor prints what
    // ReadStartArguments decides on the stream it names and ends with its status.
    struct {
        QString program;
        QStringList arguments;
        TRun expected;
    } const runs[] = {
        {"rigsmith", {"--version"}, {0, "rigsmith " + Version + "\n", {}}},
        {"rigsmith", {"--help"}, {0, StartHelp(), {}}},
        {"rigsmith", {"800", "--bogus"}, {2, {}, UnknownOption}},
        {"rigsmith-fxr", {"check", share.filePath("Fixtures/demo-spot.fxr")}, {0, {}, {}}},
    };
    for (const auto &r : runs) {
        const TRun run = Run(bin.filePath(r.program), r.arguments, root_->path());
        QCOMPARE(run.Status, r.expected.Status);
        QCOMPARE(run.Out, r.expected.Out);
        QCOMPARE(run.Err, r.expected.Err);
    }
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
