#include "DmxPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int Channels = 96;
constexpr int ColumnStep = 40;
const QString LevelPrefix = "DmxChLevel";
const QString ValuePrefix = "DmxChValue";
const QString NumberPrefix = "DmxCh";

int ColumnLeft(int k, int first)
{
    return first + ColumnStep * (k - 1);
}

// The widest level text of a mode, "255" or "100 %", must fit in a value box 34 pixels wide less
// the box's own margins of 2 on each side: narrower letters first, then smaller type if that is
// not enough.
QFont ValueFont(QFont font, bool percent)
{
    const QString widest = LevelText(255, percent);
    const auto fits = [&] { return QFontMetrics(font).horizontalAdvance(widest) <= 34 - 2 * 2; };
    if (!fits())
        font.setStretch(QFont::Condensed);
    while (!fits()) {
        if (font.pointSizeF() > 6)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        else if (font.pixelSize() > 8)
            font.setPixelSize(font.pixelSize() - 1);
        else
            break;
    }
    return font;
}

} // namespace

QString LevelText(int level, bool percent)
{
    level = std::clamp(level, 0, 255);
    if (!percent)
        return QString::number(level);
    // Nearest whole percent, in integers: floor(level * 100 / 255 + 1/2). No level lies halfway.
    return QString::number((level * 200 + 255) / 510) + " %";
}

TfrmDmxPanel::TfrmDmxPanel(TDmxLevels &levels, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ScrollBox(new QScrollArea(this)), BitBtn1(new QPushButton(tr("OK"), this)), IsPercent(new QToolButton(this)),
      levels_(levels)
{
    setObjectName("frmDmxPanel");
    setWindowTitle(tr("Dmx panel"));
    setFixedSize(792, 392);

    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setGeometry(8, 8, 777, 337);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox->horizontalScrollBar()->setTracking(true);
    ScrollBox->horizontalScrollBar()->setSingleStep(ColumnStep);

    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(8, 352, 75, 25);
    BitBtn1->setDefault(true);
    IsPercent->setObjectName("IsPercent");
    IsPercent->setText("%");
    IsPercent->setToolTip(tr("Show the levels in percent"));
    IsPercent->setCheckable(true);
    IsPercent->setGeometry(752, 352, 31, 25);

    // The columns with a margin of 12 on the right as on the left, and the height of the number
    // boxes' bottom plus the same margin as above the value boxes.
    auto *columns = new QWidget(ScrollBox); // setWidget moves it into the viewport
    columns->setObjectName("ScrollBoxContents");
    columns->setFixedSize(ColumnLeft(Channels, 12) + 34 + 12, 280 + 21 + 8);

    const QFont valueFont = ValueFont(columns->font(), false);
    for (int k = 1; k <= Channels; ++k) {
        const QString number = QString::number(k);

        auto *value = new QLineEdit(columns);
        value->setObjectName(ValuePrefix + number);
        value->setGeometry(ColumnLeft(k, 12), 8, 34, 21);
        value->setReadOnly(true);
        value->setAlignment(Qt::AlignCenter);
        value->setFrame(false);
        value->setFocusPolicy(Qt::NoFocus);
        value->setFont(valueFont);

        auto *fader = new QScrollBar(Qt::Vertical, columns);
        fader->setObjectName(LevelPrefix + number);
        fader->setGeometry(ColumnLeft(k, 20), 36, 17, 241);
        fader->setRange(0, 255);
        fader->setSingleStep(1);
        fader->setPageStep(16);
        // Tab reaches the faders and the arrow keys move them.
        fader->setFocusPolicy(Qt::StrongFocus);
        fader->setValue(255 - levels_[k]);
        connect(fader, &QScrollBar::valueChanged, this, [this, fader] { DmxChLevelChange(fader); });

        auto *channel = new QLabel(number, columns);
        channel->setObjectName(NumberPrefix + number);
        channel->setGeometry(ColumnLeft(k, 12), 280, 34, 21);
        channel->setAlignment(Qt::AlignCenter);
        channel->setBackgroundRole(QPalette::Button);
        channel->setForegroundRole(QPalette::ButtonText);
        channel->setAutoFillBackground(true);
    }
    ScrollBox->setWidget(columns);

    for (int k = 1; k <= Channels; ++k)
        DmxChLevelChange(columns->findChild<QScrollBar *>(LevelPrefix + QString::number(k)));

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(IsPercent, &QToolButton::toggled, this, &TfrmDmxPanel::IsPercentClick);
}

void TfrmDmxPanel::DmxChLevelChange(QScrollBar *fader)
{
    if (fader == nullptr || !fader->objectName().startsWith(LevelPrefix))
        return;
    bool ok = false;
    const int k = fader->objectName().mid(LevelPrefix.size()).toInt(&ok);
    if (!ok || k < 1 || k > Channels)
        return;
    auto *value = ScrollBox->findChild<QLineEdit *>(ValuePrefix + QString::number(k));
    const int level = std::clamp(255 - fader->value(), 0, 255);
    if (value != nullptr)
        value->setText(LevelText(level, IsPercent->isChecked()));
    levels_[static_cast<size_t>(k)] = static_cast<uint8_t>(level);
}

void TfrmDmxPanel::IsPercentClick()
{
    // Levels in percent are wider: only they get narrower or smaller type.
    const QFont valueFont = ValueFont(ScrollBox->widget()->font(), IsPercent->isChecked());
    for (int k = 1; k <= Channels; ++k) {
        if (auto *value = ScrollBox->findChild<QLineEdit *>(ValuePrefix + QString::number(k)))
            value->setFont(valueFont);
        DmxChLevelChange(ScrollBox->findChild<QScrollBar *>(LevelPrefix + QString::number(k)));
    }
}
