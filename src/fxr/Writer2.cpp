#include "FixtureWriter.h"
#include "WriterCommon.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"

using namespace writer;

namespace {

void Header(TLines &out, const TFixture &f)
{
    Introduction(out);
    out.Empty();
    out.Line("Format_Version = 2");
    out.Empty();
    out.Line("Author = " + Quoted(f.Author));
    out.Line("Revision = " + Quoted(f.Revision));
    out.Line(DateLine(f.Date));
    out.Empty();
    out.Line("COMMENTS");
    out.Line(f.Comments);
    out.Line("ENDCOMMENTS");
    out.Empty();
    out.Line("// Fixture information");
    out.Empty();
    out.Line("Fixture = " + Quoted(f.Name));
    if (!f.Brand.empty())
        out.Line("//++Brand   = " + Quoted(f.Brand));
    out.Line("Type = " + std::string(names::Of(names::FixtureType, f.FixtureType)));
    out.Line("Pan_Angle_min = " + std::to_string(f.PanAngleMin));
    out.Line("Pan_Angle_max = " + std::to_string(f.PanAngleMax));
    out.Line("Tilt_Angle_min =" + std::to_string(f.TiltAngleMin));
    out.Line("Tilt_Angle_max = " + std::to_string(f.TiltAngleMax));
    out.Empty();
    out.Line("Dmx_Channels = " + std::to_string(f.DmxChannels));
    out.Empty();
    out.Line("// Some fixture have channels splitted in two set patchaed at two independent dmx address");
    out.Line("Dmx_Split_Channels = " + std::to_string(f.DmxSplitChannels));
    out.Empty();
    out.Line("// --------------- Attribute section --------------------");
    out.Line("// Column 1: attribute name,");
    out.Line("// Column 2: priority,");
    out.Line("// Column 3: channel type(IN/PT/CO/GB/PR/BL for Intensity/Pan & tilt/Color/Gobo/Prism/Blade),");
    out.Line("// Column 4: control type HTP/LTP,");
    out.Line("// Column 5: width: 8/16,");
    out.Line("// Column 6: internal patch,");
    out.Line("// Column 7: internal patch low (only for 16 bit channels, for 8 bit ch. must be 'na'),");
    out.Line("// Column 8: path: LINEAR, SNAP_START, SNAP_END");
    out.Line("// Column 9: dmx minimum value,");
    out.Line("// Column 10: dmx maximum value,");
    out.Line("// Column 11: function type: GENERIC,PAN,TILT,DIMMER,IRIS,SHUTTER..(to be defined)");
    out.Line("// Column 12: hinherit: Yes/No");
    out.Line("// Column 13: show on editor: Yes/No");
    out.Empty();
    out.Line("// Note:");
    out.Line("// 1) show on editor=No is typically used for attributes used in commands only ");
    out.Line("// 2) if show on editor=No, field priority, ch. type, control type, path, function type ");
    out.Line("//    and hinherit are not applicable and will be ignored");
    out.Empty();
}

const char *Flag(bool set)
{
    return set ? ", YES" : ",  NO";
}

void Attributes(TLines &out, const TFixture &f)
{
    out.Line("PARAMETERS");
    out.Empty();
    for (const auto &entry : f.Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (!p.IsLowPart)
            out.Line(AttributeColumns(p) + Flag(p.Inherit) + Flag(p.ShowOnEditor));
    }
    out.Empty();
    out.Line("ENDPARAMETERS");
}

void Commands(TLines &out, const TFixture &f)
{
    out.Line("COMMANDS");
    out.Empty();
    const TAttributeNameIndex attributes(f.Attributes);
    for (const TCommand &command : f.Commands) {
        out.Line("CommandName=" + Quoted(command.Name));
        for (const TCommandLine &step : command.Lines) {
            // Resolved as the reader resolves it, so that values read back unchanged.
            const TParameter *attribute = nullptr;
            std::string_view channel = step.ChannelName;
            if (StartsWith(step.ChannelName, "#")) {
                attribute = f.ParameterByPatch(StrToInt(step.ChannelName.View().substr(1)));
                if (attribute)
                    channel = attribute->Name;
            } else {
                attribute = attributes.Find(step.ChannelName);
            }
            const int64_t value = attribute && attribute->Width != 8 ? step.Value : step.Value / 257;
            out.Line(std::string(channel) + ", " + PadNumber(value, 5) + ", " + std::to_string(step.Time));
        }
        out.Empty();
    }
    out.Empty();
    out.Line("ENDCOMMANDS");
}

void Palettes(TLines &out, const TFixture &f)
{
    PaletteExplanation(out);
    const TAttributeNameIndex attributes(f.Attributes);
    out.Line(Separator);
    out.Line("// General purpose palettes");
    out.Line(Separator);
    const TPalette *previous = nullptr;
    for (const TPalette &palette : f.Palettes) {
        if (!previous || previous->PaletteType != palette.PaletteType) {
            if (palette.PaletteType == ptSpecial) {
                out.Line(Separator);
                out.Line("// Special function palettes");
                out.Line(Separator);
            }
            out.Line("PALETTETYPE = " + std::string(names::Of(names::PaletteType, palette.PaletteType)) +
                     "         // Palette type IN/PT/CO/GB/PR/BL/CMY/SP");
        }
        previous = &palette;
        out.Line("PALETTENAME = " + Quoted(palette.Name));
        if (palette.Red >= 0 && palette.Green >= 0 && palette.Blue >= 0)
            out.Line("PALETTECOLOR = " + std::to_string(palette.Red) + ", " + std::to_string(palette.Green) + ", " +
                     std::to_string(palette.Blue));
        if (!palette.Bitmap.empty())
            out.Line("PALETTEBITMAP = " + palette.Bitmap);
        if (!palette.Description.empty())
            out.Line("PALETTEDESC = " + Quoted(palette.Description));
        PaletteValues(out, attributes, palette);
        out.Empty();
    }
    out.Line("ENDPALETTES");
}

} // namespace

void writer::Format2(const TFixture &fixture, TLines &out)
{
    Compose(out, fixture, Header, Attributes, Commands, Palettes);
}
