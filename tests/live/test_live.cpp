// Live output: the levels of the sample fixtures' commands and palettes, the sender's pace and
// order, and olad reading back what the library and rigsmith-fxr send.

#include "live/LiveOutput.h"
#include "support/Expected.h"
#include "support/Olad.h"

#include <gtest/gtest.h>

#include <map>

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
const fs::path Fixtures = fs::path(RIGSMITH_SOURCE_DIR) / "data" / "Fixtures";

std::string Text(const TLevelChanges &levels)
{
    std::string text;
    for (const TLevelChange &change : levels)
        text += " " + std::to_string(change.Channel) + "=" + std::to_string(change.Level);
    return text;
}

// Every command and palette of the sample fixtures as rigsmith-fxr send names them, with their frames.
TEST(LiveFrames, OfEveryCommandAndPaletteOfTheSamples)
{
    std::map<std::string, TFixture> fixtures;
    for (const fs::directory_entry &entry : fs::directory_iterator(Fixtures))
        fixtures.emplace(entry.path().filename().string(), ReadFixtureFile(entry.path().string()));
    std::string text;
    for (const auto &[file, fixture] : fixtures) {
        for (const TCommand &command : fixture.Commands) {
            text += file + " --command \"" + command.Name + "\" =>";
            for (const TTimedFrame &frame : CommandFrames(fixture, command, 1))
                text += Text(frame.Changes) + " @" + std::to_string(frame.HoldMs) + " |";
            text += "\n";
        }
        for (const TPalette &palette : fixture.Palettes)
            text +=
                file + " --palette \"" + palette.Key() + "\" =>" + Text(PaletteLevels(fixture, palette, 1)) + " @0 |\n";
    }
    ExpectFile(TestData / "live" / "sends.txt", text);
}

struct TRecorder : TDmxOutput {
    std::vector<std::pair<Clock::time_point, TUniverse>> &frames;
    explicit TRecorder(std::vector<std::pair<Clock::time_point, TUniverse>> &into) : frames(into) {}
    bool Open(std::string &) override { return true; }
    bool Send(const TUniverse &levels, std::string &) override
    {
        frames.emplace_back(Clock::now(), levels);
        return true;
    }
};

// A burst of changes goes out in a few frames, never closer than a 44th of a second, the last
// with the last levels; a command's steps each in a frame of their own, in order, held their time.
TEST(LiveOutput, FoldsChangesIntoFramesAndHoldsSteps)
{
    const std::vector<TTimedFrame> steps{{{{1, 10}}, 60}, {{{2, 20}}, 0}, {{{1, 30}, {3, 40}}, 90}, {{{1, 0}}, 0}};
    for (const bool burst : {true, false}) {
        std::vector<std::pair<Clock::time_point, TUniverse>> frames;
        {
            TLiveOutput output(std::make_unique<TRecorder>(frames), {});
            for (int i = 0; burst && i < 5000; ++i)
                output.Set({{1, uint8_t(i)}, {512, uint8_t(i / 256)}});
            if (!burst)
                output.Play(steps);
            ASSERT_TRUE(output.Drain());
        }
        ASSERT_FALSE(frames.empty());
        for (std::size_t i = 1; i < frames.size(); ++i) {
            const auto hold = burst ? 0ms : std::chrono::milliseconds(steps[i - 1].HoldMs);
            EXPECT_GE(frames[i].first - frames[i - 1].first, std::max<Clock::duration>(hold, TLiveOutput::FrameGap));
        }
        if (burst) {
            EXPECT_LT(frames.size(), 50u);
            EXPECT_EQ(Text({{1, frames.back().second[0]}, {512, frames.back().second[511]}}), " 1=135 512=19");
            continue;
        }
        ASSERT_EQ(frames.size(), steps.size());
        std::string levels;
        for (const auto &frame : frames)
            levels += Text({{1, frame.second[0]}, {2, frame.second[1]}, {3, frame.second[2]}}) + " |";
        EXPECT_EQ(levels, " 1=10 2=0 3=0 | 1=10 2=20 3=0 | 1=30 2=20 3=40 | 1=0 2=20 3=40 |");
    }
}

// olad not running: one report, and no wait that never ends (olad stopping: the panel's test).
TEST(LiveDaemon, ReportsADaemonNotRunning)
{
    if (!DaemonOutputBuilt())
        GTEST_SKIP() << "this build has no live output: OLA's development files (libola-dev) were missing";
    std::vector<std::string> reports;
    const auto report = [&reports](const std::string &message) { reports.push_back(message); };
    setenv("RIGSMITH_OLA_PORT", "1", 1); // nothing answers there
    TLiveOutput output(MakeDaemonOutput(1), report);
    output.Set({{1, 255}});
    EXPECT_FALSE(output.Drain());
    EXPECT_EQ(reports, std::vector<std::string>{"olad, the DMX daemon, does not answer on port 1: is it running?"});
}

// What rigsmith-fxr send leaves in the universe: the samples' palettes and their commands of two
// seconds at most (the lamp commands hold five), and the cases of cli.txt, with the final levels
// of each (the channels not at 0) or the exit status and message.
TEST(LiveCli, SendReadsBack)
{
    if (const std::string why = OladMissing(); !why.empty())
        GTEST_SKIP() << why;
    TOlad olad(5);
    std::string expected, actual;
    for (const std::string file : {"sends.txt", "cli.txt"}) {
        std::istringstream lines(ReadAll((TestData / "live" / file).string()));
        for (std::string line; std::getline(lines, line);) {
            const auto arrow = line.find(" =>");
            const std::string args = line.substr(0, arrow);
            std::map<int, int> levels;
            int held = 0;
            std::istringstream frames(line.substr(arrow + 3));
            for (std::string token; frames >> token && file == "sends.txt";)
                if (token[0] == '@')
                    held += std::stoi(token.substr(1));
                else if (const auto equals = token.find('='); equals != std::string::npos)
                    levels[std::stoi(token)] = std::stoi(token.substr(equals + 1));
            if (held > 2000)
                continue;
            std::string want = line.substr(arrow + 3);
            if (file == "sends.txt") {
                want.clear();
                for (const auto &[channel, level] : levels)
                    want += level ? " " + std::to_string(channel) + "=" + std::to_string(level) : "";
            }
            TTempDir streams;
            const std::string command = "cd '" + Fixtures.string() + "' && RIGSMITH_OLA_PORT=" + olad.Port() +
                                        " '" RIGSMITH_FXR "' send " + args + " --universe 5 2>'" + streams.File("err") +
                                        "'";
            const int status = WEXITSTATUS(std::system(command.c_str()));
            std::string got = status ? " exit " + std::to_string(status) + ": " + ReadAll(streams.File("err")) : "";
            for (const auto start = Clock::now(); !status && got != want && Clock::now() - start < 2s;) {
                std::this_thread::sleep_for(5ms);
                got.clear();
                const std::vector<int> universe = olad.Levels();
                for (std::size_t i = 0; i < universe.size(); ++i)
                    got += universe[i] ? " " + std::to_string(i + 1) + "=" + std::to_string(universe[i]) : "";
            }
            expected += args + " =>" + want + "\n";
            actual += args + " =>" + got + (status ? "" : "\n");
        }
    }
    EXPECT_EQ(expected, actual);
}

} // namespace
