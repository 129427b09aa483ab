// The commands page and the value entry of command steps and palette values, with scripted dialogs.

#include "palettes/PaletteWidgets.h"
#include "support/MainWindowHarness.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

const QByteArray SpotText = TMainWindowHarness::Data("commands.fxr");

constexpr auto Rows = &TMainWindowHarness::Rows;

} // namespace

class TestCommands : public TWindowTest {
    Q_OBJECT

    void Open(bool compact = false, const QByteArray &text = SpotText)
    {
        QVERIFY(window_->Open(compact, text, &TMainFormControls::CommandPage));
    }
    void SelectCommand(int row) { C().CommandList->setCurrentCell(row, 0); }
    void SelectStep(int row) { C().CommandChannelList->setCurrentCell(row, 0); }
    const TCommand &Command(std::size_t i) { return Fixture().Commands[i]; }

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

    void page_groupsStepsByAttributeWithControlStepsFirst()
    {
        Open();
        QCOMPARE(Rows(C().CommandList), QStringList({"Lamp on", "Reset", "Lamp off"}));
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(0));
        QCOMPARE(Rows(C().AvailableChannelList), QStringList({"1|Dimmer", "2|Pan", "4|Lamp"}));
        QCOMPARE(Rows(C().CommandChannelList),
                 QStringList({"5|Control|128|0", "1|Dimmer|10|0", "1|Dimmer|10|0", "4|Lamp|255|1000"}));
        SelectCommand(1);
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(1));
        QCOMPARE(Rows(C().CommandChannelList), QStringList({"2|Pan|155|0"}));
    }

    // The selected row is the current command: a click beside the rows leaves none, and nothing
    // acts on the command that was selected before.
    void select_aClickBesideTheRowsLeavesNoCommand()
    {
        Open();
        window_->Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_->Form()));
        QTableWidget *list = C().CommandList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1, 0)).center());
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));
        QVERIFY(list->selectionModel()->selectedRows().isEmpty());
        QVERIFY(!Controller().Commands().CurrentCommand());
        QCOMPARE(Rows(C().CommandChannelList), QStringList({"|||"}));
        C().AvailableChannelList->setCurrentCell(0, 0);
        C().btnAddCommandCh->click();
        C().btnDeleteCommand->click();
        QCOMPARE(Command(1).Lines.size(), std::size_t(1));
        QCOMPARE(Fixture().Commands.Count(), std::size_t(3));
        QVERIFY(dialogs_->Questions.empty());
        QVERIFY(Fixture().Saved);
    }

    // Undo and Redo leave the user on the command they were on.
    void undo_staysOnTheCommand()
    {
        Open();
        SelectCommand(2);
        C().AvailableChannelList->setCurrentCell(0, 0);
        C().btnAddCommandCh->click();
        QCOMPARE(Command(2).Lines.size(), std::size_t(2));
        Controller().Undo();
        QCOMPARE(Command(2).Lines.size(), std::size_t(1));
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(2));
        QCOMPARE(Rows(C().CommandChannelList), QStringList({"4|Lamp|0|0"}));
        Controller().Redo();
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(2));
        QCOMPARE(Command(2).Lines.size(), std::size_t(2));
    }

    void newCommand_pickedOtherAndRefused()
    {
        Open();
        dialogs_->Picks = {TPredefinedPick{"Fan on", 0}, TPredefinedPick{"Other", 0}, TPredefinedPick{"Other", 0},
                           TPredefinedPick{"RESET", 0}, std::nullopt};
        dialogs_->Inputs = {std::string("Strobe test"), std::nullopt};
        for (int i = 0; i < 5; ++i)
            C().btnAddCommand->click();
        QCOMPARE(dialogs_->Pickers[0], std::make_pair(std::string("Add command"), std::string("AddCommand.ini")));
        QCOMPARE(dialogs_->NameDialogs[0], std::make_pair(std::string("Get command name"), std::string("Other")));
        QCOMPARE(Rows(C().CommandList), QStringList({"Lamp on", "Reset", "Lamp off", "Fan on", "Strobe test"}));
        QCOMPARE(dialogs_->Texts(TMessageKind::Error), std::vector<std::string>{"Command \"RESET\" is already exist."});
        // The new command is selected and current.
        QCOMPARE(C().CommandList->currentRow(), 4);
        QCOMPARE(Controller().Commands().CurrentCommand()->Name, std::string("Strobe test"));
        QVERIFY(!Fixture().Saved);
    }

    void steps_addDeleteAndDeleteAll()
    {
        Open();
        SelectCommand(1);
        C().AvailableChannelList->setCurrentCell(0, 0);
        C().btnAddCommandCh->click();
        C().btnAddCommandCh->click();
        QCOMPARE(Rows(C().CommandChannelList), QStringList({"1|Dimmer|0|0", "1|Dimmer|0|0", "2|Pan|155|0"}));
        QVERIFY(!Fixture().Saved);
        SelectStep(2);
        dialogs_->Answers = {TAnswer::No, TAnswer::Yes};
        C().btnDeleteCommandCh->click();
        QCOMPARE(Command(1).Lines.size(), std::size_t(3));
        C().btnDeleteCommandCh->click();
        QCOMPARE(dialogs_->Questions.back(), std::string("Do you wish to delete the command item?"));
        QCOMPARE(Rows(C().CommandChannelList), QStringList({"1|Dimmer|0|0", "1|Dimmer|0|0"}));
        SelectCommand(2);
        dialogs_->Answers = {TAnswer::Yes};
        C().btnDeleteAllCommandCh->click();
        QCOMPARE(dialogs_->Questions.back(), std::string("Do you wish to delete all command items?"));
        QVERIFY(Command(2).Lines.empty());
        // The first command is current again, and its row selected.
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(0));
        QCOMPARE(C().CommandList->currentRow(), 0);
    }

    void step_deleteActsOnTheRowsOwnStep()
    {
        Open();
        // Two identical Dimmer steps: deleting the first row leaves the second step.
        SelectStep(1);
        dialogs_->Answers = {TAnswer::Yes};
        C().btnDeleteCommandCh->click();
        const auto &lines = Command(0).Lines;
        QCOMPARE(lines.size(), std::size_t(3));
        QCOMPARE(lines[0].ChannelName, std::string("Lamp"));
        QCOMPARE(lines[1].ChannelName, std::string("#5"));
        QCOMPARE(lines[2].ChannelName, std::string("Dimmer"));
    }

    void step_editStoresValueAndTime()
    {
        Open();
        SelectStep(3); // Lamp 255 1000
        dialogs_->Values = {TValueAnswer{128, 250}};
        QTest::keyClick(C().CommandChannelList, Qt::Key_Return);
        const TValueRequest &request = dialogs_->ValueRequests.back();
        QCOMPARE(request.Attribute, std::string("Lamp"));
        QCOMPARE(*request.Value, 255);
        QCOMPARE(request.Time, 1000);
        QVERIFY(request.WithTime);
        QCOMPARE(request.ValueLabel, std::string("DMX Value:"));
        QCOMPARE(Command(0).Lines[0].Value, 32896);
        QCOMPARE(Command(0).Lines[0].Time, 250);
        QCOMPARE(Rows(C().CommandChannelList)[3], QString("4|Lamp|128|250"));
        QVERIFY(!Fixture().Saved);
    }

    void step_editRangesFollowTheAttribute()
    {
        Open();
        SelectStep(1); // Dimmer, maximum 200
        dialogs_->Values = {std::nullopt};
        emit C().CommandChannelList->cellDoubleClicked(1, 1);
        QCOMPARE(dialogs_->ValueRequests.back().Max, 200);
        SelectStep(0); // control step: 0 to 255
        dialogs_->Values = {TValueAnswer{7, 0}};
        emit C().CommandChannelList->cellDoubleClicked(0, 1);
        QCOMPARE(dialogs_->ValueRequests.back().Attribute, std::string("Control"));
        QCOMPARE(dialogs_->ValueRequests.back().Max, 255);
        QCOMPARE(Command(0).Lines[1].Value, 7 * 257);
        QVERIFY(!Fixture().Saved);
        SelectCommand(1);
        SelectStep(0); // 16-bit Pan from 10
        dialogs_->Values = {std::nullopt};
        emit C().CommandChannelList->cellDoubleClicked(0, 1);
        QCOMPARE(dialogs_->ValueRequests.back().Min, 10);
        QCOMPARE(Command(1).Lines[0].Value, 40000); // cancelled: unchanged
    }

    // The dialog shows a 16-bit value's high byte: confirmed as shown, the value stays exactly as
    // it was, and nothing counts as changed.
    void valueConfirmedUnchanged_staysExact()
    {
        Open(false, QByteArray(SpotText).replace("\"Dimmer\" = 100", "\"Dimmer\" = 100\r\n\"Pan\" = 32768"));
        SelectCommand(1);
        SelectStep(0); // Pan 40000: shown as 155
        dialogs_->Values = {TValueAnswer{155, 0}};
        emit C().CommandChannelList->cellDoubleClicked(0, 1);
        QCOMPARE(*dialogs_->ValueRequests.back().Value, 155);
        QCOMPARE(Command(1).Lines[0].Value, 40000);

        TFixture &f = Fixture();
        C().PageControl->setCurrentWidget(C().PalettePage);
        C().Locate->click();
        QTableWidget *grid = C().PaletteChannelList;
        grid->setCurrentCell(1, 0);
        dialogs_->Values = {TValueAnswer{127, 0}};
        emit grid->cellDoubleClicked(1, 1);
        QCOMPARE(*dialogs_->ValueRequests.back().Value, 127);
        QCOMPARE(Controller().Palettes().CurrentPalette()->Lines.Find("Pan")->Value, 32768);
        QVERIFY(f.Saved);
    }

    void deleteCommand_asksAndKeepsListAndCurrentInStep()
    {
        Open();
        SelectCommand(1);
        dialogs_->Answers = {TAnswer::No, TAnswer::Yes};
        C().btnDeleteCommand->click();
        QCOMPARE(Fixture().Commands.Count(), std::size_t(3));
        C().btnDeleteCommand->click();
        QCOMPARE(dialogs_->Questions.back(), std::string("Do you wish to delete the command?"));
        QCOMPARE(Rows(C().CommandList), QStringList({"Lamp on", "Lamp off"}));
        QCOMPARE(C().CommandList->currentRow(), 0);
        QCOMPARE(Controller().Commands().CurrentCommand(), &Command(0));
        QVERIFY(!Fixture().Saved);
    }

    void masterFader_showsLevelAndPercent()
    {
        Open(true);
        QScrollBar *master = C().DmxMaster;
        QCOMPARE(master->value(), 255);
        QCOMPARE(C().DmxValue->text(), QString("0"));
        QCOMPARE(C().DmxPercent->text(), QString("0 %"));
        master->setValue(128);
        QCOMPARE(C().DmxValue->text(), QString("127"));
        QCOMPARE(C().DmxPercent->text(), QString("50 %"));
        master->setValue(0);
        QCOMPARE(C().DmxPercent->text(), QString("100 %"));
        C().btnDmxPanel->click();
        QCOMPARE(dialogs_->DmxPanelShown, 1);
        QVERIFY(Fixture().Saved); // test levels are no part of the fixture
    }

    void paletteValue_setChangeAndClear()
    {
        Open();
        TFixture &f = Fixture();
        C().PageControl->setCurrentWidget(C().PalettePage);
        C().Locate->click();
        QTableWidget *grid = C().PaletteChannelList;
        QCOMPARE(Rows(grid), QStringList({"1|Dimmer|100", "2|Pan|", "4|Lamp|"}));
        // A new value, of the 16-bit Pan.
        grid->setCurrentCell(1, 0);
        dialogs_->Values = {TValueAnswer{128, 0}};
        emit grid->cellDoubleClicked(1, 1);
        QCOMPARE(dialogs_->ValueRequests.back().ValueLabel, std::string("DMX Value:"));
        QCOMPARE(*dialogs_->ValueRequests.back().Value, 0);
        QVERIFY(!dialogs_->ValueRequests.back().WithTime);
        QCOMPARE(dialogs_->ValueRequests.back().Min, 10);
        QCOMPARE(Controller().Palettes().CurrentPalette()->Lines.Find("Pan")->Value, 32896);
        QCOMPARE(grid->item(1, 2)->text(), QString("128"));
        QVERIFY(!f.Saved);
        // An existing value: only its high part is edited.
        grid->setCurrentCell(0, 0);
        dialogs_->Values = {TValueAnswer{50, 0}};
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(dialogs_->ValueRequests.back().ValueLabel, std::string("DMX Value (high part only):"));
        QCOMPARE(*dialogs_->ValueRequests.back().Value, 100);
        QCOMPARE(Controller().Palettes().CurrentPalette()->Lines.Find("Dimmer")->Value, 50 * 257);
        // An empty field removes the value.
        dialogs_->Values = {TValueAnswer{std::nullopt, 0}};
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(!Controller().Palettes().CurrentPalette()->Lines.Find("Dimmer"));
        QCOMPARE(grid->item(0, 2)->text(), QString());
    }
};

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
