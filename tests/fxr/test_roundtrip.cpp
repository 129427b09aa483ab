// Fixtures written and read back again, in both formats.

#include "fxr/FixtureJson.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "model/FixClasses.h"
#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "support/FixtureBuilder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testing_support::AddAttribute;
using testing_support::DateOf;
using testing_support::FromText;

// ---------------------------------------------------------------------------------------------
// Comparing two fixtures field by field

// A text between double quotes, bytes outside printable ASCII and the quote itself in hex.
std::string Quoted(const std::string &text)
{
    std::ostringstream out;
    out << '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte >= 127 || c == '"' || c == '\\')
            out << "\\x" << std::hex << std::setw(2) << std::setfill('0') << int(byte) << std::dec;
        else
            out << c;
    }
    out << '"';
    return out.str();
}

// Every field a file carries, a line for the header and one for each entry: two fixtures agree when
// their dumps do, and the lines where the dumps part show where the fixtures do.
std::string Dump(const TFixture &f)
{
    std::ostringstream out;
    out << std::setprecision(17) << "format " << f.FormatVersion << " author " << Quoted(f.Author) << " revision "
        << Quoted(f.Revision) << " date " << f.Date << " comments " << Quoted(f.Comments) << " name " << Quoted(f.Name)
        << " brand " << Quoted(f.Brand) << " type " << +f.FixtureType << " pan " << f.PanAngleMin << " "
        << f.PanAngleMax << " tilt " << f.TiltAngleMin << " " << f.TiltAngleMax << " channels " << f.DmxChannels
        << " split " << f.DmxSplitChannels << "\n";
    for (std::size_t i = 0; i < f.Attributes.Count(); ++i) {
        const TParameter &p = f.Attributes[i];
        out << "attribute " << Quoted(f.Attributes.Key(i)) << " " << Quoted(p.Name) << " " << p.Priority << " "
            << +p.ChannelType << " " << +p.ControlType << " " << +p.Width << " " << p.InternalPatch << " "
            << p.InternalPatchLow << " " << +p.Path << " " << p.DmxMin << " " << p.DmxMax << " inherit " << p.Inherit
            << " show " << p.ShowOnEditor << " low " << p.IsLowPart << " order " << +p.Order << " locate "
            << p.LocateLevel << "\n";
    }
    for (const TCommand &command : f.Commands) {
        out << "command " << Quoted(command.Name) << ":";
        for (const TCommandLine &step : command.Lines)
            out << " " << Quoted(step.ChannelName) << " " << step.Value << " " << step.Time << ";";
        out << "\n";
    }
    for (const TPalette &palette : f.Palettes) {
        out << "palette " << +palette.PaletteType << " " << Quoted(palette.Name) << " " << Quoted(palette.Description)
            << " colour " << palette.Red << " " << palette.Green << " " << palette.Blue << " icon "
            << Quoted(palette.Bitmap) << ":";
        for (const TPaletteLine &value : palette.Lines)
            out << " " << Quoted(value.ChannelName) << " " << value.Value << ";";
        out << "\n";
    }
    return out.str();
}

// ---------------------------------------------------------------------------------------------
// Random fixtures that the writers can express

uint32_t MasterSeed()
{
    if (const char *text = std::getenv("RIGSMITH_SEED"); text && *text)
        return static_cast<uint32_t>(std::strtoul(text, nullptr, 0));
    return 20050307u;
}

// Letters, digits, blanks and punctuation that every kind of name may hold, and a few bytes above
// 127. Double quotes, commas and tabs are never part of a name; "//" and "=" are ruled out where
// they matter.
const std::string NameAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                                 "        -_.()+&'!?*:;[]{}@$%^~|<>\\/#="
                                 "\xC0\xC9\xE8\xE9\xFC\xA0\xB0\xFF\x80";

class TGenerator {
public:
    TGenerator(uint32_t seed, int version) : random_(seed), version_(version) {}

    TFixture Fixture()
    {
        TFixture f;
        f.FormatVersion = version_;
        f.Author = UpperCase(HeaderText(0, 24));
        f.Revision = UpperCase(HeaderText(0, 12));
        f.Comments = Comments();
        f.Date = Date();
        f.Name = HeaderText(0, 30);
        f.Brand = Chance(30) ? std::string() : HeaderText(1, 20);
        f.FixtureType = static_cast<uint8_t>(Chance(10) ? 0 : Int(1, 4));
        f.PanAngleMin = Number();
        f.PanAngleMax = Number();
        f.TiltAngleMin = Number();
        f.TiltAngleMax = Number();
        f.DmxChannels = Number();
        f.DmxSplitChannels = Number();
        AddAttributes(f);
        AddCommands(f);
        AddPalettes(f);
        return f;
    }

private:
    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }

    int32_t Number()
    {
        if (Chance(10))
            return std::uniform_int_distribution<int32_t>(std::numeric_limits<int32_t>::min(),
                                                          std::numeric_limits<int32_t>::max())(random_);
        return Int(-1000, 1000);
    }

    std::string RawText(int minLength, int maxLength, std::string_view alphabet)
    {
        const int length = Int(minLength, maxLength);
        std::string text;
        for (int i = 0; i < length; ++i)
            text += alphabet[static_cast<std::size_t>(Int(0, static_cast<int>(alphabet.size()) - 1))];
        return text;
    }

    // A name as every writer puts it between double quotes or after "=": no blanks at its ends,
    // no "//", no "#" in front.
    std::string Text(int minLength, int maxLength, bool (*acceptable)(const std::string &))
    {
        for (;;) {
            std::string text = RawText(minLength, maxLength, NameAlphabet);
            if (Trim(text) != text || text.find("//") != std::string::npos || StartsWith(text, "#") ||
                (acceptable && !acceptable(text)))
                continue;
            return text;
        }
    }

    // Header values: the keywords that count anywhere in a header line stay out of them.
    std::string HeaderText(int minLength, int maxLength)
    {
        return Text(minLength, maxLength, [](const std::string &text) {
            const std::string upper = UpperCase(text);
            for (const char *keyword : {"VERSION", "AUTHOR", "REVISION", "DATE"})
                if (upper.find(keyword) != std::string::npos)
                    return false;
            return true;
        });
    }

    // Attribute names stand first on palette value lines and format 2 step lines.
    std::string AttributeName()
    {
        return Text(1, 24, [](const std::string &text) {
            const std::string upper = UpperCase(text);
            return text.find('=') == std::string::npos && !StartsWith(upper, "PALETTE") &&
                   !StartsWith(upper, "COMMANDNAME");
        });
    }

    // The same name in another letter case, as the model finds names without regard to case.
    std::string CaseVariant(const std::string &name)
    {
        std::string variant = name;
        for (char &c : variant)
            if (Chance(30))
                c = (c >= 'a' && c <= 'z')   ? static_cast<char>(c - 'a' + 'A')
                    : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a')
                                             : c;
        return variant;
    }

    // Lines joined by CR LF; the first is not empty, because leading empty lines are not kept.
    std::string Comments()
    {
        if (Chance(20))
            return std::string();
        const std::string alphabet = RemoveChar(NameAlphabet, '/');
        const int count = Int(1, 4);
        std::string comments;
        for (int i = 0; i < count; ++i) {
            std::string line = RawText(i == 0 ? 1 : 0, 60, alphabet);
            if (line == "ENDCOMMENTS")
                line += ".";
            comments += (i == 0 ? "" : "\r\n") + line;
        }
        return comments;
    }

    TDateTime Date()
    {
        for (;;)
            if (const auto date = TryEncodeDate(Int(1900, 2099), Int(1, 12), Int(1, 31)))
                return *date;
    }

    struct TPlanned {
        std::string Key;
        std::unique_ptr<TParameter> Parameter;
    };

    uint16_t FreePatch(std::set<std::string> &keys)
    {
        for (;;) {
            const int patch = Chance(10) ? Int(100, 512) : Int(1, 99);
            if (keys.insert(PatchKey(patch)).second)
                return static_cast<uint16_t>(patch);
        }
    }

    void AddAttributes(TFixture &f)
    {
        const int count = Int(0, 10);
        std::set<std::string> keys;
        std::set<std::string> names; // in lower case
        std::vector<TPlanned> planned;
        for (int i = 0; i < count; ++i) {
            auto p = std::make_unique<TParameter>();
            do
                p->Name = AttributeName();
            while (!names.insert(LowerCase(p->Name)).second);
            p->Priority = Chance(80) ? Int(0, 20) : Number();
            p->ChannelType = static_cast<uint8_t>(Chance(10) ? 0 : Int(1, 6));
            p->ControlType = static_cast<uint8_t>(Chance(10) ? 0 : Int(1, 2));
            p->Width = Chance(50) ? 16 : 8;
            p->InternalPatch = FreePatch(keys);
            if (Chance(p->Width == 16 ? 70 : 10))
                p->InternalPatchLow = FreePatch(keys);
            p->Path = static_cast<uint8_t>(Chance(10) ? 0 : Int(1, 3));
            p->DmxMin = static_cast<uint16_t>(Chance(70) ? 0 : Int(0, 255));
            p->DmxMax = static_cast<uint16_t>(Chance(70) ? 255 : Int(0, 255));
            p->Inherit = Chance(50);
            p->ShowOnEditor = Chance(70);
            planned.push_back({PatchKey(p->InternalPatch), std::move(p)});
        }
        // The file gives each attribute its position as Order, and the list keeps key order.
        std::sort(planned.begin(), planned.end(), [](const TPlanned &a, const TPlanned &b) { return a.Key < b.Key; });
        uint8_t order = 0;
        for (TPlanned &entry : planned) {
            entry.Parameter->Order = ++order;
            f.AddParameter(std::move(entry.Parameter));
        }
    }

    std::vector<const TParameter *> Attributes(const TFixture &f)
    {
        std::vector<const TParameter *> list;
        for (const auto &entry : f.Attributes.Entries())
            if (!entry.Parameter->IsLowPart)
                list.push_back(entry.Parameter.get());
        return list;
    }

    // A value on the 16-bit scale that the attribute's width writes without loss.
    int32_t ValueFor(const TParameter &p) { return p.Width == 8 ? 257 * Int(0, 255) : Int(0, 65535); }

    // Patches of channels without attribute for format 1.0 steps: free keys, so that the hidden
    // Control attribute the reader makes for each can be registered; none when an attribute is
    // called Control already, whose palette values would then find the wrong one.
    std::vector<int> ControlPatches(const TFixture &f)
    {
        std::vector<int> patches;
        if (f.ParameterByName("Control") || Chance(50))
            return patches;
        std::set<std::string> keys;
        for (int wanted = Int(1, 2); static_cast<int>(patches.size()) < wanted;) {
            const int patch = Chance(20) ? Int(100, 600) : Int(1, 99);
            const std::string key = PatchKey(patch);
            if (f.Attributes.IndexOfKey(key) < 0 && keys.insert(key).second)
                patches.push_back(patch);
        }
        return patches;
    }

    void AddCommands(TFixture &f)
    {
        const std::vector<const TParameter *> attributes = Attributes(f);
        const std::vector<int> controlPatches = version_ == 1 ? ControlPatches(f) : std::vector<int>();
        const int count = Int(0, 4);
        for (int i = 0; i < count; ++i) {
            std::string name;
            do
                name = Text(1, 24, nullptr);
            while (f.Commands.Find(name));
            TCommand &command = f.AddCommand(name);
            const int steps = Int(0, 5);
            for (int s = 0; s < steps; ++s) {
                const int32_t time = Chance(80) ? Int(0, 10000) : Number();
                if (!controlPatches.empty() && Chance(25)) {
                    // Format 1.0 writes the patch; the reader makes the channel a hidden attribute.
                    const int patch = controlPatches[static_cast<std::size_t>(Int(0, int(controlPatches.size()) - 1))];
                    command.AddLine("#" + std::to_string(patch), 257 * Int(0, 255), time);
                } else if (version_ != 1 && (attributes.empty() || Chance(25))) {
                    // Format 2 keeps a step on a channel without attribute as "#" and its patch;
                    // format 1.0 would make the channel an attribute of its own.
                    int patch = 0;
                    do
                        patch = Int(1, 600);
                    while (f.ParameterByPatch(patch));
                    command.AddLine("#" + std::to_string(patch), 257 * Int(0, 255), time);
                } else if (!attributes.empty()) {
                    // Format 1.0 names a step's channel by its patch, so it reads back the
                    // attribute's own spelling; format 2 keeps the name as held.
                    const TParameter &p = *attributes[static_cast<std::size_t>(Int(0, int(attributes.size()) - 1))];
                    command.AddLine(version_ == 1 ? p.Name : CaseVariant(p.Name), ValueFor(p), time);
                }
            }
        }
    }

    void AddPalettes(TFixture &f)
    {
        const std::vector<const TParameter *> attributes = Attributes(f);
        const int count = Int(0, 6);
        for (int i = 0; i < count; ++i) {
            // 0 stands for a type code the reader did not know, 255 for a palette before any type
            // line; both are written with the placeholder and read back as 0.
            const auto type = static_cast<uint8_t>(Chance(5) ? 0 : Chance(3) ? 255 : Int(1, 7));
            const bool unknown = type == 0 || type == 255;
            std::string name;
            do
                name = Text(1, 24, nullptr);
            while (f.FindPalette(name, type) || (unknown && (f.FindPalette(name, 0) || f.FindPalette(name, 255))));
            TPalette &palette = f.AddPalette(name, type);
            if (Chance(50))
                palette.Description = Text(1, 40, nullptr);
            if (Chance(50)) {
                palette.Red = Int(0, 255);
                palette.Green = Int(0, 255);
                palette.Blue = Int(0, 255);
            }
            if (Chance(50))
                palette.Bitmap = Text(1, 30, nullptr);
            std::vector<const TParameter *> pick = attributes;
            std::shuffle(pick.begin(), pick.end(), random_);
            pick.resize(std::min<std::size_t>(pick.size(), static_cast<std::size_t>(Int(0, 4))));
            for (const TParameter *p : pick)
                palette.SetValue(CaseVariant(p->Name), ValueFor(*p));
        }
    }

    std::mt19937 random_;
    int version_;
};

// A format 1.0 step on a channel without attribute comes back on a hidden attribute named Control
// that the reader makes for the channel.
void AddControlChannels(TFixture &f)
{
    for (TCommand &command : f.Commands)
        for (TCommandLine &step : command.Lines) {
            if (!StartsWith(step.ChannelName, "#"))
                continue;
            const int patch = StrToInt(step.ChannelName.substr(1));
            if (!f.ParameterByPatch(patch)) {
                auto control = std::make_unique<TParameter>();
                control->Name = "Control";
                control->Priority = 1;
                control->ChannelType = ctIntensity;
                control->ControlType = ctlLTP;
                control->Width = 8;
                control->InternalPatch = static_cast<uint16_t>(patch);
                control->Path = pathSnapStart;
                control->DmxMax = 255;
                control->Order = 255;
                f.AddParameter(std::move(control));
            }
            step.ChannelName = f.ParameterByPatch(patch)->Name;
        }
}

// What a fixture read back from a file of the version holds: a palette of an unknown type comes
// back with type 0; format 1.0 has no revision, no comments, no split channels, no inherit flag, a
// colour only on colour palettes and an icon only on the others, and makes its channels without
// attribute hidden attributes. True when the file, written again from what was read, is the same
// text: neither of the first two changes happened.
bool KeepWhatTheFormatCarries(TFixture &f, int version)
{
    bool sameText = true;
    for (std::size_t i = 0; i < f.Palettes.Count(); ++i)
        if (f.Palettes[i].PaletteType == 255) {
            f.Palettes[i].PaletteType = 0;
            f.Palettes.Rekey(i, PaletteIndexKey(f.Palettes[i].Name, 0));
            sameText = false;
        }
    if (version != 1) {
        f.FormatVersion = 2;
        return sameText;
    }
    const std::size_t entries = f.Attributes.Count();
    AddControlChannels(f);
    sameText = sameText && f.Attributes.Count() == entries;
    f.FormatVersion = 1;
    f.Revision.clear();
    f.Comments.clear();
    f.DmxSplitChannels = 0;
    for (std::size_t i = 0; i < f.Attributes.Count(); ++i)
        f.Attributes[i].Inherit = false;
    for (TPalette &palette : f.Palettes) {
        if (palette.PaletteType == ptColour) {
            palette.Bitmap.clear();
        } else {
            palette.Red = palette.Green = palette.Blue = -1;
        }
    }
    return sameText;
}

void RunProperty(int version, int cases)
{
    const uint32_t master = MasterSeed();
    std::cout << "[ seed     ] RIGSMITH_SEED=" << master << " (format " << version << ", " << cases << " cases)\n";
    std::mt19937 seeds(master + static_cast<uint32_t>(version));
    for (int i = 0; i < cases; ++i) {
        const auto seed = static_cast<uint32_t>(seeds());
        const std::string trace = "RIGSMITH_SEED=" + std::to_string(master) + ", format " + std::to_string(version) +
                                  ", case " + std::to_string(i) + " (case seed " + std::to_string(seed) + ")";
        SCOPED_TRACE(trace);
        // The same seed twice: the fixture to write, and the one to expect back.
        const TFixture original = TGenerator(seed, version).Fixture();
        TFixture expected = TGenerator(seed, version).Fixture();
        const bool sameText = KeepWhatTheFormatCarries(expected, version);

        const std::string text = FormatFixture(original, version);
        TFixture read;
        try {
            read = FromText(text);
        } catch (const std::exception &error) {
            ADD_FAILURE() << "reading back failed: " << error.what() << "\nthe file:\n" << text;
            return;
        }
        if (Dump(read) != Dump(expected)) {
            EXPECT_EQ(Dump(read), Dump(expected)) << "the file:\n" << text;
            return;
        }
        // Written again, the file is what the expected model writes: the same text, unless the
        // reader turned channels into Control attributes or unknown palette types into 0.
        const std::string again = FormatFixture(read, version);
        const std::string expectedText = sameText ? text : FormatFixture(expected, version);
        if (again != expectedText) {
            ADD_FAILURE() << "written again, the file differs\nexpected:\n" << expectedText << "\nwritten:\n" << again;
            return;
        }
    }
}

TEST(RoundTrip, RandomFixtures_ReadBackInFormat10)
{
    RunProperty(1, 5000);
}

TEST(RoundTrip, RandomFixtures_ReadBackInFormat2)
{
    RunProperty(2, 5000);
}

// Copies of unsaved work are JSON: every field comes back, every byte of every text, the time of
// day, low parts and the arrangement of the attributes, whatever a file could carry.
TEST(RoundTrip, Json_KeepsEveryFieldAndByte)
{
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        everyByte += static_cast<char>(c);
    for (const int version : {1, 2})
        for (uint32_t seed = 1; seed <= 300; ++seed) {
            SCOPED_TRACE("format " + std::to_string(version) + ", seed " + std::to_string(seed));
            TFixture f = TGenerator(seed, version).Fixture();
            f.Date += 0.3712;
            f.Name = f.Comments = everyByte;
            if (!f.Attributes.Empty())
                f.Attributes[0].Name = "Red, \"deep\" // " + everyByte;
            if (!f.Commands.Empty())
                f.Commands[0].AddLine("#x", 1, -5);
            const TFixture back = FixtureFromJson(nlohmann::json::parse(FixtureToJson(f).dump()));
            ASSERT_EQ(Dump(back), Dump(f));
            std::ostringstream streamed;
            WriteFixtureJson(streamed, f);
            ASSERT_EQ(streamed.str(), FixtureToJson(f).dump(2));
            EXPECT_EQ(back.FileName, f.FileName);
        }
}

// ---------------------------------------------------------------------------------------------
// Examples

TFixture SmallFixture(int version)
{
    TFixture f;
    f.FormatVersion = version;
    f.Author = "JANE DOE";
    f.Date = DateOf(2006, 1, 5);
    f.Name = "Spot 575";
    f.Brand = "Acme";
    f.FixtureType = ftMovingHead;
    f.TiltAngleMin = -45;
    f.DmxChannels = 4;
    AddAttribute(f, {"Dimmer", 1, ctIntensity, ctlLTP, 8, 1, 0, pathLinear, 0, 255, false, true, 1});
    AddAttribute(f, {"Pan", 1, ctIntensity, ctlLTP, 16, 2, 3, pathLinear, 0, 255, false, true, 2});
    AddAttribute(f, {"Lamp", 1, ctIntensity, ctlLTP, 8, 9, 0, pathLinear, 0, 255, false, false, 3});
    return f;
}

// Format 1.0 reads a step back on the attribute of its patch, or on a hidden Control attribute it
// makes for the channel; format 2 keeps a "#" step whose patch has no attribute.
TEST(RoundTrip, HashSteps_ReadBackOnTheirChannel)
{
    const std::tuple<int, const char *, const char *, std::size_t> cases[] = {
        {1, "#12", "Control", 5}, {1, "#9", "Lamp", 4}, {2, "#12", "#12", 4}, {2, "#3", "#3", 4}, {2, "#9", "Lamp", 4}};
    for (const auto &[version, channel, readAs, attributes] : cases) {
        SCOPED_TRACE(std::string(channel) + " in format " + std::to_string(version));
        TFixture f = SmallFixture(version);
        f.AddCommand("Reset").AddLine(channel, 257 * 200, 100);
        const TFixture read = FromText(FormatFixture(f, version));
        EXPECT_EQ(read.Attributes.Count(), attributes);
        ASSERT_EQ(read.Commands[0].Lines.size(), 1u);
        EXPECT_EQ(read.Commands[0].Lines[0].ChannelName, readAs);
        EXPECT_EQ(read.Commands[0].Lines[0].Value, 257 * 200);
        EXPECT_EQ(read.Commands[0].Lines[0].Time, 100);
    }
}

TEST(RoundTrip, Values_SixteenBitExactEightBitLoseTheRemainder)
{
    const std::tuple<const char *, int, int> steps[] = {{"Pan", 0, 0},
                                                        {"Pan", 1, 1},
                                                        {"Pan", 256, 256},
                                                        {"Pan", 32767, 32767},
                                                        {"Pan", 40000, 40000},
                                                        {"Pan", 65534, 65534},
                                                        {"Pan", 65535, 65535},
                                                        {"Dimmer", 257, 257},
                                                        {"Dimmer", 256, 0},
                                                        {"Dimmer", 32896, 32896},
                                                        {"Dimmer", 40000, 257 * 155},
                                                        {"Dimmer", 65535, 65535}};
    for (const int version : {1, 2}) {
        TFixture f = SmallFixture(version);
        TCommand &command = f.AddCommand("Values");
        for (const auto &[channel, value, expected] : steps)
            command.AddLine(channel, value, 0);
        f.AddPalette("Odd", ptIntensity).SetValue("Dimmer", 40000);
        const TFixture read = FromText(FormatFixture(f, version));
        ASSERT_EQ(read.Commands[0].Lines.size(), std::size(steps));
        for (std::size_t i = 0; i < std::size(steps); ++i)
            EXPECT_EQ(read.Commands[0].Lines[i].Value, std::get<2>(steps[i])) << "step " << i << ", format " << version;
        EXPECT_EQ(read.Palettes[0].Lines[0].Value, 257 * 155) << "format " << version;
    }
}

TEST(RoundTrip, PlaceholderCodes_ReadBackAsZero)
{
    for (const uint8_t code : {uint8_t{0}, uint8_t{255}})
        for (const int version : {1, 2}) {
            SCOPED_TRACE("code " + std::to_string(code) + ", format " + std::to_string(version));
            TFixture f = SmallFixture(version);
            f.FixtureType = code;
            AddAttribute(f, {"Odd", 1, code, code, 8, 5, 0, code, 0, 255, false, true, 4});
            f.AddPalette("Odd", code).SetValue("Odd", 257 * 3);
            const TFixture read = FromText(FormatFixture(f, version));
            EXPECT_EQ(read.FixtureType, 0);
            const TParameter *odd = read.ParameterByName("Odd");
            ASSERT_NE(odd, nullptr);
            EXPECT_EQ(odd->ChannelType, 0);
            EXPECT_EQ(odd->ControlType, 0);
            EXPECT_EQ(odd->Path, 0);
            EXPECT_EQ(odd->DmxMax, 255) << "the placeholder must not shift the columns";
            ASSERT_EQ(read.Palettes.Count(), 1u);
            EXPECT_EQ(read.Palettes[0].PaletteType, 0);
            EXPECT_EQ(read.Palettes[0].Lines[0].Value, 257 * 3);
        }
}

TEST(RoundTrip, EmptyFixture_BothFormats)
{
    for (const int version : {1, 2}) {
        TFixture f;
        f.FormatVersion = version;
        f.Date = DateOf(2000, 2, 29);
        const std::string text = FormatFixture(f, version);
        const TFixture read = FromText(text);
        EXPECT_EQ(Dump(read), Dump(f)) << "format " << version;
        EXPECT_EQ(FormatFixture(read, version), text) << "format " << version;
    }
}

// Header values read back as written, in their letter case and with keywords inside.
TEST(RoundTrip, HeaderTexts_KeepTheirCaseAndKeywords)
{
    TFixture f = SmallFixture(2);
    f.Author = "John Smith, update VERSION";
    f.Revision = "beta 2 date";
    f.Name = "Update";
    f.Brand = "Versionless Author Revision";
    EXPECT_EQ(Dump(FromText(FormatFixture(f, 2))), Dump(f));
    const TFixture read1 = FromText(FormatFixture(f, 1));
    EXPECT_EQ(read1.Author, f.Author);
    EXPECT_EQ(read1.Name, "Update");
    EXPECT_EQ(read1.Brand, f.Brand);
    EXPECT_EQ(read1.FormatVersion, 1);
}

} // namespace
