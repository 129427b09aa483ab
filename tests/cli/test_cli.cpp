// rigsmith-fxr as its users meet it: the built program run as a child process, its standard output,
// standard error and exit status taken apart.

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

#ifndef RIGSMITH_FXR
#error "RIGSMITH_FXR must name the rigsmith-fxr executable"
#endif

namespace {

using testing_support::CrLf;
using testing_support::ReadAll;
using testing_support::TTempDir;
using testing_support::WriteAll;

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs rigsmith-fxr with the arguments; standard input is empty. SOURCE_DATE_EPOCH is taken out of
// the inherited environment and set only when epoch is given.
TRun RunFxr(const std::vector<std::string> &args, const std::string &epoch = "")
{
    TTempDir streams;
    const std::string outPath = streams.File("stdout");
    const std::string errPath = streams.File("stderr");

    std::vector<std::string> env;
    for (char **entry = environ; *entry; ++entry)
        if (std::string_view(*entry).rfind("SOURCE_DATE_EPOCH=", 0) != 0)
            env.emplace_back(*entry);
    if (!epoch.empty())
        env.push_back("SOURCE_DATE_EPOCH=" + epoch);

    std::string program = RIGSMITH_FXR;
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (std::string &entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + program);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            throw std::runtime_error("waitpid failed");

    TRun run;
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = ReadAll(outPath);
    run.Err = ReadAll(errPath);
    return run;
}

// Output lines as the program prints them: each ended by a line feed.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    const auto at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("not in the text: " + from);
    return text.replace(at, from.size(), to);
}

bool Exists(const std::string &path)
{
    return std::filesystem::exists(path);
}

// ---------------------------------------------------------------------------------------------
// A small fixture, as a user might type it, and what the two writers make of it.

// clang-format off
constexpr const char *Epoch = "1715083200"; // 7 May 2024, noon UTC

const std::string MiniHead = CrLf({
    "Format_Version = 2",
    "Author = \"TEST BENCH\"",
    "Revision = \"R1\"",
    "Date = 02/01/2020",
    "COMMENTS",
    "Small fixture for the converter.",
    "Second line.",
    "ENDCOMMENTS",
    "Fixture = \"Mini Head\"",
    "//++Brand = \"Rigsmith Demo\"",
    "Type = moving_head",
    "Pan_Angle_min = -270",
    "Pan_Angle_max = 270",
    "Tilt_Angle_min = -120",
    "Tilt_Angle_max = 120",
    "Dmx_Channels = 4",
    "Dmx_Split_Channels = 0",
    "PARAMETERS",
    "\"Dimmer\", 1, IN, HTP, 16, 1, 2, LINEAR, 0, 65535, YES, YES",
    "\"Color\", 3, CO, LTP, 8, 3, na, SNAP_START, 0, 255, NO, YES",
    "\"Control\", 5, IN, LTP, 8, 4, na, SNAP_END, 0, 255, NO, NO",
    "ENDPARAMETERS",
    "COMMANDS",
    "CommandName=\"Reset\"",
    "Control, 255, 1000",
    "Control, 0, 0",
    "",
    "ENDCOMMANDS",
    "PALETTES",
    "PALETTETYPE = IN",
    "PALETTENAME = \"Full\"",
    "PALETTEDESC = \"All on\"",
    "\"Dimmer\" = 65535",
    "PALETTETYPE = CO",
    "PALETTENAME = \"Red\"",
    "PALETTECOLOR = 255, 0, 0",
    "\"Color\" = 20",
    "PALETTETYPE = SP",
    "PALETTENAME = \"Spin\"",
    "PALETTEBITMAP = Special\\spin.bmp",
    "\"Color\" = 200",
    "ENDPALETTES",
});

const std::string Separator = "// " + std::string(77, '-');

const std::string Introduction = CrLf({
    "// All chars following // are comments",
    "// Empty lines are allowed",
    "// Keywords are case insensitive",
    "// If some strings contain blanks they must be delimited by \"",
    "// Numbers can be written in decimal, percentual or exadecimal representation:",
    "// 50 is a decimal value, 4% is a percentual value, FFh is an exadecimal value",
    "",
    "",
    "//---------------  Generic information ---------------",
});

const std::string PaletteExplanation = CrLf({
    "PALETTES",
    "",
    "// Palette values can be written in two ways:",
    "// 1) logical channel name = value;",
    "// 2) #internal channel patch = value (this mode is useful for channels, like command channels,",
    "// which have no corresponding logical channel).",
    "",
    "",
});

const std::string MiniHeadFormat2 = Introduction + CrLf({
    "",
    "Format_Version = 2",
    "",
    "Author = \"TEST BENCH\"",
    "Revision = \"R1\"",
    "Date = 07/05/2024",
    "",
    "COMMENTS",
    "Small fixture for the converter.",
    "Second line.",
    "ENDCOMMENTS",
    "",
    "// Fixture information",
    "",
    "Fixture = \"Mini Head\"",
    "//++Brand   = \"Rigsmith Demo\"",
    "Type = moving_head",
    "Pan_Angle_min = -270",
    "Pan_Angle_max = 270",
    "Tilt_Angle_min =-120",
    "Tilt_Angle_max = 120",
    "",
    "Dmx_Channels = 4",
    "",
    "// Some fixture have channels splitted in two set patchaed at two independent dmx address",
    "Dmx_Split_Channels = 0",
    "",
    "// --------------- Attribute section --------------------",
    "// Column 1: attribute name,",
    "// Column 2: priority,",
    "// Column 3: channel type(IN/PT/CO/GB/PR/BL for Intensity/Pan & tilt/Color/Gobo/Prism/Blade),",
    "// Column 4: control type HTP/LTP,",
    "// Column 5: width: 8/16,",
    "// Column 6: internal patch,",
    "// Column 7: internal patch low (only for 16 bit channels, for 8 bit ch. must be 'na'),",
    "// Column 8: path: LINEAR, SNAP_START, SNAP_END",
    "// Column 9: dmx minimum value,",
    "// Column 10: dmx maximum value,",
    "// Column 11: function type: GENERIC,PAN,TILT,DIMMER,IRIS,SHUTTER..(to be defined)",
    "// Column 12: hinherit: Yes/No",
    "// Column 13: show on editor: Yes/No",
    "",
    "// Note:",
    "// 1) show on editor=No is typically used for attributes used in commands only ",
    "// 2) if show on editor=No, field priority, ch. type, control type, path, function type ",
    "//    and hinherit are not applicable and will be ignored",
    "",
    "PARAMETERS",
    "",
    "\"Dimmer\"            ,  1, IN, HTP, 16,  1,  2,     LINEAR,     0, 65535, YES, YES",
    "\"Color\"             ,  3, CO, LTP,  8,  3, na, SNAP_START,     0,   255,  NO, YES",
    "\"Control\"           ,  5, IN, LTP,  8,  4, na,   SNAP_END,     0,   255,  NO,  NO",
    "",
    "ENDPARAMETERS",
    "",
    "// --------------- Commands section --------------------",
    "",
    "COMMANDS",
    "",
    "CommandName=\"Reset\"",
    "Control,   255, 1000",
    "Control,     0, 0",
    "",
    "",
    "ENDCOMMANDS",
    "",
    "// --------------- Palettes section --------------------",
    "",
}) + PaletteExplanation + CrLf({
    Separator,
    "// General purpose palettes",
    Separator,
    "PALETTETYPE = IN         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP",
    "PALETTENAME = \"Full\"",
    "PALETTEDESC = \"All on\"",
    "\"Dimmer\" = 65535",
    "",
    "PALETTETYPE = CO         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP",
    "PALETTENAME = \"Red\"",
    "PALETTECOLOR = 255, 0, 0",
    "\"Color\" = 20",
    "",
    Separator,
    "// Special function palettes",
    Separator,
    "PALETTETYPE = SP         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP",
    "PALETTENAME = \"Spin\"",
    "PALETTEBITMAP = Special\\spin.bmp",
    "\"Color\" = 200",
    "",
    "ENDPALETTES",
});

const std::string MiniHeadFormat10 = Introduction + CrLf({
    "",
    "Author = \"TEST BENCH\"",
    "Version = 1.0",
    "Date = 07/05/2024",
    "",
    "",
    "// Fixture information",
    "",
    "Fixture = \"Mini Head\"",
    "//++Brand   = \"Rigsmith Demo\"",
    "",
    "Type = moving_head",
    "Pan_Angle_min = -270",
    "Pan_Angle_max = 270",
    "Tilt_Angle_min =-120",
    "Tilt_Angle_max = 120",
    "",
    "Dmx_Channels = 4",
    "",
    "",
    "// --------------- Logical Channel List --------------------",
    "// Column 1: channel name,",
    "// Column 2: priority,",
    "// Column 3: channel type IN/PT/CO/GB/PR/BL",
    "// Column 4: control type HTP/LTP,",
    "// Column 5: width: 8/16,",
    "// Column 6: internal patch,",
    "// Column 7: internal patch low (only for 16 bit channels, for 8 bit ch. must be 'na'),",
    "// Column 8: path: LINEAR, SNAP_START, SNAP_END",
    "// Column 9: start value,",
    "// Column 10: full value,",
    "// Column 11: equalization",
    "// Column 12: pre heat",
    "",
    "// NB pan and tilt channels must be called pan and tilt (other names are not allowed)",
    "",
    "// For 8 bit channels, the item internal patch low must be \"na\" (\"na\" stands for \"not applicable\")",
    "// Allowed values for path: linear, snap_start, snap_end",
    "// Allowed values for equalization: linear, onoff, general1, general2, general3, general4, general5, general6",
    "",
    "PARAMETERS",
    "",
    "\"Dimmer\"            ,  1, IN, HTP, 16,  1,  2,     LINEAR,     0, 65535, LINEAR, 0",
    "\"Color\"             ,  3, CO, LTP,  8,  3, na, SNAP_START,     0,   255, LINEAR, 0",
    "//++\"Control\"           ,  5, IN, LTP,  8,  4, na,   SNAP_END,     0,   255, LINEAR, 0, NO",
    "",
    "ENDPARAMETERS",
    "",
    "// --------------- Commands section --------------------",
    "",
    "COMMANDS",
    "",
    "COMMANDNAME = \"Reset\"     // Command name",
    "255,  1000, 4     // Dmx value, time (in milliseconds), internal patch of command channel",
    "  0,     0, 4     // Dmx value, time (in milliseconds), internal patch of command channel",
    "",
    "",
    "ENDCOMMANDS",
    "",
    "// --------------- Palettes section --------------------",
    "",
}) + PaletteExplanation + CrLf({
    Separator,
    "// General purpose palettes",
    Separator,
    "PALETTETYPE = IN         // Palette type (IN/PT/CO/GB/PR/BL/SP)",
    "PALETTENAME = \"Full\"",
    "PALETTEDESC = \"All on\"",
    "\"Dimmer\" = 65535",
    "",
    Separator,
    "// General purpose palettes",
    Separator,
    "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)",
    "PALETTENAME = \"Red\"",
    "//++PALETTECOLOR = 255, 0, 0",
    "\"Color\" = 20",
    "",
    Separator,
    "// Special function palettes",
    Separator,
    "PALETTETYPE = SP         // Palette type (IN/PT/CO/GB/PR/BL/SP)",
    "PALETTENAME = \"Spin\"",
    "//++PALETTEBITMAP = Special\\spin.bmp",
    "\"Color\" = 200",
    "",
    "",
    "ENDPALETTES",
});

// clang-format on

// ---------------------------------------------------------------------------------------------
// check

// Fixtures for the check, each small enough to read at a glance.
const std::string Passing = MiniHead;

// Pan's low byte lies beyond the three channels; the channel count itself is right.
const std::string PanLowOutOfRange = CrLf({
    "Format_Version = 2",
    "Fixture = \"Patch Test\"",
    "Dmx_Channels = 3",
    "PARAMETERS",
    "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, YES, YES",
    "\"Pan\", 2, PT, LTP, 16, 3, 4, LINEAR, 0, 65535, YES, YES",
    "ENDPARAMETERS",
});

// Three channels' worth of attributes in two channels: both checks fail.
const std::string PanAndChannelCount = CrLf({
    "Format_Version = 2",
    "Fixture = \"Patch Test\"",
    "Dmx_Channels = 2",
    "PARAMETERS",
    "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, YES, YES",
    "\"Pan\", 2, PT, LTP, 16, 2, 3, LINEAR, 0, 65535, YES, YES",
    "ENDPARAMETERS",
});

// No name, and an 8-bit attribute that still claims a low channel: the patches pass (an 8-bit
// attribute's low patch is not examined) while the attribute list outgrows the one channel.
const std::string BothBaseDataTests = CrLf({
    "Format_Version = 2",
    "Dmx_Channels = 1",
    "PARAMETERS",
    "\"Dimmer\", 1, IN, HTP, 8, 1, 2, LINEAR, 0, 255, YES, YES",
    "ENDPARAMETERS",
});

const std::string NameOnly = CrLf({"Format_Version = 2", "Dmx_Channels = 0"});

// A name in Windows-1252: the finding comes out in UTF-8.
const std::string AccentedName = CrLf({
    "Format_Version = 2",
    "Fixture = \"Accent Test\"",
    "Dmx_Channels = 1",
    "PARAMETERS",
    "\"Intensit\xE9\", 1, IN, HTP, 8, 2, na, LINEAR, 0, 255, YES, YES",
    "ENDPARAMETERS",
});

const std::string BadChannelCount = CrLf({
    "// Error in a header value",
    "",
    "Format_Version = 2",
    "Fixture = \"Bad Count\"",
    "Dmx_Channels = 12x",
});

const std::string BadDate = CrLf({
    "Format_Version = 2",
    "Fixture = \"Bad Date\"",
    "Date = 31/02/2024",
});

const std::string DuplicatePatch = CrLf({
    "Format_Version = 2",
    "Dmx_Channels = 2",
    "PARAMETERS",
    "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, YES, YES",
    "\"Strobe\", 1, IN, LTP, 8, 1, na, LINEAR, 0, 255, NO, YES",
    "ENDPARAMETERS",
});

const std::string UnknownPaletteChannel = CrLf({
    "Format_Version = 2",
    "Dmx_Channels = 1",
    "PARAMETERS",
    "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, YES, YES",
    "ENDPARAMETERS",
    "PALETTES",
    "PALETTETYPE = IN",
    "PALETTENAME = \"Full\"",
    "\"Zoom\" = 10",
    "ENDPALETTES",
});

const std::string DuplicateCommand = CrLf({
    "Format_Version = 2",
    "COMMANDS",
    "CommandName=\"Reset\"",
    "#1, 255, 0",
    "CommandName=\"reset\"",
    "ENDCOMMANDS",
});

TEST(Cli, CheckOfOneFilePrintsItsFindingsAndExitsWithItsStatus)
{
    struct TCase {
        const char *Name;
        std::string Text;
        int Status;
        std::vector<std::string> Out; // findings, without the file name in front
        std::vector<std::string> Err; // messages, without the file name in front
    };
    const std::vector<TCase> cases = {
        {"Passing", Passing, 0, {}, {}},
        {"PanLowOutOfRange", PanLowOutOfRange, 1, {"parameter \"Pan\": Internal patch error !"}, {}},
        {"PanAndChannelCount",
         PanAndChannelCount,
         1,
         {"parameter \"Pan\": Internal patch error !",
          "DMX channel value cannot be lower than the number of attributes"},
         {}},
        {"BothBaseDataTests",
         BothBaseDataTests,
         1,
         {"DMX channel value cannot be lower than the number of attributes", "Fixture must be filled"},
         {}},
        {"NameOnly", NameOnly, 1, {"Fixture must be filled"}, {}},
        {"AccentedName", AccentedName, 1, {"parameter \"Intensit\xC3\xA9\": Internal patch error !"}, {}},
        {"BadChannelCount", BadChannelCount, 2, {}, {"Cannot open the file. Error in line #5:   DMX_CHANNELS = 12X"}},
        {"BadDate", BadDate, 2, {}, {"Cannot open the file. Error in line #3:   DATE = 31/02/2024"}},
        // The attribute line as the reader holds it: quotes blanked, columns joined by commas.
        {"DuplicatePatch",
         DuplicatePatch,
         2,
         {},
         {"Cannot open the file. Error in line #5:    Strobe, 1,IN,LTP,8,1,na,LINEAR,0,255,NO,YES"}},
        {"UnknownPaletteChannel",
         UnknownPaletteChannel,
         2,
         {},
         {"Cannot open the file. Error in line #9:   Zoom = 10"}},
        {"DuplicateCommand", DuplicateCommand, 2, {}, {"Cannot open the file. Error in line #5:   CommandName=reset"}},
    };
    TTempDir dir;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = dir.File(std::string(c.Name) + ".fxr");
        WriteAll(file, c.Text);

        const TRun run = RunFxr({"check", file});

        std::string out, err;
        for (const std::string &finding : c.Out)
            out += file + ": " + finding + "\n";
        for (const std::string &message : c.Err)
            err += file + ": " + message + "\n";
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Out, out);
        EXPECT_EQ(run.Err, err);
    }
}

TEST(Cli, CheckReportsAMissingFileOnStandardError)
{
    TTempDir dir;
    const std::string missing = dir.File("missing.fxr");
    const TRun run = RunFxr({"check", missing});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, Lines({missing + ": File access error"}));
}

TEST(Cli, CheckReportsADirectoryAsAFileThatCannotBeRead)
{
    TTempDir dir;
    const TRun run = RunFxr({"check", dir.Path().string()});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, Lines({dir.Path().string() + ": File access error"}));
}

TEST(Cli, CheckOfSeveralFilesReportsEachAndTheWorstStatusWins)
{
    TTempDir dir;
    const std::string good = dir.File("good.fxr");
    const std::string pan = dir.File("pan.fxr");
    const std::string nameless = dir.File("nameless.fxr");
    const std::string broken = dir.File("broken.fxr");
    const std::string missing = dir.File("missing.fxr");
    WriteAll(good, Passing);
    WriteAll(pan, PanLowOutOfRange);
    WriteAll(nameless, NameOnly);
    WriteAll(broken, BadDate);
    const std::string panFinding = pan + ": parameter \"Pan\": Internal patch error !";
    const std::string namelessFinding = nameless + ": Fixture must be filled";
    const std::string brokenMessage = broken + ": Cannot open the file. Error in line #3:   DATE = 31/02/2024";
    const std::string missingMessage = missing + ": File access error";

    struct TCase {
        std::vector<std::string> Files;
        int Status;
        std::string Out;
        std::string Err;
    };
    const std::vector<TCase> cases = {
        {{good, good}, 0, "", ""},
        {{good, pan, good}, 1, Lines({panFinding}), ""},
        {{pan, nameless}, 1, Lines({panFinding, namelessFinding}), ""},
        {{nameless, good, pan}, 1, Lines({namelessFinding, panFinding}), ""},
        {{good, missing, pan}, 2, Lines({panFinding}), Lines({missingMessage})},
        {{pan, good, missing}, 2, Lines({panFinding}), Lines({missingMessage})},
        {{missing, good}, 2, "", Lines({missingMessage})},
        {{broken, nameless, missing}, 2, Lines({namelessFinding}), Lines({brokenMessage, missingMessage})},
    };
    for (const TCase &c : cases) {
        std::vector<std::string> args{"check"};
        std::string names;
        for (const std::string &file : c.Files) {
            args.push_back(file);
            names += std::filesystem::path(file).filename().string() + " ";
        }
        SCOPED_TRACE(names);
        const TRun run = RunFxr(args);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Out, c.Out);
        EXPECT_EQ(run.Err, c.Err);
    }
}

TEST(Cli, CheckPassesTheSampleFixtures)
{
    const char *data = std::getenv("RIGSMITH_DATA");
    const std::filesystem::path fixtures = std::filesystem::path(data && *data ? data : "data") / "Fixtures";
    std::vector<std::string> args{"check"};
    for (const auto &entry : std::filesystem::directory_iterator(fixtures))
        if (entry.path().extension() == ".fxr")
            args.push_back(entry.path().string());
    ASSERT_GE(args.size(), 6u);
    const TRun run = RunFxr(args);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
}

// ---------------------------------------------------------------------------------------------
// convert

TEST(Cli, ConvertKeepsTheFormatOfTheInputByDefault)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHead);
    const TRun run = RunFxr({"convert", dir.File("in.fxr"), dir.File("out.fxr")}, Epoch);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(ReadAll(dir.File("out.fxr")), MiniHeadFormat2);
}

TEST(Cli, ConvertWritesTheFormatAskedFor)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHead);
    struct TCase {
        std::vector<std::string> Options;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {{"--format", "1"}, MiniHeadFormat10},
        {{"--format", "2"}, MiniHeadFormat2},
        {{"--format=1"}, MiniHeadFormat10},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Options[0]);
        std::vector<std::string> args{"convert"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        args.push_back(dir.File("in.fxr"));
        args.push_back(dir.File("out.fxr"));
        const TRun run = RunFxr(args, Epoch);
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(ReadAll(dir.File("out.fxr")), c.Expected);
    }
}

TEST(Cli, ConvertOfAFormat10FileStaysFormat10AndTakesTheDateOfTheRun)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHeadFormat10);
    const TRun run = RunFxr({"convert", dir.File("in.fxr"), dir.File("out.fxr")}, "1703505600"); // 25 December 2023
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(ReadAll(dir.File("out.fxr")), Replaced(MiniHeadFormat10, "Date = 07/05/2024", "Date = 25/12/2023"));
}

TEST(Cli, ConvertFromFormat10ToFormat2)
{
    // Format 1.0 carries no revision, no comments and no inherit flag.
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHeadFormat10);
    const TRun run = RunFxr({"convert", "--format", "2", dir.File("in.fxr"), dir.File("out.fxr")}, Epoch);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    std::string expected = Replaced(MiniHeadFormat2, "Revision = \"R1\"", "Revision = \"\"");
    expected =
        Replaced(expected, "COMMENTS\r\nSmall fixture for the converter.\r\nSecond line.\r\n", "COMMENTS\r\n\r\n");
    expected = Replaced(expected, "65535, YES, YES", "65535,  NO, YES");
    EXPECT_EQ(ReadAll(dir.File("out.fxr")), expected);
}

TEST(Cli, ConvertInPlaceRewritesTheFile)
{
    TTempDir dir;
    const std::string file = dir.File("head.fxr");
    WriteAll(file, MiniHead);
    const TRun run = RunFxr({"convert", file, file}, Epoch);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(ReadAll(file), MiniHeadFormat2);
}

TEST(Cli, ConvertReplacesAnExistingOutputFile)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHead);
    WriteAll(dir.File("out.fxr"), std::string(10000, 'x'));
    const TRun run = RunFxr({"convert", "--format", "1", dir.File("in.fxr"), dir.File("out.fxr")}, Epoch);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(ReadAll(dir.File("out.fxr")), MiniHeadFormat10);
}

TEST(Cli, ConvertRefusesAFormatOtherThanOneOrTwo)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHead);
    for (const std::string format : {"0", "3", "10", "-1", "x", "1.0"}) {
        SCOPED_TRACE("--format " + format);
        const TRun run = RunFxr({"convert", "--format", format, dir.File("in.fxr"), dir.File("out.fxr")}, Epoch);
        EXPECT_EQ(run.Status, 2);
        EXPECT_NE(run.Err, "");
        EXPECT_FALSE(Exists(dir.File("out.fxr")));
    }
}

TEST(Cli, ConvertOfAMissingInputFails)
{
    TTempDir dir;
    const std::string in = dir.File("missing.fxr");
    const TRun run = RunFxr({"convert", in, dir.File("out.fxr")}, Epoch);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, Lines({in + ": File access error"}));
    EXPECT_FALSE(Exists(dir.File("out.fxr")));
}

TEST(Cli, ConvertOfAFileWithALoadErrorFails)
{
    TTempDir dir;
    const std::string in = dir.File("broken.fxr");
    WriteAll(in, BadChannelCount);
    const TRun run = RunFxr({"convert", in, dir.File("out.fxr")}, Epoch);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, Lines({in + ": Cannot open the file. Error in line #5:   DMX_CHANNELS = 12X"}));
    EXPECT_FALSE(Exists(dir.File("out.fxr")));
}

TEST(Cli, ConvertIntoAMissingDirectoryFails)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), MiniHead);
    const std::string out = dir.File("no-such-dir/out.fxr");
    const TRun run = RunFxr({"convert", dir.File("in.fxr"), out}, Epoch);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, Lines({out + ": File access error"}));
    EXPECT_FALSE(Exists(out));
}

// ---------------------------------------------------------------------------------------------
// dump

// clang-format off
const std::string DumpInput = CrLf({
    "Format_Version = 2",
    "Author = \"BENCH\"",
    "Revision = \"7\"",
    "Date = 07/03/2005",
    "COMMENTS",
    "Line one",
    "Line two",
    "ENDCOMMENTS",
    "Fixture = \"Caf\xE9 Spot\"",
    "//++Brand = \"\x80 Lights\"",
    "Type = moving_head",
    "Pan_Angle_min = -270",
    "Pan_Angle_max = 270",
    "Tilt_Angle_min = -135",
    "Tilt_Angle_max = 135",
    "Dmx_Channels = 4",
    "Dmx_Split_Channels = 2",
    "PARAMETERS",
    "\"Pan\", 2, PT, LTP, 16, 1, 2, LINEAR, 0, 65535, YES, YES",
    "\"Gobo\", 3, GB, LTP, 8, 3, na, SNAP_START, 0, 255, NO, YES",
    "\"Lamp\", 5, IN, LTP, 8, 4, na, SNAP_END, 0, 255, NO, NO",
    "ENDPARAMETERS",
    "COMMANDS",
    "CommandName=\"Lamp on\"",
    "Lamp, 255, 1000",
    "#07, 128, 500",
    "",
    "ENDCOMMANDS",
    "PALETTES",
    "PALETTETYPE = GB",
    "PALETTENAME = \"Dots\"",
    "PALETTEBITMAP = Gobo\\dots.bmp",
    "PALETTEDESC = \"Dots \x96 slow\"",
    "\"Gobo\" = 50%",
    "\"Pan\" = 32768",
    "ENDPALETTES",
});

// clang-format on

nlohmann::json DumpOf(const std::string &text, const std::string &name = "dump.fxr")
{
    TTempDir dir;
    WriteAll(dir.File(name), text);
    const TRun run = RunFxr({"dump", dir.File(name)});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    return nlohmann::json::parse(run.Out);
}

TEST(Cli, DumpPrintsTheBaseParameters)
{
    nlohmann::json j = DumpOf(DumpInput);
    ASSERT_TRUE(j.is_object());
    for (const char *key : {"FileName", "FormatVersion", "Author", "Revision", "Date", "Comments", "Name", "Brand",
                            "FixtureType", "PanAngleMin", "PanAngleMax", "TiltAngleMin", "TiltAngleMax", "DmxChannels",
                            "DmxSplitChannels", "Saved", "Attributes", "Commands", "Palettes"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["FileName"], "dump.fxr");
    EXPECT_EQ(j["FormatVersion"], 2);
    EXPECT_EQ(j["Author"], "BENCH");
    EXPECT_EQ(j["Revision"], "7");
    EXPECT_EQ(j["Date"], "2005-03-07");
    EXPECT_EQ(j["Comments"], "Line one\r\nLine two");
    EXPECT_EQ(j["FixtureType"], 2);
    EXPECT_EQ(j["PanAngleMin"], -270);
    EXPECT_EQ(j["PanAngleMax"], 270);
    EXPECT_EQ(j["TiltAngleMin"], -135);
    EXPECT_EQ(j["TiltAngleMax"], 135);
    EXPECT_EQ(j["DmxChannels"], 4);
    EXPECT_EQ(j["DmxSplitChannels"], 2);
    EXPECT_EQ(j["Saved"], true);
}

TEST(Cli, DumpConvertsWindows1252TextToUtf8)
{
    nlohmann::json j = DumpOf(DumpInput);
    EXPECT_EQ(j["Name"], "Caf\xC3\xA9 Spot");                             // 0xE9 e acute
    EXPECT_EQ(j["Brand"], "\xE2\x82\xAC Lights");                         // 0x80 euro sign
    EXPECT_EQ(j["Palettes"][0]["Description"], "Dots \xE2\x80\x93 slow"); // 0x96 en dash
}

TEST(Cli, DumpPrintsEveryAttributeEntryWithTheLowPart)
{
    nlohmann::json attributes = DumpOf(DumpInput)["Attributes"];
    ASSERT_EQ(attributes.size(), 4u);

    const nlohmann::json &pan = attributes[0];
    EXPECT_EQ(pan["Key"], "01");
    EXPECT_EQ(pan["Name"], "Pan");
    EXPECT_EQ(pan["Priority"], 2);
    EXPECT_EQ(pan["ChannelType"], 2);
    EXPECT_EQ(pan["ControlType"], 2);
    EXPECT_EQ(pan["Width"], 16);
    EXPECT_EQ(pan["InternalPatch"], 1);
    EXPECT_EQ(pan["InternalPatchLow"], 2);
    EXPECT_EQ(pan["Path"], 1);
    EXPECT_EQ(pan["DmxMin"], 0);
    EXPECT_EQ(pan["DmxMax"], 255);
    EXPECT_EQ(pan["Inherit"], true);
    EXPECT_EQ(pan["ShowOnEditor"], true);
    EXPECT_EQ(pan["IsLowPart"], false);
    EXPECT_EQ(pan["Order"], 1);

    const nlohmann::json &low = attributes[1];
    EXPECT_EQ(low["Key"], "02");
    EXPECT_EQ(low["Name"], "Pan");
    EXPECT_EQ(low["InternalPatch"], 1);
    EXPECT_EQ(low["InternalPatchLow"], 2);
    EXPECT_EQ(low["IsLowPart"], true);

    EXPECT_EQ(attributes[2]["Key"], "03");
    EXPECT_EQ(attributes[2]["Name"], "Gobo");
    EXPECT_EQ(attributes[2]["Path"], 2);
    EXPECT_EQ(attributes[2]["Inherit"], false);
    EXPECT_EQ(attributes[2]["Order"], 2);

    const nlohmann::json &lamp = attributes[3];
    EXPECT_EQ(lamp["Key"], "04");
    EXPECT_EQ(lamp["Name"], "Lamp");
    EXPECT_EQ(lamp["Path"], 3);
    EXPECT_EQ(lamp["ShowOnEditor"], false);
    EXPECT_EQ(lamp["InternalPatchLow"], 0);
    EXPECT_EQ(lamp["Order"], 3);
}

TEST(Cli, DumpPrintsCommandsAndPalettesOnTheSixteenBitScale)
{
    nlohmann::json j = DumpOf(DumpInput);
    ASSERT_EQ(j["Commands"].size(), 1u);
    const nlohmann::json &command = j["Commands"][0];
    EXPECT_EQ(command["Name"], "Lamp on");
    ASSERT_EQ(command["Lines"].size(), 2u);
    EXPECT_EQ(command["Lines"][0]["ChannelName"], "Lamp");
    EXPECT_EQ(command["Lines"][0]["Value"], 65535);
    EXPECT_EQ(command["Lines"][0]["Time"], 1000);
    // A channel without attribute keeps its patch, written plainly.
    EXPECT_EQ(command["Lines"][1]["ChannelName"], "#7");
    EXPECT_EQ(command["Lines"][1]["Value"], 32896);
    EXPECT_EQ(command["Lines"][1]["Time"], 500);

    ASSERT_EQ(j["Palettes"].size(), 1u);
    const nlohmann::json &dots = j["Palettes"][0];
    EXPECT_EQ(dots["PaletteType"], 4);
    EXPECT_EQ(dots["Name"], "Dots");
    EXPECT_EQ(dots["Red"], -1);
    EXPECT_EQ(dots["Green"], -1);
    EXPECT_EQ(dots["Blue"], -1);
    EXPECT_EQ(dots["Bitmap"], "Gobo\\dots.bmp");
    ASSERT_EQ(dots["Lines"].size(), 2u);
    EXPECT_EQ(dots["Lines"][0]["ChannelName"], "Gobo");
    EXPECT_EQ(dots["Lines"][0]["Value"], 127 * 257); // 50 % of 255
    EXPECT_EQ(dots["Lines"][1]["ChannelName"], "Pan");
    EXPECT_EQ(dots["Lines"][1]["Value"], 32768);
}

TEST(Cli, DumpOfAFormat10FileShowsTheControlChannelItsStepsCreate)
{
    nlohmann::json j = DumpOf(CrLf({
        "Version = 1.0",
        "Fixture = Mirror",
        "Dmx_Channels = 2",
        "PARAMETERS",
        "\"Pan\", 2, PT, LTP, 8, 1, na, LINEAR, 0, 255, LINEAR, 0",
        "ENDPARAMETERS",
        "COMMANDS",
        "COMMANDNAME = \"Lamp on\"",
        "230, 5000, 2",
        "0, 0, 2",
        "ENDCOMMANDS",
    }));
    EXPECT_EQ(j["FormatVersion"], 1);
    EXPECT_EQ(j["FixtureType"], 4);
    ASSERT_EQ(j["Attributes"].size(), 2u);
    const nlohmann::json &control = j["Attributes"][1];
    EXPECT_EQ(control["Key"], "02");
    EXPECT_EQ(control["Name"], "Control");
    EXPECT_EQ(control["InternalPatch"], 2);
    EXPECT_EQ(control["ShowOnEditor"], false);
    EXPECT_EQ(control["Path"], 2);
    EXPECT_EQ(control["Order"], 255);
    const nlohmann::json &steps = j["Commands"][0]["Lines"];
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0]["ChannelName"], "Control");
    EXPECT_EQ(steps[0]["Value"], 230 * 257);
    EXPECT_EQ(steps[0]["Time"], 5000);
    EXPECT_EQ(steps[1]["ChannelName"], "Control");
}

TEST(Cli, DumpOfAMissingFileFails)
{
    TTempDir dir;
    const std::string missing = dir.File("missing.fxr");
    const TRun run = RunFxr({"dump", missing});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, Lines({missing + ": File access error"}));
}

// ---------------------------------------------------------------------------------------------
// The command line itself

TEST(Cli, VersionPrintsNameAndVersion)
{
    const TRun run = RunFxr({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "rigsmith-fxr 0.1.0\n");
    EXPECT_EQ(run.Err, "");
}

TEST(Cli, HelpListsTheSubcommandsOnStandardOutput)
{
    for (const std::string option : {"--help", "-h"}) {
        SCOPED_TRACE(option);
        const TRun run = RunFxr({option});
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Err, "");
        for (const char *word : {"check", "convert", "dump"})
            EXPECT_NE(run.Out.find(word), std::string::npos) << word;
    }
}

TEST(Cli, HelpOfASubcommandExitsWithZero)
{
    const TRun run = RunFxr({"convert", "--help"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("--format"), std::string::npos);
    EXPECT_EQ(run.Err, "");
}

TEST(Cli, UsageErrorsExitWithTwoAndExplainOnStandardError)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--frobnicate"},
        {"frobnicate"},
        {"check"},
        {"check", "--frobnicate", "a.fxr"},
        {"convert", "only-one.fxr"},
        {"convert", "a.fxr", "b.fxr", "c.fxr"},
        {"dump"},
        {"dump", "a.fxr", "b.fxr"},
    };
    for (const std::vector<std::string> &args : cases) {
        std::string line;
        for (const std::string &arg : args)
            line += arg + " ";
        SCOPED_TRACE("rigsmith-fxr " + line);
        const TRun run = RunFxr(args);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err, "");
    }
}

} // namespace
