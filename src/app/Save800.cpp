#include "Save800.h"

#include "FileListBox.h"
#include "palettes/QtText.h"
#include "platform/Paths.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

TfrmSave800::TfrmSave800(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      lDir(new QLabel(this)), flbFxr(new QListWidget(this)), eFileName(new QLineEdit(this)),
      btnSave(new QPushButton(tr("Save"), this)), btnCancel(new QPushButton(tr("Cancel"), this)),
      directory_(WorkingDir())
{
    setObjectName("frmSave800");
    setWindowTitle(tr("Save fixture as..."));
    setFixedSize(304, 379);

    lDir->setObjectName("lDir");
    lDir->setGeometry(16, 24, 273, 17);
    flbFxr->setObjectName("flbFxr");
    flbFxr->setGeometry(16, 48, 273, 241);
    flbFxr->setSelectionMode(QAbstractItemView::SingleSelection);
    eFileName->setObjectName("eFileName");
    eFileName->setGeometry(16, 296, 273, 21);
    btnSave->setObjectName("btnSave");
    btnSave->setGeometry(40, 328, 97, 41);
    btnSave->setDefault(true);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(176, 328, 89, 41);

    connect(flbFxr, &QListWidget::itemSelectionChanged, this, &TfrmSave800::flbFxrChange);
    connect(btnSave, &QPushButton::clicked, this, &TfrmSave800::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<TFileListChoice> TfrmSave800::Execute(const std::string &fileName)
{
    eFileName->setText(PathToQt(fileName));
    if (exec() != Accepted)
        return std::nullopt;
    return TFileListChoice{PathFromQt(eFileName->text()), directory_};
}

void TfrmSave800::FormActivate()
{
    // Refilling the list sends no selection change, so the name the caller put in stays.
    directory_ = FileListDirectory(directory_);
    ShowFixtureFiles(directory_, lDir, flbFxr);
}

std::string TfrmSave800::Directory() const
{
    return directory_;
}

void TfrmSave800::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormActivate();
        eFileName->setFocus();
    }
}

void TfrmSave800::flbFxrChange()
{
    const QList<QListWidgetItem *> selected = flbFxr->selectedItems();
    eFileName->setText(selected.isEmpty() ? QString() : selected.first()->text());
}

void TfrmSave800::btnSaveClick()
{
    // An empty name would save as the bare file ".fxr".
    if (eFileName->text().isEmpty()) {
        Dialogs().ShowMessage(TMessageKind::Warning, "The name field cannot be blank!");
        eFileName->setFocus();
        return;
    }
    accept();
}
