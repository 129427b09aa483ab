#include "FixtureJson.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"

#include <cstdio>

namespace {

std::string Utf8(const std::string &text)
{
    return Cp1252ToUtf8(text);
}

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
            {"DateValue", f.Date},
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

namespace {

std::string Text(const nlohmann::json &json, const char *key)
{
    return Utf8ToCp1252(json.at(key).get<std::string>());
}

template <class T> T Number(const nlohmann::json &json, const char *key)
{
    return json.at(key).get<T>();
}

std::unique_ptr<TParameter> AttributeFromJson(const nlohmann::json &json)
{
    auto p = std::make_unique<TParameter>();
    p->Name = Text(json, "Name");
    p->Priority = Number<int32_t>(json, "Priority");
    p->ChannelType = Number<uint8_t>(json, "ChannelType");
    p->ControlType = Number<uint8_t>(json, "ControlType");
    p->Width = Number<uint8_t>(json, "Width");
    p->InternalPatch = Number<uint16_t>(json, "InternalPatch");
    p->InternalPatchLow = Number<uint16_t>(json, "InternalPatchLow");
    p->Path = Number<uint8_t>(json, "Path");
    p->DmxMin = Number<uint16_t>(json, "DmxMin");
    p->DmxMax = Number<uint16_t>(json, "DmxMax");
    p->Inherit = json.at("Inherit").get<bool>();
    p->ShowOnEditor = json.at("ShowOnEditor").get<bool>();
    p->IsLowPart = json.at("IsLowPart").get<bool>();
    p->Order = Number<uint8_t>(json, "Order");
    p->LocateLevel = Number<int32_t>(json, "LocateLevel");
    return p;
}

} // namespace

TFixture FixtureFromJson(const nlohmann::json &json)
{
    TFixture f;
    f.FileName = Text(json, "FileName");
    f.FormatVersion = Number<int32_t>(json, "FormatVersion");
    f.Author = Text(json, "Author");
    f.Revision = Text(json, "Revision");
    f.Date = Number<double>(json, "DateValue");
    f.Comments = Text(json, "Comments");
    f.Name = Text(json, "Name");
    f.Brand = Text(json, "Brand");
    f.FixtureType = Number<uint8_t>(json, "FixtureType");
    f.PanAngleMin = Number<int32_t>(json, "PanAngleMin");
    f.PanAngleMax = Number<int32_t>(json, "PanAngleMax");
    f.TiltAngleMin = Number<int32_t>(json, "TiltAngleMin");
    f.TiltAngleMax = Number<int32_t>(json, "TiltAngleMax");
    f.DmxChannels = Number<int32_t>(json, "DmxChannels");
    f.DmxSplitChannels = Number<int32_t>(json, "DmxSplitChannels");
    f.Saved = json.at("Saved").get<bool>();
    // The entries as they stood, low parts and order included; the keys were unique when written.
    for (const nlohmann::json &attribute : json.at("Attributes")) {
        std::string key = Text(attribute, "Key");
        if (f.Attributes.IndexOfKey(key) >= 0)
            throw EFixtureError("Key " + key + " is already exist.");
        f.Attributes.Insert(f.Attributes.Count(), std::move(key), AttributeFromJson(attribute));
    }
    for (const nlohmann::json &command : json.at("Commands")) {
        TCommand &c = f.AddCommand(Text(command, "Name"));
        for (const nlohmann::json &step : command.at("Lines"))
            c.Lines.push_back(
                {Text(step, "ChannelName"), Number<uint16_t>(step, "Value"), Number<int32_t>(step, "Time")});
    }
    for (const nlohmann::json &palette : json.at("Palettes")) {
        TPalette &p = f.AddPalette(Text(palette, "Name"), Number<uint8_t>(palette, "PaletteType"));
        p.Description = Text(palette, "Description");
        p.Red = Number<int32_t>(palette, "Red");
        p.Green = Number<int32_t>(palette, "Green");
        p.Blue = Number<int32_t>(palette, "Blue");
        p.Bitmap = Text(palette, "Bitmap");
        for (const nlohmann::json &value : palette.at("Lines")) {
            const std::string channel = Text(value, "ChannelName");
            if (p.Lines.Find(channel))
                throw EFixtureError("Palette value " + channel + " is already exist.");
            p.SetValue(channel, Number<int32_t>(value, "Value"));
        }
    }
    return f;
}
