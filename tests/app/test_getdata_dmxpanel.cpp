// The value entry dialog of command steps and palette values, and the Dmx panel's test faders.

#include "app/DmxPanel.h"
#include "app/GetData.h"

#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cstdlib>
#include <functional>
#include <optional>

Q_DECLARE_METATYPE(TValueRequest)

namespace {

const QString Cancelled = "<cancelled>";
const std::string StepLabel = "DMX Value:";
const std::string HighPartLabel = "DMX Value (high part only):";

// Answers as text, so that a failure prints them.
QString Show(const TValueAnswer &answer)
{
    return (answer.Value ? QString::number(*answer.Value) : QString("none")) + " @ " + QString::number(answer.Time);
}
QString Show(const std::optional<TValueAnswer> &answer)
{
    return answer ? Show(*answer) : Cancelled;
}

TValueRequest CommandStep()
{
    return TValueRequest{"Pan", 0, 255, StepLabel, 128, true, 500};
}
TValueRequest PaletteValue()
{
    return TValueRequest{"Gobo", 10, 200, HighPartLabel, 64, false, 0};
}
TValueRequest NewPaletteValue(int max = 255)
{
    return TValueRequest{"Cyan", 0, max, StepLabel, std::nullopt, false, 0};
}

bool Acceptable(const QLineEdit *box, QString text)
{
    int pos = 0;
    return box->validator()->validate(text, pos) == QValidator::Acceptable;
}

QLineEdit *ValueBox(const TfrmDmxPanel &panel, int k)
{
    return panel.ScrollBox->findChild<QLineEdit *>("DmxChValue" + QString::number(k));
}
QScrollBar *Fader(const TfrmDmxPanel &panel, int k)
{
    return panel.ScrollBox->findChild<QScrollBar *>("DmxChLevel" + QString::number(k));
}

QStringList ValueTexts(const TfrmDmxPanel &panel)
{
    QStringList texts;
    for (int k = 1; k <= 96; ++k)
        texts << ValueBox(panel, k)->text();
    return texts;
}
QList<int> Positions(const TfrmDmxPanel &panel)
{
    QList<int> positions;
    for (int k = 1; k <= 96; ++k)
        positions << Fader(panel, k)->value();
    return positions;
}

// 96 texts: "0" (or "0 %") everywhere but at the given columns.
QStringList Texts(std::initializer_list<std::pair<int, QString>> changed, bool percent = false)
{
    QStringList texts(96, percent ? "0 %" : "0");
    for (const auto &[k, text] : changed)
        texts[k - 1] = text;
    return texts;
}

} // namespace

class TestGetDataDmxPanel : public QObject {
    Q_OBJECT

    TDmxLevels levels_{};

private slots:
    void init() { levels_.fill(0); }

    void getDataFillAnswer_data()
    {
        QTest::addColumn<TValueRequest>("request");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("timeShown");
        QTest::addColumn<QString>("answer");
        const auto row = [](const char *name, const TValueRequest &request, const char *range, const char *value,
                            bool timeShown, const char *answer) {
            QTest::newRow(name) << request << QString(range) << QString(value) << timeShown << QString(answer);
        };
        row("command step", CommandStep(), "0..255", "128", true, "128 @ 500");
        row("control step", TValueRequest{"Control", 0, 255, StepLabel, 0, true, 0}, "0..255", "0", true, "0 @ 0");
        row("existing palette value", PaletteValue(), "10..200", "64", false, "64 @ 0");
        row("new palette value", NewPaletteValue(), "0..255", "", false, "none @ 0");
    }
    void getDataFillAnswer()
    {
        QFETCH(TValueRequest, request);
        QFETCH(QString, range);
        QFETCH(QString, value);
        QFETCH(bool, timeShown);
        QFETCH(QString, answer);

        TGetDataForm form;
        form.Fill(request);
        QCOMPARE(form.Attrib->text(), QString::fromStdString(request.Attribute));
        QCOMPARE(form.MinValue->text() + ".." + form.MaxValue->text(), range);
        QCOMPARE(form.DmxValueLabel->text(), QString::fromStdString(request.ValueLabel));
        QCOMPARE(form.DmxValue->text(), value);
        QCOMPARE(form.DelayTimeLabel->isVisibleTo(&form), timeShown);
        QCOMPARE(form.DelayTime->isVisibleTo(&form), timeShown);
        QCOMPARE(form.Edit2->isVisibleTo(&form), timeShown);
        QVERIFY(form.Edit1->isVisibleTo(&form));
        QCOMPARE(Show(form.Answer()), answer);
    }

    void getDataReusedForAnotherUse()
    {
        // The dialog is made once for the run: each use must undo what the one before set.
        TGetDataForm form;
        form.Fill(CommandStep());
        form.Fill(PaletteValue());
        QCOMPARE(form.DmxValueLabel->text(), QString::fromStdString(HighPartLabel));
        QVERIFY(!form.DelayTime->isVisibleTo(&form));
        QCOMPARE(Show(form.Answer()), "64 @ 0");
        form.Fill(NewPaletteValue(100));
        QCOMPARE(form.DmxValue->text(), "");
        QCOMPARE(form.DmxValueLabel->text(), QString::fromStdString(StepLabel));
        QVERIFY(!Acceptable(form.DmxValue, "101"));
        form.Fill(CommandStep());
        QVERIFY(form.DelayTime->isVisibleTo(&form));
        QVERIFY(form.Edit2->isVisibleTo(&form));
        QCOMPARE(Show(form.Answer()), "128 @ 500");
        QVERIFY(Acceptable(form.DmxValue, "255"));
    }

    void getDataValidator_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("at the maximum") << 200 << "200" << true;
        QTest::newRow("above the maximum") << 200 << "201" << false;
        QTest::newRow("zero below the shown minimum") << 200 << "0" << true;
        QTest::newRow("empty") << 200 << "" << true;
        QTest::newRow("negative") << 255 << "-1" << false;
        QTest::newRow("letters") << 255 << "12a" << false;
    }
    void getDataValidator()
    {
        QFETCH(int, max);
        QFETCH(QString, text);
        QFETCH(bool, acceptable);
        TGetDataForm form;
        TValueRequest request = CommandStep();
        request.Max = max;
        form.Fill(request);
        QCOMPARE(Acceptable(form.DmxValue, text), acceptable);
    }

    // Every digit typed shows; a value above the maximum is named, not cut.
    void getDataTypingAboveMaxIsShownAndNamed()
    {
        TGetDataForm form;
        form.Fill(NewPaletteValue(200));
        QVERIFY(form.RangeHint->isHidden());
        QTest::keyClicks(form.DmxValue, "201");
        QCOMPARE(form.DmxValue->text(), "201");
        QVERIFY(!form.RangeHint->isHidden());
        QCOMPARE(form.RangeHint->text(), "The value can be 200 at most.");
        QTest::keyClick(form.DmxValue, Qt::Key_Backspace);
        QVERIFY(form.RangeHint->isHidden());
        form.DmxValue->clear();
        QTest::keyClicks(form.DmxValue, "1x9-99");
        QCOMPARE(form.DmxValue->text(), "199");
        form.Fill(CommandStep());
        form.DelayTime->clear();
        QTest::keyClicks(form.DelayTime, "12345678");
        QCOMPARE(form.DelayTime->text(), "123456");
    }

    void getDataOkRefusesAboveMax()
    {
        // A stored value can lie above a maximum lowered since; OK keeps the dialog open until fixed.
        TGetDataForm form;
        TValueRequest request = PaletteValue();
        request.Value = 250;
        form.Fill(request);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Shown, the value is selected to be typed over.
        QCOMPARE(form.focusWidget(), form.DmxValue);
        QCOMPARE(form.DmxValue->selectedText(), "250");
        form.DelayTime->setFocus(); // hidden here, so it is not checked
        form.OkButton->click();
        QVERIFY(form.isVisible());
        QCOMPARE(form.focusWidget(), form.DmxValue);
        QCOMPARE(form.DmxValue->selectedText(), "250");
        form.DmxValue->setText("200");
        form.OkButton->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(Show(form.Answer()), "200 @ 0");
    }

    void getDataExecute_data()
    {
        using User = std::function<void(TGetDataForm &)>;
        QTest::addColumn<TValueRequest>("request");
        QTest::addColumn<User>("user");
        QTest::addColumn<QString>("result");
        QTest::newRow("typed over the selection, OK") << CommandStep() << User([](TGetDataForm &form) {
            QTest::keyClicks(form.DmxValue, "77");
            form.DelayTime->selectAll();
            QTest::keyClicks(form.DelayTime, "1500");
            QTest::mouseClick(form.OkButton, Qt::LeftButton);
        }) << "77 @ 1500";
        QTest::newRow("Enter is OK") << CommandStep() << User([](TGetDataForm &form) {
            QTest::keyClicks(form.DmxValue, "9");
            QTest::keyClick(form.DmxValue, Qt::Key_Return);
        }) << "9 @ 500";
        QTest::newRow("cancel") << CommandStep() << User([](TGetDataForm &form) {
            QTest::keyClicks(form.DmxValue, "77");
            QTest::mouseClick(form.CancelButton, Qt::LeftButton);
        }) << Cancelled;
        QTest::newRow("escape") << CommandStep()
                                << User([](TGetDataForm &form) { QTest::keyClick(form.DmxValue, Qt::Key_Escape); })
                                << Cancelled;
        QTest::newRow("palette value emptied") << PaletteValue() << User([](TGetDataForm &form) {
            QTest::keyClick(form.DmxValue, Qt::Key_Delete);
            QTest::mouseClick(form.OkButton, Qt::LeftButton);
        }) << "none @ 0";
        QTest::newRow("new palette value typed") << NewPaletteValue() << User([](TGetDataForm &form) {
            QTest::keyClicks(form.DmxValue, "255");
            QTest::mouseClick(form.OkButton, Qt::LeftButton);
        }) << "255 @ 0";
    }
    void getDataExecute()
    {
        QFETCH(TValueRequest, request);
        QFETCH(std::function<void(TGetDataForm &)>, user);
        QFETCH(QString, result);
        TGetDataForm form;
        // Runs once the dialog's event loop is running; a dialog left open is cancelled so that a
        // failing test ends instead of hanging.
        QTimer::singleShot(0, &form, [&] { user(form); });
        QTimer::singleShot(5000, &form, &QDialog::reject);
        QCOMPARE(Show(form.Execute(request)), result);
    }

    void panelFaderToTop()
    {
        TfrmDmxPanel panel(levels_);
        QCOMPARE(ValueTexts(panel), Texts({}));
        QCOMPARE(Positions(panel), QList<int>(96, 255));
        Fader(panel, 37)->setValue(0);
        QCOMPARE(ValueTexts(panel), Texts({{37, "255"}}));
        QList<int> levels(96, 0);
        levels[36] = 255;
        QCOMPARE(QList<int>(levels_.begin() + 1, levels_.end()), levels);
        QCOMPARE(Positions(panel).count(255), 95);
        // Half way up the level reads from the bottom.
        Fader(panel, 37)->setValue(127);
        QCOMPARE(ValueBox(panel, 37)->text(), "128");
        QCOMPARE(int(levels_[37]), 128);
    }

    void panelKeyboardMovesFader()
    {
        TfrmDmxPanel panel(levels_);
        QScrollBar *fader = Fader(panel, 5);
        QVERIFY(fader->focusPolicy() & Qt::TabFocus);
        QTest::keyClick(fader, Qt::Key_Up); // up the screen is up in level
        QCOMPARE(ValueBox(panel, 5)->text(), "1");
        QTest::keyClick(fader, Qt::Key_Home);
        QCOMPARE(ValueBox(panel, 5)->text(), "255");
        QCOMPARE(int(levels_[5]), 255);
    }

    void panelPercentToggle()
    {
        TfrmDmxPanel panel(levels_);
        Fader(panel, 1)->setValue(252);  // level 3
        Fader(panel, 37)->setValue(0);   // level 255
        Fader(panel, 96)->setValue(127); // level 128
        QCOMPARE(ValueTexts(panel), Texts({{1, "3"}, {37, "255"}, {96, "128"}}));
        QTest::mouseClick(panel.IsPercent, Qt::LeftButton);
        QVERIFY(panel.IsPercent->isChecked());
        QCOMPARE(ValueTexts(panel), Texts({{1, "1 %"}, {37, "100 %"}, {96, "50 %"}}, true));
        // In percent, narrower or smaller type makes "100 %" fit inside the box's margins.
        QVERIFY(QFontMetrics(ValueBox(panel, 37)->font()).horizontalAdvance("100 %") <= 34 - 4);
        // A fader moved while the toggle is down shows percent too.
        Fader(panel, 2)->setValue(0);
        QCOMPARE(ValueBox(panel, 2)->text(), "100 %");
        QTest::mouseClick(panel.IsPercent, Qt::LeftButton);
        QVERIFY(!panel.IsPercent->isChecked());
        QCOMPARE(ValueTexts(panel), Texts({{1, "3"}, {2, "255"}, {37, "255"}, {96, "128"}}));
        // The form changes only the text: the levels stay.
        QCOMPARE(int(levels_[1]), 3);
        QCOMPARE(int(levels_[96]), 128);
    }

    void levelText()
    {
        // The level itself, or the nearest whole percentage p: |p * 255 - v * 100| < 255 / 2.
        for (int v = 0; v <= 255; ++v) {
            QCOMPARE(LevelText(v, false), QString::number(v));
            QString text = LevelText(v, true);
            QVERIFY2(text.endsWith(" %"), qPrintable(text));
            text.chop(2);
            bool ok = false;
            const int p = text.toInt(&ok);
            QVERIFY2(ok, qPrintable(text));
            QVERIFY2(2 * std::abs(p * 255 - v * 100) < 255, qPrintable(QString("%1 gives %2").arg(v).arg(p)));
        }
    }

    void panelStartsFromLevels()
    {
        {
            TfrmDmxPanel first(levels_);
            Fader(first, 5)->setValue(55);
            Fader(first, 96)->setValue(0);
        }
        TfrmDmxPanel second(levels_);
        QCOMPARE(Fader(second, 5)->value(), 55);
        QCOMPARE(Fader(second, 96)->value(), 0);
        QCOMPARE(ValueTexts(second), Texts({{5, "200"}, {96, "255"}}));
        levels_.fill(0);
        levels_[1] = 1;
        levels_[50] = 254;
        TfrmDmxPanel third(levels_);
        QCOMPARE(Fader(third, 1)->value(), 254);
        QCOMPARE(Fader(third, 50)->value(), 1);
        QCOMPARE(ValueTexts(third), Texts({{1, "1"}, {50, "254"}}));
    }

    void panelKeepsStateWhenHidden()
    {
        QWidget main;
        auto *panel = new TfrmDmxPanel(levels_, &main);
        QPointer<TfrmDmxPanel> alive(panel);
        main.show();
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        Fader(*panel, 10)->setValue(100);
        QTest::mouseClick(panel->IsPercent, Qt::LeftButton);
        const QStringList texts = ValueTexts(*panel);
        const QList<int> positions = Positions(*panel);
        QCOMPARE(texts[9], "61 %");

        QTest::mouseClick(panel->BitBtn1, Qt::LeftButton);
        QVERIFY(!panel->isVisible());
        panel->show();
        QVERIFY(panel->IsPercent->isChecked());
        QCOMPARE(ValueTexts(*panel), texts);
        QCOMPARE(Positions(*panel), positions);
        // The close box only hides it as well.
        panel->close();
        QVERIFY(alive);
        panel->show();
        QCOMPARE(ValueTexts(*panel), texts);
        QCOMPARE(int(levels_[10]), 155);
    }
};

QTEST_MAIN(TestGetDataDmxPanel)
#include "test_getdata_dmxpanel.moc"
