#pragma once

// The editor's command line, and the main window it starts with:
//   rigsmith [800] [FILE.fxr]      rigsmith --help      rigsmith --version
// Kept apart from main() so that the window tests can run the same rules.

#include "MainFormBase.h"
#include "Version.h"
#include "palettes/QtText.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>

#include <memory>
#include <optional>

struct TStartRequest {
    bool Compact = false; // the 800 layout
    QString File;         // the fixture file to open at start; empty for none
    // Set when the program ends at once (help, version, a wrong command line), with what it prints.
    std::optional<int> ExitStatus;
    QString Output; // for standard output
    QString Errors; // for standard error
};

inline QString StartHelp()
{
    return QStringLiteral(
        "Usage: rigsmith [800] [FILE.fxr]\n"
        "Edits the fixture definition files (.fxr) of a DMX lighting controller.\n"
        "\n"
        "Arguments:\n"
        "  800            the compact layout for screens of 800 by 600; only as the first argument\n"
        "  FILE.fxr       the fixture file to open at start\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "\n"
        "Further arguments are ignored. The command-line tool rigsmith-fxr checks, converts and dumps\n"
        "fixture files without a window.\n");
}

// Reads the command line, program name first. Qt's own options (-platform, -style and the like)
// are let through: QApplication takes them off the command line, and main() reads what is left
// once more. Help and version go to standard output with status 0, a wrong command line to
// standard error with status 2.
inline TStartRequest ReadStartArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one option, as Qt reads it, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"v", "version"});
    parser.addOption(help);
    parser.addOption(version);
    for (const char *name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
          "qwindowicon", "qwindowtitle", "session", "display", "geometry", "style", "stylesheet"})
        parser.addOption(QCommandLineOption(name, {}, "value"));
    for (const char *name : {"reverse", "widgetcount"})
        parser.addOption(QCommandLineOption(name));

    TStartRequest request;
    if (!parser.parse(arguments)) {
        request.ExitStatus = 2;
        request.Errors = "rigsmith: " + parser.errorText() + "\nTry 'rigsmith --help' for more information.\n";
        return request;
    }
    if (parser.isSet(help)) {
        request.ExitStatus = 0;
        request.Output = StartHelp();
        return request;
    }
    if (parser.isSet(version)) {
        request.ExitStatus = 0;
        request.Output = QStringLiteral("rigsmith " RIGSMITH_VERSION "\n");
        return request;
    }
    QStringList positional = parser.positionalArguments();
    // Exactly "800", and only first: "0800" or "800x" is a file name like any other.
    request.Compact = !positional.isEmpty() && positional.first() == "800";
    if (request.Compact)
        positional.removeFirst();
    if (!positional.isEmpty())
        request.File = positional.first();
    return request;
}

// Creates the main window of the layout the request asks for.
inline std::unique_ptr<TMainFormBase> CreateMainForm(const TStartRequest &request)
{
    if (request.Compact)
        return std::make_unique<TMainForm800>();
    return std::make_unique<TMainForm>();
}

// Opens the file given on the command line, as "Load fixture" opens a chosen one, with the same
// messages when it cannot be read. The path goes to the file system as the bytes it came in.
// The file named on the command line, absolute; empty when there is none.
inline std::string StartFile(const TStartRequest &request)
{
    return request.File.isEmpty() ? std::string() : PathFromQt(QFileInfo(request.File).absoluteFilePath());
}

inline void OpenStartFile(TMainFormBase &form, const TStartRequest &request)
{
    if (!request.File.isEmpty())
        form.Controller()->LoadFixtureFile(PathFromQt(request.File));
}
