// rigsmith: the fixture editor.

#include "Application.h"
#include "MainFormBase.h"
#include "MainFormClass.h"
#include "QtDialogs.h"
#include "Recovery.h"
#include "Startup.h"
#include "Version.h"
#include "palettes/QtText.h"
#include "platform/Paths.h"

#include <QIcon>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

QStringList Arguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Help, version and a wrong command line are answered before any window system is needed, so
// that they work over ssh and in scripts too.
std::optional<int> Answered(const TStartRequest &request)
{
    if (!request.ExitStatus)
        return std::nullopt;
    std::fputs(request.Output.toLocal8Bit().constData(), stdout);
    std::fputs(request.Errors.toLocal8Bit().constData(), stderr);
    return request.ExitStatus;
}

// How often unsaved work is copied aside.
constexpr int RecoveryIntervalMs = 2000;

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName("rigsmith");
    // Empty, so that the desktop shows each window's caption as it is, with no " — Rigsmith" after it.
    QApplication::setApplicationDisplayName(QString(""));
    QApplication::setApplicationVersion(RIGSMITH_VERSION);
    if (const auto status = Answered(ReadStartArguments(Arguments(argc, argv))))
        return *status;

    TApplication application(argc, argv);
    QApplication::setDesktopFileName("rigsmith");
    // What is left once Qt has taken its own options.
    const TStartRequest request = ReadStartArguments(QApplication::arguments());
    if (const auto status = Answered(request))
        return *status;
    // The desktop knows the user's documents directory best, in whatever language it is named.
    SetDocumentsDir(PathFromQt(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));

    TQtDialogs dialogs;
    SetDialogs(&dialogs);
    const std::unique_ptr<TMainFormBase> mainForm = CreateMainForm(request);
    dialogs.SetMainWindow(mainForm.get(), request.Compact, &mainForm->Controller()->Fixture());
    mainForm->show();
    // Once the window is up, so that a message about the file has a window to stand over. Work
    // that an earlier run left unsaved comes first; the question names the file it would replace.
    TRecovery recovery(mainForm->Controller()->Fixture(), TRecovery::DefaultDirectory());
    QObject::connect(mainForm->Controller(), &TMainFormClass::Saved, &recovery, &TRecovery::Discard);
    QObject::connect(mainForm->Controller(), &TMainFormClass::Changed, &recovery, &TRecovery::MarkChanged);
    QTimer::singleShot(0, mainForm.get(), Guarded([&] {
                           // The installed icon, from the desktop's icon theme; none when run from
                           // the build tree. Looking it up reads the theme's index, which the window
                           // need not wait for.
                           QApplication::setWindowIcon(QIcon::fromTheme("rigsmith"));
                           // The windows of the run, made once in the order the layout uses them,
                           // once the main window is up.
                           if (request.Compact)
                               dialogs.CreateFileListDialogs();
                           dialogs.CreateDmxPanel();
                           dialogs.CreateValueDialog();
                           dialogs.CreateNameDialog();
                           if (!recovery.Offer(*mainForm->Controller(), StartFile(request)))
                               OpenStartFile(*mainForm, request);
                           recovery.Start(RecoveryIntervalMs);
                       }));
    const int status = application.exec();
    // The window closed: the user saved, or chose not to.
    recovery.Discard();
    SetDialogs(nullptr);
    return status;
}
