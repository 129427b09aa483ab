#include "QtDialogs.h"

#include "AddChannel.h"
#include "DmxPanel.h"
#include "GetData.h"
#include "Load800.h"
#include "Save800.h"
#include "palettes/GetColName.h"
#include "palettes/QtText.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QScrollBar>

namespace {

QString Filter(const TFileDialogOptions &options)
{
    return ToQt(options.Filter);
}

QString StartPath(const TFileDialogOptions &options)
{
    const QDir directory(PathToQt(options.InitialDir));
    return options.FileName.empty() ? directory.absolutePath() : directory.absoluteFilePath(PathToQt(options.FileName));
}

std::optional<std::string> Chosen(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    return PathFromQt(QDir::toNativeSeparators(path));
}

} // namespace

TQtDialogs::TQtDialogs() = default;
TQtDialogs::~TQtDialogs()
{
    delete load800_;
    delete save800_;
    delete getColName_;
    delete dmxPanel_;
    delete getData_;
}

void TQtDialogs::CreateFileListDialogs()
{
    load800_ = new TfrmLoad800(mainWindow_);
    save800_ = new TfrmSave800(mainWindow_);
}

void TQtDialogs::CreateNameDialog()
{
    getColName_ = new TfrmGetColName(mainWindow_);
}

void TQtDialogs::CreateDmxPanel()
{
    dmxPanel_ = new TfrmDmxPanel(dmxLevels_, fixture_, mainWindow_);
    // The compact layout's master scales what the panel sends; without it the panel sends in full.
    if (auto *master = mainWindow_ ? mainWindow_->findChild<QScrollBar *>("DmxMaster") : nullptr) {
        const auto follow = [panel = dmxPanel_.data(), master] { panel->SetMaster(255 - master->value()); };
        QObject::connect(master, &QScrollBar::valueChanged, dmxPanel_, follow);
        follow();
    }
}

void TQtDialogs::CreateValueDialog()
{
    getData_ = new TGetDataForm(mainWindow_);
}

void TQtDialogs::ShowMessage(TMessageKind kind, const std::string &text)
{
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case TMessageKind::Warning:
        QMessageBox::warning(mainWindow_, title, ToQt(text));
        break;
    case TMessageKind::Information:
        QMessageBox::information(mainWindow_, title, ToQt(text));
        break;
    case TMessageKind::Error:
        QMessageBox::critical(mainWindow_, title, ToQt(text));
        break;
    case TMessageKind::Plain: {
        QMessageBox box(QMessageBox::NoIcon, title, ToQt(text), QMessageBox::Ok, mainWindow_);
        box.exec();
        break;
    }
    }
}

TAnswer TQtDialogs::Confirm(const std::string &text, bool allowCancel)
{
    const auto buttons =
        allowCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel : QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), ToQt(text), buttons, mainWindow_);
    box.setEscapeButton(allowCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return allowCancel ? TAnswer::Cancel : TAnswer::No;
    }
}

std::optional<std::string> TQtDialogs::OpenFileName(const TFileDialogOptions &options)
{
    QFileDialog dialog(mainWindow_, {}, StartPath(options), Filter(options));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Names only: the desktop's file types know nothing of fixture files.
    dialog.setViewMode(QFileDialog::List);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQt(options.DefaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}

std::optional<std::string> TQtDialogs::SaveFileName(const TFileDialogOptions &options)
{
    QFileDialog dialog(mainWindow_, {}, StartPath(options), Filter(options));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setViewMode(QFileDialog::List);
    dialog.setDefaultSuffix(ToQt(options.DefaultExt));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}

std::optional<std::string> TQtDialogs::InputBox(const std::string &title, const std::string &prompt,
                                                const std::string &value)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(mainWindow_, ToQt(title), ToQt(prompt), QLineEdit::Normal, ToQt(value), &ok);
    if (!ok)
        return std::nullopt;
    return FromQt(text);
}

std::optional<std::size_t> TQtDialogs::ChooseMode(const std::string &fixture, const std::vector<std::string> &modes)
{
    QStringList items;
    for (const std::string &mode : modes)
        items << ToQt(mode);
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(mainWindow_, ToQt(fixture), QStringLiteral("Mode:"), items, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<std::size_t>(items.indexOf(chosen));
}

std::optional<std::string> TQtDialogs::LoadFromFileList()
{
    if (!load800_)
        CreateFileListDialogs();
    return load800_->Execute();
}

std::optional<TFileListChoice> TQtDialogs::SaveToFileList(const std::string &fileName)
{
    if (!save800_)
        CreateFileListDialogs();
    return save800_->Execute(fileName);
}

std::optional<std::string> TQtDialogs::AskName(const std::string &title, const std::string &proposed)
{
    if (!getColName_)
        CreateNameDialog();
    return getColName_->Execute(title, proposed);
}

std::optional<TPredefinedPick> TQtDialogs::PickPredefinedName(const std::string &caption, const std::string &listFile)
{
    return TfrmAddChannel::PickPredefinedName(mainWindow_, caption, listFile, addChannel_);
}

std::optional<TValueAnswer> TQtDialogs::EnterValue(const TValueRequest &request)
{
    if (!getData_)
        CreateValueDialog();
    return getData_->Execute(request);
}

void TQtDialogs::ShowDmxPanel()
{
    if (!dmxPanel_)
        CreateDmxPanel();
    dmxPanel_->exec();
}
