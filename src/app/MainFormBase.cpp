#include "MainFormBase.h"

#include "Application.h"
#include "AttributesPage.h"
#include "BaseParametersPage.h"
#include "CommandsPage.h"
#include "PageBuilder.h"
#include "PalettesPage.h"
#include "Version.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

void TMainFormBase::CreateController(const TMainFormControls &controls, TLayout layout, QSize clientSize)
{
    setWindowTitle("Rigsmith");
    move(1, 1);
    setFixedSize(clientSize);
    controls_ = controls;
    controller_ = new TMainFormClass(controls_, layout, this);
}

void TMainFormBase::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    Guard([&] { mayClose = controller_->CloseQuery(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

using namespace build;

namespace {

// FileName, the six file buttons and the format selector.
void FileGroup(QWidget *parent, TWindowControls &c, TLayout layout)
{
    auto *grid = new QGridLayout(parent);
    c.FileName = Make<QLineEdit>("FileName", parent);
    c.FileName->setReadOnly(true);
    c.btnNewFixture = Button("btnNewFixture", "New fixture", parent);
    c.btnLoadFixture = Button("btnLoadFixture", "Load fixture", parent);
    c.btnSaveFixture = Button("btnSaveFixture", "Save", parent);
    c.btnSaveAsFixture = Button("btnSaveAsFixture", "Save As", parent);
    c.btnFixtureCheck = Button("btnFixtureCheck", "Check", parent);
    c.btnExit = Button("btnExit", "Exit", parent);
    c.FileVersion = List("FileVersion", parent, {"1.0", "2.0"});
    auto *versionLabel = new QLabel("File version", parent);
    grid->addWidget(c.FileName, 0, 0, 1, 3);
    grid->addWidget(c.btnNewFixture, 1, 0);
    grid->addWidget(c.btnLoadFixture, 1, 1);
    grid->addWidget(c.btnSaveFixture, 1, 2);
    grid->addWidget(c.btnSaveAsFixture, 2, 0);
    grid->addWidget(c.btnFixtureCheck, 2, 1);
    grid->addWidget(c.btnExit, 2, 2);
    grid->addWidget(versionLabel, 3, 0);
    grid->addWidget(c.FileVersion, 3, 1);
    // The standard layout keeps the version a fixture was loaded with.
    if (layout == TLayout::Standard) {
        versionLabel->hide();
        c.FileVersion->hide();
        c.FileVersion->setEnabled(false);
    }
}

QWidget *AddPage(QTabWidget *tabs, const char *name, const QString &caption)
{
    auto *page = new QWidget(tabs);
    page->setObjectName(name);
    tabs->addTab(page, caption);
    return page;
}

void AddWorkPages(QTabWidget *tabs, TMainFormControls &c, TLayout layout)
{
    c.AttributesPage = AddPage(tabs, "AttributesPage", "Attributes");
    c.CommandPage = AddPage(tabs, "CommandPage", "Commands");
    c.PalettePage = AddPage(tabs, "PalettePage", "Palettes");
    TAttributesPage::Build(c.AttributesPage, c, layout);
    TCommandsPage::Build(c.CommandPage, c, layout);
    // The Palettes page builds its controls itself, once the window is up (see TPalettesPage).
}

} // namespace

TMainForm::TMainForm()
{
    setObjectName("MainForm");
    TMainFormControls c;
    c.Form = this;
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    auto *top = new QHBoxLayout;
    auto *header = new QGroupBox("Header data", central);
    TBaseParametersPage::Build(header, c, TLayout::Standard);
    auto *file = new QGroupBox("Current file", central);
    file->setFixedWidth(330);
    FileGroup(file, c, TLayout::Standard);
    top->addWidget(header, 1);
    top->addWidget(file);
    column->addLayout(top);
    c.PageControl = new QTabWidget(central);
    c.PageControl->setObjectName("PageControl");
    AddWorkPages(c.PageControl, c, TLayout::Standard);
    column->addWidget(c.PageControl, 1);
    setCentralWidget(central);

    c.StatusBar = statusBar();
    c.StatusBar->setSizeGripEnabled(false);
    auto *release = new QLabel(QString("Release %1 (build %2)").arg(RIGSMITH_VERSION, RIGSMITH_BUILD), this);
    release->setObjectName("StatusPanel1");
    c.StatusBar->addWidget(release, 1);
    for (const char *name : {"StatusPanel2", "StatusPanel3"}) {
        auto *panel = new QLabel(" ", this);
        panel->setObjectName(name);
        c.StatusBar->addWidget(panel, 1);
    }
    CreateController(c, TLayout::Standard, {1024, 768});
}

TMainForm800::TMainForm800()
{
    setObjectName("MainForm800");
    TMainFormControls c;
    c.Form = this;
    c.PageControl = new QTabWidget(this);
    c.PageControl->setObjectName("PageControl");
    c.BaseParametersPage = AddPage(c.PageControl, "BaseParametersPage", "Base parameters");
    auto *column = new QVBoxLayout(c.BaseParametersPage);
    auto *base = new QGroupBox(" Base parameters ", c.BaseParametersPage);
    TBaseParametersPage::Build(base, c, TLayout::Compact800);
    column->addWidget(base, 1);
    auto *bottom = new QHBoxLayout;
    auto *file = new QGroupBox(" File commands ", c.BaseParametersPage);
    FileGroup(file, c, TLayout::Compact800);
    bottom->addWidget(file, 1);
    auto *dmx = new QGroupBox(" Dmx test ", c.BaseParametersPage);
    TBaseParametersPage::BuildDmxTest(dmx, c);
    bottom->addWidget(dmx);
    column->addLayout(bottom);
    AddWorkPages(c.PageControl, c, TLayout::Compact800);
    setCentralWidget(c.PageControl);
    CreateController(c, TLayout::Compact800, {800, 600});
}
