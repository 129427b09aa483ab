// Undo and redo of changes to the fixture; both layouts share the history.

#include "app/MainFormClass.h"
#include "support/MainWindowHarness.h"

#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QtTest>

namespace {

const QByteArray SpotText = TMainWindowHarness::Data("undo.fxr");
const QStringList SpotRows{"1|Dimmer", "2|Dimmer( low )", "3|Color"};

} // namespace

class TestUndo : public TWindowTest {
    Q_OBJECT

    QStringList Rows() const { return TMainWindowHarness::Rows(C().AttributesChannelList); }
    QStringList CommandNames() const
    {
        QStringList names;
        for (const TCommand &command : Fixture().Commands)
            names << QString::fromStdString(command.Name);
        return names;
    }
    void Open(bool compact, QWidget *TMainFormControls::*page)
    {
        QVERIFY(window_->Open(compact, SpotText, page));
        QVERIFY(Fixture().Saved);
        QVERIFY(!Controller().CanUndo());
    }

private slots:
    void init() { Begin(); }
    void cleanup() { Finish(true); }

    void typingIntoOneFieldIsOneStep()
    {
        Open(false, &TMainFormControls::AttributesPage);
        QTest::keyClicks(C().FixtureName, " 575");
        QTest::keyClicks(C().Brand, " Ltd");
        QTest::keyClicks(C().FixtureName, "!");
        const TFixture &f = Fixture();
        QCOMPARE(f.Name, std::string("Spot 575!"));

        const std::vector<std::pair<std::string, std::string>> back{
            {"Spot 575", "Acme Ltd"}, {"Spot 575", "Acme"}, {"Spot", "Acme"}};
        for (const auto &[name, brand] : back) {
            Controller().Undo();
            QCOMPARE(f.Name, name);
            QCOMPARE(f.Brand, brand);
            QCOMPARE(C().FixtureName->text().toStdString(), name);
            QCOMPARE(C().Brand->text().toStdString(), brand);
            QVERIFY(!f.Saved);
        }
        QVERIFY(!Controller().CanUndo());
        Controller().Undo(); // nothing left: no change
        QCOMPARE(f.Name, std::string("Spot"));

        Controller().Redo();
        Controller().Redo();
        QCOMPARE(f.Brand, std::string("Acme Ltd"));
        // A new change ends what can be redone.
        QTest::keyClicks(C().Brand, "?");
        QVERIFY(!Controller().CanRedo());
        Controller().Undo();
        QCOMPARE(f.Brand, std::string("Acme Ltd"));
        QCOMPARE(f.Name, std::string("Spot 575"));
    }

    void attributesCommandsAndPalettes()
    {
        Open(false, &TMainFormControls::AttributesPage);
        QCOMPARE(Rows(), SpotRows);

        C().AttributesChannelList->setCurrentCell(2, 0);
        dialogs_->Answers.push_back(TAnswer::Yes);
        Controller().Attributes().DeleteChannel();
        QCOMPARE(Rows(), (QStringList{"1|Dimmer", "2|Dimmer( low )"}));

        C().PageControl->setCurrentWidget(C().CommandPage);
        Controller().Commands().CommandListSelectCell(0);
        dialogs_->Answers.push_back(TAnswer::Yes);
        Controller().Commands().DeleteCommand();
        QCOMPARE(CommandNames(), QStringList{"Reset"});

        // Back on the page where the user is, with every grid showing the fixture as it was.
        Controller().Undo();
        QCOMPARE(CommandNames(), (QStringList{"Lamp on", "Reset"}));
        QCOMPARE(C().PageControl->currentWidget(), C().CommandPage);
        QCOMPARE(C().CommandList->rowCount(), 2);
        Controller().Undo();
        QCOMPARE(Rows(), SpotRows);
        QCOMPARE(Fixture().Commands[1].Lines.size(), std::size_t{1}); // the step on Color too

        Controller().Redo();
        QCOMPARE(Rows(), (QStringList{"1|Dimmer", "2|Dimmer( low )"}));
        QCOMPARE(Fixture().Commands[1].Lines.size(), std::size_t{0});
        QVERIFY(Controller().CanRedo());
    }

    void newAndLoadStartAFreshHistory()
    {
        Open(true, &TMainFormControls::AttributesPage);
        QTest::keyClicks(C().FixtureName, "x");
        QVERIFY(Controller().CanUndo());

        dialogs_->Answers.push_back(TAnswer::No); // do not save
        QTest::mouseClick(C().btnNewFixture, Qt::LeftButton);
        QVERIFY(!Controller().CanUndo());
        Controller().Undo();
        QCOMPARE(Fixture().Name, std::string());
        window_->Forget();
    }

    void theFileIsNotPartOfTheHistory()
    {
        Open(false, &TMainFormControls::AttributesPage);
        QTest::keyClicks(C().Brand, "!");
        const std::string saved = window_->Path("saved.fxr").toStdString();
        dialogs_->Files.push_back(saved);
        QTest::mouseClick(C().btnSaveAsFixture, Qt::LeftButton);
        QVERIFY(Fixture().Saved);

        Controller().Undo();
        QCOMPARE(Fixture().Brand, std::string("Acme"));
        QCOMPARE(Fixture().FileName, std::string("saved.fxr"));
        QCOMPARE(C().FileName->text(), "saved.fxr");
        QVERIFY(!Fixture().Saved); // it differs from what was saved
        window_->Forget();
    }

    void shortcuts()
    {
        Open(false, &TMainFormControls::AttributesPage);
        QStringList keys;
        for (const QShortcut *shortcut : window_->Form().findChildren<QShortcut *>())
            keys << shortcut->key().toString();
        for (const char *key : {"Ctrl+Z", "Ctrl+Shift+Z", "Ctrl+Y"})
            QVERIFY2(keys.contains(key), qPrintable(keys.join(", ")));
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
