// The properties the fuzz target checks on every input.
//
// 1. Reading never fails in any other way than with the reader's own line-numbered error
//    (ELoadError, "Cannot open the file. Error in line #N:   ..."), and the line it names lies
//    within the input.
//
// 2. A fixture that loaded, saved in either format as the editor and rigsmith-fxr save it, reads
//    back as the same fixture, unless the text check names what the format would not keep; then
//    nothing is written, and nothing more is asserted. Saving first arranges the attributes and
//    brings the palette colours up to date, as a save does; "the same" then means every field the
//    format holds (format 1.0 holds no split channels, no inherit flags, and gives a palette a
//    colour or an icon by its type), the date to the day, the attributes in the same arrangement,
//    and each step and palette value on the same channel (a step on "#n" and one on the name of
//    the attribute at n are on the same channel). Writing the fixture read back gives the same
//    text again, byte for byte.

#include "FixtureProperty.h"

#include "fxr/FixtureCheck.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/Errors.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <sstream>
#include <streambuf>
#include <utility>
#include <vector>

namespace {

// Reads straight from the input bytes, without a copy.
class TViewBuf : public std::streambuf {
public:
    explicit TViewBuf(std::string_view bytes)
    {
        char *begin = const_cast<char *>(bytes.data());
        setg(begin, begin, begin + bytes.size());
    }
};

struct TRead {
    std::optional<TFixture> Fixture;
    std::string Error;   // the reader's message when it refused the text
    std::string Problem; // set when the reader broke a promise
};

TRead Read(std::string_view bytes)
{
    TRead result;
    TViewBuf buffer(bytes);
    std::istream in(&buffer);
    TFixture fixture;
    try {
        ReadFixture(in, fixture);
        result.Fixture = std::move(fixture);
    } catch (const ELoadError &error) {
        result.Error = error.what();
        const std::string prefix = "Cannot open the file. Error in line #" + std::to_string(error.LineNumber) + ":   ";
        const auto lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
        if (result.Error.rfind(prefix, 0) != 0)
            result.Problem = "the load error does not read as the reader's message: " + result.Error;
        else if (error.LineNumber < 1 || error.LineNumber > lines)
            result.Problem =
                "the load error names line " + std::to_string(error.LineNumber) + " of " + std::to_string(lines);
    } catch (const std::exception &error) {
        result.Problem = std::string("the reader failed without its line-numbered error: ") + error.what();
    }
    return result;
}

// The fixture as the format holds it, a line for the header and one for each entry, so that two
// fixtures agree when their texts do and the first differing line shows where they part.
std::string Canonical(const TFixture &f, int version)
{
    const TAttributeNameIndex names(f.Attributes);
    // A channel by the patch of its attribute, where it has one.
    const auto channel = [&](std::string_view name) -> std::string {
        const TParameter *attribute = nullptr;
        int32_t patch = 0;
        if (StartsWith(name, "#") && TryStrToInt(name.substr(1), patch)) {
            attribute = f.ParameterByPatch(patch);
            if (!attribute)
                return "#" + std::to_string(patch);
        } else {
            attribute = names.Find(name);
        }
        return attribute ? "@" + std::to_string(attribute->InternalPatch) : "'" + std::string(name) + "'";
    };
    std::ostringstream out;
    const TCalendarDate day = DecodeDate(f.Date);
    out << "author '" << f.Author << "' revision '" << f.Revision << "' date " << day.Year << "-" << day.Month << "-"
        << day.Day << " comments '" << f.Comments << "' name '" << f.Name << "' brand '" << f.Brand << "' type "
        << +f.FixtureType << " pan " << f.PanAngleMin << " " << f.PanAngleMax << " tilt " << f.TiltAngleMin << " "
        << f.TiltAngleMax << " channels " << f.DmxChannels << " split " << (version == 1 ? 0 : f.DmxSplitChannels)
        << "\n";
    // By key, as the reader files them; their arrangement by order, as a save writes them.
    std::vector<std::pair<std::string, const TParameter *>> attributes;
    std::vector<std::pair<int, std::string>> arrangement;
    for (const auto &entry : f.Attributes.Entries()) {
        attributes.emplace_back(entry.Key, entry.Parameter.get());
        if (!entry.Parameter->IsLowPart)
            arrangement.emplace_back(entry.Parameter->Order, entry.Key);
    }
    std::sort(attributes.begin(), attributes.end());
    std::stable_sort(arrangement.begin(), arrangement.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[key, p] : attributes)
        out << "attribute " << key << " '" << p->Name << "' " << p->Priority << " " << +p->ChannelType << " "
            << +p->ControlType << " " << +p->Width << " " << p->InternalPatch << " " << p->InternalPatchLow << " "
            << +p->Path << " " << p->DmxMin << " " << p->DmxMax << " inherit " << (version != 1 && p->Inherit)
            << " show " << p->ShowOnEditor << " low " << p->IsLowPart << "\n";
    out << "arrangement";
    for (const auto &[order, key] : arrangement)
        out << " " << key;
    out << "\n";
    for (const TCommand &command : f.Commands) {
        out << "command '" << command.Name << "':";
        for (const TCommandLine &step : command.Lines)
            out << " " << channel(step.ChannelName) << " " << step.Value << " " << step.Time << ";";
        out << "\n";
    }
    for (const TPalette &palette : f.Palettes) {
        const bool colour = version != 1 || palette.PaletteType == ptColour;
        out << "palette " << +palette.PaletteType << " '" << palette.Name << "' '" << palette.Description.View() << "'";
        if (colour)
            out << " colour " << palette.Red << " " << palette.Green << " " << palette.Blue;
        if (version != 1 || !colour)
            out << " icon '" << palette.Bitmap.View() << "'";
        out << ":";
        for (const TPaletteLine &value : palette.Lines)
            out << " " << channel(value.ChannelName) << " " << value.Value << ";";
        out << "\n";
    }
    return out.str();
}

std::string Where(int version, const std::string &what)
{
    return "format " + std::to_string(version) + ": " + what;
}

std::string CheckRoundTrip(const TFixture &loaded, int version)
{
    if (!TextFindings(loaded, version).empty())
        return {};
    TFixture saved = loaded.Clone();
    std::string text;
    try {
        PrepareForSaving(saved);
        text = FormatFixture(saved, version);
    } catch (const std::exception &error) {
        return Where(version, std::string("the text check passed, and writing failed: ") + error.what());
    }
    TRead back = Read(text);
    if (!back.Problem.empty())
        return Where(version, "reading the written text: " + back.Problem);
    if (!back.Fixture)
        return Where(version, "the written text does not load: " + back.Error + "\n--- text:\n" + text);
    const std::string expected = Canonical(saved, version), found = Canonical(*back.Fixture, version);
    if (found != expected)
        return Where(version, "read back, the fixture differs\n--- saved:\n" + expected + "--- read back:\n" + found +
                                  "--- text:\n" + text);
    std::string again;
    try {
        PrepareForSaving(*back.Fixture);
        again = FormatFixture(*back.Fixture, version);
    } catch (const std::exception &error) {
        return Where(version, std::string("the fixture read back cannot be written: ") + error.what());
    }
    if (again != text)
        return Where(version, "written again, the text differs\n--- first:\n" + text + "\n--- again:\n" + again);
    return {};
}

} // namespace

std::string CheckFixtureBytes(std::string_view bytes)
{
    const TRead read = Read(bytes);
    if (!read.Problem.empty())
        return read.Problem;
    if (!read.Fixture)
        return {};
    for (const int version : {1, 2})
        if (std::string problem = CheckRoundTrip(*read.Fixture, version); !problem.empty())
            return problem;
    return {};
}
