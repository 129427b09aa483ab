#include "CommandsPage.h"

#include "Application.h"
#include "DmxPanel.h"
#include "PageBuilder.h"
#include "Widgets.h"

#include "model/FixClasses.h"
#include "palettes/QtText.h"
#include "platform/UserDialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace build;

namespace {

constexpr int StepRole = Qt::UserRole;
constexpr int EntryRole = Qt::UserRole;

// Cuts a grid back to one blank row.
void Blank(QTableWidget *grid)
{
    const QSignalBlocker quiet(grid);
    grid->clearContents();
    grid->setRowCount(1);
}

void AddRow(QTableWidget *grid, const QStringList &cells, const QVariant &data)
{
    const QSignalBlocker quiet(grid);
    const bool blank = grid->rowCount() == 1 && !grid->item(0, 0);
    const int row = blank ? 0 : grid->rowCount();
    if (!blank)
        grid->setRowCount(row + 1);
    for (int column = 0; column < cells.size(); ++column)
        grid->setItem(row, column, new QTableWidgetItem(cells[column]));
    grid->item(row, 0)->setData(StepRole, data);
}

bool IsControlStep(const TCommandLine &step)
{
    return StartsWith(step.ChannelName, "#");
}

} // namespace

void TCommandsPage::Build(QWidget *page, TCommandsControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *row = new QHBoxLayout(page);

    auto *commands = Group(" Commands ", page);
    auto *commandsLayout = new QVBoxLayout(commands);
    c.CommandList = Make<QTableWidget>("CommandList", commands);
    // The compact layout gives the command's steps the width of their four columns.
    c.CommandList->setFixedWidth(compact ? 150 : 205);
    commandsLayout->addWidget(c.CommandList);
    c.btnAddCommand = Button("btnAddCommand", "Add command", commands);
    c.btnDeleteCommand = Button("btnDeleteCommand", "Delete command", commands);
    commandsLayout->addWidget(c.btnAddCommand);
    commandsLayout->addWidget(c.btnDeleteCommand);
    c.btnSendCommand = Button("btnSendCommand", "Send", commands);
    commandsLayout->addWidget(c.btnSendCommand);
    row->addWidget(commands);

    auto *available = Group(compact ? " Available channels " : " Available attributes", page);
    auto *availableLayout = new QVBoxLayout(available);
    c.AvailableChannelList = Make<QTableWidget>("AvailableChannelList", available);
    c.AvailableChannelList->setFixedWidth(compact ? 170 : 205);
    availableLayout->addWidget(c.AvailableChannelList);
    row->addWidget(available);

    // The buttons that move attributes into the command and steps out of it.
    auto *moves = new QVBoxLayout;
    moves->addStretch();
    c.btnAddCommandCh = Button("btnAddCommandCh", ">", page);
    c.btnDeleteCommandCh = Button("btnDeleteCommandCh", "<", page);
    c.btnDeleteAllCommandCh = Button("btnDeleteAllCommandCh", "<<", page);
    for (QPushButton *button : {c.btnAddCommandCh, c.btnDeleteCommandCh, c.btnDeleteAllCommandCh}) {
        button->setFixedWidth(40);
        moves->addWidget(button);
    }
    moves->addStretch();
    row->addLayout(moves);

    auto *detail = Group(compact ? " Command channels " : " Command detail", page);
    auto *detailLayout = new QVBoxLayout(detail);
    c.CommandChannelList = Make<QTableWidget>("CommandChannelList", detail);
    detailLayout->addWidget(c.CommandChannelList);
    row->addWidget(detail, 1);
}

TCommandsPage::TCommandsPage(const TCommandsControls &controls, const TPageLink &link, QObject *parent)
    : TPage(controls.CommandPage, link, parent), c_(controls)
{
    SetupGrid(c_.CommandList, {{"Command name", Is800() ? 128 : 182}});
    SetupGrid(c_.AvailableChannelList, {{"Ch", Is800() ? 32 : 42}, {"Ch name.", Is800() ? 115 : 140}});
    SetupGrid(c_.CommandChannelList, {{"Ch", Is800() ? 32 : 42},
                                      {"Ch name.", Is800() ? 105 : 143},
                                      {"Dmx value", 66},
                                      {"Time (msec)", Is800() ? 80 : 100}});
}

void TCommandsPage::Wire()
{
    // Whatever changes the command list's selection (a click, the keys, a click beside the rows
    // that clears it) changes the command the page shows.
    connect(c_.CommandList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded([this] { RefreshCommandDetail(); }));
    connect(c_.btnAddCommand, &QPushButton::clicked, this, Guarded([this] { NewCommand(); }));
    connect(c_.btnDeleteCommand, &QPushButton::clicked, this, Guarded([this] { DeleteCommand(); }));
    connect(c_.btnSendCommand, &QPushButton::clicked, this, Guarded([this] {
                if (const TCommand *command = CurrentCommand())
                    SendCommandLive(Widget(), Fixture(), *command);
            }));
    connect(c_.btnAddCommandCh, &QPushButton::clicked, this, Guarded([this] { AddCommandStep(); }));
    connect(c_.btnDeleteCommandCh, &QPushButton::clicked, this, Guarded([this] { DeleteCommandStep(); }));
    connect(c_.btnDeleteAllCommandCh, &QPushButton::clicked, this, Guarded([this] { DeleteAllCommandSteps(); }));
    connect(c_.CommandChannelList, &QTableWidget::cellDoubleClicked, this, Guarded([this] { EditCommandStep(); }));
    c_.CommandChannelList->installEventFilter(this);
}

bool TCommandsPage::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the step grid edits the value of its selected row, as a double click does.
    if (watched == c_.CommandChannelList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guard([this] { EditCommandStep(); });
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TCommandsPage::Entered()
{
    if (!Fixture().Commands.Empty())
        CommandListSelectCell(std::max(c_.CommandList->currentRow(), 0));
}

int TCommandsPage::SelectedRow() const
{
    const QModelIndexList rows = c_.CommandList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void TCommandsPage::RefreshCommandList()
{
    QTableWidget *grid = c_.CommandList;
    Blank(grid);
    const auto &commands = Fixture().Commands;
    const int count = static_cast<int>(commands.Count());
    {
        const QSignalBlocker quiet(grid);
        grid->setRowCount(std::max(count, 1));
        for (int row = 0; row < count; ++row)
            grid->setItem(row, 0, new QTableWidgetItem(ToQt(commands[static_cast<std::size_t>(row)].Name)));
    }
    // The first command becomes current: its row the selected one.
    SelectCommandRow(count > 0 ? 0 : -1);
    RefreshCommandDetail();
}

TCommand *TCommandsPage::CurrentCommand() const
{
    const int row = SelectedRow();
    const auto &commands = Fixture().Commands;
    if (row < 0 || row >= static_cast<int>(commands.Count()))
        return nullptr;
    return &commands[static_cast<std::size_t>(row)];
}

void TCommandsPage::SelectCommandRow(int row)
{
    const QSignalBlocker quiet(c_.CommandList);
    const QSignalBlocker quietSelection(c_.CommandList->selectionModel());
    if (row < 0)
        c_.CommandList->clearSelection();
    else
        c_.CommandList->selectRow(row);
}

void TCommandsPage::CommandListSelectCell(int row)
{
    if (row < 0 || row >= static_cast<int>(Fixture().Commands.Count()))
        return;
    SelectCommandRow(row);
    RefreshCommandDetail();
}

void TCommandsPage::RefreshCommandDetail()
{
    // The rows selected before stay selected, so that ">" can be pressed again and again.
    const int available = c_.AvailableChannelList->currentRow();
    const int detail = c_.CommandChannelList->currentRow();
    Blank(c_.AvailableChannelList);
    Blank(c_.CommandChannelList);
    FillCommandDetail();
    for (auto [grid, row] : {std::pair{c_.AvailableChannelList, available}, std::pair{c_.CommandChannelList, detail}}) {
        const QSignalBlocker quiet(grid);
        if (row >= 0 && grid->item(std::min(row, grid->rowCount() - 1), 0))
            grid->setCurrentCell(std::min(row, grid->rowCount() - 1), 0);
    }
}

void TCommandsPage::FillCommandDetail()
{
    const TFixture &f = Fixture();
    const TCommand *command = CurrentCommand();
    if (!command || f.Attributes.Empty())
        return;
    bool first = true;
    for (const auto &entry : f.Attributes.Entries()) {
        const TParameter &attribute = *entry.Parameter;
        if (attribute.IsLowPart)
            continue;
        // The detail rows are grouped by attribute, control steps in the first group.
        for (std::size_t i = 0; i < command->Lines.size(); ++i) {
            const TCommandLine &step = command->Lines[i];
            const QString value = QString::number(step.Value / 257);
            const QString time = QString::number(step.Time);
            if (IsControlStep(step)) {
                if (first)
                    AddRow(c_.CommandChannelList, {ToQt(step.ChannelName.View().substr(1)), "Control", value, time},
                           qulonglong(i));
            } else if (SameText(step.ChannelName, attribute.Name)) {
                AddRow(c_.CommandChannelList,
                       {QString::number(attribute.InternalPatch), ToQt(step.ChannelName), value, time}, qulonglong(i));
            }
        }
        first = false;
        AddRow(c_.AvailableChannelList, {QString::number(attribute.InternalPatch), ToQt(attribute.Name)},
               QVariant::fromValue(reinterpret_cast<quintptr>(&attribute)));
    }
}

TCommandLine *TCommandsPage::SelectedStep() const
{
    const QTableWidgetItem *item = c_.CommandChannelList->item(c_.CommandChannelList->currentRow(), 0);
    TCommand *command = CurrentCommand();
    if (!command || !item || !item->data(StepRole).isValid())
        return nullptr;
    const auto index = static_cast<std::size_t>(item->data(StepRole).toULongLong());
    return index < command->Lines.size() ? &command->Lines[index] : nullptr;
}

void TCommandsPage::NewCommand()
{
    const auto pick = Dialogs().PickPredefinedName("Add command", "AddCommand.ini");
    if (!pick)
        return;
    std::string name = pick->Name;
    if (name == "Other")
        name = Dialogs().AskName("Get command name", "Other").value_or("");
    if (name.empty())
        return;
    TFixture &f = Fixture();
    TCommand &command = f.AddCommand(name);
    RefreshCommandList();
    const int row = f.Commands.IndexOf(command.Name);
    SelectCommandRow(row);
    CommandListSelectCell(row);
    Modified();
}

void TCommandsPage::DeleteCommand()
{
    if (!CurrentCommand() || Dialogs().Confirm("Do you wish to delete the command?", false) != TAnswer::Yes)
        return;
    auto &commands = Fixture().Commands;
    commands.Delete(static_cast<std::size_t>(commands.IndexOf(CurrentCommand()->Name)));
    RefreshCommandList();
    Modified();
}

void TCommandsPage::AddCommandStep()
{
    const QTableWidgetItem *item = c_.AvailableChannelList->item(c_.AvailableChannelList->currentRow(), 0);
    if (!CurrentCommand() || !item || !item->data(EntryRole).isValid())
        return;
    const auto *attribute = reinterpret_cast<const TParameter *>(item->data(EntryRole).value<quintptr>());
    CurrentCommand()->AddLine(attribute->Name, 0, 0);
    RefreshCommandDetail();
    Modified();
}

void TCommandsPage::DeleteCommandStep()
{
    TCommandLine *step = SelectedStep();
    if (!step || Dialogs().Confirm("Do you wish to delete the command item?", false) != TAnswer::Yes)
        return;
    std::vector<TCommandLine> &steps = CurrentCommand()->Lines;
    steps.erase(steps.begin() + (step - steps.data()));
    RefreshCommandDetail();
    Modified();
}

void TCommandsPage::DeleteAllCommandSteps()
{
    if (!CurrentCommand() || CurrentCommand()->Lines.empty() ||
        Dialogs().Confirm("Do you wish to delete all command items?", false) != TAnswer::Yes)
        return;
    CurrentCommand()->Lines.clear();
    RefreshCommandList();
    Modified();
}

void TCommandsPage::EditCommandStep()
{
    TCommandLine *step = SelectedStep();
    if (!step)
        return;
    TValueRequest request;
    request.WithTime = true;
    request.Time = step->Time;
    request.Value = step->Value / 257;
    if (const TParameter *attribute = Fixture().ParameterByName(step->ChannelName)) {
        request.Attribute = step->ChannelName;
        request.Min = attribute->DmxMin;
        request.Max = attribute->DmxMax;
    } else {
        request.Attribute = "Control";
    }
    const auto answer = Dialogs().EnterValue(request);
    if (!answer)
        return;
    // The dialog shows the high byte: a value confirmed as shown keeps its low byte too.
    const bool valueKept = answer->Value == request.Value;
    if (valueKept && answer->Time == step->Time)
        return;
    if (!valueKept)
        step->Value = static_cast<uint16_t>(answer->Value.value_or(0) * 257);
    step->Time = answer->Time;
    const int row = c_.CommandChannelList->currentRow();
    c_.CommandChannelList->item(row, 2)->setText(QString::number(step->Value / 257));
    c_.CommandChannelList->item(row, 3)->setText(QString::number(step->Time));
    Modified();
}

QWidget *TCommandsPage::FocusHome() const
{
    return c_.CommandList;
}
