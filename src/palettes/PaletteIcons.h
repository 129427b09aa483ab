#pragma once

#include "model/FixColors.h"

#include <QPixmap>

#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

class TPalette;

// The PaletteIcons tree beside the program: which icon files there are, which one a palette shows,
// and the pictures, each file read once. File names are matched without regard to letter case,
// as on the system the icon sets are made on; directories are listed in name order.
class TPaletteIcons {
public:
    // Looks for the tree in the given program directory.
    explicit TPaletteIcons(std::filesystem::path programDir);

    // The gobo icon directories: "Generic", then every entry of the tree whose name has no dot
    // and is not one of the five named directories. A file without extension counts too, as a
    // directory that holds no icons.
    void ScanGoboDirectories();
    const std::vector<std::string> &GoboDirectories() const { return goboDirectories_; }

    // The *.bmp files of a sub-directory of the tree, in name order; none when it is missing.
    std::vector<std::filesystem::path> IconFiles(const std::string &directory) const;
    // The file of the palette's icon (its Bitmap), possibly one that does not exist, or empty
    // for a colour palette without a picture and for unknown types. A colour palette without
    // colour first takes the colour of its name from the catalogs.
    std::string FindPaletteIcon(TPalette &palette, const TColourCatalogs &catalogs);
    std::filesystem::path DefaultIcon();

    // The picture of an icon file, with the colour of its bottom-left pixel transparent; null
    // when the file cannot be read.
    QPixmap Glyph(const std::filesystem::path &file);
    // A disc of the colour, for a palette without picture.
    QPixmap Swatch(TColor color);
    // Files may have come or gone since the last look.
    void ForgetListings() { listings_.clear(); }

private:
    // The entry of the directory named so in any letter case; the exact path when there is none.
    std::filesystem::path Match(const std::filesystem::path &directory, const std::string &name);
    // name.bmp under the tree's sub-directory, name possibly holding directories of its own.
    std::filesystem::path IconPath(const std::string &subDirectory, std::string_view name);

    std::filesystem::path root_;
    std::vector<std::string> goboDirectories_;
    // Directory listings, lower-case name to name.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> listings_;
    std::unordered_map<std::string, QPixmap> glyphs_;
    std::unordered_map<TColor, QPixmap> swatches_;
};

// Paints a swatch into the bitmap: 64 by 64, a disc of the colour on a background of red 1,
// green 0, blue 0, which the button shows transparent.
void DrawSwatch(QPixmap &bitmap, TColor color);
// The picture with the colour of its bottom-left pixel made transparent, as buttons show glyphs.
QPixmap TransparentGlyph(const QImage &image);
// The fixed pictures of the control buttons: "Standby", "HiLite" or "Locate".
QPixmap ControlPicture(const QString &name);
