// The attributes page and adding predefined attributes, driven through the widgets of both layouts
// with scripted dialogs.

#include "app/Widgets.h"
#include "fxr/FixtureWriter.h"
#include "support/MainWindowHarness.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

namespace {

// Dimmer 1, Pan 2 with low 3, Tilt 4, Gobo 5, Shutter 6; a command and palettes using them.
const QByteArray SpotText = TMainWindowHarness::Data("attributes.fxr");

constexpr int32_t Descriptor(int type, int control, int bytes, int path, int inherit, int show, int locate)
{
    return type + control * 16 + bytes * 64 + path * 256 + inherit * 4096 + show * 16384 + locate * 65536;
}

const int32_t GoboButton = Descriptor(4, 2, 1, 2, 2, 2, 101);
const int32_t PanButton = Descriptor(2, 2, 2, 1, 2, 2, 50);
const int32_t DimmerButton = Descriptor(1, 1, 1, 1, 2, 2, 50);

constexpr auto GridRows = &TMainWindowHarness::Rows;

} // namespace

class TestAttributes : public TWindowTest {
    Q_OBJECT

    QTableWidget *Grid() { return C().AttributesChannelList; }

    void Open(bool compact, const QByteArray &text = SpotText)
    {
        QVERIFY(window_->Open(compact, text, &TMainFormControls::AttributesPage));
        Select(0);
    }

    // Clicks the row, as a user does.
    void Select(int row)
    {
        Grid()->scrollToItem(Grid()->item(row, 1));
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                          Grid()->visualItemRect(Grid()->item(row, 1)).center());
    }
    // The rows the grid highlights.
    QList<int> Highlighted()
    {
        QList<int> rows;
        for (const QModelIndex &index : Grid()->selectionModel()->selectedRows())
            rows << index.row();
        return rows;
    }
    int RowOf(const QString &text)
    {
        return static_cast<int>(
            GridRows(Grid()).indexOf(QRegularExpression("^\\d+\\|" + QRegularExpression::escape(text) + "$")));
    }
    void TypeName(const QString &name)
    {
        C().AttributeName->selectAll();
        QTest::keyClicks(C().AttributeName, name);
    }
    void ClickWidth(int index) { C().chWidth->findChildren<QRadioButton *>()[index]->click(); }
    std::vector<std::string> Errors() const { return dialogs_->Texts(TMessageKind::Error); }

private slots:
    void init() { Begin(); }
    void cleanup() { End(); }

    void select_fillsTheEditor()
    {
        Open(false);
        Select(RowOf("Pan"));
        QCOMPARE(C().AttributeName->text(), QString("Pan"));
        QCOMPARE(C().chWidth->ItemIndex(), 1);
        QVERIFY(C().PatchLow->isEnabled());
        QCOMPARE(C().PatchLow->currentText(), QString("3"));
        QCOMPARE(C().Patch->currentText(), QString("2"));
        QCOMPARE(C().ControlType->ItemIndex(), 1);
        QVERIFY(C().ChannelTypeButtons[1]->isChecked());
        QVERIFY(!C().btnApplyParam->isEnabled());
        QVERIFY(!C().btnUndoParam->isEnabled());
        // The wheels: the shown pan and tilt attributes.
        QCOMPARE(C().Wheels[0]->text(), QString("Pan"));
        QCOMPARE(C().Wheels[1]->text(), QString("Tilt"));
        QCOMPARE(C().Wheels[2]->text(), QString());
    }

    void apply_writesTheEditedAttribute()
    {
        Open(false);
        Select(RowOf("Gobo"));
        TypeName("Gobo 1");
        C().ChannelTypeButtons[4]->click(); // Prism
        C().DmxMaxValue->setCurrentIndex(200);
        QVERIFY(C().btnApplyParam->isEnabled());
        QVERIFY(Fixture().Saved);
        C().btnApplyParam->click();
        const TParameter *gobo = Fixture().ParameterByName("Gobo 1");
        QVERIFY(gobo);
        QCOMPARE(int(gobo->ChannelType), 5);
        QCOMPARE(int(gobo->DmxMax), 200);
        QVERIFY(!Fixture().Saved);
        QCOMPARE(Grid()->item(Grid()->currentRow(), 1)->text(), QString("Gobo 1"));
        QVERIFY(!C().btnApplyParam->isEnabled());
    }

    // The steps and palette values of a renamed attribute follow its new name into the file.
    void apply_renameTakesStepsAndValuesAlong()
    {
        Open(false);
        Select(RowOf("Gobo"));
        TypeName("Wheel");
        C().btnApplyParam->click();
        const TFixture &f = Fixture();
        QCOMPARE(f.Commands[0].Lines[0].ChannelName, std::string("Wheel"));
        QCOMPARE(f.Commands[0].Lines[2].ChannelName, std::string("Wheel"));
        QVERIFY(!f.Palettes[0].Lines.Find("Gobo"));
        QCOMPARE(f.Palettes[0].Lines.Find("Wheel")->Value, 0);
        const TFixture back = testing_support::FromText(FormatFixture(f, 2));
        QCOMPARE(back.Palettes[0].Lines.Count(), std::size_t(2));
        QCOMPARE(back.Commands[0].Lines.size(), std::size_t(3));
    }

    void changePrompt_yesNoCancel_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("selected");
        QTest::newRow("yes applies and moves") << int(TAnswer::Yes) << "Strobe"
                                               << "Tilt";
        QTest::newRow("no drops and moves") << int(TAnswer::No) << "Shutter"
                                            << "Tilt";
        QTest::newRow("cancel stays") << int(TAnswer::Cancel) << "Shutter"
                                      << "Strobe";
    }
    void changePrompt_yesNoCancel()
    {
        QFETCH(int, answer);
        QFETCH(QString, name);
        QFETCH(QString, selected);
        Open(false);
        Select(RowOf("Shutter"));
        TypeName("Strobe");
        dialogs_->Answers.push_back(TAnswer(answer));
        Select(RowOf("Tilt"));
        QCOMPARE(dialogs_->Questions, std::vector<std::string>{"Attribute is changed. Apply param?"});
        QCOMPARE(QString::fromStdString(Fixture().ParameterByPatch(6)->Name), name);
        QCOMPARE(C().AttributeName->text(), selected);
        const bool stayed = TAnswer(answer) == TAnswer::Cancel;
        const int row = stayed ? RowOf("Shutter") : RowOf("Tilt");
        QCOMPARE(Highlighted(), QList<int>{row});
        QCOMPARE(Grid()->currentRow(), row);
        QCOMPARE(C().btnApplyParam->isEnabled(), stayed);
        // What is highlighted is what "Delete channel" deletes.
        dialogs_->Answers.push_back(TAnswer::Yes);
        C().btnDeleteCh->click();
        QCOMPARE(RowOf(stayed ? "Shutter" : "Tilt"), -1);
    }

    void changePrompt_refusedEditsKeepTheRow()
    {
        Open(false);
        Select(RowOf("Tilt"));
        ClickWidth(1);
        C().PatchLow->setCurrentIndex(4); // low patch 4 on patch 4
        dialogs_->Answers.push_back(TAnswer::Yes);
        QTest::keyClick(Grid(), Qt::Key_Down);
        QCOMPARE(Errors(), std::vector<std::string>{"The value of low and high parameter cannot be the same!"});
        QCOMPARE(Highlighted(), QList<int>{RowOf("Tilt")});
        // The next edits go to the highlighted row.
        Controller().Attributes().SelectAttribute(RowOf("Tilt"));
        TypeName("Zed");
        C().btnApplyParam->click();
        QCOMPARE(Fixture().ParameterByPatch(4)->Name, std::string("Zed"));
        QCOMPARE(Fixture().ParameterByPatch(1)->Name, std::string("Dimmer"));
    }

    void focus_staysOnThePageAndUndoReachesTheFixture()
    {
        Open(false);
        window_->Form().show();
        QVERIFY(QTest::qWaitForWindowActive(&window_->Form()));
        for (QPushButton *button : {C().btnApplyParam, C().btnUndoParam}) {
            Select(RowOf("Tilt"));
            TypeName("Tilt2");
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Grid()));
        }
        // The error box of a refused apply leaves the focus on the page too.
        ClickWidth(1);
        C().PatchLow->setCurrentIndex(4);
        QTest::mouseClick(C().btnApplyParam, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(Grid()));
        // Ctrl+Z in a field takes back the fixture's last step: here the applied name.
        C().Brand->setFocus();
        QTest::keyClick(C().Brand, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Fixture().ParameterByName("Tilt"));
        QTest::keyClick(C().Brand, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(Fixture().ParameterByName("Tilt2"));
    }

    void width_8to16AndBack()
    {
        Open(false);
        Select(RowOf("Dimmer"));
        ClickWidth(1);
        // Channels 1 to 6 are taken: the low patch proposed is 7.
        QCOMPARE(C().PatchLow->currentText(), QString("7"));
        C().btnApplyParam->click();
        QCOMPARE(GridRows(Grid()).mid(0, 2), QStringList({"1|Dimmer", "7|Dimmer( low )"}));
        QCOMPARE(int(Fixture().ParameterByName("Dimmer")->InternalPatchLow), 7);
        QCOMPARE(Fixture().DmxChannels, 7);
        Select(RowOf("Dimmer"));
        ClickWidth(0);
        QCOMPARE(C().PatchLow->currentText(), QString("na"));
        QVERIFY(!C().PatchLow->isEnabled());
        C().btnApplyParam->click();
        QCOMPARE(RowOf("Dimmer( low )"), -1);
        QCOMPARE(int(Fixture().ParameterByName("Dimmer")->Width), 8);
        QCOMPARE(Fixture().DmxChannels, 6);
    }

    void apply_refusesLowEqualToPatch()
    {
        Open(false);
        Select(RowOf("Tilt"));
        ClickWidth(1);
        C().PatchLow->setCurrentIndex(4); // low patch 4 on patch 4
        C().btnApplyParam->click();
        QCOMPARE(Errors(), std::vector<std::string>{"The value of low and high parameter cannot be the same!"});
        QCOMPARE(C().AttributeName->text(), QString());
        QCOMPARE(int(Fixture().ParameterByName("Tilt")->Width), 8);
        QCOMPARE(int(Fixture().ParameterByName("Tilt")->InternalPatchLow), 0);
        QVERIFY(!C().btnApplyParam->isEnabled());
    }

    void name_refusesAnotherRowsName()
    {
        Open(false);
        Select(RowOf("Gobo"));
        TypeName("Pan");
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(C().AttributeName, &leave);
        QCOMPARE(dialogs_->Texts(TMessageKind::Warning),
                 std::vector<std::string>{"A channel with this name already exists!"});
        QCOMPARE(C().AttributeName->text(), QString("Gobo"));
        QVERIFY(!C().btnApplyParam->isEnabled());
        // Another letter case is another name here.
        dialogs_->Shown.clear();
        TypeName("pan");
        QApplication::sendEvent(C().AttributeName, &leave);
        QVERIFY(dialogs_->Texts(TMessageKind::Warning).empty());
    }

    void delete_attributeTakesItsStepsAndValues()
    {
        Open(false);
        Select(RowOf("Gobo"));
        dialogs_->Answers.push_back(TAnswer::No);
        C().btnDeleteCh->click();
        QVERIFY(Fixture().ParameterByName("Gobo"));
        dialogs_->Answers.push_back(TAnswer::Yes);
        C().btnDeleteCh->click();
        QCOMPARE(dialogs_->Questions.back(), std::string("Do you wish to delete the channel?"));
        const TFixture &f = Fixture();
        QVERIFY(!f.ParameterByName("Gobo"));
        // Both steps of the gobo go, whatever their letter case.
        QCOMPARE(f.Commands[0].Lines.size(), std::size_t(1));
        QCOMPARE(f.Commands[0].Lines[0].ChannelName, std::string("Dimmer"));
        QVERIFY(!f.Palettes[0].Lines.Find("Gobo"));
        QVERIFY(!f.Saved);
        // The editor shows the attribute now on the row.
        QCOMPARE(Grid()->currentRow(), 4);
        QCOMPARE(C().AttributeName->text(), QString("Shutter"));
        QCOMPARE(f.DmxChannels, 5);
    }

    void delete_lowRowMakesThe8BitAttribute()
    {
        Open(false);
        Select(RowOf("Pan( low )"));
        QVERIFY(!C().AttributeName->isEnabled()); // a low row is not edited
        dialogs_->Answers.push_back(TAnswer::Yes);
        C().btnDeleteCh->click();
        const TParameter *pan = Fixture().ParameterByName("Pan");
        QCOMPARE(int(pan->Width), 8);
        QCOMPARE(int(pan->InternalPatchLow), 0);
        QCOMPARE(RowOf("Pan( low )"), -1);
        QCOMPARE(Fixture().Attributes.Count(), std::size_t(5));
    }

    void delete_lastAttributeHidesTheTabs()
    {
        Open(false, "PARAMETERS\r\nDimmer 1 IN HTP 8 1 na LINEAR 0 255\r\nENDPARAMETERS\r\n");
        QVERIFY(C().PageControl->isTabVisible(C().PageControl->indexOf(C().CommandPage)));
        dialogs_->Answers.push_back(TAnswer::Yes);
        C().btnDeleteCh->click();
        QVERIFY(Fixture().Attributes.Empty());
        QVERIFY(!C().PageControl->isTabVisible(C().PageControl->indexOf(C().CommandPage)));
        QVERIFY(!C().PageControl->isTabVisible(C().PageControl->indexOf(C().PalettePage)));
        QCOMPARE(C().AttributeName->text(), QString());
    }

    void move_keepsLowRowsBesideTheirAttribute()
    {
        Open(false);
        Select(RowOf("Tilt"));
        C().btnAttrUp->click();
        QCOMPARE(GridRows(Grid()).mid(0, 4), QStringList({"1|Dimmer", "4|Tilt", "2|Pan", "3|Pan( low )"}));
        QCOMPARE(Grid()->currentRow(), 1);
        QVERIFY(!Fixture().Saved);
        C().btnAttrUp->click();
        C().btnAttrUp->click(); // the first row goes no higher
        QCOMPARE(GridRows(Grid()).mid(0, 2), QStringList({"4|Tilt", "1|Dimmer"}));
        Select(RowOf("Dimmer"));
        C().btnAttrDown->click();
        QCOMPARE(GridRows(Grid()).mid(0, 4), QStringList({"4|Tilt", "2|Pan", "3|Pan( low )", "1|Dimmer"}));
        QCOMPARE(Grid()->currentRow(), 3);
        // A low row does not move.
        Select(RowOf("Pan( low )"));
        C().btnAttrDown->click();
        QCOMPARE(RowOf("Pan( low )"), 2);
    }

    void dmxChannels_fileCountStaysUntilTheRowsChange()
    {
        Open(false, QByteArray(SpotText).replace("Dmx_Channels = 6", "Dmx_Channels = 9"));
        QCOMPARE(C().DmxChannel->currentText(), QString("9"));
        C().btnFixtureCheck->click();
        QCOMPARE(dialogs_->Texts(TMessageKind::Information), std::vector<std::string>{"Fixture is ready to save"});
        Select(RowOf("Tilt"));
        C().btnAttrDown->click();
        QCOMPARE(C().DmxChannel->currentText(), QString("6"));
        QCOMPARE(Fixture().DmxChannels, 6);
    }

    void wheels_lowRowShowsItsAttributesType()
    {
        Open(false);
        Select(RowOf("Gobo"));
        QCOMPARE(C().Wheels[0]->text(), QString("Gobo"));
        Select(RowOf("Pan( low )"));
        QCOMPARE(C().Wheels[0]->text(), QString("Pan"));
        QCOMPARE(C().Wheels[1]->text(), QString("Tilt"));
    }

    void addChannel_numbersNames()
    {
        Open(false);
        dialogs_->Picks = {TPredefinedPick{"Gobo", GoboButton}, TPredefinedPick{"Gobo", GoboButton}, std::nullopt};
        C().btnAddCh->click();
        QCOMPARE(dialogs_->Pickers.size(), std::size_t(3)); // reopened until Exit
        QCOMPARE(dialogs_->Pickers[0], std::make_pair(std::string("Add channel"), std::string("AddChannel.ini")));
        const TFixture &f = Fixture();
        QVERIFY(f.ParameterByName("Gobo2"));
        const TParameter &third = *f.ParameterByName("Gobo3");
        QCOMPARE(int(third.InternalPatch), 8);
        QCOMPARE(int(third.Order), 7);
        QCOMPARE(int(third.ChannelType), 4);
        QCOMPARE(int(third.Path), 2);
        QVERIFY(!f.Saved);
        QCOMPARE(C().AttributeName->text(), QString("Gobo3"));
        QCOMPARE(f.DmxChannels, 8);
    }

    void addChannel_refusesASecondPan()
    {
        Open(true);
        dialogs_->Picks = {TPredefinedPick{"Pan", PanButton}};
        C().btnAddCh->click();
        QCOMPARE(Errors(), std::vector<std::string>{"Pan channel already exist!"});
        QCOMPARE(dialogs_->Pickers.size(), std::size_t(1));
        QCOMPARE(Fixture().Attributes.Count(), std::size_t(6));
        QVERIFY(Fixture().Saved);
    }

    void addChannel_16BitWithLocateLevels()
    {
        Open(true, "PARAMETERS\r\nGobo 1 GB LTP 8 1 na LINEAR 0 255\r\nENDPARAMETERS\r\n");
        dialogs_->Picks = {TPredefinedPick{"Dimmer", Descriptor(1, 1, 2, 1, 2, 2, 50)}};
        C().btnAddCh->click();
        const TFixture &f = Fixture();
        const TParameter &dimmer = *f.ParameterByName("Dimmer");
        QCOMPARE(int(dimmer.InternalPatch), 2);
        QCOMPARE(int(dimmer.InternalPatchLow), 3);
        QCOMPARE(RowOf("Dimmer( low )"), 2);
        QCOMPARE(f.FindPalette("Locate", 7)->Lines.Find("Dimmer")->Value, 32767);
        QCOMPARE(f.FindPalette("HiLite", 7)->Lines.Find("Dimmer")->Value, 32767);
        QCOMPARE(f.FindPalette("Standby", 7)->Lines.Find("Dimmer")->Value, 0);
        QCOMPARE(f.DmxChannels, 3);
    }

    void addChannel_otherAsksForAName()
    {
        Open(true);
        dialogs_->Picks = {TPredefinedPick{"Other", 0}, TPredefinedPick{"Other", 0}, TPredefinedPick{"Other", 0}};
        dialogs_->Inputs = {std::string(" Haze "), std::string("dimmer"), std::nullopt};
        C().btnAddCh->click();
        C().btnAddCh->click();
        C().btnAddCh->click();
        QCOMPARE(dialogs_->NameDialogs[0], std::make_pair(std::string("Get attribute name"), std::string("Other")));
        QVERIFY(Fixture().ParameterByName("Haze"));
        QCOMPARE(Errors(), std::vector<std::string>{"dimmer channel already exist!"});
        QCOMPARE(Fixture().Attributes.Count(), std::size_t(7));
    }

    void addChannel_refusedAt64Channels()
    {
        QByteArray text = "PARAMETERS\r\n";
        for (int i = 1; i <= 32; ++i)
            text += QString("Ch%1 1 IN HTP 16 %1 %2 LINEAR 0 65535\r\n").arg(i).arg(i + 32).toUtf8();
        text += "ENDPARAMETERS\r\n";
        Open(false, text);
        QCOMPARE(Fixture().Attributes.Count(), std::size_t(64));
        C().btnAddCh->click();
        QCOMPARE(Errors(), std::vector<std::string>{"Max 64 dmx channels available."});
        QVERIFY(dialogs_->Pickers.empty());
    }

    void addChannel_appliesPendingEditsFirst()
    {
        Open(false);
        Select(RowOf("Tilt"));
        TypeName("Tilt 2");
        dialogs_->Picks = {std::nullopt};
        C().btnAddCh->click();
        QVERIFY(Fixture().ParameterByName("Tilt 2"));
    }
};

QTEST_MAIN(TestAttributes)
#include "test_attributes.moc"
