#pragma once

#include "platform/UserDialogs.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QIntValidator;
class QPushButton;

// The value-entry dialog of command steps and palette values.
class TGetDataForm : public QDialog {
    Q_OBJECT
public:
    explicit TGetDataForm(QWidget *parent = nullptr);

    // Fills the dialog from the request and runs it modally: the entered value and time, or
    // nothing when cancelled.
    std::optional<TValueAnswer> Execute(const TValueRequest &request);
    // Fills the controls from the request; Execute does it before showing.
    void Fill(const TValueRequest &request);
    // What OK would return.
    TValueAnswer Answer() const;

    QLineEdit *Attrib;
    QLineEdit *MinValue;
    QLineEdit *MaxValue;
    QLabel *DmxValueLabel;
    QLineEdit *DmxValue;
    QLabel *DelayTimeLabel;
    QLineEdit *DelayTime;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QPushButton *OkButton;
    QPushButton *CancelButton;
    // Says why a value is refused, while it is.
    QLabel *RangeHint;

private:
    void ShowRangeHint();
    void showEvent(QShowEvent *event) override;
    // Refuses a value above the maximum instead of closing.
    void OkButtonClick();

    QIntValidator *valueValidator_; // its top is the maximum of each use
};
