#include "app/AddChannel.h"
#include "model/FixFuncs.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cctype>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {

// A descriptor's fields: type, control, width, path, inherit, show and Locate level.
QString Fields(int32_t d)
{
    return QString("%1 %2 %3 %4 %5 %6 %7")
        .arg(d % 16)
        .arg(d / 16 % 4)
        .arg(d / 64 % 4)
        .arg(d / 256 % 16)
        .arg(d / 4096 % 4)
        .arg(d / 16384 % 4)
        .arg(d / 65536);
}

// What the parser made of a list: one text per button, "Tab|Box|Caption|Icon|fields|Row".
QStringList Summary(const std::vector<TPredefinedTab> &tabs)
{
    QStringList lines;
    for (const TPredefinedTab &tab : tabs)
        for (const TPredefinedBox &box : tab.Boxes) {
            if (box.Buttons.empty())
                lines << QString::fromStdString(tab.Caption + "|" + box.Caption + "|(empty)");
            for (const TPredefinedButton &button : box.Buttons)
                lines << QString::fromStdString(tab.Caption + "|" + box.Caption + "|" + button.Caption + "|" +
                                                button.Icon + "|") +
                             Fields(button.Descriptor) + "|" + QString::number(button.Row);
        }
    return lines;
}

std::vector<TPredefinedTab> Parse(const std::string &text, const std::string &fileName = "AddChannel.ini")
{
    std::istringstream in(text);
    return ParsePredefinedList(in, fileName);
}

// The message of what action throws, "<no error>" when it throws nothing.
template <typename Error> QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &error) {
        return QString::fromStdString(error.what());
    }
    return "<no error>";
}

constexpr auto WriteFile = &TMainWindowHarness::WriteBytes;

// A 40 by 32 picture in one colour, with its bottom-left pixel in another.
void WritePicture(const QString &path, QColor colour = Qt::red)
{
    QImage image(40, 32, QImage::Format_RGB888);
    image.fill(colour);
    image.setPixelColor(0, 31, Qt::magenta);
    QVERIFY2(image.save(path, "BMP"), qPrintable(path));
}

template <typename Widget> Widget *Find(QWidget *parent, const QString &name)
{
    auto *widget = parent->findChild<Widget *>(name);
    if (!widget)
        qWarning("no control %s", qPrintable(name));
    return widget;
}

// Runs action once a modal dialog is up; a dialog that stays open is closed after a while, so that
// a failing test ends instead of hanging.
void WhenShown(std::function<void(TfrmAddChannel *)> action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<TfrmAddChannel *>(QApplication::activeModalWidget());
        QTimer::singleShot(5000, dialog, &QDialog::reject);
        action(dialog);
    });
}

std::string SourceData(const std::string &name)
{
    return std::string(RIGSMITH_SOURCE_DATA) + "/" + name;
}

} // namespace

class TestAddChannel : public QObject {
    Q_OBJECT

    QString Program(const QString &name) const { return root_->filePath(name); }
    void WriteList(const QString &name, const QByteArray &text) { WriteFile(Program(name), text); }
    // Back to the first page, whatever an earlier test left: leaving page 1 for page 0 is a change.
    void ResetRememberedPage()
    {
        SetProgramDir(root_->path().toStdString());
        memory_ = {};
    }
    TAddChannelMemory memory_;
    std::unique_ptr<QTemporaryDir> root_;

private slots:
    void init()
    {
        root_ = std::make_unique<QTemporaryDir>();
        QVERIFY(root_->isValid());
        QVERIFY(QDir(root_->path()).mkdir("Bitmaps"));
        WritePicture(Program("Bitmaps/a.bmp"));
        WritePicture(Program("Bitmaps/PIC.Bmp"), Qt::blue);
        ResetRememberedPage();
    }

    void cleanup()
    {
        ResetRememberedPage();
        SetProgramDir({});
        root_.reset();
    }

    // The cases of tests/data/app/predefined-lists.txt: the buttons a list gives, or its error.
    void parse_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("gives");
        const QStringList lines = QString::fromUtf8(TMainWindowHarness::Data("predefined-lists.txt")).split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (!lines[i].startsWith("@@ case "))
                continue;
            const QString name = lines[i].mid(8).section(" in ", 0, 0);
            const QString file = lines[i].contains(" in ") ? lines[i].section(" in ", -1) : "AddChannel.ini";
            QString list, gives;
            for (++i; !lines[i].startsWith("@@ gives"); ++i)
                list += lines[i] + '\n';
            for (++i; i < lines.size() && !lines[i].isEmpty(); ++i)
                gives += lines[i] + '\n';
            QTest::newRow(qPrintable(name)) << file << list << gives;
        }
    }
    void parse()
    {
        QFETCH(QString, file);
        QFETCH(QString, list);
        QFETCH(QString, gives);
        QString found;
        try {
            for (const QString &button : Summary(Parse(list.toStdString(), file.toStdString())))
                found += button + '\n';
        } catch (const EFixtureError &error) {
            found = QString::fromStdString(error.what()) + '\n';
        }
        QCOMPARE(found, gives);
    }

    void dialog_buttonsCarryPickAndPicture()
    {
        WriteList("AddChannel.ini", "[T;B]\nR&D=a.bmp,CO,LTP,16,SNAP_START,NO,YES,0\nBlue=pic.bmp\n");
        TfrmAddChannel dialog(nullptr, "Add channel", "AddChannel.ini", memory_);
        auto *first = Find<QToolButton>(&dialog, "btnPick1");
        auto *second = Find<QToolButton>(&dialog, "btnPick2");
        QVERIFY(first && second);
        QCOMPARE(first->text(), "R&&D"); // shown as typed, no mnemonic

        QSignalSpy accepted(&dialog, &QDialog::accepted);
        first->click();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.Picked);
        QCOMPARE(QString::fromStdString(dialog.Picked->Name), "R&D");
        QCOMPARE(Fields(dialog.Picked->Descriptor), "3 2 2 2 1 2 0");
    }

    void dialog_missingFiles()
    {
        const QString dir = root_->path();
        QCOMPARE(ErrorOf<EInOutError>([this] { TfrmAddChannel(nullptr, "Add channel", "AddChannel.ini", memory_); }),
                 "Cannot open file \"" + dir + "/AddChannel.ini\".");

        WriteList("AddChannel.ini", "[T;B]\nA=a.bmp\nB=Missing.bmp\n");
        QCOMPARE(ErrorOf<EInOutError>([this] { TfrmAddChannel(nullptr, "Add channel", "AddChannel.ini", memory_); }),
                 "Cannot open file \"" + dir + "/Bitmaps/Missing.bmp\".");

        WriteFile(Program("Bitmaps/broken.bmp"), "BM not a picture");
        WriteList("AddChannel.ini", "[T;B]\nA=Broken.BMP\n");
        QCOMPARE(ErrorOf<EInOutError>([this] { TfrmAddChannel(nullptr, "Add channel", "AddChannel.ini", memory_); }),
                 "Cannot read the picture \"" + dir + "/Bitmaps/broken.bmp\".");

        // Errors in the list come before any picture is looked for.
        WriteList("AddChannel.ini", "[T;B]\nA=Missing.bmp\nB\n");
        QCOMPARE(ErrorOf<EFixtureError>([this] { TfrmAddChannel(nullptr, "Add channel", "AddChannel.ini", memory_); }),
                 "Error line 3 in \"AddChannel.ini\" file. Parameter error.");

        // Nothing was shown.
        QCOMPARE(QApplication::topLevelWidgets().count(), 0);
    }

    void dialog_remembersPageForEveryUse()
    {
        WriteList("AddChannel.ini", "[One;B]\nA=a.bmp\n[Two;B]\nA=a.bmp\n[Three;B]\nA=a.bmp\n");
        WriteList("AddCommand.ini", "[Commands;B]\nA=a.bmp\n");
        {
            TfrmAddChannel dialog(nullptr, "Add channel", "AddChannel.ini", memory_);
            QCOMPARE(dialog.PageControl->currentIndex(), 0);
            dialog.PageControl->setCurrentIndex(2);
        }
        {
            TfrmAddChannel dialog(nullptr, "Add channel", "AddChannel.ini", memory_);
            QCOMPARE(dialog.PageControl->currentIndex(), 2);
        }
        {
            // A list without that page shows its first and leaves the remembered page alone.
            TfrmAddChannel dialog(nullptr, "Add command", "AddCommand.ini", memory_);
            QCOMPARE(dialog.PageControl->currentIndex(), 0);
        }
        {
            TfrmAddChannel dialog(nullptr, "Add channel", "AddChannel.ini", memory_);
            QCOMPARE(dialog.PageControl->currentIndex(), 2);
            dialog.PageControl->setCurrentIndex(1);
        }
        WhenShown([](TfrmAddChannel *dialog) {
            QCOMPARE(dialog->PageControl->currentIndex(), 1);
            dialog->Button1->click();
        });
        QVERIFY(!TfrmAddChannel::PickPredefinedName(nullptr, "Add channel", "AddChannel.ini", memory_));
    }

    void pick_buttonGivesNameAndDescriptor()
    {
        WriteList("AddChannel.ini",
                  "[T;B]\nDimmer=a.bmp,IN,HTP,8,LINEAR,YES,YES,100\nGobo=a.bmp,GB,LTP,8,SNAP_START\n");
        QString title;
        WhenShown([&title](TfrmAddChannel *dialog) {
            title = dialog->windowTitle();
            QTest::mouseClick(Find<QToolButton>(dialog, "btnPick2"), Qt::LeftButton);
        });
        const std::optional<TPredefinedPick> pick =
            TfrmAddChannel::PickPredefinedName(nullptr, "Add channel", "AddChannel.ini", memory_);
        QCOMPARE(title, "Add channel");
        QVERIFY(pick);
        QCOMPARE(QString::fromStdString(pick->Name), "Gobo");
        QCOMPARE(Fields(pick->Descriptor), "4 2 1 2 2 2 101");
        QCOMPARE(QApplication::topLevelWidgets().count(), 0); // discarded after use
    }

    void pick_exitAndCloseGiveNothing()
    {
        WriteList("AddCommand.ini", "[T;B]\nLamp on=a.bmp\n");
        WhenShown([](TfrmAddChannel *dialog) { QTest::mouseClick(dialog->Button1, Qt::LeftButton); });
        QVERIFY(!TfrmAddChannel::PickPredefinedName(nullptr, "Add command", "AddCommand.ini", memory_));
        WhenShown([](TfrmAddChannel *dialog) { dialog->close(); });
        QVERIFY(!TfrmAddChannel::PickPredefinedName(nullptr, "Add command", "AddCommand.ini", memory_));
        WhenShown([](TfrmAddChannel *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        QVERIFY(!TfrmAddChannel::PickPredefinedName(nullptr, "Add command", "AddCommand.ini", memory_));
    }

    void shippedLists_parseAndHaveTheirPictures_data()
    {
        QTest::addColumn<QString>("list");
        QTest::newRow("attributes") << "AddChannel.ini";
        QTest::newRow("commands") << "AddCommand.ini";
    }
    void shippedLists_parseAndHaveTheirPictures()
    {
        QFETCH(QString, list);
        std::ifstream in(SourceData(list.toStdString()), std::ios::binary);
        QVERIFY(in);
        const std::vector<TPredefinedTab> tabs = ParsePredefinedList(in, list.toStdString());
        QVERIFY(!tabs.empty());
        bool hasOther = false;
        for (const TPredefinedTab &tab : tabs)
            for (const TPredefinedBox &box : tab.Boxes) {
                QVERIFY2(!box.Buttons.empty(), box.Caption.c_str());
                for (const TPredefinedButton &button : box.Buttons) {
                    // The picture is there under that very name, and Qt can read it.
                    const QString picture = QString::fromStdString(SourceData("Bitmaps/" + button.Icon));
                    QVERIFY2(!QPixmap(picture).isNull(), qPrintable(picture));
                    // A name that ends in a digit would be read as a count when the name is added again.
                    QVERIFY2(!std::isdigit(static_cast<unsigned char>(button.Caption.back())), button.Caption.c_str());
                    hasOther = hasOther || button.Caption == "Other";
                }
            }
        QVERIFY(hasOther);
    }
};

QTEST_MAIN(TestAddChannel)
#include "test_addchannel.moc"
