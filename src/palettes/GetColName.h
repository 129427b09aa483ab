#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

// The dialog that asks for one name: of a palette, or of an attribute or command typed freely.
class TfrmGetColName : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetColName(QWidget *parent = nullptr);

    // Shows the dialog modally with the title and the proposed name: the name, never empty, or
    // nothing when cancelled.
    std::optional<std::string> Execute(const std::string &title, const std::string &proposed);

    QLineEdit *eCustColName;
    QPushButton *Button1;
    QPushButton *Button2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Button1Click();
};
