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
#include <unordered_set>

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
    // The reader registers each attribute under the key of its patch and, when it has one, of its
    // low patch, and refuses a file where two keys meet. Counting channels alone would pass a low
    // patch of 1, an 8-bit attribute's low patch, and patches whose keys are cut to the same digits.
    std::unordered_set<std::string> keys;
    keys.reserve(fixture.Attributes.Count());
    const auto claimKey = [&](uint16_t patch) { return keys.insert(PatchKey(patch)).second; };
    for (const auto &entry : fixture.Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (p.IsLowPart)
            continue;
        if (!claim(p.InternalPatch) || (p.Width > 8 && p.InternalPatchLow >= 2 && !claim(p.InternalPatchLow)) ||
            !claimKey(p.InternalPatch) || (p.InternalPatchLow != 0 && !claimKey(p.InternalPatchLow)))
            return {"parameter \"" + p.Name + "\": Internal patch error !"};
    }
    return {};
}

namespace {

// Why the file would not give the text back, or nothing.
std::string_view TextProblem(std::string_view text)
{
    // One pass over the text, which most texts pass without a stop.
    static constexpr auto Marked = [] {
        std::array<bool, 256> marked{};
        for (int c = 0; c < 32; ++c)
            marked[c] = true;
        marked['"'] = marked['/'] = true;
        return marked;
    }();
    bool quote = false, comment = false, control = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!Marked[c])
            continue;
        if (c == '"')
            quote = true;
        else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/')
            comment = true;
        else if (c < 32)
            control = true;
    }
    if (quote)
        return "holds a double quote, which the file drops";
    if (comment)
        return "holds \"//\", after which the file keeps nothing";
    if (control)
        return "holds a control character";
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        return "begins or ends with a blank, which the file drops";
    return {};
}

// Attribute names also stand as columns, as step channels and before the "=" of palette values.
std::string_view AttributeNameProblem(std::string_view name)
{
    if (name.empty())
        return "is empty, which leaves its line without a first column";
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
    if (StartsWith(comments, "\r\n"))
        return "begins with an empty line, which the file drops";
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

// No line but one that holds a text longer than this can be longer than the reader keeps: the
// longest line around a text, an attribute's, adds less than 100 characters to its name.
constexpr std::size_t ShortText = TLineReader::MaxLineLength - 128;

bool HasLongText(const TFixture &fixture)
{
    const auto longText = [](std::string_view text) { return text.size() > ShortText; };
    if (longText(fixture.Name) || longText(fixture.Brand) || longText(fixture.Author) || longText(fixture.Revision))
        return true;
    for (std::size_t start = 0; start <= fixture.Comments.size();) {
        const std::size_t end = std::min(fixture.Comments.find("\r\n", start), fixture.Comments.size());
        if (end - start > ShortText)
            return true;
        start = end + 2;
    }
    for (const auto &entry : fixture.Attributes.Entries())
        if (longText(entry.Parameter->Name))
            return true;
    for (const TCommand &command : fixture.Commands) {
        if (longText(command.Name))
            return true;
        for (const TCommandLine &step : command.Lines)
            if (longText(step.ChannelName))
                return true;
    }
    for (const TPalette &palette : fixture.Palettes)
        if (longText(palette.Name) || longText(palette.Description) || longText(palette.Bitmap))
            return true;
    return false;
}

// The first line of the written text that the reader would cut. Only a fixture with a long text
// is written out to find it, so that checking a library of ordinary files costs no formatting.
std::string LongLineFinding(const TFixture &fixture, int formatVersion)
{
    if (!HasLongText(fixture))
        return {};
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

// The file keeps a palette's colour only when its parts are 0 or more (format 1.0 looks at the red
// part, and only of a colour palette); any other colour but none at all would read back as none.
bool ColourLost(const TPalette &palette, int formatVersion)
{
    if (palette.Red == -1 && palette.Green == -1 && palette.Blue == -1)
        return false;
    if (formatVersion == 1)
        return palette.PaletteType == ptColour && palette.Red < 0;
    return palette.Red < 0 || palette.Green < 0 || palette.Blue < 0;
}

// A code outside its list is written as the placeholder, which reads back as 0.
template <std::size_t N> bool CodeLost(const std::array<std::string_view, N> &list, int code)
{
    return code != 0 && names::Of(list, code) == list[0];
}

struct TFindings {
    std::vector<std::string> List;

    void Add(std::string_view what, std::string_view text, std::string_view problem)
    {
        if (!problem.empty())
            List.push_back(std::string(what).append(" \"").append(text).append("\" ").append(problem).append("."));
    }
};

void CodeFindings(const TFixture &fixture, TFindings &findings)
{
    constexpr std::string_view lost = "has a code the file has no name for; it would read back as none";
    if (CodeLost(names::FixtureType, fixture.FixtureType))
        findings.Add("Fixture", fixture.Name, "has a type the file has no name for; it would read back as none");
    for (const auto &entry : fixture.Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (p.IsLowPart)
            continue;
        if (CodeLost(names::ChannelType, p.ChannelType) || CodeLost(names::ControlType, p.ControlType) ||
            CodeLost(names::Path, p.Path))
            findings.Add("Attribute", p.Name, lost);
        if (p.Width != 8 && p.Width != 16)
            findings.Add("Attribute", p.Name, "is " + std::to_string(p.Width) + " bits wide; the file holds 8 or 16");
    }
    for (const TPalette &palette : fixture.Palettes)
        if (CodeLost(names::PaletteType, palette.PaletteType))
            findings.Add("Palette", palette.Name, "has a type the file has no name for; it would read back as none");
}

// Steps and palette values name their channel; the file must lead each back to the same one, on
// the same scale. A name that several attributes share leads to whichever comes first, and which
// that is depends on how the attributes are arranged.
void ChannelFindings(const TFixture &fixture, int formatVersion, TFindings &findings)
{
    const TAttributeNameIndex named(fixture.Attributes);
    const auto lookUp = [&](std::string_view name) { return named.Named(name); };
    const auto shared = [&](std::string_view name) { return lookUp(name).Count > 1; };
    const auto eightBitLoss = [](const TParameter *attribute, int64_t value) {
        return (!attribute || attribute->Width == 8) && value % 257 != 0;
    };
    for (const TCommand &command : fixture.Commands)
        for (const TCommandLine &step : command.Lines) {
            const TName &channel = step.ChannelName;
            const TParameter *attribute = nullptr;
            std::string problem;
            if (StartsWith(channel, "#")) {
                int32_t patch = 0;
                if (!TryStrToInt(channel.View().substr(1), patch)) {
                    problem = "has a step on " + channel + ", which is no channel number";
                } else {
                    attribute = fixture.ParameterByPatch(patch);
                    if (!attribute && formatVersion == 1)
                        problem = "has a step on channel " + channel +
                                  ", which no attribute holds; a format 1.0 file would make it an attribute";
                    else if (attribute && shared(attribute->Name))
                        problem = "has a step on channel " + channel + ", which the file names \"" + attribute->Name +
                                  "\", a name that several attributes share";
                }
            } else {
                const TAttributeNameIndex::TNamed name = lookUp(channel);
                attribute = name.First;
                const std::string_view nameProblem = attribute ? std::string_view() : AttributeNameProblem(channel);
                if (!attribute && formatVersion == 1)
                    problem = "has a step on \"" + channel +
                              "\", which no attribute holds and a format 1.0 file "
                              "cannot name";
                else if (!nameProblem.empty())
                    problem = "has a step on \"" + channel + "\", a name that " + std::string(nameProblem);
                else if (name.Count > 1)
                    problem = "has a step on \"" + channel + "\", a name that several attributes share";
            }
            if (problem.empty() && eightBitLoss(attribute, step.Value))
                problem = "has a step value (" + std::to_string(step.Value) + ") that an 8-bit channel cannot hold";
            findings.Add("Command", command.Name, problem);
        }
    for (const TPalette &palette : fixture.Palettes)
        for (const TPaletteLine &value : palette.Lines) {
            const TAttributeNameIndex::TNamed name = lookUp(value.ChannelName);
            const TParameter *attribute = name.First;
            if (!attribute)
                findings.Add("Palette", palette.Name,
                             "has a value of \"" + value.ChannelName + "\", which no attribute holds");
            else if (name.Count > 1)
                findings.Add("Palette", palette.Name,
                             "has a value of \"" + value.ChannelName + "\", a name that several attributes share");
            else if (eightBitLoss(attribute, value.Value))
                findings.Add("Palette", palette.Name,
                             "has a value (" + std::to_string(value.Value) + ") that an 8-bit channel cannot hold");
        }
}

} // namespace

std::vector<std::string> TextFindings(const TFixture &fixture, int formatVersion)
{
    TFindings findings;
    const auto check = [&](std::string_view what, std::string_view text, std::string_view problem) {
        findings.Add(what, text, problem);
    };
    check("Fixture", fixture.Name, TextProblem(fixture.Name));
    check("Brand", fixture.Brand, TextProblem(fixture.Brand));
    check("Author", fixture.Author, TextProblem(fixture.Author));
    if (formatVersion != 1) {
        check("Revision", fixture.Revision, TextProblem(fixture.Revision));
        check("Comment", fixture.Comments, CommentsProblem(fixture.Comments));
    } else {
        // Typed in, they would vanish without a word.
        if (!fixture.Revision.empty())
            check("Revision", fixture.Revision, "has no place in a format 1.0 file");
        if (!fixture.Comments.empty())
            check("Comment", fixture.Comments, "has no place in a format 1.0 file");
    }
    std::size_t attributes = 0;
    for (const auto &entry : fixture.Attributes.Entries())
        if (!entry.Parameter->IsLowPart) {
            ++attributes;
            check("Attribute", entry.Parameter->Name, AttributeNameProblem(entry.Parameter->Name));
        }
    if (attributes > std::numeric_limits<uint8_t>::max())
        findings.List.push_back("The fixture has " + std::to_string(attributes) +
                                " attributes; the file keeps the arrangement of 255 at most.");
    for (const TCommand &command : fixture.Commands)
        check("Command", command.Name, TextProblem(command.Name));
    for (const TPalette &palette : fixture.Palettes) {
        if (ColourLost(palette, formatVersion))
            check("Palette", palette.Name,
                  "has a colour (" + std::to_string(palette.Red) + ", " + std::to_string(palette.Green) + ", " +
                      std::to_string(palette.Blue) + ") with a part below 0, which the file drops");
        check("Palette", palette.Name, TextProblem(palette.Name));
        check("Palette description", palette.Description, TextProblem(palette.Description));
        check("Palette icon", palette.Bitmap, TextProblem(palette.Bitmap));
    }
    CodeFindings(fixture, findings);
    ChannelFindings(fixture, formatVersion, findings);
    if (findings.List.empty())
        if (std::string finding = LongLineFinding(fixture, formatVersion); !finding.empty())
            findings.List.push_back(std::move(finding));
    return std::move(findings.List);
}

std::vector<std::string> CheckFindings(const TFixture &fixture, int formatVersion)
{
    std::vector<std::string> findings = PatchFindings(fixture);
    if (findings.empty())
        findings = BaseDataFindings(fixture);
    if (findings.empty())
        findings = TextFindings(fixture, formatVersion);
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
