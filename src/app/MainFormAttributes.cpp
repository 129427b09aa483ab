// The attributes page: the channel grid, the attribute editor and the wheel fields.

#include "MainFormClass.h"

#include "QtText.h"
#include "Widgets.h"
#include "model/FixDatas.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

namespace {

constexpr int EntryRole = Qt::UserRole;

TParameter *EntryOfRow(const QTableWidget *grid, int row)
{
    const QTableWidgetItem *item = row >= 0 ? grid->item(row, 0) : nullptr;
    return item ? reinterpret_cast<TParameter *>(item->data(EntryRole).value<quintptr>()) : nullptr;
}

} // namespace

int TMainFormClass::SelectedAttributeRow() const { return c_.AttributesChannelList->currentRow(); }

void TMainFormClass::ClearAttributeEditor()
{
    c_.AttributeName->clear();
    for (QComboBox *list : {c_.Priority, c_.Patch, c_.PatchLow, c_.Path, c_.DmxMinValue, c_.Hinherit, c_.ShowOnEditor})
        list->setCurrentIndex(0);
    c_.chWidth->SetItemIndex(0);
    c_.ControlType->SetItemIndex(0);
    c_.DmxMaxValue->setCurrentIndex(255);
}

void TMainFormClass::RefreshAttributeGrid()
{
    QTableWidget *grid = c_.AttributesChannelList;
    const TParameter *selected = EntryOfRow(grid, grid->currentRow());
    const int selectedRow = grid->currentRow();
    const QSignalBlocker quiet(grid);

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
        channel->setData(EntryRole, QVariant::fromValue(reinterpret_cast<quintptr>(&p)));
        if (p.IsLowPart) {
            channel->setBackground(lowPartBackground);
            name->setBackground(lowPartBackground);
        }
        grid->setItem(row, 0, channel);
        grid->setItem(row, 1, name);
        if (&p == selected)
            restore = row;
    }
    grid->setCurrentCell(std::max(restore, count > 0 ? 0 : -1), 0);

    // "Dmx channels" follows the channels the attributes take, low parts included.
    showing_ = true;
    c_.DmxChannel->setCurrentIndex(count - 1);
    showing_ = false;
    CurrentFixture().DmxChannels = count;
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
             c_.btnAttrUp, c_.btnAttrDown, c_.AttributeName, c_.Priority, c_.chWidth, c_.ControlType, c_.Patch,
             c_.PatchLow, c_.Path, c_.DmxMinValue, c_.DmxMaxValue, c_.Hinherit, c_.ShowOnEditor})
        control->setEnabled(true);
    for (int i = 0; i < 6; ++i)
        c_.ChannelTypeButtons[static_cast<std::size_t>(i)]->setEnabled(true);
    ApplyNameFieldRule();
}

void TMainFormClass::SelectAttribute(int row)
{
    if (row < 0)
        return;
    TFixture &f = CurrentFixture();
    if (c_.PageControl->currentWidget() == c_.AttributesPage && row < static_cast<int>(f.Attributes.Count())) {
        CurrentAttribute = &f.Attributes[static_cast<std::size_t>(row)];
        ShowAttribute();
        // Keep the grid in step with the list whenever normalizing rearranges it.
        std::vector<const TParameter *> before;
        for (const auto &entry : f.Attributes.Entries())
            before.push_back(entry.Parameter.get());
        f.Normalize();
        bool rearranged = before.size() != f.Attributes.Count();
        for (std::size_t i = 0; !rearranged && i < before.size(); ++i)
            rearranged = before[i] != &f.Attributes[i];
        if (rearranged) {
            CurrentAttribute = nullptr;
            RefreshAttributeGrid();
            CurrentAttribute = EntryOfRow(c_.AttributesChannelList, c_.AttributesChannelList->currentRow());
        }
        RefreshWheels();
    }
    c_.btnUndoParam->setEnabled(false);
    c_.btnApplyParam->setEnabled(false);
}

void TMainFormClass::ShowAttribute()
{
    struct TLoadingScope {
        bool &flag;
        explicit TLoadingScope(bool &f) : flag(f) { flag = true; }
        ~TLoadingScope() { flag = false; }
    } loading(Loading);
    const TParameter &p = *CurrentAttribute;
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
    std::size_t filled = 0;
    if (CurrentAttribute) {
        for (const auto &entry : CurrentFixture().Attributes.Entries()) {
            const TParameter &p = *entry.Parameter;
            if (filled == c_.Wheels.size())
                break;
            if (p.ChannelType != CurrentAttribute->ChannelType || p.IsLowPart || !p.ShowOnEditor)
                continue;
            QLineEdit *wheel = c_.Wheels[filled++];
            wheel->setText(ToQt(p.Name));
            wheel->setStyleSheet("background: white; color: black;");
        }
    }
    for (std::size_t i = filled; i < c_.Wheels.size(); ++i) {
        c_.Wheels[i]->clear();
        c_.Wheels[i]->setStyleSheet({});
    }
}

void TMainFormClass::AttributeEdited()
{
    c_.btnUndoParam->setEnabled(true);
    c_.btnApplyParam->setEnabled(true);
}
