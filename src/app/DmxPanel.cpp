#include "DmxPanel.h"

#include "live/LiveOutput.h"
#include "model/FixClasses.h"
#include "palettes/QtText.h"
#include "platform/UserDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int Channels = 96;
constexpr int ColumnStep = 40;
const QString LevelPrefix = "DmxChLevel";
const QString ValuePrefix = "DmxChValue";
const QString NumberPrefix = "DmxCh";
const QString AttributeLevelPrefix = "DmxAttrLevel";
const QString AttributeValuePrefix = "DmxAttrValue";
constexpr int AttributeStep = 64;
// Where the user's settings keep the universe and the fixture's start address.
const QString UniverseKey = "live/universe";
const QString AddressKey = "live/address";

QLabel *Caption(const QString &text, QWidget *parent, QRect place)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QSpinBox *NumberBox(const QString &name, int low, int high, int value, QWidget *parent, QRect place)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(std::clamp(value, low, high));
    box->setGeometry(place);
    return box;
}

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

TfrmDmxPanel::TfrmDmxPanel(TDmxLevels &levels, const TFixture *fixture, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ScrollBox(new QScrollArea(this)), BitBtn1(new QPushButton(tr("OK"), this)), IsPercent(new QToolButton(this)),
      LiveOutput(new QCheckBox(tr("Live output"), this)),
      LiveUniverse(
          NumberBox("LiveUniverse", 0, 65535, QSettings().value(UniverseKey, 1).toInt(), this, {262, 352, 70, 25})),
      ByAttribute(new QToolButton(this)), AttributeBox(new QScrollArea(this)),
      LiveAddress(NumberBox("LiveAddress", 1, 512, QSettings().value(AddressKey, 1).toInt(), this, {502, 352, 60, 25})),
      LiveStatus(new QLabel(this)), levels_(levels), fixture_(fixture)
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

    // Live output: the universe, the view of attributes and the fixture's start address.
    LiveOutput->setObjectName("LiveOutput");
    LiveOutput->setGeometry(92, 352, 100, 25);
    Caption(tr("Universe"), this, {192, 352, 64, 25});
    ByAttribute->setObjectName("ByAttribute");
    ByAttribute->setText(tr("Attributes"));
    ByAttribute->setToolTip(tr("One fader per attribute of the fixture, sent from its start address"));
    ByAttribute->setCheckable(true);
    ByAttribute->setGeometry(342, 352, 90, 25);
    Caption(tr("Address"), this, {432, 352, 64, 25});
    LiveStatus->setObjectName("LiveStatus");
    LiveStatus->setGeometry(570, 352, 176, 25);
    AttributeBox->setObjectName("AttributeBox");
    AttributeBox->setGeometry(ScrollBox->geometry());
    AttributeBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AttributeBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AttributeBox->hide();
    if (!DaemonOutputBuilt()) {
        LiveOutput->setEnabled(false);
        LiveStatus->setText(tr("No live output in this build"));
        LiveStatus->setToolTip(tr("It was built without OLA (libola-dev)."));
    } else {
        LiveStatus->setText(tr("Offline"));
    }
    connect(LiveOutput, &QCheckBox::toggled, this, &TfrmDmxPanel::LiveOutputClick);
    connect(LiveUniverse, &QSpinBox::valueChanged, this, [this](int universe) {
        QSettings().setValue(UniverseKey, universe);
        if (live_)
            LiveOutputClick(); // the new universe in place of the old
    });
    connect(LiveAddress, &QSpinBox::valueChanged, this, [this](int address) {
        QSettings().setValue(AddressKey, address);
        SendFaders();
    });
    connect(ByAttribute, &QToolButton::toggled, this, [this](bool attributes) {
        if (attributes)
            ShowAttributes();
        AttributeBox->setVisible(attributes);
        ScrollBox->setVisible(!attributes);
        SendFaders();
    });
}

TfrmDmxPanel::~TfrmDmxPanel()
{
    live_.reset();
}

void TfrmDmxPanel::showEvent(QShowEvent *event)
{
    // The fixture may have changed since the panel was last open.
    if (ByAttribute->isChecked())
        ShowAttributes();
    QDialog::showEvent(event);
}

void TfrmDmxPanel::ShowAttributes()
{
    auto *columns = new QWidget;
    columns->setObjectName("AttributeBoxContents");
    int k = 0;
    const TFixture none;
    for (const auto &entry : (fixture_ ? *fixture_ : none).Attributes.Entries()) {
        const TParameter &attribute = *entry.Parameter;
        if (attribute.IsLowPart)
            continue;
        const std::string name = attribute.Name;
        const int full = attribute.InternalPatchLow != 0 ? 65535 : 255;
        const int left = 12 + AttributeStep * k++;
        auto *value = new QLineEdit(columns);
        value->setObjectName(AttributeValuePrefix + QString::number(k));
        value->setGeometry(left, 8, AttributeStep - 6, 21);
        value->setReadOnly(true);
        value->setAlignment(Qt::AlignCenter);
        value->setFrame(false);
        value->setFocusPolicy(Qt::NoFocus);
        auto *fader = new QScrollBar(Qt::Vertical, columns);
        fader->setObjectName(AttributeLevelPrefix + QString::number(k));
        fader->setProperty("attribute", ToQt(name));
        fader->setGeometry(left + (AttributeStep - 6 - 17) / 2, 36, 17, 241);
        fader->setRange(0, full);
        fader->setPageStep(full / 16 + 1);
        fader->setFocusPolicy(Qt::StrongFocus);
        const auto show = [this, fader, value, full, name] {
            const int level = full - fader->value();
            attributeLevels_[name] = level;
            value->setText(full == 255              ? LevelText(level, IsPercent->isChecked())
                           : IsPercent->isChecked() ? QString::number((level * 200 + full) / (2 * full)) + " %"
                                                    : QString::number(level));
            SendFaders();
        };
        fader->setValue(full - std::clamp(attributeLevels_[name], 0, full));
        connect(fader, &QScrollBar::valueChanged, this, show);
        connect(IsPercent, &QToolButton::toggled, fader, show);
        show();
        auto *label = new QLabel(ToQt(name), columns);
        label->setGeometry(left, 280, AttributeStep - 6, 21);
        label->setAlignment(Qt::AlignCenter);
        label->setToolTip(ToQt(name));
    }
    columns->setFixedSize(12 + AttributeStep * k + 12, 280 + 21 + 8);
    delete AttributeBox->takeWidget();
    AttributeBox->setWidget(columns);
}

void TfrmDmxPanel::SetMaster(int level)
{
    master_ = std::clamp(level, 0, 255);
    SendFaders();
}

void TfrmDmxPanel::LiveOutputClick()
{
    live_.reset();
    if (!LiveOutput->isChecked()) {
        LiveStatus->setText(tr("Offline"));
        return;
    }
    // Failures come from the sender's thread; the panel hears of them in its own.
    live_ = std::make_unique<TLiveOutput>(
        MakeDaemonOutput(static_cast<unsigned>(LiveUniverse->value())), [this](const std::string &message) {
            QMetaObject::invokeMethod(
                this, [this, text = ToQt(message)] { LiveFailed(text); }, Qt::QueuedConnection);
        });
    LiveStatus->setText(tr("Live on universe %1").arg(LiveUniverse->value()));
    SendFaders();
}

void TfrmDmxPanel::LiveFailed(const QString &message)
{
    if (!live_ || !live_->Failed())
        return; // an output already replaced
    live_.reset();
    {
        const QSignalBlocker quiet(LiveOutput);
        LiveOutput->setChecked(false);
    }
    LiveStatus->setText(tr("Offline"));
    Dialogs().ShowMessage(TMessageKind::Warning, FromQt(message) + "\nLive output is off.");
}

void TfrmDmxPanel::SendFaders()
{
    if (!live_)
        return;
    TLevelChanges changes;
    try {
        if (ByAttribute->isChecked()) {
            for (const QScrollBar *fader : AttributeBox->findChildren<QScrollBar *>()) {
                const TParameter *attribute =
                    fixture_ ? fixture_->ParameterByName(FromQt(fader->property("attribute").toString())) : nullptr;
                if (attribute == nullptr)
                    continue;
                const int level = (fader->maximum() - fader->value()) * master_ / 255;
                const TLevelChanges levels =
                    AttributeLevels(*attribute, LiveAddress->value(), fader->maximum() == 255 ? level * 257 : level);
                changes.insert(changes.end(), levels.begin(), levels.end());
            }
        } else {
            for (int k = 1; k <= Channels; ++k)
                changes.push_back({k, static_cast<uint8_t>(levels_[static_cast<std::size_t>(k)] * master_ / 255)});
        }
        LiveStatus->setText(tr("Live on universe %1").arg(LiveUniverse->value()));
    } catch (const ELiveError &error) {
        LiveStatus->setText(ToQt(error.what()));
    }
    live_->Set(changes);
}

void TfrmDmxPanel::SendCommand(const TFixture &fixture, const TCommand &command)
{
    if (!live_)
        return;
    try {
        live_->Play(CommandFrames(fixture, command, LiveAddress->value()));
    } catch (const ELiveError &error) {
        Dialogs().ShowMessage(TMessageKind::Warning, error.what());
    }
}

void TfrmDmxPanel::SendPalette(const TFixture &fixture, const TPalette &palette)
{
    if (!live_)
        return;
    try {
        live_->Set(PaletteLevels(fixture, palette, LiveAddress->value()));
    } catch (const ELiveError &error) {
        Dialogs().ShowMessage(TMessageKind::Warning, error.what());
    }
}

namespace {

// The panel belongs to the main window, whose dialogs are its children.
TfrmDmxPanel *PanelOf(const QWidget *page)
{
    return page->window()->findChild<TfrmDmxPanel *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

void SendCommandLive(const QWidget *page, const TFixture &fixture, const TCommand &command)
{
    if (PanelOf(page) == nullptr || !PanelOf(page)->Live())
        Dialogs().ShowDmxPanel(); // where the user switches live output on
    if (TfrmDmxPanel *panel = PanelOf(page))
        panel->SendCommand(fixture, command);
}

void SendPaletteLive(const QWidget *page, const TFixture &fixture, const TPalette &palette)
{
    if (TfrmDmxPanel *panel = PanelOf(page))
        panel->SendPalette(fixture, palette);
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
    if (live_ && !ByAttribute->isChecked())
        live_->Set({{k, static_cast<uint8_t>(level * master_ / 255)}});
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
