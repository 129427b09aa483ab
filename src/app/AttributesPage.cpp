#include "AttributesPage.h"

#include "Application.h"
#include "PageBuilder.h"
#include "Widgets.h"
#include "model/FixClasses.h"
#include "model/FixConsts.h"
#include "palettes/QtText.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace build;

namespace {

using TAttributeRow = TRowLink<TParameter>;

// The attribute a low-part entry belongs to; an attribute is its own.
TParameter *MainEntry(const TFixture &f, TParameter *entry)
{
    if (!entry || !entry->IsLowPart)
        return entry;
    for (const auto &e : f.Attributes.Entries())
        if (!e.Parameter->IsLowPart && e.Parameter->InternalPatch == entry->InternalPatch)
            return e.Parameter.get();
    return nullptr;
}

// The position of the low-part entry of an attribute, or -1.
int LowPartIndex(const TFixture &f, const TParameter &attribute)
{
    const auto &entries = f.Attributes.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TParameter &e = *entries[i].Parameter;
        if (e.IsLowPart && e.InternalPatch == attribute.InternalPatch &&
            entries[i].Key == PatchKey(attribute.InternalPatchLow))
            return static_cast<int>(i);
    }
    return -1;
}

int IndexOfEntry(const TFixture &f, const TParameter *entry)
{
    const auto &entries = f.Attributes.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Parameter.get() == entry)
            return static_cast<int>(i);
    return -1;
}

constexpr uint8_t SpecialPalette = 7;

// The attribute's level in the control palette of that name, made when missing.
void FileLevel(TFixture &f, const std::string &palette, const std::string &channel, int32_t level)
{
    TPalette *target = f.FindPalette(palette, SpecialPalette);
    if (!target)
        target = &f.AddPalette(palette, SpecialPalette);
    target->SetValue(channel, level);
}

// The name a new attribute gets: a second Gobo becomes Gobo2, a Gobo after Gobo3 becomes Gobo4.
std::string NumberedName(const TFixture &f, const std::string &name)
{
    const std::string upper = UpperCase(name);
    int counter = 1;
    for (const auto &entry : f.Attributes.Entries()) {
        const TParameter &e = *entry.Parameter;
        // A low part is its attribute once more; it must not count twice.
        if (e.IsLowPart || !StartsWith(UpperCase(e.Name), upper))
            continue;
        if (e.Name.size() == name.size()) {
            if (e.Name == "Pan" || e.Name == "Tilt")
                throw EFixtureError(e.Name + " channel already exist!");
            ++counter;
        } else if (int32_t number = 0; TryStrToInt(std::string_view(e.Name).substr(name.size()), number)) {
            counter = std::max(counter, number + 1);
        }
    }
    return counter > 1 ? name + std::to_string(counter) : name;
}

// Settings.ini: the attribute editor's defaults for a new fixture.
constexpr const char *DefaultsSection = "FxrDefaults";

// Selects the item of the value among the texts, when there is one; any other value, letter case
// included, leaves the control as it is.
template <class Select>
void ApplySetting(const TIniFile &ini, const char *key, const QStringList &values, Select select)
{
    const auto index = values.indexOf(ToQt(ini.ReadString(DefaultsSection, key)));
    if (index >= 0)
        select(static_cast<int>(index));
}

// A list of numbers, no wider than its numbers need.
QComboBox *NumberList(const char *name, QWidget *parent)
{
    QComboBox *list = List(name, parent);
    list->setMaximumWidth(72);
    return list;
}

// The picture above the wheel fields: a wheel with two holes.
class TWheelPicture : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {60, 60}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

void TWheelPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().windowText(), 1));
    painter.setBrush(palette().button());
    const QRectF wheel = QRectF(rect()).adjusted(2, 2, -2, -2);
    painter.drawEllipse(wheel);
    painter.setBrush(palette().base());
    const double hole = wheel.width() / 5;
    painter.drawEllipse(QPointF(wheel.center().x() - hole, wheel.top() + hole * 1.4), hole / 1.6, hole / 1.6);
    painter.drawEllipse(QPointF(wheel.center().x() + hole, wheel.top() + hole * 1.4), hole / 1.6, hole / 1.6);
}

} // namespace

void TAttributesPage::Build(QWidget *page, TAttributesControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *row = new QHBoxLayout(page);

    // The channel grid with the buttons that change the list.
    auto *channels = Group(" Channels ", page);
    auto *channelsLayout = new QVBoxLayout(channels);
    c.AttributesChannelList = Make<QTableWidget>("AttributesChannelList", channels);
    c.AttributesChannelList->setFixedWidth(compact ? 205 : 200);
    channelsLayout->addWidget(c.AttributesChannelList);
    auto *moves = new QHBoxLayout;
    c.btnAttrUp = Button("btnAttrUp", compact ? "UP" : "Move Up", channels);
    c.btnAttrDown = Button("btnAttrDown", compact ? "DOWN" : "Move Down", channels);
    moves->addWidget(c.btnAttrUp);
    moves->addWidget(c.btnAttrDown);
    channelsLayout->addLayout(moves);
    auto *changes = new QHBoxLayout;
    c.btnDeleteCh = Button("btnDeleteCh", "Delete channel", channels);
    c.btnAddCh = Button("btnAddCh", "Add channel", channels);
    c.btnAddCh->setMinimumHeight(compact ? 0 : 40);
    changes->addWidget(c.btnDeleteCh);
    changes->addWidget(c.btnAddCh);
    channelsLayout->addLayout(changes);
    row->addWidget(channels);

    // The attribute editor.
    auto *editor = new QVBoxLayout;
    auto *types = new QHBoxLayout;
    types->setSpacing(2);
    c.ChannelTypes = new TToggleGroup(page);
    const char *typeNames[] = {"chTypeIntens", "chTypePT",  "chTypeColor",  "chTypeGobo", "chTypePrism",
                               "chTypeBlade",  "chTypeCMY", "chTypeEffect", "chTypeGrab"};
    const char *typeCaptions[] = {"Intens", "P/T", "Color", "Gobo", "Prism", "Blade", "CMY", "Effect", "Grab"};
    for (std::size_t i = 0; i < 9; ++i) {
        auto *button = Make<QToolButton>(typeNames[i], page);
        button->setText(typeCaptions[i]);
        button->setMinimumWidth(48);
        c.ChannelTypes->Add(button);
        c.ChannelTypeButtons[i] = button;
        types->addWidget(button);
        if (i >= 6) {
            button->hide();
            button->setEnabled(false);
        }
    }
    types->addStretch();
    editor->addLayout(types);

    auto *attribute = Group(" Attribute ", page);
    auto *attributeForm = Form(attribute);
    c.AttributeName = Make<QLineEdit>("AttributeName", attribute);
    c.Priority = NumberList("Priority", attribute);
    attributeForm->addRow("Attribute name", c.AttributeName);
    attributeForm->addRow("Priority", c.Priority);
    if (!compact)
        HideRow(attributeForm, c.Priority);
    editor->addWidget(attribute);

    auto *patchAndPath = new QHBoxLayout;
    auto *patch = Group(" Patch ", page);
    auto *patchForm = Form(patch);
    c.Patch = NumberList("Patch", patch);
    c.PatchLow = NumberList("PatchLow", patch);
    c.PatchLow->setEnabled(false);
    patchForm->addRow("Internal patch", c.Patch);
    patchForm->addRow("Internal patch low", c.PatchLow);
    c.chWidth = Make<TRadioGroup>("chWidth", patch, " Channel width ", QStringList{"8 bit", "16 bit"});
    patchForm->addRow(c.chWidth);
    patchAndPath->addWidget(patch);
    auto *pathColumn = new QVBoxLayout;
    auto *pathForm = Form(nullptr);
    c.Path = List("Path", page, {"Linear", "Snap start", "Snap end"});
    pathForm->addRow("Path", c.Path);
    pathColumn->addLayout(pathForm);
    c.ControlType = Make<TRadioGroup>("ControlType", page, " Control type ", QStringList{"HTP", "LTP"});
    pathColumn->addWidget(c.ControlType);
    pathColumn->addStretch();
    patchAndPath->addLayout(pathColumn);
    editor->addLayout(patchAndPath);

    auto *values = new QHBoxLayout;
    auto *dmx = Group(" Dmx value ", page);
    auto *dmxForm = Form(dmx);
    c.DmxMinValue = NumberList("DmxMinValue", dmx);
    c.DmxMaxValue = NumberList("DmxMaxValue", dmx);
    dmxForm->addRow("Dmx min value", c.DmxMinValue);
    dmxForm->addRow("Dmx max value", c.DmxMaxValue);
    values->addWidget(dmx);
    auto *other = Group(" Other parameters ", page);
    auto *otherForm = Form(other);
    c.Hinherit = List("Hinherit", other, {"Yes", "No"});
    c.Hinherit->setMaximumWidth(72);
    c.ShowOnEditor = List("ShowOnEditor", other, {"Yes", "No"});
    c.ShowOnEditor->setMaximumWidth(72);
    otherForm->addRow("Hinherit", c.Hinherit);
    otherForm->addRow("Show on editor", c.ShowOnEditor);
    values->addWidget(other);
    other->setVisible(compact);
    editor->addLayout(values);

    auto *apply = new QHBoxLayout;
    c.btnApplyParam = Button("btnApplyParam", compact ? "Apply" : "Apply changes", page);
    c.btnUndoParam = Button("btnUndoParam", compact ? "Undo param" : "Cancel changes", page);
    c.btnApplyParam->setEnabled(false);
    c.btnUndoParam->setEnabled(false);
    apply->addWidget(c.btnApplyParam);
    apply->addWidget(c.btnUndoParam);
    editor->addLayout(apply);

    // The wheel fields: sixteen attributes of the selected attribute's type. The compact layout
    // has no room for the wheel pictures and puts the fields under the editor.
    auto *wheels = new QGridLayout;
    wheels->setSpacing(4);
    const int firstFieldRow = compact ? 0 : 1;
    if (!compact)
        for (int column = 0; column < 4; ++column)
            wheels->addWidget(new TWheelPicture(page), 0, column, Qt::AlignHCenter);
    for (std::size_t i = 0; i < 16; ++i) {
        auto *wheel = new QLineEdit(page);
        wheel->setObjectName(QString("Wheel%1").arg(i + 1));
        wheel->setReadOnly(true);
        wheel->setEnabled(false);
        if (!compact)
            wheel->setFixedWidth(90);
        c.Wheels[i] = wheel;
        wheels->addWidget(wheel, firstFieldRow + static_cast<int>(i / 4), static_cast<int>(i % 4));
    }
    if (compact) {
        editor->addSpacing(6);
        editor->addLayout(wheels);
        editor->addStretch();
        row->addLayout(editor, 1);
    } else {
        editor->addStretch();
        row->addLayout(editor, 1);
        auto *wheelColumn = new QVBoxLayout;
        wheelColumn->addLayout(wheels);
        wheelColumn->addStretch();
        row->addLayout(wheelColumn);
    }
}

TAttributesPage::TAttributesPage(const TAttributesControls &controls, const TPageLink &link, QObject *parent)
    : TPage(controls.AttributesPage, link, parent), c_(controls)
{
    SetupGrid(c_.AttributesChannelList, {{"Ch", Is800() ? 42 : 36}, {"Ch name.", 139}});
    const QStringList bytes = Numbers(0, 255);
    const QStringList channels = Numbers(1, 64);
    c_.DmxMinValue->addItems(bytes);
    c_.DmxMaxValue->addItems(bytes);
    c_.PatchLow->addItem("na");
    c_.Priority->addItem("na");
    c_.Patch->addItems(channels);
    c_.PatchLow->addItems(channels);
    c_.Priority->addItems(channels);
    c_.btnAddCh->setText(Is800() ? "Add channel" : "Add\nchannels");
    ClearAttributeEditor();
}

void TAttributesPage::Wire()
{
    // The attribute editor collects edits until they are applied.
    const auto edited = Guarded([this] {
        if (!IsFilling())
            AttributeEdited();
    });
    connect(c_.ChannelTypes, &TToggleGroup::Clicked, this, edited);
    connect(c_.AttributeName, &QLineEdit::textChanged, this, edited);
    for (QComboBox *list :
         {c_.Priority, c_.Patch, c_.PatchLow, c_.Path, c_.DmxMinValue, c_.DmxMaxValue, c_.Hinherit, c_.ShowOnEditor})
        connect(list, &QComboBox::currentIndexChanged, this, edited);
    connect(c_.ControlType, &TRadioGroup::Clicked, this, edited);
    connect(c_.chWidth, &TRadioGroup::Clicked, this, Guarded([this] { ChannelWidthClick(); }));
    c_.AttributeName->installEventFilter(this);
    // Whatever moves the grid's selection asks about pending edits first, and shows the row's
    // attribute once it moved.
    auto *gate = new TRowGate(c_.AttributesChannelList, [this](int row) { return AttributeMayMove(row); });
    connect(gate, &QItemSelectionModel::selectionChanged, this, Guarded([this] {
                if (!IsFilling())
                    ShowSelectedAttribute();
            }));
    connect(c_.btnApplyParam, &QPushButton::clicked, this, Guarded([this] { ApplyAttribute(); }));
    connect(c_.btnUndoParam, &QPushButton::clicked, this, Guarded([this] { UndoAttribute(); }));
    connect(c_.btnDeleteCh, &QPushButton::clicked, this, Guarded([this] { DeleteChannel(); }));
    connect(c_.btnAttrUp, &QPushButton::clicked, this, Guarded([this] { MoveAttribute(-1); }));
    connect(c_.btnAttrDown, &QPushButton::clicked, this, Guarded([this] { MoveAttribute(+1); }));
    connect(c_.btnAddCh, &QPushButton::clicked, this, Guarded([this] { AddChannelClick(); }));
}

void TAttributesPage::Show()
{
    FillAttributeGrid(nullptr);
    // A file's own channel count stays; a file without one counts its rows.
    if (Fixture().DmxChannels <= 0)
        FollowRowCount();
}

void TAttributesPage::Entered()
{
    ShowSelectedAttribute();
}

void TAttributesPage::Reset()
{
    ClearAttributeEditor();
    ClearWheels();
    EnableAttributeEditor();
    ApplyAttributeDefaults();
    // Nothing is being edited in a new fixture.
    SetAttributeEdited(false);
}

void TAttributesPage::ApplyAttributeDefaults()
{
    const TIniFile ini(ProgramFile("Settings.ini"));
    ApplySetting(ini, "ControlType", {"HTP", "LTP"}, [this](int i) { c_.ControlType->SetItemIndex(i); });
    ApplySetting(ini, "Path", {"Linear", "SnapStart", "SnapEnd"}, [this](int i) { c_.Path->setCurrentIndex(i); });
    ApplySetting(ini, "Inherit", {"Yes", "No"}, [this](int i) { c_.Hinherit->setCurrentIndex(i); });
    ApplySetting(ini, "ShowOnEditor", {"Yes", "No"}, [this](int i) { c_.ShowOnEditor->setCurrentIndex(i); });
}

void TAttributesPage::RestoreRow(int row)
{
    if (row > 0 && row < c_.AttributesChannelList->rowCount())
        SelectAttribute(row);
}

int TAttributesPage::SelectedRow() const
{
    const QModelIndexList rows = c_.AttributesChannelList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

TParameter *TAttributesPage::CurrentAttribute() const
{
    return AttributeOfRow(SelectedRow());
}

TParameter *TAttributesPage::AttributeOfRow(int row) const
{
    // Between a change of the whole fixture and the grid's next filling, the rows name entries
    // that are gone.
    TParameter *entry = TAttributeRow::Of(c_.AttributesChannelList, row);
    return IndexOfEntry(Fixture(), entry) >= 0 ? entry : nullptr;
}

void TAttributesPage::ClearAttributeEditor()
{
    const auto filling = Filling();
    c_.AttributeName->clear();
    for (QComboBox *list : {c_.Priority, c_.Patch, c_.PatchLow, c_.Path, c_.DmxMinValue, c_.Hinherit, c_.ShowOnEditor})
        list->setCurrentIndex(0);
    c_.chWidth->SetItemIndex(0);
    c_.ControlType->SetItemIndex(0);
    c_.DmxMaxValue->setCurrentIndex(255);
}

void TAttributesPage::RefreshAttributeGrid()
{
    FillAttributeGrid(CurrentAttribute());
    FollowRowCount();
}

void TAttributesPage::FollowRowCount()
{
    // "Dmx channels" follows the channels the attributes take, low parts included, when the rows
    // change; a loaded fixture keeps its own count until then.
    const int count = static_cast<int>(Fixture().Attributes.Count());
    Fixture().DmxChannels = count;
    emit ChannelCountChanged();
}

void TAttributesPage::FillAttributeGrid(const TParameter *selected)
{
    // The selection stays on the given entry, or else on its row.
    QTableWidget *grid = c_.AttributesChannelList;
    const int selectedRow = SelectedRow();
    const auto filling = Filling();

    const TAttributeList &attributes = Fixture().Attributes;
    const int count = static_cast<int>(attributes.Count());
    grid->clearContents();
    grid->setRowCount(std::max(count, 1));
    const QBrush lowPartBackground = grid->palette().button();
    int restore = std::min(selectedRow, count - 1);
    for (int row = 0; row < count; ++row) {
        const TParameter &p = attributes[static_cast<std::size_t>(row)];
        auto *channel = new QTableWidgetItem(QString::number(p.IsLowPart ? p.InternalPatchLow : p.InternalPatch));
        auto *name = new QTableWidgetItem(ToQt(p.Name) + (p.IsLowPart ? "( low )" : ""));
        TAttributeRow::Set(channel, &p);
        if (p.IsLowPart) {
            channel->setBackground(lowPartBackground);
            name->setBackground(lowPartBackground);
        }
        grid->setItem(row, 0, channel);
        grid->setItem(row, 1, name);
        if (&p == selected)
            restore = row;
    }
    if (count > 0)
        grid->selectRow(std::max(restore, 0));
    else
        grid->clearSelection();
    ApplyNameFieldRule();
}

void TAttributesPage::ApplyNameFieldRule()
{
    // With no attribute to edit, there is no name to type.
    if (Fixture().Attributes.Empty()) {
        const QSignalBlocker quiet(c_.AttributeName);
        c_.AttributeName->clear();
        c_.AttributeName->setEnabled(false);
    } else {
        c_.AttributeName->setEnabled(true);
    }
}

void TAttributesPage::EnableAttributeEditor()
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             c_.btnAttrUp, c_.btnAttrDown, c_.AttributeName, c_.Priority, c_.chWidth, c_.ControlType, c_.Patch, c_.Path,
             c_.DmxMinValue, c_.DmxMaxValue, c_.Hinherit, c_.ShowOnEditor})
        control->setEnabled(true);
    // A low patch belongs to 16-bit attributes only.
    c_.PatchLow->setEnabled(c_.chWidth->ItemIndex() == 1);
    for (int i = 0; i < 6; ++i)
        c_.ChannelTypeButtons[static_cast<std::size_t>(i)]->setEnabled(true);
    ApplyNameFieldRule();
}

void TAttributesPage::SelectEntry(const TParameter *entry)
{
    SelectAttribute(IndexOfEntry(Fixture(), entry));
}

void TAttributesPage::SelectAttribute(int row)
{
    if (row >= 0) {
        const auto filling = Filling();
        c_.AttributesChannelList->selectRow(row);
    }
    ShowSelectedAttribute();
}

void TAttributesPage::ShowSelectedAttribute()
{
    TParameter *current = CurrentAttribute();
    if (current && Shown()) {
        ShowAttribute(*current);
        NormalizeAttributes();
        RefreshWheels();
    }
    SetAttributeEdited(false);
    AttributeGridClick();
}

void TAttributesPage::NormalizeAttributes()
{
    TFixture &f = Fixture();
    // Normalizing makes the low parts anew: remember the shown one by its attribute.
    TParameter *current = CurrentAttribute();
    TParameter *shown = MainEntry(f, current);
    const bool shownLowPart = current && current->IsLowPart;
    f.Normalize();
    if (shown && shownLowPart) {
        const int lowPart = LowPartIndex(f, *shown);
        if (lowPart >= 0)
            shown = &f.Attributes[static_cast<std::size_t>(lowPart)];
    }
    // Only the rows: the channel count stays as it is.
    FillAttributeGrid(shown);
}

void TAttributesPage::ShowAttribute(const TParameter &p)
{
    const auto filling = Filling();
    c_.AttributeName->setText(ToQt(p.Name));
    c_.Priority->setCurrentIndex(p.Priority);
    if (p.ChannelType >= 1 && p.ChannelType <= 7)
        c_.ChannelTypes->SetDown(p.ChannelType - 1);
    c_.ControlType->SetItemIndex(p.ControlType - 1);
    const bool wide = p.Width == 16;
    c_.chWidth->SetItemIndex(wide ? 1 : 0);
    c_.PatchLow->setEnabled(wide);
    c_.Patch->setCurrentIndex(p.InternalPatch - 1);
    c_.PatchLow->setCurrentIndex(p.InternalPatchLow);
    c_.Path->setCurrentIndex(p.Path - 1);
    c_.DmxMinValue->setCurrentIndex(p.DmxMin);
    c_.DmxMaxValue->setCurrentIndex(p.DmxMax);
    c_.Hinherit->setCurrentIndex(p.Inherit ? 0 : 1);
    c_.ShowOnEditor->setCurrentIndex(p.ShowOnEditor ? 0 : 1);
}

void TAttributesPage::RefreshWheels()
{
    // A low-part row shows the wheels of its attribute's type.
    const TParameter *shown = MainEntry(Fixture(), CurrentAttribute());
    if (!shown)
        return;
    std::size_t filled = 0;
    for (const auto &entry : Fixture().Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (filled == c_.Wheels.size())
            break;
        if (p.ChannelType != shown->ChannelType || p.IsLowPart || !p.ShowOnEditor)
            continue;
        QLineEdit *wheel = c_.Wheels[filled++];
        wheel->setText(ToQt(p.Name));
        wheel->setStyleSheet("background: white; color: black;");
    }
    for (std::size_t i = filled; i < c_.Wheels.size(); ++i) {
        c_.Wheels[i]->clear();
        c_.Wheels[i]->setStyleSheet({});
    }
}

void TAttributesPage::ClearWheels()
{
    for (QLineEdit *wheel : c_.Wheels) {
        wheel->clear();
        wheel->setStyleSheet({});
    }
}

void TAttributesPage::AttributeEdited()
{
    SetAttributeEdited(true);
}

void TAttributesPage::SetAttributeEdited(bool edited)
{
    // A button that goes unavailable under the keyboard focus hands it to the grid, not to the
    // next field in the window, where the next key would replace a text.
    if (!edited && (c_.btnApplyParam->hasFocus() || c_.btnUndoParam->hasFocus()))
        c_.AttributesChannelList->setFocus();
    c_.btnUndoParam->setEnabled(edited);
    c_.btnApplyParam->setEnabled(edited);
}

void TAttributesPage::ChannelWidthClick()
{
    const TFixture &f = Fixture();
    if (c_.chWidth->ItemIndex() == 1) {
        c_.PatchLow->setEnabled(true);
        if (!f.Attributes.Empty()) {
            const int proposed = f.NextFreePatch();
            c_.PatchLow->setCurrentIndex(proposed <= 64 ? proposed : -1);
        }
    } else {
        c_.PatchLow->setEnabled(false);
        c_.PatchLow->setCurrentIndex(0);
    }
    AttributeEdited();
}

void TAttributesPage::CheckAttributeName()
{
    const QString name = c_.AttributeName->text().trimmed();
    if (name.isEmpty())
        return;
    const QTableWidget *grid = c_.AttributesChannelList;
    bool taken = name == grid->horizontalHeaderItem(1)->text();
    const int current = SelectedRow();
    for (int row = 0; row < grid->rowCount() && !taken; ++row)
        if (row != current && grid->item(row, 1))
            taken = grid->item(row, 1)->text() == name;
    if (!taken)
        return;
    Dialogs().ShowMessage(TMessageKind::Warning, "A channel with this name already exists!");
    UndoAttribute();
    c_.AttributeName->setFocus();
}

bool TAttributesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == c_.AttributeName && event->type() == QEvent::FocusOut)
        Guard([this] { CheckAttributeName(); });
    return QObject::eventFilter(watched, event);
}

bool TAttributesPage::AttributeMayMove(int row)
{
    if (IsFilling() || !c_.btnApplyParam->isEnabled())
        return true;
    TParameter *target = AttributeOfRow(row);
    switch (Dialogs().Confirm("Attribute is changed. Apply param?", true)) {
    case TAnswer::Yes: {
        // The edits go to the attribute still selected; when they are refused, so is the move.
        bool applied = false;
        Guard([&] {
            ApplyAttribute();
            applied = true;
        });
        if (!applied)
            return false;
        // Applying may have moved the rows: the target is found again by its entry.
        if (IndexOfEntry(Fixture(), target) == row)
            return true;
        SelectEntry(target);
        return false;
    }
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

void TAttributesPage::AttributeGridClick()
{
    const TParameter *entry = CurrentAttribute();
    if (entry && !entry->IsLowPart) {
        EnableAttributeEditor();
        return;
    }
    for (QWidget *control : std::initializer_list<QWidget *>{
             c_.btnAttrUp, c_.btnAttrDown, c_.AttributeName, c_.Priority, c_.chWidth, c_.ControlType, c_.Patch,
             c_.PatchLow, c_.Path, c_.DmxMinValue, c_.DmxMaxValue, c_.Hinherit, c_.ShowOnEditor})
        control->setEnabled(false);
    for (int i = 0; i < 6; ++i)
        c_.ChannelTypeButtons[static_cast<std::size_t>(i)]->setEnabled(false);
}

int TAttributesPage::ChannelTypeFromButtons() const
{
    const int down = c_.ChannelTypes->Down();
    return down >= 0 && down < 6 ? down + 1 : 6;
}

void TAttributesPage::ApplyAttribute()
{
    if (c_.PatchLow->currentIndex() == c_.Patch->currentIndex() + 1) {
        // The edits go; the editor shows the selected attribute as it is stored, so that what is
        // applied next goes to it with its own fields.
        UndoAttribute();
        throw EFixtureError("The value of low and high parameter cannot be the same!");
    }
    TFixture &f = Fixture();
    // Edits go to the attribute of the selected row, which the editor was filled from.
    TParameter *target = MainEntry(f, CurrentAttribute());
    if (!target || f.Attributes.Empty())
        return;
    const int oldLowPart = LowPartIndex(f, *target);
    if (oldLowPart >= 0)
        f.Attributes.Delete(static_cast<std::size_t>(oldLowPart));

    // The attribute's steps and palette values follow its name.
    f.RenameAttribute(*target, FromQt(c_.AttributeName->text()));
    target->Priority = std::max(c_.Priority->currentIndex(), 0);
    target->ChannelType = static_cast<uint8_t>(ChannelTypeFromButtons());
    target->ControlType = static_cast<uint8_t>(c_.ControlType->ItemIndex() + 1);
    target->Width = static_cast<uint8_t>((c_.chWidth->ItemIndex() + 1) * 8);
    target->InternalPatch = static_cast<uint16_t>(c_.Patch->currentIndex() + 1);
    target->InternalPatchLow = static_cast<uint16_t>(std::max(c_.PatchLow->currentIndex(), 0));
    target->Path = static_cast<uint8_t>(c_.Path->currentIndex() + 1);
    target->DmxMin = static_cast<uint16_t>(std::max(c_.DmxMinValue->currentIndex(), 0));
    target->DmxMax = static_cast<uint16_t>(std::max(c_.DmxMaxValue->currentIndex(), 0));
    target->Inherit = c_.Hinherit->currentIndex() == 0;
    target->ShowOnEditor = c_.ShowOnEditor->currentIndex() == 0;

    // Re-key the attribute under its patch, and give it a fresh low part right behind it.
    const int at = IndexOfEntry(f, target);
    f.Attributes.Entries()[static_cast<std::size_t>(at)].Key = PatchKey(target->InternalPatch);
    if (target->InternalPatchLow != 0) {
        auto lowPart = std::make_unique<TParameter>();
        lowPart->Assign(*target);
        lowPart->IsLowPart = true;
        f.Attributes.Insert(static_cast<std::size_t>(at) + 1, PatchKey(target->InternalPatchLow), std::move(lowPart));
    }
    SetAttributeEdited(false);
    FillAttributeGrid(target);
    FollowRowCount();
    SelectEntry(target);
    Modified();
}

void TAttributesPage::UndoAttribute()
{
    if (CurrentAttribute())
        ShowSelectedAttribute();
    else
        ClearAttributeEditor();
    SetAttributeEdited(false);
}

void TAttributesPage::DeleteChannel()
{
    TFixture &f = Fixture();
    TParameter *entry = CurrentAttribute();
    if (entry && Dialogs().Confirm("Do you wish to delete the channel?", false) == TAnswer::Yes) {
        if (entry->IsLowPart) {
            TParameter *attribute = MainEntry(f, entry);
            f.Attributes.Delete(static_cast<std::size_t>(IndexOfEntry(f, entry)));
            if (attribute) {
                attribute->Width = 8;
                attribute->InternalPatchLow = 0;
            }
        } else {
            // Every step and palette value of the attribute goes with it.
            const std::string name = entry->Name;
            for (TCommand &command : f.Commands)
                std::erase_if(command.Lines,
                              [&](const TCommandLine &step) { return SameText(step.ChannelName, name); });
            for (TPalette &palette : f.Palettes)
                if (const int i = palette.Lines.IndexOf(name); i >= 0)
                    palette.Lines.Delete(static_cast<std::size_t>(i));
            if (const int lowPart = LowPartIndex(f, *entry); lowPart >= 0)
                f.Attributes.Delete(static_cast<std::size_t>(lowPart));
            f.Attributes.Delete(static_cast<std::size_t>(IndexOfEntry(f, entry)));
        }
        FillAttributeGrid(nullptr);
        FollowRowCount();
        if (f.Attributes.Empty()) {
            ClearAttributeEditor();
            ClearWheels();
        } else {
            ShowSelectedAttribute();
        }
        Modified();
    }
    emit RowsChanged();
}

void TAttributesPage::MoveAttribute(int direction)
{
    TFixture &f = Fixture();
    const int row = SelectedRow();
    TParameter *current = AttributeOfRow(row);
    if (!current || current->IsLowPart)
        return;
    // The neighbour is the next attribute that way; low-part rows are skipped.
    TParameter *neighbour = nullptr;
    for (int r = row + direction; r >= 0 && r < static_cast<int>(f.Attributes.Count()) && !neighbour; r += direction)
        if (TParameter *candidate = AttributeOfRow(r); candidate && !candidate->IsLowPart)
            neighbour = candidate;
    if (!neighbour)
        return;
    // Number the attributes by their place first, so that equal orders cannot stall a move.
    uint8_t order = 0;
    for (const auto &entry : f.Attributes.Entries())
        if (!entry.Parameter->IsLowPart)
            entry.Parameter->Order = ++order;
    std::swap(current->Order, neighbour->Order);
    f.Normalize();
    FillAttributeGrid(current);
    FollowRowCount();
    SelectEntry(current);
    // The order is what the file is written in.
    Modified();
}

void TAttributesPage::AddChannelClick()
{
    // The standard layout offers the dialog again after each pick, until "Exit".
    while (AddChannel() && !Is800()) {
    }
}

bool TAttributesPage::AddChannel()
{
    if (c_.btnApplyParam->isEnabled())
        ApplyAttribute();
    TFixture &f = Fixture();
    if (f.Attributes.Count() >= 64)
        throw EFixtureError("Max 64 dmx channels available.");
    const auto pick = Dialogs().PickPredefinedName("Add channel", "AddChannel.ini");
    if (!pick)
        return false;
    std::string name = pick->Name;
    if (name == "Other") {
        const auto typed = Dialogs().AskName("Get attribute name", "Other");
        if (!typed)
            return true;
        name = *typed;
    }

    auto attribute = std::make_unique<TParameter>();
    TParameter &p = *attribute;
    const TAttributeDescriptor d = DecodeDescriptor(static_cast<uint32_t>(pick->Descriptor));
    if (pick->Descriptor == 0) {
        name = Trim(name);
        if (!name.empty() && f.ParameterByName(name))
            throw EFixtureError(name + " channel already exist!");
        p.Name = name;
        p.ChannelType = ctIntensity;
    } else {
        p.Name = NumberedName(f, name);
        p.ChannelType = static_cast<uint8_t>(d.ChannelType);
    }
    if (p.Name.empty())
        return true;
    p.InternalPatch = static_cast<uint16_t>(f.NextFreePatch());
    p.Order = static_cast<uint8_t>(f.NextOrder());
    p.Priority = 1;
    p.DmxMax = 255;
    p.ControlType = static_cast<uint8_t>(d.ControlType);
    p.Width = static_cast<uint8_t>(d.Width);
    if (p.Width == 16)
        p.InternalPatchLow = static_cast<uint16_t>(p.InternalPatch + 1);
    p.Path = static_cast<uint8_t>(d.Path);
    p.Inherit = d.Inherit;
    p.ShowOnEditor = d.ShowOnEditor;
    p.LocateLevel = d.LocateLevel;

    // File the attribute first: a refused add leaves the palettes as they were.
    f.AddParameter(std::move(attribute));
    const int32_t level = p.LocateLevel * 65535 / 100;
    const std::string upper = UpperCase(p.Name);
    if (p.LocateLevel < 101)
        FileLevel(f, "Locate", p.Name, level);
    if (upper.find("DIMMER") != std::string::npos) {
        if (p.LocateLevel < 101)
            FileLevel(f, "HiLite", p.Name, level);
        FileLevel(f, "Standby", p.Name, 0);
    }
    if (upper.find("SHUTTER") != std::string::npos && p.LocateLevel < 101)
        FileLevel(f, "HiLite", p.Name, level);

    RefreshAttributeGrid();
    if (f.DmxChannels < p.InternalPatch) {
        f.DmxChannels = p.InternalPatch;
        emit ChannelCountChanged();
    }
    SelectEntry(&p);
    emit RowsChanged();
    Modified();
    return true;
}

QWidget *TAttributesPage::FocusHome() const
{
    return c_.AttributesChannelList;
}
