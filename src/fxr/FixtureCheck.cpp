#include "FixtureCheck.h"

#include "FixtureWriter.h"
#include "LineReader.h"
#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/Errors.h"
#include "platform/UserDialogs.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <limits>

std::vector<std::string> BaseDataFindings(const TFixture &fixture)
{
    std::vector<std::string> findings;
    if (static_cast<int64_t>(fixture.Attributes.Count()) > fixture.DmxChannels)
        findings.emplace_back("DMX channel value cannot be lower than the number of attributes");
    if (fixture.Name.empty())
        findings.emplace_back("Fixture must be filled");
    return findings;
}

std::vector<std::string> PatchFindings(const TFixture &fixture)
{
    // One flag for every patch an attribute can hold.
    std::bitset<std::numeric_limits<uint16_t>::max() + 1> taken;
    const auto claim = [&](uint16_t patch) {
        if (patch > fixture.DmxChannels || taken[patch])
            return false;
        taken[patch] = true;
        return true;
    };
    for (const auto &entry : fixture.Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (p.IsLowPart)
            continue;
        if (!claim(p.InternalPatch) || (p.Width > 8 && p.InternalPatchLow >= 2 && !claim(p.InternalPatchLow)))
            return {"parameter \"" + p.Name + "\": Internal patch error !"};
    }
    return {};
}

namespace {

// Why the file would not give the text back, or nothing.
std::string_view TextProblem(std::string_view text)
{
    if (text.find('"') != std::string_view::npos)
        return "holds a double quote, which the file drops";
    if (text.find("//") != std::string_view::npos)
        return "holds \"//\", after which the file keeps nothing";
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }))
        return "holds a control character";
    return {};
}

// Attribute names also stand as columns, as step channels and before the "=" of palette values.
std::string_view AttributeNameProblem(std::string_view name)
{
    if (const std::string_view problem = TextProblem(name); !problem.empty())
        return problem;
    if (name.find(',') != std::string_view::npos)
        return "holds a comma, which separates the columns of its line";
    if (name.find('=') != std::string_view::npos)
        return "holds \"=\", which ends the name in a palette value";
    if (StartsWith(name, "#"))
        return "starts with \"#\", which makes a step on it a channel number";
    // A step line names a command in any letter case; palette keywords count in capitals only.
    constexpr std::array paletteKeywords = {kw::PaletteType, kw::PaletteName, kw::PaletteDes, kw::PaletteColor,
                                            kw::PaletteBitmap};
    if (StartsWithText(name, kw::CommandName) ||
        std::any_of(paletteKeywords.begin(), paletteKeywords.end(),
                    [&](std::string_view keyword) { return StartsWith(name, keyword); }))
        return "starts with a keyword of the file";
    return {};
}

// The comment block ends at its first line that reads ENDCOMMENTS.
std::string_view CommentsProblem(std::string_view comments)
{
    std::size_t start = 0;
    while (start <= comments.size()) {
        std::size_t end = comments.find("\r\n", start);
        if (end == std::string_view::npos)
            end = comments.size();
        const std::string_view line = comments.substr(start, end - start);
        if (const std::string_view problem = TextProblem(line); !problem.empty())
            return problem;
        if (Trim(line) == "ENDCOMMENTS")
            return "holds a line that ends the comments";
        start = end + 2;
    }
    return {};
}

// The first line of the written text that the reader would cut.
std::string LongLineFinding(const TFixture &fixture, int formatVersion)
{
    std::string text;
    try {
        text = FormatFixture(fixture, formatVersion);
    } catch (const EConvertError &) {
        return {}; // the save reports what cannot be written
    }
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (end - start > TLineReader::MaxLineLength)
            return "Line " + std::to_string(number) + " of the file would be longer than " +
                   std::to_string(TLineReader::MaxLineLength) + " characters: " + text.substr(start, 40) + "...";
        start = end + 2;
    }
    return {};
}

} // namespace

std::vector<std::string> TextFindings(const TFixture &fixture, int formatVersion)
{
    std::vector<std::string> findings;
    const auto check = [&](std::string_view what, const std::string &text, std::string_view problem) {
        if (!problem.empty())
            findings.push_back(std::string(what) + " \"" + text + "\" " + std::string(problem) + ".");
    };
    check("Fixture", fixture.Name, TextProblem(fixture.Name));
    check("Brand", fixture.Brand, TextProblem(fixture.Brand));
    check("Author", fixture.Author, TextProblem(fixture.Author));
    if (formatVersion != 1) {
        check("Revision", fixture.Revision, TextProblem(fixture.Revision));
        check("Comment", fixture.Comments, CommentsProblem(fixture.Comments));
    }
    for (const auto &entry : fixture.Attributes.Entries())
        if (!entry.Parameter->IsLowPart)
            check("Attribute", entry.Parameter->Name, AttributeNameProblem(entry.Parameter->Name));
    for (const TCommand &command : fixture.Commands)
        check("Command", command.Name, TextProblem(command.Name));
    for (const TPalette &palette : fixture.Palettes) {
        check("Palette", palette.Name, TextProblem(palette.Name));
        check("Palette description", palette.Description, TextProblem(palette.Description));
        check("Palette icon", palette.Bitmap, TextProblem(palette.Bitmap));
    }
    if (findings.empty())
        if (std::string finding = LongLineFinding(fixture, formatVersion); !finding.empty())
            findings.push_back(std::move(finding));
    return findings;
}

namespace {

bool ShowFindings(const std::vector<std::string> &findings)
{
    for (const std::string &finding : findings)
        Dialogs().ShowMessage(TMessageKind::Warning, finding);
    return findings.empty();
}

} // namespace

bool TFixture::CheckBaseData() const
{
    return ShowFindings(BaseDataFindings(*this));
}

bool TFixture::CheckPatches() const
{
    return ShowFindings(PatchFindings(*this));
}

bool TFixture::CheckTexts() const
{
    // Every finding in one box: a fixture may hold many such texts.
    const std::vector<std::string> findings = TextFindings(*this, FormatVersion);
    if (findings.empty())
        return true;
    constexpr std::size_t shown = 10;
    std::string text = "The file would not keep these texts as they stand:";
    // A blank line between findings keeps them apart where the box wraps them.
    for (std::size_t i = 0; i < std::min(findings.size(), shown); ++i)
        text += "\n\n" + findings[i];
    if (findings.size() > shown)
        text += "\n\n... and " + std::to_string(findings.size() - shown) + " more.";
    Dialogs().ShowMessage(TMessageKind::Warning, text);
    return false;
}
