#include "MainFormBase.h"

#include "Application.h"
#include "Pages.h"
#include "Version.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

void TMainFormBase::CreateController(const TMainFormControls &controls, TLayout layout, QSize clientSize)
{
    setWindowTitle("Rigsmith");
    move(1, 1);
    setFixedSize(clientSize);
    controls_ = controls;
    controller_ = new TMainFormClass(controls, layout, this);
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

namespace {

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
    pages::Attributes(c.AttributesPage, c, layout);
    pages::Commands(c.CommandPage, c, layout);
    pages::Palettes(c.PalettePage, c, layout);
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
    pages::BaseFields(header, c, TLayout::Standard);
    auto *file = new QGroupBox("Current file", central);
    file->setFixedWidth(330);
    pages::FileGroup(file, c, TLayout::Standard);
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
    pages::BaseFields(base, c, TLayout::Compact800);
    column->addWidget(base, 1);
    auto *bottom = new QHBoxLayout;
    auto *file = new QGroupBox(" File commands ", c.BaseParametersPage);
    pages::FileGroup(file, c, TLayout::Compact800);
    bottom->addWidget(file, 1);
    auto *dmx = new QGroupBox(" Dmx test ", c.BaseParametersPage);
    pages::DmxTest(dmx, c);
    bottom->addWidget(dmx);
    column->addLayout(bottom);
    AddWorkPages(c.PageControl, c, TLayout::Compact800);
    setCentralWidget(c.PageControl);
    CreateController(c, TLayout::Compact800, {800, 600});
}
