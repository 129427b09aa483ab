#include "BaseParametersPage.h"

#include "Application.h"
#include "DmxPanel.h"
#include "PageBuilder.h"
#include "Widgets.h"
#include "model/FixClasses.h"
#include "palettes/QtText.h"
#include "platform/DateTime.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace build;

namespace {

QSpinBox *Angle(const char *name, QWidget *parent, int maximum)
{
    auto *spin = Make<QSpinBox>(name, parent);
    spin->setRange(0, maximum);
    spin->setMaximumWidth(70);
    return spin;
}

} // namespace

void TBaseParametersPage::Build(QWidget *parent, TBaseParametersControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *grid = new QGridLayout(parent);
    grid->setHorizontalSpacing(10);
    c.FixtureName = Make<QLineEdit>("FixtureName", parent);
    // Room for a name such as "Demo Spot 700 B" without scrolling.
    c.FixtureName->setMinimumWidth(c.FixtureName->fontMetrics().horizontalAdvance("Demo Spot 700 B") + 16);
    c.Brand = Make<QLineEdit>("Brand", parent);
    c.MacType = List("MacType", parent, {"Moving mirror", "Moving head", "Dimmer", "Other"});
    c.DmxChannel = List("DmxChannel", parent);
    c.DmxSplitChannel = List("DmxSplitChannel", parent);
    c.DmxSplitChannel->hide();
    c.Author = Make<QLineEdit>("Author", parent);
    c.Revision = Make<QLineEdit>("Revision", parent);
    c.LastUpdate = Make<QDateEdit>("LastUpdate", parent);
    c.LastUpdate->setDisplayFormat("dd/MM/yyyy");
    c.LastUpdate->setEnabled(false);
    c.Comment = Make<QPlainTextEdit>("Comment", parent);
    c.PanAngleMin = Angle("PanAngleMin", parent, 720);
    c.PanAngleMax = Angle("PanAngleMax", parent, 720);
    c.TiltAngleMin = Angle("TiltAngleMin", parent, 360);
    c.TiltAngleMax = Angle("TiltAngleMax", parent, 360);

    auto *left = Form(nullptr);
    left->addRow("Fixture", c.FixtureName);
    left->addRow("Brand", c.Brand);
    left->addRow("Type", c.MacType);
    left->addRow("Dmx channels", c.DmxChannel);
    left->addRow("Dmx split channels", c.DmxSplitChannel);
    HideRow(left, c.DmxSplitChannel);
    auto *middle = Form(nullptr);
    middle->addRow("Author", c.Author);
    middle->addRow("Revision", c.Revision);
    middle->addRow("Date", c.LastUpdate);
    // The angles are edited only in the compact layout.
    middle->addRow("Pan angle min", c.PanAngleMin);
    middle->addRow("Pan angle max", c.PanAngleMax);
    middle->addRow("Tilt angle min", c.TiltAngleMin);
    middle->addRow("Tilt angle max", c.TiltAngleMax);
    if (!compact)
        for (QWidget *angle : {c.PanAngleMin, c.PanAngleMax, c.TiltAngleMin, c.TiltAngleMax})
            HideRow(middle, angle);
    auto *comment = new QVBoxLayout;
    comment->addWidget(new QLabel("Comment", parent));
    comment->addWidget(c.Comment);
    if (compact) {
        grid->addLayout(left, 0, 0);
        grid->addLayout(middle, 0, 1);
        grid->addLayout(comment, 1, 0, 1, 2);
    } else {
        grid->addLayout(left, 0, 0);
        grid->addLayout(middle, 0, 1);
        grid->addLayout(comment, 0, 2);
        grid->setColumnStretch(0, 3);
        grid->setColumnStretch(1, 3);
        grid->setColumnStretch(2, 4);
    }
}

void TBaseParametersPage::BuildDmxTest(QWidget *parent, TBaseParametersControls &c)
{
    auto *grid = new QGridLayout(parent);
    c.DmxMaster = Make<QScrollBar>("DmxMaster", parent, Qt::Vertical);
    c.DmxMaster->setRange(0, 255);
    c.DmxMaster->setMinimumHeight(150);
    c.DmxValue = Make<QLineEdit>("DmxValue", parent);
    c.DmxPercent = Make<QLineEdit>("DmxPercent", parent);
    for (QLineEdit *box : {c.DmxValue, c.DmxPercent}) {
        box->setReadOnly(true);
        box->setMaximumWidth(60);
    }
    c.btnDmxPanel = Button("btnDmxPanel", "Dmx panel", parent);
    grid->addWidget(c.DmxMaster, 0, 0, 3, 1);
    grid->addWidget(c.DmxValue, 0, 1);
    grid->addWidget(c.DmxPercent, 1, 1);
    grid->addWidget(c.btnDmxPanel, 2, 1);
}

TBaseParametersPage::TBaseParametersPage(const TBaseParametersControls &controls, const TPageLink &link,
                                         QObject *parent)
    : TPage(controls.BaseParametersPage, link, parent), c_(controls)
{
    c_.DmxSplitChannel->addItems(Numbers(0, 255));
    c_.DmxChannel->addItems(Numbers(1, 64));
    if (c_.DmxMaster) {
        c_.DmxMaster->setValue(255);
        DmxMasterChange();
    }
}

void TBaseParametersPage::Edit(const std::function<void()> &apply, const void *typing)
{
    if (IsFilling())
        return;
    apply();
    Modified(typing);
}

void TBaseParametersPage::Wire()
{
    const auto text = [this](QLineEdit *edit, std::string TFixture::*field) {
        connect(edit, &QLineEdit::textChanged, this, Guarded([this, edit, field](const QString &value) {
                    Edit([&] { Fixture().*field = FromQt(value); }, edit);
                }));
    };
    text(c_.FixtureName, &TFixture::Name);
    text(c_.Brand, &TFixture::Brand);
    text(c_.Author, &TFixture::Author);
    text(c_.Revision, &TFixture::Revision);
    connect(c_.Comment, &QPlainTextEdit::textChanged, this, Guarded([this] {
                Edit([this] { Fixture().Comments = FromQt(c_.Comment->toPlainText().replace('\n', "\r\n")); },
                     c_.Comment);
            }));
    const auto angle = [this](QSpinBox *spin, int32_t TFixture::*field) {
        connect(spin, &QSpinBox::valueChanged, this,
                Guarded([this, spin, field](int value) { Edit([&] { Fixture().*field = value; }, spin); }));
    };
    angle(c_.PanAngleMin, &TFixture::PanAngleMin);
    angle(c_.PanAngleMax, &TFixture::PanAngleMax);
    angle(c_.TiltAngleMin, &TFixture::TiltAngleMin);
    angle(c_.TiltAngleMax, &TFixture::TiltAngleMax);
    // Lists report only what the user picks.
    connect(c_.MacType, &QComboBox::activated, this,
            Guarded([this](int index) { Edit([&] { Fixture().FixtureType = static_cast<uint8_t>(index + 1); }); }));
    connect(c_.DmxChannel, &QComboBox::activated, this,
            Guarded([this](int index) { Edit([&] { Fixture().DmxChannels = index + 1; }); }));
    connect(c_.DmxSplitChannel, &QComboBox::activated, this,
            Guarded([this](int index) { Edit([&] { Fixture().DmxSplitChannels = index; }); }));
    if (c_.DmxMaster) {
        connect(c_.DmxMaster, &QScrollBar::valueChanged, this, Guarded([this] { DmxMasterChange(); }));
        connect(c_.btnDmxPanel, &QPushButton::clicked, this, Guarded([] { Dialogs().ShowDmxPanel(); }));
    }
}

void TBaseParametersPage::Show()
{
    const TFixture &f = Fixture();
    {
        const auto filling = Filling();
        c_.FixtureName->setText(ToQt(f.Name));
        c_.Brand->setText(ToQt(f.Brand));
        c_.MacType->setCurrentIndex(f.FixtureType - 1);
        c_.DmxChannel->setCurrentIndex(f.DmxChannels > 0 ? f.DmxChannels - 1 : 0);
        c_.DmxSplitChannel->setCurrentIndex(f.DmxSplitChannels);
        c_.PanAngleMin->setValue(f.PanAngleMin);
        c_.PanAngleMax->setValue(f.PanAngleMax);
        c_.TiltAngleMin->setValue(f.TiltAngleMin);
        c_.TiltAngleMax->setValue(f.TiltAngleMax);
        c_.Author->setText(ToQt(f.Author));
        c_.Revision->setText(ToQt(f.Revision));
        c_.Comment->setPlainText(ToQt(f.Comments).replace("\r\n", "\n"));
    }
    ShowDate();
    ShowFormatFields();
}

void TBaseParametersPage::ShowDate()
{
    const TCalendarDate date = DecodeDate(Fixture().Date);
    c_.LastUpdate->setDate(QDate(date.Year, date.Month, date.Day));
}

void TBaseParametersPage::ShowChannelCount()
{
    const auto filling = Filling();
    c_.DmxChannel->setCurrentIndex(Fixture().DmxChannels - 1);
}

void TBaseParametersPage::ShowFormatFields()
{
    // A format 1.0 file has no revision and no comments. Their fields are unavailable then, unless
    // they hold text (the format was changed to 1.0), which the user can still remove; a save
    // names it until then.
    const TFixture &f = Fixture();
    const bool format10 = f.FormatVersion == 1;
    const QString why = format10 ? "A format 1.0 file has no revision and no comments." : QString();
    c_.Revision->setEnabled(!format10 || !f.Revision.empty());
    c_.Comment->setEnabled(!format10 || !f.Comments.empty());
    c_.Revision->setToolTip(why);
    c_.Comment->setToolTip(why);
}

void TBaseParametersPage::DmxMasterChange()
{
    const int level = 255 - c_.DmxMaster->value();
    c_.DmxValue->setText(QString::number(level));
    c_.DmxPercent->setText(LevelText(level, true));
}
