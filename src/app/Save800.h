#pragma once

#include "platform/UserDialogs.h"

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The 800 layout's save dialog: a name to save under, in the directory that Settings.ini names.
class TfrmSave800 : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSave800(QWidget *parent = nullptr);

    // Shows the dialog modally with fileName in the name box: the name as typed and the list's
    // directory, or nothing when cancelled. An empty name is refused while the dialog is open.
    std::optional<TFileListChoice> Execute(const std::string &fileName);

    void FormActivate();
    std::string Directory() const;

    QLabel *lDir;
    QListWidget *flbFxr;
    QLineEdit *eFileName;
    QPushButton *btnSave;
    QPushButton *btnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void flbFxrChange();
    void btnSaveClick();

    std::string directory_;
};
