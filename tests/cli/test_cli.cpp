// rigsmith-fxr as its users meet it: the built program run as a child process, its standard output,
// standard error and exit status taken apart.

#include "Version.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::CrLf;
using testing_support::ReadAll;
using testing_support::TTempDir;
using testing_support::WriteAll;

struct TRun {
    int Status = -1;
    std::string Out, Err;
};

// Each word followed by end: Joined(lines, "\n") is output as the program prints it.
std::string Joined(const std::vector<std::string> &words, const std::string &end)
{
    std::string text;
    for (const std::string &word : words)
        text += word + end;
    return text;
}

std::string Quoted(std::string text)
{
    for (std::size_t at = 0; (at = text.find('\'', at)) != std::string::npos; at += 4)
        text.replace(at, 1, "'\\''");
    return "'" + text + "'";
}

// Runs rigsmith-fxr on an empty standard input, with SOURCE_DATE_EPOCH set to epoch or not at all.
TRun RunFxr(const std::vector<std::string> &args, const std::string &epoch = "")
{
    TTempDir streams;
    std::string command = "env -u SOURCE_DATE_EPOCH " + (epoch.empty() ? "" : "SOURCE_DATE_EPOCH=" + epoch + " ");
    command += Quoted(RIGSMITH_FXR);
    for (const std::string &arg : args)
        command += " " + Quoted(arg);
    command += " </dev/null >" + Quoted(streams.File("out")) + " 2>" + Quoted(streams.File("err"));
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(streams.File("out")), ReadAll(streams.File("err"))};
}

std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    const auto at = text.find(from);
    if (at == std::string::npos)
        throw std::runtime_error("not in the text: " + from);
    return text.replace(at, from.size(), to);
}

// Every key of expected is in actual with the same value, every array of expected as long as actual's.
void ExpectHas(const nlohmann::json &actual, const nlohmann::json &expected, const std::string &where = "")
{
    if (expected.is_object()) {
        for (const auto &[key, value] : expected.items()) {
            EXPECT_TRUE(actual.contains(key)) << where << "/" << key;
            if (actual.contains(key))
                ExpectHas(actual[key], value, where + "/" + key);
        }
    } else if (expected.is_array()) {
        ASSERT_EQ(actual.size(), expected.size()) << where;
        for (std::size_t i = 0; i < expected.size(); ++i)
            ExpectHas(actual[i], expected[i], where + "/" + std::to_string(i));
    } else {
        EXPECT_EQ(actual, expected) << where;
    }
}

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
    "//++Brand = \"Rigsmith D\xE9mo\"",
    "Type = moving_head",
    "Pan_Angle_min = -270",
    "Pan_Angle_max = 270",
    "Tilt_Angle_min = -120",
    "Tilt_Angle_max = 120",
    "Dmx_Channels = 4",
    "Dmx_Split_Channels = 2",
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
    "PALETTEDESC = \"All \x96 on\"",
    "\"Dimmer\" = 65535",
    "PALETTETYPE = CO",
    "PALETTENAME = \"Red\"",
    "PALETTECOLOR = 255, 32, 0",
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
    "//++Brand   = \"Rigsmith D\xE9mo\"",
    "Type = moving_head",
    "Pan_Angle_min = -270",
    "Pan_Angle_max = 270",
    "Tilt_Angle_min =-120",
    "Tilt_Angle_max = 120",
    "",
    "Dmx_Channels = 4",
    "",
    "// Some fixture have channels splitted in two set patchaed at two independent dmx address",
    "Dmx_Split_Channels = 2",
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
    "PALETTEDESC = \"All \x96 on\"",
    "\"Dimmer\" = 65535",
    "",
    "PALETTETYPE = CO         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP",
    "PALETTENAME = \"Red\"",
    "PALETTECOLOR = 255, 32, 0",
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
    "//++Brand   = \"Rigsmith D\xE9mo\"",
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
    "PALETTEDESC = \"All \x96 on\"",
    "\"Dimmer\" = 65535",
    "",
    Separator,
    "// General purpose palettes",
    Separator,
    "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)",
    "PALETTENAME = \"Red\"",
    "//++PALETTECOLOR = 255, 32, 0",
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

// The header's error lies on line 5, after a comment and a blank line.
const std::string BadChannelCount = CrLf({"// Error in a header value", "", "Format_Version = 2",
                                          "Fixture = \"Bad Count\"", "Dmx_Channels = 12x"});

// clang-format on

TEST(Cli, CheckReportsEachFileInTurnAndTheWorstStatusWins)
{
    TTempDir dir;
    const auto file = [&](const std::string &name, const std::string &text) {
        WriteAll(dir.File(name), text);
        return dir.File(name);
    };
    const std::string dimmer = "\"Dimmer\", 1, IN, HTP, 8, 1, na, LINEAR, 0, 255, YES, YES";
    const std::string good = file("good.fxr", MiniHead);
    // Pan's low byte lies beyond the three channels; the channel count itself is right.
    const std::string pan =
        file("pan.fxr", CrLf({"Format_Version = 2", "Fixture = \"Patch Test\"", "Dmx_Channels = 3", "PARAMETERS",
                              dimmer, "\"Pan\", 2, PT, LTP, 16, 3, 4, LINEAR, 0, 65535, YES, YES", "ENDPARAMETERS"}));
    // Three channels' worth of attributes in two channels: both checks fail, the patches first.
    const std::string both =
        file("both.fxr", CrLf({"Format_Version = 2", "Fixture = \"Patch Test\"", "Dmx_Channels = 2", "PARAMETERS",
                               dimmer, "\"Pan\", 2, PT, LTP, 16, 2, 3, LINEAR, 0, 65535, YES, YES", "ENDPARAMETERS"}));
    const std::string nameless = file("nameless.fxr", CrLf({"Format_Version = 2", "Dmx_Channels = 0"}));
    // A name in Windows-1252: the finding comes out in UTF-8.
    const std::string accent =
        file("accent.fxr", CrLf({"Format_Version = 2", "Fixture = \"Accent Test\"", "Dmx_Channels = 1", "PARAMETERS",
                                 "\"Intensit\xE9\", 1, IN, HTP, 8, 2, na, LINEAR, 0, 255, YES, YES", "ENDPARAMETERS"}));
    const std::string count = file("count.fxr", BadChannelCount);
    const std::string date =
        file("date.fxr", CrLf({"Format_Version = 2", "Fixture = \"Bad Date\"", "Date = 31/02/2024"}));
    const std::string missing = dir.File("missing.fxr");

    const auto panFinding = [](const std::string &f) { return f + ": parameter \"Pan\": Internal patch error !"; };
    const std::string namelessFinding = nameless + ": Fixture must be filled";
    const std::string dateError = date + ": Cannot open the file. Error in line #3:   DATE = 31/02/2024";
    const std::string missingError = missing + ": File access error (No such file or directory)";
    struct TCase {
        std::vector<std::string> Files;
        int Status;
        std::vector<std::string> Out, Err;
    } const cases[] = {
        {{good}, 0, {}, {}},
        {{pan}, 1, {panFinding(pan)}, {}},
        // As the editor's Check: the base data only once the patches pass.
        {{both}, 1, {panFinding(both)}, {}},
        {{accent}, 1, {accent + ": parameter \"Intensit\xC3\xA9\": Internal patch error !"}, {}},
        {{count}, 2, {}, {count + ": Cannot open the file. Error in line #5:   DMX_CHANNELS = 12X"}},
        {{missing}, 2, {}, {missingError}},
        {{dir.Path().string()}, 2, {}, {dir.Path().string() + ": File access error (Is a directory)"}},
        {{"/dev/zero"}, 2, {}, {"/dev/zero: File access error (not a regular file)"}},
        {{good, pan, good}, 1, {panFinding(pan)}, {}},
        {{nameless, good, pan}, 1, {namelessFinding, panFinding(pan)}, {}},
        {{good, missing, pan}, 2, {panFinding(pan)}, {missingError}},
        {{pan, good, missing}, 2, {panFinding(pan)}, {missingError}},
        {{missing, good}, 2, {}, {missingError}},
        {{date, nameless, missing}, 2, {namelessFinding}, {dateError, missingError}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(Joined(c.Files, " "));
        std::vector<std::string> args{"check"};
        args.insert(args.end(), c.Files.begin(), c.Files.end());
        const TRun run = RunFxr(args);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Out, Joined(c.Out, "\n"));
        EXPECT_EQ(run.Err, Joined(c.Err, "\n"));
    }
}

TEST(Cli, ConvertWritesTheFormatOfTheInputOrTheOneAskedForDatedByTheRun)
{
    // Format 1.0 carries no revision, no comments, no inherit flag and no split channels.
    std::string from10 = Replaced(MiniHeadFormat2, "Revision = \"R1\"", "Revision = \"\"");
    from10 = Replaced(from10, "COMMENTS\r\nSmall fixture for the converter.\r\nSecond line.\r\n", "COMMENTS\r\n\r\n");
    from10 = Replaced(from10, "65535, YES, YES", "65535,  NO, YES");
    from10 = Replaced(from10, "Dmx_Split_Channels = 2", "Dmx_Split_Channels = 0");
    const std::string format10OfChristmas = Replaced(MiniHeadFormat10, "07/05/2024", "25/12/2023");
    struct TCase {
        std::string In;
        std::vector<std::string> Options;
        std::string Expected;
        std::string Out = "new.fxr"; // old.fxr is there already; in.fxr converts in place
    } const cases[] = {
        {MiniHead, {}, MiniHeadFormat2},
        {from10, {"--format", "1"}, MiniHeadFormat10},
        {from10, {"--format=1"}, MiniHeadFormat10, "old.fxr"},
        {MiniHead, {}, MiniHeadFormat2, "in.fxr"},
        {format10OfChristmas, {}, MiniHeadFormat10},
        {MiniHeadFormat10, {"--format", "2"}, from10, "old.fxr"},
    };
    for (const TCase &c : cases) {
        TTempDir dir;
        WriteAll(dir.File("in.fxr"), c.In);
        WriteAll(dir.File("old.fxr"), std::string(10000, 'x'));
        std::vector<std::string> args{"convert"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        args.insert(args.end(), {dir.File("in.fxr"), dir.File(c.Out)});
        SCOPED_TRACE("case " + std::to_string(&c - cases) + ": " + Joined(args, " "));
        const TRun run = RunFxr(args, Epoch);
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Out + run.Err, "");
        EXPECT_EQ(ReadAll(dir.File(c.Out)), c.Expected);
    }
}

// What a file would not give back is refused as the editor's Save refuses it: convert writes
// nothing, in place neither, and check reports the same findings.
TEST(Cli, ConvertAndCheckRefuseWhatTheFileWouldNotKeep)
{
    // Read from a line just short enough, written in padded columns that take it past what the
    // reader keeps.
    const std::string longName(200, 'L');
    const struct {
        std::string In;
        std::vector<std::string> Options;
        std::vector<std::string> Findings;
    } cases[] = {
        {MiniHead,
         {"--format", "1"},
         {"Revision \"R1\" has no place in a format 1.0 file.",
          "Comment \"Small fixture for the converter.\r\nSecond line.\" has no place in a format 1.0 file."}},
        {Replaced(Replaced(Replaced(MiniHead, "\"Color\", 3", "\"" + longName + "\", 3"), "\"Color\" = 20\r",
                           longName + " = 20\r"),
                  "\"Color\" = 200", longName + " = 200"),
         {},
         {"Line 60 of the file would be longer than 255 characters: \"" + longName.substr(0, 39) + "..."}},
        {Replaced(Replaced(MiniHead, "\"Control\", 5", "\"#3\", 5"), "Control, 255, 1000\r\nControl, 0, 0",
                  "#3, 255, 0"),
         {"--format", "2"},
         {"Attribute \"#3\" starts with \"#\", which makes a step on it a channel number."}},
        {Replaced(MiniHead, "PALETTES\r\nPALETTETYPE = IN\r\nPALETTENAME = \"Full\"",
                  "PALETTES\r\nPALETTENAME = \"Full\"\r\nPALETTETYPE = ZZ\r\nPALETTENAME = \"Full\""),
         {},
         {"Palette \"Full\" has a type the file has no name for; it would read back as none."}},
    };
    for (const auto &c : cases) {
        TTempDir dir;
        const std::string in = dir.File("in.fxr");
        WriteAll(in, c.In);
        SCOPED_TRACE(c.In);
        std::vector<std::string> args{"convert"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        args.insert(args.end(), {in, in});
        std::string findings;
        for (const std::string &finding : c.Findings)
            findings += in + ": " + finding + "\n";
        const TRun convert = RunFxr(args, Epoch);
        EXPECT_EQ(convert.Status, 1);
        EXPECT_EQ(convert.Out, "");
        EXPECT_EQ(convert.Err, findings);
        EXPECT_EQ(ReadAll(in), c.In);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
        if (c.Options.empty()) {
            const TRun check = RunFxr({"check", in});
            EXPECT_EQ(check.Status, 1);
            EXPECT_EQ(check.Out, convert.Err);
        }
    }
}

// Output that does not arrive whole is a failure; input that is no regular file is refused at once.
TEST(Cli, BrokenOutputAndInputsThatAreNoFiles)
{
    TTempDir dir;
    const std::string good = dir.File("good.fxr"), fifo = dir.File("fifo.fxr");
    WriteAll(good, MiniHead);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string command : {"dump", "check"}) {
        const std::string nameless = dir.File("nameless.fxr");
        WriteAll(nameless, Replaced(MiniHead, "Fixture = \"Mini Head\"", "Fixture = \"\""));
        const std::string file = command == "dump" ? good : nameless;
        for (const std::string out : {">/dev/full", ">&-"}) {
            SCOPED_TRACE(command + " " + out);
            const std::string shell =
                Quoted(RIGSMITH_FXR) + " " + command + " " + Quoted(file) + " " + out + " 2>" + Quoted(dir.File("err"));
            const int status = std::system(shell.c_str());
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
            EXPECT_EQ(ReadAll(dir.File("err")).rfind("rigsmith-fxr: cannot write the output: ", 0), 0u)
                << ReadAll(dir.File("err"));
        }
    }
    const TRun run = RunFxr({"check", fifo});
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, fifo + ": File access error (not a regular file)\n");
}

// Convert saves as the editor saves: the attributes in the order the file gave them, the hidden
// channel that a format 1.0 step makes last.
TEST(Cli, ConvertKeepsTheArrangementTheEditorKeeps)
{
    TTempDir dir;
    WriteAll(dir.File("in.fxr"), CrLf({"Version = 1.0", "Fixture = \"Order\"", "Dmx_Channels = 3", "PARAMETERS",
                                       "\"Tilt\", 1, PT, LTP, 8, 3, na, LINEAR, 0, 255, LINEAR, 0",
                                       "\"Pan\", 1, PT, LTP, 8, 1, na, LINEAR, 0, 255, LINEAR, 0", "ENDPARAMETERS",
                                       "COMMANDS", "COMMANDNAME = \"Reset\"", "255, 0, 2", "ENDCOMMANDS"}));
    const TRun run = RunFxr({"convert", dir.File("in.fxr"), dir.File("out.fxr")}, Epoch);
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string out = ReadAll(dir.File("out.fxr"));
    const auto tilt = out.find("\"Tilt\""), pan = out.find("\"Pan\""), control = out.find("\"Control\"");
    ASSERT_NE(control, std::string::npos);
    EXPECT_LT(tilt, pan);
    EXPECT_LT(pan, control);
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
    WriteAll(dir.File("big.fxr"), text + "ENDPALETTES\r\n");
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
        while (waitpid(child, &status, WNOHANG) == 0) {
            bool writing = false;
            for (const fs::directory_entry &entry : fs::directory_iterator(dir.Path()))
                writing = writing || entry.path().filename().string().rfind(".out.fxr.", 0) == 0;
            if (writing) {
                kill(child, signal);
                waitpid(child, &status, 0);
                break;
            }
        }
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), signal);
            ++stopped;
        }
        fs::remove(dir.File("out.fxr"));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    }
    EXPECT_GT(stopped, 0) << "no run was caught while writing";
}

TEST(Cli, ConvertAndDumpFailWithoutWritingAFile)
{
    TTempDir dir;
    const std::string good = dir.File("good.fxr"), broken = dir.File("broken.fxr"), missing = dir.File("missing.fxr");
    const std::string out = dir.File("out.fxr"), nowhere = dir.File("no-such-dir/out.fxr");
    WriteAll(good, MiniHead);
    WriteAll(broken, BadChannelCount);
    struct TCase {
        std::vector<std::string> Args;
        std::string Err; // empty: any explanation
    };
    std::vector<TCase> cases = {
        {{"convert", missing, out}, missing + ": File access error (No such file or directory)\n"},
        {{"convert", broken, out}, broken + ": Cannot open the file. Error in line #5:   DMX_CHANNELS = 12X\n"},
        {{"convert", good, nowhere}, nowhere + ": File access error\n"},
        {{"dump", missing}, missing + ": File access error (No such file or directory)\n"},
    };
    for (const std::string format : {"0", "3", "10", "-1", "x", "1.0"})
        cases.push_back({{"convert", "--format", format, good, out}, ""});
    for (const TCase &c : cases) {
        SCOPED_TRACE(Joined(c.Args, " "));
        const TRun run = RunFxr(c.Args, Epoch);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Out, "");
        if (c.Err.empty())
            EXPECT_NE(run.Err, "");
        else
            EXPECT_EQ(run.Err, c.Err);
        EXPECT_FALSE(fs::exists(out) || fs::exists(nowhere));
    }
}

TEST(Cli, DumpPrintsTheModelInUtf8WithLowPartsAndSixteenBitValues)
{
    // Windows-1252 0xE9 and 0x96 are an e acute and an en dash. The low part of the dimmer is an
    // entry of its own; 8-bit values are multiplied by 257.
    TTempDir dir;
    WriteAll(dir.File("dump.fxr"), MiniHead);
    const TRun run = RunFxr({"dump", dir.File("dump.fxr")});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    ExpectHas(nlohmann::json::parse(run.Out), nlohmann::json::parse(R"({
        "FileName": "dump.fxr", "FormatVersion": 2, "Author": "TEST BENCH", "Revision": "R1", "Date": "2020-01-02",
        "Comments": "Small fixture for the converter.\r\nSecond line.", "Name": "Mini Head",
        "Brand": "Rigsmith D\u00e9mo", "FixtureType": 2, "PanAngleMin": -270, "PanAngleMax": 270,
        "TiltAngleMin": -120, "TiltAngleMax": 120, "DmxChannels": 4, "DmxSplitChannels": 2, "Saved": true,
        "Attributes": [
            {"Key": "01", "Name": "Dimmer", "Width": 16, "InternalPatch": 1, "InternalPatchLow": 2, "Inherit": true,
             "IsLowPart": false, "Order": 1},
            {"Key": "02", "Name": "Dimmer", "InternalPatch": 1, "InternalPatchLow": 2, "IsLowPart": true},
            {"Key": "03", "Name": "Color", "Priority": 3, "ChannelType": 3, "ControlType": 2, "Width": 8,
             "InternalPatch": 3, "InternalPatchLow": 0, "Path": 2, "DmxMin": 0, "DmxMax": 255, "Inherit": false,
             "ShowOnEditor": true, "IsLowPart": false, "Order": 2},
            {"Key": "04", "Name": "Control", "Path": 3, "ShowOnEditor": false, "Order": 3}],
        "Commands": [{"Name": "Reset", "Lines": [{"ChannelName": "Control", "Value": 65535, "Time": 1000},
                                                 {"ChannelName": "Control", "Value": 0, "Time": 0}]}],
        "Palettes": [
            {"PaletteType": 1, "Name": "Full", "Description": "All \u2013 on", "Red": -1, "Green": -1, "Blue": -1,
             "Bitmap": "", "Lines": [{"ChannelName": "Dimmer", "Value": 65535}]},
            {"PaletteType": 3, "Name": "Red", "Description": "", "Red": 255, "Green": 32, "Blue": 0,
             "Lines": [{"ChannelName": "Color", "Value": 5140}]},
            {"PaletteType": 7, "Name": "Spin", "Bitmap": "Special\\spin.bmp",
             "Lines": [{"ChannelName": "Color", "Value": 51400}]}]
    })"));
}

TEST(Cli, ImportRefusesWithoutWritingAndExportImportsBackToTheSameFile)
{
    TTempDir dir;
    const std::string data = OFL_CASES "/", maker = data + "maker/";
    const std::string out = dir.File("out.fxr");
    const struct {
        std::vector<std::string> Args;
        std::string Err;
    } refusals[] = {
        {{"import", maker + "toobig.json", out},
         maker + "toobig.json (65 pixels): Mode \"65 pixels\" has 65 channels; a fixture holds 64 at most.\n"},
        {{"import", maker + "notfixture.json", out},
         maker + "notfixture.json: The file holds no fixture of the Open Fixture Library.\n"},
        {{"import", "--mode", "Nope", maker + "base.json", out},
         maker + "base.json: The fixture has no mode \"Nope\".\n"},
        {{"import", maker + "base.json", out},
         maker + "base.json: the fixture has 2 modes; choose one with --mode:\n  Basic\n  Gap\n"},
    };
    for (const auto &c : refusals) {
        SCOPED_TRACE(Joined(c.Args, " "));
        const TRun run = RunFxr(c.Args, Epoch);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err, c.Err);
        EXPECT_FALSE(fs::exists(out));
    }
    // Exported beside a copy of the makers' list, the fixture comes back byte for byte.
    fs::create_directory(dir.File("maker"));
    fs::copy_file(data + "manufacturers.json", dir.File("manufacturers.json"));
    const std::string exported = dir.File("maker/fine.json"), back = dir.File("back.fxr");
    EXPECT_EQ(RunFxr({"import", "--mode", "Fine", maker + "fine.json", out}, Epoch).Status, 0);
    EXPECT_EQ(RunFxr({"export", out, exported}, Epoch).Status, 0);
    const TRun run = RunFxr({"import", exported, back}, Epoch);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(ReadAll(back), ReadAll(out));
    // Every mode into a directory, each file named after fixture and mode.
    EXPECT_EQ(RunFxr({"import", "--all-modes", maker + "fine.json", dir.File("all")}, Epoch).Status, 0);
    EXPECT_TRUE(fs::exists(dir.File("all/Fine - 8 bit.fxr")) && fs::exists(dir.File("all/Fine - Fine.fxr")));
}

TEST(Cli, HelpVersionAndWrongCommandLines)
{
    struct TCase {
        std::vector<std::string> Args;
        int Status;
        std::string Out;                // exactly, or how help begins
        std::vector<std::string> Names; // what help names
    } const cases[] = {
        {{"--version"}, 0, "rigsmith-fxr " RIGSMITH_VERSION "\n", {}},
        {{"--help"},
         0,
         "Checks, converts and dumps Rigsmith fixture files (.fxr), and imports",
         {"dump", "import", "export"}},
        {{"-h"}, 0, "Checks, converts and dumps Rigsmith fixture files (.fxr), and imports", {"check", "convert"}},
        {{"import", "--help"},
         0,
         "Make a mode of an Open Fixture Library fixture",
         {"--mode", "--all-modes", "--format"}},
        {{"import", "--mode", "a", "--all-modes", "a.json", "out"}, 2, "", {}},
        {{"convert", "--help"}, 0, "Load IN and save it as OUT, as the editor saves;", {"--format"}},
        {{}, 2, "", {}},
        {{"--frobnicate"}, 2, "", {}},
        {{"frobnicate"}, 2, "", {}},
        {{"check"}, 2, "", {}},
        {{"check", "--frobnicate", "a.fxr"}, 2, "", {}},
        {{"convert", "only-one.fxr"}, 2, "", {}},
        {{"convert", "a.fxr", "b.fxr", "c.fxr"}, 2, "", {}},
        {{"dump"}, 2, "", {}},
        {{"dump", "a.fxr", "b.fxr"}, 2, "", {}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE("rigsmith-fxr " + Joined(c.Args, " "));
        const TRun run = RunFxr(c.Args);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(c.Names.empty() ? run.Out : run.Out.substr(0, c.Out.size()), c.Out);
        for (const std::string &name : c.Names)
            EXPECT_NE(run.Out.find(name), std::string::npos) << name;
        // Help and version on standard output alone; a wrong command line explained on standard error.
        EXPECT_EQ(run.Err.empty(), c.Status == 0);
    }
}

} // namespace
