// The sample fixtures shipped in data/Fixtures: each loads, passes both checks, is exactly what the
// writer emits for it, and shows what it was made to show.

#include "fxr/FixtureCheck.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "model/FixConsts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::ReadAll;

constexpr const char *Brand = "Rigsmith Demo";

fs::path FixturesDir()
{
    const char *data = std::getenv("RIGSMITH_DATA");
    return fs::path(data && *data ? data : "data") / "Fixtures";
}

std::vector<fs::path> SampleFiles()
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry &entry : fs::directory_iterator(FixturesDir(), error))
        if (entry.is_regular_file() && entry.path().extension() == ".fxr")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TFixture LoadSample(const std::string &name)
{
    const fs::path path = FixturesDir() / name;
    if (!fs::exists(path))
        throw std::runtime_error("missing sample " + path.string());
    return ReadFixtureFile(path.string());
}

int FormatOf(const TFixture &fixture)
{
    return fixture.FormatVersion == 1 ? 1 : 2;
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

std::set<int> PaletteTypes(const TFixture &fixture)
{
    std::set<int> types;
    for (const TPalette &palette : fixture.Palettes)
        types.insert(palette.PaletteType);
    return types;
}

const TParameter &Attribute(const TFixture &fixture, const std::string &name)
{
    const TParameter *attribute = fixture.ParameterByName(name);
    if (!attribute)
        throw std::runtime_error("no attribute " + name);
    return *attribute;
}

const TPalette &Palette(const TFixture &fixture, const std::string &name, uint8_t type)
{
    const TPalette *palette = fixture.FindPalette(name, type);
    if (!palette)
        throw std::runtime_error("no palette " + name + " of type " + std::to_string(type));
    return *palette;
}

const TCommand &Command(const TFixture &fixture, const std::string &name)
{
    const TCommand *command = fixture.Commands.Find(name);
    if (!command)
        throw std::runtime_error("no command " + name);
    return *command;
}

int32_t ValueOf(const TPalette &palette, const std::string &channel)
{
    const TPaletteLine *line = palette.Lines.Find(channel);
    if (!line)
        throw std::runtime_error("palette " + palette.Name + " has no value for " + channel);
    return line->Value;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Every file in the folder

TEST(Samples, FolderHoldsAtLeastFiveFixtures)
{
    EXPECT_GE(SampleFiles().size(), 5u) << "in " << FixturesDir();
}

TEST(Samples, EveryFixtureLoadsWithoutError)
{
    for (const fs::path &file : SampleFiles()) {
        SCOPED_TRACE(file.filename().string());
        EXPECT_NO_THROW(ReadFixtureFile(file.string()));
    }
}

TEST(Samples, EveryFixturePassesBothChecks)
{
    for (const fs::path &file : SampleFiles()) {
        SCOPED_TRACE(file.filename().string());
        const TFixture fixture = ReadFixtureFile(file.string());
        EXPECT_EQ(PatchFindings(fixture), std::vector<std::string>{});
        EXPECT_EQ(BaseDataFindings(fixture), std::vector<std::string>{});
    }
}

TEST(Samples, EveryFixtureIsExactlyWhatTheWriterEmits)
{
    for (const fs::path &file : SampleFiles()) {
        SCOPED_TRACE(file.filename().string());
        const TFixture fixture = ReadFixtureFile(file.string());
        // The fixture keeps the Date it was read with, so the Date line comes out as it went in.
        EXPECT_EQ(FormatFixture(fixture, FormatOf(fixture)), ReadAll(file.string()));
    }
}

TEST(Samples, EveryFixtureHasNameBrandAndAuthor)
{
    for (const fs::path &file : SampleFiles()) {
        SCOPED_TRACE(file.filename().string());
        const TFixture fixture = ReadFixtureFile(file.string());
        EXPECT_FALSE(fixture.Name.empty());
        EXPECT_EQ(fixture.Brand, Brand);
        EXPECT_FALSE(fixture.Author.empty());
        EXPECT_NE(fixture.Date, 0.0);
        EXPECT_EQ(static_cast<int64_t>(fixture.Attributes.Count()), fixture.DmxChannels);
    }
}

TEST(Samples, EveryStepAndPaletteValueNamesAnAttribute)
{
    // A value whose channel matches no attribute would be dropped on the next save.
    for (const fs::path &file : SampleFiles()) {
        SCOPED_TRACE(file.filename().string());
        const TFixture fixture = ReadFixtureFile(file.string());
        for (const TCommand &command : fixture.Commands) {
            EXPECT_FALSE(command.Lines.empty()) << command.Name;
            for (const TCommandLine &step : command.Lines)
                EXPECT_NE(fixture.ParameterByName(step.ChannelName), nullptr)
                    << command.Name << ": " << step.ChannelName;
        }
        for (const TPalette &palette : fixture.Palettes) {
            EXPECT_GE(palette.PaletteType, ptIntensity) << palette.Name;
            EXPECT_LE(palette.PaletteType, ptSpecial) << palette.Name;
            EXPECT_FALSE(palette.Lines.Empty()) << palette.Name;
            for (const TPaletteLine &value : palette.Lines)
                EXPECT_NE(fixture.ParameterByName(value.ChannelName), nullptr)
                    << palette.Name << ": " << value.ChannelName;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// What each sample was made to show

TEST(Samples, DimmerIsOneChannelInFormat2)
{
    const TFixture f = LoadSample("demo-dimmer.fxr");
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.FixtureType, ftDimmer);
    EXPECT_EQ(f.DmxChannels, 1);
    ASSERT_EQ(f.Attributes.Count(), 1u);
    const TParameter &dimmer = f.Attributes[0];
    EXPECT_EQ(dimmer.Name, "Dimmer");
    EXPECT_EQ(dimmer.ChannelType, ctIntensity);
    EXPECT_EQ(dimmer.ControlType, ctlHTP);
    EXPECT_EQ(dimmer.Width, 8);
    EXPECT_EQ(dimmer.InternalPatch, 1);
    EXPECT_EQ(dimmer.InternalPatchLow, 0);
    EXPECT_EQ(dimmer.Path, pathLinear);
    EXPECT_EQ(dimmer.DmxMin, 0);
    EXPECT_EQ(dimmer.DmxMax, 255);
    EXPECT_TRUE(dimmer.Inherit);
    EXPECT_TRUE(dimmer.ShowOnEditor);
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
    // Format 1.0 carries neither revision nor comments.
    EXPECT_EQ(f.Revision, "");
    EXPECT_EQ(f.Comments, "");

    for (const TParameter *attribute : Visible(f)) {
        SCOPED_TRACE(attribute->Name);
        EXPECT_EQ(attribute->Width, 8);
        EXPECT_EQ(attribute->InternalPatchLow, 0);
        EXPECT_FALSE(attribute->Inherit);
    }
    EXPECT_EQ(Attribute(f, "Pan").ChannelType, ctPanTilt);
    EXPECT_EQ(Attribute(f, "Pan").InternalPatch, 1);
    EXPECT_EQ(Attribute(f, "Tilt").ChannelType, ctPanTilt);
    EXPECT_EQ(Attribute(f, "Tilt").InternalPatch, 2);
    EXPECT_EQ(Attribute(f, "Color").ChannelType, ctColour);
    EXPECT_EQ(Attribute(f, "Gobo").ChannelType, ctGobo);
    EXPECT_EQ(Attribute(f, "Dimmer").ControlType, ctlHTP);

    // The lamp channel is hidden and driven only by the commands.
    const TParameter &control = Attribute(f, "Control");
    EXPECT_FALSE(control.ShowOnEditor);
    EXPECT_EQ(control.InternalPatch, 6);
    EXPECT_EQ(control.Path, pathSnapStart);
    for (const TParameter *attribute : Visible(f))
        EXPECT_EQ(attribute->ShowOnEditor, attribute->Name != "Control") << attribute->Name;

    ASSERT_EQ(f.Commands.Count(), 3u);
    EXPECT_EQ(f.Commands[0].Name, "Lamp on");
    EXPECT_EQ(f.Commands[1].Name, "Lamp off");
    EXPECT_EQ(f.Commands[2].Name, "Reset");
    for (const TCommand &command : f.Commands)
        for (const TCommandLine &step : command.Lines)
            EXPECT_EQ(step.ChannelName, "Control") << command.Name;
    const TCommand &lampOn = Command(f, "Lamp on");
    ASSERT_EQ(lampOn.Lines.size(), 2u);
    EXPECT_EQ(lampOn.Lines[0].Value, 230 * 257);
    EXPECT_EQ(lampOn.Lines[0].Time, 5000);
    EXPECT_EQ(lampOn.Lines[1].Value, 0);

    EXPECT_EQ(PaletteTypes(f), (std::set<int>{ptIntensity, ptPanTilt, ptColour, ptGobo}));
    const TPalette &red = Palette(f, "Red", ptColour);
    EXPECT_EQ(red.Red, 230);
    EXPECT_EQ(red.Green, 20);
    EXPECT_EQ(red.Blue, 30);
    EXPECT_EQ(ValueOf(red, "Color"), 32 * 257);
    for (const TPalette &palette : f.Palettes) {
        if (palette.PaletteType == ptColour) {
            EXPECT_GE(palette.Red, 0) << palette.Name;
        }
        if (palette.PaletteType == ptGobo) {
            EXPECT_FALSE(palette.Bitmap.empty()) << palette.Name;
        }
    }
    EXPECT_EQ(Palette(f, "Dots", ptGobo).Bitmap, "Dots");
    const TPalette &center = Palette(f, "Center", ptPanTilt);
    EXPECT_EQ(ValueOf(center, "Pan"), 128 * 257);
    EXPECT_EQ(ValueOf(center, "Tilt"), 128 * 257);
}

TEST(Samples, MovingHeadHasSixteenBitPanAndTiltWithLowPartEntries)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.FixtureType, ftMovingHead);
    EXPECT_EQ(f.DmxChannels, 14);
    EXPECT_EQ(f.PanAngleMin, 0);
    EXPECT_EQ(f.PanAngleMax, 540);
    EXPECT_EQ(f.TiltAngleMin, -135);
    EXPECT_EQ(f.TiltAngleMax, 135);

    for (const auto &[name, patch] : {std::pair<std::string, int>{"Pan", 1}, {"Tilt", 3}}) {
        SCOPED_TRACE(name);
        const TParameter &attribute = Attribute(f, name);
        EXPECT_EQ(attribute.Width, 16);
        EXPECT_EQ(attribute.ChannelType, ctPanTilt);
        EXPECT_EQ(attribute.InternalPatch, patch);
        EXPECT_EQ(attribute.InternalPatchLow, patch + 1);
        EXPECT_EQ(attribute.DmxMin, 0);
        EXPECT_EQ(attribute.DmxMax, 255);
        // The low byte's channel holds a copy flagged as the low part.
        const int low = f.Attributes.IndexOfKey("0" + std::to_string(patch + 1));
        ASSERT_GE(low, 0);
        const TParameter &lowPart = f.Attributes[static_cast<std::size_t>(low)];
        EXPECT_TRUE(lowPart.IsLowPart);
        EXPECT_EQ(lowPart.Name, name);
        EXPECT_EQ(lowPart.InternalPatch, patch);
    }
    EXPECT_EQ(Visible(f).size(), 12u);
    EXPECT_EQ(f.Attributes.Count(), 14u);
}

TEST(Samples, MovingHeadHasEveryKindOfChannel)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    std::set<int> channelTypes;
    for (const TParameter *attribute : Visible(f))
        channelTypes.insert(attribute->ChannelType);
    EXPECT_EQ(channelTypes, (std::set<int>{ctIntensity, ctPanTilt, ctColour, ctGobo, ctPrism, ctBlade}));
    EXPECT_EQ(Attribute(f, "Dimmer").ControlType, ctlHTP);
    EXPECT_EQ(Attribute(f, "Shutter").ChannelType, ctIntensity);
    EXPECT_EQ(Attribute(f, "Color").ChannelType, ctColour);
    EXPECT_EQ(Attribute(f, "Gobo").ChannelType, ctGobo);
    EXPECT_EQ(Attribute(f, "Gobo rot").ChannelType, ctGobo);
    EXPECT_EQ(Attribute(f, "Prism").ChannelType, ctPrism);
    EXPECT_EQ(Attribute(f, "Iris").ChannelType, ctBlade);
    EXPECT_EQ(Attribute(f, "Frost").ChannelType, ctBlade);
    EXPECT_FALSE(Attribute(f, "Shutter").Inherit);
    EXPECT_TRUE(Attribute(f, "Iris").Inherit);

    const TParameter &control = Attribute(f, "Control");
    EXPECT_FALSE(control.ShowOnEditor);
    EXPECT_EQ(control.InternalPatch, 14);
    for (const TParameter *attribute : Visible(f))
        EXPECT_EQ(attribute->ShowOnEditor, attribute->Name != "Control") << attribute->Name;
}

TEST(Samples, MovingHeadHasCommandsOnTheHiddenChannelAndSixteenBitSteps)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    ASSERT_GE(f.Commands.Count(), 3u);
    for (const std::string name : {"Lamp on", "Lamp off", "Reset"}) {
        const TCommand &command = Command(f, name);
        ASSERT_FALSE(command.Lines.empty()) << name;
        EXPECT_EQ(command.Lines[0].ChannelName, "Control") << name;
    }
    EXPECT_EQ(Command(f, "Lamp on").Lines[0].Value, 230 * 257);
    EXPECT_EQ(Command(f, "Lamp on").Lines[0].Time, 5000);
    // Steps on 16-bit channels are kept on the 16-bit scale as written.
    const TCommand &home = Command(f, "Home");
    ASSERT_EQ(home.Lines.size(), 3u);
    EXPECT_EQ(home.Lines[0].ChannelName, "Pan");
    EXPECT_EQ(home.Lines[0].Value, 32768);
    EXPECT_EQ(home.Lines[1].ChannelName, "Tilt");
    EXPECT_EQ(home.Lines[1].Value, 32768);
    EXPECT_EQ(home.Lines[2].ChannelName, "Dimmer");
    EXPECT_EQ(home.Lines[2].Value, 0);
}

TEST(Samples, MovingHeadHasPalettesOfAllSevenTypes)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    EXPECT_EQ(PaletteTypes(f), (std::set<int>{ptIntensity, ptPanTilt, ptColour, ptGobo, ptPrism, ptBlade, ptSpecial}));

    EXPECT_EQ(ValueOf(Palette(f, "Full", ptIntensity), "Dimmer"), 255 * 257);
    const TPalette &home = Palette(f, "Home", ptPanTilt);
    EXPECT_EQ(ValueOf(home, "Pan"), 32768);
    EXPECT_EQ(ValueOf(home, "Tilt"), 32768);

    const TPalette &red = Palette(f, "Deep red", ptColour);
    EXPECT_EQ(red.Red, 200);
    EXPECT_EQ(red.Green, 0);
    EXPECT_EQ(red.Blue, 20);
    EXPECT_EQ(red.Description, "Slot 1");
    for (const TPalette &palette : f.Palettes) {
        if (palette.PaletteType == ptColour) {
            EXPECT_GE(palette.Red, 0) << palette.Name;
            EXPECT_GE(palette.Green, 0) << palette.Name;
            EXPECT_GE(palette.Blue, 0) << palette.Name;
        }
        if (palette.PaletteType == ptGobo) {
            EXPECT_FALSE(palette.Bitmap.empty()) << palette.Name; // one of the shipped icons
        }
    }

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

TEST(Samples, MovingHeadHasRevisionAndMultiLineComments)
{
    const TFixture f = LoadSample("demo-spot.fxr");
    EXPECT_EQ(f.Revision, "2.1");
    EXPECT_EQ(f.Comments, "Demo spot with a 700 W discharge lamp, 14-channel mode.\r\n"
                          "Pan 540\xB0, tilt 270\xB0, both 16 bit; the fine channels follow their coarse ones.\r\n"
                          "Strike the lamp with the Lamp on command and wait about a minute\r\n"
                          "before the first cue.");
}

TEST(Samples, WashHasSeveralHiddenAttributesSetByCommands)
{
    const TFixture f = LoadSample("demo-wash.fxr");
    EXPECT_EQ(f.FormatVersion, 2);
    EXPECT_EQ(f.FixtureType, ftOther);
    EXPECT_EQ(f.DmxChannels, 10);

    std::set<std::string> hidden;
    for (const TParameter *attribute : Visible(f))
        if (!attribute->ShowOnEditor)
            hidden.insert(attribute->Name);
    EXPECT_EQ(hidden, (std::set<std::string>{"Mode", "Curve", "Control"}));
    for (const std::string name : {"Mode", "Curve", "Control"}) {
        EXPECT_FALSE(Attribute(f, name).Inherit) << name;
        EXPECT_EQ(Attribute(f, name).Path, pathSnapStart) << name;
    }

    // Every command drives hidden channels only, and each hidden channel has a command.
    std::set<std::string> driven;
    for (const TCommand &command : f.Commands)
        for (const TCommandLine &step : command.Lines) {
            EXPECT_TRUE(hidden.count(step.ChannelName)) << command.Name << ": " << step.ChannelName;
            driven.insert(step.ChannelName);
        }
    EXPECT_EQ(driven, hidden);
    EXPECT_EQ(Command(f, "Colour macros").Lines[0].Value, 128 * 257);
    EXPECT_EQ(Command(f, "Reset").Lines[0].Time, 3000);

    const TPalette &warm = Palette(f, "Warm white", ptColour);
    EXPECT_EQ(warm.Red, 255);
    EXPECT_EQ(warm.Green, 214);
    EXPECT_EQ(warm.Blue, 170);
    EXPECT_EQ(ValueOf(warm, "Green"), 140 * 257);
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
    const TParameter &dimmer = Attribute(f, "Dimmer");
    EXPECT_EQ(dimmer.Width, 16);
    EXPECT_EQ(dimmer.InternalPatch, 1);
    EXPECT_EQ(dimmer.InternalPatchLow, 2);
    EXPECT_EQ(dimmer.DmxMax, 255);
    ASSERT_GE(f.Attributes.IndexOfKey("02"), 0);
    EXPECT_TRUE(f.Attributes[static_cast<std::size_t>(f.Attributes.IndexOfKey("02"))].IsLowPart);
    for (const std::string name : {"Red", "Green", "Blue", "White"}) {
        EXPECT_EQ(Attribute(f, name).ChannelType, ctColour) << name;
        EXPECT_EQ(Attribute(f, name).Width, 8) << name;
    }
    EXPECT_TRUE(f.Commands.Empty());

    // Values of the 16-bit dimmer are on the 16-bit scale as written; the others are 257-fold.
    const TPalette &half = Palette(f, "Half", ptIntensity);
    EXPECT_EQ(ValueOf(half, "Dimmer"), 32768);
    EXPECT_EQ(ValueOf(half, "Shutter"), 255 * 257);
    EXPECT_EQ(ValueOf(Palette(f, "Full", ptIntensity), "Dimmer"), 65535);
    const TPalette &lavender = Palette(f, "Lavender", ptColour);
    EXPECT_EQ(lavender.Red, 180);
    EXPECT_EQ(lavender.Green, 140);
    EXPECT_EQ(lavender.Blue, 255);
    EXPECT_EQ(ValueOf(lavender, "White"), 80 * 257);
    EXPECT_EQ(PaletteTypes(f), (std::set<int>{ptIntensity, ptColour, ptSpecial}));
}
