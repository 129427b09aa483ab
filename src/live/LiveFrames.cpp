#include "LiveFrames.h"

#include "model/FixFuncs.h"
#include "platform/Text.h"

#include <exception>

namespace {

int Channel(int address, int patch)
{
    const int channel = address + patch - 1;
    if (patch < 1 || channel < 1 || channel > UniverseSize)
        throw ELiveError("Channel " + std::to_string(patch) + " at address " + std::to_string(address) +
                         " lies outside the universe (1 to 512)");
    return channel;
}

uint8_t High(int32_t value)
{
    return static_cast<uint8_t>((value >> 8) & 0xFF);
}

// A step or palette value: an attribute by name, or "#" and an internal patch, which is the
// attribute of that patch when one starts there and a plain 8-bit channel otherwise.
TLevelChanges NamedLevels(const TFixture &fixture, std::string_view name, int address, int32_t value)
{
    if (StartsWith(name, "#")) {
        int32_t patch = 0;
        if (!TryStrToInt(name.substr(1), patch))
            throw ELiveError("\"" + std::string(name) + "\" is no channel");
        const TParameter *attribute = fixture.ParameterByPatch(patch);
        if (attribute != nullptr && attribute->InternalPatch == patch)
            return AttributeLevels(*attribute, address, value);
        return {{Channel(address, patch), High(value)}};
    }
    const TParameter *attribute = fixture.ParameterByName(name);
    if (attribute == nullptr)
        throw ELiveError("The fixture has no attribute \"" + std::string(name) + "\"");
    return AttributeLevels(*attribute, address, value);
}

} // namespace

TLevelChanges AttributeLevels(const TParameter &attribute, int address, int32_t value)
{
    if (value < 0 || value > 65535)
        throw ELiveError("The value " + std::to_string(value) + " of " + attribute.Name + " is out of range");
    TLevelChanges levels{{Channel(address, attribute.InternalPatch), High(value)}};
    if (attribute.InternalPatchLow != 0)
        levels.push_back({Channel(address, attribute.InternalPatchLow), static_cast<uint8_t>(value & 0xFF)});
    return levels;
}

std::vector<TTimedFrame> CommandFrames(const TFixture &fixture, const TCommand &command, int address)
{
    std::vector<TTimedFrame> frames;
    for (const TCommandLine &step : command.Lines)
        frames.push_back({NamedLevels(fixture, step.ChannelName, address, step.Value), std::max(step.Time, 0)});
    return frames;
}

TLevelChanges PaletteLevels(const TFixture &fixture, const TPalette &palette, int address)
{
    TLevelChanges levels;
    for (const TPaletteLine &line : palette.Lines) {
        const TLevelChanges value = NamedLevels(fixture, line.ChannelName, address, line.Value);
        levels.insert(levels.end(), value.begin(), value.end());
    }
    return levels;
}

TLevelChanges SettingLevels(const TFixture &fixture, const std::string &setting, int address)
{
    const auto equals = setting.find('=');
    if (equals == std::string::npos)
        throw ELiveError("\"" + setting + "\" is not ATTRIBUTE=VALUE");
    const std::string name = Trim(setting.substr(0, equals));
    const TParameter *attribute = fixture.ParameterByName(name);
    if (attribute == nullptr)
        throw ELiveError("The fixture has no attribute \"" + std::string(name) + "\"");
    const std::string text = Trim(setting.substr(equals + 1));
    int64_t value = 0;
    try {
        value = ParseDmxValue(text, attribute->DmxMax, attribute->Width == 8);
    } catch (const std::exception &) {
        throw ELiveError("\"" + text + "\" is not a value for " + name);
    }
    if (value < 0 || value > 65535)
        throw ELiveError("The value " + text + " of " + name + " is out of range");
    return AttributeLevels(*attribute, address, static_cast<int32_t>(value));
}

const TPalette *FindPaletteNamed(const TFixture &fixture, const std::string &name)
{
    for (const TPalette &palette : fixture.Palettes)
        if (SameText(palette.Name, name) || SameText(palette.Key(), name))
            return &palette;
    return nullptr;
}
