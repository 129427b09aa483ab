#include "MainFormClass.h"

#include "Application.h"
#include "Widgets.h"
#include "model/FixColors.h"
#include "model/FixDatas.h"
#include "palettes/PaletteIcons.h"
#include "palettes/QtText.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include "DmxPanel.h"
#include "platform/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

namespace {

// Settings.ini: the attribute editor's defaults for a new fixture.
constexpr const char *DefaultsSection = "FxrDefaults";

QStringList Numbers(int from, int to)
{
    QStringList items;
    for (int i = from; i <= to; ++i)
        items << QString::number(i);
    return items;
}

// Selects the item of the value among the texts, when there is one; any other value, letter case
// included, leaves the control as it is.
template <class Select>
void ApplySetting(const TIniFile &ini, const char *key, const QStringList &values, Select select)
{
    const auto index = values.indexOf(ToQt(ini.ReadString(DefaultsSection, key)));
    if (index >= 0)
        select(static_cast<int>(index));
}

} // namespace

TMainFormClass::TMainFormClass(const TMainFormControls &controls, TLayout layout, QObject *parent)
    : QObject(parent), c_(controls), layout_(layout)
{
}

void TMainFormClass::Modified(const void *typing)
{
    TFixture &f = CurrentFixture();
    f.Saved = false;
    history_.Record(f, typing);
    emit Changed();
}

void TMainFormClass::BaseEdit(const std::function<void()> &apply, const void *typing)
{
    if (filling_)
        return;
    apply();
    Modified(typing);
}

void TMainFormClass::ResetHistory()
{
    history_.Reset(CurrentFixture());
    emit Changed();
}

void TMainFormClass::Undo()
{
    if (history_.Undo(CurrentFixture()))
        ShowHistoryStep();
}

void TMainFormClass::Redo()
{
    if (history_.Redo(CurrentFixture()))
        ShowHistoryStep();
}

void TMainFormClass::ShowHistoryStep()
{
    emit Changed();
    const int page = c_.PageControl->currentIndex();
    const int row = SelectedAttributeRow();
    const QModelIndexList commandRows = c_.CommandList->selectionModel()->selectedRows();
    ShowLoadedFixture();
    if (row > 0 && row < c_.AttributesChannelList->rowCount())
        SelectAttribute(row);
    // The command the user was on stays current, where the step left one there.
    if (!commandRows.isEmpty())
        CommandListSelectCell(
            std::min(commandRows.front().row(), static_cast<int>(CurrentFixture().Commands.Count()) - 1));
    if (c_.PageControl->isTabVisible(page))
        c_.PageControl->setCurrentIndex(page);
}

void TMainFormClass::SetupControls()
{
    SetupGrid(c_.AttributesChannelList, {{"Ch", Is800() ? 42 : 36}, {"Ch name.", 139}});
    SetupGrid(c_.CommandList, {{"Command name", Is800() ? 128 : 182}});
    SetupGrid(c_.AvailableChannelList, {{"Ch", Is800() ? 32 : 42}, {"Ch name.", Is800() ? 115 : 140}});
    SetupGrid(c_.CommandChannelList, {{"Ch", Is800() ? 32 : 42},
                                      {"Ch name.", Is800() ? 105 : 143},
                                      {"Dmx value", 66},
                                      {"Time (msec)", Is800() ? 80 : 100}});
    SetupGrid(c_.PaletteChannelList, {{"Ch", 42}, {"Ch name.", Is800() ? 121 : 155}, {"Dmx value", Is800() ? 64 : 61}});

    const QStringList bytes = Numbers(0, 255);
    const QStringList channels = Numbers(1, 64);
    c_.DmxSplitChannel->addItems(bytes);
    c_.DmxMinValue->addItems(bytes);
    c_.DmxMaxValue->addItems(bytes);
    c_.PatchLow->addItem("na");
    c_.Priority->addItem("na");
    c_.DmxChannel->addItems(channels);
    c_.Patch->addItems(channels);
    c_.PatchLow->addItems(channels);
    c_.Priority->addItems(channels);

    ClearAttributeEditor();
    ShowFixture();
    SetupPalettePage();

    ResetHistory();
    c_.PageControl->setCurrentIndex(0);
    if (c_.btnAddCh)
        c_.btnAddCh->setText(Is800() ? "Add channel" : "Add\nchannels");
    ShowPageTabs();
    ApplyAttributeDefaults();
    if (c_.DmxMaster) {
        c_.DmxMaster->setValue(255);
        DmxMasterChange();
    }
}

void TMainFormClass::WireEvents()
{
    const auto text = [this](QLineEdit *edit, std::string TFixture::*field) {
        connect(edit, &QLineEdit::textChanged, this, Guarded([this, edit, field](const QString &value) {
                    BaseEdit([&] { CurrentFixture().*field = FromQt(value); }, edit);
                }));
    };
    text(c_.FixtureName, &TFixture::Name);
    text(c_.Brand, &TFixture::Brand);
    text(c_.Author, &TFixture::Author);
    text(c_.Revision, &TFixture::Revision);
    connect(c_.Comment, &QPlainTextEdit::textChanged, this, Guarded([this] {
                BaseEdit(
                    [this] { CurrentFixture().Comments = FromQt(c_.Comment->toPlainText().replace('\n', "\r\n")); },
                    c_.Comment);
            }));
    const auto angle = [this](QSpinBox *spin, int32_t TFixture::*field) {
        connect(spin, &QSpinBox::valueChanged, this,
                Guarded([this, spin, field](int value) { BaseEdit([&] { CurrentFixture().*field = value; }, spin); }));
    };
    angle(c_.PanAngleMin, &TFixture::PanAngleMin);
    angle(c_.PanAngleMax, &TFixture::PanAngleMax);
    angle(c_.TiltAngleMin, &TFixture::TiltAngleMin);
    angle(c_.TiltAngleMax, &TFixture::TiltAngleMax);
    // Lists report only what the user picks.
    connect(c_.MacType, &QComboBox::activated, this, Guarded([this](int index) {
                BaseEdit([&] { CurrentFixture().FixtureType = static_cast<uint8_t>(index + 1); });
            }));
    connect(c_.DmxChannel, &QComboBox::activated, this,
            Guarded([this](int) { BaseEdit([this] { DmxChannelChanged(); }); }));
    connect(c_.DmxSplitChannel, &QComboBox::activated, this,
            Guarded([this](int index) { BaseEdit([&] { CurrentFixture().DmxSplitChannels = index; }); }));
    connect(c_.FileVersion, &QComboBox::activated, this, Guarded([this](int index) {
                BaseEdit([&] { CurrentFixture().FormatVersion = index + 1; });
                ShowFormatFields();
            }));

    connect(c_.btnNewFixture, &QPushButton::clicked, this, Guarded([this] { NewFixtureClick(); }));
    connect(c_.btnLoadFixture, &QPushButton::clicked, this, Guarded([this] { LoadFixture(); }));
    connect(c_.btnSaveFixture, &QPushButton::clicked, this, Guarded([this] { SaveClick(); }));
    connect(c_.btnSaveAsFixture, &QPushButton::clicked, this, Guarded([this] { SaveAsClick(); }));
    connect(c_.btnFixtureCheck, &QPushButton::clicked, this, Guarded([this] { CheckClick(); }));
    connect(c_.btnExit, &QPushButton::clicked, c_.Form, &QWidget::close);
    connect(c_.PageControl, &QTabWidget::currentChanged, this, Guarded([this](int) { PageChanged(); }));
    // Undo and redo of the fixture, wherever the focus is (see eventFilter).
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::Undo))
        connect(new QShortcut(keys, c_.Form), &QShortcut::activated, this, Guarded([this] { Undo(); }));
    for (const QKeySequence &keys : redoKeys)
        connect(new QShortcut(keys, c_.Form), &QShortcut::activated, this, Guarded([this] { Redo(); }));
    qApp->installEventFilter(this);

    // The attribute editor collects edits until they are applied.
    const auto edited = Guarded([this] {
        if (!filling_)
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
                if (!filling_)
                    ShowSelectedAttribute();
            }));
    connect(c_.btnApplyParam, &QPushButton::clicked, this, Guarded([this] { ApplyAttribute(); }));
    connect(c_.btnUndoParam, &QPushButton::clicked, this, Guarded([this] { UndoAttribute(); }));
    connect(c_.btnDeleteCh, &QPushButton::clicked, this, Guarded([this] { DeleteChannel(); }));
    connect(c_.btnAttrUp, &QPushButton::clicked, this, Guarded([this] { MoveAttributeUp(); }));
    connect(c_.btnAttrDown, &QPushButton::clicked, this, Guarded([this] { MoveAttributeDown(); }));
    connect(c_.btnAddCh, &QPushButton::clicked, this, Guarded([this] { AddChannelClick(); }));

    // Whatever changes the command list's selection (a click, the keys, a click beside the rows
    // that clears it) changes the command the page shows.
    connect(c_.CommandList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded([this] { RefreshCommandDetail(); }));
    connect(c_.btnAddCommand, &QPushButton::clicked, this, Guarded([this] { NewCommand(); }));
    connect(c_.btnDeleteCommand, &QPushButton::clicked, this, Guarded([this] { DeleteCommand(); }));
    connect(c_.CommandPage->findChild<QPushButton *>("btnSendCommand"), &QPushButton::clicked, this, Guarded([this] {
                if (TCommand *command = CurrentCommand())
                    SendCommandLive(CurrentFixture(), *command);
            }));
    connect(c_.btnAddCommandCh, &QPushButton::clicked, this, Guarded([this] { AddCommandStep(); }));
    connect(c_.btnDeleteCommandCh, &QPushButton::clicked, this, Guarded([this] { DeleteCommandStep(); }));
    connect(c_.btnDeleteAllCommandCh, &QPushButton::clicked, this, Guarded([this] { DeleteAllCommandSteps(); }));
    connect(c_.CommandChannelList, &QTableWidget::cellDoubleClicked, this, Guarded([this] { EditCommandStep(); }));
    connect(c_.PaletteChannelList, &QTableWidget::cellDoubleClicked, this, Guarded([this] { EditPaletteValue(); }));
    c_.CommandChannelList->installEventFilter(this);
    c_.PaletteChannelList->installEventFilter(this);

    if (c_.DmxMaster) {
        connect(c_.DmxMaster, &QScrollBar::valueChanged, this, Guarded([this] { DmxMasterChange(); }));
        connect(c_.btnDmxPanel, &QPushButton::clicked, this, Guarded([] { Dialogs().ShowDmxPanel(); }));
    }
    WirePalettePage();
}

void TMainFormClass::DmxChannelChanged()
{
    CurrentFixture().DmxChannels = c_.DmxChannel->currentIndex() + 1;
}

void TMainFormClass::ShowFixture()
{
    const TFixture &f = CurrentFixture();
    {
        const auto filling = Filling();
        c_.FileName->setText(PathToQt(f.FileName));
        c_.FixtureName->setText(ToQt(f.Name));
        c_.FileVersion->setCurrentIndex(f.FormatVersion - 1);
        c_.Brand->setText(ToQt(f.Brand));
        c_.MacType->setCurrentIndex(f.FixtureType - 1);
        c_.DmxChannel->setCurrentIndex(f.DmxChannels > 0 ? f.DmxChannels - 1 : 0);
        c_.DmxSplitChannel->setCurrentIndex(f.DmxSplitChannels);
        c_.PanAngleMin->setValue(f.PanAngleMin);
        c_.PanAngleMax->setValue(f.PanAngleMax);
        c_.TiltAngleMin->setValue(f.TiltAngleMin);
        c_.TiltAngleMax->setValue(f.TiltAngleMax);
        c_.Author->setText(ToQt(f.Author));
        c_.Revision->setText(ToQt(f.Revision));
        const TCalendarDate date = DecodeDate(f.Date);
        c_.LastUpdate->setDate(QDate(date.Year, date.Month, date.Day));
        c_.Comment->setPlainText(ToQt(f.Comments).replace("\r\n", "\n"));
    }
    ShowFormatFields();
    FillAttributeGrid(nullptr);
    // A file's own channel count stays; a file without one counts its rows.
    if (f.DmxChannels <= 0)
        FollowRowCount();
}

void TMainFormClass::ShowFormatFields()
{
    // A format 1.0 file has no revision and no comments. Their fields are unavailable then, unless
    // they hold text (the format was changed to 1.0), which the user can still remove; a save
    // names it until then.
    const TFixture &f = CurrentFixture();
    const bool format10 = f.FormatVersion == 1;
    const QString why = format10 ? "A format 1.0 file has no revision and no comments." : QString();
    c_.Revision->setEnabled(!format10 || !f.Revision.empty());
    c_.Comment->setEnabled(!format10 || !f.Comments.empty());
    c_.Revision->setToolTip(why);
    c_.Comment->setToolTip(why);
}

void TMainFormClass::ApplyAttributeDefaults()
{
    const TIniFile ini(ProgramFile("Settings.ini"));
    ApplySetting(ini, "ControlType", {"HTP", "LTP"}, [this](int i) { c_.ControlType->SetItemIndex(i); });
    ApplySetting(ini, "Path", {"Linear", "SnapStart", "SnapEnd"}, [this](int i) { c_.Path->setCurrentIndex(i); });
    ApplySetting(ini, "Inherit", {"Yes", "No"}, [this](int i) { c_.Hinherit->setCurrentIndex(i); });
    ApplySetting(ini, "ShowOnEditor", {"Yes", "No"}, [this](int i) { c_.ShowOnEditor->setCurrentIndex(i); });
}

void TMainFormClass::ShowPageTabs()
{
    const bool visible = !CurrentFixture().Attributes.Empty();
    c_.PageControl->setTabVisible(c_.PageControl->indexOf(c_.CommandPage), visible);
    c_.PageControl->setTabVisible(c_.PageControl->indexOf(c_.PalettePage), visible);
}

void TMainFormClass::PageChanged()
{
    QWidget *page = c_.PageControl->currentWidget();
    if (page == c_.AttributesPage)
        ShowSelectedAttribute();
    else if (page == c_.CommandPage && !CurrentFixture().Commands.Empty())
        CommandListSelectCell(std::max(c_.CommandList->currentRow(), 0));
    else if (page == c_.PalettePage)
        RebuildPaletteBoxes();
}

void TMainFormClass::DmxMasterChange()
{
    const int level = 255 - c_.DmxMaster->value();
    c_.DmxValue->setText(QString::number(level));
    c_.DmxPercent->setText(LevelText(level, true));
}
