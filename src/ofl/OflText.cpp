#include "OflText.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/CodePage.h"

#include <array>

namespace {

constexpr std::size_t LongestLine = 100;

std::string Cleaned(std::string text, std::string_view drop)
{
    std::string out;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 32 || drop.find(c) != std::string_view::npos)
            c = ' ';
        else if (c == '"')
            c = '\'';
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

std::string OflText(const std::string &utf8)
{
    return Cleaned(Utf8ToCp1252(utf8), {});
}

std::string OflComment(const std::string &utf8)
{
    std::string comments;
    const std::string text = Utf8ToCp1252(utf8);
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Cleaned(text.substr(start, end - start), {});
        // Long lines are broken at blanks, well within what the reader keeps.
        while (!line.empty() && line != "ENDCOMMENTS") {
            std::size_t cut = line.size() <= LongestLine ? line.size() : line.rfind(' ', LongestLine);
            if (cut == std::string::npos || cut == 0)
                cut = std::min(line.size(), LongestLine);
            comments += (comments.empty() ? "" : "\r\n") + line.substr(0, cut);
            line = Cleaned(line.substr(cut), {});
        }
        start = end + 1;
    }
    return comments;
}

std::string OflAttributeName(const std::string &utf8)
{
    std::string name = Cleaned(Utf8ToCp1252(utf8), ",=");
    while (!name.empty() && (name.front() == '#' || name.front() == ' '))
        name.erase(0, 1);
    constexpr std::array keywords = {kw::CommandName, kw::PaletteType,  kw::PaletteName,
                                     kw::PaletteDes,  kw::PaletteColor, kw::PaletteBitmap};
    for (const std::string_view keyword : keywords)
        if (StartsWithText(name, keyword))
            return "Channel " + name;
    return name;
}
