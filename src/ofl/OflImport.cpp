#include "OflImport.h"

#include "OflText.h"
#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

using Json = nlohmann::ordered_json;

namespace {

// Whether the text names lamp on, lamp off or reset as words of their own, in any letter case,
// with or without blanks between "lamp" and "on" or "off".
bool NamesAMaintenanceCommand(const std::string &text)
{
    std::string lower(text);
    for (char &ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const auto inWord = [&](std::size_t at) {
        return at < lower.size() && (std::isalnum(static_cast<unsigned char>(lower[at])) || lower[at] == '_');
    };
    const auto wordAt = [&](std::size_t at, std::string_view word) {
        return lower.compare(at, word.size(), word) == 0 && !inWord(at + word.size());
    };
    for (std::size_t at = 0; at < lower.size(); ++at) {
        if (at > 0 && inWord(at - 1))
            continue;
        if (wordAt(at, "reset"))
            return true;
        if (lower.compare(at, 4, "lamp") == 0) {
            std::size_t next = at + 4;
            while (next < lower.size() && std::isspace(static_cast<unsigned char>(lower[next])))
                ++next;
            if (wordAt(next, "on") || wordAt(next, "off"))
                return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Matrices: pixel keys and the channels their templates resolve to

constexpr std::string_view PixelKeyVariable = "$pixelKey";

std::string WithPixelKey(std::string text, const std::string &pixelKey)
{
    for (std::size_t at = 0; (at = text.find(PixelKeyVariable, at)) != std::string::npos; at += pixelKey.size())
        text.replace(at, PixelKeyVariable.size(), pixelKey);
    return text;
}

struct TPixel {
    std::string Key;
    std::array<int, 3> Position; // x, y, z from 1
};

struct TMatrix {
    std::vector<TPixel> Pixels; // x fastest, then y, then z
    std::vector<std::string> Groups;
};

TMatrix MatrixOf(const Json &fixture)
{
    TMatrix matrix;
    const auto found = fixture.find("matrix");
    if (found == fixture.end())
        return matrix;
    const Json &m = *found;
    if (m.contains("pixelCount")) {
        const std::array<int, 3> count = {m["pixelCount"][0].get<int>(), m["pixelCount"][1].get<int>(),
                                          m["pixelCount"][2].get<int>()};
        const int dimensions = (count[0] > 1) + (count[1] > 1) + (count[2] > 1);
        for (int z = 1; z <= count[2]; ++z)
            for (int y = 1; y <= count[1]; ++y)
                for (int x = 1; x <= count[0]; ++x) {
                    std::string key;
                    if (dimensions <= 1)
                        key = std::to_string(count[0] > 1 ? x : count[1] > 1 ? y : z);
                    else
                        key = "(" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) + ")";
                    matrix.Pixels.push_back({key, {x, y, z}});
                }
    } else if (m.contains("pixelKeys")) {
        const Json &layers = m["pixelKeys"];
        for (std::size_t z = 0; z < layers.size(); ++z)
            for (std::size_t y = 0; y < layers[z].size(); ++y)
                for (std::size_t x = 0; x < layers[z][y].size(); ++x)
                    if (layers[z][y][x].is_string())
                        matrix.Pixels.push_back(
                            {layers[z][y][x].get<std::string>(), {int(x) + 1, int(y) + 1, int(z) + 1}});
    }
    if (m.contains("pixelGroups"))
        for (const auto &[key, group] : m["pixelGroups"].items())
            matrix.Groups.push_back(key);
    return matrix;
}

// Digits compare as numbers, so that "Pixel 2" comes before "Pixel 10".
bool NaturalLess(const std::string &a, const std::string &b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            const std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (na != nb)
                return na < nb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::vector<std::string> RepeatFor(const Json &repeatFor, const TMatrix &matrix)
{
    std::vector<std::string> keys;
    if (repeatFor.is_array()) {
        for (const Json &key : repeatFor)
            keys.push_back(key.get<std::string>());
        return keys;
    }
    const std::string how = repeatFor.get<std::string>();
    if (how == "eachPixelGroup")
        return matrix.Groups;
    for (const TPixel &pixel : matrix.Pixels)
        keys.push_back(pixel.Key);
    if (how == "eachPixelABC") {
        std::stable_sort(keys.begin(), keys.end(), NaturalLess);
        return keys;
    }
    // "eachPixelXYZ" and its permutations: the first axis named changes fastest.
    const std::string axes = how.substr(how.size() - 3);
    std::vector<TPixel> pixels = matrix.Pixels;
    std::stable_sort(pixels.begin(), pixels.end(), [&](const TPixel &a, const TPixel &b) {
        for (int i = 2; i >= 0; --i) {
            const int axis = axes[i] - 'X';
            if (a.Position[axis] != b.Position[axis])
                return a.Position[axis] < b.Position[axis];
        }
        return false;
    });
    keys.clear();
    for (const TPixel &pixel : pixels)
        keys.push_back(pixel.Key);
    return keys;
}

// ---------------------------------------------------------------------------------------------
// Channels by the keys a mode lists

struct TChannelRef {
    const Json *Channel = nullptr;
    std::string Key;        // the channel's own key, its pixel key filled in
    std::string PixelKey;   // for a template channel
    std::size_t Fine = 0;   // 0 for the channel itself, n for its n-th fine alias
    std::string SwitchedBy; // for a switching channel: the key of the channel it depends on
    std::string Alias;      // for a switching channel: the key the mode lists
};

int Resolution(const Json &channel)
{
    const auto found = channel.find("dmxValueResolution");
    if (found != channel.end() && found->is_string()) {
        const std::string text = found->get<std::string>();
        return text == "24bit" ? 3 : text == "16bit" ? 2 : 1;
    }
    const auto fine = channel.find("fineChannelAliases");
    return 1 + static_cast<int>(fine == channel.end() ? 0 : fine->size());
}

class TChannelTable {
public:
    TChannelTable(const Json &fixture, const TMatrix &matrix)
    {
        if (const auto found = fixture.find("availableChannels"); found != fixture.end())
            for (const auto &[key, channel] : found->items())
                Register(key, channel, "");
        if (const auto found = fixture.find("templateChannels"); found != fixture.end()) {
            std::vector<std::string> pixelKeys;
            for (const TPixel &pixel : matrix.Pixels)
                pixelKeys.push_back(pixel.Key);
            pixelKeys.insert(pixelKeys.end(), matrix.Groups.begin(), matrix.Groups.end());
            for (const auto &[key, channel] : found->items())
                for (const std::string &pixelKey : pixelKeys)
                    Register(key, channel, pixelKey);
        }
        ResolveSwitches();
    }

    const TChannelRef *Find(const std::string &key) const
    {
        const auto found = refs_.find(key);
        if (found != refs_.end())
            return &found->second;
        const auto switched = switching_.find(key);
        return switched == switching_.end() ? nullptr : &switched->second;
    }

private:
    // Channels of their own are registered first and win over a template resolved to the same key.
    void Register(const std::string &templateKey, const Json &channel, const std::string &pixelKey)
    {
        const std::string key = WithPixelKey(templateKey, pixelKey);
        if (!refs_.emplace(key, TChannelRef{&channel, key, pixelKey, 0, {}, {}}).second)
            return;
        if (const auto fine = channel.find("fineChannelAliases"); fine != channel.end())
            for (std::size_t i = 0; i < fine->size(); ++i)
                refs_.emplace(WithPixelKey((*fine)[i].get<std::string>(), pixelKey),
                              TChannelRef{&channel, key, pixelKey, i + 1, {}, {}});
        // A switching channel is taken as what it is while its channel stands at its default.
        const auto capabilities = channel.find("capabilities");
        if (capabilities == channel.end())
            return;
        const int shift = 8 * (Resolution(channel) - 1);
        const auto given = channel.find("defaultValue");
        const int64_t standing = given != channel.end() && given->is_number_integer() ? given->get<int64_t>() : 0;
        for (const Json &capability : *capabilities) {
            const auto switches = capability.find("switchChannels");
            if (switches == capability.end())
                continue;
            const Json &range = capability["dmxRange"];
            const bool atDefault = (range[0].get<int64_t>() >> shift) <= (standing >> shift) &&
                                   (standing >> shift) <= (range[1].get<int64_t>() >> shift);
            for (const auto &[alias, target] : switches->items()) {
                const std::string aliasKey = WithPixelKey(alias, pixelKey);
                auto &slot = switchTargets_[aliasKey];
                if (slot.second.empty() || atDefault)
                    slot = {key, WithPixelKey(target.get<std::string>(), pixelKey)};
            }
        }
    }

    // Once every channel is known: a switching channel as the channel it stands for.
    void ResolveSwitches()
    {
        for (const auto &[alias, target] : switchTargets_)
            if (const auto found = refs_.find(target.second); found != refs_.end()) {
                TChannelRef ref = found->second;
                ref.SwitchedBy = target.first;
                switching_.emplace(alias, ref);
            }
    }

    std::unordered_map<std::string, TChannelRef> refs_;
    std::unordered_map<std::string, TChannelRef> switching_;
    std::unordered_map<std::string, std::pair<std::string, std::string>> switchTargets_; // dependency, target
};

// The keys of a mode's channels in order, inserts of matrix channels expanded; null for a free one.
std::vector<std::optional<std::string>> ModeChannels(const Json &mode, const TMatrix &matrix)
{
    std::vector<std::optional<std::string>> keys;
    for (const Json &entry : mode["channels"]) {
        if (entry.is_null()) {
            keys.emplace_back();
        } else if (entry.is_string()) {
            keys.emplace_back(entry.get<std::string>());
        } else {
            const std::vector<std::string> pixels = RepeatFor(entry["repeatFor"], matrix);
            const Json &templates = entry["templateChannels"];
            if (entry.value("channelOrder", "perPixel") == "perChannel") {
                for (const Json &channel : templates)
                    for (const std::string &pixel : pixels)
                        keys.emplace_back(WithPixelKey(channel.get<std::string>(), pixel));
            } else {
                for (const std::string &pixel : pixels)
                    for (const Json &channel : templates)
                        keys.emplace_back(WithPixelKey(channel.get<std::string>(), pixel));
            }
        }
    }
    return keys;
}

// ---------------------------------------------------------------------------------------------
// Capabilities

struct TCapability {
    const Json *Data = nullptr;
    std::string Type;
    int64_t Start = 0, End = 0; // at the channel's resolution
};

std::vector<TCapability> CapabilitiesOf(const Json &channel)
{
    std::vector<TCapability> list;
    if (const auto many = channel.find("capabilities"); many != channel.end()) {
        for (const Json &c : *many)
            list.push_back(
                {&c, c["type"].get<std::string>(), c["dmxRange"][0].get<int64_t>(), c["dmxRange"][1].get<int64_t>()});
    } else if (const auto one = channel.find("capability"); one != channel.end()) {
        list.push_back({&*one, (*one)["type"].get<std::string>(), 0, (int64_t(1) << (8 * Resolution(channel))) - 1});
    }
    return list;
}

// The kind of attribute a capability stands for; 0 for one that makes no kind of its own.
uint8_t KindOfType(const std::string &type)
{
    if (type == "Intensity")
        return ctIntensity;
    if (type == "Pan" || type == "Tilt" || type == "PanContinuous" || type == "TiltContinuous")
        return ctPanTilt;
    if (type == "ColorIntensity" || type == "ColorPreset" || type == "ColorTemperature")
        return ctColour;
    if (type == "Prism" || type == "PrismRotation")
        return ctPrism;
    if (StartsWith(type, "Blade"))
        return ctBlade;
    return 0;
}

bool IsWheelType(const std::string &type)
{
    return type == "WheelSlot" || type == "WheelShake" || type == "WheelSlotRotation" || type == "WheelRotation";
}

// A time entity in milliseconds ("3s", "500ms", "instant").
std::optional<int32_t> Milliseconds(const Json &entity)
{
    if (!entity.is_string())
        return std::nullopt;
    const std::string text = entity.get<std::string>();
    if (text == "instant")
        return 0;
    std::size_t used = 0;
    double number = 0;
    try {
        number = std::stod(text, &used);
    } catch (const std::exception &) {
        return std::nullopt;
    }
    const std::string unit = text.substr(used);
    if (unit == "ms")
        return static_cast<int32_t>(std::lround(number));
    if (unit == "s")
        return static_cast<int32_t>(std::lround(number * 1000));
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------
// One mode made a fixture

struct TWheel {
    const Json *Slots = nullptr;
    uint8_t Kind = 0;
};

class TModeImport {
public:
    TModeImport(const TOflFixture &source, std::size_t modeIndex, int formatVersion)
        : source_(source), json_(source.Json()), mode_(json_["modes"][modeIndex]), matrix_(MatrixOf(json_)),
          channels_(json_, matrix_), format_(formatVersion)
    {
    }

    TOflImport Run();

private:
    void BaseData();
    void Attribute(std::size_t position, const TChannelRef &ref, std::size_t lowPatch);
    uint8_t KindOf(const std::vector<TCapability> &caps, const std::string &wheelName) const;
    TWheel WheelOf(const TCapability &cap, const std::string &wheelName) const;
    // Palettes and commands of the capabilities that are presets; true when the capability became one.
    bool Preset(const TParameter &attribute, const TCapability &cap, const std::string &wheelName, int shift);
    void AddPalette(const TParameter &attribute, std::string name, uint8_t type, int64_t value, const Json *colour);
    int32_t Scaled(const TParameter &attribute, int64_t raw, int shift) const;

    const TOflFixture &source_;
    const Json &json_;
    const Json &mode_;
    TMatrix matrix_;
    TChannelTable channels_;
    int format_;
    TOflImport result_;
    std::unordered_set<std::string, TCaseInsensitiveHash, TCaseInsensitiveEqual> names_, commands_;
    std::string defaults_; // the channels that have such values
    // The angles the pan and the tilt capabilities give, lowest and highest; when the file gives
    // no focus data, they are the fixture's pan and tilt range.
    std::array<std::optional<std::pair<double, double>>, 2> angles_;
    bool focusGiven_ = false;
};

// An angle entity in degrees ("-270deg"); nothing for a percentage.
std::optional<double> Degrees(const Json &capability, const char *key)
{
    const auto found = capability.find(key);
    if (found == capability.end() || !found->is_string())
        return std::nullopt;
    const std::string text = found->get<std::string>();
    if (text.size() < 4 || text.compare(text.size() - 3, 3, "deg") != 0)
        return std::nullopt;
    try {
        return std::stod(text);
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

TOflImport TModeImport::Run()
{
    const std::vector<std::optional<std::string>> keys = ModeChannels(mode_, matrix_);
    const std::string modeName = mode_["name"].get<std::string>();
    if (keys.size() > OflMaxChannels)
        throw EOflError("Mode \"" + modeName + "\" has " + std::to_string(keys.size()) + " channels; a fixture holds " +
                        std::to_string(OflMaxChannels) + " at most.");
    TFixture &f = result_.Fixture;
    f.FormatVersion = format_;
    f.DmxChannels = static_cast<int32_t>(keys.size());
    BaseData();

    std::unordered_map<std::string, std::size_t> positions;
    std::vector<const TChannelRef *> refs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i]) {
            positions.emplace(*keys[i], i + 1);
            refs[i] = channels_.Find(*keys[i]);
            if (!refs[i])
                throw EOflError("Mode \"" + modeName + "\" uses the channel \"" + *keys[i] +
                                "\", which the file does not define.");
        }
    // A channel's first fine channel in the mode is its low byte.
    std::vector<std::size_t> lows(keys.size());
    std::vector<bool> isLow(keys.size() + 1);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (refs[i] && refs[i]->Fine == 0)
            if (const auto fine = refs[i]->Channel->find("fineChannelAliases"); fine != refs[i]->Channel->end())
                if (const auto at = positions.find(WithPixelKey((*fine)[0].get<std::string>(), refs[i]->PixelKey));
                    at != positions.end() && !isLow[at->second]) {
                    lows[i] = at->second;
                    isLow[at->second] = true;
                }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!refs[i] || isLow[i + 1])
            continue;
        TChannelRef own = *refs[i];
        if (own.Fine != 0) {
            result_.Report.push_back("Channel \"" + *keys[i] + "\": a fine channel that no 16-bit attribute holds; " +
                                     "it is an attribute of its own, without the meaning of its ranges.");
            own.Key = *keys[i];
        }
        if (!own.SwitchedBy.empty()) {
            own.Alias = *keys[i];
            result_.Report.push_back("Channel \"" + *keys[i] + "\" switches with \"" + own.SwitchedBy +
                                     "\": it is taken as \"" + own.Key +
                                     "\"; what it does at other settings has no counterpart.");
        }
        Attribute(i + 1, own, lows[i]);
    }
    if (!focusGiven_) {
        for (const auto &[range, low, high] : {std::tuple{angles_[0], &f.PanAngleMin, &f.PanAngleMax},
                                               std::tuple{angles_[1], &f.TiltAngleMin, &f.TiltAngleMax}})
            if (range) {
                *low = static_cast<int32_t>(std::lround(range->first));
                *high = static_cast<int32_t>(std::lround(range->second));
            }
    }
    if (!defaults_.empty())
        result_.Report.push_back("Default, highlight and constant values have no counterpart: " + defaults_ + ".");
    if (json_.contains("rdm") || mode_.contains("rdmPersonalityIndex"))
        result_.Report.push_back("RDM data has no counterpart.");
    if (json_.contains("matrix"))
        result_.Report.push_back("The arrangement of the pixels has no counterpart.");
    // The lines quote the file, whose texts are UTF-8.
    for (std::string &line : result_.Report)
        line = Utf8ToCp1252(line);
    return std::move(result_);
}

void TModeImport::BaseData()
{
    TFixture &f = result_.Fixture;
    f.Name = OflText(json_["name"].get<std::string>());
    if (json_["modes"].size() > 1)
        f.Name += " (" + OflText(mode_["name"].get<std::string>()) + ")";
    f.Brand = OflText(source_.Manufacturer());
    f.FixtureType = ftOther;
    for (const Json &category : json_.value("categories", Json::array())) {
        const std::string name = category.get<std::string>();
        if (name == "Moving Head")
            f.FixtureType = ftMovingHead;
        else if (name == "Scanner" || name == "Barrel Scanner")
            f.FixtureType = ftMovingMirror;
        else if (name == "Dimmer")
            f.FixtureType = ftDimmer;
        else
            continue;
        break;
    }
    if (const auto meta = json_.find("meta"); meta != json_.end() && meta->contains("authors")) {
        std::string authors;
        for (const Json &author : (*meta)["authors"])
            authors += (authors.empty() ? "" : ", ") + author.get<std::string>();
        f.Author = OflText(authors);
    }
    if (const auto comment = json_.find("comment"); comment != json_.end()) {
        if (format_ == 1)
            result_.Report.push_back("The fixture's comment has no place in a format 1.0 file.");
        else
            f.Comments = OflComment(comment->get<std::string>());
    }
    Json physical = json_.value("physical", Json::object());
    if (const auto own = mode_.find("physical"); own != mode_.end())
        physical.update(*own, true);
    const Json focus = physical.value("focus", Json::object());
    for (const auto &[key, angle] : {std::pair{"panMax", &f.PanAngleMax}, std::pair{"tiltMax", &f.TiltAngleMax}}) {
        const auto found = focus.find(key);
        if (found == focus.end())
            continue;
        focusGiven_ = true;
        if (found->is_number())
            *angle = static_cast<int32_t>(std::lround(found->get<double>()));
        else
            result_.Report.push_back(std::string("The ") + (key[0] == 'p' ? "pan" : "tilt") + " range \"" +
                                     found->dump() + "\" has no counterpart.");
    }
    physical.erase("focus");
    if (!physical.empty()) {
        std::string what;
        for (const auto &[key, value] : physical.items())
            what += (what.empty() ? "" : ", ") + key;
        result_.Report.push_back("Physical data (" + what + ") has no counterpart.");
    }
}

TWheel TModeImport::WheelOf(const TCapability &cap, const std::string &wheelName) const
{
    std::string name = wheelName;
    if (const auto wheel = cap.Data->find("wheel"); wheel != cap.Data->end())
        name = wheel->is_array() ? (*wheel)[0].get<std::string>() : wheel->get<std::string>();
    const auto wheels = json_.find("wheels");
    const bool known = wheels != json_.end() && wheels->contains(name);
    TWheel wheel{known ? &(*wheels)[name]["slots"] : nullptr, 0};
    std::array<int, 6> counts{};
    for (const Json &slot : known ? *wheel.Slots : Json::array()) {
        const std::string type = slot["type"].get<std::string>();
        if (type == "Color")
            ++counts[ctColour - 1];
        else if (type == "Gobo" || type == "AnimationGoboStart")
            ++counts[ctGobo - 1];
        else if (type == "Prism")
            ++counts[ctPrism - 1];
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    if (*most > 0) {
        wheel.Kind = static_cast<uint8_t>(most - counts.begin() + 1);
    } else {
        const std::string lower = LowerCase(name);
        wheel.Kind = lower.find("gobo") != std::string::npos    ? uint8_t(ctGobo)
                     : lower.find("colo") != std::string::npos  ? uint8_t(ctColour)
                     : lower.find("prism") != std::string::npos ? uint8_t(ctPrism)
                                                                : uint8_t(0);
    }
    return wheel;
}

uint8_t TModeImport::KindOf(const std::vector<TCapability> &caps, const std::string &wheelName) const
{
    for (const TCapability &cap : caps) {
        const uint8_t kind = IsWheelType(cap.Type) ? WheelOf(cap, wheelName).Kind : KindOfType(cap.Type);
        if (kind != 0)
            return kind;
    }
    return 0;
}

int32_t TModeImport::Scaled(const TParameter &attribute, int64_t raw, int shift) const
{
    // shift turns a value of the channel's resolution into one of the attribute's width.
    const int64_t value = shift >= 0 ? raw >> shift : raw << -shift;
    return static_cast<int32_t>(attribute.Width == 16 ? std::clamp<int64_t>(value, 0, 65535)
                                                      : std::clamp<int64_t>(value, 0, 255) * 257);
}

void TModeImport::AddPalette(const TParameter &attribute, std::string name, uint8_t type, int64_t value,
                             const Json *colour)
{
    TFixture &f = result_.Fixture;
    name = OflText(name);
    if (name.empty())
        name = "Palette";
    std::string unique = name;
    for (int n = 2; f.FindPalette(unique, type); ++n)
        unique = name + " " + std::to_string(n);
    TPalette &palette = f.AddPalette(unique, type);
    palette.SetValue(attribute.Name, static_cast<int32_t>(value));
    if (colour && colour->is_string()) {
        const std::string hex = colour->get<std::string>();
        if (hex.size() == 7 && hex[0] == '#') {
            const long rgb = std::strtol(hex.c_str() + 1, nullptr, 16);
            palette.Red = static_cast<int32_t>((rgb >> 16) & 255);
            palette.Green = static_cast<int32_t>((rgb >> 8) & 255);
            palette.Blue = static_cast<int32_t>(rgb & 255);
        }
    }
}

bool TModeImport::Preset(const TParameter &attribute, const TCapability &cap, const std::string &wheelName, int shift)
{
    const Json &c = *cap.Data;
    const int32_t value = Scaled(attribute, cap.Start, shift);
    const std::string comment = c.value("comment", "");
    if (cap.Type == "ColorPreset") {
        if (!c.contains("colors") || c["colors"].empty())
            return false;
        AddPalette(attribute, comment.empty() ? "Colour" : comment, ptColour, value, &c["colors"][0]);
        return true;
    }
    if (cap.Type == "WheelSlot") {
        const auto number = c.find("slotNumber");
        if (number == c.end() || !number->is_number_integer())
            return false;
        const TWheel wheel = WheelOf(cap, wheelName);
        const int64_t index = number->get<int64_t>() - 1;
        if (!wheel.Slots || index < 0 || index >= static_cast<int64_t>(wheel.Slots->size()))
            return false;
        const Json &slot = (*wheel.Slots)[static_cast<std::size_t>(index)];
        const std::string type = slot["type"].get<std::string>();
        std::string name = slot.value("name", "");
        if (type == "Open" && wheel.Kind >= ctColour && wheel.Kind <= ctPrism) {
            AddPalette(attribute, "Open", wheel.Kind, value, nullptr);
        } else if (type == "Color") {
            const Json *colour = slot.contains("colors") && !slot["colors"].empty() ? &slot["colors"][0] : nullptr;
            AddPalette(attribute,
                       !name.empty()      ? name
                       : !comment.empty() ? comment
                                          : "Colour " + std::to_string(index + 1),
                       ptColour, value, colour);
        } else if (type == "Gobo" || type == "AnimationGoboStart") {
            if (name.empty() && slot.contains("resource") && slot["resource"].is_string()) {
                name = slot["resource"].get<std::string>();
                name = name.substr(name.rfind('/') + 1);
                std::replace(name.begin(), name.end(), '-', ' ');
            }
            AddPalette(attribute,
                       !name.empty()      ? name
                       : !comment.empty() ? comment
                                          : "Gobo " + std::to_string(index + 1),
                       ptGobo, value, nullptr);
        } else if (type == "Prism") {
            if (name.empty() && slot.contains("facets"))
                name = std::to_string(slot["facets"].get<int>()) + "-facet prism";
            AddPalette(attribute, !name.empty() ? name : !comment.empty() ? comment : "Prism", ptPrism, value, nullptr);
        } else {
            return false;
        }
        return true;
    }
    if (cap.Type == "Maintenance") {
        if (!NamesAMaintenanceCommand(comment))
            return false;
        const std::string base = OflText(comment);
        std::string name = base;
        for (int n = 2; commands_.count(name); ++n)
            name = base + " " + std::to_string(n);
        commands_.insert(name);
        const std::optional<int32_t> hold = c.contains("hold") ? Milliseconds(c["hold"]) : std::nullopt;
        result_.Fixture.AddCommand(name).AddLine(attribute.Name, value, hold.value_or(0));
        return true;
    }
    return false;
}

void TModeImport::Attribute(std::size_t position, const TChannelRef &ref, std::size_t lowPatch)
{
    const Json &channel = *ref.Channel;
    const std::string ownName = !ref.Alias.empty() ? ref.Alias
                                : channel.contains("name") && ref.Fine == 0
                                    ? WithPixelKey(channel["name"].get<std::string>(), ref.PixelKey)
                                    : ref.Key;
    auto p = std::make_unique<TParameter>();
    std::string name = OflAttributeName(ownName);
    if (name.empty())
        name = "Channel " + std::to_string(position);
    p->Name = name;
    for (int n = 2; names_.count(p->Name); ++n)
        p->Name = name + " " + std::to_string(n);
    names_.insert(p->Name);
    p->Priority = 1;
    p->Width = lowPatch ? 16 : 8;
    p->InternalPatch = static_cast<uint16_t>(position);
    p->InternalPatchLow = static_cast<uint16_t>(lowPatch);
    p->Path = pathLinear;
    p->Inherit = true;
    p->ShowOnEditor = true;
    p->Order = static_cast<uint8_t>(result_.Fixture.NextOrder());
    if (channel.contains("defaultValue") || channel.contains("highlightValue") || channel.contains("constant"))
        defaults_ += (defaults_.empty() ? "" : ", ") + ref.Key;

    const int resolution = Resolution(channel);
    const int shift = 8 * (resolution - p->Width / 8);
    const std::vector<TCapability> caps = CapabilitiesOf(channel);
    // The wheel of a capability that names none is the one named after the channel.
    const std::string wheelName = ref.Key;
    const uint8_t kind = ref.Fine == 0 ? KindOf(caps, wheelName) : 0;
    const bool intensity = kind == ctIntensity && std::find_if(caps.begin(), caps.end(), [](const TCapability &c) {
                                                      return c.Type == "Intensity";
                                                  }) != caps.end();
    p->ChannelType = kind == 0 ? uint8_t(ctIntensity) : kind;
    p->ControlType = intensity ? ctlHTP : ctlLTP;
    int64_t low = 0, high = (int64_t(1) << (8 * resolution)) - 1;
    // The range is where the channel does something.
    if (ref.Fine == 0 &&
        std::any_of(caps.begin(), caps.end(), [](const TCapability &c) { return c.Type != "NoFunction"; })) {
        low = high;
        high = 0;
        for (const TCapability &cap : caps)
            if (cap.Type != "NoFunction") {
                low = std::min(low, cap.Start);
                high = std::max(high, cap.End);
            }
    }
    const int toEightBit = 8 * (resolution - 1);
    p->DmxMin = static_cast<uint16_t>(std::clamp<int64_t>(low >> toEightBit, 0, 255));
    p->DmxMax = static_cast<uint16_t>(std::clamp<int64_t>(high >> toEightBit, 0, 255));
    TParameter &attribute = *p;
    result_.Fixture.AddParameter(std::move(p));
    if (ref.Fine != 0)
        return;

    // What the channel does beyond its kind: presets become palettes and commands, the rest is named.
    std::string lost;
    const std::string firstType = [&] {
        for (const TCapability &cap : caps)
            if (cap.Type != "NoFunction")
                return cap.Type;
        return std::string();
    }();
    for (const TCapability &cap : caps) {
        if (cap.Type == "Pan" || cap.Type == "Tilt")
            for (const char *key : {"angle", "angleStart", "angleEnd"})
                if (const std::optional<double> angle = Degrees(*cap.Data, key)) {
                    auto &range = angles_[cap.Type == "Tilt"];
                    range = range ? std::pair{std::min(range->first, *angle), std::max(range->second, *angle)}
                                  : std::pair{*angle, *angle};
                }
        if (Preset(attribute, cap, wheelName, shift) || cap.Type == "NoFunction")
            continue;
        const bool ownKind =
            kind != 0
                ? (IsWheelType(cap.Type) ? WheelOf(cap, wheelName).Kind : KindOfType(cap.Type)) == kind &&
                      cap.Type != "ColorPreset" && cap.Type != "WheelSlot"
                : caps.size() == 1 || (cap.Type == firstType && cap.Type != "Effect" && cap.Type != "Maintenance");
        if (ownKind)
            continue;
        lost += (lost.empty() ? "" : ", ") + cap.Type + " " + std::to_string(cap.Start) + "-" + std::to_string(cap.End);
        if (const auto comment = cap.Data->find("comment"); comment != cap.Data->end())
            lost += " \"" + comment->get<std::string>() + "\"";
    }
    if (!lost.empty())
        result_.Report.push_back("Channel \"" + ref.Key + "\": no counterpart for " + lost + ".");
}

} // namespace

// ---------------------------------------------------------------------------------------------

EOflError::EOflError(const std::string &utf8) : std::runtime_error(Utf8ToCp1252(utf8)) {}

TOflFixture::TOflFixture(nlohmann::ordered_json json, std::string manufacturer)
    : json_(std::move(json)), manufacturer_(std::move(manufacturer))
{
    if (!json_.is_object() || !json_.contains("modes") || !json_["modes"].is_array() || !json_.contains("name")) {
        if (json_.is_object() && json_.contains("redirectTo"))
            throw EOflError("The file holds no fixture: it refers to \"" + json_["redirectTo"].dump() + "\".");
        throw EOflError("The file holds no fixture of the Open Fixture Library.");
    }
}

TOflFixture TOflFixture::Read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EOflError("Cannot open the file.");
    nlohmann::ordered_json json;
    try {
        json = nlohmann::ordered_json::parse(in);
    } catch (const nlohmann::json::exception &error) {
        throw EOflError(std::string("The file holds no JSON: ") + error.what());
    }
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    std::string manufacturer = directory.filename().string();
    std::ifstream makers(directory.parent_path() / "manufacturers.json", std::ios::binary);
    if (makers) {
        const nlohmann::json list = nlohmann::json::parse(makers, nullptr, false);
        if (list.is_object() && list.contains(manufacturer) && list[manufacturer].contains("name"))
            manufacturer = list[manufacturer]["name"].get<std::string>();
    }
    return TOflFixture(std::move(json), std::move(manufacturer));
}

std::vector<std::string> TOflFixture::ModeNames() const
{
    std::vector<std::string> names;
    for (const nlohmann::ordered_json &mode : json_["modes"])
        names.push_back(mode.value("name", ""));
    return names;
}

std::size_t TOflFixture::ChannelCount(std::size_t mode) const
{
    return ModeChannels(json_["modes"][mode], MatrixOf(json_)).size();
}

std::size_t TOflFixture::FindMode(const std::string &name) const
{
    const nlohmann::ordered_json &modes = json_["modes"];
    for (std::size_t i = 0; i < modes.size(); ++i)
        if (modes[i].value("name", "") == name || modes[i].value("shortName", "") == name)
            return i;
    throw EOflError("The fixture has no mode \"" + name + "\".");
}

TOflImport TOflFixture::Import(std::size_t mode, int formatVersion) const
{
    try {
        return TModeImport(*this, mode, formatVersion).Run();
    } catch (const nlohmann::json::exception &error) {
        throw EOflError(std::string("The file is no valid fixture: ") + error.what());
    } catch (const EFixtureError &error) {
        throw EOflError(Cp1252ToUtf8(error.what()));
    }
}
