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
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace {

// Descriptors spelled out field by field, so that a failing row shows what it meant.
int32_t Descriptor(int channelType, int controlType, int width, int path, int inherit, int show, int locate)
{
    return channelType + controlType * 16 + width * 64 + path * 256 + inherit * 4096 + show * 16384 + locate * 65536;
}

// "IN,LTP,8,LINEAR,YES,YES" and no Locate level.
const int32_t Defaults = Descriptor(1, 2, 1, 1, 2, 2, 101);

// What the parser made of a list: one text per button, "Tab|Box|Caption|Icon|Descriptor|Row".
QStringList Summary(const std::vector<TPredefinedTab> &tabs)
{
    QStringList lines;
    for (const TPredefinedTab &tab : tabs)
        for (const TPredefinedBox &box : tab.Boxes) {
            if (box.Buttons.empty())
                lines << QString::fromStdString(tab.Caption + "|" + box.Caption + "|(empty)");
            for (const TPredefinedButton &button : box.Buttons)
                lines << QString::fromStdString(tab.Caption + "|" + box.Caption + "|" + button.Caption + "|" +
                                                button.Icon + "|" + std::to_string(button.Descriptor) + "|" +
                                                std::to_string(button.Row));
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

    void parse_definitions_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("buttons");

        const auto row = [](const char *text, int32_t descriptor, int rowInBox = 0) {
            return QString(text) + "|" + QString::number(descriptor) + "|" + QString::number(rowInBox);
        };

        QTest::newRow("all seven fields")
            << "[Intensity;Dimmer]\nDimmer=dimmer.bmp,IN,HTP,8,LINEAR,YES,YES,100\n"
            << QStringList{row("Intensity|Dimmer|Dimmer|dimmer.bmp", Descriptor(1, 1, 1, 1, 2, 2, 100))};
        QTest::newRow("any letter case, blanks around")
            << "  [Colour;Wheel]  \n Colour wheel = wheel.bmp , co , ltp , 16 , snap_start , no , yes , +5 \n"
            << QStringList{row("Colour|Wheel|Colour wheel|wheel.bmp", Descriptor(3, 2, 2, 2, 1, 2, 5))};
        QTest::newRow("comma alone gives the defaults") << "[T;B]\nX=x.bmp,\n"
                                                        << QStringList{row("T|B|X|x.bmp", Defaults)};
        QTest::newRow("fields missing at the end default")
            << "[T;B]\nX=x.bmp,GB,HTP\n"
            << QStringList{row("T|B|X|x.bmp", Descriptor(4, 1, 1, 1, 2, 2, 101))};
        QTest::newRow("double comma is one separator")
            << "[T;B]\nX=x.bmp,GB,,16\n"
            << QStringList{row("T|B|X|x.bmp", Descriptor(4, 0, 1, 1, 2, 2, 101))};
        QTest::newRow("unknown codes give 0") << "[T;B]\nX=x.bmp,ZZ,LTP,24,SNAP_END,NO,MAYBE,0\n"
                                              << QStringList{row("T|B|X|x.bmp", Descriptor(0, 2, 0, 3, 1, 0, 0))};
        QTest::newRow("level not a number: no Locate")
            << "[T;B]\nX=x.bmp,IN,HTP,8,LINEAR,YES,YES,x5\nY=y.bmp,IN,HTP,8,LINEAR,YES,YES,-5\n"
            << QStringList{row("T|B|X|x.bmp", Descriptor(1, 1, 1, 1, 2, 2, 101)),
                           row("T|B|Y|y.bmp", Descriptor(1, 1, 1, 1, 2, 2, 101))};
        QTest::newRow("level limits")
            << "[T;B]\nX=x.bmp,PT,LTP,16,LINEAR,YES,YES,0\nY=y.bmp,PT,LTP,16,LINEAR,YES,YES,255\n"
            << QStringList{row("T|B|X|x.bmp", Descriptor(2, 2, 2, 1, 2, 2, 0)),
                           row("T|B|Y|y.bmp", Descriptor(2, 2, 2, 1, 2, 2, 255))};
        // An empty field cannot be written: the next one takes its place.
        QTest::newRow("empty fields close up") << "[T;B]\nX=x.bmp,PT,,,,,,0\n"
                                               << QStringList{row("T|B|X|x.bmp", Descriptor(2, 0, 1, 1, 2, 2, 101))};
        QTest::newRow("without comma keeps the last parameters")
            << "[T;B]\nA=a.bmp\nB=b.bmp,BL,HTP,16,SNAP_END,NO,NO,50\nC=c.bmp\n-\nD=d.bmp,,\nE=e.bmp\n"
            << QStringList{row("T|B|A|a.bmp", 101 * 65536), row("T|B|B|b.bmp", Descriptor(6, 1, 2, 3, 1, 1, 50)),
                           row("T|B|C|c.bmp", Descriptor(6, 1, 2, 3, 1, 1, 50)), row("T|B|D|d.bmp", Defaults, 1),
                           row("T|B|E|e.bmp", Defaults, 1)};
        QTest::newRow("caption may hold a comma") << "[T;B]\nPan, fine=p.bmp\n"
                                                  << QStringList{row("T|B|Pan, fine|p.bmp", 101 * 65536)};
        QTest::newRow("rows, comments, empty lines")
            << "; comment\n\n[T;B]\n;-\nA=a.bmp\n\n-\n--\nB=b.bmp\nC=c.bmp\n-\nD=d.bmp\n"
            << QStringList{row("T|B|A|a.bmp", 101 * 65536), row("T|B|B|b.bmp", 101 * 65536, 2),
                           row("T|B|C|c.bmp", 101 * 65536, 2), row("T|B|D|d.bmp", 101 * 65536, 3)};
        // Tabs in order of first appearance; a tab comes back by its caption as written, a box by its
        // trimmed caption within its tab, and an opened box goes on below its buttons.
        QTest::newRow("tabs and boxes reused")
            << "[One;First]\nA=a.bmp\n-\nB=b.bmp\n[Two;First]\nC=c.bmp\n[One; First ]\nD=d.bmp\n[One ;First]\n"
               "E=e.bmp\n[One;Second]\n[One;First]\n-\nF=f.bmp\n"
            << QStringList{row("One|First|A|a.bmp", 101 * 65536),
                           row("One|First|B|b.bmp", 101 * 65536, 1),
                           row("One|First|D|d.bmp", 101 * 65536, 2),
                           row("One|First|F|f.bmp", 101 * 65536, 4),
                           "One|Second|(empty)",
                           row("Two|First|C|c.bmp", 101 * 65536),
                           row("One |First|E|e.bmp", 101 * 65536)};
        QTest::newRow("nothing but comments") << "; only\n\n   \n;[T;B]\n" << QStringList{};
        QTest::newRow("CR LF line ends") << "[T;B]\r\nA=a.bmp,PR\r\n"
                                         << QStringList{row("T|B|A|a.bmp", Descriptor(5, 2, 1, 1, 2, 2, 101))};
    }
    void parse_definitions()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, buttons);
        QCOMPARE(Summary(Parse(list.toStdString())), buttons);
    }

    void parse_errors_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *list, const char *fileName, const QString &message) {
            QTest::newRow(name) << QString(list) << QString(fileName) << message;
        };
        const QString header = "Error line %1 in \"AddChannel.ini\" file:";
        const QString parameter = "Error line %1 in \"%2\" file. Parameter error.";
        const QString semicolon = "A section header needs \";\" between the tab and the box.";
        row("definition before any header, comments not counted", "; one\n;two\nDimmer=dimmer.bmp\n[T;B]\n",
            "AddChannel.ini", "Error line 1 in \"AddChannel.ini\" file.");
        row("lone bracket, command list", "\n\n[\n", "AddCommand.ini", header.arg(1) + semicolon);
        row("row before any header, list named", "-\n[T;B]\n", "AddCommand.ini",
            "Error line 1 in \"AddCommand.ini\" file.");
        row("empty caption", "[T;B]\nA=a.bmp\n; c\n\n=b.bmp\n", "AddChannel.ini",
            parameter.arg(3).arg("AddChannel.ini"));
        row("empty icon", "[T;B]\nA=  ,IN\n", "AddCommand.ini", parameter.arg(2).arg("AddCommand.ini"));
        row("no equals sign", "[T;B]\nDimmer\n", "AddChannel.ini", parameter.arg(2).arg("AddChannel.ini"));
        row("level beyond eight bits", "[T;B]\nA=a.bmp,IN,HTP,8,LINEAR,YES,YES,256\n", "AddChannel.ini",
            parameter.arg(2).arg("AddChannel.ini"));
        row("level with a tail", "[T;B]\nA=a.bmp,IN,HTP,8,LINEAR,YES,YES,5x\n", "AddChannel.ini",
            parameter.arg(2).arg("AddChannel.ini"));
        row("header without semicolon", "[T;B]\nA=a.bmp\n[Tab]\n", "AddChannel.ini", header.arg(3) + semicolon);
        row("header without bracket, command list", "[T;B]\n\n[Tab;Box\n", "AddCommand.ini",
            header.arg(2) + "A section header must end with \"]\".");
        row("bracket inside a caption", "[T;B]\nGel [Lee]=gel.bmp\n", "AddChannel.ini",
            header.arg(2) + "A section header must begin with \"[\".");
        row("header without tab", "[ ;Box]\n", "AddChannel.ini", header.arg(1) + "A section header needs a tab name.");
    }
    void parse_errors()
    {
        QFETCH(QString, list);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        QCOMPARE(ErrorOf<EFixtureError>([&] { Parse(list.toStdString(), fileName.toStdString()); }), message);
    }

    void dialog_buttonsCarryPickAndPicture()
    {
        WriteList("AddChannel.ini", "[T;B]\nR&D=a.bmp,CO,LTP,16,SNAP_START,NO,YES,0\nBlue=pic.bmp\n");
        TfrmAddChannel dialog(nullptr, "Add channel", "AddChannel.ini", memory_);
        auto *first = Find<QToolButton>(&dialog, "btnPick1");
        auto *second = Find<QToolButton>(&dialog, "btnPick2");
        QVERIFY(first && second);
        QCOMPARE(first->text(), "R&&D"); // shown as typed, no mnemonic

        // The picture whole, its bottom-left colour see-through.
        const QImage shown = second->icon().pixmap(QSize(40, 32)).toImage();
        QCOMPARE(shown.pixelColor(20, 16), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(0, 31).alpha(), 0);

        QSignalSpy accepted(&dialog, &QDialog::accepted);
        first->click();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.Picked);
        QCOMPARE(QString::fromStdString(dialog.Picked->Name), "R&D");
        QCOMPARE(dialog.Picked->Descriptor, Descriptor(3, 2, 2, 2, 1, 2, 0));
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
        QCOMPARE(pick->Descriptor, Descriptor(4, 2, 1, 2, 2, 2, 101));
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

        // Built as the user sees it: every caption fits its button in the usual font.
        SetProgramDir(RIGSMITH_SOURCE_DATA);
        TfrmAddChannel dialog(nullptr, "Add", list.toStdString(), memory_);
        const QList<QToolButton *> buttons = dialog.findChildren<QToolButton *>(QRegularExpression("^btnPick\\d+$"));
        QVERIFY(!buttons.isEmpty());
        for (const QToolButton *button : buttons) {
            QVERIFY2(button->toolTip().isEmpty(), qPrintable(button->text()));
            QVERIFY2(button->iconSize().height() <= 32, qPrintable(button->text()));
        }
    }

    void shippedLists_attributesHaveSensibleDefaults()
    {
        std::ifstream in(SourceData("AddChannel.ini"), std::ios::binary);
        QVERIFY(in);
        std::map<std::string, std::vector<TAttributeDescriptor>> byName;
        for (const TPredefinedTab &tab : ParsePredefinedList(in, "AddChannel.ini"))
            for (const TPredefinedBox &box : tab.Boxes)
                for (const TPredefinedButton &button : box.Buttons) {
                    const TAttributeDescriptor d = DecodeDescriptor(static_cast<uint32_t>(button.Descriptor));
                    // Every field names a value of its list: no typing error left a 0.
                    QVERIFY2(d.ChannelType >= 1 && d.ChannelType <= 6, button.Caption.c_str());
                    QVERIFY2(d.ControlType >= 1 && d.Width >= 8 && d.Path >= 1, button.Caption.c_str());
                    QVERIFY2(((button.Descriptor / 4096) & 3) != 0 && ((button.Descriptor / 16384) & 3) != 0,
                             button.Caption.c_str());
                    QVERIFY2(d.LocateLevel <= 101, button.Caption.c_str());
                    byName[button.Caption].push_back(d);
                }

        const auto check = [&](const std::string &name, int type, int control, std::set<int> widths, int locate) {
            QVERIFY2(byName.count(name), name.c_str());
            std::set<int> found;
            for (const TAttributeDescriptor &d : byName[name]) {
                QCOMPARE(d.ChannelType, type);
                QCOMPARE(d.ControlType, control);
                QCOMPARE(d.LocateLevel, locate);
                found.insert(d.Width);
            }
            QCOMPARE(found, widths);
        };
        check("Dimmer", 1, 1, {8, 16}, 100);
        check("Shutter", 1, 2, {8}, 100);
        check("Pan", 2, 2, {8, 16}, 50);
        check("Tilt", 2, 2, {8, 16}, 50);
        check("Colour", 3, 2, {8}, 0);
        check("Gobo", 4, 2, {8}, 0);
        check("Prism", 5, 2, {8}, 0);
        check("Other", 1, 2, {8}, 101);
        for (const char *hidden : {"Control", "Reset"}) {
            QVERIFY2(byName.count(hidden), hidden);
            QVERIFY(!byName[hidden].front().ShowOnEditor);
            QCOMPARE(byName[hidden].front().LocateLevel, 101);
        }
        QCOMPARE(byName["Colour"].front().Path, 2); // a wheel snaps
        QCOMPARE(byName["Cyan"].front().Path, 1);   // mixing glides
    }
};

QTEST_MAIN(TestAddChannel)
#include "test_addchannel.moc"
