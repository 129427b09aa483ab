#include "fxr/FixtureReader.h"
#include "platform/Errors.h"
#include "support/FixtureBuilder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The message of the load error, or "loaded".
std::string LoadError(const std::string &text)
{
    try {
        FromText(text);
    } catch (const ELoadError &error) {
        return error.what();
    }
    return "loaded";
}

const std::string Dimmer8 = "\"Dimmer\"            ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255";

} // namespace

TEST(FixtureReader, ReadsTheHeader)
{
    const TFixture f = FromText(CrLf({
        "Format_Version = 2",
        "  Author = \"John Smith\"",
        "Revision = r2 // second",
        "Date = 07/03/2005",
        "Fixture = \"Spot 575\"",
        "//++Brand   = \"Acme Lighting\"",
        "Type = Moving_Head",
        "Pan_Angle_min = -270",
        "pan_angle_max = \t540 // degrees",
        "Tilt_Angle_min =-135",
        "TILT_ANGLE_MAX = 135",
        "Dmx_Channels = 16",
        "Dmx_Split_Channels = 4",
        "Something else entirely",
    }));
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.Author, "John Smith");
    EXPECT_EQ(f.Revision, "r2");
    EXPECT_EQ(DecodeDate(f.Date), (TCalendarDate{2005, 3, 7}));
    EXPECT_EQ(f.Name, "Spot 575");
    EXPECT_EQ(f.Brand, "Acme Lighting");
    EXPECT_EQ(f.FixtureType, 2);
    EXPECT_EQ(f.PanAngleMin, -270);
    EXPECT_EQ(f.PanAngleMax, 540);
    EXPECT_EQ(f.TiltAngleMin, -135);
    EXPECT_EQ(f.TiltAngleMax, 135);
    EXPECT_EQ(f.DmxChannels, 16);
    EXPECT_EQ(f.DmxSplitChannels, 4);
    EXPECT_TRUE(f.Saved);
}

TEST(FixtureReader, HeaderCases)
{
    struct Case {
        const char *name;
        std::string text;
        std::function<void(const TFixture &)> check;
    } const cases[] = {
        {"only a format line", "Format_Version = 2\n",
         [](const TFixture &f) {
             EXPECT_EQ(f.FormatVersion, 2);
             EXPECT_EQ(f.FixtureType, 4);
             EXPECT_TRUE(f.Attributes.Empty() && f.Commands.Empty() && f.Palettes.Empty());
         }},
        {"an empty file", "", [](const TFixture &f) { EXPECT_EQ(f.FormatVersion, 1); }},
        {"fraction dropped", "FORMAT_VERSION = 2.9\n", [](const TFixture &f) { EXPECT_EQ(f.FormatVersion, 2); }},
        {"version line", "Format_Version = 2\nVersion = 1.0\n",
         [](const TFixture &f) { EXPECT_EQ(f.FormatVersion, 1); }},
        {"author unquoted keeps case", "Author = John Smith\n",
         [](const TFixture &f) { EXPECT_EQ(f.Author, "John Smith"); }},
        {"fixture called Update", "Fixture = Update\nDate = 01/02/2003\n",
         [](const TFixture &f) {
             EXPECT_EQ(f.Name, "Update");
             EXPECT_EQ(DecodeDate(f.Date), (TCalendarDate{2003, 2, 1}));
         }},
        {"brand with VERSION", "Format_Version = 2\nBrand = VERSIONS Inc\n",
         [](const TFixture &f) {
             EXPECT_EQ(f.FormatVersion, 2);
             EXPECT_EQ(f.Brand, "VERSIONS Inc");
         }},
        {"blanks before FIXTURE", "  Fixture = Spot\n", [](const TFixture &f) { EXPECT_EQ(f.Name, ""); }},
        {"unknown type", "Type = scanner\n", [](const TFixture &f) { EXPECT_EQ(f.FixtureType, 0); }},
        {"comment after a number", "Pan_Angle_min = 540 // wide\n",
         [](const TFixture &f) { EXPECT_EQ(f.PanAngleMin, 540); }},
        {"tabs as blanks", "Fixture\t=\t\"A\tB\"\n", [](const TFixture &f) { EXPECT_EQ(f.Name, "A B"); }},
        {"comment inside a quoted name", "Fixture = \"A//B\"\n", [](const TFixture &f) { EXPECT_EQ(f.Name, "A"); }},
        {"long line cut at 255", "Fixture = " + std::string(300, 'x') + "\n",
         [](const TFixture &f) { EXPECT_EQ(f.Name, std::string(245, 'x')); }},
        {"code 26 ends the file",
         "Fixture = A\n\x1A"
         "Brand = B\n",
         [](const TFixture &f) { EXPECT_EQ(f.Brand, ""); }},
        {"lone CR is no line end", "Fixture = A\rBrand = B\n",
         [](const TFixture &f) { EXPECT_EQ(f.Name, "A\rBrand = B"); }},
        {"no final line end", "Fixture = A", [](const TFixture &f) { EXPECT_EQ(f.Name, "A"); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.check(FromText(c.text));
    }
}

TEST(FixtureReader, ReadsTheCommentBlock)
{
    const TFixture f =
        FromText(CrLf({"COMMENTS", "", "", "First \"line\"", "", "third // not this", "ENDCOMMENTS", "Fixture = X"}));
    EXPECT_EQ(f.Comments, "First line\r\n\r\nthird");
    EXPECT_EQ(f.Name, "X");
    // A file that ends inside the block loses its last line.
    EXPECT_EQ(FromText(CrLf({"comments", "one", "two"})).Comments, "one");
}

TEST(FixtureReader, ReadsAttributesOfBothFormats)
{
    const std::string section = CrLf({
        "PARAMETERS",
        Dimmer8 + ", YES, YES",
        "\"Pan\"  2 PT LTP 16 2 3 LINEAR 0 65535 LINEAR 0",
        "//++\"Lamp\"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255, LINEAR, 0, NO",
        "Gobo x GB htp 8 4 5 snap_end 10% 100% no no",
        "Zoom 1 I ? 16 6 x 8 0 100%",
        "ENDPARAMETERS",
    });
    const TFixture v1 = FromText(section);
    ASSERT_EQ(v1.Attributes.Count(), 7u); // Pan and Gobo have low parts
    const auto describe = [](const TFixture &f, const char *name) { return Describe(*f.ParameterByName(name)); };
    EXPECT_EQ(describe(v1, "Dimmer"), "Dimmer 1 IN HTP 8 1/0 LINEAR 0-255");
    EXPECT_EQ(describe(v1, "pan"), "Pan 2 PT LTP 16 2/3 LINEAR 0-255");
    EXPECT_EQ(describe(v1, "Lamp"), "Lamp 5 IN LTP 8 9/0 SNAP_START 0-255 hidden");
    // A priority that is no number, a code in any case, percentages.
    EXPECT_EQ(describe(v1, "Gobo"), "Gobo 0 GB HTP 8 4/5 SNAP_END 25-255");
    // The one-letter I, unknown codes, a low patch that does not convert, 100 % of a 16-bit attribute.
    EXPECT_EQ(describe(v1, "Zoom"), "Zoom 1 IN ?? 16 6/0 ?? 0-255");
    EXPECT_EQ(v1.ParameterByName("Dimmer")->Order, 1);
    EXPECT_EQ(v1.ParameterByName("Pan")->Order, 2);

    const TFixture v2 = FromText("Format_Version = 2\n" + section);
    EXPECT_EQ(describe(v2, "Dimmer"), "Dimmer 1 IN HTP 8 1/0 LINEAR 0-255 inherit");
    // A format 1.0 line read as format 2: LINEAR and 0 are no YES.
    EXPECT_EQ(describe(v2, "Pan"), "Pan 2 PT LTP 16 2/3 LINEAR 0-255 hidden");
}

TEST(FixtureReader, AttributeSectionEdges)
{
    // A second section numbers from 1 again; a format line after a section does not change it.
    const TFixture f =
        FromText(CrLf({"PARAMETERS", "A 1 IN HTP 8 1 na LINEAR 0 255 no no", "ENDPARAMETERS", "Format_Version = 2",
                       "PARAMETERS", "", "   ", "B 1 IN HTP 8 2 na LINEAR 0 255 yes yes", "ENDPARAMETERS"}));
    EXPECT_EQ(f.ParameterByName("A")->Order, 1);
    EXPECT_TRUE(f.ParameterByName("A")->ShowOnEditor); // read by the format 1.0 rules
    EXPECT_EQ(f.ParameterByName("B")->Order, 1);
    EXPECT_TRUE(f.ParameterByName("B")->Inherit);
    // A file that ends inside the section loses its last line.
    const TFixture cut =
        FromText(CrLf({"PARAMETERS", "A 1 IN HTP 8 1 na LINEAR 0 255", "B 1 IN HTP 8 2 na LINEAR 0 255"}));
    EXPECT_EQ(cut.Attributes.Count(), 1u);
}

TEST(FixtureReader, ReportsTheFirstErrorWithItsLine)
{
    struct Case {
        const char *name;
        std::string text;
        std::string message;
    } const cases[] = {
        {"number followed by a blank", "// a comment\n\nPan_Angle_min = 540 \n",
         "Cannot open the file. Error in line #3:   PAN_ANGLE_MIN = 540 "},
        {"bad date", "Date = 31/02/2005\n", "Cannot open the file. Error in line #1:   DATE = 31/02/2005"},
        {"bad format version", "Format_Version = two\n",
         "Cannot open the file. Error in line #1:   FORMAT_VERSION = TWO"},
        {"too few attribute columns", "PARAMETERS\n\n\"Pan fine\"  1 PT\nENDPARAMETERS\n",
         "Cannot open the file. Error in line #3:    Pan fine,  1,PT"},
        {"repeated patch",
         "PARAMETERS\r\n" + Dimmer8 + "\r\n\"Shutter\" 1 IN LTP 8 1 na LINEAR 0 255\r\nENDPARAMETERS\r\n",
         "Cannot open the file. Error in line #3:    Shutter, 1,IN,LTP,8,1,na,LINEAR,0,255"},
        {"repeated low patch",
         "PARAMETERS\nA 1 IN HTP 8 1 na LINEAR 0 255\nB 1 PT LTP 16 2 1 LINEAR 0 255\nENDPARAMETERS\n",
         "Cannot open the file. Error in line #3:   B,1,PT,LTP,16,2,1,LINEAR,0,255"},
        {"lower-case end line", "PARAMETERS\nA 1 IN HTP 8 1 na LINEAR 0 255\nendparameters\nFixture = X\n",
         "Cannot open the file. Error in line #3:   endparameters"},
        {"repeated command", "COMMANDS\nCOMMANDNAME = Reset\n\nCommandName = RESET\nENDCOMMANDS\n",
         "Cannot open the file. Error in line #4:   CommandName = RESET"},
        {"bad step value", "Format_Version = 2\nCOMMANDS\nCommandName=Reset\n  #3, 12x, 0  \nENDCOMMANDS\n",
         "Cannot open the file. Error in line #4:   #3, 12x, 0"},
        {"bad channel number", "Format_Version = 2\nCOMMANDS\nCommandName=Reset\n#three, 1, 0\n",
         "Cannot open the file. Error in line #4:   #three, 1, 0"},
        {"value before a palette", "PALETTES\nPALETTETYPE = IN\n\"Dimmer\" = 10\n",
         "Cannot open the file. Error in line #3:   Dimmer = 10"},
        {"colour before a palette", "PALETTES\nPALETTECOLOR = 1, 2, 3\n",
         "Cannot open the file. Error in line #2:   PALETTECOLOR = 1, 2, 3"},
        {"value of an unknown channel", "PALETTES\nPALETTENAME = Open\nGobo = 10\n",
         "Cannot open the file. Error in line #3:   Gobo = 10"},
        {"value line without =", "PALETTES\nPALETTENAME = Open\nsomething\n",
         "Cannot open the file. Error in line #3:   something"},
        {"bad colour component", "PALETTES\nPALETTENAME = Red\nPALETTECOLOR = 255, x, 0\n",
         "Cannot open the file. Error in line #3:   PALETTECOLOR = 255, x, 0"},
        {"repeated palette", "PALETTES\nPALETTETYPE = CO\nPALETTENAME = Red\nPALETTENAME = red\n",
         "Cannot open the file. Error in line #4:   PALETTENAME = red"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LoadError(c.text), c.message) << c.name;
}

TEST(FixtureReader, ReadsCommandsOfFormat10)
{
    const TFixture f = FromText(CrLf({
        "PARAMETERS",
        Dimmer8,
        "\"Pan\"  2 PT LTP 16 2 3 LINEAR 0 65535",
        "ENDPARAMETERS",
        "COMMANDS",
        "COMMANDNAME = \"Lamp on\"     // Command name",
        "255,  1000, 12     // Dmx value, time (in milliseconds), internal patch of command channel",
        "50%, 100%, 12",
        "40000, 0, 2",
        "",
        "1, 2, 1",
        "commandname = Reset",
        "FFh, 0, 1",
        "ENDCOMMANDS",
    }));
    ASSERT_EQ(f.Commands.Count(), 2u);
    const TParameter &control = *f.ParameterByPatch(12);
    EXPECT_EQ(control.Name, "Control");
    EXPECT_FALSE(control.ShowOnEditor);
    EXPECT_EQ(control.Order, 255);
    EXPECT_EQ(control.ControlType, 2);
    EXPECT_EQ(control.Path, 2);
    const auto &lamp = f.Commands[0].Lines;
    ASSERT_EQ(lamp.size(), 3u); // the line after the empty one is skipped
    EXPECT_EQ(lamp[0].ChannelName, "Control");
    EXPECT_EQ(lamp[0].Value, 65535);
    EXPECT_EQ(lamp[0].Time, 1000);
    EXPECT_EQ(lamp[1].Value, 32639);
    EXPECT_EQ(lamp[1].Time, 65534);
    EXPECT_EQ(lamp[2].ChannelName, "Pan");
    EXPECT_EQ(lamp[2].Value, 40000);
    EXPECT_EQ(f.Commands[1].Name, "Reset");
    EXPECT_EQ(f.Commands[1].Lines[0].ChannelName, "Dimmer");
    EXPECT_EQ(f.Commands[1].Lines[0].Value, 65535);
}

TEST(FixtureReader, ReadsCommandsOfFormat2)
{
    const TFixture f = FromText(CrLf({
        "Format_Version = 2",
        "PARAMETERS",
        Dimmer8 + ", NO, YES",
        "\"Focus\" 1 IN LTP 16 2 3 LINEAR 0 65535 NO YES",
        "ENDPARAMETERS",
        "COMMANDS",
        "CommandName=\"Lamp on\"",
        "#07, 128, 500",
        "#1, 128, 0",
        "dimmer, 100%, 0",
        "Focus, 40000, 0",
        "focus, 100%, 0",
        "Strobe, 2, 0",
        "  ENDCOMMANDS  ",
        "Fixture = After",
    }));
    const auto &steps = f.Commands[0].Lines;
    ASSERT_EQ(steps.size(), 6u);
    const std::vector<std::tuple<std::string, int, int>> expected = {{"#7", 32896, 500},   {"#1", 32896, 0},
                                                                     {"dimmer", 65535, 0}, {"Focus", 40000, 0},
                                                                     {"focus", 65535, 0},  {"Strobe", 514, 0}};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].ChannelName, std::get<0>(expected[i])) << i;
        EXPECT_EQ(steps[i].Value, std::get<1>(expected[i])) << i;
        EXPECT_EQ(steps[i].Time, std::get<2>(expected[i])) << i;
    }
    EXPECT_EQ(f.Name, "After");
}

TEST(FixtureReader, ReadsPalettes)
{
    const TFixture f = FromText(CrLf({
        "Format_Version = 2",
        "PARAMETERS",
        Dimmer8 + ", NO, YES",
        "\"Pan\" 1 PT LTP 16 2 3 LINEAR 0 65535 NO YES",
        "ENDPARAMETERS",
        "PALETTES",
        "PALETTENAME = Before type",
        "PALETTETYPE = C",
        "PALETTENAME = \"Red\"",
        "//++PALETTECOLOR = 255, 0, 0",
        "PALETTEDESC = \"Deep red\"",
        "\"Dimmer\" = 50%",
        "dimmer = 100",
        "PALETTETYPE = B",
        "PALETTENAME = Open",
        "PALETTEBITMAP = Gobo\\open.bmp",
        "PALETTECOLOR = 12",
        "PALETTETYPE = XYZ",
        "PALETTENAME = Still gobo",
        "PALETTETYPE = QQ",
        "PALETTENAME = Unknown",
        "PALETTECOLOR = 1, 2, 3, 4",
        "PALETTETYPE = SP",
        "PALETTENAME = Locate",
        "Pan = 100%",
        "   ",
        "ENDPALETTES",
    }));
    ASSERT_EQ(f.Palettes.Count(), 6u);
    const TPalette &before = f.Palettes[0];
    EXPECT_EQ(before.PaletteType, 255);
    const TPalette &red = *f.FindPalette("Red", 3);
    EXPECT_EQ(std::tie(red.Red, red.Green, red.Blue), std::tuple(255, 0, 0));
    EXPECT_EQ(red.Description, "Deep red");
    ASSERT_EQ(red.Lines.Count(), 1u);
    EXPECT_EQ(red.Lines[0].ChannelName, "Dimmer");
    EXPECT_EQ(red.Lines[0].Value, 25700); // replaced by the second line, 100 * 257
    const TPalette &open = *f.FindPalette("Open", 4);
    EXPECT_EQ(open.Bitmap, "Gobo\\open.bmp");
    EXPECT_EQ(open.Red, 12);
    EXPECT_EQ(open.Green, -1);
    EXPECT_EQ(f.Palettes[3].PaletteType, 4); // a three-letter code leaves the type
    EXPECT_EQ(f.Palettes[4].PaletteType, 0);
    EXPECT_EQ(f.Palettes[4].Blue, 3);
    EXPECT_EQ(f.FindPalette("Locate", 7)->Lines[0].Value, 65535);
}

TEST(FixtureReader, PaletteSectionWithoutEndKeepsItsLastLine)
{
    const TFixture f =
        FromText(CrLf({"PARAMETERS", Dimmer8, "ENDPARAMETERS", "PALETTES", "PALETTENAME = Full", "Dimmer = 255"}));
    EXPECT_EQ(f.Palettes[0].Lines[0].Value, 65535);
}

class FixtureLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteAll(dir.File("good.fxr"), "Fixture = New one\r\nDmx_Channels = 3\r\n");
        WriteAll(dir.File("bad.fxr"), "Fixture = Broken\r\nDmx_Channels = many\r\n");
        fixture.Name = "Previous";
        fixture.FileName = "previous.fxr";
        fixture.FileDir = "/somewhere";
        fixture.Saved = false;
    }

    TTempDir dir;
    TScriptedDialogs dialogs;
    TFixture fixture;
};

TEST_F(FixtureLoad, ReadsTheChosenFile)
{
    dialogs.Files.push_back(dir.File("good.fxr"));
    ASSERT_TRUE(fixture.Load());
    EXPECT_EQ(fixture.Name, "New one");
    EXPECT_EQ(fixture.FileName, "good.fxr");
    EXPECT_EQ(fixture.FileDir, dir.Path().string());
    EXPECT_EQ(fixture.FilePath, dir.File("good.fxr"));
    EXPECT_TRUE(fixture.Saved);
    EXPECT_TRUE(dialogs.Shown.empty());
    ASSERT_EQ(dialogs.FileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.FileDialogs[0].InitialDir, "Fixtures");
    EXPECT_EQ(dialogs.FileDialogs[0].DefaultExt, "fxr");
    EXPECT_EQ(dialogs.FileDialogs[0].Filter, "Fixture files (*.fxr)");
}

TEST_F(FixtureLoad, LeavesThePreviousFixtureWhenItFails)
{
    struct Case {
        const char *name;
        std::optional<std::string> chosen;
        std::vector<TScriptedDialogs::TShown> shown;
    } const cases[] = {
        {"cancelled", std::nullopt, {}},
        {"nothing selected", std::string(), {}},
        {"missing file",
         dir.File("missing.fxr"),
         {{TMessageKind::Warning, "File access error (No such file or directory)"}}},
        {"a directory", dir.Path().string(), {{TMessageKind::Warning, "File access error (Is a directory)"}}},
        {"a device", std::string("/dev/zero"), {{TMessageKind::Warning, "File access error (not a regular file)"}}},
        {"load error",
         dir.File("bad.fxr"),
         {{TMessageKind::Plain, "Cannot open the file. Error in line #2:   DMX_CHANNELS = MANY"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Shown.clear();
        dialogs.Files.push_back(c.chosen);
        EXPECT_FALSE(fixture.Load());
        EXPECT_EQ(dialogs.Shown, c.shown);
        EXPECT_EQ(fixture.Name, "Previous");
        EXPECT_EQ(fixture.FileName, "previous.fxr");
        EXPECT_EQ(fixture.FileDir, "/somewhere");
        EXPECT_FALSE(fixture.Saved);
    }
}

TEST_F(FixtureLoad, The800LayoutUsesTheFileListDialog)
{
    fixture.Layout800 = true;
    dialogs.Files.push_back(dir.File("good.fxr"));
    ASSERT_TRUE(fixture.Load());
    EXPECT_TRUE(dialogs.FileDialogs.empty()); // no open dialog
    EXPECT_TRUE(fixture.Layout800);
    EXPECT_EQ(fixture.Name, "New one");
}
