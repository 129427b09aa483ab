#include "OflExport.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"

#include <algorithm>
#include <cstdio>
#include <map>

using Json = nlohmann::ordered_json;

namespace {

std::string Utf8(const std::string &text)
{
    return Cp1252ToUtf8(text);
}

std::string HexColour(const TPalette &palette)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", palette.Red & 255, palette.Green & 255, palette.Blue & 255);
    return text;
}

// A value the channel takes: a preset (a wheel slot) or a command.
struct TPoint {
    int64_t Value = 0;
    Json Capability;
};

class TExport {
public:
    TExport(const TFixture &fixture, std::vector<std::string> &report) : f_(fixture), report_(report) {}
    Json Run();

private:
    // Adds the attribute's channel; returns its key.
    std::string Channel(const TParameter &attribute);
    Json BaseCapability(const TParameter &attribute, const std::string &wheel);

    const TFixture &f_;
    std::vector<std::string> &report_;
    Json channels_ = Json::object();
    Json wheels_ = Json::object();
    std::map<const TPalette *, bool> exported_;
    std::map<const TCommand *, bool> commandsExported_;
};

Json TExport::BaseCapability(const TParameter &attribute, const std::string &wheel)
{
    const std::string lower = LowerCase(attribute.Name);
    switch (attribute.ChannelType) {
    case ctPanTilt: {
        const bool tilt = lower.find("tilt") != std::string::npos;
        const int low = tilt ? f_.TiltAngleMin : f_.PanAngleMin, high = tilt ? f_.TiltAngleMax : f_.PanAngleMax;
        const bool degrees = high > low;
        return {{"type", tilt ? "Tilt" : "Pan"},
                {"angleStart", degrees ? std::to_string(low) + "deg" : "0%"},
                {"angleEnd", degrees ? std::to_string(high) + "deg" : "100%"}};
    }
    case ctColour: {
        std::string colour = "White";
        for (const char *name : {"Red", "Green", "Blue", "Cyan", "Magenta", "Yellow", "Amber", "Warm White",
                                 "Cold White", "UV", "Lime", "Indigo"})
            if (lower.find(LowerCase(name)) != std::string::npos) {
                colour = name;
                break;
            }
        return wheel.empty() ? Json{{"type", "ColorIntensity"}, {"color", colour}}
                             : Json{{"type", "WheelRotation"},
                                    {"wheel", wheel},
                                    {"speedStart", "slow CW"},
                                    {"speedEnd", "fast CW"}};
    }
    case ctGobo:
        return {{"type", "WheelRotation"}, {"wheel", wheel}, {"speedStart", "slow CW"}, {"speedEnd", "fast CW"}};
    case ctPrism:
        return {{"type", "Prism"}};
    case ctBlade:
        return {{"type", "BladeInsertion"}, {"blade", "Top"}, {"insertionStart", "0%"}, {"insertionEnd", "100%"}};
    default:
        return {{"type", attribute.ControlType == ctlHTP ? "Intensity" : "Generic"}};
    }
}

std::string TExport::Channel(const TParameter &attribute)
{
    // Channel keys are unique; the file may hold attributes whose names differ in letter case only.
    std::string key = Utf8(attribute.Name);
    if (channels_.contains(key)) {
        key += " (" + std::to_string(attribute.InternalPatch) + ")";
        report_.push_back("Attribute \"" + attribute.Name + "\" shares its name with another; its channel is \"" +
                          Utf8ToCp1252(key) + "\".");
    }
    const bool wide = attribute.Width == 16 && attribute.InternalPatchLow != 0;
    const auto onScale = [&](int64_t value) { return wide ? value : value / 257; };
    const int64_t low = wide ? attribute.DmxMin * 257 : attribute.DmxMin;
    const int64_t high = wide ? attribute.DmxMax * 257 : attribute.DmxMax;

    // Colour, gobo and prism palettes that set this channel alone are the slots of its wheel.
    const std::string kindName = attribute.ChannelType == ctGobo    ? "Gobo"
                                 : attribute.ChannelType == ctPrism ? "Prism"
                                                                    : "Color";
    const std::string wheel = kindName + " wheel (" + key + ")";
    std::vector<TPoint> points;
    Json slots = Json::array();
    for (const TPalette &palette : f_.Palettes) {
        if (palette.Lines.Count() != 1 || !SameText(palette.Lines[0].ChannelName, attribute.Name) ||
            palette.PaletteType < ptColour || palette.PaletteType > ptPrism)
            continue;
        exported_[&palette] = true;
        Json slot = {{"type", palette.PaletteType == ptColour ? "Color"
                              : palette.PaletteType == ptGobo ? "Gobo"
                                                              : "Prism"},
                     {"name", Utf8(palette.Name)}};
        if (palette.PaletteType == ptColour && palette.Red >= 0)
            slot["colors"] = Json::array({HexColour(palette)});
        slots.push_back(slot);
        points.push_back(
            {onScale(palette.Lines[0].Value), {{"type", "WheelSlot"}, {"wheel", wheel}, {"slotNumber", slots.size()}}});
    }
    for (const TCommand &command : f_.Commands) {
        if (command.Lines.size() != 1)
            continue;
        const TCommandLine &step = command.Lines[0];
        const TParameter *target = StartsWith(step.ChannelName, "#")
                                       ? f_.ParameterByPatch(std::atoi(step.ChannelName.String().c_str() + 1))
                                       : f_.ParameterByName(step.ChannelName);
        if (!target || target->InternalPatch != attribute.InternalPatch)
            continue;
        commandsExported_[&command] = true;
        Json capability = {{"type", "Maintenance"}, {"comment", Utf8(command.Name)}};
        if (step.Time > 0)
            capability["hold"] = std::to_string(step.Time) + "ms";
        points.push_back({onScale(step.Value), capability});
    }
    std::stable_sort(points.begin(), points.end(), [](const TPoint &a, const TPoint &b) { return a.Value < b.Value; });

    // A wheel has two slots at least; one of an unknown gobo keeps a gobo wheel without palettes one.
    const bool wheeled = !slots.empty() || attribute.ChannelType == ctGobo;
    if (wheeled) {
        if (slots.empty())
            slots.push_back({{"type", "Gobo"}});
        if (slots.size() == 1)
            slots.push_back({{"type", "Open"}});
        wheels_[wheel] = {{"slots", slots}};
    }
    const Json base = BaseCapability(attribute, wheeled ? wheel : "");
    Json capabilities = Json::array();
    const auto add = [&](int64_t from, int64_t to, Json capability) {
        if (from > to)
            return;
        Json ranged = {{"dmxRange", {from, to}}};
        ranged.update(capability);
        capabilities.push_back(std::move(ranged));
    };
    int64_t next = std::min(low, points.empty() ? low : points.front().Value);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].Value < next) {
            report_.push_back("Channel \"" + key + "\": \"" + points[i].Capability.value("comment", "") +
                              points[i].Capability.value("wheel", "") + "\" shares its value with the one before.");
            continue;
        }
        add(next, points[i].Value - 1, base);
        const int64_t end = i + 1 < points.size() ? std::max(points[i + 1].Value - 1, points[i].Value)
                                                  : std::max(high, points[i].Value);
        add(points[i].Value, end, points[i].Capability);
        next = end + 1;
    }
    add(next, high, base);

    // Outside the range the channel does nothing, and a list holds two capabilities at least.
    const int64_t full = wide ? 65535 : 255;
    if (capabilities.empty())
        add(0, full, {{"type", "NoFunction"}});
    if (capabilities.front()["dmxRange"][0] > 0)
        capabilities.insert(
            capabilities.begin(),
            Json{{"dmxRange", {0, capabilities.front()["dmxRange"][0].get<int64_t>() - 1}}, {"type", "NoFunction"}});
    if (capabilities.back()["dmxRange"][1] < full)
        capabilities.push_back(
            {{"dmxRange", {capabilities.back()["dmxRange"][1].get<int64_t>() + 1, full}}, {"type", "NoFunction"}});
    Json channel = Json::object();
    if (wide)
        channel["fineChannelAliases"] = Json::array({key + " fine"});
    if (capabilities.size() == 1) {
        capabilities[0].erase("dmxRange");
        channel["capability"] = capabilities[0];
    } else {
        channel["capabilities"] = capabilities;
    }
    channels_[key] = channel;
    return key;
}

Json TExport::Run()
{
    Json fixture = {{"$schema", "https://raw.githubusercontent.com/OpenLightingProject/open-fixture-library/master/"
                                "schemas/fixture.json"},
                    {"name", f_.Name.empty() ? "Fixture" : Utf8(f_.Name)}};
    const char *category = f_.FixtureType == ftMovingHead     ? "Moving Head"
                           : f_.FixtureType == ftMovingMirror ? "Scanner"
                           : f_.FixtureType == ftDimmer       ? "Dimmer"
                                                              : "Other";
    fixture["categories"] = Json::array({category});
    const std::string date = IsoDate(f_.Date > 1 ? f_.Date : Now());
    fixture["meta"] = {{"authors", Json::array({f_.Author.empty() ? "Unknown" : Utf8(f_.Author)})},
                       {"createDate", date},
                       {"lastModifyDate", date}};
    if (!f_.Comments.empty()) {
        std::string comment = Utf8(f_.Comments);
        for (std::size_t at = 0; (at = comment.find("\r\n", at)) != std::string::npos;)
            comment.erase(at, 1);
        fixture["comment"] = comment;
    }

    int64_t count = f_.DmxChannels;
    std::vector<const TParameter *> attributes;
    for (const auto &entry : f_.Attributes.Entries())
        if (!entry.Parameter->IsLowPart) {
            attributes.push_back(entry.Parameter.get());
            count = std::max<int64_t>({count, entry.Parameter->InternalPatch, entry.Parameter->InternalPatchLow});
        }
    Json modeChannels = Json::array();
    for (int64_t i = 0; i < count; ++i)
        modeChannels.push_back(nullptr);
    for (const TParameter *attribute : attributes) {
        if (attribute->InternalPatch == 0) {
            report_.push_back("Attribute \"" + attribute->Name + "\" has no channel (internal patch 0).");
            continue;
        }
        const std::string key = Channel(*attribute);
        modeChannels[attribute->InternalPatch - 1] = key;
        if (attribute->Width == 16 && attribute->InternalPatchLow != 0)
            modeChannels[attribute->InternalPatchLow - 1] = key + " fine";
    }
    for (const TPalette &palette : f_.Palettes)
        if (!exported_.count(&palette))
            report_.push_back("Palette \"" + palette.Name + "\" (" +
                              std::string(names::Of(names::PaletteType, palette.PaletteType)) +
                              ") has no counterpart: only colour, gobo and prism palettes of one channel have one.");
    for (const TCommand &command : f_.Commands)
        if (!commandsExported_.count(&command))
            report_.push_back("Command \"" + command.Name +
                              "\" has no counterpart: only commands of one step have one.");
    if (!wheels_.empty())
        fixture["wheels"] = wheels_;
    fixture["availableChannels"] = channels_;
    fixture["modes"] = Json::array({{{"name", std::to_string(count) + "-channel"},
                                     {"shortName", std::to_string(count) + "ch"},
                                     {"channels", modeChannels}}});
    return fixture;
}

} // namespace

nlohmann::ordered_json ExportOfl(const TFixture &fixture, std::vector<std::string> &report)
{
    return TExport(fixture, report).Run();
}
