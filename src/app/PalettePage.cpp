// The palettes page: the palette boxes of the five palette types, the icon boxes and the colour
// catalogs that make palettes, and the control palettes.

#include "MainFormClass.h"

#include "Application.h"
#include "DmxPanel.h"
#include "model/FixColors.h"
#include "model/FixDatas.h"
#include "palettes/PaletteIcons.h"
#include "palettes/PaletteWidgets.h"
#include "palettes/QtText.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/UserDialogs.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr uint8_t ControlPalette = 7;
constexpr int ColorSheetIndex = 1;
constexpr int ControlSheetIndex = 5;
// The palette types of the sub-pages, in tab order: Gobo, Color, Intensity, Prism, Blade.
constexpr uint8_t SheetTypes[] = {4, 3, 1, 5, 6};
constexpr const char *OtherIcon = "x_OTHER";
// What a button stands for: a palette button keeps its palette's key, an icon button its file.
constexpr const char *PaletteKeyProperty = "PaletteKey";
constexpr const char *IconFileProperty = "IconFile";
// A palette that has neither picture nor colour; only when even the default icon is missing.
const TColor NoColourSwatch = RgbColor(128, 128, 128);

// The detail grid: rows 16 high, and a title wider than its narrow column on two lines rather
// than cut.
void ShapeDetailGrid(QTableWidget *grid)
{
    // Set again: the default height is held to the minimum in force when it is set.
    grid->verticalHeader()->setMinimumSectionSize(16);
    grid->verticalHeader()->setDefaultSectionSize(16);
    QHeaderView *titles = grid->horizontalHeader();
    const QFontMetrics metrics = titles->fontMetrics();
    bool tooWide = false;
    for (int column = 0; column < grid->columnCount(); ++column)
        if (const QTableWidgetItem *title = grid->horizontalHeaderItem(column))
            tooWide = tooWide || metrics.horizontalAdvance(title->text()) + 10 > grid->columnWidth(column);
    if (!tooWide)
        return;
    titles->setDefaultAlignment(titles->defaultAlignment() | Qt::Alignment(Qt::TextWordWrap));
    titles->setFixedHeight(2 * metrics.lineSpacing() + 6);
}

} // namespace

TMainFormClass::~TMainFormClass() = default;

void TMainFormClass::SetupPalettePage()
{
    catalogs_ = std::make_unique<TColourCatalogs>();
    icons_ = std::make_unique<TPaletteIcons>(fs::path(ProgramDir()));
    icons_->ScanGoboDirectories();
    std::vector<std::string> unreadable;
    LoadIconBox(icons_->GoboDirectories().front(), c_.GoboScrollBox, unreadable);
    LoadIconBox("Intensity", c_.IntensityScrollBox, unreadable);
    LoadIconBox("Prism", c_.PrismScrollBox, unreadable);
    LoadIconBox("Blade", c_.BladeScrollBox, unreadable);

    // A broken catalog file costs its colours from the bad line on, not the colour boxes.
    std::string catalogProblem;
    try {
        catalogs_->LoadLeeCatalog(LeeCatalogFile());
    } catch (const std::exception &error) {
        catalogProblem = error.what();
    }
    catalogs_->LoadCustomColours(CustomColourFile());
    BuildColorBox(c_.sbLee);
    BuildColorBox(c_.sbCust);
    c_.PalettePageControl->setCurrentIndex(0);
    ShapeDetailGrid(c_.PaletteChannelList);

    if (!catalogProblem.empty())
        Dialogs().ShowMessage(TMessageKind::Warning, catalogProblem);
    if (!unreadable.empty()) {
        std::string text =
            unreadable.size() == 1 ? "This icon file cannot be read:" : "These icon files cannot be read:";
        for (const std::string &file : unreadable)
            text += "\n" + PathText(file);
        Dialogs().ShowMessage(TMessageKind::Warning, text);
    }
}

void TMainFormClass::WirePalettePage()
{
    connect(c_.PalettePageControl, &QTabWidget::currentChanged, this, Guarded([this] { PaletteSheetChanged(); }));
    for (TGlyphButton *button : {c_.Full, c_.StandBy, c_.Locate})
        connect(button, &QAbstractButton::clicked, this, Guarded([this, button] { SelectPalette(button); }));
    for (QPushButton *button : {c_.DeleteGoboPalette, c_.DeleteColorPalette, c_.DeleteIntensityPalette,
                                c_.DeletePrismPalette, c_.DeleteBladePalette})
        connect(button, &QPushButton::clicked, this, Guarded([this] { DeletePalette(); }));
}

void TMainFormClass::LoadIconBox(const std::string &directory, TScrollBox *box, std::vector<std::string> &unreadable)
{
    box->Clear();
    int column = 0, row = 0;
    for (const fs::path &file : icons_->IconFiles(directory)) {
        const QPixmap glyph = icons_->Glyph(file);
        if (glyph.isNull()) {
            unreadable.push_back(file.string());
            continue;
        }
        const QString name = QString::fromStdString(file.filename().string());
        auto *button = new TGlyphButton(name.left(name.size() - 4), glyph);
        button->setProperty(IconFileProperty, QString::fromStdString(file.string()));
        box->Place(button, 3 + TPaletteBox::ButtonWidth * column, 3 + TPaletteBox::ButtonHeight * row);
        connect(button, &QAbstractButton::clicked, this, Guarded([this, button] { AddPaletteFromButton(button); }));
        // The compact layout's icon boxes are two buttons wide.
        if (++column == (Is800() ? 2 : 3)) {
            column = 0;
            ++row;
        }
    }
}

void TMainFormClass::BuildColorBox(TScrollBox *box)
{
    const int width = box->ClientWidth();
    const int side = width / 5;
    const bool lee = box == c_.sbLee;
    int x = 0, y = 0;
    for (std::size_t i = 0; i < CatalogSize; ++i) {
        auto *button = new TColourButton(static_cast<int>(i) + 1);
        button->setObjectName(QString("btn%1%2").arg(box->objectName()).arg(i));
        button->setFixedSize(side, side);
        button->SetCaption(QString::number(i + 1) + "  ");
        if (i > 0) {
            if (x + side > width - 3) {
                x = 0;
                y += side;
            } else {
                x += side;
            }
        }
        box->Place(button, x, y);
        if (lee) {
            const TLeeEntry &gel = catalogs_->Lee[i];
            const QString description = ToQt(gel.Description);
            button->PointSize = 9;
            button->SetCaption(QString(description).replace(' ', '\n'));
            button->setToolTip(description);
            button->Colour = QColor(gel.Red, gel.Green, gel.Blue);
        } else if (const TCustomColour &custom = catalogs_->Custom[i]; custom.Defined) {
            const TRgb rgb = SplitColor(custom.Color);
            button->PointSize = 12;
            button->SetCaption(ToQt(custom.No));
            button->setToolTip(ToQt(custom.Description));
            button->Colour = QColor(rgb.Red, rgb.Green, rgb.Blue);
        }
        connect(button, &QAbstractButton::clicked, this, Guarded([this, button] { ColorButtonClick(button); }));
    }
}

void TMainFormClass::ShowLeeCatalog()
{
    c_.ColorGroup->setTitle("Lee");
    c_.sbLee->show();
}

uint8_t TMainFormClass::PaletteTypeOfSheet() const
{
    const int index = c_.PalettePageControl->currentIndex();
    return index >= 0 && index < static_cast<int>(std::size(SheetTypes)) ? SheetTypes[index] : 0;
}

TPaletteBox *TMainFormClass::PaletteBoxOfType(uint8_t paletteType) const
{
    switch (paletteType) {
    case 1:
        return c_.IntensityPaletteBox;
    case 2:
    case 4:
        return c_.GoboPaletteBox;
    case 3:
        return c_.ColorPaletteBox;
    case 5:
        return c_.PrismPaletteBox;
    case 6:
        return c_.BladePaletteBox;
    default:
        return nullptr;
    }
}

TPaletteBox *TMainFormClass::PaletteBoxOfSheet() const
{
    const uint8_t type = PaletteTypeOfSheet();
    return type ? PaletteBoxOfType(type) : nullptr;
}

std::string TMainFormClass::FindPaletteIcon(TPalette &palette)
{
    return icons_->FindPaletteIcon(palette, *catalogs_);
}

void TMainFormClass::ColorButtonClick(QObject *sender)
{
    const auto *button = qobject_cast<TColourButton *>(sender);
    if (!button)
        return;
    c_.btnToPalette->setToolTip(button->toolTip());
    AddPaletteFromButton(c_.btnToPalette);
}

void TMainFormClass::AddPaletteFromButton(QObject *sender)
{
    std::string name, bitmap;
    if (sender == c_.btnToPalette) {
        const auto answer = Dialogs().AskName("Get palette name", FromQt(c_.btnToPalette->toolTip()));
        if (!answer)
            return;
        name = bitmap = *answer;
    } else if (const auto *icon = qobject_cast<TGlyphButton *>(sender);
               icon && icon->property(IconFileProperty).isValid()) {
        const std::string iconName = FromQt(icon->Caption());
        if (SameText(iconName, OtherIcon)) {
            // The default icon stands for a palette named freely, with a picture of that name.
            const auto answer = Dialogs().InputBox("Palette name", "Enter name:", "");
            if (!answer || answer->empty())
                return;
            name = bitmap = *answer;
        } else {
            const auto answer = Dialogs().AskName("Get palette name", iconName);
            if (!answer)
                return;
            name = *answer;
            bitmap = iconName;
        }
    } else {
        return;
    }

    TPalette *palette = nullptr;
    try {
        palette = &CurrentFixture().AddPalette(name, PaletteTypeOfSheet());
    } catch (const EFixtureError &error) {
        Dialogs().ShowMessage(TMessageKind::Error, error.what());
        return;
    }
    palette->Bitmap = bitmap;
    palette->Description.clear();
    Modified();
    // A picture for the new name may have been added since the page was entered.
    icons_->ForgetListings();
    AddPaletteButton(*palette);
    if (TPaletteBox *box = PaletteBoxOfType(palette->PaletteType); box && !box->Buttons().empty())
        box->ensureWidgetVisible(box->Buttons().back());
}

void TMainFormClass::AddPaletteButton(TPalette &palette)
{
    const std::string iconFile = FindPaletteIcon(palette);
    TPaletteBox *box = PaletteBoxOfType(palette.PaletteType);
    if (!box)
        return;
    QPixmap glyph;
    std::error_code error;
    if (!iconFile.empty() && fs::exists(iconFile, error))
        glyph = icons_->Glyph(iconFile);
    if (glyph.isNull())
        glyph = icons_->Swatch(palette.Red >= 0 ? RgbColor(palette.Red, palette.Green, palette.Blue) : NoColourSwatch);

    auto *button = new TGlyphButton(ToQt(palette.Name), glyph);
    button->Tag = palette.PaletteType;
    button->setProperty(PaletteKeyProperty,
                        QByteArray::fromStdString(PaletteIndexKey(palette.Name, palette.PaletteType)));
    box->Add(button);
    connect(button, &QAbstractButton::clicked, this, Guarded([this, button] { SelectPalette(button); }));
    // A rebuild selects once, when every button is in place.
    if (filling_)
        return;
    box->RaiseAll();
    button->setChecked(true);
    SelectPalette(button);
}

QAbstractButton *TMainFormClass::PaletteButtonOfSheet() const
{
    if (c_.PalettePageControl->currentIndex() == ControlSheetIndex) {
        for (TGlyphButton *button : {c_.Full, c_.StandBy, c_.Locate})
            if (button->isChecked())
                return button;
        return nullptr;
    }
    const TPaletteBox *box = PaletteBoxOfSheet();
    return box ? box->Current() : nullptr;
}

TPalette *TMainFormClass::PaletteOfButton(const QAbstractButton *button) const
{
    const TFixture &f = CurrentFixture();
    if (!button)
        return nullptr;
    if (const QVariant key = button->property(PaletteKeyProperty); key.isValid())
        return f.Palettes.Find(key.toByteArray().toStdString());
    const auto *glyph = qobject_cast<const TGlyphButton *>(button);
    return glyph && glyph->Tag == ControlPalette ? f.FindPalette(FromQt(glyph->Caption()), ControlPalette) : nullptr;
}

TPalette *TMainFormClass::CurrentPalette() const
{
    return PaletteOfButton(PaletteButtonOfSheet());
}

void TMainFormClass::SelectPalette(QObject *sender)
{
    const auto *button = qobject_cast<TGlyphButton *>(sender);
    if (!button)
        return;
    // A control palette is made empty the first time its button is used; it holds nothing the
    // file would miss.
    if (button->Tag == ControlPalette && !PaletteOfButton(button))
        CurrentFixture().AddPalette(FromQt(button->Caption()), ControlPalette);
    RefreshPaletteDetail();
    if (const TPalette *palette = CurrentPalette())
        SendPaletteLive(CurrentFixture(), *palette); // with live output on, the fixture shows it
}

void TMainFormClass::RebuildPaletteBoxes()
{
    {
        const QSignalBlocker quiet(c_.PalettePageControl);
        c_.PalettePageControl->setCurrentIndex(ControlSheetIndex);
    }
    TPaletteBox *const boxes[] = {c_.GoboPaletteBox, c_.IntensityPaletteBox, c_.PrismPaletteBox, c_.BladePaletteBox,
                                  c_.ColorPaletteBox};
    {
        const auto filling = Filling();
        for (TPaletteBox *box : boxes)
            box->Clear();
        icons_->ForgetListings();
        for (TPalette &palette : CurrentFixture().Palettes)
            if (palette.PaletteType != ControlPalette)
                AddPaletteButton(palette);
    }
    for (TPaletteBox *box : boxes)
        if (!box->Buttons().empty()) {
            box->RaiseAll();
            box->Buttons().front()->setChecked(true);
        }
    c_.StandBy->setChecked(false);
    c_.Locate->setChecked(false);
    c_.Full->setChecked(true);
    SelectPalette(c_.Full);
}

void TMainFormClass::PaletteSheetChanged()
{
    if (c_.PalettePageControl->currentIndex() == ColorSheetIndex)
        ShowLeeCatalog();
    // The palette shown is the one down on the sheet, or none.
    if (QAbstractButton *down = PaletteButtonOfSheet()) {
        if (c_.PalettePageControl->currentIndex() != ControlSheetIndex)
            c_.PaletteChannelList->setCurrentCell(0, 0);
        SelectPalette(down);
    } else {
        RefreshPaletteDetail();
    }
}

void TMainFormClass::DeletePalette()
{
    // "<" deletes the palette selected on its own sub-page, never one the user cannot see there
    // (such as a control palette left current from another sub-page).
    const TPaletteBox *box = PaletteBoxOfSheet();
    const QAbstractButton *down = box ? box->FirstDown() : nullptr;
    const QVariant key = down ? down->property(PaletteKeyProperty) : QVariant();
    if (!key.isValid())
        return;
    TFixture &f = CurrentFixture();
    const int index = f.Palettes.IndexOf(key.toByteArray().toStdString());
    if (index >= 0) {
        f.Palettes.Delete(static_cast<std::size_t>(index));
        Modified();
    }
    RebuildPaletteBoxes();
}
