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
    out.Line("Author = " + Quoted(f.Author));
    out.Line("Version = 1.0");
    out.Line(DateLine(f.Date));
    out.Empty(2);
    out.Line("// Fixture information");
    out.Empty();
    out.Line("Fixture = " + Quoted(f.Name));
    // Format 1.0 has no brand; the keep-marker hides it from readers that do not know it.
    if (!f.Brand.empty())
        out.Line("//++Brand   = " + Quoted(f.Brand));
    out.Empty();
    out.Line("Type = " + std::string(names::Of(names::FixtureType, f.FixtureType)));
    out.Line("Pan_Angle_min = " + std::to_string(f.PanAngleMin));
    out.Line("Pan_Angle_max = " + std::to_string(f.PanAngleMax));
    out.Line("Tilt_Angle_min =" + std::to_string(f.TiltAngleMin));
    out.Line("Tilt_Angle_max = " + std::to_string(f.TiltAngleMax));
    out.Empty();
    out.Line("Dmx_Channels = " + std::to_string(f.DmxChannels));
    out.Empty(2);
    out.Line("// --------------- Logical Channel List --------------------");
    out.Line("// Column 1: channel name,");
    out.Line("// Column 2: priority,");
    out.Line("// Column 3: channel type IN/PT/CO/GB/PR/BL");
    out.Line("// Column 4: control type HTP/LTP,");
    out.Line("// Column 5: width: 8/16,");
    out.Line("// Column 6: internal patch,");
    out.Line("// Column 7: internal patch low (only for 16 bit channels, for 8 bit ch. must be 'na'),");
    out.Line("// Column 8: path: LINEAR, SNAP_START, SNAP_END");
    out.Line("// Column 9: start value,");
    out.Line("// Column 10: full value,");
    out.Line("// Column 11: equalization");
    out.Line("// Column 12: pre heat");
    out.Empty();
    out.Line("// NB pan and tilt channels must be called pan and tilt (other names are not allowed)");
    out.Empty();
    out.Line(
        "// For 8 bit channels, the item internal patch low must be \"na\" (\"na\" stands for \"not applicable\")");
    out.Line("// Allowed values for path: linear, snap_start, snap_end");
    out.Line("// Allowed values for equalization: linear, onoff, general1, general2, general3, general4, general5, "
             "general6");
    out.Empty();
}

void Attributes(TLines &out, const TFixture &f)
{
    out.Line("PARAMETERS");
    out.Empty();
    for (const auto &entry : f.Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (p.IsLowPart)
            continue;
        // Hidden attributes are unknown to format 1.0: behind the keep-marker, flagged NO.
        out.Line((p.ShowOnEditor ? "" : "//++") + AttributeColumns(p) + ", LINEAR, 0" + (p.ShowOnEditor ? "" : ", NO"));
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
        out.Line("COMMANDNAME = " + Quoted(command.Name) + "     // Command name");
        for (const TCommandLine &step : command.Lines) {
            int64_t value = step.Value / 257;
            int64_t patch = 0;
            if (StartsWith(step.ChannelName, "#")) {
                patch = StrToInt(step.ChannelName.View().substr(1));
            } else {
                const TParameter *attribute = attributes.Find(step.ChannelName);
                if (!attribute)
                    continue;
                if (attribute->Width != 8)
                    value = step.Value;
                patch = attribute->InternalPatch;
            }
            out.Line(PadNumber(value, 3) + "," + PadNumber(step.Time, 6) + ", " + std::to_string(patch) +
                     "     // Dmx value, time (in milliseconds), internal patch of command channel");
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
    const TPalette *previous = nullptr;
    for (const TPalette &palette : f.Palettes) {
        if (!previous || previous->PaletteType != palette.PaletteType) {
            out.Line(Separator);
            out.Line(palette.PaletteType == ptSpecial ? "// Special function palettes" : "// General purpose palettes");
            out.Line(Separator);
            out.Line("PALETTETYPE = " + std::string(names::Of(names::PaletteType, palette.PaletteType)) +
                     "         // Palette type (IN/PT/CO/GB/PR/BL/SP)");
        }
        previous = &palette;
        out.Line("PALETTENAME = " + Quoted(palette.Name));
        if (!palette.Description.empty())
            out.Line("PALETTEDESC = " + Quoted(palette.Description));
        if (palette.PaletteType == ptColour) {
            if (palette.Red >= 0)
                out.Line("//++PALETTECOLOR = " + std::to_string(palette.Red) + ", " + std::to_string(palette.Green) +
                         ", " + std::to_string(palette.Blue));
        } else if (!palette.Bitmap.empty()) {
            out.Line("//++PALETTEBITMAP = " + palette.Bitmap);
        }
        PaletteValues(out, attributes, palette);
        out.Empty();
    }
    out.Empty();
    out.Line("ENDPALETTES");
}

} // namespace

void writer::Format10(const TFixture &fixture, TLines &out)
{
    Compose(out, fixture, Header, Attributes, Commands, Palettes);
}
