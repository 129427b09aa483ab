// The exact text of fixture files in both formats.

#include "fxr/FixtureWriter.h"
#include "platform/Errors.h"
#include "support/FixtureBuilder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace testing_support;

const std::string StepComment = "     // Dmx value, time (in milliseconds), internal patch of command channel";
const std::string TypeComment10 = "         // Palette type (IN/PT/CO/GB/PR/BL/SP)";
const std::string TypeComment2 = "         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP";
const std::string Separator = "// " + std::string(77, '-');

template <class T> void PrintTo(const T &c, std::ostream *os) requires requires
{
    c.Label;
}
{
    *os << c.Label;
}
const auto ByLabel = [](const auto &info) { return std::string(info.param.Label); };

std::vector<std::string> AttributeLines(const std::string &text)
{
    return LinesAfter(text, "PARAMETERS", 1);
}

TFixture BaseFixture()
{
    TFixture f;
    f.Author = "Jane Doe";
    f.Date = DateOf(2005, 3, 7);
    f.Name = "Spot 575";
    return f;
}

TFixture CompleteFixture(int version)
{
    TFixture f = BaseFixture();
    f.Brand = "Acme";
    f.FixtureType = ftMovingHead;
    f.PanAngleMax = 540;
    f.TiltAngleMin = -135;
    f.TiltAngleMax = 135;
    f.DmxChannels = 5;
    // Format 1.0 has no place for these, nor for Inherit.
    f.Revision = "1.2b";
    f.Comments = "First line\r\nSecond line\r\n\r\nFourth";
    f.DmxSplitChannels = 2;

    AddAttribute(f, {"Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, true, 1});
    AddAttribute(f, {"Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, false, true, 2});
    AddAttribute(f, {"Gobo", 3, ctGobo, ctlLTP, 8, 4, 0, pathSnapEnd, 5, 250, true, true, 3});
    AddAttribute(f, {"Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false, 4});

    TCommand &lampOn = f.AddCommand("Lamp on");
    lampOn.AddLine("Lamp", 65535, 1000);
    lampOn.AddLine("#12", 32896, 0);
    lampOn.AddLine("Missing", 25700, 5);
    lampOn.AddLine("Pan", 40000, 20);
    TCommand &reset = f.AddCommand("Reset");
    reset.AddLine("dimmer", 2570, 65535);
    reset.AddLine("#2", 65535, 0);

    TPalette &open = f.AddPalette("Open", ptIntensity);
    open.Description = "Full on";
    open.SetValue("Dimmer", 65535);
    TPalette &red = f.AddPalette("Red", ptColour);
    red.Red = 255;
    red.Green = 0;
    red.Blue = 0;
    red.Bitmap = "red.bmp"; // format 1.0 gives a colour palette its colour only
    red.SetValue("Dimmer", 32896);
    red.SetValue("Missing", 257);
    TPalette &blue = f.AddPalette("Blue", ptColour);
    TPalette &stars = f.AddPalette("Stars", ptGobo);
    stars.Bitmap = "Gobo\\stars.bmp";
    stars.Red = 1; // and the other palettes their icon only
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

    if (version == 2) {
        lampOn.AddLine("#9", 65535, 0);
        reset.AddLine("#3", 514, 7); // the low patch of Pan is no attribute's patch
        red.Description = "Primary";
        blue.Bitmap = "blue.bmp";
    }
    return f;
}

TEST(Writers, WholeFile_Format10)
{
    const std::string expected = Dos(R"(// All chars following // are comments
// Empty lines are allowed
// Keywords are case insensitive
// If some strings contain blanks they must be delimited by "
// Numbers can be written in decimal, percentual or exadecimal representation:
// 50 is a decimal value, 4% is a percentual value, FFh is an exadecimal value


//---------------  Generic information ---------------

Author = "Jane Doe"
Version = 1.0
Date = 07/03/2005


// Fixture information

Fixture = "Spot 575"
//++Brand   = "Acme"

Type = moving_head
Pan_Angle_min = 0
Pan_Angle_max = 540
Tilt_Angle_min =-135
Tilt_Angle_max = 135

Dmx_Channels = 5


// --------------- Logical Channel List --------------------
// Column 1: channel name,
// Column 2: priority,
// Column 3: channel type IN/PT/CO/GB/PR/BL
// Column 4: control type HTP/LTP,
// Column 5: width: 8/16,
// Column 6: internal patch,
// Column 7: internal patch low (only for 16 bit channels, for 8 bit ch. must be 'na'),
// Column 8: path: LINEAR, SNAP_START, SNAP_END
// Column 9: start value,
// Column 10: full value,
// Column 11: equalization
// Column 12: pre heat

// NB pan and tilt channels must be called pan and tilt (other names are not allowed)

// For 8 bit channels, the item internal patch low must be "na" ("na" stands for "not applicable")
// Allowed values for path: linear, snap_start, snap_end
// Allowed values for equalization: linear, onoff, general1, general2, general3, general4, general5, general6

PARAMETERS

"Dimmer"            ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0
"Pan"               ,  2, PT, LTP, 16,  2,  3,     LINEAR,     0, 65535, LINEAR, 0
"Gobo"              ,  3, GB, LTP,  8,  4, na,   SNAP_END,     5,   250, LINEAR, 0
//++"Lamp"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255, LINEAR, 0, NO

ENDPARAMETERS

// --------------- Commands section --------------------

COMMANDS

COMMANDNAME = "Lamp on"     // Command name
255,  1000, 9     // Dmx value, time (in milliseconds), internal patch of command channel
128,     0, 12     // Dmx value, time (in milliseconds), internal patch of command channel
40000,    20, 2     // Dmx value, time (in milliseconds), internal patch of command channel

COMMANDNAME = "Reset"     // Command name
 10, 65535, 1     // Dmx value, time (in milliseconds), internal patch of command channel
255,     0, 2     // Dmx value, time (in milliseconds), internal patch of command channel


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
PALETTETYPE = IN         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Open"
PALETTEDESC = "Full on"
"Dimmer" = 255

// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Red"
//++PALETTECOLOR = 255, 0, 0
"Dimmer" = 128

PALETTENAME = "Blue"

// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
PALETTETYPE = GB         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Stars"
//++PALETTEBITMAP = Gobo\stars.bmp
"Gobo" = 64

// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
PALETTETYPE = PT         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Centre"
PALETTEDESC = "Middle"
"Pan" = 32768

// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
PALETTETYPE = GB         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Spin"

// -----------------------------------------------------------------------------
// Special function palettes
// -----------------------------------------------------------------------------
PALETTETYPE = SP         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Lamp off"
"Lamp" = 0

PALETTENAME = "Lamp on"
"lamp" = 255

// -----------------------------------------------------------------------------
// General purpose palettes
// -----------------------------------------------------------------------------
PALETTETYPE = IN         // Palette type (IN/PT/CO/GB/PR/BL/SP)
PALETTENAME = "Dim"
"Dimmer" = 30


ENDPALETTES
)");
    EXPECT_EQ(FormatFixture(CompleteFixture(1), 1), expected);
}

TEST(Writers, WholeFile_Format2)
{
    // Two lines of the attribute notes end with one blank, typed as "@" so that it stays visible.
    std::string expected = Dos(R"(// All chars following // are comments
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
    std::replace(expected.begin(), expected.end(), '@', ' ');
    EXPECT_EQ(FormatFixture(CompleteFixture(2), 2), expected);
}

TEST(Writers, WholeFile_EveryVersionButOneIsFormat2)
{
    const TFixture f = CompleteFixture(2);
    std::ostringstream out10, out2;
    WriteFormat10(f, out10);
    WriteFormat2(f, out2);
    EXPECT_EQ(out10.str(), FormatFixture(f, 1));
    EXPECT_EQ(out2.str(), FormatFixture(f, 2));
    EXPECT_EQ(FormatFixture(f, 3), FormatFixture(f, 2));
    EXPECT_EQ(FormatFixture(f, 0), FormatFixture(f, 2));
}

TEST(Writers, EmptyFixture_SectionsStillWritten)
{
    const std::string sections = R"(PARAMETERS


ENDPARAMETERS

// --------------- Commands section --------------------

COMMANDS


ENDCOMMANDS

// --------------- Palettes section --------------------

PALETTES

// Palette values can be written in two ways:
// 1) logical channel name = value;
// 2) #internal channel patch = value (this mode is useful for channels, like command channels,
// which have no corresponding logical channel).


)";
    const std::string ending10 = Dos(sections + "\nENDPALETTES\n");
    const std::string ending2 =
        Dos(sections + Separator + "\n// General purpose palettes\n" + Separator + "\nENDPALETTES\n");
    EXPECT_EQ(Tail(FormatFixture(BaseFixture(), 1), ending10.size()), ending10);
    EXPECT_EQ(Tail(FormatFixture(BaseFixture(), 2), ending2.size()), ending2);
}

// Header

TEST(Writers, Header_EmptyBrandLeavesOutOnlyItsLine)
{
    for (const int version : {1, 2}) {
        TFixture withBrand = BaseFixture();
        withBrand.Brand = "Acme";
        std::string expected = FormatFixture(withBrand, version);
        const std::string brandLine = "//++Brand   = \"Acme\"\r\n";
        const std::size_t at = expected.find(brandLine);
        ASSERT_NE(at, std::string::npos);
        expected.erase(at, brandLine.size());
        EXPECT_EQ(FormatFixture(BaseFixture(), version), expected) << "format " << version;
    }
}

struct THeaderCase {
    const char *Label;
    void (*Set)(TFixture &);
    std::string Line;
    int Formats = 3; // 1: format 1.0, 2: format 2, 3: both
};

class WritersHeader : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(WritersHeader, LineWritten)
{
    const THeaderCase &c = GetParam();
    TFixture f = BaseFixture();
    c.Set(f);
    for (const int version : {1, 2})
        if (c.Formats & version) {
            const std::string text = FormatFixture(f, version);
            EXPECT_TRUE(HasLine(text, c.Line)) << "format " << version << " lacks [" << c.Line << "] in\n" << text;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WritersHeader,
    ::testing::Values(
        THeaderCase{"TiltMinPositive", [](TFixture &f) { f.TiltAngleMin = 45; }, "Tilt_Angle_min =45"},
        THeaderCase{"PanMinNegative", [](TFixture &f) { f.PanAngleMin = -270; }, "Pan_Angle_min = -270"},
        THeaderCase{"DateTwoDigits", [](TFixture &f) { f.Date = DateOf(1999, 12, 31); }, "Date = 31/12/1999"},
        THeaderCase{"DateTimeOfDayIgnored", [](TFixture &f) { f.Date = DateOf(2010, 10, 10) + 0.99; },
                    "Date = 10/10/2010"},
        THeaderCase{"DateZeroIsDay0", [](TFixture &f) { f.Date = 0; }, "Date = 30/12/1899"},
        THeaderCase{"AuthorEmpty", [](TFixture &f) { f.Author.clear(); }, "Author = \"\""},
        THeaderCase{"QuoteInsideNameUnchanged", [](TFixture &f) { f.Name = "12\" Scanner"; },
                    "Fixture = \"12\" Scanner\""},
        THeaderCase{"TypeMovingMirror", [](TFixture &f) { f.FixtureType = ftMovingMirror; }, "Type = moving_mirror"},
        THeaderCase{"TypeDimmer", [](TFixture &f) { f.FixtureType = ftDimmer; }, "Type = dimmer"},
        THeaderCase{"TypeOther", [](TFixture &f) { f.FixtureType = ftOther; }, "Type = other"},
        THeaderCase{"TypeNone", [](TFixture &f) { f.FixtureType = 0; }, "Type = ??"},
        THeaderCase{"TypeOutOfRange", [](TFixture &f) { f.FixtureType = 255; }, "Type = ??"},
        THeaderCase{"VersionAlways10", [](TFixture &f) { f.FormatVersion = 2; }, "Version = 1.0", 1},
        THeaderCase{"FormatVersionAlways2", [](TFixture &f) { f.FormatVersion = 7; }, "Format_Version = 2", 2},
        THeaderCase{"RevisionEmpty", [](TFixture &) {}, "Revision = \"\"", 2},
        THeaderCase{"SplitChannelsZero", [](TFixture &) {}, "Dmx_Split_Channels = 0", 2}),
    ByLabel);

TEST(Writers, Comments_Format2HoldsTheTextAsItIs)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "\n"}, // one empty line
        {"Made for the tour", "Made for the tour\n"},
        {"One\r\nTwo\r\nThree", "One\nTwo\nThree\n"},
        {"One\r\n\r\nThree", "One\n\nThree\n"},
        {"One\r\n", "One\n\n"},
        {"  indented  ", "  indented  \n"},
        {"say \"hi\"", "say \"hi\"\n"},
    };
    for (const auto &[comments, block] : cases) {
        TFixture f = BaseFixture();
        f.Comments = comments;
        const std::string text = FormatFixture(f, 2);
        EXPECT_NE(text.find(Dos("\n\nCOMMENTS\n" + block + "ENDCOMMENTS\n\n// Fixture information\n")),
                  std::string::npos)
            << text;
    }
}

// Attribute lines

struct TAttributeCase {
    const char *Label;
    TAttributeValues Attribute;
    std::string Columns; // 1 to 10, the same in both formats
};

class WritersAttribute : public ::testing::TestWithParam<TAttributeCase> {};

// Shown and not inherited, every line ends alike.
TEST_P(WritersAttribute, ColumnsAsTheAttributeSays)
{
    TFixture f = BaseFixture();
    AddAttribute(f, GetParam().Attribute);
    for (const auto &[version, end] : {std::pair{1, ", LINEAR, 0"}, std::pair{2, ",  NO, YES"}}) {
        const std::vector<std::string> lines = AttributeLines(FormatFixture(f, version));
        ASSERT_EQ(lines.size(), 1u) << "the low-part entry must not give a line";
        EXPECT_EQ(lines[0], GetParam().Columns + end) << "format " << version;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WritersAttribute,
    ::testing::Values(
        // 16-bit values are 257-fold, with or without a low patch; 8-bit values never.
        TAttributeCase{"SixteenBitWithoutLow",
                       {"Focus", 3, ctBlade, ctlLTP, 16, 12, 0, pathSnapEnd, 1, 254},
                       "\"Focus\"             ,  3, BL, LTP, 16, 12, na,   SNAP_END,   257, 65278"},
        TAttributeCase{"EightBitRange",
                       {"Prism", 10, ctPrism, ctlHTP, 8, 99, 0, pathLinear, 10, 200},
                       "\"Prism\"             , 10, PR, HTP,  8, 99, na,     LINEAR,    10,   200"},
        TAttributeCase{"ColourSnapStart",
                       {"Color", 0, ctColour, ctlLTP, 8, 5, 0, pathSnapStart, 0, 255},
                       "\"Color\"             ,  0, CO, LTP,  8,  5, na, SNAP_START,     0,   255"},
        TAttributeCase{"Gobo",
                       {"Gobo", 4, ctGobo, ctlLTP, 8, 6, 0, pathSnapStart, 0, 127},
                       "\"Gobo\"              ,  4, GB, LTP,  8,  6, na, SNAP_START,     0,   127"},
        // Numbers wider than their field are written whole.
        TAttributeCase{"WideNumbers",
                       {"Wide", 123, ctIntensity, ctlHTP, 16, 120, 130, pathLinear, 0, 255},
                       "\"Wide\"              , 123, IN, HTP, 16, 120, 130,     LINEAR,     0, 65535"},
        TAttributeCase{"NegativePriority",
                       {"Neg", -1, ctIntensity, ctlHTP, 8, 6},
                       "\"Neg\"               , -1, IN, HTP,  8,  6, na,     LINEAR,     0,   255"},
        // Names: 18 characters fill the field with their quotes, longer ones push the rest along.
        TAttributeCase{"NameOf17",
                       {"ABCDEFGHIJKLMNOPQ"},
                       "\"ABCDEFGHIJKLMNOPQ\" ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255"},
        TAttributeCase{"NameOf18",
                       {"ABCDEFGHIJKLMNOPQR"},
                       "\"ABCDEFGHIJKLMNOPQR\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255"},
        TAttributeCase{"NameOf19",
                       {"ABCDEFGHIJKLMNOPQRS"},
                       "\"ABCDEFGHIJKLMNOPQRS\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255"},
        TAttributeCase{"NameWithBlanks",
                       {"Colour wheel fine tune", 1, ctColour, ctlLTP},
                       "\"Colour wheel fine tune\",  1, CO, LTP,  8,  1, na,     LINEAR,     0,   255"},
        TAttributeCase{"NameOf60",
                       {std::string(60, 'x')},
                       "\"" + std::string(60, 'x') + "\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255"},
        TAttributeCase{"EmptyName", {""}, "\"\"                  ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255"},
        // Values without a code keep their place with a placeholder.
        TAttributeCase{"NoCodes",
                       {"Odd", 1, 0, 0, 8, 1, 0, 0},
                       "\"Odd\"               ,  1, ??, ??,  8,  1, na,         ??,     0,   255"},
        TAttributeCase{"CodesOutOfRange",
                       {"Odd", 1, 255, 255, 8, 1, 0, 255},
                       "\"Odd\"               ,  1, ??, ??,  8,  1, na,         ??,     0,   255"}),
    ByLabel);

TEST(Writers, Attribute_InheritAndShowInEachFormat)
{
    const std::string columns = "\"Lamp\"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255";
    const std::tuple<bool, bool, std::string, std::string> cases[] = {
        {false, true, columns + ", LINEAR, 0", columns + ",  NO, YES"},
        {true, true, columns + ", LINEAR, 0", columns + ", YES, YES"},
        {false, false, "//++" + columns + ", LINEAR, 0, NO", columns + ",  NO,  NO"},
        {true, false, "//++" + columns + ", LINEAR, 0, NO", columns + ", YES,  NO"},
    };
    for (const auto &[inherit, show, line10, line2] : cases) {
        TFixture f = BaseFixture();
        AddAttribute(f, {"Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, inherit, show});
        EXPECT_EQ(AttributeLines(FormatFixture(f, 1)), std::vector{line10});
        EXPECT_EQ(AttributeLines(FormatFixture(f, 2)), std::vector{line2});
    }
}

TEST(Writers, Attribute_LinesInListOrder)
{
    TFixture f = BaseFixture();
    AddAttribute(f, {"First", 1, ctIntensity, ctlHTP, 8, 7, 0, pathLinear, 0, 255, false, true, 2});
    AddAttribute(f, {"Second", 1, ctIntensity, ctlHTP, 16, 8, 1, pathLinear, 0, 255, false, true, 1});
    f.Normalize(); // arranges the list by Order
    for (const int version : {1, 2}) {
        const std::vector<std::string> lines = AttributeLines(FormatFixture(f, version));
        ASSERT_EQ(lines.size(), 2u) << "format " << version;
        EXPECT_EQ(lines[0].substr(0, 8), "\"Second\"");
        EXPECT_EQ(lines[1].substr(0, 7), "\"First\"");
    }
}

// Command steps

struct TStepCase {
    const char *Label;
    bool WithLamp; // an 8-bit Lamp on patch 9 beside the 16-bit Focus on patches 12 and 13
    std::string Channel;
    uint16_t Value;
    int32_t Time;
    std::string Line10; // without its comment; empty when the step is left out
    std::string Line2;
};

class WritersStep : public ::testing::TestWithParam<TStepCase> {};

TEST_P(WritersStep, LineAsTheStepSays)
{
    const TStepCase &c = GetParam();
    TFixture f = BaseFixture();
    if (c.WithLamp)
        AddAttribute(f, {"Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false, 1});
    AddAttribute(f, {"Focus", 3, ctBlade, ctlLTP, 16, 12, 13, pathLinear, 0, 255, false, true, 2});
    f.AddCommand("Test").AddLine(c.Channel, c.Value, c.Time);
    const std::vector<std::string> expected10 =
        c.Line10.empty() ? std::vector<std::string>{} : std::vector{c.Line10 + StepComment};
    EXPECT_EQ(LinesAfter(FormatFixture(f, 1), "COMMANDNAME"), expected10);
    EXPECT_EQ(LinesAfter(FormatFixture(f, 2), "CommandName="), std::vector{c.Line2}) << "format 2 leaves none out";
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WritersStep,
    ::testing::Values(TStepCase{"EightBitRemainderDropped", true, "Lamp", 32896, 0, "128,     0, 9", "Lamp,   128, 0"},
                      TStepCase{"EightBitSmall", true, "Lamp", 257, 7, "  1,     7, 9", "Lamp,     1, 7"},
                      TStepCase{"EightBitBelow257", true, "Lamp", 256, 0, "  0,     0, 9", "Lamp,     0, 0"},
                      TStepCase{"SixteenBitSmallAnyCase", true, "focus", 12, 3, " 12,     3, 12", "focus,    12, 3"},
                      TStepCase{"SixteenBitFull", true, "Focus", 65535, 250, "65535,   250, 12", "Focus, 65535, 250"},
                      TStepCase{"LongTime", true, "Lamp", 0, 1234567, "  0,1234567, 9", "Lamp,     0, 1234567"},
                      TStepCase{"NegativeTime", true, "Lamp", 0, -5, "  0,    -5, 9", "Lamp,     0, -5"},
                      // "#" and a patch: format 1.0 writes the patch, always on the 8-bit scale; format 2 the
                      // attribute on that patch, or the step as it is.
                      TStepCase{"HashResolves", true, "#9", 65535, 0, "255,     0, 9", "Lamp,   255, 0"},
                      TStepCase{"HashUnresolved", false, "#9", 65535, 0, "255,     0, 9", "#9,   255, 0"},
                      TStepCase{"HashLeadingZeroResolves", true, "#09", 2570, 0, " 10,     0, 9", "Lamp,    10, 0"},
                      TStepCase{"HashLeadingZeroUnresolved", false, "#09", 2570, 0, " 10,     0, 9", "#09,    10, 0"},
                      TStepCase{"HashOnSixteenBitPatch", true, "#12", 40000, 0, "155,     0, 12", "Focus, 40000, 0"},
                      TStepCase{"HashOnLowPatch", true, "#13", 40000, 0, "155,     0, 13", "#13,   155, 0"},
                      TStepCase{"HashWidePatch", true, "#300", 0, 0, "  0,     0, 300", "#300,     0, 0"},
                      // A name that is no attribute: format 1.0 leaves the step out, format 2 divides by 257.
                      TStepCase{"MissingAttributeRemainder", true, "Strobe", 40000, 0, "", "Strobe,   155, 0"},
                      TStepCase{"LowPatchAsNameIsNoPatch", true, "13", 65535, 0, "", "13,   255, 0"}),
    ByLabel);

TEST(Writers, Command_FrameAndOrder)
{
    TFixture f = BaseFixture();
    AddAttribute(f, {"Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false});
    TCommand &first = f.AddCommand("Lamp on");
    first.AddLine("Lamp", 65535, 0);
    first.AddLine("Nothing", 0, 0);
    first.AddLine("Lamp", 0, 10);
    f.AddCommand("Empty");
    const std::string expected10 =
        CrLf({"COMMANDS", "", "COMMANDNAME = \"Lamp on\"     // Command name", "255,     0, 9" + StepComment,
              "  0,    10, 9" + StepComment, "", "COMMANDNAME = \"Empty\"     // Command name", "", "", "ENDCOMMANDS"});
    const std::string expected2 =
        CrLf({"COMMANDS", "", "CommandName=\"Lamp on\"", "Lamp,   255, 0", "Nothing,     0, 0", "Lamp,     0, 10", "",
              "CommandName=\"Empty\"", "", "", "ENDCOMMANDS"});
    EXPECT_NE(FormatFixture(f, 1).find(expected10), std::string::npos) << FormatFixture(f, 1);
    EXPECT_NE(FormatFixture(f, 2).find(expected2), std::string::npos) << FormatFixture(f, 2);
}

TEST(Writers, Command_HashWithoutNumberThrows)
{
    for (const char *channel : {"#", "#x"})
        for (const int version : {1, 2}) {
            TFixture f = BaseFixture();
            f.AddCommand("Bad").AddLine(channel, 0, 0);
            EXPECT_THROW(FormatFixture(f, version), EConvertError) << channel << " in format " << version;
        }
}

// Palettes

TEST(Writers, Palette_ValueLines)
{
    TFixture f = BaseFixture();
    AddAttribute(f, {"Dimmer"});
    AddAttribute(f, {"Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, false, true, 2});
    TPalette &p = f.AddPalette("Values", ptIntensity);
    p.Description = "d";
    p.SetValue("DIMMER", 32896);
    p.SetValue("Nowhere", 100);
    p.SetValue("pan", 12);
    p.SetValue("#1", 100); // no attribute has this name
    const std::string values =
        CrLf({"PALETTENAME = \"Values\"", "PALETTEDESC = \"d\"", "\"DIMMER\" = 128", "\"pan\" = 12"});
    const std::string expected10 = CrLf({"PALETTETYPE = IN" + TypeComment10}) + values + CrLf({"", "", "ENDPALETTES"});
    const std::string expected2 = CrLf({"PALETTETYPE = IN" + TypeComment2}) + values + CrLf({"", "ENDPALETTES"});
    EXPECT_EQ(Tail(FormatFixture(f, 1), expected10.size()), expected10);
    EXPECT_EQ(Tail(FormatFixture(f, 2), expected2.size()), expected2);
}

struct TPaletteCase {
    const char *Label;
    uint8_t Type;
    int32_t Red, Green, Blue;
    std::string Bitmap;
    std::string Description;
    std::string Code;
    std::vector<std::string> Lines10, Lines2; // after PALETTENAME
};

class WritersPalette : public ::testing::TestWithParam<TPaletteCase> {};

TEST_P(WritersPalette, LinesAsThePaletteSays)
{
    const TPaletteCase &c = GetParam();
    TFixture f = BaseFixture();
    TPalette &p = f.AddPalette("P", c.Type);
    p.Red = c.Red;
    p.Green = c.Green;
    p.Blue = c.Blue;
    p.Bitmap = c.Bitmap;
    p.Description = c.Description;
    const std::string text10 = FormatFixture(f, 1);
    const std::string text2 = FormatFixture(f, 2);
    EXPECT_TRUE(HasLine(text10, "PALETTETYPE = " + c.Code + TypeComment10)) << text10;
    EXPECT_TRUE(HasLine(text2, "PALETTETYPE = " + c.Code + TypeComment2)) << text2;
    EXPECT_EQ(LinesAfter(text10, "PALETTENAME"), c.Lines10);
    EXPECT_EQ(LinesAfter(text2, "PALETTENAME"), c.Lines2);
}

// Format 1.0 keeps its colour for a colour palette, when Red says there is one, and its icon for
// any other; format 2 writes a whole colour, the icon and the description last.
INSTANTIATE_TEST_SUITE_P(
    Writers, WritersPalette,
    ::testing::Values(
        TPaletteCase{
            "ZeroColour", ptColour, 0, 0, 0, "", "", "CO", {"//++PALETTECOLOR = 0, 0, 0"}, {"PALETTECOLOR = 0, 0, 0"}},
        TPaletteCase{"ZeroColourAndIconOnGobo",
                     ptGobo,
                     0,
                     0,
                     0,
                     "Gobo\\g1.bmp",
                     "",
                     "GB",
                     {"//++PALETTEBITMAP = Gobo\\g1.bmp"},
                     {"PALETTECOLOR = 0, 0, 0", "PALETTEBITMAP = Gobo\\g1.bmp"}},
        TPaletteCase{"RedNegative", ptColour, -1, 5, 5, "red.bmp", "", "CO", {}, {"PALETTEBITMAP = red.bmp"}},
        TPaletteCase{"GreenNegative", ptColour, 7, -1, 5, "", "", "CO", {"//++PALETTECOLOR = 7, -1, 5"}, {}},
        TPaletteCase{"BlueNegative", ptColour, 5, 5, -1, "", "", "CO", {"//++PALETTECOLOR = 5, 5, -1"}, {}},
        TPaletteCase{"IconAndDescription",
                     ptPrism,
                     -1,
                     -1,
                     -1,
                     "p.bmp",
                     "Three facets",
                     "PR",
                     {"PALETTEDESC = \"Three facets\"", "//++PALETTEBITMAP = p.bmp"},
                     {"PALETTEBITMAP = p.bmp", "PALETTEDESC = \"Three facets\""}},
        TPaletteCase{"NoIconWhenEmpty", ptBlade, 1, 2, 3, "", "", "BL", {}, {"PALETTECOLOR = 1, 2, 3"}},
        TPaletteCase{"AllOnBlade",
                     ptBlade,
                     1,
                     2,
                     3,
                     "b.bmp",
                     "Half closed",
                     "BL",
                     {"PALETTEDESC = \"Half closed\"", "//++PALETTEBITMAP = b.bmp"},
                     {"PALETTECOLOR = 1, 2, 3", "PALETTEBITMAP = b.bmp", "PALETTEDESC = \"Half closed\""}},
        TPaletteCase{"ColourAndDescription",
                     ptColour,
                     1,
                     2,
                     3,
                     "",
                     "Warm",
                     "CO",
                     {"PALETTEDESC = \"Warm\"", "//++PALETTECOLOR = 1, 2, 3"},
                     {"PALETTECOLOR = 1, 2, 3", "PALETTEDESC = \"Warm\""}},
        TPaletteCase{"TypeNone", 0, -1, -1, -1, "", "", "??", {}, {}},
        TPaletteCase{"TypeNotYetRead", 255, -1, -1, -1, "", "", "??", {}, {}}),
    ByLabel);

TEST(Writers, Palette_TypeLineAndBannerWhereTheTypeChanges)
{
    TFixture f = BaseFixture();
    for (const auto &[name, type] : {std::pair{"A", ptSpecial},
                                     {"B", ptSpecial},
                                     {"C", ptGobo},
                                     {"D", ptGobo},
                                     {"E", ptColour},
                                     {"F", ptSpecial},
                                     {"G", ptIntensity}})
        f.AddPalette(name, type);
    const auto sequence = [](const std::string &text) {
        std::string result;
        for (const std::string &line : SplitLines(text)) {
            if (line == "// Special function palettes")
                result += "[SP] ";
            if (line == "// General purpose palettes")
                result += "[GP] ";
            if (line.rfind("PALETTETYPE = ", 0) == 0)
                result += line.substr(14, 2) + " ";
            if (line.rfind("PALETTENAME = ", 0) == 0)
                result += line.substr(15, 1) + " ";
        }
        return result;
    };
    EXPECT_EQ(sequence(FormatFixture(f, 1)), "[SP] SP A B [GP] GB C D [GP] CO E [SP] SP F [GP] IN G ");
    EXPECT_EQ(sequence(FormatFixture(f, 2)), "[GP] [SP] SP A B GB C D CO E [SP] SP F IN G ");
}

// Bytes

TEST(Writers, Text_BytesAbove127Unchanged)
{
    TFixture f = BaseFixture();
    const std::string high = "Proiettore \xE8\xE9\xFC\xA0\xFF\x80";
    f.Name = f.Brand = f.Author = high;
    f.Revision = "\xBD";
    f.Comments = "Z\xFCrich\r\n\xC6\xD8\xC5";
    AddAttribute(f, {"Gr\xFCn", 1, ctColour, ctlLTP});
    f.AddCommand("S\xE9quence").AddLine("gr\xFCn", 257, 0);
    TPalette &p = f.AddPalette("Bl\xE9", ptGobo);
    p.Bitmap = "\xC9toile.bmp";
    p.Description = "\xA9 \xAE";
    p.SetValue("Gr\xFCn", 514);
    const std::string columns = "\"Gr\xFCn\"              ,  1, CO, LTP,  8,  1, na,     LINEAR,     0,   255";
    const std::vector<std::string> both = {"Fixture = \"" + high + "\"",  "//++Brand   = \"" + high + "\"",
                                           "Author = \"" + high + "\"",   "PALETTENAME = \"Bl\xE9\"",
                                           "PALETTEDESC = \"\xA9 \xAE\"", "\"Gr\xFCn\" = 2"};
    const std::vector<std::string> lines10 = {columns + ", LINEAR, 0",
                                              "COMMANDNAME = \"S\xE9quence\"     // Command name",
                                              "  1,     0, 1" + StepComment, "//++PALETTEBITMAP = \xC9toile.bmp"};
    const std::vector<std::string> lines2 = {"Revision = \"\xBD\"",
                                             "Z\xFCrich",
                                             "\xC6\xD8\xC5",
                                             columns + ",  NO, YES",
                                             "CommandName=\"S\xE9quence\"",
                                             "gr\xFCn,     1, 0",
                                             "PALETTEBITMAP = \xC9toile.bmp"};
    for (const auto &[version, own] : {std::pair{1, lines10}, std::pair{2, lines2}}) {
        const std::string text = FormatFixture(f, version);
        for (const std::vector<std::string> *lines : {&both, &own})
            for (const std::string &line : *lines)
                EXPECT_TRUE(HasLine(text, line)) << "format " << version << " lacks [" << line << "]";
    }
}

} // namespace
