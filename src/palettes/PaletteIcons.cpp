#include "PaletteIcons.h"

#include "model/FixClasses.h"
#include "model/FixFuncs.h"
#include "platform/CodePage.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fs = std::filesystem;

namespace {

enum TPaletteType : uint8_t { Intensity = 1, PanTilt = 2, Colour = 3, Gobo = 4, Prism = 5, Blade = 6, Special = 7 };

constexpr const char *GenericDir = "Generic";
constexpr const char *DefaultIconName = "x_OTHER";
constexpr const char *NamedDirectories[] = {"Generic", "Colors", "Intensity", "Prism", "Blade"};

bool NameLess(const std::string &a, const std::string &b)
{
    const std::string la = LowerCase(a), lb = LowerCase(b);
    return la != lb ? la < lb : a < b;
}

bool IsBitmapName(const std::string &name)
{
    return name.size() >= 4 && LowerCase(std::string_view(name).substr(name.size() - 4)) == ".bmp";
}

} // namespace

TPaletteIcons::TPaletteIcons(fs::path programDir) : root_(std::move(programDir) / "PaletteIcons") {}

void TPaletteIcons::ScanGoboDirectories()
{
    goboDirectories_ = {GenericDir};
    std::vector<std::string> further;
    std::error_code error;
    for (fs::directory_iterator entry(root_, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const bool named = std::any_of(std::begin(NamedDirectories), std::end(NamedDirectories),
                                       [&](const char *n) { return SameText(name, n); });
        // A dot marks a file with an extension (and "." and ".."); anything else may hold icons.
        if (name.find('.') == std::string::npos && !named)
            further.push_back(name);
    }
    std::sort(further.begin(), further.end(), NameLess);
    goboDirectories_.insert(goboDirectories_.end(), further.begin(), further.end());
}

std::vector<fs::path> TPaletteIcons::IconFiles(const std::string &directory) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(root_ / directory, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (IsBitmapName(name) && entry->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NameLess);
    std::vector<fs::path> files;
    for (const std::string &name : names)
        files.push_back(root_ / directory / name);
    return files;
}

fs::path TPaletteIcons::Match(const fs::path &directory, const std::string &name)
{
    const fs::path exact = directory / name;
    std::error_code error;
    if (fs::exists(exact, error))
        return exact;
    auto listing = listings_.find(directory.string());
    if (listing == listings_.end()) {
        std::unordered_map<std::string, std::string> names;
        for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error)) {
            const std::string found = entry->path().filename().string();
            names.emplace(LowerCase(found), found);
        }
        listing = listings_.emplace(directory.string(), std::move(names)).first;
    }
    const auto found = listing->second.find(LowerCase(name));
    return found == listing->second.end() ? exact : directory / found->second;
}

fs::path TPaletteIcons::IconPath(const std::string &subDirectory, std::string_view name)
{
    // Icon names written on another system may carry directories with either separator.
    const std::string relative = ReplaceChar(Cp1252ToUtf8(name) + ".bmp", '\\', '/');
    fs::path path = Match(root_, subDirectory);
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t end = std::min(relative.find('/', start), relative.size());
        const std::string part = relative.substr(start, end - start);
        start = end + 1;
        if (!part.empty() && part != "." && part != "..")
            path = Match(path, part);
    }
    return path;
}

fs::path TPaletteIcons::DefaultIcon()
{
    return IconPath(GenericDir, DefaultIconName);
}

std::string TPaletteIcons::FindPaletteIcon(TPalette &palette, const TColourCatalogs &catalogs)
{
    std::error_code error;
    const auto inOrDefault = [&](const char *directory) {
        const fs::path path = IconPath(directory, palette.Bitmap);
        return (fs::exists(path, error) ? path : DefaultIcon()).string();
    };
    switch (palette.PaletteType) {
    case Intensity:
        return inOrDefault("Intensity");
    case Prism:
        return inOrDefault("Prism");
    case Blade:
        return inOrDefault("Blade");
    case PanTilt:
    case Gobo:
    case Special:
        for (const std::string &directory : goboDirectories_)
            if (const fs::path path = IconPath(directory, palette.Bitmap); fs::exists(path, error))
                return path.string();
        return DefaultIcon().string();
    case Colour: {
        catalogs.ResolvePaletteColor(palette);
        const fs::path path = IconPath("Colors", palette.Bitmap);
        return fs::exists(path, error) ? path.string() : std::string();
    }
    default:
        return {};
    }
}

QPixmap TPaletteIcons::Glyph(const fs::path &file)
{
    const auto cached = glyphs_.find(file.string());
    if (cached != glyphs_.end())
        return cached->second;
    const QImage image(QString::fromStdString(file.string()));
    const QPixmap glyph = image.isNull() ? QPixmap() : TransparentGlyph(image);
    glyphs_.emplace(file.string(), glyph);
    return glyph;
}

QPixmap TPaletteIcons::Swatch(TColor color)
{
    const auto cached = swatches_.find(color);
    if (cached != swatches_.end())
        return cached->second;
    QPixmap bitmap;
    DrawSwatch(bitmap, color);
    const QPixmap glyph = TransparentGlyph(bitmap.toImage());
    swatches_.emplace(color, glyph);
    return glyph;
}

void DrawSwatch(QPixmap &bitmap, TColor color)
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(QColor(1, 0, 0));
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const TRgb rgb = SplitColor(color);
        const QColor colour(rgb.Red, rgb.Green, rgb.Blue);
        painter.setPen(colour);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(3.5, 3.5, 57, 57));
    }
    bitmap = QPixmap::fromImage(image);
}

QPixmap TransparentGlyph(const QImage &image)
{
    QImage glyph = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = glyph.pixel(0, glyph.height() - 1) | 0xFF000000u;
    for (int y = 0; y < glyph.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(glyph.scanLine(y));
        for (int x = 0; x < glyph.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return QPixmap::fromImage(glyph);
}

QPixmap ControlPicture(const QString &name)
{
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(24, 24);
    const QColor outline(64, 64, 72);
    if (name == "HiLite") {
        // A lamp at full, with its rays.
        painter.setPen(QPen(QColor(230, 176, 40), 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            const double a = i * std::numbers::pi / 4;
            painter.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * 17,
                             centre + QPointF(std::cos(a), std::sin(a)) * 22);
        }
        painter.setPen(QPen(outline, 1.5));
        painter.setBrush(QColor(255, 236, 140));
        painter.drawEllipse(centre, 12, 12);
    } else if (name == "Locate") {
        // Cross hairs on the spot the fixture points at.
        painter.setPen(QPen(QColor(40, 90, 170), 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 14, 14);
        painter.drawLine(QPointF(24, 3), QPointF(24, 17));
        painter.drawLine(QPointF(24, 31), QPointF(24, 45));
        painter.drawLine(QPointF(3, 24), QPointF(17, 24));
        painter.drawLine(QPointF(31, 24), QPointF(45, 24));
        painter.setBrush(QColor(40, 90, 170));
        painter.drawEllipse(centre, 3, 3);
    } else {
        // A lamp kept warm but dark.
        QRadialGradient glow(centre, 16);
        glow.setColorAt(0, QColor(150, 110, 40));
        glow.setColorAt(0.45, QColor(70, 60, 50));
        glow.setColorAt(1, QColor(44, 44, 50));
        painter.setPen(QPen(outline, 1.5));
        painter.setBrush(glow);
        painter.drawEllipse(centre, 16, 16);
    }
    painter.end();
    return QPixmap::fromImage(image);
}
