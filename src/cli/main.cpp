// rigsmith-fxr: checks, converts and dumps fixture files from the command line.

#include "FixtureJson.h"
#include "Version.h"
#include "fxr/FixtureCheck.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "platform/CodePage.h"

#include <CLI/CLI.hpp>

#include <algorithm>
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

int Check(const std::vector<std::string> &files)
{
    int status = Success;
    for (const std::string &file : files) {
        const std::optional<TFixture> fixture = Load(file);
        if (!fixture) {
            status = Trouble;
            continue;
        }
        std::vector<std::string> findings = PatchFindings(*fixture);
        for (std::string &finding : BaseDataFindings(*fixture))
            findings.push_back(std::move(finding));
        for (const std::string &finding : findings)
            Report(std::cout, file, finding);
        if (!findings.empty())
            status = std::max<int>(status, CheckFailed);
    }
    return status;
}

int Convert(const std::string &in, const std::string &out, int format)
{
    std::optional<TFixture> fixture = Load(in);
    if (!fixture)
        return Trouble;
    try {
        if (format == 0)
            format = fixture->FormatVersion == 1 ? 1 : 2;
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
    std::cout << FixtureToJson(*fixture).dump(2) << '\n';
    return Success;
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"Checks, converts and dumps Rigsmith fixture files (.fxr).", "rigsmith-fxr"};
    app.set_version_flag("--version", std::string("rigsmith-fxr ") + RIGSMITH_VERSION);
    app.require_subcommand(1);
    app.footer("Exit status: 0 on success, 1 when a check finds a problem, 2 when a file cannot be read, "
               "loaded or written, or the command line is wrong. Findings go to standard output, errors "
               "to standard error.");

    std::vector<std::string> checkFiles;
    CLI::App *check = app.add_subcommand("check", "Load each file and check it; print each finding as FILE: message.");
    check->add_option("FILE", checkFiles, "Fixture files")->required();

    std::string convertIn, convertOut;
    int format = 0;
    CLI::App *convert = app.add_subcommand("convert", "Load IN and save it as OUT.");
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

    if (*check)
        return Check(checkFiles);
    if (*convert)
        return Convert(convertIn, convertOut, format);
    return Dump(dumpFile);
}
