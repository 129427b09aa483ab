// The main window in both layouts: start-up, the file commands with their prompts, the checks,
// the settings file and the not-saved state, driven through the widgets with scripted dialogs.

#include "app/MainFormBase.h"
#include "app/Widgets.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "model/FixDatas.h"
#include "platform/Paths.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace {

const std::string NotSaved = "File not saved. Save file?";

// 2023-11-15 12:00:00 UTC: every save of a run carries this date.
constexpr const char *FixedEpoch = "1700049600";
const QDate FixedDate(2023, 11, 15);

// Format 1.0 with a 16-bit attribute, a comment block and a channel count the attributes overrule.
const QByteArray ParText = "// Test fixture\r\n"
                           "Version = 1.0\r\n"
                           "Author = \"Ann\"\r\n"
                           "Revision = \"r3\"\r\n"
                           "Date = 01/03/2025\r\n"
                           "COMMENTS\r\n"
                           "Warm white only\r\n"
                           "No strobe\r\n"
                           "ENDCOMMENTS\r\n"
                           "Fixture = \"Par\"\r\n"
                           "Brand = \"Acme\"\r\n"
                           "Type = dimmer\r\n"
                           "Dmx_Channels = 12\r\n"
                           "PARAMETERS\r\n"
                           "\"Dimmer\", 1, IN, HTP, 16, 1, 2, LINEAR, 0, 65535, LINEAR, 0\r\n"
                           "\"Red\"   , 3, CO, LTP,  8, 3, na, LINEAR, 0,   255, LINEAR, 0\r\n"
                           "ENDPARAMETERS\r\n";

// Format 2 without attributes.
const QByteArray BareText = "Format_Version = 2\r\n"
                            "Fixture = \"Bare\"\r\n"
                            "Type = moving_head\r\n"
                            "Dmx_Channels = 4\r\n";

// Angles the fields cannot show: below and above their ranges.
const QByteArray AnglesText = "Format_Version = 2\r\n"
                              "Fixture = \"Scanner\"\r\n"
                              "Pan_Angle_min = -30\r\n"
                              "Pan_Angle_max = 540\r\n"
                              "Tilt_Angle_min =-135\r\n"
                              "Tilt_Angle_max = 400\r\n";

// One attribute on patch 5: the channel count follows the single attribute, so the patch is out
// of range and the patch check fails.
const QByteArray ClashText = "Fixture = \"Clash\"\r\n"
                             "PARAMETERS\r\n"
                             "\"Dimmer\", 1, IN, HTP, 8, 5, na, LINEAR, 0, 255, LINEAR, 0\r\n"
                             "ENDPARAMETERS\r\n";
const QByteArray ClashNoNameText = "PARAMETERS\r\n"
                                   "\"Dimmer\", 1, IN, HTP, 8, 5, na, LINEAR, 0, 255, LINEAR, 0\r\n"
                                   "ENDPARAMETERS\r\n";

// The error sits on the third physical line.
const QByteArray BrokenText = "Version = 1.0\r\n"
                              "Fixture = \"Broken\"\r\n"
                              "Dmx_Channels = many\r\n";

QByteArray ManyAttributesText(int count)
{
    QByteArray text = "Fixture = \"Many\"\r\nPARAMETERS\r\n";
    for (int i = 1; i <= count; ++i)
        text += "\"Ch" + QByteArray::number(i) + "\", 1, IN, HTP, 8, " + QByteArray::number(i) +
                ", na, LINEAR, 0, 255, LINEAR, 0\r\n";
    return text + "ENDPARAMETERS\r\n";
}

using Harness = TMainWindowHarness;
constexpr auto GridRows = &Harness::Rows;
constexpr auto ReadBytes = &Harness::ReadBytes;
constexpr auto WriteBytes = &Harness::WriteBytes;

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

// One line per message, so that a failing comparison prints them all.
QString Lines(const QStringList &lines)
{
    return lines.join('\n');
}

QStringList Titles(const QTableWidget *grid)
{
    QStringList titles;
    for (int column = 0; column < grid->columnCount(); ++column)
        titles << grid->horizontalHeaderItem(column)->text();
    return titles;
}

QList<int> Widths(const QTableWidget *grid)
{
    QList<int> widths;
    for (int column = 0; column < grid->columnCount(); ++column)
        widths << grid->columnWidth(column);
    return widths;
}

// Whether the control shows when its page is shown: tab pages hide each other, which says
// nothing about the control itself.
bool ShownOnItsPage(const QWidget *widget)
{
    const QWidget *page = widget->window();
    for (const QWidget *w = widget; w && w != widget->window(); w = w->parentWidget())
        if (qobject_cast<const QStackedWidget *>(w->parentWidget())) {
            page = w;
            break;
        }
    return widget == page || widget->isVisibleTo(page);
}

void Pick(QComboBox *list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void PickRadio(TRadioGroup *group, const QString &caption)
{
    for (QRadioButton *button : group->findChildren<QRadioButton *>())
        if (button->text() == caption)
            button->click();
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startup_windowPagesAndCaptions_data();
    void startup_windowPagesAndCaptions();
    void startup_controlsShownPerLayout_data();
    void startup_controlsShownPerLayout();
    void startup_labelsShownPerLayout_data();
    void startup_labelsShownPerLayout();
    void startup_gridTitlesAndWidths_data();
    void startup_gridTitlesAndWidths();
    void startup_emptyFixtureClosesWithoutAsking_data();
    void startup_emptyFixtureClosesWithoutAsking();

    void settings_appliedAtStartAndAtNew_data();
    void settings_appliedAtStartAndAtNew();
    void settings_readAfreshAtEachNew();

    void prompts_newLoadClose_data();
    void prompts_newLoadClose();
    void prompts_yesStopsWhenSaveRefused_data();
    void prompts_yesStopsWhenSaveRefused();
    void prompts_yesSavesWithLayoutsPatchCheck_data();
    void prompts_yesSavesWithLayoutsPatchCheck();
    void exit_closesThroughCloseQuery_data();
    void exit_closesThroughCloseQuery();

    void save_writesTheModel_data();
    void save_writesTheModel();
    void save_loadedFixtureWritesItsFile_data();
    void save_loadedFixtureWritesItsFile();
    void save_chosenFileVersionWritesFormat2();
    void save_keepsUsersChannelCount_data();
    void save_keepsUsersChannelCount();
    void save_writeFailureKeepsNotSaved_data();
    void save_writeFailureKeepsNotSaved();
    void save_patchConflict_data();
    void save_patchConflict();
    void save_cancelledDialogChangesNothing_data();
    void save_cancelledDialogChangesNothing();
    void saveAs_compactNameRule_data();
    void saveAs_compactNameRule();
    void saveAs_standardStartsWithNameAndLastDirectory();

    void check_messages_data();
    void check_messages();

    void notSaved_userEditsClearSaved_data();
    void notSaved_userEditsClearSaved();
    void notSaved_programTextKeepsSaved_data();
    void notSaved_programTextKeepsSaved();
    void notSaved_anglesOutOfRangeStayInModel_data();
    void notSaved_anglesOutOfRangeStayInModel();
    void notSaved_typedTextReachesModelInCodePage();

    void load_showsFixtureAndGrid_data();
    void load_showsFixtureAndGrid();
    void load_tabsFollowAttributes_data();
    void load_tabsFollowAttributes();
    void load_channelCountBeyond64();
    void load_goesToFirstPage();
    void load_failureLeavesEverything_data();
    void load_failureLeavesEverything();
    void load_cancelledDialogLeavesEverything_data();
    void load_cancelledDialogLeavesEverything();

private:
    void Start(bool compact) { window_->Start(compact); }
    QString FixtureFile(const QString &name, const QByteArray &text);
    QString OutFile(const QString &name) const { return window_->Path("out/" + name); }
    void WriteSettings(const QByteArray &fxrDefaults);
    // Answers the open dialog (or the compact layout's list) with path and clicks "Load fixture".
    void Load(const QString &path);
    void Click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Forget() { window_->Forget(); }
    const TMainFormControls &C() const { return window_->Controls(); }
    QString Shown() const { return Lines(window_->Messages()); }

    std::unique_ptr<TMainWindowHarness> window_;
    TScriptedDialogs *dialogs_ = nullptr;
};

void TestMainForm::initTestCase()
{
    // What start-up sets before the main window exists.
    QApplication::setApplicationDisplayName("Rigsmith");
    qputenv("SOURCE_DATE_EPOCH", FixedEpoch);
}

void TestMainForm::init()
{
    window_ = std::make_unique<TMainWindowHarness>("program", QStringList{"fixtures", "out"});
    QVERIFY(window_->Valid());
    // The gel list is looked for beside the program when the working directory has none.
    WriteBytes(window_->Path("program/lee.txt"), {});
    dialogs_ = &window_->Dialogs();
}

void TestMainForm::cleanup()
{
    window_->CloseForm();
    // An unexpected question ends in the error report, so an error box means a wrong prompt.
    const QStringList messages = window_->Messages();
    const bool reported =
        std::any_of(messages.begin(), messages.end(), [](const QString &m) { return m.startsWith("Error"); });
    const bool answersLeft = window_->AnswersLeft();
    dialogs_ = nullptr;
    window_.reset();
    QVERIFY2(!reported, qPrintable(messages.join('\n')));
    QVERIFY2(!answersLeft, "a queued answer was not asked for");
}

QString TestMainForm::FixtureFile(const QString &name, const QByteArray &text)
{
    const QString path = window_->Path("fixtures/" + name);
    WriteBytes(path, text);
    return path;
}

void TestMainForm::WriteSettings(const QByteArray &fxrDefaults)
{
    WriteBytes(window_->Path("program/Settings.ini"),
               "[FxrDefaults]\r\n" + fxrDefaults + "\r\n[800Mode]\r\nFxrPath=\r\n");
}

void TestMainForm::Load(const QString &path)
{
    dialogs_->Files.push_back(path.toStdString());
    Click(C().btnLoadFixture);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void TestMainForm::startup_windowPagesAndCaptions_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QSize>("clientSize");
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<QString>("addChannelCaption");

    QTest::newRow("standard") << false << "MainForm" << QSize(1024, 768)
                              << QStringList{"Attributes", "Commands", "Palettes"} << "Add\nchannels";
    QTest::newRow("800") << true << "MainForm800" << QSize(800, 600)
                         << QStringList{"Base parameters", "Attributes", "Commands", "Palettes"} << "Add channel";
}

void TestMainForm::startup_windowPagesAndCaptions()
{
    QFETCH(bool, compact);
    QFETCH(QString, objectName);
    QFETCH(QSize, clientSize);
    QFETCH(QStringList, tabs);
    QFETCH(QString, addChannelCaption);

    Start(compact);
    QCOMPARE(window_->Form().objectName(), objectName);
    QCOMPARE(window_->Form().windowTitle(), "Rigsmith");
    QCOMPARE(window_->Form().size(), clientSize);
    QCOMPARE(window_->Form().minimumSize(), window_->Form().maximumSize());
    QCOMPARE(window_->Form().pos(), QPoint(1, 1));

    QTabWidget *pages = C().PageControl;
    QStringList captions;
    for (int i = 0; i < pages->count(); ++i)
        captions << pages->tabText(i);
    QCOMPARE(captions, tabs);
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(pages->isTabVisible(pages->indexOf(C().AttributesPage)));
    QVERIFY(!pages->isTabVisible(pages->indexOf(C().CommandPage)));
    QVERIFY(!pages->isTabVisible(pages->indexOf(C().PalettePage)));

    QCOMPARE(C().btnAddCh->text(), addChannelCaption);

    // Only the standard layout has a status bar, with the release in its first panel.
    const auto *release = window_->Form().findChild<QLabel *>("StatusPanel1");
    if (compact) {
        QVERIFY(!window_->Form().findChild<QStatusBar *>());
        QVERIFY(!release);
    } else {
        QVERIFY(release);
        QVERIFY2(release->text().startsWith("Release "), qPrintable(release->text()));
        QCOMPARE(window_->Form().findChild<QLabel *>("StatusPanel2")->text(), " ");
        QCOMPARE(window_->Form().findChild<QLabel *>("StatusPanel3")->text(), " ");
    }

    // The lists carry their items, and the attribute editor starts empty.
    const auto items = [](const QComboBox *list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    };
    QStringList channels;
    for (int i = 1; i <= 64; ++i)
        channels << QString::number(i);
    QStringList bytes;
    for (int i = 0; i <= 255; ++i)
        bytes << QString::number(i);
    QCOMPARE(items(C().MacType), (QStringList{"Moving mirror", "Moving head", "Dimmer", "Other"}));
    QCOMPARE(items(C().FileVersion), (QStringList{"1.0", "2.0"}));
    QCOMPARE(items(C().DmxChannel), channels);
    QCOMPARE(items(C().Patch), channels);
    QCOMPARE(items(C().PatchLow), QStringList{"na"} + channels);
    QCOMPARE(items(C().Priority), QStringList{"na"} + channels);
    QCOMPARE(items(C().DmxSplitChannel), bytes);
    QCOMPARE(items(C().DmxMinValue), bytes);
    QCOMPARE(items(C().DmxMaxValue), bytes);
    QCOMPARE(C().MacType->currentText(), "Other");
    QCOMPARE(C().FileVersion->currentText(), "1.0");
    QCOMPARE(C().FixtureName->text(), "");
    QCOMPARE(C().FileName->text(), "");
    QCOMPARE(C().AttributeName->text(), "");
    QCOMPARE(C().Priority->currentText(), "na");
    QCOMPARE(C().Patch->currentText(), "1");
    QCOMPARE(C().PatchLow->currentText(), "na");
    QCOMPARE(C().DmxMinValue->currentText(), "0");
    QCOMPARE(C().DmxMaxValue->currentText(), "255");
    QCOMPARE(C().chWidth->ItemIndex(), 0);
    QCOMPARE(GridRows(C().AttributesChannelList), QStringList{"|"});

    // The format selector can be used only where it shows.
    QCOMPARE(C().FileVersion->isEnabled(), compact);
    QVERIFY(!C().LastUpdate->isEnabled());
    QVERIFY(!C().btnApplyParam->isEnabled());
    QVERIFY(!C().btnUndoParam->isEnabled());
    QVERIFY(!C().PatchLow->isEnabled());
}

void TestMainForm::startup_controlsShownPerLayout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("inStandard");
    QTest::addColumn<bool>("in800");

    for (const char *angle : {"PanAngleMin", "PanAngleMax", "TiltAngleMin", "TiltAngleMax"})
        QTest::newRow(angle) << angle << false << true;
    QTest::newRow("Priority") << "Priority" << false << true;
    QTest::newRow("FileVersion") << "FileVersion" << false << true;
    QTest::newRow("Hinherit") << "Hinherit" << false << true;
    QTest::newRow("ShowOnEditor") << "ShowOnEditor" << false << true;
    QTest::newRow("DmxSplitChannel") << "DmxSplitChannel" << false << false;
    for (const char *dmx : {"DmxMaster", "DmxValue", "DmxPercent", "btnDmxPanel"})
        QTest::newRow(dmx) << dmx << false << true;
    for (const char *hidden : {"chTypeCMY", "chTypeEffect", "chTypeGrab"})
        QTest::newRow(hidden) << hidden << false << false;
    for (const char *shown : {"FixtureName",      "Brand",           "MacType",        "DmxChannel",
                              "Author",           "Revision",        "LastUpdate",     "Comment",
                              "FileName",         "btnNewFixture",   "btnLoadFixture", "btnSaveFixture",
                              "btnSaveAsFixture", "btnFixtureCheck", "btnExit",        "AttributesChannelList",
                              "AttributeName",    "Patch",           "PatchLow",       "Path",
                              "chWidth",          "ControlType",     "DmxMinValue",    "DmxMaxValue",
                              "chTypeIntens",     "chTypeBlade",     "btnAddCh",       "btnDeleteCh"})
        QTest::newRow(shown) << shown << true << true;
}

void TestMainForm::startup_controlsShownPerLayout()
{
    QFETCH(QString, control);
    QFETCH(bool, inStandard);
    QFETCH(bool, in800);

    for (const bool compact : {false, true}) {
        Start(compact);
        const auto *widget = window_->Form().findChild<QWidget *>(control);
        // A control a layout does without counts as not shown.
        const bool shown = widget && ShownOnItsPage(widget);
        QVERIFY2(shown == (compact ? in800 : inStandard), compact ? "800 layout" : "standard layout");
        window_->CloseForm();
    }
}

void TestMainForm::startup_labelsShownPerLayout_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("inStandard");
    QTest::addColumn<bool>("in800");

    for (const char *angle : {"Pan angle min", "Pan angle max", "Tilt angle min", "Tilt angle max"})
        QTest::newRow(angle) << angle << false << true;
    QTest::newRow("Priority") << "Priority" << false << true;
    QTest::newRow("File version") << "File version" << false << true;
    QTest::newRow("Hinherit") << "Hinherit" << false << true;
    QTest::newRow("Show on editor") << "Show on editor" << false << true;
    QTest::newRow("Dmx split channels") << "Dmx split channels" << false << false;
    QTest::newRow("Fixture") << "Fixture" << true << true;
    QTest::newRow("Dmx channels") << "Dmx channels" << true << true;
}

void TestMainForm::startup_labelsShownPerLayout()
{
    QFETCH(QString, label);
    QFETCH(bool, inStandard);
    QFETCH(bool, in800);

    for (const bool compact : {false, true}) {
        Start(compact);
        QList<QLabel *> found;
        for (QLabel *candidate : window_->Form().findChildren<QLabel *>())
            if (candidate->text() == label)
                found << candidate;
        QCOMPARE(found.size(), 1);
        QVERIFY2(ShownOnItsPage(found.front()) == (compact ? in800 : inStandard),
                 compact ? "800 layout" : "standard layout");
        window_->CloseForm();
    }
}

void TestMainForm::startup_gridTitlesAndWidths_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("widths");

    const QStringList chName{"Ch", "Ch name."};
    for (const bool compact : {false, true}) {
        const char *layout = compact ? "800" : "standard";
        const auto row = [&](const char *grid) -> QTestData & {
            return QTest::addRow("%s %s", layout, grid) << compact << grid;
        };
        row("AttributesChannelList") << chName << QList<int>{compact ? 42 : 36, 139};
        row("CommandList") << QStringList{"Command name"} << QList<int>{182};
        row("AvailableChannelList") << chName << QList<int>{42, 140};
        // "Dmx value" is 66 wide in both layouts, so that its title can be read.
        row("CommandChannelList") << chName + QStringList{"Dmx value", "Time (msec)"} << QList<int>{42, 143, 66, 100};
        row("PaletteChannelList") << chName + QStringList{"Dmx value"}
                                  << QList<int>{42, compact ? 137 : 155, compact ? 48 : 61};
    }
}

void TestMainForm::startup_gridTitlesAndWidths()
{
    QFETCH(bool, compact);
    QFETCH(QString, grid);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, widths);

    Start(compact);
    const auto *table = window_->Form().findChild<QTableWidget *>(grid);
    QVERIFY(table);
    QCOMPARE(Titles(table), titles);
    QCOMPARE(Widths(table), widths);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
}

void TestMainForm::startup_emptyFixtureClosesWithoutAsking_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::startup_emptyFixtureClosesWithoutAsking()
{
    QFETCH(bool, compact);
    Start(compact);
    QVERIFY(CurrentFixture().Saved);
    QCOMPARE(GridRows(C().AttributesChannelList), QStringList{"|"});
    QVERIFY(window_->Form().close());
    QVERIFY(dialogs_->Questions.empty());
    QVERIFY(!window_->Form().isVisible());
}

// ---------------------------------------------------------------------------------------------
// Settings.ini

void TestMainForm::settings_appliedAtStartAndAtNew_data()
{
    QTest::addColumn<QByteArray>("settings"); // "<none>": no Settings.ini at all
    QTest::addColumn<int>("controlType");
    QTest::addColumn<int>("path");
    QTest::addColumn<int>("inherit");
    QTest::addColumn<int>("showOnEditor");

    QTest::newRow("LTP, SnapStart, No, No")
        << QByteArray("ControlType=LTP\r\nPath=SnapStart\r\nInherit=No\r\nShowOnEditor=No\r\n") << 1 << 1 << 1 << 1;
    QTest::newRow("SnapEnd") << QByteArray("Path=SnapEnd\r\n") << 0 << 2 << 0 << 0;
    QTest::newRow("first items named") << QByteArray(
                                              "ControlType=HTP\r\nPath=Linear\r\nInherit=Yes\r\nShowOnEditor=Yes\r\n")
                                       << 0 << 0 << 0 << 0;
    QTest::newRow("ShowOnEditor No only") << QByteArray("ShowOnEditor=No\r\n") << 0 << 0 << 0 << 1;
    QTest::newRow("Snap start as the list shows it") << QByteArray("Path=Snap start\r\n") << 0 << 0 << 0 << 0;
    QTest::newRow("other letter case") << QByteArray(
                                              "ControlType=ltp\r\nPath=snapend\r\nInherit=NO\r\nShowOnEditor=no\r\n")
                                       << 0 << 0 << 0 << 0;
    QTest::newRow("htp") << QByteArray("ControlType=htp\r\n") << 0 << 0 << 0 << 0;
    QTest::newRow("empty values") << QByteArray("ControlType=\r\nPath=\r\nInherit=\r\nShowOnEditor=\r\n") << 0 << 0 << 0
                                  << 0;
    QTest::newRow("unknown words") << QByteArray("ControlType=Both\r\nPath=Curve\r\nInherit=1\r\nShowOnEditor=True\r\n")
                                   << 0 << 0 << 0 << 0;
    QTest::newRow("no file") << QByteArray("<none>") << 0 << 0 << 0 << 0;
}

void TestMainForm::settings_appliedAtStartAndAtNew()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, controlType);
    QFETCH(int, path);
    QFETCH(int, inherit);
    QFETCH(int, showOnEditor);

    if (settings != "<none>")
        WriteSettings(settings);
    const auto shows = [&](const char *when) {
        const QString where = QString("%1, %2").arg(C().Form->objectName(), when);
        QVERIFY2(C().ControlType->ItemIndex() == controlType, qPrintable(where));
        QVERIFY2(C().Path->currentIndex() == path, qPrintable(where));
        QVERIFY2(C().Hinherit->currentIndex() == inherit, qPrintable(where));
        QVERIFY2(C().ShowOnEditor->currentIndex() == showOnEditor, qPrintable(where));
    };
    for (const bool compact : {false, true}) {
        Start(compact);
        shows("start");
        if (QTest::currentTestFailed())
            return;

        // The user picks other values; a new fixture starts from the configured ones again.
        PickRadio(C().ControlType, controlType == 0 ? "LTP" : "HTP");
        Pick(C().Path, path == 2 ? 1 : 2);
        Pick(C().Hinherit, 1 - inherit);
        Pick(C().ShowOnEditor, 1 - showOnEditor);
        QVERIFY(C().ControlType->ItemIndex() != controlType);
        QVERIFY(CurrentFixture().Saved);
        Click(C().btnNewFixture);
        QVERIFY(dialogs_->Questions.empty());
        shows("after New");
        if (QTest::currentTestFailed())
            return;
        window_->CloseForm();
    }
}

void TestMainForm::settings_readAfreshAtEachNew()
{
    Start(false);
    QCOMPARE(C().ControlType->ItemIndex(), 0);
    WriteSettings("ControlType=LTP\r\nInherit=No\r\n");
    Click(C().btnNewFixture);
    QCOMPARE(C().ControlType->ItemIndex(), 1);
    QCOMPARE(C().Hinherit->currentIndex(), 1);
    QCOMPARE(C().Path->currentIndex(), 0);

    // A value that no longer names an item leaves the cleared editor's first item.
    WriteSettings("ControlType=Ltp\r\n");
    Click(C().btnNewFixture);
    QCOMPARE(C().ControlType->ItemIndex(), 0);
    QCOMPARE(C().Hinherit->currentIndex(), 0);
}

// ---------------------------------------------------------------------------------------------
// The not-saved prompts of New, Load and Close

void TestMainForm::prompts_newLoadClose_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("action");  // New, Load or Close
    QTest::addColumn<QString>("answer");  // empty: the fixture is saved and nothing is asked
    QTest::addColumn<bool>("saveChosen"); // after Yes: the save dialog is confirmed
    QTest::addColumn<bool>("written");    // lamp.fxr was written
    QTest::addColumn<QString>("fixture"); // the fixture's name afterwards
    QTest::addColumn<bool>("savedAfter");
    QTest::addColumn<bool>("closed");

    for (const bool compact : {false, true}) {
        const char *layout = compact ? "800" : "standard";
        const auto row = [&](const char *action, const char *answer, bool chosen) -> QTestData & {
            return QTest::addRow("%s %s %s%s", layout, action, *answer ? answer : "saved",
                                 std::string_view(answer) == "Yes" && !chosen ? ", save dialog cancelled" : "")
                   << compact << action << answer << chosen;
        };
        row("New", "", false) << false << "" << true << false;
        row("New", "Yes", true) << true << "" << true << false;
        row("New", "Yes", false) << false << "Lamp" << false << false;
        row("New", "No", false) << false << "" << true << false;
        row("New", "Cancel", false) << false << "Lamp" << false << false;

        row("Load", "", false) << false << "Par" << true << false;
        row("Load", "Yes", true) << true << "Par" << true << false;
        row("Load", "Yes", false) << false << "Lamp" << false << false;
        row("Load", "No", false) << false << "Par" << true << false;
        row("Load", "Cancel", false) << false << "Lamp" << false << false;

        row("Close", "", false) << false << "" << true << true;
        row("Close", "Yes", true) << true << "Lamp" << true << true;
        row("Close", "Yes", false) << false << "Lamp" << false << false;
        row("Close", "No", false) << false << "Lamp" << false << true;
        row("Close", "Cancel", false) << false << "Lamp" << false << false;
    }
}

void TestMainForm::prompts_newLoadClose()
{
    QFETCH(bool, compact);
    QFETCH(QString, action);
    QFETCH(QString, answer);
    QFETCH(bool, saveChosen);
    QFETCH(bool, written);
    QFETCH(QString, fixture);
    QFETCH(bool, savedAfter);
    QFETCH(bool, closed);

    const QString par = FixtureFile("par.fxr", ParText);
    const QString target = OutFile("lamp.fxr");
    Start(compact);
    if (!answer.isEmpty()) {
        QTest::keyClicks(C().FixtureName, "Lamp");
        QVERIFY(!CurrentFixture().Saved);
        const TAnswer given = answer == "Yes" ? TAnswer::Yes : answer == "No" ? TAnswer::No : TAnswer::Cancel;
        dialogs_->Answers.push_back(given);
        if (given == TAnswer::Yes)
            dialogs_->Files.push_back(saveChosen ? std::optional<std::string>(target.toStdString()) : std::nullopt);
    }

    bool wasClosed = false;
    if (action == "New") {
        Click(C().btnNewFixture);
    } else if (action == "Load") {
        const bool proceeds = fixture == "Par";
        if (proceeds)
            Load(par);
        else
            Click(C().btnLoadFixture);
    } else {
        wasClosed = window_->Form().close();
    }

    QCOMPARE(window_->Questions(), answer.isEmpty() ? QStringList() : QStringList{Q(NotSaved)});
    QCOMPARE(QFile::exists(target), written);
    if (written) {
        QCOMPARE(Shown(), Lines({"Information: File lamp.fxr saved"}));
        QCOMPARE(ReadFixtureFile(target.toStdString()).Name, std::string("Lamp"));
    } else {
        QCOMPARE(Shown(), QString());
    }
    QCOMPARE(Q(CurrentFixture().Name), fixture);
    QCOMPARE(C().FixtureName->text(), fixture);
    QCOMPARE(CurrentFixture().Saved, savedAfter);
    QCOMPARE(wasClosed, closed);
    QCOMPARE(window_->Form().isVisible(), !closed);
    if (fixture == "Par")
        QCOMPARE(C().FileName->text(), "par.fxr");
    if (fixture.isEmpty())
        QCOMPARE(C().FileName->text(), "");
}

void TestMainForm::prompts_yesStopsWhenSaveRefused_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("action");
    for (const bool compact : {false, true})
        for (const char *action : {"New", "Load", "Close"})
            QTest::addRow("%s %s", compact ? "800" : "standard", action) << compact << action;
}

void TestMainForm::prompts_yesStopsWhenSaveRefused()
{
    QFETCH(bool, compact);
    QFETCH(QString, action);

    // A name typed and erased again: changed, but the check refuses to save a nameless fixture.
    Start(compact);
    QTest::keyClicks(C().Brand, "Acme");
    QTest::keyClicks(C().FixtureName, "L");
    QTest::keyClick(C().FixtureName, Qt::Key_Backspace);
    QVERIFY(!CurrentFixture().Saved);
    dialogs_->Answers.push_back(TAnswer::Yes);

    bool closed = false;
    if (action == "New")
        Click(C().btnNewFixture);
    else if (action == "Load")
        Click(C().btnLoadFixture);
    else
        closed = window_->Form().close();

    QCOMPARE(window_->Questions(), QStringList{Q(NotSaved)});
    QCOMPARE(Shown(), Lines({"Warning: Fixture must be filled"}));
    QVERIFY(dialogs_->FileDialogs.empty());
    QVERIFY(!closed);
    QVERIFY(window_->Form().isVisible());
    QCOMPARE(CurrentFixture().Brand, std::string("Acme"));
    QCOMPARE(C().Brand->text(), "Acme");
    QVERIFY(!CurrentFixture().Saved);
}

void TestMainForm::prompts_yesSavesWithLayoutsPatchCheck_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("written");

    // Only the standard layout's New saves through its Save button, with the patch check.
    QTest::newRow("standard New") << false << "New" << false;
    QTest::newRow("standard Load") << false << "Load" << true;
    QTest::newRow("standard Close") << false << "Close" << true;
    QTest::newRow("800 New") << true << "New" << true;
    QTest::newRow("800 Load") << true << "Load" << true;
    QTest::newRow("800 Close") << true << "Close" << true;
}

void TestMainForm::prompts_yesSavesWithLayoutsPatchCheck()
{
    QFETCH(bool, compact);
    QFETCH(QString, action);
    QFETCH(bool, written);

    const QString clash = FixtureFile("clash.fxr", ClashText);
    const QString par = FixtureFile("par.fxr", ParText);
    Start(compact);
    Load(clash);
    QCOMPARE(Q(CurrentFixture().Name), "Clash");
    QTest::keyClicks(C().Brand, "B");
    QVERIFY(!CurrentFixture().Saved);
    Forget();

    dialogs_->Answers.push_back(TAnswer::Yes);
    bool closed = false;
    if (action == "New") {
        Click(C().btnNewFixture);
    } else if (action == "Load") {
        Load(par);
    } else {
        closed = window_->Form().close();
    }

    QCOMPARE(window_->Questions(), QStringList{Q(NotSaved)});
    // The loaded file is saved where it is; only the standard layout's open dialog shows.
    QCOMPARE(dialogs_->FileDialogs.size(), std::size_t(action == "Load" && !compact ? 1 : 0));
    if (written) {
        QCOMPARE(Shown(), Lines({"Information: File clash.fxr saved"}));
        QCOMPARE(ReadFixtureFile(clash.toStdString()).Brand, std::string("B"));
        QCOMPARE(closed, action == "Close");
        const char *expected = action == "New" ? "" : action == "Load" ? "Par" : "Clash";
        QCOMPARE(Q(CurrentFixture().Name), expected);
        QVERIFY(CurrentFixture().Saved);
    } else {
        QCOMPARE(Shown(), Lines({"Warning: parameter \"Dimmer\": Internal patch error !"}));
        QCOMPARE(ReadBytes(clash), ClashText);
        QCOMPARE(Q(CurrentFixture().Name), "Clash");
        QCOMPARE(C().Brand->text(), "B");
        QVERIFY(!CurrentFixture().Saved);
    }
}

void TestMainForm::exit_closesThroughCloseQuery_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::exit_closesThroughCloseQuery()
{
    QFETCH(bool, compact);
    Start(compact);
    QTest::keyClicks(C().FixtureName, "Lamp");

    dialogs_->Answers.push_back(TAnswer::Cancel);
    Click(C().btnExit);
    QVERIFY(window_->Form().isVisible());

    dialogs_->Answers.push_back(TAnswer::No);
    Click(C().btnExit);
    QVERIFY(!window_->Form().isVisible());
    QCOMPARE(window_->Questions(), (QStringList{Q(NotSaved), Q(NotSaved)}));
    QCOMPARE(Shown(), QString());
}

// ---------------------------------------------------------------------------------------------
// Save and Save As

void TestMainForm::save_writesTheModel_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("saveAs");

    QTest::newRow("standard Save") << false << false;
    QTest::newRow("standard Save As") << false << true;
    QTest::newRow("800 Save") << true << false;
    QTest::newRow("800 Save As") << true << true;
}

void TestMainForm::save_writesTheModel()
{
    QFETCH(bool, compact);
    QFETCH(bool, saveAs);

    Start(compact);
    QTest::keyClicks(C().FixtureName, "Lamp");
    QTest::keyClicks(C().Author, "Ann");
    QTest::keyClicks(C().Comment, "Two lines");
    Pick(C().MacType, 1);

    const bool fileList = compact && saveAs;
    if (fileList)
        dialogs_->FileListChoices.push_back(TFileListChoice{"lamp", window_->Path("out").toStdString()});
    else
        dialogs_->Files.push_back(OutFile("lamp.fxr").toStdString());
    Click(saveAs ? C().btnSaveAsFixture : C().btnSaveFixture);

    const TFixture &f = CurrentFixture();
    QCOMPARE(Shown(), Lines({"Information: File lamp.fxr saved"}));
    QCOMPARE(ReadBytes(OutFile("lamp.fxr")), QByteArray::fromStdString(FormatFixture(f, f.FormatVersion)));
    QCOMPARE(Q(f.FileName), "lamp.fxr");
    QCOMPARE(Q(f.FileDir), window_->Path("out"));
    QCOMPARE(C().FileName->text(), "lamp.fxr");
    QCOMPARE(C().LastUpdate->date(), FixedDate);
    QCOMPARE(f.FixtureType, uint8_t(2));
    QVERIFY(f.Saved);
    if (fileList) {
        QCOMPARE(dialogs_->FileListNames, std::vector<std::string>{""});
        QVERIFY(dialogs_->FileDialogs.empty());
    } else {
        QCOMPARE(dialogs_->FileDialogs.size(), std::size_t(1));
        const TFileDialogOptions &options = dialogs_->FileDialogs.front();
        QCOMPARE(options.InitialDir, std::string("Fixtures"));
        QCOMPARE(options.DefaultExt, std::string("fxr"));
        QVERIFY(options.OverwritePrompt);
    }

    // Saved: closing asks nothing.
    QVERIFY(window_->Form().close());
}

void TestMainForm::save_loadedFixtureWritesItsFile_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::save_loadedFixtureWritesItsFile()
{
    QFETCH(bool, compact);
    const QString par = FixtureFile("par.fxr", ParText);
    Start(compact);
    Load(par);
    QTest::keyClicks(C().Revision, "4");
    Forget();

    Click(C().btnSaveFixture);
    QCOMPARE(Shown(), Lines({"Information: File par.fxr saved"}));
    QVERIFY(dialogs_->FileDialogs.empty());
    const TFixture &f = CurrentFixture();
    QCOMPARE(f.Revision, std::string("r34"));
    QCOMPARE(ReadBytes(par), QByteArray::fromStdString(FormatFixture(f, 1)));
    QCOMPARE(C().LastUpdate->date(), FixedDate);
    QVERIFY(f.Saved);
}

void TestMainForm::save_chosenFileVersionWritesFormat2()
{
    const QString par = FixtureFile("par.fxr", ParText);
    Start(true);
    Load(par);
    QCOMPARE(C().FileVersion->currentIndex(), 0);
    Pick(C().FileVersion, 1);
    QCOMPARE(CurrentFixture().FormatVersion, 2);
    QVERIFY(!CurrentFixture().Saved);
    Forget();

    Click(C().btnSaveFixture);
    QCOMPARE(Shown(), Lines({"Information: File par.fxr saved"}));
    QCOMPARE(ReadBytes(par), QByteArray::fromStdString(FormatFixture(CurrentFixture(), 2)));
    QCOMPARE(C().FileVersion->currentIndex(), 1);
    QVERIFY(CurrentFixture().Saved);
}

void TestMainForm::save_keepsUsersChannelCount_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("command"); // Save, Save As, or a switch to the Attributes page
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("channels"); // picked by the user in "Dmx channels"

    for (const bool compact : {false, true}) {
        const char *layout = compact ? "800" : "standard";
        QTest::addRow("%s Save, spare channels", layout) << compact << "Save" << ParText << 8;
        QTest::addRow("%s Save As, spare channels", layout) << compact << "Save As" << ParText << 8;
        // The check passes because of the picked count; the file must say so too.
        QTest::addRow("%s Save, patch in range by the count", layout) << compact << "Save" << ClashText << 5;
    }
    QTest::newRow("800 page switch") << true << "Attributes page" << ParText << 8;
}

void TestMainForm::save_keepsUsersChannelCount()
{
    QFETCH(bool, compact);
    QFETCH(QString, command);
    QFETCH(QByteArray, file);
    QFETCH(int, channels);

    const QString path = FixtureFile("fixture.fxr", file);
    Start(compact);
    Load(path);
    Pick(C().DmxChannel, channels - 1);
    QCOMPARE(CurrentFixture().DmxChannels, channels);
    Forget();

    QString written = path;
    if (command == "Save") {
        Click(C().btnSaveFixture);
    } else if (command == "Save As") {
        written = OutFile("copy.fxr");
        if (compact)
            dialogs_->FileListChoices.push_back(TFileListChoice{"copy", window_->Path("out").toStdString()});
        else
            dialogs_->Files.push_back(written.toStdString());
        Click(C().btnSaveAsFixture);
    } else {
        C().PageControl->setCurrentWidget(C().AttributesPage);
        written.clear();
    }

    if (!written.isEmpty()) {
        QCOMPARE(Shown(), Lines({"Information: File " + QFileInfo(written).fileName() + " saved"}));
        QCOMPARE(ReadFixtureFile(written.toStdString()).DmxChannels, channels);
    }
    QCOMPARE(CurrentFixture().DmxChannels, channels);
    QCOMPARE(C().DmxChannel->currentText(), QString::number(CurrentFixture().DmxChannels));
}

void TestMainForm::save_writeFailureKeepsNotSaved_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::save_writeFailureKeepsNotSaved()
{
    QFETCH(bool, compact);
    Start(compact);
    QTest::keyClicks(C().FixtureName, "Lamp");
    dialogs_->Files.push_back(window_->Path("missing/lamp.fxr").toStdString());
    Click(C().btnSaveFixture);

    QCOMPARE(Shown(), Lines({"Warning: File access error"}));
    QVERIFY(!QFile::exists(window_->Path("missing/lamp.fxr")));
    QVERIFY(!CurrentFixture().Saved);
    dialogs_->Answers.push_back(TAnswer::Cancel);
    QVERIFY(!window_->Form().close());
}

void TestMainForm::save_patchConflict_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<bool>("written");

    QTest::newRow("standard Save") << false << false << false;
    QTest::newRow("standard Save As") << false << true << false;
    QTest::newRow("800 Save") << true << false << true;
    QTest::newRow("800 Save As") << true << true << true;
}

void TestMainForm::save_patchConflict()
{
    QFETCH(bool, compact);
    QFETCH(bool, saveAs);
    QFETCH(bool, written);

    const QString clash = FixtureFile("clash.fxr", ClashText);
    Start(compact);
    Load(clash);
    QTest::keyClicks(C().Brand, "B");
    Forget();

    const QString target = saveAs ? OutFile("clash2.fxr") : clash;
    if (written && saveAs)
        dialogs_->FileListChoices.push_back(TFileListChoice{"clash2", window_->Path("out").toStdString()});
    Click(saveAs ? C().btnSaveAsFixture : C().btnSaveFixture);

    if (written) {
        QCOMPARE(Shown(), Lines({"Information: File " + QFileInfo(target).fileName() + " saved"}));
        QCOMPARE(ReadBytes(target), QByteArray::fromStdString(FormatFixture(CurrentFixture(), 1)));
        QVERIFY(CurrentFixture().Saved);
    } else {
        QCOMPARE(Shown(), Lines({"Warning: parameter \"Dimmer\": Internal patch error !"}));
        QVERIFY(dialogs_->FileDialogs.empty());
        QCOMPARE(ReadBytes(clash), ClashText);
        QVERIFY(QDir(window_->Path("out")).isEmpty());
        QVERIFY(!CurrentFixture().Saved);
    }
}

void TestMainForm::save_cancelledDialogChangesNothing_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<bool>("loaded"); // a loaded fixture has a file name; a new one has none

    for (const bool compact : {false, true})
        for (const bool saveAs : {false, true})
            for (const bool loaded : {false, true}) {
                if (loaded && !saveAs)
                    continue; // Save of a named fixture asks for no file
                QTest::addRow("%s %s %s", compact ? "800" : "standard", saveAs ? "Save As" : "Save",
                              loaded ? "loaded" : "new")
                    << compact << saveAs << loaded;
            }
}

void TestMainForm::save_cancelledDialogChangesNothing()
{
    QFETCH(bool, compact);
    QFETCH(bool, saveAs);
    QFETCH(bool, loaded);

    const QString par = FixtureFile("par.fxr", ParText);
    Start(compact);
    if (loaded)
        Load(par);
    else
        QTest::keyClicks(C().FixtureName, "Lamp");
    QTest::keyClicks(C().Brand, "X");
    const TFixture &f = CurrentFixture();
    const std::string fileName = f.FileName;
    const std::string fileDir = f.FileDir;
    Forget();

    if (compact && saveAs)
        dialogs_->FileListChoices.push_back(std::nullopt);
    else
        dialogs_->Files.push_back(std::nullopt);
    Click(saveAs ? C().btnSaveAsFixture : C().btnSaveFixture);

    QCOMPARE(Shown(), QString());
    QCOMPARE(f.FileName, fileName);
    QCOMPARE(f.FileDir, fileDir);
    QCOMPARE(C().FileName->text(), Q(fileName));
    QVERIFY(!f.Saved);
    QVERIFY(QDir(window_->Path("out")).isEmpty());
    QCOMPARE(ReadBytes(par), ParText);
    if (compact && saveAs)
        QCOMPARE(dialogs_->FileListNames, std::vector<std::string>{fileName});
}

void TestMainForm::saveAs_compactNameRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused

    QTest::newRow("no extension") << "lamp"
                                  << "lamp.fxr";
    QTest::newRow("extension in capitals") << "Lamp.FXR"
                                           << "Lamp.FXR";
    QTest::newRow("extension inside") << "wash.fxr.old"
                                      << "wash.fxr.old";
    QTest::newRow("other extension") << "spot.txt"
                                     << "spot.txt.fxr";
    QTest::newRow("slashed directory") << "/some/dir/beam"
                                       << "beam.fxr";
    QTest::newRow("backslashed directory") << "c:\\fixtures\\beam.fxr"
                                           << "beam.fxr";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("directory only") << "some/dir/"
                                    << "";
}

void TestMainForm::saveAs_compactNameRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);

    const QString par = FixtureFile("par.fxr", ParText);
    Start(true);
    Load(par);
    QTest::keyClicks(C().Brand, "X");
    Forget();

    const QString outDir = window_->Path("out");
    dialogs_->FileListChoices.push_back(TFileListChoice{typed.toStdString(), outDir.toStdString()});
    Click(C().btnSaveAsFixture);

    const TFixture &f = CurrentFixture();
    QCOMPARE(dialogs_->FileListNames, std::vector<std::string>{"par.fxr"});
    if (stored.isEmpty()) {
        QCOMPARE(Shown(), Lines({"Warning: The name field cannot be blank!"}));
        QCOMPARE(Q(f.FileName), "par.fxr");
        QCOMPARE(Q(f.FileDir), window_->Path("fixtures"));
        QCOMPARE(C().FileName->text(), "par.fxr");
        QVERIFY(QDir(outDir).isEmpty());
        QVERIFY(!f.Saved);
        return;
    }
    QCOMPARE(Shown(), Lines({"Information: File " + stored + " saved"}));
    QCOMPARE(Q(f.FileName), stored);
    QCOMPARE(Q(f.FileDir), outDir);
    QCOMPARE(C().FileName->text(), stored);
    QCOMPARE(QDir(outDir).entryList(QDir::Files), QStringList{stored});
    QCOMPARE(ReadBytes(outDir + '/' + stored), QByteArray::fromStdString(FormatFixture(f, 1)));
    QCOMPARE(ReadBytes(par), ParText);
    QVERIFY(f.Saved);
}

void TestMainForm::saveAs_standardStartsWithNameAndLastDirectory()
{
    const QString par = FixtureFile("par.fxr", ParText);
    Start(false);
    Load(par);
    Forget();

    dialogs_->Files.push_back(OutFile("lamp.fxr").toStdString());
    Click(C().btnSaveAsFixture);
    dialogs_->Files.push_back(OutFile("lamp2.fxr").toStdString());
    Click(C().btnSaveAsFixture);

    QCOMPARE(dialogs_->FileDialogs.size(), std::size_t(2));
    QCOMPARE(dialogs_->FileDialogs[0].FileName, std::string("par.fxr"));
    QCOMPARE(dialogs_->FileDialogs[0].InitialDir, std::string("Fixtures"));
    QCOMPARE(dialogs_->FileDialogs[0].DefaultExt, std::string("fxr"));
    QVERIFY(dialogs_->FileDialogs[0].OverwritePrompt);
    QCOMPARE(dialogs_->FileDialogs[1].FileName, std::string("lamp.fxr"));
    QCOMPARE(Q(dialogs_->FileDialogs[1].InitialDir), window_->Path("out"));
    QCOMPARE(
        window_->Messages().join('\n'),
        QStringList((QStringList{"Information: File lamp.fxr saved", "Information: File lamp2.fxr saved"})).join('\n'));
    QCOMPARE(ReadBytes(OutFile("lamp2.fxr")), QByteArray::fromStdString(FormatFixture(CurrentFixture(), 1)));
    QCOMPARE(C().FileName->text(), "lamp2.fxr");
    QCOMPARE(ReadBytes(par), ParText);
}

// ---------------------------------------------------------------------------------------------
// Check

void TestMainForm::check_messages_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QByteArray>("file");   // empty: a new fixture
    QTest::addColumn<QString>("typedName"); // typed into "Fixture" after the load
    QTest::addColumn<int>("dmxChannels");   // picked in "Dmx channels" by the user; 0: left alone
    QTest::addColumn<QStringList>("messages");

    const QString ready = "Information: Fixture is ready to save";
    const QString unnamed = "Warning: Fixture must be filled";
    const QString patch = "Warning: parameter \"Dimmer\": Internal patch error !";
    const QString channels = "Warning: DMX channel value cannot be lower than the number of attributes";

    for (const bool compact : {false, true}) {
        const char *layout = compact ? "800" : "standard";
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::addRow("%s %s", layout, name) << compact;
        };
        row("new, no name") << QByteArray() << "" << 0 << QStringList{unnamed};
        row("new, named") << QByteArray() << "Lamp" << 0 << QStringList{ready};
        row("loaded") << ParText << "" << 0 << QStringList{ready};
        // The standard layout checks the patches first and stops there.
        row("patch conflict") << ClashText << "" << 0 << (compact ? QStringList{ready} : QStringList{patch});
        row("patch conflict, no name") << ClashNoNameText << "" << 0
                                       << (compact ? QStringList{unnamed} : QStringList{patch});
        row("patch conflict mended by the channel count") << ClashText << "" << 5 << QStringList{ready};
        row("fewer channels than attributes")
            << ParText << "" << 2
            << (compact ? QStringList{channels} : QStringList{"Warning: parameter \"Red\": Internal patch error !"});
        // Two attributes without a fixture name, squeezed into one channel.
        row("one channel for two attributes, no name")
            << ManyAttributesText(2).replace("Fixture = \"Many\"\r\n", "") << "" << 1
            << (compact ? QStringList{channels, unnamed}
                        : QStringList{"Warning: parameter \"Ch2\": Internal patch error !"});
    }
}

void TestMainForm::check_messages()
{
    QFETCH(bool, compact);
    QFETCH(QByteArray, file);
    QFETCH(QString, typedName);
    QFETCH(int, dmxChannels);
    QFETCH(QStringList, messages);

    Start(compact);
    if (!file.isEmpty())
        Load(FixtureFile("check.fxr", file));
    QTest::keyClicks(C().FixtureName, typedName);
    if (dmxChannels > 0) {
        Pick(C().DmxChannel, dmxChannels - 1);
        QCOMPARE(CurrentFixture().DmxChannels, dmxChannels);
    }
    Forget();

    const bool saved = CurrentFixture().Saved;
    Click(C().btnFixtureCheck);
    QCOMPARE(Shown(), Lines(messages));
    QCOMPARE(CurrentFixture().Saved, saved);
    QVERIFY(QDir(window_->Path("out")).isEmpty());
}

// ---------------------------------------------------------------------------------------------
// The not-saved state

void TestMainForm::notSaved_userEditsClearSaved_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("model"); // the model field afterwards

    for (const bool compact : {false, true}) {
        const char *layout = compact ? "800" : "standard";
        const auto row = [&](const char *field, const char *model) {
            QTest::addRow("%s %s", layout, field) << compact << field << model;
        };
        row("FixtureName", "Lamp");
        row("Brand", "Lamp");
        row("Author", "Lamp");
        row("Revision", "Lamp");
        row("Comment", "Lamp");
        row("MacType", "2");
        row("DmxChannel", "8");
        if (compact) {
            row("FileVersion", "2");
            row("PanAngleMin", "1");
            row("PanAngleMax", "1");
            row("TiltAngleMin", "1");
            row("TiltAngleMax", "1");
        }
    }
}

void TestMainForm::notSaved_userEditsClearSaved()
{
    QFETCH(bool, compact);
    QFETCH(QString, field);
    QFETCH(QString, model);

    Start(compact);
    QVERIFY(CurrentFixture().Saved);
    QWidget *control = window_->Form().findChild<QWidget *>(field);
    QVERIFY(control);
    if (auto *list = qobject_cast<QComboBox *>(control))
        Pick(list, field == "DmxChannel" ? 7 : 1);
    else if (qobject_cast<QSpinBox *>(control))
        QTest::keyClick(control, Qt::Key_Up);
    else
        QTest::keyClicks(control, "Lamp");

    const TFixture &f = CurrentFixture();
    const QMap<QString, QString> values{
        {"FixtureName", Q(f.Name)},
        {"Brand", Q(f.Brand)},
        {"Author", Q(f.Author)},
        {"Revision", Q(f.Revision)},
        {"Comment", Q(f.Comments)},
        {"MacType", QString::number(f.FixtureType)},
        {"DmxChannel", QString::number(f.DmxChannels)},
        {"FileVersion", QString::number(f.FormatVersion)},
        {"PanAngleMin", QString::number(f.PanAngleMin)},
        {"PanAngleMax", QString::number(f.PanAngleMax)},
        {"TiltAngleMin", QString::number(f.TiltAngleMin)},
        {"TiltAngleMax", QString::number(f.TiltAngleMax)},
    };
    QCOMPARE(values.value(field), model);
    QVERIFY(!f.Saved);

    dialogs_->Answers.push_back(TAnswer::No);
    QVERIFY(window_->Form().close());
    QCOMPARE(window_->Questions(), QStringList{Q(NotSaved)});
}

void TestMainForm::notSaved_programTextKeepsSaved_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::notSaved_programTextKeepsSaved()
{
    QFETCH(bool, compact);
    const QString par = FixtureFile("par.fxr", ParText);
    Start(compact);

    // Loading fills every text field.
    Load(par);
    QCOMPARE(C().FixtureName->text(), "Par");
    QCOMPARE(C().Comment->toPlainText(), "Warm white only\nNo strobe");
    QVERIFY(CurrentFixture().Saved);
    window_->Form().Controller()->ShowFixture();
    QVERIFY(CurrentFixture().Saved);

    // New empties them again, after the user's change was let go.
    QTest::keyClicks(C().Author, "e");
    dialogs_->Answers.push_back(TAnswer::No);
    Click(C().btnNewFixture);
    QCOMPARE(C().FixtureName->text(), "");
    QCOMPARE(C().Author->text(), "");
    QVERIFY(CurrentFixture().Saved);

    // A fresh fixture closes without a question.
    QVERIFY(window_->Form().close());
    QCOMPARE(window_->Questions(), QStringList{Q(NotSaved)});
}

void TestMainForm::notSaved_anglesOutOfRangeStayInModel_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::notSaved_anglesOutOfRangeStayInModel()
{
    QFETCH(bool, compact);
    Start(compact);
    Load(FixtureFile("scanner.fxr", AnglesText));

    const TFixture &f = CurrentFixture();
    QCOMPARE(C().PanAngleMin->value(), 0);
    QCOMPARE(C().PanAngleMax->value(), 540);
    QCOMPARE(C().TiltAngleMin->value(), 0);
    QCOMPARE(C().TiltAngleMax->value(), 360);
    QCOMPARE(f.PanAngleMin, -30);
    QCOMPARE(f.PanAngleMax, 540);
    QCOMPARE(f.TiltAngleMin, -135);
    QCOMPARE(f.TiltAngleMax, 400);
    QVERIFY(f.Saved);

    // A change elsewhere takes nothing from the shown angles.
    QTest::keyClicks(C().Brand, "Acme");
    QVERIFY(!f.Saved);
    QCOMPARE(f.PanAngleMin, -30);
    QCOMPARE(f.TiltAngleMin, -135);
    QCOMPARE(f.TiltAngleMax, 400);
}

void TestMainForm::notSaved_typedTextReachesModelInCodePage()
{
    Start(false);
    // Key clicks know only ASCII; these key events carry the characters as the keyboard would.
    for (const QChar character : QString::fromUtf8("Z\u00fcrich \u00b0"))
        QTest::sendKeyEvent(QTest::Click, C().Brand, Qt::Key_unknown, QString(character), Qt::NoModifier);
    QCOMPARE(CurrentFixture().Brand, std::string("Z\xfcrich \xb0"));
    QTest::keyClicks(C().Comment, "One");
    QTest::keyClick(C().Comment, Qt::Key_Return);
    QTest::keyClicks(C().Comment, "Two");
    QCOMPARE(CurrentFixture().Comments, std::string("One\r\nTwo"));
    QVERIFY(!CurrentFixture().Saved);
    dialogs_->Answers.push_back(TAnswer::No);
    QVERIFY(window_->Form().close());
}

// ---------------------------------------------------------------------------------------------
// Load

void TestMainForm::load_showsFixtureAndGrid_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::load_showsFixtureAndGrid()
{
    QFETCH(bool, compact);
    const QString par = FixtureFile("par.fxr", ParText);
    const QString bare = FixtureFile("bare.fxr", BareText);
    Start(compact);

    Load(par);
    QCOMPARE(Shown(), QString());
    QCOMPARE(C().FileName->text(), "par.fxr");
    QCOMPARE(C().FixtureName->text(), "Par");
    QCOMPARE(C().Brand->text(), "Acme");
    QCOMPARE(C().Author->text(), "Ann");
    QCOMPARE(C().Revision->text(), "r3");
    QCOMPARE(C().MacType->currentText(), "Dimmer");
    QCOMPARE(C().LastUpdate->date(), QDate(2025, 3, 1));
    QCOMPARE(C().Comment->toPlainText(), "Warm white only\nNo strobe");
    QCOMPARE(C().FileVersion->currentText(), "1.0");
    QCOMPARE(GridRows(C().AttributesChannelList), (QStringList{"1|Dimmer", "2|Dimmer( low )", "3|Red"}));
    // The file's channel count gives way to the channels the attributes take.
    QCOMPARE(C().DmxChannel->currentText(), "3");
    QCOMPARE(CurrentFixture().DmxChannels, 3);
    QCOMPARE(CurrentFixture().Comments, std::string("Warm white only\r\nNo strobe"));
    QVERIFY(CurrentFixture().Saved);
    if (!compact) {
        // The attribute page is in front, so the first attribute is in the editor, not yet edited.
        QCOMPARE(C().AttributeName->text(), "Dimmer");
        QCOMPARE(C().chWidth->ItemIndex(), 1);
        QCOMPARE(C().PatchLow->currentText(), "2");
        QVERIFY(!C().btnApplyParam->isEnabled());
        QVERIFY(!C().btnUndoParam->isEnabled());
    }

    Load(bare);
    QCOMPARE(C().FileName->text(), "bare.fxr");
    QCOMPARE(C().FixtureName->text(), "Bare");
    QCOMPARE(C().Brand->text(), "");
    QCOMPARE(C().MacType->currentText(), "Moving head");
    QCOMPARE(C().FileVersion->currentText(), "2.0");
    QCOMPARE(GridRows(C().AttributesChannelList), QStringList{"|"});
    QCOMPARE(C().DmxChannel->currentIndex(), -1);
    QCOMPARE(CurrentFixture().DmxChannels, 0);
    QVERIFY(CurrentFixture().Saved);

    // New starts again at format 1.0.
    Click(C().btnNewFixture);
    QCOMPARE(C().FileVersion->currentText(), "1.0");
    QCOMPARE(CurrentFixture().FormatVersion, 1);
    QCOMPARE(C().FileName->text(), "");
    QCOMPARE(Shown(), QString());
}

void TestMainForm::load_tabsFollowAttributes_data()
{
    QTest::addColumn<bool>("compact");
    QTest::newRow("standard") << false;
    QTest::newRow("800") << true;
}

void TestMainForm::load_tabsFollowAttributes()
{
    QFETCH(bool, compact);
    const QString par = FixtureFile("par.fxr", ParText);
    const QString bare = FixtureFile("bare.fxr", BareText);
    Start(compact);
    QTabWidget *pages = C().PageControl;
    const auto tabsShown = [&] {
        const bool commands = pages->isTabVisible(pages->indexOf(C().CommandPage));
        const bool palettes = pages->isTabVisible(pages->indexOf(C().PalettePage));
        return commands && palettes ? 2 : commands || palettes ? 1 : 0;
    };

    Load(bare);
    QCOMPARE(tabsShown(), 0);
    Load(par);
    QCOMPARE(tabsShown(), 2);
    Load(bare);
    QCOMPARE(tabsShown(), 0);
    Load(par);
    Click(C().btnNewFixture);
    QCOMPARE(tabsShown(), 0);
    QVERIFY(pages->isTabVisible(pages->indexOf(C().AttributesPage)));
    QVERIFY(dialogs_->Questions.empty());
}

void TestMainForm::load_channelCountBeyond64()
{
    Start(false);
    Load(FixtureFile("many.fxr", ManyAttributesText(65)));
    QCOMPARE(Shown(), QString());
    QCOMPARE(C().AttributesChannelList->rowCount(), 65);
    QCOMPARE(GridRows(C().AttributesChannelList).last(), "65|Ch65");
    QCOMPARE(CurrentFixture().DmxChannels, 65);
    QVERIFY(CurrentFixture().Saved);
}

void TestMainForm::load_goesToFirstPage()
{
    const QString par = FixtureFile("par.fxr", ParText);
    Start(false);
    Load(par);
    C().PageControl->setCurrentWidget(C().CommandPage);
    Load(par);
    QCOMPARE(C().PageControl->currentWidget(), C().AttributesPage);
    QVERIFY(CurrentFixture().Saved);
}

void TestMainForm::load_failureLeavesEverything_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");

    for (const bool compact : {false, true}) {
        const char *layout = compact ? "800" : "standard";
        QTest::addRow("%s broken", layout) << compact << "broken.fxr"
                                           << "Plain: Cannot open the file. Error in line #3:   DMX_CHANNELS = MANY";
        QTest::addRow("%s missing", layout) << compact << "missing.fxr"
                                            << "Warning: File access error";
    }
}

void TestMainForm::load_failureLeavesEverything()
{
    QFETCH(bool, compact);
    QFETCH(QString, file);
    QFETCH(QString, message);

    const QString par = FixtureFile("par.fxr", ParText);
    FixtureFile("broken.fxr", BrokenText);
    Start(compact);
    Load(par);
    QTest::keyClicks(C().Brand, "X");
    const QStringList rows = GridRows(C().AttributesChannelList);
    QTabWidget *pages = C().PageControl;
    const int page = pages->currentIndex();
    Forget();

    dialogs_->Answers.push_back(TAnswer::No);
    Load(window_->Path("fixtures/" + file));

    QCOMPARE(window_->Questions(), QStringList{Q(NotSaved)});
    const QStringList shown = window_->Messages();
    QCOMPARE(shown.size(), 1);
    // The line is reported as the reader holds it; compare it without regard to letter case.
    QVERIFY2(shown.front().compare(message, Qt::CaseInsensitive) == 0, qPrintable(shown.front()));
    QVERIFY(shown.front().startsWith(message.left(message.indexOf('#') + 5)));

    const TFixture &f = CurrentFixture();
    QCOMPARE(Q(f.Name), "Par");
    QCOMPARE(Q(f.Brand), "AcmeX");
    QCOMPARE(Q(f.FileName), "par.fxr");
    QCOMPARE(Q(f.FileDir), window_->Path("fixtures"));
    QCOMPARE(f.Attributes.Count(), std::size_t(3));
    QCOMPARE(f.DmxChannels, 3);
    QVERIFY(!f.Saved);
    QCOMPARE(C().FixtureName->text(), "Par");
    QCOMPARE(C().Brand->text(), "AcmeX");
    QCOMPARE(C().FileName->text(), "par.fxr");
    QCOMPARE(GridRows(C().AttributesChannelList), rows);
    QCOMPARE(pages->currentIndex(), page);
    QVERIFY(pages->isTabVisible(pages->indexOf(C().CommandPage)));

    // Still not saved: closing asks.
    dialogs_->Answers.push_back(TAnswer::Cancel);
    QVERIFY(!window_->Form().close());
}

void TestMainForm::load_cancelledDialogLeavesEverything_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("emptyPath"); // the file list confirmed with nothing selected
    QTest::newRow("standard") << false << false;
    QTest::newRow("800") << true << false;
    QTest::newRow("800 nothing selected") << true << true;
}

void TestMainForm::load_cancelledDialogLeavesEverything()
{
    QFETCH(bool, compact);
    QFETCH(bool, emptyPath);

    const QString par = FixtureFile("par.fxr", ParText);
    Start(compact);
    Load(par);
    Forget();

    dialogs_->Files.push_back(emptyPath ? std::optional<std::string>(std::string()) : std::nullopt);
    Click(C().btnLoadFixture);
    QCOMPARE(Shown(), QString());
    QVERIFY(dialogs_->Questions.empty());
    QCOMPARE(Q(CurrentFixture().Name), "Par");
    QCOMPARE(C().FixtureName->text(), "Par");
    QCOMPARE(GridRows(C().AttributesChannelList), (QStringList{"1|Dimmer", "2|Dimmer( low )", "3|Red"}));
    QVERIFY(CurrentFixture().Saved);
}

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
