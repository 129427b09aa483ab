#pragma once

#include "Page.h"

class TCommand;
struct TCommandLine;

// The commands page: the command list, the attributes a step can be made of, and the selected
// command's steps.
class TCommandsPage : public TPage {
public:
    // Makes the page's controls in the layout's arrangement.
    static void Build(QWidget *page, TCommandsControls &c, TLayout layout);

    TCommandsPage(const TCommandsControls &controls, const TPageLink &link, QObject *parent);

    void Wire();
    // The page was entered: the command of the selected row (or the first) is shown.
    void Entered() override;
    QWidget *FocusHome() const override;
    // The command whose row is selected in the command list; nothing when no row is. The
    // selection is the one record of it.
    TCommand *CurrentCommand() const;
    int SelectedRow() const;
    // The list from the fixture, the first command current.
    void RefreshCommandList();
    void CommandListSelectCell(int row);
    void DeleteCommand();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RefreshCommandDetail();
    void NewCommand();
    void AddCommandStep();
    void DeleteCommandStep();
    void DeleteAllCommandSteps();
    void EditCommandStep();
    // The step the selected detail row shows, or nothing.
    TCommandLine *SelectedStep() const;
    void SelectCommandRow(int row);
    void FillCommandDetail();

    TCommandsControls c_;
};
