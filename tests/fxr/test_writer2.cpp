// The exact text of a format 2 fixture file.

#include "fxr/FixtureWriter.h"
#include "model/FixClasses.h"
#include "model/FixConsts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testing_support::CrLf;

// Expected texts are typed with plain line feeds; the file has CR LF after every line.
std::string Dos(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

bool HasLine(const std::string &text, const std::string &line)
{
    for (const std::string &l : SplitLines(text))
        if (l == line)
            return true;
    return false;
}

TDateTime DateOf(int year, int month, int day) { return *TryEncodeDate(year, month, day); }

TParameter &AddAttribute(TFixture &f, const std::string &name, int32_t priority, uint8_t channelType,
                         uint8_t controlType, uint8_t width, uint16_t patch, uint16_t low, uint8_t path, uint16_t dmxMin,
                         uint16_t dmxMax, bool inherit, bool show, uint8_t order = 1)
{
    auto p = std::make_unique<TParameter>();
    p->Name = name;
    p->Priority = priority;
    p->ChannelType = channelType;
    p->ControlType = controlType;
    p->Width = width;
    p->InternalPatch = patch;
    p->InternalPatchLow = low;
    p->Path = path;
    p->DmxMin = dmxMin;
    p->DmxMax = dmxMax;
    p->Inherit = inherit;
    p->ShowOnEditor = show;
    p->Order = order;
    TParameter &added = *p;
    f.AddParameter(std::move(p));
    return added;
}

TFixture BaseFixture()
{
    TFixture f;
    f.FormatVersion = 2;
    f.Author = "Jane Doe";
    f.Revision = "3";
    f.Date = DateOf(2005, 3, 7);
    f.Name = "Spot 575";
    return f;
}

std::string Format2(const TFixture &f) { return FormatFixture(f, 2); }

// The lines of the attribute section between "PARAMETERS", "" and "", "ENDPARAMETERS".
std::vector<std::string> AttributeLines(const std::string &text)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < lines.size() && lines[i] != "PARAMETERS")
        ++i;
    for (i += 2; i < lines.size() && !lines[i].empty(); ++i)
        result.push_back(lines[i]);
    return result;
}

// The step lines of the first command.
std::vector<std::string> StepLines(const std::string &text)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < lines.size() && lines[i].rfind("CommandName=", 0) != 0)
        ++i;
    for (++i; i < lines.size() && !lines[i].empty(); ++i)
        result.push_back(lines[i]);
    return result;
}

// The lines from "COMMENTS" to "ENDCOMMENTS", both included.
std::vector<std::string> CommentBlock(const std::string &text)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::vector<std::string> result;
    bool inside = false;
    for (const std::string &line : lines) {
        if (line == "COMMENTS")
            inside = true;
        if (inside)
            result.push_back(line);
        if (line == "ENDCOMMENTS")
            break;
    }
    return result;
}

const std::string Separator = "// " + std::string(77, '-');
const std::string TypeComment = "         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP";

// ---------------------------------------------------------------------------------------------
// The whole file

TFixture CompleteFixture()
{
    TFixture f = BaseFixture();
    f.Revision = "1.2b";
    f.Comments = "First line\r\nSecond line\r\n\r\nFourth";
    f.Brand = "Acme";
    f.FixtureType = ftMovingHead;
    f.PanAngleMin = 0;
    f.PanAngleMax = 540;
    f.TiltAngleMin = -135;
    f.TiltAngleMax = 135;
    f.DmxChannels = 5;
    f.DmxSplitChannels = 2;

    AddAttribute(f, "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, true, 1);
    AddAttribute(f, "Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, false, true, 2);
    AddAttribute(f, "Gobo", 3, ctGobo, ctlLTP, 8, 4, 0, pathSnapEnd, 5, 250, true, true, 3);
    AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false, 4);

    TCommand &lampOn = f.AddCommand("Lamp on");
    lampOn.AddLine("Lamp", 65535, 1000);
    lampOn.AddLine("#12", 32896, 0);
    lampOn.AddLine("Missing", 25700, 5);
    lampOn.AddLine("Pan", 40000, 20);
    lampOn.AddLine("#9", 65535, 0);
    TCommand &reset = f.AddCommand("Reset");
    reset.AddLine("dimmer", 2570, 65535);
    reset.AddLine("#2", 65535, 0);
    reset.AddLine("#3", 514, 7); // the low patch of Pan is no attribute's patch

    TPalette &open = f.AddPalette("Open", ptIntensity);
    open.Description = "Full on";
    open.SetValue("Dimmer", 65535);
    TPalette &red = f.AddPalette("Red", ptColour);
    red.Red = 255;
    red.Green = 0;
    red.Blue = 0;
    red.Bitmap = "red.bmp";
    red.Description = "Primary";
    red.SetValue("Dimmer", 32896);
    red.SetValue("Missing", 257);
    f.AddPalette("Blue", ptColour).Bitmap = "blue.bmp";
    TPalette &stars = f.AddPalette("Stars", ptGobo);
    stars.Bitmap = "Gobo\\stars.bmp";
    stars.Red = 1;
    stars.Green = 2;
    stars.Blue = 3;
    stars.SetValue("Gobo", 16448);
    TPalette &centre = f.AddPalette("Centre", ptPanTilt);
    centre.Description = "Middle";
    centre.SetValue("Pan", 32768);
    f.AddPalette("Spin", ptGobo);
    f.AddPalette("Lamp off", ptSpecial).SetValue("Lamp", 0);
    f.AddPalette("Lamp on", ptSpecial).SetValue("lamp", 65535);
    f.AddPalette("Dim", ptIntensity).SetValue("Dimmer", 257 * 30);
    return f;
}

TEST(Writer2, WholeFile_CompleteFixture)
{
    // Two lines of the attribute notes end with one blank, typed as "@" so that it stays visible.
    const std::string expected = Dos(R"(// All chars following // are comments
// Empty lines are allowed
// Keywords are case insensitive
// If some strings contain blanks they must be delimited by "
// Numbers can be written in decimal, percentual or exadecimal representation:
// 50 is a decimal value, 4% is a percentual value, FFh is an exadecimal value


//---------------  Generic information ---------------

Format_Version = 2

Author = "Jane Doe"
Revision = "1.2b"
Date = 07/03/2005

COMMENTS
First line
Second line

Fourth
ENDCOMMENTS

// Fixture information

Fixture = "Spot 575"
//++Brand   = "Acme"
Type = moving_head
Pan_Angle_min = 0
Pan_Angle_max = 540
Tilt_Angle_min =-135
Tilt_Angle_max = 135

Dmx_Channels = 5

// Some fixture have channels splitted in two set patchaed at two independent dmx address
Dmx_Split_Channels = 2

// --------------- Attribute section --------------------
// Column 1: attribute name,
// Column 2: priority,
// Column 3: channel type(IN/PT/CO/GB/PR/BL for Intensity/Pan & tilt/Color/Gobo/Prism/Blade),
// Column 4: control type HTP/LTP,
// Column 5: width: 8/16,
// Column 6: internal patch,
// Column 7: internal patch low (only for 16 bit channels, for 8 bit ch. must be 'na'),
// Column 8: path: LINEAR, SNAP_START, SNAP_END
// Column 9: dmx minimum value,
// Column 10: dmx maximum value,
// Column 11: function type: GENERIC,PAN,TILT,DIMMER,IRIS,SHUTTER..(to be defined)
// Column 12: hinherit: Yes/No
// Column 13: show on editor: Yes/No

// Note:
// 1) show on editor=No is typically used for attributes used in commands only@
// 2) if show on editor=No, field priority, ch. type, control type, path, function type@
//    and hinherit are not applicable and will be ignored

PARAMETERS

"Dimmer"            ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, YES, YES
"Pan"               ,  2, PT, LTP, 16,  2,  3,     LINEAR,     0, 65535,  NO, YES
"Gobo"              ,  3, GB, LTP,  8,  4, na,   SNAP_END,     5,   250, YES, YES
"Lamp"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255,  NO,  NO

ENDPARAMETERS

// --------------- Commands section --------------------

COMMANDS

CommandName="Lamp on"
Lamp,   255, 1000
#12,   128, 0
Missing,   100, 5
Pan, 40000, 20
Lamp,   255, 0

CommandName="Reset"
dimmer,    10, 65535
Pan, 65535, 0
#3,     2, 7


ENDCOMMANDS

// --------------- Palettes section --------------------

PALETTES

// Palette values can be written in two ways:
// 1) logical channel name = value;
// 2) #internal channel patch = value (this mode is useful for channels, like command channels,
// which have no corresponding logical channel).


// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
PALETTETYPE = IN         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Open"
PALETTEDESC = "Full on"
"Dimmer" = 255

PALETTETYPE = CO         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Red"
PALETTECOLOR = 255, 0, 0
PALETTEBITMAP = red.bmp
PALETTEDESC = "Primary"
"Dimmer" = 128

PALETTENAME = "Blue"
PALETTEBITMAP = blue.bmp

PALETTETYPE = GB         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Stars"
PALETTECOLOR = 1, 2, 3
PALETTEBITMAP = Gobo\stars.bmp
"Gobo" = 64

PALETTETYPE = PT         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Centre"
PALETTEDESC = "Middle"
"Pan" = 32768

PALETTETYPE = GB         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Spin"

// -----------------------------------------------------------------------------
// Special function palettes
// -----------------------------------------------------------------------------
PALETTETYPE = SP         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Lamp off"
"Lamp" = 0

PALETTENAME = "Lamp on"
"lamp" = 255

PALETTETYPE = IN         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP
PALETTENAME = "Dim"
"Dimmer" = 30

ENDPALETTES
)");
    std::string withBlanks = expected;
    for (char &c : withBlanks)
        if (c == '@')
            c = ' ';
    EXPECT_EQ(Format2(CompleteFixture()), withBlanks);
}

TEST(Writer2, WholeFile_SameForEveryVersionButOne)
{
    // Every version other than 1 writes format 2.
    TFixture f = CompleteFixture();
    EXPECT_EQ(FormatFixture(f, 3), FormatFixture(f, 2));
    EXPECT_EQ(FormatFixture(f, 0), FormatFixture(f, 2));
    std::ostringstream out;
    WriteFormat2(f, out);
    EXPECT_EQ(out.str(), FormatFixture(f, 2));
}

// ---------------------------------------------------------------------------------------------
// Attribute lines

struct TAttributeCase {
    const char *Label;
    std::string Name;
    int32_t Priority;
    uint8_t ChannelType;
    uint8_t ControlType;
    uint8_t Width;
    uint16_t Patch;
    uint16_t Low;
    uint8_t Path;
    uint16_t DmxMin;
    uint16_t DmxMax;
    bool Inherit;
    bool Show;
    std::string Expected;
};

void PrintTo(const TAttributeCase &c, std::ostream *os) { *os << c.Label; }

class Writer2Attribute : public ::testing::TestWithParam<TAttributeCase> {};

TEST_P(Writer2Attribute, Line_AsTheColumnsSay)
{
    const TAttributeCase &c = GetParam();
    TFixture f = BaseFixture();
    AddAttribute(f, c.Name, c.Priority, c.ChannelType, c.ControlType, c.Width, c.Patch, c.Low, c.Path, c.DmxMin,
                 c.DmxMax, c.Inherit, c.Show);
    const std::vector<std::string> lines = AttributeLines(Format2(f));
    ASSERT_EQ(lines.size(), 1u) << "the low-part entry must not give a line";
    EXPECT_EQ(lines[0], c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writer2, Writer2Attribute,
    ::testing::Values(
        // The two worked lines.
        TAttributeCase{"DimmerInherited", "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, true,
                       "\"Dimmer\"            ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, YES, YES"},
        TAttributeCase{"HiddenLamp", "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false,
                       "\"Lamp\"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255,  NO,  NO"},
        TAttributeCase{"InheritedButHidden", "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, true,
                       false, "\"Lamp\"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255, YES,  NO"},
        TAttributeCase{"ShownNotInherited", "Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, false, true,
                       "\"Pan\"               ,  2, PT, LTP, 16,  2,  3,     LINEAR,     0, 65535,  NO, YES"},
        // 16-bit values are 257-fold with or without a low patch; 8-bit values never.
        TAttributeCase{"SixteenBitWithoutLow", "Focus", 3, ctBlade, ctlLTP, 16, 12, 0, pathSnapEnd, 1, 254, false,
                       true, "\"Focus\"             ,  3, BL, LTP, 16, 12, na,   SNAP_END,   257, 65278,  NO, YES"},
        TAttributeCase{"EightBitRange", "Prism", 10, ctPrism, ctlHTP, 8, 99, 0, pathLinear, 10, 200, false, true,
                       "\"Prism\"             , 10, PR, HTP,  8, 99, na,     LINEAR,    10,   200,  NO, YES"},
        TAttributeCase{"ColourSnapEnd", "Color", 0, ctColour, ctlLTP, 8, 5, 0, pathSnapEnd, 0, 255, false, true,
                       "\"Color\"             ,  0, CO, LTP,  8,  5, na,   SNAP_END,     0,   255,  NO, YES"},
        TAttributeCase{"GoboChannel", "Gobo", 4, ctGobo, ctlLTP, 8, 6, 0, pathSnapStart, 0, 127, false, true,
                       "\"Gobo\"              ,  4, GB, LTP,  8,  6, na, SNAP_START,     0,   127,  NO, YES"},
        TAttributeCase{"WideNumbers", "Wide", 123, ctIntensity, ctlHTP, 16, 120, 130, pathLinear, 0, 255, false, true,
                       "\"Wide\"              , 123, IN, HTP, 16, 120, 130,     LINEAR,     0, 65535,  NO, YES"},
        TAttributeCase{"NameOf18", "ABCDEFGHIJKLMNOPQR", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, false,
                       true, "\"ABCDEFGHIJKLMNOPQR\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255,  NO, YES"},
        TAttributeCase{"NameOf19", "ABCDEFGHIJKLMNOPQRS", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, false,
                       true, "\"ABCDEFGHIJKLMNOPQRS\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255,  NO, YES"},
        TAttributeCase{"NameWithBlanks", "Colour wheel fine tune", 1, ctColour, ctlLTP, 8, 1, 0, pathLinear, 0, 255,
                       false, true,
                       "\"Colour wheel fine tune\",  1, CO, LTP,  8,  1, na,     LINEAR,     0,   255,  NO, YES"},
        TAttributeCase{"NoCodes", "Odd", 1, 0, 0, 8, 1, 0, 0, 0, 255, false, true,
                       "\"Odd\"               ,  1, ??, ??,  8,  1, na,         ??,     0,   255,  NO, YES"},
        TAttributeCase{"CodesOutOfRange", "Odd", 1, 255, 255, 8, 1, 0, 255, 0, 255, false, true,
                       "\"Odd\"               ,  1, ??, ??,  8,  1, na,         ??,     0,   255,  NO, YES"}),
    [](const ::testing::TestParamInfo<TAttributeCase> &c) { return std::string(c.param.Label); });

TEST(Writer2, Attribute_NoKeepMarkerInParameters)
{
    TFixture f = BaseFixture();
    AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false, 1);
    AddAttribute(f, "Reset", 5, ctIntensity, ctlLTP, 8, 10, 0, pathSnapStart, 0, 255, false, false, 2);
    const std::vector<std::string> lines = AttributeLines(Format2(f));
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string &line : lines) {
        EXPECT_NE(line.substr(0, 4), "//++");
        EXPECT_EQ(line.substr(line.size() - 5), ",  NO");
    }
}

TEST(Writer2, Attribute_LowPartGivesNoLine)
{
    TFixture f = BaseFixture();
    AddAttribute(f, "Pan", 2, ctPanTilt, ctlLTP, 16, 1, 2, pathLinear, 0, 255, false, true, 1);
    AddAttribute(f, "Tilt", 2, ctPanTilt, ctlLTP, 16, 3, 4, pathLinear, 0, 255, false, true, 2);
    ASSERT_EQ(f.Attributes.Count(), 4u);
    const std::vector<std::string> lines = AttributeLines(Format2(f));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 5), "\"Pan\"");
    EXPECT_EQ(lines[1].substr(0, 6), "\"Tilt\"");
}

// ---------------------------------------------------------------------------------------------
// Header

struct THeaderCase {
    const char *Label;
    void (*Set)(TFixture &);
    std::string Line;
};

void PrintTo(const THeaderCase &c, std::ostream *os) { *os << c.Label; }

class Writer2Header : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(Writer2Header, Line_Written)
{
    TFixture f = BaseFixture();
    GetParam().Set(f);
    const std::string text = Format2(f);
    EXPECT_TRUE(HasLine(text, GetParam().Line)) << "missing line [" << GetParam().Line << "] in\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Writer2, Writer2Header,
    ::testing::Values(
        THeaderCase{"FormatVersion", [](TFixture &) {}, "Format_Version = 2"},
        THeaderCase{"FormatVersionWhatever", [](TFixture &f) { f.FormatVersion = 7; }, "Format_Version = 2"},
        THeaderCase{"Revision", [](TFixture &f) { f.Revision = "2.1 beta"; }, "Revision = \"2.1 beta\""},
        THeaderCase{"RevisionEmpty", [](TFixture &f) { f.Revision.clear(); }, "Revision = \"\""},
        THeaderCase{"Author", [](TFixture &f) { f.Author = "John Smith"; }, "Author = \"John Smith\""},
        THeaderCase{"SplitChannels", [](TFixture &f) { f.DmxSplitChannels = 6; }, "Dmx_Split_Channels = 6"},
        THeaderCase{"SplitChannelsZero", [](TFixture &) {}, "Dmx_Split_Channels = 0"},
        THeaderCase{"DmxChannels", [](TFixture &f) { f.DmxChannels = 18; }, "Dmx_Channels = 18"},
        THeaderCase{"TiltMinNegative", [](TFixture &f) { f.TiltAngleMin = -45; }, "Tilt_Angle_min =-45"},
        THeaderCase{"PanMinNegative", [](TFixture &f) { f.PanAngleMin = -270; }, "Pan_Angle_min = -270"},
        THeaderCase{"PanMax", [](TFixture &f) { f.PanAngleMax = 540; }, "Pan_Angle_max = 540"},
        THeaderCase{"TiltMax", [](TFixture &f) { f.TiltAngleMax = 270; }, "Tilt_Angle_max = 270"},
        THeaderCase{"DateLeadingZeros", [](TFixture &f) { f.Date = DateOf(2006, 1, 5); }, "Date = 05/01/2006"},
        THeaderCase{"DateTwoDigits", [](TFixture &f) { f.Date = DateOf(1999, 12, 31); }, "Date = 31/12/1999"},
        THeaderCase{"DateTimeOfDayIgnored", [](TFixture &f) { f.Date = DateOf(2010, 10, 10) + 0.75; },
                    "Date = 10/10/2010"},
        THeaderCase{"Brand", [](TFixture &f) { f.Brand = "Big Lights"; }, "//++Brand   = \"Big Lights\""},
        THeaderCase{"TypeMovingMirror", [](TFixture &f) { f.FixtureType = ftMovingMirror; }, "Type = moving_mirror"},
        THeaderCase{"TypeDimmer", [](TFixture &f) { f.FixtureType = ftDimmer; }, "Type = dimmer"},
        THeaderCase{"TypeNone", [](TFixture &f) { f.FixtureType = 0; }, "Type = ??"}),
    [](const ::testing::TestParamInfo<THeaderCase> &c) { return std::string(c.param.Label); });

TEST(Writer2, Header_NoEmptyLineBetweenBrandAndType)
{
    TFixture f = BaseFixture();
    f.Brand = "Acme";
    const std::string text = Format2(f);
    EXPECT_NE(text.find("Fixture = \"Spot 575\"\r\n//++Brand   = \"Acme\"\r\nType = other\r\n"), std::string::npos);
}

TEST(Writer2, Header_EmptyBrandLeavesOutOnlyItsLine)
{
    TFixture withBrand = BaseFixture();
    withBrand.Brand = "Acme";
    std::string expected = Format2(withBrand);
    const std::string brandLine = "//++Brand   = \"Acme\"\r\n";
    const std::size_t at = expected.find(brandLine);
    ASSERT_NE(at, std::string::npos);
    expected.erase(at, brandLine.size());
    const std::string text = Format2(BaseFixture());
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.find("Fixture = \"Spot 575\"\r\nType = other\r\n"), std::string::npos);
}

TEST(Writer2, Header_LineNumbers)
{
    TFixture f = BaseFixture();
    f.Brand = "Acme";
    const std::vector<std::string> lines = SplitLines(Format2(f));
    ASSERT_GT(lines.size(), 60u);
    EXPECT_EQ(lines[8], "//---------------  Generic information ---------------");
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "Format_Version = 2");
    EXPECT_EQ(lines[12], "Author = \"Jane Doe\"");
    EXPECT_EQ(lines[13], "Revision = \"3\"");
    EXPECT_EQ(lines[14], "Date = 07/03/2005");
    EXPECT_EQ(lines[16], "COMMENTS");
    EXPECT_EQ(lines[17], "");
    EXPECT_EQ(lines[18], "ENDCOMMENTS");
    EXPECT_EQ(lines[20], "// Fixture information");
    EXPECT_EQ(lines[22], "Fixture = \"Spot 575\"");
    EXPECT_EQ(lines[23], "//++Brand   = \"Acme\"");
    EXPECT_EQ(lines[24], "Type = other");
    EXPECT_EQ(lines[27], "Tilt_Angle_min =0");
    EXPECT_EQ(lines[30], "Dmx_Channels = 0");
    EXPECT_EQ(lines[33], "Dmx_Split_Channels = 0");
    EXPECT_EQ(lines[35], "// --------------- Attribute section --------------------");
    EXPECT_EQ(lines[51], "// 1) show on editor=No is typically used for attributes used in commands only ");
    EXPECT_EQ(lines[52], "// 2) if show on editor=No, field priority, ch. type, control type, path, function type ");
    EXPECT_EQ(lines[53], "//    and hinherit are not applicable and will be ignored");
    EXPECT_EQ(lines[54], "");
    EXPECT_EQ(lines[55], "PARAMETERS");
}

// ---------------------------------------------------------------------------------------------
// Comments

struct TCommentCase {
    const char *Label;
    std::string Comments;
    std::vector<std::string> Block;
};

void PrintTo(const TCommentCase &c, std::ostream *os) { *os << c.Label; }

class Writer2Comments : public ::testing::TestWithParam<TCommentCase> {};

TEST_P(Writer2Comments, Block_HoldsTheTextAsItIs)
{
    TFixture f = BaseFixture();
    f.Comments = GetParam().Comments;
    EXPECT_EQ(CommentBlock(Format2(f)), GetParam().Block);
}

INSTANTIATE_TEST_SUITE_P(
    Writer2, Writer2Comments,
    ::testing::Values(
        TCommentCase{"EmptyGivesOneEmptyLine", "", {"COMMENTS", "", "ENDCOMMENTS"}},
        TCommentCase{"OneLine", "Made for the tour", {"COMMENTS", "Made for the tour", "ENDCOMMENTS"}},
        TCommentCase{"SeveralLines", "One\r\nTwo\r\nThree", {"COMMENTS", "One", "Two", "Three", "ENDCOMMENTS"}},
        TCommentCase{"EmptyLineInside", "One\r\n\r\nThree", {"COMMENTS", "One", "", "Three", "ENDCOMMENTS"}},
        TCommentCase{"TrailingLineBreak", "One\r\n", {"COMMENTS", "One", "", "ENDCOMMENTS"}},
        TCommentCase{"BlanksKept", "  indented  ", {"COMMENTS", "  indented  ", "ENDCOMMENTS"}},
        TCommentCase{"QuotesUnchanged", "say \"hi\"", {"COMMENTS", "say \"hi\"", "ENDCOMMENTS"}}),
    [](const ::testing::TestParamInfo<TCommentCase> &c) { return std::string(c.param.Label); });

TEST(Writer2, Comments_EmptyTextExactlyOneEmptyLine)
{
    const std::string text = Format2(BaseFixture());
    EXPECT_NE(text.find("\r\n\r\nCOMMENTS\r\n\r\nENDCOMMENTS\r\n\r\n// Fixture information\r\n"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Command steps

struct TStepCase {
    const char *Label;
    bool WithLamp; // an 8-bit attribute Lamp on patch 9
    std::string ChannelName;
    uint16_t Value;
    int32_t Time;
    std::string Expected;
};

void PrintTo(const TStepCase &c, std::ostream *os) { *os << c.Label; }

class Writer2Step : public ::testing::TestWithParam<TStepCase> {};

TEST_P(Writer2Step, Line_AsTheStepSays)
{
    const TStepCase &c = GetParam();
    TFixture f = BaseFixture();
    if (c.WithLamp)
        AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false, 1);
    AddAttribute(f, "Focus", 3, ctBlade, ctlLTP, 16, 12, 13, pathLinear, 0, 255, false, true, 2);
    f.AddCommand("Test").AddLine(c.ChannelName, c.Value, c.Time);
    const std::vector<std::string> steps = StepLines(Format2(f));
    ASSERT_EQ(steps.size(), 1u) << "no step is ever left out";
    EXPECT_EQ(steps[0], c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writer2, Writer2Step,
    ::testing::Values(
        // The worked step lines.
        TStepCase{"WorkedLamp", true, "Lamp", 65535, 1000, "Lamp,   255, 1000"},
        TStepCase{"WorkedFocus", true, "Focus", 40000, 0, "Focus, 40000, 0"},
        TStepCase{"NameAsHeld", true, "LAMP", 65535, 1000, "LAMP,   255, 1000"},
        TStepCase{"SixteenBitAnyCase", true, "focus", 12, 3, "focus,    12, 3"},
        TStepCase{"EightBitRemainderDropped", true, "Lamp", 32896, 0, "Lamp,   128, 0"},
        // "#9" is written with the name of the attribute on patch 9, or as it is.
        TStepCase{"HashResolves", true, "#9", 65535, 0, "Lamp,   255, 0"},
        TStepCase{"HashUnresolved", false, "#9", 65535, 0, "#9,   255, 0"},
        TStepCase{"HashLeadingZeroResolves", true, "#09", 2570, 0, "Lamp,    10, 0"},
        TStepCase{"HashLeadingZeroUnresolved", false, "#09", 2570, 0, "#09,    10, 0"},
        TStepCase{"HashOnSixteenBitUnscaled", true, "#12", 40000, 0, "Focus, 40000, 0"},
        TStepCase{"HashOnLowPatchUnresolved", true, "#13", 40000, 0, "#13,   155, 0"},
        // A step on a name that is no attribute: as held, divided by 257.
        TStepCase{"MissingAttribute", true, "Strobe", 25700, 0, "Strobe,   100, 0"},
        TStepCase{"MissingAttributeRemainder", true, "Strobe", 40000, 0, "Strobe,   155, 0"},
        TStepCase{"LongTime", true, "Lamp", 0, 1234567, "Lamp,     0, 1234567"},
        TStepCase{"NegativeTime", true, "Lamp", 0, -20, "Lamp,     0, -20"}),
    [](const ::testing::TestParamInfo<TStepCase> &c) { return std::string(c.param.Label); });

TEST(Writer2, Command_FrameAndOrder)
{
    TFixture f = BaseFixture();
    AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false, 1);
    TCommand &first = f.AddCommand("Lamp on");
    first.AddLine("Lamp", 65535, 0);
    first.AddLine("Nothing", 0, 0);
    f.AddCommand("Empty");
    const std::string expected = CrLf({"COMMANDS", "", "CommandName=\"Lamp on\"", "Lamp,   255, 0", "Nothing,     0, 0",
                                       "", "CommandName=\"Empty\"", "", "", "ENDCOMMANDS"});
    const std::string text = Format2(f);
    EXPECT_NE(text.find(expected), std::string::npos) << text;
}

TEST(Writer2, Command_EmptyFixture)
{
    const std::string text = Format2(BaseFixture());
    EXPECT_NE(text.find(CrLf({"", "COMMANDS", "", "", "ENDCOMMANDS", ""})), std::string::npos);
    EXPECT_NE(text.find(CrLf({"", "PARAMETERS", "", "", "ENDPARAMETERS", ""})), std::string::npos);
}

TEST(Writer2, Command_HashWithoutNumberThrows)
{
    TFixture f = BaseFixture();
    f.AddCommand("Bad").AddLine("#", 0, 0);
    EXPECT_ANY_THROW(Format2(f));
}

// ---------------------------------------------------------------------------------------------
// Palettes

TEST(Writer2, EmptyFixture_PaletteSectionEnding)
{
    const std::string text = Format2(BaseFixture());
    const std::string ending = Dos(R"(PALETTES

// Palette values can be written in two ways:
// 1) logical channel name = value;
// 2) #internal channel patch = value (this mode is useful for channels, like command channels,
// which have no corresponding logical channel).


// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
ENDPALETTES
)");
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
}

struct TPaletteCase {
    const char *Label;
    uint8_t Type;
    int32_t Red, Green, Blue;
    std::string Bitmap;
    std::string Description;
    std::vector<std::string> Expected; // from the PALETTETYPE line to the palette's empty line
};

void PrintTo(const TPaletteCase &c, std::ostream *os) { *os << c.Label; }

class Writer2Palette : public ::testing::TestWithParam<TPaletteCase> {};

TEST_P(Writer2Palette, Lines_AsThePaletteSays)
{
    const TPaletteCase &c = GetParam();
    TFixture f = BaseFixture();
    TPalette &p = f.AddPalette("P", c.Type);
    p.Red = c.Red;
    p.Green = c.Green;
    p.Blue = c.Blue;
    p.Bitmap = c.Bitmap;
    p.Description = c.Description;
    std::vector<std::string> lines = SplitLines(Format2(f));
    ASSERT_GE(lines.size(), c.Expected.size() + 1);
    lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(c.Expected.size() + 1));
    std::vector<std::string> expected = c.Expected;
    expected.push_back("ENDPALETTES");
    EXPECT_EQ(lines, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writer2, Writer2Palette,
    ::testing::Values(
        TPaletteCase{"ColourAndIconBoth", ptColour, 10, 20, 30, "red.bmp", "",
                     {"PALETTETYPE = CO" + TypeComment, "PALETTENAME = \"P\"", "PALETTECOLOR = 10, 20, 30",
                      "PALETTEBITMAP = red.bmp", ""}},
        TPaletteCase{"ColourAndIconOnGobo", ptGobo, 0, 0, 0, "Gobo\\g1.bmp", "",
                     {"PALETTETYPE = GB" + TypeComment, "PALETTENAME = \"P\"", "PALETTECOLOR = 0, 0, 0",
                      "PALETTEBITMAP = Gobo\\g1.bmp", ""}},
        TPaletteCase{"RedNegativeNoColour", ptColour, -1, 5, 5, "", "",
                     {"PALETTETYPE = CO" + TypeComment, "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"GreenNegativeNoColour", ptColour, 5, -1, 5, "", "",
                     {"PALETTETYPE = CO" + TypeComment, "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"BlueNegativeNoColour", ptColour, 5, 5, -1, "", "",
                     {"PALETTETYPE = CO" + TypeComment, "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"IconOnly", ptPrism, -1, -1, -1, "p.bmp", "",
                     {"PALETTETYPE = PR" + TypeComment, "PALETTENAME = \"P\"", "PALETTEBITMAP = p.bmp", ""}},
        TPaletteCase{"DescriptionLast", ptBlade, 1, 2, 3, "b.bmp", "Half closed",
                     {"PALETTETYPE = BL" + TypeComment, "PALETTENAME = \"P\"", "PALETTECOLOR = 1, 2, 3",
                      "PALETTEBITMAP = b.bmp", "PALETTEDESC = \"Half closed\"", ""}},
        TPaletteCase{"TypeIntensity", ptIntensity, -1, -1, -1, "", "",
                     {"PALETTETYPE = IN" + TypeComment, "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypePanTilt", ptPanTilt, -1, -1, -1, "", "",
                     {"PALETTETYPE = PT" + TypeComment, "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"SpecialFunctionBanner", ptSpecial, -1, -1, -1, "", "",
                     {Separator, "// Special function palettes", Separator, "PALETTETYPE = SP" + TypeComment,
                      "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypeNone", 0, -1, -1, -1, "", "",
                     {"PALETTETYPE = ??" + TypeComment, "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypeNotYetRead", 255, -1, -1, -1, "", "",
                     {"PALETTETYPE = ??" + TypeComment, "PALETTENAME = \"P\"", ""}}),
    [](const ::testing::TestParamInfo<TPaletteCase> &c) { return std::string(c.param.Label); });

TEST(Writer2, Palette_SpecialBannerOnlyWhenTypeChangesToSp)
{
    TFixture f = BaseFixture();
    f.AddPalette("A", ptSpecial);
    f.AddPalette("B", ptSpecial);
    f.AddPalette("C", ptGobo);
    f.AddPalette("D", ptSpecial);
    f.AddPalette("E", ptIntensity);
    std::string sequence;
    for (const std::string &line : SplitLines(Format2(f))) {
        if (line == "// Special function palettes")
            sequence += "[SP] ";
        if (line == "// General purpose palettes")
            sequence += "[GP] ";
        if (line.rfind("PALETTETYPE = ", 0) == 0)
            sequence += line.substr(14, 2) + " ";
        if (line.rfind("PALETTENAME = ", 0) == 0)
            sequence += line.substr(15, 1) + " ";
    }
    EXPECT_EQ(sequence, "[GP] [SP] SP A B GB C [SP] SP D IN E ");
}

TEST(Writer2, Palette_ValueLines)
{
    TFixture f = BaseFixture();
    AddAttribute(f, "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, false, true, 1);
    AddAttribute(f, "Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, false, true, 2);
    TPalette &p = f.AddPalette("Values", ptIntensity);
    p.Description = "d";
    p.SetValue("DIMMER", 32896);
    p.SetValue("Nowhere", 100);
    p.SetValue("pan", 12);
    const std::string expected = CrLf({"PALETTETYPE = IN" + TypeComment, "PALETTENAME = \"Values\"",
                                       "PALETTEDESC = \"d\"", "\"DIMMER\" = 128", "\"pan\" = 12", "", "ENDPALETTES"});
    const std::string text = Format2(f);
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
}

// ---------------------------------------------------------------------------------------------
// Bytes

TEST(Writer2, Text_EveryLineEndsWithCrLf)
{
    const std::string text = Format2(CompleteFixture());
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
        }
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare carriage return at " << i;
        }
    }
}

TEST(Writer2, Text_BytesAbove127Unchanged)
{
    TFixture f = BaseFixture();
    const std::string high = "Proiettore \xE8\xE9\xFC\xA0\xFF\x80";
    f.Name = high;
    f.Brand = high;
    f.Author = high;
    f.Revision = "\xBD";
    f.Comments = "Z\xFCrich\r\n\xC6\xD8\xC5";
    AddAttribute(f, "Gr\xFCn", 1, ctColour, ctlLTP, 8, 1, 0, pathLinear, 0, 255, false, true);
    f.AddCommand("S\xE9quence").AddLine("gr\xFCn", 257, 0);
    TPalette &p = f.AddPalette("Bl\xE9", ptGobo);
    p.Bitmap = "\xC9toile.bmp";
    p.Description = "\xA9 \xAE";
    p.SetValue("Gr\xFCn", 514);
    const std::string text = Format2(f);
    EXPECT_TRUE(HasLine(text, "Fixture = \"" + high + "\""));
    EXPECT_TRUE(HasLine(text, "//++Brand   = \"" + high + "\""));
    EXPECT_TRUE(HasLine(text, "Author = \"" + high + "\""));
    EXPECT_TRUE(HasLine(text, "Revision = \"\xBD\""));
    EXPECT_TRUE(HasLine(text, "Z\xFCrich"));
    EXPECT_TRUE(HasLine(text, "\xC6\xD8\xC5"));
    EXPECT_TRUE(HasLine(text, "\"Gr\xFCn\"              ,  1, CO, LTP,  8,  1, na,     LINEAR,     0,   255,  NO, YES"));
    EXPECT_TRUE(HasLine(text, "CommandName=\"S\xE9quence\""));
    EXPECT_TRUE(HasLine(text, "gr\xFCn,     1, 0"));
    EXPECT_TRUE(HasLine(text, "PALETTENAME = \"Bl\xE9\""));
    EXPECT_TRUE(HasLine(text, "PALETTEDESC = \"\xA9 \xAE\""));
    EXPECT_TRUE(HasLine(text, "PALETTEBITMAP = \xC9toile.bmp"));
    EXPECT_TRUE(HasLine(text, "\"Gr\xFCn\" = 2"));
}

} // namespace
