// rigsmith-fxr as its users meet it: the built program run by the shell on the lines of
// tests/data/cli/runs.txt, its exit status, output and the files it wrote against runs.out.

#include "Version.h"
#include "support/Expected.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

std::string Prefixed(const std::string &text, const std::string &prefix)
{
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        out += prefix + line + "\n";
    return out;
}

std::map<std::string, std::string> Files(const fs::path &directory)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(directory))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), directory).string()] = ReadAll(entry.path().string());
    return files;
}

TEST(Cli, RunsGiveTheExpectedStatusOutputAndFiles)
{
    const fs::path data = TestData / "cli";
    const auto inputs = Files(data / "in");
    std::istringstream runs(ReadAll((data / "runs.txt").string()));
    std::string transcript;
    for (std::string line; std::getline(runs, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        TTempDir dir, streams;
        fs::copy(data / "in", dir.Path(), fs::copy_options::recursive);
        const std::string command =
            "cd '" + dir.Path().string() +
            "' && FXR='" RIGSMITH_FXR "' OFL='" OFL_CASES "' SOURCE_DATE_EPOCH=1715083200 && export FXR OFL "
            "SOURCE_DATE_EPOCH && (" +
            line + ") </dev/null >'" + streams.File("out") + "' 2>'" + streams.File("err") + "'";
        const int status = std::system(command.c_str());
        // What differs from machine to machine reads as its name.
        const auto named = [](std::string text) {
            for (const auto &[value, name] : {std::pair{RIGSMITH_VERSION, "VERSION"}, std::pair{OFL_CASES, "$OFL"}})
                for (auto at = text.find(value); at != std::string::npos; at = text.find(value, at))
                    text.replace(at, std::string(value).size(), name);
            return text;
        };
        transcript += "$ " + line + "\nexit " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + "\n" +
                      Prefixed(named(ReadAll(streams.File("out"))), "> ") +
                      Prefixed(named(ReadAll(streams.File("err"))), "! ");
        for (const auto &[name, contents] : Files(dir.Path()))
            if (!inputs.count(name) || inputs.at(name) != contents)
                transcript += "=== " + name + "\n" + contents + "\n=== end\n";
    }
    ExpectFile(data / "runs.out", transcript);
}

// Stopped while it writes, convert leaves no temporary file behind.
TEST(Cli, ConvertStoppedBySignalsLeavesNothingBehind)
{
    TTempDir dir;
    std::string text = "Format_Version = 2\r\nFixture = \"Big\"\r\nDmx_Channels = 1\r\nPARAMETERS\r\n"
                       "Dimmer, 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, NO, YES\r\nENDPARAMETERS\r\nPALETTES\r\n"
                       "PALETTETYPE = IN\r\n";
    for (int i = 0; i < 200000; ++i)
        text += "PALETTENAME = P" + std::to_string(i) + "\r\nDimmer = 5\r\n";
    WriteAll(dir.File("big.fxr"), text);
    int stopped = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(RIGSMITH_FXR, RIGSMITH_FXR, "convert", dir.File("big.fxr").c_str(), dir.File("out.fxr").c_str(),
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        // Stopped the moment its temporary file appears.
        int status = 0;
        while (waitpid(child, &status, WNOHANG) == 0)
            for (const fs::directory_entry &entry : fs::directory_iterator(dir.Path()))
                if (entry.path().filename().string().rfind(".out.fxr.", 0) == 0) {
                    kill(child, signal);
                    waitpid(child, &status, 0);
                    break;
                }
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), signal);
            ++stopped;
        }
        fs::remove(dir.File("out.fxr"));
        EXPECT_EQ(Files(dir.Path()).size(), 1u);
    }
    EXPECT_GT(stopped, 0) << "no run was caught while writing";
}

} // namespace
