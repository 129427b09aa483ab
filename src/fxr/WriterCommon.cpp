#include "WriterCommon.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"

namespace writer {

namespace {

// More than most texts take: the pages of the reserve a text never writes take no memory.
std::size_t ReservedSize(const TFixture &fixture)
{
    std::size_t lines = fixture.Attributes.Count() + fixture.Commands.Count() + 8 * fixture.Palettes.Count();
    for (const TCommand &command : fixture.Commands)
        lines += command.Lines.size();
    for (const TPalette &palette : fixture.Palettes)
        lines += palette.Lines.Count();
    return 65536 + fixture.Comments.size() + 128 * lines;
}

} // namespace

void TLines::Spill(std::string_view text)
{
    if (!text_.empty())
        write_(text_);
    text_.clear();
    if (text.size() > limit_)
        write_(text);
    else
        text_ += text;
}

void Compose(TLines &out, const TFixture &fixture, TSection header, TSection attributes, TSection commands,
             TSection palettes)
{
    out.Reserve(ReservedSize(fixture));
    header(out, fixture);
    attributes(out, fixture);
    out.Empty();
    out.Line("// --------------- Commands section --------------------");
    out.Empty();
    commands(out, fixture);
    out.Empty();
    out.Line("// --------------- Palettes section --------------------");
    out.Empty();
    palettes(out, fixture);
    out.Finish();
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

void Introduction(TLines &out)
{
    out.Line("// All chars following // are comments");
    out.Line("// Empty lines are allowed");
    out.Line("// Keywords are case insensitive");
    out.Line("// If some strings contain blanks they must be delimited by \"");
    out.Line("// Numbers can be written in decimal, percentual or exadecimal representation:");
    out.Line("// 50 is a decimal value, 4% is a percentual value, FFh is an exadecimal value");
    out.Empty(2);
    out.Line("//---------------  Generic information ---------------");
}

std::string DateLine(TDateTime date)
{
    const TCalendarDate d = DecodeDate(date);
    return "Date = " + PatchKey(d.Day) + "/" + PatchKey(d.Month) + "/" + std::to_string(d.Year);
}

std::string AttributeColumns(const TParameter &p)
{
    const int64_t scale = p.Width == 8 ? 1 : 257;
    std::string line = PadRight(Quoted(p.Name), 20);
    line += ", " + PadNumber(p.Priority, 2);
    line += ", " + std::string(names::Of(names::ChannelType, p.ChannelType));
    line += ", " + std::string(names::Of(names::ControlType, p.ControlType));
    line += ", " + PadNumber(p.Width, 2);
    line += ", " + PadNumber(p.InternalPatch, 2);
    line += p.InternalPatchLow > 0 ? ", " + PadNumber(p.InternalPatchLow, 2) : ", na";
    line += ", " + std::string(names::Of(names::Path, p.Path));
    line += ", " + PadNumber(p.DmxMin * scale, 5);
    line += ", " + PadNumber(p.DmxMax * scale, 5);
    return line;
}

void PaletteExplanation(TLines &out)
{
    out.Line("PALETTES");
    out.Empty();
    out.Line("// Palette values can be written in two ways:");
    out.Line("// 1) logical channel name = value;");
    out.Line("// 2) #internal channel patch = value (this mode is useful for channels, like command channels,");
    out.Line("// which have no corresponding logical channel).");
    out.Empty(2);
}

void PaletteValues(TLines &out, const TAttributeNameIndex &attributes, const TPalette &palette)
{
    for (const TPaletteLine &value : palette.Lines) {
        const TParameter *attribute = attributes.Find(value.ChannelName);
        if (!attribute)
            continue;
        const int64_t number = attribute->Width > 8 ? value.Value : value.Value / 257;
        out.Line(Quoted(value.ChannelName) + " = " + std::to_string(number));
    }
}

} // namespace writer
