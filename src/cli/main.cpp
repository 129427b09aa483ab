// rigsmith-fxr: checks, converts and dumps fixture files from the command line.

#include "Version.h"
#include "fxr/FixtureCheck.h"
#include "fxr/FixtureJson.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "platform/CodePage.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>

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

// What the editor's Check finds (the standard layout's: patches, then the base data, then what
// the file would not give back).
int Check(const std::vector<std::string> &files)
{
    int status = Success;
    for (const std::string &file : files) {
        const std::optional<TFixture> fixture = Load(file);
        if (!fixture) {
            status = Trouble;
            continue;
        }
        const std::vector<std::string> findings = CheckFindings(*fixture, fixture->FormatVersion);
        for (const std::string &finding : findings)
            Report(std::cout, file, finding);
        if (!findings.empty())
            status = std::max<int>(status, CheckFailed);
    }
    return Flushed(status);
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
    const std::vector<std::string> findings = CheckFindings(*fixture, format);
    for (const std::string &finding : findings)
        Report(std::cerr, in, finding);
    if (!findings.empty())
        return CheckFailed;
    try {
        PrepareForSaving(*fixture);
        if (WriteFixtureFile(*fixture, out, format))
            return Success;
        Report(std::cerr, out, "File access error");
    } catch (const std::exception &error) {
        Report(std::cerr, out, error.what());
    }
    return Trouble;
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

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"Checks, converts and dumps Rigsmith fixture files (.fxr).", "rigsmith-fxr"};
    app.set_version_flag("--version", std::string("rigsmith-fxr ") + RIGSMITH_VERSION);
    app.require_subcommand(1);
    app.footer("check and convert check a fixture as the editor's Check and Save do. Exit status: 0 on "
               "success, 1 when a check finds a problem (convert then writes nothing), 2 when a file cannot be "
               "read, loaded or written, or the command line is wrong. Findings go to standard output, errors "
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
    return Dump(dumpFile);
}
