// rigsmith-fxr: checks, converts and dumps fixture files from the command line, and exchanges them
// with the Open Fixture Library.

#include "Version.h"
#include "fxr/FixtureCheck.h"
#include "fxr/FixtureJson.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "live/LiveOutput.h"
#include "ofl/OflExport.h"
#include "ofl/OflImport.h"
#include "platform/CodePage.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

namespace {

enum ExitStatus { Success = 0, CheckFailed = 1, Trouble = 2 };

// Messages quote file contents, which are Windows-1252; the terminal wants UTF-8.
void Report(std::ostream &out, const std::string &file, const std::string &message)
{
    out << file << ": " << Cp1252ToUtf8(message) << '\n';
}

std::optional<TFixture> Load(const std::string &file)
{
    try {
        return ReadFixtureFile(file);
    } catch (const std::exception &error) {
        Report(std::cerr, file, error.what());
        return std::nullopt;
    }
}

// Findings go to standard output: a listing that did not arrive whole is no listing.
int Flushed(int status)
{
    std::cout.flush();
    if (std::cout)
        return status;
    const int error = errno;
    std::cerr << "rigsmith-fxr: cannot write the output: " << std::strerror(error ? error : EIO) << '\n';
    return Trouble;
}

// What checking one file gave: why it could not be read, or the findings.
struct TChecked {
    bool Loaded = false;
    std::string Error;
    std::vector<std::string> Findings;
};

TChecked CheckFile(const std::string &file)
{
    TChecked checked;
    try {
        const TFixture fixture = ReadFixtureFile(file);
        checked.Findings = CheckFindings(fixture, fixture.FormatVersion);
        checked.Loaded = true;
    } catch (const std::exception &error) {
        checked.Error = error.what();
    }
    return checked;
}

// What the editor's Check finds (the standard layout's: patches, then the base data, then what
// the file would not give back). The files are read and checked on a thread per core, at most
// eight, so that at most that many fixtures are held at once. This thread is one of them; between
// its files, and at the end, it reports the files done in the order given.
int Check(const std::vector<std::string> &files)
{
    std::vector<TChecked> results(files.size());
    std::vector<bool> done(files.size());
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<std::size_t> next = 0;
    std::size_t reported = 0;
    int status = Success;
    const auto report = [&](bool waiting) {
        for (; reported < files.size(); ++reported) {
            TChecked checked;
            {
                std::unique_lock lock(mutex);
                if (!waiting && !done[reported])
                    return;
                finished.wait(lock, [&] { return done[reported]; });
                checked = std::move(results[reported]);
            }
            const std::string &file = files[reported];
            if (!checked.Loaded) {
                Report(std::cerr, file, checked.Error);
                status = Trouble;
                continue;
            }
            for (const std::string &finding : checked.Findings)
                Report(std::cout, file, finding);
            if (!checked.Findings.empty())
                status = std::max<int>(status, CheckFailed);
        }
    };
    const auto work = [&](bool reporting) {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            TChecked checked = CheckFile(files[i]);
            {
                const std::lock_guard lock(mutex);
                results[i] = std::move(checked);
                done[i] = true;
            }
            if (reporting)
                report(false);
            else
                finished.notify_one();
        }
    };
    const std::size_t threads =
        std::min<std::size_t>({std::max(1u, std::thread::hardware_concurrency()), 8, files.size()});
    std::vector<std::jthread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work, false);
    work(true);
    report(true);
    return Flushed(status);
}

// The checks of the editor's Save in the format to be written, then the save; nothing is written
// when a check finds something. name is what the findings are reported under.
int SaveChecked(TFixture &fixture, const std::string &name, const std::string &out, int format)
{
    const std::vector<std::string> findings = CheckFindings(fixture, format);
    for (const std::string &finding : findings)
        Report(std::cerr, name, finding);
    if (!findings.empty())
        return CheckFailed;
    try {
        PrepareForSaving(fixture);
        if (WriteFixtureFile(fixture, out, format))
            return Success;
        Report(std::cerr, out, "File access error");
    } catch (const std::exception &error) {
        Report(std::cerr, out, error.what());
    }
    return Trouble;
}

// What the editor's Save does: the same checks first, in the format to be written; nothing is
// written when one finds something.
int Convert(const std::string &in, const std::string &out, int format)
{
    std::optional<TFixture> fixture = Load(in);
    if (!fixture)
        return Trouble;
    if (format == 0)
        format = fixture->FormatVersion == 1 ? 1 : 2;
    return SaveChecked(*fixture, in, out, format);
}

int Dump(const std::string &file)
{
    const std::optional<TFixture> fixture = Load(file);
    if (!fixture)
        return Trouble;
    WriteFixtureJson(std::cout, *fixture);
    std::cout << '\n';
    return Flushed(Success);
}

// A file name of fixture and mode: what a file system takes, in UTF-8.
std::string FileNameOf(const std::string &fixture, const std::string &mode)
{
    std::string name = fixture + " - " + mode;
    for (char &c : name)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32)
            c = '_';
    return name + ".fxr";
}

int Import(const std::string &in, const std::string &out, const std::string &mode, bool allModes, int format)
{
    try {
        const TOflFixture source = TOflFixture::Read(in);
        const std::vector<std::string> modes = source.ModeNames();
        std::vector<std::size_t> chosen;
        if (allModes) {
            for (std::size_t i = 0; i < modes.size(); ++i)
                chosen.push_back(i);
            std::error_code error;
            std::filesystem::create_directories(out, error);
        } else if (!mode.empty()) {
            chosen.push_back(source.FindMode(mode));
        } else if (modes.size() == 1) {
            chosen.push_back(0);
        } else {
            std::cerr << in << ": the fixture has " << modes.size() << " modes; choose one with --mode:\n";
            for (const std::string &name : modes)
                std::cerr << "  " << name << '\n';
            return Trouble;
        }
        int status = Success;
        for (const std::size_t i : chosen) {
            const std::string label = in + " (" + modes[i] + ")";
            try {
                TOflImport imported = source.Import(i, format);
                for (const std::string &line : imported.Report)
                    Report(std::cerr, label, line);
                const std::string target =
                    allModes
                        ? (std::filesystem::path(out) / FileNameOf(source.Json()["name"].get<std::string>(), modes[i]))
                              .string()
                        : out;
                status = std::max(status, SaveChecked(imported.Fixture, label, target, format));
            } catch (const EOflError &error) {
                Report(std::cerr, label, error.what());
                status = Trouble;
            }
        }
        return status;
    } catch (const EOflError &error) {
        Report(std::cerr, in, error.what());
        return Trouble;
    }
}

int Export(const std::string &in, const std::string &out)
{
    const std::optional<TFixture> fixture = Load(in);
    if (!fixture)
        return Trouble;
    std::vector<std::string> report;
    const nlohmann::ordered_json json = ExportOfl(*fixture, report);
    for (const std::string &line : report)
        Report(std::cerr, in, line);
    try {
        if (ReplaceFileContents(out, json.dump(2) + "\n"))
            return Success;
        Report(std::cerr, out, "File access error");
    } catch (const std::exception &error) {
        Report(std::cerr, out, error.what());
    }
    return Trouble;
}

struct TSendRequest {
    std::string File;
    unsigned Universe = 1;
    int Address = 1;
    std::string Command, Palette;
    std::vector<std::string> Settings;
};

// Sends a command, a palette or attribute values to a universe through olad and waits until the
// last of it has gone out.
int Send(const TSendRequest &request)
{
    if (request.Command.empty() && request.Palette.empty() && request.Settings.empty()) {
        std::cerr << "rigsmith-fxr send: say what to send: --command NAME, --palette NAME or --set ATTRIBUTE=VALUE\n";
        return Trouble;
    }
    const std::optional<TFixture> fixture = Load(request.File);
    if (!fixture)
        return Trouble;
    std::vector<TTimedFrame> frames;
    try {
        if (!request.Command.empty()) {
            const TCommand *command = fixture->Commands.Find(request.Command);
            if (command == nullptr)
                throw ELiveError("The fixture has no command \"" + request.Command + "\"");
            frames = CommandFrames(*fixture, *command, request.Address);
        } else if (!request.Palette.empty()) {
            const TPalette *palette = FindPaletteNamed(*fixture, request.Palette);
            if (palette == nullptr)
                throw ELiveError("The fixture has no palette \"" + request.Palette + "\"");
            frames.push_back({PaletteLevels(*fixture, *palette, request.Address), 0});
        } else {
            TTimedFrame frame;
            for (const std::string &setting : request.Settings) {
                const TLevelChanges levels = SettingLevels(*fixture, setting, request.Address);
                frame.Changes.insert(frame.Changes.end(), levels.begin(), levels.end());
            }
            frames.push_back(std::move(frame));
        }
    } catch (const ELiveError &error) {
        Report(std::cerr, request.File, error.what());
        return Trouble;
    }
    std::string failure;
    TLiveOutput output(MakeDaemonOutput(request.Universe),
                       [&failure](const std::string &message) { failure = message; });
    output.Play(std::move(frames));
    if (output.Drain())
        return Success;
    std::cerr << "rigsmith-fxr: " << failure << '\n';
    return Trouble;
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"Checks, converts and dumps Rigsmith fixture files (.fxr), and imports and exports fixtures of the "
                 "Open Fixture Library.",
                 "rigsmith-fxr"};
    app.set_version_flag("--version", std::string("rigsmith-fxr ") + RIGSMITH_VERSION);
    app.require_subcommand(1);
    app.footer(
        "check, convert and import check a fixture as the editor's Check and Save do. Exit status: 0 on "
        "success, 1 when a check finds a problem (nothing is then written), 2 when a file cannot be "
        "read, loaded or written, a mode, command, palette or attribute does not exist, a mode has more than "
        "64 channels, olad cannot be reached, or the command line is wrong. Findings go to standard output, errors "
        "to standard error.");

    std::vector<std::string> checkFiles;
    CLI::App *check = app.add_subcommand("check", "Load each file and check it; print each finding as FILE: message.");
    check->add_option("FILE", checkFiles, "Fixture files")->required();

    std::string convertIn, convertOut;
    int format = 0;
    CLI::App *convert = app.add_subcommand(
        "convert", "Load IN and save it as OUT, as the editor saves; nothing is written when a check finds a problem.");
    convert->add_option("--format", format, "1 for format 1.0, 2 for format 2 (default: the format of IN)")
        ->check(CLI::IsMember({1, 2}));
    convert->add_option("IN", convertIn, "Fixture file to read")->required();
    convert->add_option("OUT", convertOut, "Fixture file to write")->required();

    std::string dumpFile;
    CLI::App *dump = app.add_subcommand("dump", "Print the loaded model of FILE as one JSON object.");
    dump->add_option("FILE", dumpFile, "Fixture file")->required();

    std::string importIn, importOut, importMode;
    bool allModes = false;
    int importFormat = 2;
    CLI::App *import = app.add_subcommand(
        "import", "Make a mode of an Open Fixture Library fixture (IN.json) a fixture file OUT; with --all-modes, "
                  "every mode a file named after fixture and mode in the directory OUT. What has no counterpart "
                  "is listed on standard error. A fixture of several modes without --mode lists them.");
    CLI::Option *modeOption = import->add_option("--mode", importMode, "The mode to import, by name or short name");
    import->add_flag("--all-modes", allModes, "Import every mode")->excludes(modeOption);
    import->add_option("--format", importFormat, "1 for format 1.0, 2 for format 2 (default)")
        ->check(CLI::IsMember({1, 2}));
    import->add_option("IN", importIn, "Open Fixture Library fixture (.json)")->required();
    import->add_option("OUT", importOut, "Fixture file, or directory with --all-modes")->required();

    std::string exportIn, exportOut;
    CLI::App *exportCommand = app.add_subcommand(
        "export", "Write the fixture IN as an Open Fixture Library fixture OUT.json of one mode; what has no "
                  "counterpart is listed on standard error.");
    exportCommand->add_option("IN", exportIn, "Fixture file to read")->required();
    exportCommand->add_option("OUT", exportOut, "Open Fixture Library fixture to write")->required();

    TSendRequest sendRequest;
    CLI::App *send = app.add_subcommand(
        "send", "Send a command (its steps in order, each held for its time), a palette, or attribute values of FILE "
                "to a DMX universe through olad (the Open Lighting Architecture's daemon), and exit once sent.");
    send->add_option("FILE", sendRequest.File, "Fixture file")->required();
    send->add_option("--universe", sendRequest.Universe, "The universe")->required()->check(CLI::Range(0u, 65535u));
    send->add_option("--address", sendRequest.Address, "The fixture's first channel (default 1)")
        ->check(CLI::Range(1, UniverseSize));
    CLI::Option *commandOption = send->add_option("--command", sendRequest.Command, "A command, by name");
    CLI::Option *paletteOption = send->add_option("--palette", sendRequest.Palette, "A palette, by name");
    CLI::Option *setOption =
        send->add_option("--set", sendRequest.Settings,
                         "ATTRIBUTE=VALUE, the value as in the file (decimal, percent, hexadecimal with h)");
    commandOption->excludes(paletteOption)->excludes(setOption);
    paletteOption->excludes(setOption);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        const int status = app.exit(error);
        return status == 0 ? Success : Trouble;
    }

    RemoveTemporaryFilesOnSignals();
    if (*check)
        return Check(checkFiles);
    if (*convert)
        return Convert(convertIn, convertOut, format);
    if (*import)
        return Flushed(Import(importIn, importOut, importMode, allModes, importFormat));
    if (*exportCommand)
        return Export(exportIn, exportOut);
    if (*send)
        return Send(sendRequest);
    return Dump(dumpFile);
}
