// The properties the fuzz target checks on every input.
//
// 1. Reading never fails in any other way than with the reader's own line-numbered error
//    (ELoadError, "Cannot open the file. Error in line #N:   ..."), and the line it names lies
//    within the input.
//
// 2. A fixture that loaded can be written in both formats. The one refusal a writer has is a
//    command step whose channel starts with "#" but holds no number: format 1.0 keeps a step's
//    channel as the name of its attribute, and an attribute may well be called "#x". A model read
//    back from a written text may hold such a step where the loaded one did not (a format 2 step
//    on "#7", written in format 1.0 as patch 7, reads back on the attribute "#" of patch 7); the
//    refusal is then the same, and nothing more is asserted.
//
// 3. Writing reaches a fixed point after one pass through the reader. Writing a loaded model
//    (text T1) and reading T1 back is not always the identity, and cannot be, because a file may
//    hold models that the writers cannot say:
//      - a name with "=" in it, or one that starts with a keyword of the line it lands on (an
//        attribute called PALETTENAME1 on a palette value line, COMMANDNAME on a format 2 step,
//        "#5" as a step's channel), is read back as something else or not at all: nothing in a
//        written value is escaped;
//      - format 1.0 has no revision, comments, split channels or inherit flags, names a step's
//        channel by its patch (so that several attributes of one name, such as the hidden
//        Control channels it creates itself, collapse into the first), and gives a palette either
//        a colour or an icon;
//      - the reader keeps 255 characters of a line, and a written line may be longer than the
//        line its value came from;
//      - a palette type the reader did not know (255 before any PALETTETYPE line) reads back as
//        0, and 8-bit values lose what is not a multiple of 257.
//    Each of these loses or changes something in T1 once, and the model read back from T1 no
//    longer holds it. So for T2, the text written from the model read back from T1, reading T2
//    and writing again gives T2 exactly, byte for byte, in either format, provided that no line
//    of T1 or T2 is longer than the reader keeps, and that every attribute is 8 or 16 bits wide
//    (the writers scale the DMX range of any width but 8 by 257, the reader divides by 257 only a
//    width of 16, so other widths drift on every pass), and that no attribute's name starts with
//    "#": a step on such an attribute is held under its name, which the writers take for the
//    control channel of that number, so its steps may move to another patch on every pass (a step
//    on "#7", the patch of an attribute called "#8", is written as patch 7, reads back as "#8",
//    and is written as patch 8 the next time). When T1 cannot be read back at all, the
//    model held a name the format cannot carry; nothing more is asserted then. T2, however, must
//    always be readable again.

#include "FixtureProperty.h"

#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "fxr/LineReader.h"
#include "model/FixFuncs.h"
#include "platform/Errors.h"

#include <algorithm>
#include <istream>
#include <optional>
#include <streambuf>

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

// True when a step names a "#" channel without a number, which no writer can put into a file.
bool HasUnwritableStep(const TFixture &fixture)
{
    for (const TCommand &command : fixture.Commands)
        for (const TCommandLine &step : command.Lines) {
            int32_t patch = 0;
            if (StartsWith(step.ChannelName, "#") && !TryStrToInt(step.ChannelName.substr(1), patch))
                return true;
        }
    return false;
}

bool LinesFit(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        if (end - start > TLineReader::MaxLineLength)
            return false;
        start = end + 2;
    }
    return true;
}

// Whether the writers say every attribute the same way on every pass (see 3. above).
bool AttributesStable(const TFixture &fixture)
{
    for (std::size_t i = 0; i < fixture.Attributes.Count(); ++i) {
        const TParameter &attribute = fixture.Attributes[i];
        if ((attribute.Width != 8 && attribute.Width != 16) || StartsWith(attribute.Name, "#"))
            return false;
    }
    return true;
}

std::string Where(int version, const std::string &what)
{
    return "format " + std::to_string(version) + ": " + what;
}

// Writes the model into text. False when the writer refused it as it may (see 2. above); a
// failure of any other kind is a problem.
bool Write(const TFixture &fixture, int version, const std::string &what, std::string &text, std::string &problem)
{
    try {
        text = FormatFixture(fixture, version);
        return true;
    } catch (const EConvertError &error) {
        if (!HasUnwritableStep(fixture))
            problem = Where(version, what + " failed: " + error.what());
    } catch (const std::exception &error) {
        problem = Where(version, what + " failed: " + error.what());
    }
    return false;
}

std::string CheckRoundTrip(const TFixture &loaded, int version)
{
    std::string problem;
    std::string first;
    if (!Write(loaded, version, "writing", first, problem))
        return problem;

    const TRead once = Read(first);
    if (!once.Problem.empty())
        return Where(version, "reading the written text: " + once.Problem);
    if (!once.Fixture)
        return {};
    std::string second;
    if (!Write(*once.Fixture, version, "writing what was read back", second, problem))
        return problem;

    if (!LinesFit(first) || !LinesFit(second) || !AttributesStable(loaded))
        return {};
    const TRead twice = Read(second);
    if (!twice.Problem.empty())
        return Where(version, "reading the second text: " + twice.Problem);
    if (!twice.Fixture)
        return Where(version, "the second text does not load: " + twice.Error + "\n--- text:\n" + second);
    std::string third;
    if (!Write(*twice.Fixture, version, "writing the second text's model", third, problem))
        return problem.empty() ? Where(version, "the second text's model cannot be written") : problem;
    if (third != second)
        return Where(version,
                     "the text written a third time differs\n--- second:\n" + second + "\n--- third:\n" + third);
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
