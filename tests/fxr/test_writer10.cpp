// The exact text of a format 1.0 fixture file.

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

TDateTime DateOf(int year, int month, int day) { return *TryEncodeDate(year, month, day); }

TParameter &AddAttribute(TFixture &f, const std::string &name, int32_t priority, uint8_t channelType,
                         uint8_t controlType, uint8_t width, uint16_t patch, uint16_t low, uint8_t path, uint16_t dmxMin,
                         uint16_t dmxMax, bool show, uint8_t order = 1)
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
    p->ShowOnEditor = show;
    p->Order = order;
    TParameter &added = *p;
    f.AddParameter(std::move(p));
    return added;
}

TFixture BaseFixture()
{
    TFixture f;
    f.Author = "Jane Doe";
    f.Date = DateOf(2005, 3, 7);
    f.Name = "Spot 575";
    return f;
}

std::string Format10(const TFixture &f) { return FormatFixture(f, 1); }

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
    while (i < lines.size() && lines[i].rfind("COMMANDNAME", 0) != 0)
        ++i;
    for (++i; i < lines.size() && !lines[i].empty(); ++i)
        result.push_back(lines[i]);
    return result;
}

bool HasLine(const std::string &text, const std::string &line)
{
    for (const std::string &l : SplitLines(text))
        if (l == line)
            return true;
    return false;
}

const std::string StepComment = "     // Dmx value, time (in milliseconds), internal patch of command channel";

// ---------------------------------------------------------------------------------------------
// The whole file

TFixture CompleteFixture()
{
    TFixture f = BaseFixture();
    f.Brand = "Acme";
    f.FixtureType = ftMovingHead;
    f.PanAngleMin = 0;
    f.PanAngleMax = 540;
    f.TiltAngleMin = -135;
    f.TiltAngleMax = 135;
    f.DmxChannels = 5;
    // Not part of format 1.0: none of these may show up.
    f.Revision = "7b";
    f.Comments = "A comment\r\nthat format 1.0 cannot hold";
    f.DmxSplitChannels = 3;

    AddAttribute(f, "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, 1).Inherit = true;
    AddAttribute(f, "Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, true, 2);
    AddAttribute(f, "Gobo", 3, ctGobo, ctlLTP, 8, 4, 0, pathSnapEnd, 5, 250, true, 3);
    AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, 4);

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
    red.Bitmap = "red.bmp"; // a colour palette carries its colour only
    red.SetValue("Dimmer", 32896);
    red.SetValue("Missing", 257);
    f.AddPalette("Blue", ptColour);
    TPalette &stars = f.AddPalette("Stars", ptGobo);
    stars.Bitmap = "Gobo\\stars.bmp";
    stars.Red = 1; // other palettes carry their icon only
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

TEST(Writer10, WholeFile_CompleteFixture)
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
    EXPECT_EQ(Format10(CompleteFixture()), expected);
}

TEST(Writer10, WholeFile_AttributesInListOrderAfterNormalize)
{
    // The writer follows the list; Normalize arranges it by Order.
    TFixture f = BaseFixture();
    AddAttribute(f, "First", 1, ctIntensity, ctlHTP, 8, 7, 0, pathLinear, 0, 255, true, 2);
    AddAttribute(f, "Second", 1, ctIntensity, ctlHTP, 16, 8, 1, pathLinear, 0, 255, true, 1);
    f.Normalize();
    const std::vector<std::string> lines = AttributeLines(Format10(f));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 8), "\"Second\"");
    EXPECT_EQ(lines[1].substr(0, 7), "\"First\"");
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
    bool Show;
    bool Inherit;
    std::string Expected;
};

void PrintTo(const TAttributeCase &c, std::ostream *os) { *os << c.Label; }

class Writer10Attribute : public ::testing::TestWithParam<TAttributeCase> {};

TEST_P(Writer10Attribute, Line_AsTheColumnsSay)
{
    const TAttributeCase &c = GetParam();
    TFixture f = BaseFixture();
    AddAttribute(f, c.Name, c.Priority, c.ChannelType, c.ControlType, c.Width, c.Patch, c.Low, c.Path, c.DmxMin,
                 c.DmxMax, c.Show)
        .Inherit = c.Inherit;
    const std::vector<std::string> lines = AttributeLines(Format10(f));
    ASSERT_EQ(lines.size(), 1u) << "the low-part entry must not give a line";
    EXPECT_EQ(lines[0], c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writer10, Writer10Attribute,
    ::testing::Values(
        // The three worked lines.
        TAttributeCase{"VisibleDimmer", "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, false,
                       "\"Dimmer\"            ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"},
        TAttributeCase{"SixteenBitPan", "Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, true, false,
                       "\"Pan\"               ,  2, PT, LTP, 16,  2,  3,     LINEAR,     0, 65535, LINEAR, 0"},
        TAttributeCase{"HiddenLamp", "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, false,
                       "//++\"Lamp\"              ,  5, IN, LTP,  8,  9, na, SNAP_START,     0,   255, LINEAR, 0, NO"},
        // Inherit is no part of format 1.0.
        TAttributeCase{"InheritNotWritten", "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, true,
                       "\"Dimmer\"            ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"},
        // A 16-bit attribute without low patch is still 257-fold.
        TAttributeCase{"SixteenBitWithoutLow", "Focus", 3, ctBlade, ctlLTP, 16, 12, 0, pathSnapEnd, 1, 254, true, false,
                       "\"Focus\"             ,  3, BL, LTP, 16, 12, na,   SNAP_END,   257, 65278, LINEAR, 0"},
        TAttributeCase{"EightBitRange", "Prism", 10, ctPrism, ctlHTP, 8, 99, 0, pathLinear, 10, 200, true, false,
                       "\"Prism\"             , 10, PR, HTP,  8, 99, na,     LINEAR,    10,   200, LINEAR, 0"},
        TAttributeCase{"ColourChannel", "Color", 0, ctColour, ctlLTP, 8, 5, 0, pathSnapStart, 0, 255, true, false,
                       "\"Color\"             ,  0, CO, LTP,  8,  5, na, SNAP_START,     0,   255, LINEAR, 0"},
        // Numbers wider than their field are written whole.
        TAttributeCase{"WideNumbers", "Wide", 123, ctIntensity, ctlHTP, 16, 120, 130, pathLinear, 0, 255, true, false,
                       "\"Wide\"              , 123, IN, HTP, 16, 120, 130,     LINEAR,     0, 65535, LINEAR, 0"},
        TAttributeCase{"NegativePriority", "Neg", -1, ctIntensity, ctlHTP, 8, 6, 0, pathLinear, 0, 255, true, false,
                       "\"Neg\"               , -1, IN, HTP,  8,  6, na,     LINEAR,     0,   255, LINEAR, 0"},
        // Names: 18 characters fill the field with their quotes, longer ones push the rest along.
        TAttributeCase{"NameOf18", "ABCDEFGHIJKLMNOPQR", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true,
                       false, "\"ABCDEFGHIJKLMNOPQR\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"},
        TAttributeCase{"NameOf17", "ABCDEFGHIJKLMNOPQ", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true,
                       false, "\"ABCDEFGHIJKLMNOPQ\" ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"},
        TAttributeCase{"NameOf19", "ABCDEFGHIJKLMNOPQRS", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true,
                       false, "\"ABCDEFGHIJKLMNOPQRS\",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"},
        TAttributeCase{"NameOf25WithBlanks", "Colour wheel fine tune", 1, ctColour, ctlLTP, 8, 1, 0, pathLinear, 0,
                       255, false, false,
                       "//++\"Colour wheel fine tune\",  1, CO, LTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0, NO"},
        TAttributeCase{"EmptyName", "", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, false,
                       "\"\"                  ,  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"},
        // Values without a code keep their place with a placeholder.
        TAttributeCase{"NoCodes", "Odd", 1, 0, 0, 8, 1, 0, 0, 0, 255, true, false,
                       "\"Odd\"               ,  1, ??, ??,  8,  1, na,         ??,     0,   255, LINEAR, 0"},
        TAttributeCase{"CodesOutOfRange", "Odd", 1, 255, 255, 8, 1, 0, 255, 0, 255, true, false,
                       "\"Odd\"               ,  1, ??, ??,  8,  1, na,         ??,     0,   255, LINEAR, 0"}),
    [](const ::testing::TestParamInfo<TAttributeCase> &c) { return std::string(c.param.Label); });

TEST(Writer10, Attribute_NameLongerThan18MakesLineLonger)
{
    // Nothing is cut: everything after the name moves right by the extra characters.
    const std::string rest = ",  1, IN, HTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0";
    for (std::size_t length : {18u, 19u, 30u, 60u}) {
        TFixture f = BaseFixture();
        const std::string name(length, 'x');
        AddAttribute(f, name, 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true);
        const std::vector<std::string> lines = AttributeLines(Format10(f));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0], "\"" + name + "\"" + rest) << "name length " << length;
    }
}

// ---------------------------------------------------------------------------------------------
// Header

TEST(Writer10, Header_EmptyBrandLeavesOutOnlyItsLine)
{
    TFixture withBrand = BaseFixture();
    withBrand.Brand = "Acme";
    const TFixture withoutBrand = BaseFixture();
    std::string expected = Format10(withBrand);
    const std::string brandLine = "//++Brand   = \"Acme\"\r\n";
    const std::size_t at = expected.find(brandLine);
    ASSERT_NE(at, std::string::npos);
    expected.erase(at, brandLine.size());
    EXPECT_EQ(Format10(withoutBrand), expected);
    EXPECT_NE(Format10(withoutBrand).find("Fixture = \"Spot 575\"\r\n\r\nType = other\r\n"), std::string::npos);
}

struct THeaderCase {
    const char *Label;
    void (*Set)(TFixture &);
    std::string Line;
};

void PrintTo(const THeaderCase &c, std::ostream *os) { *os << c.Label; }

class Writer10Header : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(Writer10Header, Line_Written)
{
    TFixture f = BaseFixture();
    GetParam().Set(f);
    const std::string text = Format10(f);
    EXPECT_TRUE(HasLine(text, GetParam().Line)) << "missing line [" << GetParam().Line << "] in\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Writer10, Writer10Header,
    ::testing::Values(
        THeaderCase{"TiltMinNegative", [](TFixture &f) { f.TiltAngleMin = -45; }, "Tilt_Angle_min =-45"},
        THeaderCase{"TiltMinPositive", [](TFixture &f) { f.TiltAngleMin = 45; }, "Tilt_Angle_min =45"},
        THeaderCase{"PanMinNegative", [](TFixture &f) { f.PanAngleMin = -270; }, "Pan_Angle_min = -270"},
        THeaderCase{"PanMax", [](TFixture &f) { f.PanAngleMax = 540; }, "Pan_Angle_max = 540"},
        THeaderCase{"TiltMax", [](TFixture &f) { f.TiltAngleMax = 270; }, "Tilt_Angle_max = 270"},
        THeaderCase{"DmxChannels", [](TFixture &f) { f.DmxChannels = 24; }, "Dmx_Channels = 24"},
        THeaderCase{"DateLeadingZeros", [](TFixture &f) { f.Date = DateOf(2006, 1, 5); }, "Date = 05/01/2006"},
        THeaderCase{"DateWorkedExample", [](TFixture &f) { f.Date = DateOf(2005, 3, 7); }, "Date = 07/03/2005"},
        THeaderCase{"DateTwoDigits", [](TFixture &f) { f.Date = DateOf(1999, 12, 31); }, "Date = 31/12/1999"},
        THeaderCase{"DateTimeOfDayIgnored", [](TFixture &f) { f.Date = DateOf(2010, 10, 10) + 0.99; },
                    "Date = 10/10/2010"},
        THeaderCase{"DateZeroIsDay0", [](TFixture &f) { f.Date = 0; }, "Date = 30/12/1899"},
        THeaderCase{"AuthorQuoted", [](TFixture &f) { f.Author = "John Smith"; }, "Author = \"John Smith\""},
        THeaderCase{"AuthorEmpty", [](TFixture &f) { f.Author.clear(); }, "Author = \"\""},
        THeaderCase{"NameQuoted", [](TFixture &f) { f.Name = "Mac 500"; }, "Fixture = \"Mac 500\""},
        THeaderCase{"QuoteInsideNameUnchanged", [](TFixture &f) { f.Name = "12\" Scanner"; },
                    "Fixture = \"12\" Scanner\""},
        THeaderCase{"BrandBehindKeepMarker", [](TFixture &f) { f.Brand = "Big Lights"; },
                    "//++Brand   = \"Big Lights\""},
        THeaderCase{"TypeMovingMirror", [](TFixture &f) { f.FixtureType = ftMovingMirror; }, "Type = moving_mirror"},
        THeaderCase{"TypeMovingHead", [](TFixture &f) { f.FixtureType = ftMovingHead; }, "Type = moving_head"},
        THeaderCase{"TypeDimmer", [](TFixture &f) { f.FixtureType = ftDimmer; }, "Type = dimmer"},
        THeaderCase{"TypeOther", [](TFixture &f) { f.FixtureType = ftOther; }, "Type = other"},
        THeaderCase{"TypeNone", [](TFixture &f) { f.FixtureType = 0; }, "Type = ??"},
        THeaderCase{"TypeOutOfRange", [](TFixture &f) { f.FixtureType = 255; }, "Type = ??"},
        THeaderCase{"VersionAlways10", [](TFixture &f) { f.FormatVersion = 2; }, "Version = 1.0"}),
    [](const ::testing::TestParamInfo<THeaderCase> &c) { return std::string(c.param.Label); });

TEST(Writer10, Header_FormatTwoFieldsLeftOut)
{
    TFixture f = BaseFixture();
    f.Revision = "R12";
    f.Comments = "Some words";
    f.DmxSplitChannels = 4;
    const std::string text = Format10(f);
    EXPECT_EQ(text.find("R12"), std::string::npos);
    EXPECT_EQ(text.find("Some words"), std::string::npos);
    EXPECT_EQ(text.find("Split"), std::string::npos);
    EXPECT_EQ(text.find("COMMENTS"), std::string::npos);
    EXPECT_EQ(text.find("Format_Version"), std::string::npos);
    EXPECT_EQ(text, Format10(BaseFixture()));
}

// ---------------------------------------------------------------------------------------------
// Sections of an empty fixture

TEST(Writer10, EmptyFixture_ThreeSectionsStillWritten)
{
    TFixture f = BaseFixture();
    f.Brand = "Acme"; // so that the line numbers are those of the full header
    const std::string text = Format10(f);
    const std::string sections = Dos(R"(PARAMETERS


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



ENDPALETTES
)");
    ASSERT_GE(text.size(), sections.size());
    EXPECT_EQ(text.substr(text.size() - sections.size()), sections);
    // ... directly after line 49, the empty line that closes the header.
    const std::vector<std::string> lines = SplitLines(text);
    ASSERT_GT(lines.size(), 49u);
    EXPECT_EQ(lines[47], "// Allowed values for equalization: linear, onoff, general1, general2, general3, general4, "
                         "general5, general6");
    EXPECT_EQ(lines[48], "");
    EXPECT_EQ(lines[49], "PARAMETERS");
}

TEST(Writer10, EmptyFixture_HeaderLineNumbers)
{
    TFixture f = BaseFixture();
    f.Brand = "Acme";
    const std::vector<std::string> lines = SplitLines(Format10(f));
    ASSERT_GT(lines.size(), 30u);
    EXPECT_EQ(lines[3].size(), 61u);
    EXPECT_EQ(lines[8], "//---------------  Generic information ---------------");
    EXPECT_EQ(lines[10], "Author = \"Jane Doe\"");
    EXPECT_EQ(lines[11], "Version = 1.0");
    EXPECT_EQ(lines[12], "Date = 07/03/2005");
    EXPECT_EQ(lines[15], "// Fixture information");
    EXPECT_EQ(lines[17], "Fixture = \"Spot 575\"");
    EXPECT_EQ(lines[18], "//++Brand   = \"Acme\"");
    EXPECT_EQ(lines[19], "");
    EXPECT_EQ(lines[20], "Type = other");
    EXPECT_EQ(lines[23], "Tilt_Angle_min =0");
    EXPECT_EQ(lines[26], "Dmx_Channels = 0");
    EXPECT_EQ(lines[29], "// --------------- Logical Channel List --------------------");
}

// ---------------------------------------------------------------------------------------------
// Command steps

struct TStepCase {
    const char *Label;
    std::string ChannelName;
    uint16_t Value;
    int32_t Time;
    std::string Expected; // without the trailing comment; empty when the step is left out
};

void PrintTo(const TStepCase &c, std::ostream *os) { *os << c.Label; }

class Writer10Step : public ::testing::TestWithParam<TStepCase> {};

TEST_P(Writer10Step, Line_AsTheStepSays)
{
    const TStepCase &c = GetParam();
    TFixture f = BaseFixture();
    AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, 1);
    AddAttribute(f, "Focus", 3, ctBlade, ctlLTP, 16, 12, 13, pathLinear, 0, 255, true, 2);
    f.AddCommand("Test").AddLine(c.ChannelName, c.Value, c.Time);
    const std::vector<std::string> steps = StepLines(Format10(f));
    if (c.Expected.empty()) {
        EXPECT_TRUE(steps.empty());
    } else {
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0], c.Expected + StepComment);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writer10, Writer10Step,
    ::testing::Values(
        // The worked step line: 8-bit attribute on patch 9, 65535, 1000 ms.
        TStepCase{"WorkedExample", "Lamp", 65535, 1000, "255,  1000, 9"},
        TStepCase{"NameAnyCase", "LAMP", 65535, 1000, "255,  1000, 9"},
        TStepCase{"EightBitRemainderDropped", "Lamp", 32896, 0, "128,     0, 9"},
        TStepCase{"EightBitSmall", "Lamp", 257, 7, "  1,     7, 9"},
        TStepCase{"EightBitBelow257", "Lamp", 256, 0, "  0,     0, 9"},
        TStepCase{"SixteenBitUnscaled", "Focus", 40000, 0, "40000,     0, 12"},
        TStepCase{"SixteenBitSmallUnscaled", "focus", 12, 0, " 12,     0, 12"},
        TStepCase{"SixteenBitFull", "Focus", 65535, 250, "65535,   250, 12"},
        TStepCase{"LongTime", "Lamp", 0, 1234567, "  0,1234567, 9"},
        TStepCase{"NegativeTime", "Lamp", 0, -5, "  0,    -5, 9"},
        TStepCase{"HashOnFreePatch", "#7", 32896, 500, "128,   500, 7"},
        TStepCase{"HashLeadingZero", "#09", 65535, 0, "255,     0, 9"},
        // A "#" step is always on the 8-bit scale, also on the patch of a 16-bit attribute.
        TStepCase{"HashOnSixteenBitPatch", "#12", 40000, 0, "155,     0, 12"},
        TStepCase{"HashWidePatch", "#300", 0, 0, "  0,     0, 300"},
        TStepCase{"MissingAttributeLeftOut", "Missing", 65535, 0, ""},
        TStepCase{"LowPartNameIsNoPatch", "13", 65535, 0, ""}),
    [](const ::testing::TestParamInfo<TStepCase> &c) { return std::string(c.param.Label); });

TEST(Writer10, Command_FrameAndOrder)
{
    TFixture f = BaseFixture();
    AddAttribute(f, "Lamp", 5, ctIntensity, ctlLTP, 8, 9, 0, pathSnapStart, 0, 255, false, 1);
    TCommand &first = f.AddCommand("Lamp on");
    first.AddLine("Lamp", 65535, 0);
    first.AddLine("Nothing", 0, 0);
    first.AddLine("Lamp", 0, 10);
    f.AddCommand("Empty");
    const std::string text = Format10(f);
    const std::string expected = CrLf({"COMMANDS",
                                       "",
                                       "COMMANDNAME = \"Lamp on\"     // Command name",
                                       "255,     0, 9" + StepComment,
                                       "  0,    10, 9" + StepComment,
                                       "",
                                       "COMMANDNAME = \"Empty\"     // Command name",
                                       "",
                                       "",
                                       "ENDCOMMANDS"});
    EXPECT_NE(text.find(expected), std::string::npos) << text;
}

TEST(Writer10, Command_HashWithoutNumberThrows)
{
    TFixture f = BaseFixture();
    f.AddCommand("Bad").AddLine("#x", 0, 0);
    EXPECT_ANY_THROW(Format10(f));
}

// ---------------------------------------------------------------------------------------------
// Palettes

TEST(Writer10, Palette_ValueLines)
{
    TFixture f = BaseFixture();
    AddAttribute(f, "Dimmer", 1, ctIntensity, ctlHTP, 8, 1, 0, pathLinear, 0, 255, true, 1);
    AddAttribute(f, "Pan", 2, ctPanTilt, ctlLTP, 16, 2, 3, pathLinear, 0, 255, true, 2);
    TPalette &p = f.AddPalette("Values", ptIntensity);
    p.SetValue("DIMMER", 32896);
    p.SetValue("pan", 12);
    p.SetValue("Nowhere", 100);
    p.SetValue("#1", 100); // no attribute has this name
    const std::string expected = CrLf({"PALETTETYPE = IN         // Palette type (IN/PT/CO/GB/PR/BL/SP)",
                                       "PALETTENAME = \"Values\"", "\"DIMMER\" = 128", "\"pan\" = 12", "", "",
                                       "ENDPALETTES"});
    const std::string text = Format10(f);
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
}

struct TPaletteCase {
    const char *Label;
    uint8_t Type;
    int32_t Red, Green, Blue;
    std::string Bitmap;
    std::string Description;
    std::vector<std::string> Expected; // the lines from PALETTETYPE to the palette's empty line
};

void PrintTo(const TPaletteCase &c, std::ostream *os) { *os << c.Label; }

class Writer10Palette : public ::testing::TestWithParam<TPaletteCase> {};

TEST_P(Writer10Palette, Lines_AsThePaletteSays)
{
    const TPaletteCase &c = GetParam();
    TFixture f = BaseFixture();
    TPalette &p = f.AddPalette("P", c.Type);
    p.Red = c.Red;
    p.Green = c.Green;
    p.Blue = c.Blue;
    p.Bitmap = c.Bitmap;
    p.Description = c.Description;
    std::vector<std::string> lines = SplitLines(Format10(f));
    ASSERT_GE(lines.size(), c.Expected.size() + 2);
    lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(c.Expected.size() + 2));
    std::vector<std::string> expected = c.Expected;
    expected.push_back("");
    expected.push_back("ENDPALETTES");
    EXPECT_EQ(lines, expected);
}

const std::string Separator = "// " + std::string(77, '-');

INSTANTIATE_TEST_SUITE_P(
    Writer10, Writer10Palette,
    ::testing::Values(
        TPaletteCase{"ColourWritten", ptColour, 10, 20, 30, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"",
                      "//++PALETTECOLOR = 10, 20, 30", ""}},
        TPaletteCase{"ColourNotIconForColourType", ptColour, 0, 0, 0, "red.bmp", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"",
                      "//++PALETTECOLOR = 0, 0, 0", ""}},
        TPaletteCase{"NoColourWhenRedNegative", ptColour, -1, 5, 5, "red.bmp", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"OnlyRedDecides", ptColour, 7, -1, -1, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"",
                      "//++PALETTECOLOR = 7, -1, -1", ""}},
        TPaletteCase{"IconNotColourForGobo", ptGobo, 1, 2, 3, "Gobo\\g1.bmp", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = GB         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"",
                      "//++PALETTEBITMAP = Gobo\\g1.bmp", ""}},
        TPaletteCase{"NoIconWhenEmpty", ptBlade, 1, 2, 3, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = BL         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"DescriptionBeforeIcon", ptPrism, -1, -1, -1, "p.bmp", "Three facets",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = PR         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"",
                      "PALETTEDESC = \"Three facets\"", "//++PALETTEBITMAP = p.bmp", ""}},
        TPaletteCase{"DescriptionBeforeColour", ptColour, 1, 2, 3, "", "Warm",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = CO         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"",
                      "PALETTEDESC = \"Warm\"", "//++PALETTECOLOR = 1, 2, 3", ""}},
        TPaletteCase{"SpecialFunctionBanner", ptSpecial, -1, -1, -1, "", "",
                     {Separator, "// Special function palettes", Separator,
                      "PALETTETYPE = SP         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypeIntensity", ptIntensity, -1, -1, -1, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = IN         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypePanTilt", ptPanTilt, -1, -1, -1, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = PT         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypeNone", 0, -1, -1, -1, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = ??         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}},
        TPaletteCase{"TypeNotYetRead", 255, -1, -1, -1, "", "",
                     {Separator, "// General purpose palettes", Separator,
                      "PALETTETYPE = ??         // Palette type (IN/PT/CO/GB/PR/BL/SP)", "PALETTENAME = \"P\"", ""}}),
    [](const ::testing::TestParamInfo<TPaletteCase> &c) { return std::string(c.param.Label); });

TEST(Writer10, Palette_BannerAtEveryTypeChange)
{
    TFixture f = BaseFixture();
    f.AddPalette("A", ptGobo);
    f.AddPalette("B", ptGobo);
    f.AddPalette("C", ptColour);
    f.AddPalette("D", ptGobo);
    int banners = 0;
    std::string types;
    for (const std::string &line : SplitLines(Format10(f))) {
        if (line == "// General purpose palettes")
            ++banners;
        if (line.rfind("PALETTETYPE = ", 0) == 0)
            types += line.substr(14, 2) + " ";
    }
    EXPECT_EQ(banners, 3);
    EXPECT_EQ(types, "GB CO GB ");
}

// ---------------------------------------------------------------------------------------------
// Bytes

TEST(Writer10, Text_EveryLineEndsWithCrLf)
{
    const std::string text = Format10(CompleteFixture());
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

TEST(Writer10, Text_BytesAbove127Unchanged)
{
    TFixture f = BaseFixture();
    const std::string high = "Proiettore \xE8\xE9\xFC\xA0\xFF\x80";
    f.Name = high;
    f.Brand = high;
    f.Author = high;
    AddAttribute(f, "Gr\xFCn", 1, ctColour, ctlLTP, 8, 1, 0, pathLinear, 0, 255, true);
    f.AddCommand("S\xE9quence").AddLine("gr\xFCn", 257, 0);
    TPalette &p = f.AddPalette("Bl\xE9", ptGobo);
    p.Bitmap = "\xC9toile.bmp";
    p.Description = "\xA9 \xAE";
    p.SetValue("Gr\xFCn", 514);
    const std::string text = Format10(f);
    EXPECT_TRUE(HasLine(text, "Fixture = \"" + high + "\""));
    EXPECT_TRUE(HasLine(text, "//++Brand   = \"" + high + "\""));
    EXPECT_TRUE(HasLine(text, "Author = \"" + high + "\""));
    EXPECT_TRUE(HasLine(text, "\"Gr\xFCn\"              ,  1, CO, LTP,  8,  1, na,     LINEAR,     0,   255, LINEAR, 0"));
    EXPECT_TRUE(HasLine(text, "COMMANDNAME = \"S\xE9quence\"     // Command name"));
    EXPECT_TRUE(HasLine(text, "  1,     0, 1" + StepComment));
    EXPECT_TRUE(HasLine(text, "PALETTENAME = \"Bl\xE9\""));
    EXPECT_TRUE(HasLine(text, "PALETTEDESC = \"\xA9 \xAE\""));
    EXPECT_TRUE(HasLine(text, "//++PALETTEBITMAP = \xC9toile.bmp"));
    EXPECT_TRUE(HasLine(text, "\"Gr\xFCn\" = 2"));
}

TEST(Writer10, Text_DateLineFollowsTheFixture)
{
    // The writer takes the Date as it stands; setting it is left to saving.
    TFixture f = BaseFixture();
    f.Date = DateOf(2021, 2, 28);
    const std::string first = Format10(f);
    f.Date = DateOf(2022, 11, 3);
    std::string second = Format10(f);
    EXPECT_TRUE(HasLine(first, "Date = 28/02/2021"));
    EXPECT_TRUE(HasLine(second, "Date = 03/11/2022"));
    second.replace(second.find("03/11/2022"), 10, "28/02/2021");
    EXPECT_EQ(first, second);
}

TEST(Writer10, Text_WriteFormat10SameAsFormatFixture)
{
    std::ostringstream out;
    WriteFormat10(CompleteFixture(), out);
    EXPECT_EQ(out.str(), FormatFixture(CompleteFixture(), 1));
}

} // namespace
