#include "FixtureJson.h"

#include "platform/CodePage.h"
#include "platform/Errors.h"

#include <cstdio>

namespace {

std::string Utf8(std::string_view text)
{
    return Cp1252ToUtf8(text);
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

nlohmann::ordered_json CommandToJson(const TCommand &command)
{
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const TCommandLine &step : command.Lines)
        lines.push_back({{"ChannelName", Utf8(step.ChannelName)}, {"Value", step.Value}, {"Time", step.Time}});
    return {{"Name", Utf8(command.Name)}, {"Lines", std::move(lines)}};
}

nlohmann::ordered_json PaletteToJson(const TPalette &palette)
{
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const TPaletteLine &value : palette.Lines)
        lines.push_back({{"ChannelName", Utf8(value.ChannelName)}, {"Value", value.Value}});
    return {{"PaletteType", palette.PaletteType},
            {"Name", Utf8(palette.Name)},
            {"Description", Utf8(palette.Description)},
            {"Red", palette.Red},
            {"Green", palette.Green},
            {"Blue", palette.Blue},
            {"Bitmap", Utf8(palette.Bitmap)},
            {"Lines", std::move(lines)}};
}

// Every field but the three lists, which follow them.
nlohmann::ordered_json HeadToJson(const TFixture &f)
{
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
            {"Saved", f.Saved}};
}

// The three lists in their order, each as its name, its length and a maker of its i-th element.
template <class Visit> void ForEachList(const TFixture &f, Visit visit)
{
    const auto &attributes = f.Attributes.Entries();
    visit("Attributes", attributes.size(),
          [&](std::size_t i) { return AttributeToJson(attributes[i].Key, *attributes[i].Parameter); });
    visit("Commands", f.Commands.Count(), [&](std::size_t i) { return CommandToJson(f.Commands[i]); });
    visit("Palettes", f.Palettes.Count(), [&](std::size_t i) { return PaletteToJson(f.Palettes[i]); });
}

// The text of dump(2) for a value that stands at the given depth of indentation.
std::string Indented(const nlohmann::ordered_json &value, std::size_t indent)
{
    std::string text = value.dump(2);
    const std::string margin = "\n" + std::string(indent, ' ');
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + margin.size()))
        text.replace(at, 1, margin);
    return text;
}

} // namespace

nlohmann::ordered_json FixtureToJson(const TFixture &f)
{
    nlohmann::ordered_json json = HeadToJson(f);
    ForEachList(f, [&](const char *name, std::size_t count, const auto &element) {
        nlohmann::ordered_json &list = json[name] = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < count; ++i)
            list.push_back(element(i));
    });
    return json;
}

void WriteFixtureJson(std::ostream &out, const TFixture &f)
{
    // The fields one by one, as dump(2) of the whole object lays them out, so that only one
    // element of a list is held as JSON at a time.
    const std::string head = HeadToJson(f).dump(2);
    out.write(head.data(), static_cast<std::streamsize>(head.size() - 2)); // without "\n}"
    ForEachList(f, [&](const char *name, std::size_t count, const auto &element) {
        out << ",\n  " << nlohmann::ordered_json(name).dump() << ": " << (count ? "[" : "[]");
        for (std::size_t i = 0; i < count; ++i)
            out << (i ? ",\n    " : "\n    ") << Indented(element(i), 4);
        if (count)
            out << "\n  ]";
    });
    out << "\n}";
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
