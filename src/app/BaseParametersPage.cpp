#include "BaseParametersPage.h"

#include "Application.h"
#include "DmxPanel.h"
#include "Widgets.h"
#include "model/FixClasses.h"
#include "palettes/QtText.h"
#include "platform/DateTime.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>

namespace {

QStringList Numbers(int from, int to)
{
    QStringList items;
    for (int i = from; i <= to; ++i)
        items << QString::number(i);
    return items;
}

} // namespace

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
