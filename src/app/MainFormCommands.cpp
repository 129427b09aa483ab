// The commands page.

#include "MainFormClass.h"

#include "QtText.h"
#include "model/FixDatas.h"

#include <QTableWidget>

void TMainFormClass::RefreshCommandList()
{
    QTableWidget *grid = c_.CommandList;
    const QSignalBlocker quiet(grid);
    const auto &commands = CurrentFixture().Commands;
    const int count = static_cast<int>(commands.Count());
    const int selected = grid->currentRow();
    grid->clearContents();
    grid->setRowCount(std::max(count, 1));
    for (int row = 0; row < count; ++row)
        grid->setItem(row, 0, new QTableWidgetItem(ToQt(commands[static_cast<std::size_t>(row)].Name)));
    grid->setCurrentCell(count > 0 ? std::clamp(selected, 0, count - 1) : -1, 0);
}
