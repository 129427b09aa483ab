#include "Load800.h"

#include "FileListBox.h"
#include "palettes/QtText.h"
#include "platform/Paths.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include <filesystem>

TfrmLoad800::TfrmLoad800(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lDir(new QLabel(this)), flbFxr(new QListWidget(this)), btnLoad(new QPushButton(tr("Load"), this)),
      btnCancel(new QPushButton(tr("Cancel"), this)), directory_(WorkingDir())
{
    setObjectName("frmLoad800");
    setWindowTitle(tr("Load fixture"));
    setFixedSize(304, 379);

    lDir->setObjectName("lDir");
    lDir->setGeometry(16, 24, 273, 17);
    flbFxr->setObjectName("flbFxr");
    flbFxr->setGeometry(16, 48, 273, 273);
    flbFxr->setSelectionMode(QAbstractItemView::SingleSelection);
    btnLoad->setObjectName("btnLoad");
    btnLoad->setGeometry(40, 328, 97, 41);
    btnLoad->setDefault(true);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(176, 328, 89, 41);

    connect(btnLoad, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(flbFxr, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::optional<std::string> TfrmLoad800::Execute()
{
    if (exec() != Accepted)
        return std::nullopt;
    return SelectedPath();
}

void TfrmLoad800::FormActivate()
{
    directory_ = FileListDirectory(directory_);
    ShowFixtureFiles(directory_, lDir, flbFxr, true);
    // With the first file selected, Enter loads it at once.
    if (flbFxr->count() > 0)
        flbFxr->setCurrentRow(0);
}

std::string TfrmLoad800::Directory() const
{
    return directory_;
}

std::string TfrmLoad800::SelectedPath() const
{
    const QList<QListWidgetItem *> selected = flbFxr->selectedItems();
    if (selected.isEmpty())
        return {};
    return (std::filesystem::path(directory_) / PathFromQt(selected.first()->text())).string();
}

void TfrmLoad800::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Spontaneous shows (a restore from minimised) are not a new opening.
    if (!event->spontaneous())
        FormActivate();
}
