#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;

// The 800 layout's load dialog: the fixture files of the directory that Settings.ini names.
class TfrmLoad800 : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLoad800(QWidget *parent = nullptr);

    // Shows the dialog modally: the selected file's full path (empty when none is selected), or
    // nothing when cancelled.
    std::optional<std::string> Execute();

    // Reads the directory from Settings.ini and lists its files afresh; runs at every activation.
    void FormActivate();
    std::string Directory() const;
    std::string SelectedPath() const;

    QLabel *lDir;
    QListWidget *flbFxr;
    QPushButton *btnLoad;
    QPushButton *btnCancel;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::string directory_;
};
