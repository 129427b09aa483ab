// The palettes page: the palette boxes of the five palette types, the icon boxes and the colour
// catalogs that make palettes, and the control palettes.

#include "PalettesPage.h"

#include "Application.h"
#include "DmxPanel.h"
#include "PageBuilder.h"
#include "Widgets.h"
#include "model/FixClasses.h"
#include "model/FixColors.h"
#include "palettes/PaletteIcons.h"
#include "palettes/PaletteWidgets.h"
#include "palettes/QtText.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/UserDialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

using namespace build;

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

constexpr int EntryRole = Qt::UserRole;

const TParameter *AttributeOfGridRow(const QTableWidget *grid, int row)
{
    const QTableWidgetItem *item = row >= 0 ? grid->item(row, 0) : nullptr;
    return item && item->data(EntryRole).isValid()
               ? reinterpret_cast<const TParameter *>(item->data(EntryRole).value<quintptr>())
               : nullptr;
}

// The grid keeps the rows of the last refresh; an attribute deleted since is not used.
bool IsAttributeOf(const TFixture &fixture, const TParameter *attribute)
{
    const auto &entries = fixture.Attributes.Entries();
    return std::any_of(entries.begin(), entries.end(),
                       [&](const auto &entry) { return entry.Parameter.get() == attribute; });
}

} // namespace

void TPalettesPage::Build(QWidget *page, TPalettesControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(4, 4, 4, 4);
    c.PalettePageControl = Make<QTabWidget>("PalettePageControl", page);
    c.PalettePageControl->setTabPosition(QTabWidget::South);
    row->addWidget(c.PalettePageControl, 1);

    const auto sheet = [&](const char *name, const char *caption) {
        auto *widget = new QWidget(c.PalettePageControl);
        widget->setObjectName(name);
        c.PalettePageControl->addTab(widget, caption);
        auto *columns = new QHBoxLayout(widget);
        columns->setContentsMargins(4, 4, 4, 4);
        return widget;
    };
    const auto columnsOf = [](QWidget *widget) { return static_cast<QHBoxLayout *>(widget->layout()); };
    // The palette box of a sub-page with its "<" beside it.
    const auto paletteColumn = [&](QWidget *widget, const char *boxName, const char *deleteName, TPaletteBox *&box,
                                   QPushButton *&deleteButton) {
        auto *group = Group(" Palette ", widget);
        auto *inside = new QVBoxLayout(group);
        inside->setContentsMargins(4, 4, 4, 4);
        box = new TPaletteBox(boxName, group);
        inside->addWidget(box);
        columnsOf(widget)->addWidget(group);
        deleteButton = Button(deleteName, "<", widget);
        deleteButton->setFixedWidth(28);
        columnsOf(widget)->addWidget(deleteButton, 0, Qt::AlignVCenter);
    };
    // Icon boxes are as wide as their columns of icons.
    const int iconBoxWidth = 3 + TPaletteBox::ButtonWidth * (compact ? 2 : 3) + 3;
    const auto iconColumn = [&](QWidget *widget, const char *boxName, TScrollBox *&box) {
        auto *group = Group(" Icons ", widget);
        auto *inside = new QVBoxLayout(group);
        inside->setContentsMargins(4, 4, 4, 4);
        box = new TScrollBox(boxName, iconBoxWidth, group);
        inside->addWidget(box);
        columnsOf(widget)->addWidget(group);
        columnsOf(widget)->addStretch();
    };

    c.GoboSheet = sheet("GoboSheet", "Gobo");
    paletteColumn(c.GoboSheet, "GoboPaletteBox", "DeleteGoboPalette", c.GoboPaletteBox, c.DeleteGoboPalette);
    iconColumn(c.GoboSheet, "GoboScrollBox", c.GoboScrollBox);

    c.ColorSheet = sheet("ColorSheet", "Color");
    paletteColumn(c.ColorSheet, "ColorPaletteBox", "DeleteColorPalette", c.ColorPaletteBox, c.DeleteColorPalette);
    c.ColorGroup = Group(" Colors ", c.ColorSheet);
    c.ColorGroup->setObjectName("ColorGroup");
    auto *colours = new QVBoxLayout(c.ColorGroup);
    colours->setContentsMargins(4, 4, 4, 4);
    // Five colour buttons a row: the inside is a multiple of five wide.
    const int catalogWidth = compact ? 290 : 400;
    c.sbLee = new TScrollBox("sbLee", catalogWidth, c.ColorGroup);
    c.sbCust = new TScrollBox("sbCust", catalogWidth, c.ColorGroup);
    c.sbLee->hide();
    c.sbCust->hide();
    colours->addWidget(c.sbLee);
    colours->addWidget(c.sbCust);
    c.btnToPalette = Button("btnToPalette", "To palette", c.ColorGroup);
    c.btnToPalette->hide();
    columnsOf(c.ColorSheet)->addWidget(c.ColorGroup);
    columnsOf(c.ColorSheet)->addStretch();

    c.IntensitySheet = sheet("IntensitySheet", "Intensity");
    paletteColumn(c.IntensitySheet, "IntensityPaletteBox", compact ? "Button1" : "DeleteIntensityPalette",
                  c.IntensityPaletteBox, c.DeleteIntensityPalette);
    iconColumn(c.IntensitySheet, "IntensityScrollBox", c.IntensityScrollBox);

    c.PrismSheet = sheet("PrismSheet", "Prism");
    paletteColumn(c.PrismSheet, "PrismPaletteBox", compact ? "Button2" : "DeletePrismPalette", c.PrismPaletteBox,
                  c.DeletePrismPalette);
    iconColumn(c.PrismSheet, "PrismScrollBox", c.PrismScrollBox);

    c.BladeSheet = sheet("BladeSheet", "Blade");
    paletteColumn(c.BladeSheet, "BladePaletteBox", compact ? "Button3" : "DeleteBladePalette", c.BladePaletteBox,
                  c.DeleteBladePalette);
    iconColumn(c.BladeSheet, "BladeScrollBox", c.BladeScrollBox);

    c.ControlSheet = sheet("ControlSheet", "Control");
    auto *controls = Group(" Controls ", c.ControlSheet);
    auto *controlsInside = new QVBoxLayout(controls);
    auto *stack = new QWidget(controls);
    stack->setFixedSize(TPaletteBox::ButtonWidth, 3 * TPaletteBox::ButtonHeight);
    controlsInside->addWidget(stack);
    controlsInside->addStretch();
    auto *controlGroup = new TToggleGroup(controls);
    const auto controlButton = [&](const char *name, const char *caption, int top) {
        auto *button = new TGlyphButton(caption, ControlPicture(caption), stack);
        button->setObjectName(name);
        button->Tag = 7;
        button->move(0, top);
        controlGroup->Add(button);
        return button;
    };
    c.Full = controlButton("Full", "Standby", 0);
    c.StandBy = controlButton("StandBy", "HiLite", TPaletteBox::ButtonHeight);
    c.Locate = controlButton("Locate", "Locate", 2 * TPaletteBox::ButtonHeight);
    columnsOf(c.ControlSheet)->addWidget(controls);
    columnsOf(c.ControlSheet)->addStretch();

    c.PaletteDetail = Group(compact ? " Channels " : "Palette detail", page);
    c.PaletteDetail->setObjectName("PaletteDetail");
    auto *detail = new QVBoxLayout(c.PaletteDetail);
    detail->setContentsMargins(4, 4, 4, 4);
    c.PaletteChannelList = Make<QTableWidget>("PaletteChannelList", c.PaletteDetail);
    const int columnsWidth = compact ? 42 + 121 + 64 : 42 + 155 + 61;
    c.PaletteChannelList->setFixedWidth(columnsWidth + c.PaletteChannelList->verticalScrollBar()->sizeHint().width() +
                                        2 * c.PaletteChannelList->frameWidth());
    detail->addWidget(c.PaletteChannelList);
    row->addWidget(c.PaletteDetail);
}

TPalettesPage::TPalettesPage(TPalettesControls &controls, const TPageLink &link, QObject *parent)
    : TPage(controls.PalettePage, link, parent), c_(controls)
{
    QMetaObject::invokeMethod(this, Guarded([this] { SetupOnce(); }), Qt::QueuedConnection);
}

TPalettesPage::~TPalettesPage() = default;

void TPalettesPage::SetupOnce()
{
    if (c_.PalettePageControl)
        return;
    Build(c_.PalettePage, c_, Is800() ? TLayout::Compact800 : TLayout::Standard);
    // Built while its tab is shown, the page shows its parts at once.
    c_.PalettePageControl->show();
    c_.PaletteDetail->show();
    SetupGrid(c_.PaletteChannelList, {{"Ch", 42}, {"Ch name.", Is800() ? 121 : 155}, {"Dmx value", Is800() ? 64 : 61}});
    Wire();
    Setup();
}

void TPalettesPage::Setup()
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

void TPalettesPage::Wire()
{
    connect(c_.PaletteChannelList, &QTableWidget::cellDoubleClicked, this, Guarded([this] { EditPaletteValue(); }));
    c_.PaletteChannelList->installEventFilter(this);
    connect(c_.PalettePageControl, &QTabWidget::currentChanged, this, Guarded([this] { PaletteSheetChanged(); }));
    for (TGlyphButton *button : {c_.Full, c_.StandBy, c_.Locate})
        connect(button, &QAbstractButton::clicked, this, Guarded([this, button] { SelectPalette(button); }));
    for (QPushButton *button : {c_.DeleteGoboPalette, c_.DeleteColorPalette, c_.DeleteIntensityPalette,
                                c_.DeletePrismPalette, c_.DeleteBladePalette})
        connect(button, &QPushButton::clicked, this, Guarded([this] { DeletePalette(); }));
}

bool TPalettesPage::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the detail grid edits the value of its selected row, as a double click does.
    if (watched == c_.PaletteChannelList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guard([this] { EditPaletteValue(); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TPalettesPage::Entered()
{
    SetupOnce();
    RebuildPaletteBoxes();
}

void TPalettesPage::LoadIconBox(const std::string &directory, TScrollBox *box, std::vector<std::string> &unreadable)
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

void TPalettesPage::BuildColorBox(TScrollBox *box)
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

void TPalettesPage::ShowLeeCatalog()
{
    c_.ColorGroup->setTitle("Lee");
    c_.sbLee->show();
}

uint8_t TPalettesPage::PaletteTypeOfSheet() const
{
    const int index = c_.PalettePageControl->currentIndex();
    return index >= 0 && index < static_cast<int>(std::size(SheetTypes)) ? SheetTypes[index] : 0;
}

TPaletteBox *TPalettesPage::PaletteBoxOfType(uint8_t paletteType) const
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

TPaletteBox *TPalettesPage::PaletteBoxOfSheet() const
{
    const uint8_t type = PaletteTypeOfSheet();
    return type ? PaletteBoxOfType(type) : nullptr;
}

std::string TPalettesPage::FindPaletteIcon(TPalette &palette)
{
    SetupOnce();
    return icons_->FindPaletteIcon(palette, *catalogs_);
}

void TPalettesPage::ColorButtonClick(QObject *sender)
{
    const auto *button = qobject_cast<TColourButton *>(sender);
    if (!button)
        return;
    c_.btnToPalette->setToolTip(button->toolTip());
    AddPaletteFromButton(c_.btnToPalette);
}

void TPalettesPage::AddPaletteFromButton(QObject *sender)
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
        palette = &Fixture().AddPalette(name, PaletteTypeOfSheet());
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

void TPalettesPage::AddPaletteButton(TPalette &palette)
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
    if (IsFilling())
        return;
    box->RaiseAll();
    button->setChecked(true);
    SelectPalette(button);
}

QAbstractButton *TPalettesPage::PaletteButtonOfSheet() const
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

TPalette *TPalettesPage::PaletteOfButton(const QAbstractButton *button) const
{
    const TFixture &f = Fixture();
    if (!button)
        return nullptr;
    if (const QVariant key = button->property(PaletteKeyProperty); key.isValid())
        return f.Palettes.Find(key.toByteArray().toStdString());
    const auto *glyph = qobject_cast<const TGlyphButton *>(button);
    return glyph && glyph->Tag == ControlPalette ? f.FindPalette(FromQt(glyph->Caption()), ControlPalette) : nullptr;
}

TPalette *TPalettesPage::CurrentPalette() const
{
    return PaletteOfButton(PaletteButtonOfSheet());
}

void TPalettesPage::SelectPalette(QObject *sender)
{
    const auto *button = qobject_cast<TGlyphButton *>(sender);
    if (!button)
        return;
    // A control palette is made empty the first time its button is used; it holds nothing the
    // file would miss.
    if (button->Tag == ControlPalette && !PaletteOfButton(button))
        Fixture().AddPalette(FromQt(button->Caption()), ControlPalette);
    RefreshPaletteDetail();
    if (const TPalette *palette = CurrentPalette())
        SendPaletteLive(Widget(), Fixture(), *palette); // with live output on, the fixture shows it
}

void TPalettesPage::RebuildPaletteBoxes()
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
        for (TPalette &palette : Fixture().Palettes)
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

void TPalettesPage::PaletteSheetChanged()
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

void TPalettesPage::DeletePalette()
{
    // "<" deletes the palette selected on its own sub-page, never one the user cannot see there
    // (such as a control palette left current from another sub-page).
    const TPaletteBox *box = PaletteBoxOfSheet();
    const QAbstractButton *down = box ? box->FirstDown() : nullptr;
    const QVariant key = down ? down->property(PaletteKeyProperty) : QVariant();
    if (!key.isValid())
        return;
    TFixture &f = Fixture();
    const int index = f.Palettes.IndexOf(key.toByteArray().toStdString());
    if (index >= 0) {
        f.Palettes.Delete(static_cast<std::size_t>(index));
        Modified();
    }
    RebuildPaletteBoxes();
}

void TPalettesPage::RefreshPaletteDetail()
{
    SetupOnce();
    QTableWidget *grid = c_.PaletteChannelList;
    const QSignalBlocker quiet(grid);
    const TPalette *palette = CurrentPalette();
    const int selected = grid->currentRow();
    grid->clearContents();
    grid->setRowCount(1);
    int row = 0;
    for (const auto &entry : Fixture().Attributes.Entries()) {
        const TParameter &attribute = *entry.Parameter;
        if (attribute.IsLowPart)
            continue;
        grid->setRowCount(row + 1);
        auto *channel = new QTableWidgetItem(QString::number(attribute.InternalPatch));
        channel->setData(EntryRole, QVariant::fromValue(reinterpret_cast<quintptr>(&attribute)));
        grid->setItem(row, 0, channel);
        grid->setItem(row, 1, new QTableWidgetItem(ToQt(attribute.Name)));
        const TPaletteLine *value = palette ? palette->Lines.Find(attribute.Name) : nullptr;
        grid->setItem(row, 2, new QTableWidgetItem(value ? QString::number(value->Value / 257) : QString()));
        ++row;
    }
    // A row that went with deleted attributes is not selected again, nor is another in its place.
    if (selected >= 0 && selected < row) {
        grid->setCurrentCell(selected, 0);
    } else {
        grid->clearSelection();
        grid->setCurrentItem(nullptr);
    }
}

void TPalettesPage::EditPaletteValue()
{
    QTableWidget *grid = c_.PaletteChannelList;
    const int row = grid->currentRow();
    const TParameter *attribute = AttributeOfGridRow(grid, row);
    TPalette *palette = CurrentPalette();
    if (!palette || !attribute || !IsAttributeOf(Fixture(), attribute))
        return;
    TValueRequest request;
    request.Attribute = attribute->Name;
    request.Min = attribute->DmxMin;
    request.Max = attribute->DmxMax;
    const TPaletteLine *existing = palette->Lines.Find(attribute->Name);
    request.ValueLabel = existing ? "DMX Value (high part only):" : "DMX Value:";
    request.Value = existing ? existing->Value / 257 : 0;
    const auto answer = Dialogs().EnterValue(request);
    // The dialog shows the high byte: a value confirmed as shown stays exactly as it was.
    if (!answer || (existing && answer->Value == request.Value))
        return;
    TFixture &f = Fixture();
    if (!answer->Value) {
        if (const int i = palette->Lines.IndexOf(attribute->Name); i >= 0)
            palette->Lines.Delete(static_cast<std::size_t>(i));
        grid->item(row, 2)->setText({});
    } else {
        palette->SetValue(attribute->Name, *answer->Value * 257);
        grid->item(row, 2)->setText(QString::number(*answer->Value));
    }
    Modified();
    ColorFromCMY(f, *palette);
}

QWidget *TPalettesPage::FocusHome() const
{
    return c_.PaletteChannelList;
}
