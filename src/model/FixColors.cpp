#include "FixColors.h"

#include "model/FixClasses.h"
#include "model/FixFuncs.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr uint8_t ColourPalette = 3;
constexpr const char *LeeFileName = "lee.txt";

int32_t Component(int32_t value)
{
    return std::clamp(value, 0, 255);
}

std::vector<std::string> Fields(const std::string &line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(
            Trim(std::string_view(line).substr(start, tab == std::string::npos ? std::string::npos : tab - start)));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

} // namespace

TColor RgbColor(int32_t red, int32_t green, int32_t blue)
{
    return Component(red) | Component(green) << 8 | Component(blue) << 16;
}

TRgb SplitColor(TColor color)
{
    return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
}

void TColourCatalogs::LoadLeeCatalog(const std::string &fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        throw EInOutError("Cannot open file \"" + PathText(fileName) + "\".");
    std::string line;
    std::size_t entry = 0;
    for (int lineNumber = 1; entry < Lee.size() && std::getline(in, line); ++lineNumber) {
        if (Trim(line).empty())
            continue;
        const std::vector<std::string> fields = Fields(line);
        TLeeEntry read;
        try {
            read.Number = StrToInt(fields[0]);
            int32_t *components[] = {&read.Red, &read.Green, &read.Blue};
            for (std::size_t i = 0; i < 3 && i + 2 < fields.size(); ++i)
                *components[i] = Component(StrToInt(fields[i + 2]));
        } catch (const EConvertError &error) {
            throw EConvertError("Error line " + std::to_string(lineNumber) + " in \"" + PathText(fileName) +
                                "\" file: " + error.what() + ".");
        }
        if (fields.size() > 1)
            read.Description = fields[1];
        Lee[entry++] = std::move(read);
    }
}

void TColourCatalogs::LoadCustomColours(const std::string &iniFileName)
{
    const TIniFile ini(iniFileName);
    for (std::size_t slot = 0; slot < Custom.size(); ++slot) {
        const std::string section = "btnsbCust" + std::to_string(slot);
        TCustomColour &colour = Custom[slot];
        colour = {};
        if (!ini.SectionExists(section))
            continue;
        const auto component = [&](const char *key) {
            int32_t value = 0;
            return TryStrToInt(ini.ReadString(section, key), value) ? value : 0;
        };
        colour.Defined = true;
        colour.No = ini.ReadString(section, "No", std::to_string(slot + 1) + "  ");
        colour.Description = ini.ReadString(section, "Desc");
        colour.Color = RgbColor(component("R"), component("G"), component("B"));
    }
}

TColor TColourCatalogs::ColourOfName(const std::string &name) const
{
    // Entries without a description are empty places, not colours of that name.
    if (name.empty())
        return 0;
    for (const TCustomColour &colour : Custom)
        if (colour.Defined && colour.Description == name)
            return colour.Color;
    for (const TLeeEntry &gel : Lee)
        if (gel.Description == name)
            return RgbColor(gel.Red, gel.Green, gel.Blue);
    return 0;
}

void TColourCatalogs::ResolvePaletteColor(TPalette &palette) const
{
    if (palette.PaletteType != ColourPalette || palette.Red >= 0)
        return;
    const TRgb rgb = SplitColor(ColourOfName(palette.Name));
    palette.Red = rgb.Red;
    palette.Green = rgb.Green;
    palette.Blue = rgb.Blue;
}

std::string LeeCatalogFile()
{
    std::error_code error;
    const fs::path working = fs::path(WorkingDir()) / LeeFileName;
    return fs::exists(working, error) ? working.string() : ProgramFile(LeeFileName);
}

std::string CustomColourFile()
{
    return ProgramFile("FxrColor.ini");
}

void ColorFromCMY(TFixture &fixture, TPalette &palette)
{
    if (palette.Red != -1 && palette.Green != -1 && palette.Blue != -1)
        return;
    int32_t cyan = -1, magenta = -1, yellow = -1;
    for (const TPaletteLine &value : palette.Lines) {
        if (value.Value < 0)
            continue;
        if (value.ChannelName.View().find("Cyan") != std::string_view::npos)
            cyan = value.Value;
        if (value.ChannelName.View().find("Magenta") != std::string_view::npos)
            magenta = value.Value;
        if (value.ChannelName.View().find("Yellow") != std::string_view::npos)
            yellow = value.Value;
    }
    if (cyan >= 0 && magenta >= 0 && yellow >= 0) {
        // A stored value can exceed the 16-bit scale; the colour stays within 0 to 255.
        const auto component = [](int32_t v) { return 255 - std::min(v / 257, 255); };
        palette.Red = component(cyan);
        palette.Green = component(magenta);
        palette.Blue = component(yellow);
    } else {
        palette.Red = palette.Green = palette.Blue = -1;
    }
    fixture.Saved = false;
}
