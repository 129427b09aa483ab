// The attributes page: the channel grid, the attribute editor and the wheel fields.

#include "MainFormClass.h"

#include "Application.h"
#include "Widgets.h"
#include "model/FixDatas.h"
#include "palettes/QtText.h"
#include "platform/Errors.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include <algorithm>

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

} // namespace

int TMainFormClass::SelectedAttributeRow() const
{
    const QModelIndexList rows = c_.AttributesChannelList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

TParameter *TMainFormClass::CurrentAttribute() const
{
    return AttributeOfRow(SelectedAttributeRow());
}

TParameter *TMainFormClass::AttributeOfRow(int row) const
{
    // Between a change of the whole fixture and the grid's next filling, the rows name entries
    // that are gone.
    TParameter *entry = TAttributeRow::Of(c_.AttributesChannelList, row);
    return IndexOfEntry(CurrentFixture(), entry) >= 0 ? entry : nullptr;
}

void TMainFormClass::ClearAttributeEditor()
{
    const auto filling = Filling();
    c_.AttributeName->clear();
    for (QComboBox *list : {c_.Priority, c_.Patch, c_.PatchLow, c_.Path, c_.DmxMinValue, c_.Hinherit, c_.ShowOnEditor})
        list->setCurrentIndex(0);
    c_.chWidth->SetItemIndex(0);
    c_.ControlType->SetItemIndex(0);
    c_.DmxMaxValue->setCurrentIndex(255);
}

void TMainFormClass::RefreshAttributeGrid()
{
    FillAttributeGrid(CurrentAttribute());
    FollowRowCount();
}

void TMainFormClass::FollowRowCount()
{
    // "Dmx channels" follows the channels the attributes take, low parts included, when the rows
    // change; a loaded fixture keeps its own count until then.
    const int count = static_cast<int>(CurrentFixture().Attributes.Count());
    CurrentFixture().DmxChannels = count;
    const auto filling = Filling();
    c_.DmxChannel->setCurrentIndex(count - 1);
}

void TMainFormClass::FillAttributeGrid(const TParameter *selected)
{
    // The selection stays on the given entry, or else on its row.
    QTableWidget *grid = c_.AttributesChannelList;
    const int selectedRow = SelectedAttributeRow();
    const auto filling = Filling();

    const TAttributeList &attributes = CurrentFixture().Attributes;
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

void TMainFormClass::ApplyNameFieldRule()
{
    // With no attribute to edit, there is no name to type.
    if (CurrentFixture().Attributes.Empty()) {
        const QSignalBlocker quiet(c_.AttributeName);
        c_.AttributeName->clear();
        c_.AttributeName->setEnabled(false);
    } else {
        c_.AttributeName->setEnabled(true);
    }
}

void TMainFormClass::EnableAttributeEditor()
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

void TMainFormClass::SelectEntry(const TParameter *entry)
{
    SelectAttribute(IndexOfEntry(CurrentFixture(), entry));
}

void TMainFormClass::SelectAttribute(int row)
{
    if (row >= 0) {
        const auto filling = Filling();
        c_.AttributesChannelList->selectRow(row);
    }
    ShowSelectedAttribute();
}

void TMainFormClass::ShowSelectedAttribute()
{
    TParameter *current = CurrentAttribute();
    if (current && c_.PageControl->currentWidget() == c_.AttributesPage) {
        ShowAttribute(*current);
        NormalizeAttributes();
        RefreshWheels();
    }
    SetAttributeEdited(false);
    AttributeGridClick();
}

void TMainFormClass::NormalizeAttributes()
{
    TFixture &f = CurrentFixture();
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

void TMainFormClass::ShowAttribute(const TParameter &p)
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

void TMainFormClass::RefreshWheels()
{
    // A low-part row shows the wheels of its attribute's type.
    const TParameter *shown = MainEntry(CurrentFixture(), CurrentAttribute());
    if (!shown)
        return;
    std::size_t filled = 0;
    for (const auto &entry : CurrentFixture().Attributes.Entries()) {
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

void TMainFormClass::ClearWheels()
{
    for (QLineEdit *wheel : c_.Wheels) {
        wheel->clear();
        wheel->setStyleSheet({});
    }
}

void TMainFormClass::AttributeEdited()
{
    SetAttributeEdited(true);
}

void TMainFormClass::SetAttributeEdited(bool edited)
{
    // A button that goes unavailable under the keyboard focus hands it to the grid, not to the
    // next field in the window, where the next key would replace a text.
    if (!edited && (c_.btnApplyParam->hasFocus() || c_.btnUndoParam->hasFocus()))
        c_.AttributesChannelList->setFocus();
    c_.btnUndoParam->setEnabled(edited);
    c_.btnApplyParam->setEnabled(edited);
}

void TMainFormClass::ChannelWidthClick()
{
    const TFixture &f = CurrentFixture();
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

void TMainFormClass::CheckAttributeName()
{
    const QString name = c_.AttributeName->text().trimmed();
    if (name.isEmpty())
        return;
    const QTableWidget *grid = c_.AttributesChannelList;
    bool taken = name == grid->horizontalHeaderItem(1)->text();
    const int current = SelectedAttributeRow();
    for (int row = 0; row < grid->rowCount() && !taken; ++row)
        if (row != current && grid->item(row, 1))
            taken = grid->item(row, 1)->text() == name;
    if (!taken)
        return;
    Dialogs().ShowMessage(TMessageKind::Warning, "A channel with this name already exists!");
    UndoAttribute();
    c_.AttributeName->setFocus();
}

bool TMainFormClass::eventFilter(QObject *watched, QEvent *event)
{
    // Undo and Redo reach the fixture's history from any field of the window: a field's own
    // typing is already a step of it.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        if (widget && widget->window() == c_.Form &&
            (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
             key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))) {
            event->ignore();
            return true;
        }
    }
    if (watched == c_.AttributeName && event->type() == QEvent::FocusOut)
        Guard([this] { CheckAttributeName(); });
    // Enter in a detail grid edits the value of its selected row, as a double click does.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == c_.CommandChannelList) {
                Guard([this] { EditCommandStep(); });
                return true;
            }
            if (watched == c_.PaletteChannelList) {
                Guard([this] { EditPaletteValue(); });
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

bool TMainFormClass::AttributeMayMove(int row)
{
    if (filling_ || !c_.btnApplyParam->isEnabled())
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
        if (IndexOfEntry(CurrentFixture(), target) == row)
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

void TMainFormClass::AttributeGridClick()
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

int TMainFormClass::ChannelTypeFromButtons() const
{
    const int down = c_.ChannelTypes->Down();
    return down >= 0 && down < 6 ? down + 1 : 6;
}

void TMainFormClass::ApplyAttribute()
{
    if (c_.PatchLow->currentIndex() == c_.Patch->currentIndex() + 1) {
        ClearAttributeEditor();
        SetAttributeEdited(false);
        throw EFixtureError("The value of low and high parameter cannot be the same!");
    }
    TFixture &f = CurrentFixture();
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

void TMainFormClass::UndoAttribute()
{
    if (CurrentAttribute())
        ShowSelectedAttribute();
    else
        ClearAttributeEditor();
    SetAttributeEdited(false);
}

void TMainFormClass::DeleteChannel()
{
    TFixture &f = CurrentFixture();
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
    ShowPageTabs();
}

void TMainFormClass::MoveAttributeUp()
{
    MoveAttribute(-1);
}

void TMainFormClass::MoveAttributeDown()
{
    MoveAttribute(+1);
}

void TMainFormClass::MoveAttribute(int direction)
{
    TFixture &f = CurrentFixture();
    const int row = SelectedAttributeRow();
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
