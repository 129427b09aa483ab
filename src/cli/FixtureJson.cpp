#include "FixtureJson.h"

#include "platform/CodePage.h"

#include <cstdio>

namespace {

std::string Utf8(const std::string &text) { return Cp1252ToUtf8(text); }

std::string IsoDate(TDateTime date)
{
    const TCalendarDate d = DecodeDate(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
    return text;
}

nlohmann::ordered_json AttributeToJson(const std::string &key, const TParameter &p)
{
    return {{"Key", Utf8(key)},
            {"Name", Utf8(p.Name)},
            {"Priority", p.Priority},
            {"ChannelType", p.ChannelType},
            {"ControlType", p.ControlType},
            {"Width", p.Width},
            {"InternalPatch", p.InternalPatch},
            {"InternalPatchLow", p.InternalPatchLow},
            {"Path", p.Path},
            {"DmxMin", p.DmxMin},
            {"DmxMax", p.DmxMax},
            {"Inherit", p.Inherit},
            {"ShowOnEditor", p.ShowOnEditor},
            {"IsLowPart", p.IsLowPart},
            {"Order", p.Order},
            {"LocateLevel", p.LocateLevel}};
}

} // namespace

nlohmann::ordered_json FixtureToJson(const TFixture &f)
{
    nlohmann::ordered_json attributes = nlohmann::ordered_json::array();
    for (const auto &entry : f.Attributes.Entries())
        attributes.push_back(AttributeToJson(entry.Key, *entry.Parameter));

    nlohmann::ordered_json commands = nlohmann::ordered_json::array();
    for (const TCommand &command : f.Commands) {
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        for (const TCommandLine &step : command.Lines)
            lines.push_back({{"ChannelName", Utf8(step.ChannelName)}, {"Value", step.Value}, {"Time", step.Time}});
        commands.push_back({{"Name", Utf8(command.Name)}, {"Lines", std::move(lines)}});
    }

    nlohmann::ordered_json palettes = nlohmann::ordered_json::array();
    for (const TPalette &palette : f.Palettes) {
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        for (const TPaletteLine &value : palette.Lines)
            lines.push_back({{"ChannelName", Utf8(value.ChannelName)}, {"Value", value.Value}});
        palettes.push_back({{"PaletteType", palette.PaletteType},
                            {"Name", Utf8(palette.Name)},
                            {"Description", Utf8(palette.Description)},
                            {"Red", palette.Red},
                            {"Green", palette.Green},
                            {"Blue", palette.Blue},
                            {"Bitmap", Utf8(palette.Bitmap)},
                            {"Lines", std::move(lines)}});
    }

    return {{"FileName", Utf8(f.FileName)},
            {"FormatVersion", f.FormatVersion},
            {"Author", Utf8(f.Author)},
            {"Revision", Utf8(f.Revision)},
            {"Date", IsoDate(f.Date)},
            {"Comments", Utf8(f.Comments)},
            {"Name", Utf8(f.Name)},
            {"Brand", Utf8(f.Brand)},
            {"FixtureType", f.FixtureType},
            {"PanAngleMin", f.PanAngleMin},
            {"PanAngleMax", f.PanAngleMax},
            {"TiltAngleMin", f.TiltAngleMin},
            {"TiltAngleMax", f.TiltAngleMax},
            {"DmxChannels", f.DmxChannels},
            {"DmxSplitChannels", f.DmxSplitChannels},
            {"Saved", f.Saved},
            {"Attributes", std::move(attributes)},
            {"Commands", std::move(commands)},
            {"Palettes", std::move(palettes)}};
}
