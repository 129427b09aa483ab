#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class TFixture;
class TPalette;

// A colour as the toolkit keeps it: red in the low byte, green in the second, blue in the third.
using TColor = int32_t;

struct TRgb {
    int32_t Red = 0;
    int32_t Green = 0;
    int32_t Blue = 0;
    bool operator==(const TRgb &) const = default;
};

// Components outside 0 to 255 are brought to the nearest end.
TColor RgbColor(int32_t red, int32_t green, int32_t blue);
TRgb SplitColor(TColor color);

// Both catalogs have this many places, whatever their files hold.
constexpr std::size_t CatalogSize = 200;

// One gel of lee.txt.
struct TLeeEntry {
    int32_t Number = 0;
    std::string Description;
    int32_t Red = 0;
    int32_t Green = 0;
    int32_t Blue = 0;
};

// One slot of FxrColor.ini; a slot without its section is not defined and matches no name.
struct TCustomColour {
    bool Defined = false;
    std::string No;
    std::string Description;
    TColor Color = 0;
};

// The Lee gels and the user's own named colours, which give colour palettes their colours.
class TColourCatalogs {
public:
    std::array<TLeeEntry, CatalogSize> Lee{};
    std::array<TCustomColour, CatalogSize> Custom{};

    // Fills the Lee table from a tab-separated file: number, description, red, green, blue.
    // Blank lines are skipped and lines after the table is full are ignored. Throws EInOutError
    // when the file cannot be opened, and EConvertError naming the file and the line when a
    // number is not an integer; the entries read before that line stay.
    void LoadLeeCatalog(const std::string &fileName);
    // Reads the slots btnsbCust0 to btnsbCust199 of an INI file; a missing file defines none.
    void LoadCustomColours(const std::string &iniFileName);

    // The colour of the catalog entry described exactly so (letter case counts): a custom slot
    // wins over a Lee gel, and a name no entry carries gives black.
    TColor ColourOfName(const std::string &name) const;
    // A colour palette without colour takes the colour of its name.
    void ResolvePaletteColor(TPalette &palette) const;
};

// Where lee.txt is read from: the working directory, or the program's when that has none.
std::string LeeCatalogFile();
// The user's named colours beside the program.
std::string CustomColourFile();

// Gives a palette without a complete colour the colour of its cyan, magenta and yellow values
// (channel names containing "Cyan", "Magenta", "Yellow"), on the 8-bit scale the user sees:
// Red = 255 - C div 257 and so on. Without all three the palette has no colour. A palette whose
// colour is complete is left alone; otherwise the fixture counts as changed.
void ColorFromCMY(TFixture &fixture, TPalette &palette);
