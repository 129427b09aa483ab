#pragma once

// Building fixtures in tests and picking apart the text the writers make of them.

#include "model/FixClasses.h"
#include "model/FixConsts.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// An attribute by the columns of its line in a file, then what the line does not show.
struct TAttributeValues {
    std::string Name;
    int32_t Priority = 1;
    uint8_t ChannelType = ctIntensity;
    uint8_t ControlType = ctlHTP;
    uint8_t Width = 8;
    uint16_t Patch = 1;
    uint16_t Low = 0;
    uint8_t Path = pathLinear;
    uint16_t DmxMin = 0;
    uint16_t DmxMax = 255;
    bool Inherit = false;
    bool Show = true;
    uint8_t Order = 1;
};

inline TParameter &AddAttribute(TFixture &f, const TAttributeValues &s)
{
    auto p = std::make_unique<TParameter>();
    p->Name = s.Name;
    p->Priority = s.Priority;
    p->ChannelType = s.ChannelType;
    p->ControlType = s.ControlType;
    p->Width = s.Width;
    p->InternalPatch = s.Patch;
    p->InternalPatchLow = s.Low;
    p->Path = s.Path;
    p->DmxMin = s.DmxMin;
    p->DmxMax = s.DmxMax;
    p->Inherit = s.Inherit;
    p->ShowOnEditor = s.Show;
    p->Order = s.Order;
    TParameter &added = *p;
    f.AddParameter(std::move(p));
    return added;
}

// An attribute in one line, its columns in the order of a file: "Pan 2 PT LTP 16 1/2 LINEAR 0-255",
// then "inherit" and "hidden" where they hold and "low part" for the entry under the low patch.
inline std::string Describe(const TParameter &p)
{
    static const char *const channelTypes[] = {"??", "IN", "PT", "CO", "GB", "PR", "BL"};
    static const char *const controlTypes[] = {"??", "HTP", "LTP"};
    static const char *const paths[] = {"??", "LINEAR", "SNAP_START", "SNAP_END"};
    const auto code = [](const auto &list, int value) {
        return std::string(value < static_cast<int>(std::size(list)) ? list[value] : "??");
    };
    return p.Name + " " + std::to_string(p.Priority) + " " + code(channelTypes, p.ChannelType) + " " +
           code(controlTypes, p.ControlType) + " " + std::to_string(p.Width) + " " + std::to_string(p.InternalPatch) +
           "/" + std::to_string(p.InternalPatchLow) + " " + code(paths, p.Path) + " " + std::to_string(p.DmxMin) + "-" +
           std::to_string(p.DmxMax) + (p.Inherit ? " inherit" : "") + (p.ShowOnEditor ? "" : " hidden") +
           (p.IsLowPart ? " low part" : "");
}

inline TDateTime DateOf(int year, int month, int day)
{
    return *TryEncodeDate(year, month, day);
}

// Expected texts are typed with plain line feeds; the files have CR LF after every line.
inline std::string Dos(std::string_view text)
{
    std::string result;
    for (const char c : text) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

inline std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find("\r\n", from);
        lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        from = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

inline bool HasLine(const std::string &text, const std::string &line)
{
    for (const std::string &l : SplitLines(text))
        if (l == line)
            return true;
    return false;
}

// The lines after the first one that starts with start and skip more, up to the next empty line.
inline std::vector<std::string> LinesAfter(const std::string &text, std::string_view start, std::size_t skip = 0)
{
    const std::vector<std::string> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size() && lines[i].rfind(start, 0) != 0)
        ++i;
    std::vector<std::string> result;
    for (i += 1 + skip; i < lines.size() && !lines[i].empty(); ++i)
        result.push_back(lines[i]);
    return result;
}

// The last size characters of text, or all of it.
inline std::string Tail(const std::string &text, std::size_t size)
{
    return text.substr(text.size() - std::min(size, text.size()));
}

} // namespace testing_support
