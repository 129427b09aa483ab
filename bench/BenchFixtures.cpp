#include "BenchFixtures.h"

#include "model/FixConsts.h"

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace bench {

namespace {

const char *const AttributeNames[] = {
    "Dimmer", "Pan",   "Tilt", "Colour", "Cyan",    "Magenta", "Yellow",  "CTO",     "Gobo",      "Gobo rot", "Prism",
    "Frost",  "Focus", "Zoom", "Iris",   "Shutter", "Strobe",  "Blade A", "Blade B", "Animation", "Speed",    "Lamp"};
const char *const PaletteNames[] = {"Open", "Red",        "Deep blue", "Congo", "Amber", "Lime",   "Stars",   "Dots",
                                    "Home", "Stage left", "Full",      "Half",  "Wide",  "Narrow", "Blackout"};

class TMaker {
public:
    explicit TMaker(uint32_t seed) : random_(seed) {}

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }

    TFixture Fixture(const TShape &shape, int version)
    {
        TFixture f;
        f.FormatVersion = version;
        f.Author = "RIGSMITH BENCH";
        f.Revision = std::to_string(Int(1, 9));
        f.Date = *TryEncodeDate(Int(1995, 2025), Int(1, 12), Int(1, 28));
        for (int i = 0; i < shape.CommentLines; ++i)
            f.Comments += (i ? "\r\n" : "") + std::string("Comment line ") + std::to_string(i) +
                          " of a generated fixture, written to be read again";
        f.Name = "Bench fixture " + std::to_string(Int(1, 99999));
        f.Brand = "Rigsmith Bench";
        f.FixtureType = static_cast<uint8_t>(Int(1, 4));
        f.PanAngleMax = 540;
        f.TiltAngleMin = -135;
        f.TiltAngleMax = 135;
        AddAttributes(f, shape);
        f.DmxChannels = static_cast<int32_t>(f.Attributes.Count());
        AddCommands(f, shape);
        AddPalettes(f, shape);
        return f;
    }

private:
    void AddAttributes(TFixture &f, const TShape &shape)
    {
        const int channels = std::clamp(shape.Channels, 1, 99);
        int patch = 1;
        uint8_t order = 0;
        int wide = shape.WideAttributes;
        while (patch <= channels) {
            auto p = std::make_unique<TParameter>();
            const char *base = AttributeNames[Int(0, std::size(AttributeNames) - 1)];
            p->Name = std::string(base) + " " + std::to_string(patch);
            p->Priority = Int(0, 9);
            p->ChannelType = static_cast<uint8_t>(Int(1, 6));
            p->ControlType = static_cast<uint8_t>(Int(1, 2));
            // A given number of wide ones falls at random places, all of them by the last channel.
            const bool isWide = wide < 0 ? Chance(25) : wide > 0 && Int(1, channels - patch + 1 - wide) <= wide;
            p->Width = patch < channels && isWide ? 16 : 8;
            if (p->Width == 16 && wide > 0)
                --wide;
            p->InternalPatch = static_cast<uint16_t>(patch++);
            if (p->Width == 16)
                p->InternalPatchLow = static_cast<uint16_t>(patch++);
            p->Path = static_cast<uint8_t>(Int(1, 3));
            p->DmxMax = 255;
            p->Inherit = Chance(50);
            p->ShowOnEditor = Chance(90);
            p->Order = ++order;
            f.AddParameter(std::move(p));
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

    int32_t ValueFor(const TParameter &p) { return p.Width == 8 ? 257 * Int(0, 255) : Int(0, 65535); }

    void AddCommands(TFixture &f, const TShape &shape)
    {
        const auto attributes = Attributes(f);
        for (int i = 0; i < shape.Commands; ++i) {
            TCommand &command = f.AddCommand("Command " + std::to_string(i + 1));
            for (int s = 0; s < shape.StepsPerCommand; ++s) {
                const TParameter &p = *attributes[static_cast<std::size_t>(Int(0, int(attributes.size()) - 1))];
                command.AddLine(p.Name, ValueFor(p), Int(0, 5) * 500);
            }
        }
    }

    void AddPalettes(TFixture &f, const TShape &shape)
    {
        const auto attributes = Attributes(f);
        for (int i = 0; i < shape.Palettes; ++i) {
            // Palettes come grouped by type, as an editor's user makes them.
            const auto type = static_cast<uint8_t>(1 + i * 7 / std::max(shape.Palettes, 1));
            TPalette &palette = f.AddPalette(
                std::string(PaletteNames[Int(0, std::size(PaletteNames) - 1)]) + " " + std::to_string(i + 1), type);
            if (Chance(shape.DescriptionPercent))
                palette.Description = "Made for the benchmark, palette " + std::to_string(i + 1);
            if (type == ptColour || Chance(10)) {
                palette.Red = Int(0, 255);
                palette.Green = Int(0, 255);
                palette.Blue = Int(0, 255);
            } else if (Chance(60)) {
                palette.Bitmap = "Gobos/gobo" + std::to_string(Int(1, 40)) + ".bmp";
            }
            for (int v = 0; v < shape.ValuesPerPalette; ++v) {
                const TParameter &p = *attributes[static_cast<std::size_t>(Int(0, int(attributes.size()) - 1))];
                palette.SetValue(p.Name, ValueFor(p));
            }
        }
    }

    std::mt19937 random_;
};

} // namespace

TFixture MakeFixture(const TShape &shape, int version, uint32_t seed)
{
    return TMaker(seed).Fixture(shape, version);
}

TShape Scaled(int factor)
{
    TShape shape = Large;
    shape.Commands *= factor;
    shape.Palettes *= factor;
    shape.CommentLines *= factor;
    return shape;
}

TShape LibraryShape(uint32_t seed)
{
    TMaker maker(seed);
    TShape shape;
    const bool large = maker.Chance(5);
    shape.Channels = large ? maker.Int(40, 99) : maker.Int(1, 32);
    shape.Commands = large ? maker.Int(10, 40) : maker.Int(0, 6);
    shape.StepsPerCommand = maker.Int(1, 5);
    shape.Palettes = large ? maker.Int(100, 400) : maker.Int(0, 40);
    shape.ValuesPerPalette = maker.Int(1, 6);
    shape.CommentLines = maker.Int(0, 6);
    return shape;
}

} // namespace bench
