// The palettes page: the palette detail grid and its value entry.

#include "MainFormClass.h"

#include "model/FixColors.h"
#include "model/FixDatas.h"
#include "palettes/QtText.h"
#include "platform/UserDialogs.h"

#include <QTableWidget>

#include <algorithm>

namespace {

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

void TMainFormClass::RefreshPaletteDetail()
{
    QTableWidget *grid = c_.PaletteChannelList;
    const QSignalBlocker quiet(grid);
    const TPalette *palette = CurrentPalette();
    const int selected = grid->currentRow();
    grid->clearContents();
    grid->setRowCount(1);
    int row = 0;
    for (const auto &entry : CurrentFixture().Attributes.Entries()) {
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

void TMainFormClass::EditPaletteValue()
{
    QTableWidget *grid = c_.PaletteChannelList;
    const int row = grid->currentRow();
    const TParameter *attribute = AttributeOfGridRow(grid, row);
    TPalette *palette = CurrentPalette();
    if (!palette || !attribute || !IsAttributeOf(CurrentFixture(), attribute))
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
    TFixture &f = CurrentFixture();
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
