// The sample fixtures shipped in data/Fixtures: each loads, passes both checks, is exactly what the
// writer emits for it, and shows what it was made to show.

#include "fxr/FixtureCheck.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "model/FixConsts.h"
#include "support/FixtureBuilder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::Describe;

fs::path FixturesDir()
{
    const char *data = std::getenv("RIGSMITH_DATA");
    return fs::path(data && *data ? data : "data") / "Fixtures";
}

TFixture LoadSample(const std::string &name)
{
    return ReadFixtureFile((FixturesDir() / name).string());
}

// The attribute entries the user sees: low-part entries left out.
std::vector<const TParameter *> Visible(const TFixture &fixture)
{
    std::vector<const TParameter *> attributes;
    for (std::size_t i = 0; i < fixture.Attributes.Count(); ++i)
        if (!fixture.Attributes[i].IsLowPart)
            attributes.push_back(&fixture.Attributes[i]);
    return attributes;
}

std::set<std::string> Hidden(const TFixture &fixture)
{
    std::set<std::string> hidden;
    for (const TParameter *attribute : Visible(fixture))
        if (!attribute->ShowOnEditor)
            hidden.insert(attribute->Name);
    return hidden;
}

std::set<int> PaletteTypes(const TFixture &fixture)
{
    std::set<int> types;
    for (const TPalette &palette : fixture.Palettes)
        types.insert(palette.PaletteType);
    return types;
}

std::string Attribute(const TFixture &fixture, const std::string &name)
{
    const TParameter *attribute = fixture.ParameterByName(name);
    return attribute ? Describe(*attribute) : "no attribute " + name;
}

const TPalette &Palette(const TFixture &fixture, const std::string &name, uint8_t type)
{
    if (const TPalette *palette = fixture.FindPalette(name, type))
        return *palette;
    throw std::runtime_error("no palette " + name + " of type " + std::to_string(type));
}

std::string Colour(const TPalette &p)
{
    return std::to_string(p.Red) + "," + std::to_string(p.Green) + "," + std::to_string(p.Blue);
}

int32_t ValueOf(const TPalette &palette, const std::string &channel)
{
    const TPaletteLine *line = palette.Lines.Find(channel);
    return line ? line->Value : -1;
}

// Colour palettes have their colour, gobo palettes one of the shipped icons.
void ExpectColoursAndIcons(const TFixture &fixture)
{
    for (const TPalette &palette : fixture.Palettes) {
        if (palette.PaletteType == ptColour) {
            EXPECT_TRUE(palette.Red >= 0 && palette.Green >= 0 && palette.Blue >= 0) << palette.Name;
        }
        if (palette.PaletteType == ptGobo) {
            EXPECT_FALSE(palette.Bitmap.empty()) << palette.Name;
        }
    }
}

// The steps of a command as "channel value time", one after the other.
std::string Steps(const TFixture &fixture, const std::string &name)
{
    const TCommand *command = fixture.Commands.Find(name);
    if (!command)
        return "no command " + name;
    std::string steps;
    for (const TCommandLine &step : command->Lines)
        steps += step.ChannelName + " " + std::to_string(step.Value) + " " + std::to_string(step.Time) + "; ";
    return steps;
}

} // namespace

TEST(Samples, EveryFixtureLoadsPassesTheChecksAndIsWhatTheWriterEmits)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(FixturesDir()))
        if (entry.is_regular_file() && entry.path().extension() == ".fxr")
            files.push_back(entry.path());
    EXPECT_GE(files.size(), 5u) << "in " << FixturesDir();
    for (const fs::path &file : files) {
        SCOPED_TRACE(file.filename().string());
        TFixture f;
        try {
            f = ReadFixtureFile(file.string());
        } catch (const std::exception &error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        EXPECT_EQ(PatchFindings(f), std::vector<std::string>{});
        EXPECT_EQ(BaseDataFindings(f), std::vector<std::string>{});
        // The fixture keeps the Date it was read with, so the Date line comes out as it went in.
        EXPECT_EQ(FormatFixture(f, f.FormatVersion == 1 ? 1 : 2), testing_support::ReadAll(file.string()));
        EXPECT_FALSE(f.Name.empty());
        EXPECT_EQ(f.Brand, "Rigsmith Demo");
        EXPECT_FALSE(f.Author.empty());
        EXPECT_NE(f.Date, 0.0);
        EXPECT_EQ(static_cast<int64_t>(f.Attributes.Count()), f.DmxChannels);
        // A value whose channel matches no attribute would be dropped on the next save.
        for (const TCommand &command : f.Commands) {
            EXPECT_FALSE(command.Lines.empty()) << command.Name;
            for (const TCommandLine &step : command.Lines)
                EXPECT_NE(f.ParameterByName(step.ChannelName), nullptr) << command.Name << ": " << step.ChannelName;
        }
        for (const TPalette &palette : f.Palettes) {
            EXPECT_GE(palette.PaletteType, ptIntensity) << palette.Name;
            EXPECT_LE(palette.PaletteType, ptSpecial) << palette.Name;
            EXPECT_FALSE(palette.Lines.Empty()) << palette.Name;
            for (const TPaletteLine &value : palette.Lines)
                EXPECT_NE(f.ParameterByName(value.ChannelName), nullptr) << palette.Name << ": " << value.ChannelName;
        }
    }
}

TEST(Samples, DimmerIsOneChannelInFormat2)
{
    const TFixture f = LoadSample("demo-dimmer.fxr");
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.FixtureType, ftDimmer);
    ASSERT_EQ(f.Attributes.Count(), 1u);
    EXPECT_EQ(Describe(f.Attributes[0]), "Dimmer 1 IN HTP 8 1/0 LINEAR 0-255 inherit");
    EXPECT_TRUE(f.Commands.Empty());
    EXPECT_EQ(PaletteTypes(f), std::set<int>{ptIntensity});
    EXPECT_EQ(ValueOf(Palette(f, "Full", ptIntensity), "Dimmer"), 255 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Half", ptIntensity), "Dimmer"), 127 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Off", ptIntensity), "Dimmer"), 0);
    EXPECT_EQ(Palette(f, "Full", ptIntensity).Description, "Channel at full");
}

TEST(Samples, ScannerIsAnEightBitMirrorInFormat10)
{
    const TFixture f = LoadSample("demo-scanner.fxr");
    EXPECT_EQ(f.FormatVersion, 1);
    EXPECT_EQ(f.FixtureType, ftMovingMirror);
    EXPECT_EQ(f.DmxChannels, 6);
    EXPECT_EQ(f.PanAngleMax, 170);
    EXPECT_EQ(f.TiltAngleMax, 90);
    EXPECT_EQ(f.Revision + f.Comments, ""); // format 1.0 carries neither
    for (const TParameter *attribute : Visible(f)) {
        EXPECT_EQ(attribute->Width, 8) << attribute->Name;
        EXPECT_FALSE(attribute->Inherit) << attribute->Name;
    }
    EXPECT_EQ(Attribute(f, "Pan"), "Pan 2 PT LTP 8 1/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "Tilt"), "Tilt 2 PT LTP 8 2/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "Color"), "Color 3 CO LTP 8 3/0 SNAP_START 0-255");
    EXPECT_EQ(Attribute(f, "Gobo"), "Gobo 3 GB LTP 8 4/0 SNAP_START 0-255");
    EXPECT_EQ(Attribute(f, "Dimmer"), "Dimmer 1 IN HTP 8 5/0 LINEAR 0-255");
    // The lamp channel is hidden and driven only by the commands.
    EXPECT_EQ(Attribute(f, "Control"), "Control 5 IN LTP 8 6/0 SNAP_START 0-255 hidden");
    EXPECT_EQ(Hidden(f), std::set<std::string>{"Control"});
    ASSERT_EQ(f.Commands.Count(), 3u);
    EXPECT_EQ(f.Commands[0].Name, "Lamp on");
    EXPECT_EQ(f.Commands[1].Name, "Lamp off");
    EXPECT_EQ(f.Commands[2].Name, "Reset");
    for (const TCommand &command : f.Commands)
        for (const TCommandLine &step : command.Lines)
            EXPECT_EQ(step.ChannelName, "Control") << command.Name;
    EXPECT_EQ(Steps(f, "Lamp on"), "Control " + std::to_string(230 * 257) + " 5000; Control 0 0; ");

    EXPECT_EQ(PaletteTypes(f), (std::set<int>{ptIntensity, ptPanTilt, ptColour, ptGobo}));
    ExpectColoursAndIcons(f);
    EXPECT_EQ(Colour(Palette(f, "Red", ptColour)), "230,20,30");
    EXPECT_EQ(ValueOf(Palette(f, "Red", ptColour), "Color"), 32 * 257);
    EXPECT_EQ(Palette(f, "Dots", ptGobo).Bitmap, "Dots");
    EXPECT_EQ(ValueOf(Palette(f, "Center", ptPanTilt), "Pan"), 128 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Center", ptPanTilt), "Tilt"), 128 * 257);
}

TEST(Samples, SpotIsASixteenBitMovingHeadWithEveryKindOfChannel)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.FixtureType, ftMovingHead);
    EXPECT_EQ(f.DmxChannels, 14);
    EXPECT_EQ(std::vector({f.PanAngleMin, f.PanAngleMax, f.TiltAngleMin, f.TiltAngleMax}),
              std::vector({0, 540, -135, 135}));
    EXPECT_EQ(f.Revision, "2.1");
    EXPECT_EQ(f.Comments, "Demo spot with a 700 W discharge lamp, 14-channel mode.\r\n"
                          "Pan 540\xB0, tilt 270\xB0, both 16 bit; the fine channels follow their coarse ones.\r\n"
                          "Strike the lamp with the Lamp on command and wait about a minute\r\n"
                          "before the first cue.");

    // The low byte's channel holds a copy of its attribute flagged as the low part.
    EXPECT_EQ(Attribute(f, "Pan"), "Pan 2 PT LTP 16 1/2 LINEAR 0-255 inherit");
    EXPECT_EQ(Describe(f.Attributes[static_cast<std::size_t>(f.Attributes.IndexOfKey("02"))]),
              "Pan 2 PT LTP 16 1/2 LINEAR 0-255 inherit low part");
    EXPECT_EQ(Attribute(f, "Tilt"), "Tilt 2 PT LTP 16 3/4 LINEAR 0-255 inherit");
    EXPECT_EQ(Describe(f.Attributes[static_cast<std::size_t>(f.Attributes.IndexOfKey("04"))]),
              "Tilt 2 PT LTP 16 3/4 LINEAR 0-255 inherit low part");
    EXPECT_EQ(Visible(f).size(), 12u);
    std::set<int> channelTypes;
    for (const TParameter *attribute : Visible(f))
        channelTypes.insert(attribute->ChannelType);
    EXPECT_EQ(channelTypes, (std::set<int>{ctIntensity, ctPanTilt, ctColour, ctGobo, ctPrism, ctBlade}));
    EXPECT_EQ(Attribute(f, "Dimmer"), "Dimmer 1 IN HTP 8 5/0 LINEAR 0-255 inherit");
    EXPECT_EQ(Attribute(f, "Shutter"), "Shutter 1 IN LTP 8 6/0 SNAP_START 0-255");
    EXPECT_EQ(Attribute(f, "Color"), "Color 3 CO LTP 8 7/0 SNAP_START 0-255 inherit");
    EXPECT_EQ(Attribute(f, "Gobo"), "Gobo 3 GB LTP 8 8/0 SNAP_START 0-255 inherit");
    EXPECT_EQ(Attribute(f, "Gobo rot"), "Gobo rot 3 GB LTP 8 9/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "Prism"), "Prism 4 PR LTP 8 10/0 SNAP_START 0-255");
    EXPECT_EQ(Attribute(f, "Iris"), "Iris 4 BL LTP 8 12/0 LINEAR 0-255 inherit");
    EXPECT_EQ(Attribute(f, "Frost"), "Frost 4 BL LTP 8 13/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "Control"), "Control 5 IN LTP 8 14/0 SNAP_START 0-255 hidden");
    EXPECT_EQ(Hidden(f), std::set<std::string>{"Control"});
}

TEST(Samples, SpotHasCommandsOnTheHiddenChannelAndPalettesOfAllSevenTypes)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    for (const std::string name : {"Lamp on", "Lamp off", "Reset"})
        EXPECT_EQ(Steps(f, name).substr(0, 8), "Control ") << name;
    EXPECT_EQ(Steps(f, "Lamp on").substr(0, 19), "Control " + std::to_string(230 * 257) + " 5000;");
    // Steps on 16-bit channels are kept on the 16-bit scale as written.
    EXPECT_EQ(Steps(f, "Home"), "Pan 32768 0; Tilt 32768 0; Dimmer 0 0; ");

    EXPECT_EQ(PaletteTypes(f), (std::set<int>{ptIntensity, ptPanTilt, ptColour, ptGobo, ptPrism, ptBlade, ptSpecial}));
    EXPECT_EQ(ValueOf(Palette(f, "Full", ptIntensity), "Dimmer"), 255 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Home", ptPanTilt), "Pan"), 32768);
    EXPECT_EQ(ValueOf(Palette(f, "Home", ptPanTilt), "Tilt"), 32768);
    ExpectColoursAndIcons(f);
    EXPECT_EQ(Colour(Palette(f, "Deep red", ptColour)), "200,0,20");
    EXPECT_EQ(Palette(f, "Deep red", ptColour).Description, "Slot 1");
    // "Open" exists as a colour and as a gobo: same name, different types.
    EXPECT_EQ(Palette(f, "Open", ptColour).Bitmap, "");
    EXPECT_EQ(Palette(f, "Open", ptGobo).Bitmap, "Open");
    const TPalette &breakup = Palette(f, "Breakup", ptGobo);
    EXPECT_EQ(breakup.Bitmap, "Breakup");
    EXPECT_EQ(breakup.Description, "Leaf breakup, slow spin");
    EXPECT_EQ(ValueOf(breakup, "Gobo rot"), 150 * 257);
    EXPECT_EQ(breakup.Red, -1);
    EXPECT_EQ(Palette(f, "Prism 3", ptPrism).Bitmap, "Prism 3");
    EXPECT_EQ(ValueOf(Palette(f, "Iris tight", ptBlade), "Iris"), 220 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Strobe", ptSpecial), "Shutter"), 160 * 257);
    int described = 0;
    for (const TPalette &palette : f.Palettes)
        described += palette.Description.empty() ? 0 : 1;
    EXPECT_GE(described, 5);
}

TEST(Samples, WashHasSeveralHiddenAttributesSetByCommands)
{
    const TFixture f = LoadSample("demo-wash.fxr");
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.FixtureType, ftOther);
    EXPECT_EQ(f.DmxChannels, 10);
    const std::set<std::string> hidden = Hidden(f);
    EXPECT_EQ(hidden, (std::set<std::string>{"Mode", "Curve", "Control"}));
    EXPECT_EQ(Attribute(f, "Mode"), "Mode 5 IN LTP 8 8/0 SNAP_START 0-255 hidden");
    EXPECT_EQ(Attribute(f, "Curve"), "Curve 5 IN LTP 8 9/0 SNAP_START 0-255 hidden");
    EXPECT_EQ(Attribute(f, "Control"), "Control 5 IN LTP 8 10/0 SNAP_START 0-255 hidden");

    // Every command drives hidden channels only, and each hidden channel has a command.
    std::set<std::string> driven;
    for (const TCommand &command : f.Commands)
        for (const TCommandLine &step : command.Lines) {
            EXPECT_TRUE(hidden.count(step.ChannelName)) << command.Name << ": " << step.ChannelName;
            driven.insert(step.ChannelName);
        }
    EXPECT_EQ(driven, hidden);
    EXPECT_EQ(f.Commands.Find("Colour macros")->Lines[0].Value, 128 * 257);
    EXPECT_EQ(f.Commands.Find("Reset")->Lines[0].Time, 3000);

    EXPECT_EQ(Colour(Palette(f, "Warm white", ptColour)), "255,214,170");
    EXPECT_EQ(ValueOf(Palette(f, "Warm white", ptColour), "Green"), 140 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Flood", ptBlade), "Zoom"), 255 * 257);
    // Hidden channels take no part in palettes.
    for (const TPalette &palette : f.Palettes)
        for (const TPaletteLine &value : palette.Lines)
            EXPECT_FALSE(hidden.count(value.ChannelName)) << palette.Name;
}

TEST(Samples, ParHasSixteenBitDimmerInFormat10)
{
    const TFixture f = LoadSample("demo-par.fxr");
    EXPECT_EQ(f.FormatVersion, 1);
    EXPECT_EQ(f.DmxChannels, 7);
    EXPECT_EQ(Attribute(f, "Dimmer"), "Dimmer 1 IN HTP 16 1/2 LINEAR 0-255");
    ASSERT_GE(f.Attributes.IndexOfKey("02"), 0);
    EXPECT_TRUE(f.Attributes[static_cast<std::size_t>(f.Attributes.IndexOfKey("02"))].IsLowPart);
    EXPECT_EQ(Attribute(f, "Red"), "Red 3 CO LTP 8 3/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "Green"), "Green 3 CO LTP 8 4/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "Blue"), "Blue 3 CO LTP 8 5/0 LINEAR 0-255");
    EXPECT_EQ(Attribute(f, "White"), "White 3 CO LTP 8 6/0 LINEAR 0-255");
    EXPECT_TRUE(f.Commands.Empty());

    // Values of the 16-bit dimmer are on the 16-bit scale as written; the others are 257-fold.
    EXPECT_EQ(ValueOf(Palette(f, "Half", ptIntensity), "Dimmer"), 32768);
    EXPECT_EQ(ValueOf(Palette(f, "Half", ptIntensity), "Shutter"), 255 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Full", ptIntensity), "Dimmer"), 65535);
    EXPECT_EQ(Colour(Palette(f, "Lavender", ptColour)), "180,140,255");
    EXPECT_EQ(ValueOf(Palette(f, "Lavender", ptColour), "White"), 80 * 257);
    EXPECT_EQ(PaletteTypes(f), (std::set<int>{ptIntensity, ptColour, ptSpecial}));
}
