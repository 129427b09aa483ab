#include "GetData.h"

#include "palettes/QtText.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace {

// Digits only, and an empty field: for a palette value an empty field means "no value". A number
// above the top can be typed, so that no key is swallowed unseen, but is not acceptable: the
// dialog says so and OK refuses it.
class TDigitsValidator : public QIntValidator {
public:
    TDigitsValidator(int top, QObject *parent) : QIntValidator(0, top, parent) {}

    State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return Acceptable;
        if (!std::all_of(input.cbegin(), input.cend(), [](QChar c) { return c >= '0' && c <= '9'; }))
            return Invalid;
        bool ok = false;
        const int value = input.toInt(&ok);
        return ok && value <= top() ? Acceptable : Intermediate;
    }
};

QLineEdit *Box(const QString &name, QWidget *parent, bool enabled)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEnabled(enabled);
    return box;
}

// The number in a field that its validator accepts; an empty field reads as nothing.
std::optional<int> Number(const QLineEdit *box)
{
    if (box->text().isEmpty())
        return std::nullopt;
    return box->text().toInt();
}

bool Acceptable(const QLineEdit *box)
{
    QString text = box->text();
    int pos = 0;
    return box->validator()->validate(text, pos) == QValidator::Acceptable;
}

} // namespace

TGetDataForm::TGetDataForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Attrib(Box("Attrib", this, false)), MinValue(Box("MinValue", this, false)),
      MaxValue(Box("MaxValue", this, false)), DmxValueLabel(new QLabel(tr("Dmx value:"), this)),
      DmxValue(Box("DmxValue", this, true)), DelayTimeLabel(new QLabel(tr("Delay time:"), this)),
      DelayTime(Box("DelayTime", this, true)), Edit1(Box("Edit1", this, false)), Edit2(Box("Edit2", this, false)),
      OkButton(new QPushButton(tr("OK"), this)), CancelButton(new QPushButton(tr("Cancel"), this)),
      RangeHint(new QLabel(this)), valueValidator_(new TDigitsValidator(255, DmxValue))
{
    setObjectName("GetDataForm");
    setWindowTitle(tr("Get value"));

    DmxValueLabel->setObjectName("DmxValueLabel");
    DmxValueLabel->setBuddy(DmxValue);
    DmxValue->setMaxLength(3);
    DmxValue->setValidator(valueValidator_);
    DelayTimeLabel->setObjectName("DelayTimeLabel");
    DelayTimeLabel->setBuddy(DelayTime);
    DelayTime->setMaxLength(6);
    DelayTime->setValidator(new TDigitsValidator(999999, DelayTime));
    DelayTime->setText("0");
    for (QLineEdit *box : {Edit1, Edit2}) {
        box->setText("0");
        box->setFocusPolicy(Qt::NoFocus);
    }
    for (QLineEdit *box : {MinValue, MaxValue, DmxValue, DelayTime, Edit1, Edit2}) {
        box->setAlignment(Qt::AlignRight);
        box->setFixedWidth(72);
    }
    Attrib->setMinimumWidth(150);
    // The name and the range cannot be edited here but must stay readable, not greyed out.
    for (QLineEdit *box : {Attrib, MinValue, MaxValue}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
        box->setPalette(palette);
    }
    OkButton->setObjectName("OkButton");
    OkButton->setDefault(true);
    CancelButton->setObjectName("CancelButton");

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto *attribLabel = new QLabel(tr("Attribute name:"), this);
    attribLabel->setBuddy(Attrib);
    grid->addWidget(attribLabel, 0, 0);
    grid->addWidget(Attrib, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Dmx range:"), this), 1, 0);
    grid->addWidget(MinValue, 1, 1);
    grid->addWidget(MaxValue, 1, 2);
    grid->addWidget(DmxValueLabel, 2, 0);
    grid->addWidget(DmxValue, 2, 1);
    grid->addWidget(Edit1, 2, 2);
    grid->addWidget(DelayTimeLabel, 3, 0);
    grid->addWidget(DelayTime, 3, 1);
    grid->addWidget(Edit2, 3, 2);
    RangeHint->setObjectName("RangeHint");
    RangeHint->setStyleSheet("color: #b00000");
    grid->addWidget(RangeHint, 4, 0, 1, 3);
    for (QLineEdit *box : {DmxValue, DelayTime})
        connect(box, &QLineEdit::textChanged, this, &TGetDataForm::ShowRangeHint);
    // The longest value label must fit without the dialog changing its width between uses.
    grid->setColumnMinimumWidth(0, fontMetrics().horizontalAdvance(tr("DMX Value (high part only):")) + 4);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    // The user cannot resize it; it only grows or shrinks with the time row.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Escape and the window frame reach reject() through QDialog itself.
    connect(OkButton, &QPushButton::clicked, this, &TGetDataForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->activate();
}

std::optional<TValueAnswer> TGetDataForm::Execute(const TValueRequest &request)
{
    Fill(request);
    if (exec() != Accepted)
        return std::nullopt;
    return Answer();
}

void TGetDataForm::Fill(const TValueRequest &request)
{
    Attrib->setText(ToQt(request.Attribute));
    MinValue->setText(QString::number(request.Min));
    MaxValue->setText(QString::number(request.Max));
    DmxValueLabel->setText(ToQt(request.ValueLabel));
    // The minimum is shown but not enforced: 0 is always accepted.
    valueValidator_->setTop(std::clamp(request.Max, 0, 999));
    DmxValue->setText(request.Value ? QString::number(*request.Value) : QString());
    for (QWidget *widget : std::initializer_list<QWidget *>{DelayTimeLabel, DelayTime, Edit2})
        widget->setVisible(request.WithTime);
    DelayTime->setText(QString::number(request.Time));
    ShowRangeHint();
    // Sized now rather than while being shown, when the window already exists.
    layout()->activate();
}

void TGetDataForm::ShowRangeHint()
{
    QString hint;
    if (!Acceptable(DmxValue))
        hint = tr("The value can be %1 at most.").arg(valueValidator_->top());
    else if (DelayTime->isVisibleTo(this) && !Acceptable(DelayTime))
        hint = tr("The time can be 999999 at most.");
    RangeHint->setText(hint);
    RangeHint->setVisible(!hint.isEmpty());
}

TValueAnswer TGetDataForm::Answer() const
{
    TValueAnswer answer;
    answer.Value = Number(DmxValue);
    answer.Time = Number(DelayTime).value_or(0);
    return answer;
}

void TGetDataForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Typing replaces the value at once.
    DmxValue->setFocus();
    DmxValue->selectAll();
}

void TGetDataForm::OkButtonClick()
{
    // A value above the maximum, typed or given, keeps the dialog open; the hint says why.
    for (QLineEdit *box : {DmxValue, DelayTime}) {
        if (box->isVisibleTo(this) && !Acceptable(box)) {
            QApplication::beep();
            box->setFocus();
            box->selectAll();
            return;
        }
    }
    accept();
}
