#include "MainFormClass.h"

#include "Application.h"
#include "AttributesPage.h"
#include "BaseParametersPage.h"
#include "CommandsPage.h"
#include "PalettesPage.h"
#include "palettes/QtText.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

TMainFormClass::TMainFormClass(TMainFormControls &controls, TLayout layout, QObject *parent)
    : QObject(parent), c_(controls), layout_(layout)
{
    const TPageLink link{fixture_, layout, c_.PageControl, [this](const void *typing) { Modified(typing); }};
    base_ = new TBaseParametersPage(controls, link, this);
    attributes_ = new TAttributesPage(controls, link, this);
    commands_ = new TCommandsPage(controls, link, this);
    palettes_ = new TPalettesPage(controls, link, this);

    ShowFixture();
    ResetHistory();
    c_.PageControl->setCurrentIndex(0);
    ShowPageTabs();
    attributes_->ApplyAttributeDefaults();
    Wire();
}

TMainFormClass::~TMainFormClass() = default;

void TMainFormClass::Modified(const void *typing)
{
    fixture_.Saved = false;
    history_.Record(fixture_, typing);
    emit Changed();
}

void TMainFormClass::ResetHistory()
{
    history_.Reset(fixture_);
    emit Changed();
}

void TMainFormClass::Undo()
{
    if (history_.Undo(fixture_))
        ShowHistoryStep();
}

void TMainFormClass::Redo()
{
    if (history_.Redo(fixture_))
        ShowHistoryStep();
}

void TMainFormClass::ShowHistoryStep()
{
    emit Changed();
    const int page = c_.PageControl->currentIndex();
    const int row = attributes_->SelectedRow();
    const int commandRow = commands_->SelectedRow();
    ShowLoadedFixture();
    attributes_->RestoreRow(row);
    // The command the user was on stays current, where the step left one there.
    if (commandRow >= 0)
        commands_->CommandListSelectCell(std::min(commandRow, static_cast<int>(fixture_.Commands.Count()) - 1));
    if (c_.PageControl->isTabVisible(page))
        c_.PageControl->setCurrentIndex(page);
}

void TMainFormClass::Wire()
{
    base_->Wire();
    connect(c_.FileVersion, &QComboBox::activated, this, Guarded([this](int index) {
                fixture_.FormatVersion = index + 1;
                Modified();
                base_->ShowFormatFields();
            }));
    connect(c_.btnNewFixture, &QPushButton::clicked, this, Guarded([this] { NewFixtureClick(); }));
    connect(c_.btnLoadFixture, &QPushButton::clicked, this, Guarded([this] { LoadFixture(); }));
    connect(c_.btnSaveFixture, &QPushButton::clicked, this, Guarded([this] { SaveClick(); }));
    connect(c_.btnSaveAsFixture, &QPushButton::clicked, this, Guarded([this] { SaveAsClick(); }));
    connect(c_.btnFixtureCheck, &QPushButton::clicked, this, Guarded([this] { CheckClick(); }));
    connect(c_.btnExit, &QPushButton::clicked, c_.Form, &QWidget::close);
    connect(c_.PageControl, &QTabWidget::currentChanged, this, Guarded([this](int) { PageChanged(); }));
    // Undo and redo of the fixture, wherever the focus is (see eventFilter).
    // Ctrl+Y too, where the platform does not bind it already: two shortcuts of one key are
    // ambiguous, and neither would fire.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::Undo))
        connect(new QShortcut(keys, c_.Form), &QShortcut::activated, this, Guarded([this] { Undo(); }));
    for (const QKeySequence &keys : redoKeys)
        connect(new QShortcut(keys, c_.Form), &QShortcut::activated, this, Guarded([this] { Redo(); }));
    qApp->installEventFilter(this);

    attributes_->Wire();
    connect(attributes_, &TAttributesPage::ChannelCountChanged, base_, &TBaseParametersPage::ShowChannelCount);
    connect(attributes_, &TAttributesPage::RowsChanged, this, [this] { ShowPageTabs(); });
    commands_->Wire();
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
    return QObject::eventFilter(watched, event);
}

void TMainFormClass::ShowFixture()
{
    c_.FileName->setText(PathToQt(fixture_.FileName));
    c_.FileVersion->setCurrentIndex(fixture_.FormatVersion - 1);
    base_->Show();
    attributes_->Show();
}

void TMainFormClass::ShowPageTabs()
{
    const bool visible = !fixture_.Attributes.Empty();
    for (const TPage *page : std::initializer_list<const TPage *>{commands_, palettes_})
        c_.PageControl->setTabVisible(c_.PageControl->indexOf(page->Widget()), visible);
}

void TMainFormClass::PageChanged()
{
    for (TPage *page : std::initializer_list<TPage *>{attributes_, commands_, palettes_})
        if (page->Widget() == c_.PageControl->currentWidget()) {
            page->Entered();
            // The focus goes to the page's list, not on along the chain into the Fixture field,
            // where the next key would change the fixture's name.
            if (!page->Widget()->isAncestorOf(QApplication::focusWidget()))
                page->FocusHome()->setFocus();
        }
}
