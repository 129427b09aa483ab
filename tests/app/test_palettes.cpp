// The Palettes page in both layouts: palette, icon and control buttons, the detail grid, the
// palette icons and the colour catalogs. Each test writes its own small PaletteIcons tree, lee.txt
// and FxrColor.ini, and drives the page through its widgets with scripted dialogs.

#include "model/FixColors.h"
#include "palettes/PaletteIcons.h"
#include "palettes/PaletteWidgets.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>

namespace {

enum : uint8_t { IN = 1, PT = 2, CO = 3, GB = 4, PR = 5, BL = 6, SP = 7 };
enum { GoboSheet, ColorSheet, IntensitySheet, PrismSheet, BladeSheet, ControlSheet };

// Format 2: six attributes, Pan 16 bits wide on patches 6 and 7.
const QByteArray AttributesText = TMainWindowHarness::Data("palettes.fxr");

QByteArray WithPalettes(const QByteArray &palettes)
{
    return AttributesText + "PALETTES\r\n" + palettes + "ENDPALETTES\r\n";
}

constexpr auto WriteBytes = &TMainWindowHarness::WriteBytes;
constexpr auto ReadBytes = &TMainWindowHarness::ReadBytes;
using Names = std::vector<std::pair<std::string, std::string>>; // title and proposal of name dialogs

void WriteBitmap(const QString &path, const QColor &colour)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY2(image.save(path, "BMP"), qPrintable(path));
}

QStringList Captions(const TScrollBox *box)
{
    QStringList captions;
    for (const QAbstractButton *button : box->Buttons())
        captions << static_cast<const TGlyphButton *>(button)->Caption();
    return captions;
}

TGlyphButton *ButtonCaptioned(const TScrollBox *box, const QString &caption)
{
    for (QAbstractButton *button : box->Buttons())
        if (auto *glyph = static_cast<TGlyphButton *>(button); glyph->Caption() == caption)
            return glyph;
    return nullptr;
}

QStringList Column(const QTableWidget *grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid->rowCount(); ++row)
        texts << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
    return texts;
}

QRgb Pixel(const QPixmap &pixmap, int x, int y)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

TRgb Colour(const TPalette *palette)
{
    return {palette->Red, palette->Green, palette->Blue};
}

constexpr auto Click = &TMainWindowHarness::Click;

} // namespace

class TestPalettes : public TWindowTest {
    Q_OBJECT
    QString startDir_;

    void Start(bool compact) { window_->Start(compact); }
    void Load(const QByteArray &text)
    {
        WriteBytes(FixturePath(), text);
        window_->Load(FixturePath());
        QVERIFY(Fixture().Saved);
    }
    void EnterPalettes() { C().PageControl->setCurrentWidget(C().PalettePage); }
    // Starts the layout, loads the text and enters the Palettes page.
    void Open(bool compact, const QByteArray &text)
    {
        Start(compact);
        Load(text);
        EnterPalettes();
    }
    void Sheet(int index) { C().PalettePageControl->setCurrentIndex(index); }
    // Clicks the Lee button of that index and answers the name dialog.
    void ClickColour(int index, const std::optional<std::string> &answer)
    {
        Sheet(ColorSheet);
        dialogs_->Inputs.push_back(answer);
        Click(LeeButton(index));
    }
    void ClickIcon(TScrollBox *box, const QString &caption, const std::optional<std::string> &answer)
    {
        TGlyphButton *icon = ButtonCaptioned(box, caption);
        QVERIFY2(icon, qPrintable(caption));
        dialogs_->Inputs.push_back(answer);
        Click(icon);
    }
    // Enter on the detail grid's row, answered with value.
    void EnterValue(int row, std::optional<int> value)
    {
        C().PaletteChannelList->setCurrentCell(row, 0);
        dialogs_->Values.push_back(TValueAnswer{value, 0});
        QTest::keyClick(C().PaletteChannelList, Qt::Key_Return);
    }
    TColourButton *LeeButton(int index) const
    {
        return window_->Form().findChild<TColourButton *>(QString("btnsbLee%1").arg(index));
    }
    qint64 GlyphOf(const QString &relative) const
    {
        return Controller().Palettes().PaletteIcons().Glyph(Program(relative).toStdString()).cacheKey();
    }
    TPalette *Current() { return Controller().Palettes().CurrentPalette(); }
    TPalette *Find(const std::string &name, uint8_t type) { return Fixture().FindPalette(name, type); }
    QString Program(const QString &relative) const { return window_->Path("program/" + relative); }
    QString FixturePath() const { return window_->Path("fixtures/test.fxr"); }
    QStringList Values() const { return Column(C().PaletteChannelList, 2); }
    void Forget() { window_->Forget(); }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationDisplayName("Rigsmith");
        qputenv("SOURCE_DATE_EPOCH", "1700049600"); // the date a save writes
        startDir_ = QDir::currentPath();
    }
    void init()
    {
        Begin("program", {"fixtures", "work"});
        // lee.txt comes from the working directory first: an empty one leaves the program's.
        QVERIFY(QDir::setCurrent(window_->Path("work")));
        WriteBitmap(Program("PaletteIcons/Generic/x_OTHER.bmp"), QColor(90, 90, 90));
        WriteBitmap(Program("PaletteIcons/Generic/Star.bmp"), QColor(250, 220, 0));
        WriteBitmap(Program("PaletteIcons/Intensity/Full.bmp"), QColor(255, 240, 150));
        WriteBitmap(Program("PaletteIcons/Prism/Prism 3.bmp"), QColor(200, 220, 255));
        WriteBitmap(Program("PaletteIcons/Blade/Square.bmp"), QColor(70, 70, 80));
        QVERIFY(QDir().mkpath(Program("PaletteIcons/Colors")));
        WriteBytes(Program("lee.txt"), "1\tTest Colour\t10\t20\t30\n2\tDeep Blue\t0\t0\t200\n");
    }
    void cleanup()
    {
        // Every message a test expects is checked and forgotten there; anything else is a fault.
        Finish(true);
        QDir::setCurrent(startDir_);
    }

    void page_enterWithoutPalettes()
    {
        Open(true, AttributesText);
        QCOMPARE(C().PalettePageControl->currentIndex(), int(ControlSheet));
        for (const TPaletteBox *box : {C().GoboPaletteBox, C().ColorPaletteBox, C().IntensityPaletteBox,
                                       C().PrismPaletteBox, C().BladePaletteBox})
            QVERIFY(box->Buttons().empty());
        const TFixture &f = Fixture();
        QCOMPARE(f.Palettes.Count(), std::size_t{1});
        QVERIFY(Current());
        QCOMPARE(Current(), Find("Standby", SP));
        QVERIFY(Current()->Lines.Empty());
        QVERIFY(C().Full->isChecked());
        QCOMPARE(Column(C().PaletteChannelList, 1),
                 QStringList({"Dimmer", "Cyan", "Magenta", "Yellow", "Gobo", "Pan"}));
        QCOMPARE(Values(), QStringList(6, QString()));
        // Looking at the control palettes is no change of the fixture.
        QVERIFY(f.Saved);
    }

    void page_buttonsOneColumnPerBoxInCreationOrder()
    {
        Open(false, WithPalettes("PALETTETYPE = GB\r\nPALETTENAME = \"Open\"\r\nPALETTEBITMAP = Star\r\n"
                                 "PALETTETYPE = PT\r\nPALETTENAME = \"Home\"\r\n\"Pan\" = 32768\r\n"
                                 "PALETTETYPE = GB\r\nPALETTENAME = \"Closed\"\r\n"
                                 "PALETTETYPE = IN\r\nPALETTENAME = \"Full\"\r\nPALETTEBITMAP = Full\r\n"
                                 "PALETTETYPE = SP\r\nPALETTENAME = \"Strobe\"\r\n"));
        const TPaletteBox *gobo = C().GoboPaletteBox;
        QCOMPARE(Captions(gobo), QStringList({"Open", "Home", "Closed"}));
        QList<int> tags;
        for (QAbstractButton *button : gobo->Buttons())
            tags << static_cast<TGlyphButton *>(button)->Tag;
        QCOMPARE(tags, QList<int>({GB, PT, GB}));
        QCOMPARE(gobo->FirstDown(), gobo->Buttons().front());
        QVERIFY(!gobo->Buttons()[1]->isChecked() && !gobo->Buttons()[2]->isChecked());
        QCOMPARE(Captions(C().IntensityPaletteBox), QStringList({"Full"}));
        // SP palettes have their control buttons, not palette buttons.
        for (const TPaletteBox *box : {C().ColorPaletteBox, C().PrismPaletteBox, C().BladePaletteBox})
            QVERIFY(box->Buttons().empty());
        // Entering again rebuilds rather than adds.
        C().PageControl->setCurrentWidget(C().AttributesPage);
        EnterPalettes();
        QCOMPARE(Captions(gobo), QStringList({"Open", "Home", "Closed"}));
    }

    void create_sameNameOfTwoTypesAndRefusedDuplicate()
    {
        Open(false, AttributesText);
        Sheet(GoboSheet);
        ClickIcon(C().GoboScrollBox, "Star", "Red");
        ClickColour(1, "Red");
        TPalette *colour = Find("Red", CO);
        QVERIFY(Find("Red", GB) && colour);
        QCOMPARE(Captions(C().GoboPaletteBox), QStringList({"Red"}));
        QCOMPARE(Captions(C().ColorPaletteBox), QStringList({"Red"}));
        QCOMPARE(Current(), colour);
        QCOMPARE(dialogs_->NameDialogs, (Names{{"Get palette name", "Star"}, {"Get palette name", "Deep Blue"}}));

        ClickColour(0, "red");
        QCOMPARE(window_->Messages(), QStringList{"Error: Palette \"red\" is already exist."});
        QCOMPARE(Fixture().Palettes.Count(), std::size_t{3}); // with Standby
        QCOMPARE(Captions(C().ColorPaletteBox), QStringList({"Red"}));
        QCOMPARE(Current(), colour);
        Forget();
    }

    void create_fromIconKeepsIconNameInBitmap()
    {
        Open(true, AttributesText);
        Sheet(IntensitySheet);
        ClickIcon(C().IntensityScrollBox, "Full", "Bright");
        TPalette *palette = Find("Bright", IN);
        QVERIFY(palette);
        QCOMPARE(palette->Bitmap, "Full");
        QCOMPARE(palette->Description, "");
        QCOMPARE(Current(), palette);
        TGlyphButton *button = ButtonCaptioned(C().IntensityPaletteBox, "Bright");
        QVERIFY(button && button->isChecked());
        QCOMPARE(button->Glyph().cacheKey(), GlyphOf("PaletteIcons/Intensity/Full.bmp"));
        // Cancel creates nothing.
        ClickIcon(C().IntensityScrollBox, "Full", std::nullopt);
        QCOMPARE(C().IntensityPaletteBox->Buttons().size(), 1);
    }

    void create_otherIcon_data()
    {
        QTest::addColumn<std::optional<std::string>>("answer");
        QTest::addColumn<bool>("spotPicture");
        QTest::newRow("cancelled") << std::optional<std::string>() << false;
        QTest::newRow("empty answer") << std::optional<std::string>("") << false;
        QTest::newRow("Spot, default icon") << std::optional<std::string>("Spot") << false;
        QTest::newRow("Spot, its own picture") << std::optional<std::string>("Spot") << true;
    }
    void create_otherIcon()
    {
        QFETCH(std::optional<std::string>, answer);
        QFETCH(bool, spotPicture);

        Open(false, AttributesText);
        Sheet(GoboSheet);
        // A picture that appears after start-up still counts.
        if (spotPicture)
            WriteBitmap(Program("PaletteIcons/Generic/SPOT.bmp"), Qt::red);
        ClickIcon(C().GoboScrollBox, "x_OTHER", answer);
        QVERIFY(dialogs_->NameDialogs.empty()); // the input box, not the name dialog
        const bool created = answer && !answer->empty();
        QCOMPARE(Fixture().Saved, !created);
        if (!created) {
            QCOMPARE(Fixture().Palettes.Count(), std::size_t{1});
            QVERIFY(C().GoboPaletteBox->Buttons().empty());
            return;
        }
        TPalette *spot = Find("Spot", GB);
        QVERIFY(spot);
        QCOMPARE(spot->Bitmap, "Spot");
        const QString picture = spotPicture ? "PaletteIcons/Generic/SPOT.bmp" : "PaletteIcons/Generic/x_OTHER.bmp";
        QCOMPARE(QString::fromStdString(Controller().Palettes().FindPaletteIcon(*spot)), Program(picture));
        QCOMPARE(ButtonCaptioned(C().GoboPaletteBox, "Spot")->Glyph().cacheKey(), GlyphOf(picture));
    }

    void select_hiLiteCreatedOnFirstClick()
    {
        Open(false, AttributesText);
        QVERIFY(!Find("HiLite", SP));
        Click(C().StandBy);
        TPalette *hiLite = Find("HiLite", SP);
        QVERIFY(hiLite);
        QCOMPARE(Current(), hiLite);
        QVERIFY(C().StandBy->isChecked() && !C().Full->isChecked());
        Click(C().Locate);
        QCOMPARE(Current(), Find("Locate", SP));
        QCOMPARE(Fixture().Palettes.Count(), std::size_t{3});
        QCOMPARE(QList<bool>({C().Full->isChecked(), C().StandBy->isChecked(), C().Locate->isChecked()}),
                 QList<bool>({false, false, true}));
        // All may be up.
        Click(C().Locate);
        QVERIFY(!C().Locate->isChecked());
        QVERIFY(Fixture().Saved);
    }

    void select_downButtonClickedAgainRaisesIt()
    {
        Open(false,
             WithPalettes(
                 "PALETTETYPE = PR\r\nPALETTENAME = \"Three\"\r\n\"Dimmer\" = 10\r\nPALETTENAME = \"Four\"\r\n"));
        Sheet(PrismSheet);
        QAbstractButton *three = C().PrismPaletteBox->Buttons()[0];
        QAbstractButton *four = C().PrismPaletteBox->Buttons()[1];
        QVERIFY(three->isChecked());
        QCOMPARE(Current(), Find("Three", PR));
        Click(four);
        QVERIFY(!three->isChecked() && four->isChecked());
        Click(three);
        Click(three);
        QVERIFY(!three->isChecked() && !four->isChecked());
        QCOMPARE(Current(), Find("Three", PR));
        QCOMPARE(Values()[0], "10");
    }

    void select_byKeyWithAmpersandShownAsTyped()
    {
        Open(false, WithPalettes("PALETTETYPE = GB\r\nPALETTENAME = \"Dots & rings\"\r\n\"Gobo\" = 1\r\n"
                                 "PALETTENAME = \"Red2\"\r\n\"Gobo\" = 2\r\n"
                                 "PALETTETYPE = CO\r\nPALETTENAME = \"Red\"\r\n\"Cyan\" = 3\r\n"));
        Sheet(GoboSheet);
        TGlyphButton *dots = ButtonCaptioned(C().GoboPaletteBox, "Dots & rings");
        QVERIFY(dots);
        QCOMPARE(dots->toolTip(), "Dots & rings");
        Click(ButtonCaptioned(C().GoboPaletteBox, "Red2"));
        QCOMPARE(Current(), Find("Red2", GB));
        Click(dots);
        QCOMPARE(Current(), Find("Dots & rings", GB));
        QCOMPARE(Values()[4], "1");
    }

    void sheet_changeSelectsDownButtonOrNone()
    {
        Open(false,
             WithPalettes("PALETTETYPE = BL\r\nPALETTENAME = \"Square\"\r\nPALETTEBITMAP = Square\r\n"
                          "\"Dimmer\" = 200\r\nPALETTETYPE = SP\r\nPALETTENAME = \"HiLite\"\r\n\"Dimmer\" = 255\r\n"));
        QCOMPARE(Values()[0], "");
        Sheet(BladeSheet);
        QCOMPARE(Current(), Find("Square", BL));
        QCOMPARE(C().PaletteChannelList->currentRow(), 0);
        QCOMPARE(Values()[0], "200");
        // No palette down on the Prism sub-page: no palette is current, and no value shows.
        Sheet(PrismSheet);
        QCOMPARE(Current(), nullptr);
        QCOMPARE(Values()[0], "");
        emit C().PaletteChannelList->cellDoubleClicked(0, 1);
        QVERIFY(dialogs_->ValueRequests.empty());
        // Back on Control the control button that is down counts again.
        Sheet(ControlSheet);
        Click(C().StandBy);
        Sheet(ColorSheet);
        QCOMPARE(C().ColorGroup->title(), "Lee");
        QVERIFY(C().sbLee->isVisible());
        Sheet(ControlSheet);
        QCOMPARE(Current(), Find("HiLite", SP));
        QCOMPARE(Values()[0], "255");
    }

    void delete_ptPaletteFromGoboSheet()
    {
        Open(true, WithPalettes("PALETTETYPE = PT\r\nPALETTENAME = \"Home\"\r\n\"Pan\" = 32768\r\n"
                                "PALETTETYPE = GB\r\nPALETTENAME = \"Open\"\r\n"));
        Sheet(GoboSheet);
        QCOMPARE(Captions(C().GoboPaletteBox), QStringList({"Home", "Open"}));
        QCOMPARE(Current(), Find("Home", PT));
        QCOMPARE(Values()[5], "127");
        Click(C().DeleteGoboPalette);
        QVERIFY(!Find("Home", PT));
        QCOMPARE(Captions(C().GoboPaletteBox), QStringList({"Open"}));
        QCOMPARE(C().PalettePageControl->currentIndex(), int(ControlSheet));
        QCOMPARE(Current(), Find("Standby", SP));
        QVERIFY(!Fixture().Saved);
        // Nothing is deleted from the Control sub-page.
        Click(C().DeleteGoboPalette);
        QVERIFY(Find("Standby", SP));

        // Undo brings the palette and its button back.
        Controller().Undo();
        QVERIFY(Find("Home", PT));
        QCOMPARE(C().PageControl->currentWidget(), C().PalettePage);
        Sheet(GoboSheet);
        QCOMPARE(Captions(C().GoboPaletteBox), QStringList({"Home", "Open"}));
        QCOMPARE(Values()[5], "127");
    }

    // "<" with no palette selected on its sub-page deletes nothing, not even the palette current
    // from another sub-page: the user cannot see which one that is.
    void delete_withNothingDownDeletesNothing()
    {
        Open(false, WithPalettes("PALETTETYPE = GB\r\nPALETTENAME = \"Open\"\r\n"
                                 "PALETTETYPE = PR\r\nPALETTENAME = \"Three\"\r\n"));
        Sheet(GoboSheet);
        QCOMPARE(Current(), Find("Open", GB));
        Sheet(PrismSheet);
        Click(C().PrismPaletteBox->Buttons().front()); // raises it: nothing down
        Sheet(BladeSheet);
        QCOMPARE(Current(), nullptr);
        Click(C().DeleteBladePalette);
        QVERIFY(Find("Three", PR) && Find("Open", GB));
        QCOMPARE(C().PalettePageControl->currentIndex(), int(BladeSheet));
        QVERIFY(Fixture().Saved);
        // Selected on its own sub-page, it goes.
        Sheet(PrismSheet);
        Click(C().PrismPaletteBox->Buttons().front());
        Click(C().DeletePrismPalette);
        QVERIFY(!Find("Three", PR));
        QCOMPARE(C().PalettePageControl->currentIndex(), int(ControlSheet));
        QVERIFY(C().PrismPaletteBox->Buttons().empty());
    }

    void icons_goboDirectoryOrder()
    {
        for (const char *dir : {"Zeta", "alpha", "Old.icons", "generic", "COLORS"})
            QVERIFY(QDir().mkpath(Program(QString("PaletteIcons/") + dir)));
        WriteBytes(Program("PaletteIcons/README"), "no extension, so a directory name\n");
        WriteBytes(Program("PaletteIcons/notes.txt"), "an extension: skipped\n");
        const std::vector<std::string> order{"Generic", "alpha", "README", "Zeta"};
        TPaletteIcons icons(window_->Path("program").toStdString());
        icons.ScanGoboDirectories();
        QCOMPARE(icons.GoboDirectories(), order);
        // The scan looks in the program's directory, not in the working one.
        QVERIFY(QDir().mkpath("PaletteIcons/Elsewhere"));
        Start(false);
        QCOMPARE(Controller().Palettes().PaletteIcons().GoboDirectories(), order);
    }

    void icons_findPaletteIcon_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("bitmap");
        QTest::addColumn<QString>("expected"); // below the program's directory; empty: no file
        const auto row = [](const char *name, int type, const char *bitmap, const char *expected) {
            QTest::newRow(name) << type << QString(bitmap) << QString(expected);
        };
        const char *other = "PaletteIcons/Generic/x_OTHER.bmp";
        row("IN own", IN, "Full", "PaletteIcons/Intensity/Full.bmp");
        row("IN missing", IN, "Half", other);
        row("PR own", PR, "Prism 3", "PaletteIcons/Prism/Prism 3.bmp");
        row("PR in another directory", PR, "Star", other);
        row("BL own", BL, "Square", "PaletteIcons/Blade/Square.bmp");
        row("GB generic", GB, "Star", "PaletteIcons/Generic/Star.bmp");
        row("GB in another letter case", GB, "STAR", "PaletteIcons/Generic/Star.bmp");
        row("GB missing", GB, "Nowhere", other);
        row("PT missing", PT, "", other);
        row("SP generic", SP, "Star", "PaletteIcons/Generic/Star.bmp");
        row("SP in a maker directory", SP, "Leaf", "PaletteIcons/Zeta/Leaf.bmp");
        row("GB with directory and extension", GB, "Maker\\Leaf", "PaletteIcons/Generic/Maker/Leaf.bmp");
        row("CO without picture", CO, "Blue", "");
        row("other type", 9, "Star", "");
    }
    void icons_findPaletteIcon()
    {
        QFETCH(int, type);
        QFETCH(QString, bitmap);
        QFETCH(QString, expected);
        // Generic comes first, a maker directory after it; README, a file, holds nothing.
        WriteBytes(Program("PaletteIcons/README"), "no extension, so a directory name\n");
        WriteBitmap(Program("PaletteIcons/Generic/Maker/Leaf.bmp"), Qt::green);
        WriteBitmap(Program("PaletteIcons/alpha/Star.bmp"), Qt::blue);
        WriteBitmap(Program("PaletteIcons/Zeta/Leaf.bmp"), Qt::green);
        TPaletteIcons icons(window_->Path("program").toStdString());
        icons.ScanGoboDirectories();
        TPalette palette("P", static_cast<uint8_t>(type));
        palette.Bitmap = bitmap.toStdString();
        QCOMPARE(QString::fromStdString(icons.FindPaletteIcon(palette, TColourCatalogs())),
                 expected.isEmpty() ? QString() : Program(expected));
    }

    void icons_colourPaletteWithAndWithoutPicture()
    {
        WriteBitmap(Program("PaletteIcons/Colors/Blue.bmp"), QColor(0, 0, 255));
        Open(false, WithPalettes("PALETTETYPE = CO\r\n"
                                 "PALETTENAME = \"Blue\"\r\nPALETTECOLOR = 1, 2, 3\r\nPALETTEBITMAP = Blue\r\n"
                                 "PALETTENAME = \"Green\"\r\nPALETTECOLOR = 0, 200, 0\r\nPALETTEBITMAP = Green\r\n"
                                 "PALETTENAME = \"Deep Blue\"\r\n"));
        const TPaletteBox *box = C().ColorPaletteBox;
        QCOMPARE(ButtonCaptioned(box, "Blue")->Glyph().cacheKey(), GlyphOf("PaletteIcons/Colors/Blue.bmp"));
        const QPixmap green = ButtonCaptioned(box, "Green")->Glyph();
        QCOMPARE(green.size(), QSize(64, 64));
        QCOMPARE(Pixel(green, 32, 32), qRgb(0, 200, 0));
        QCOMPARE(qAlpha(Pixel(green, 0, 63)), 0);
        // Without a colour a colour palette takes the colour of the gel of its name.
        QCOMPARE(Colour(Find("Deep Blue", CO)), (TRgb{0, 0, 200}));
        QCOMPARE(Pixel(ButtonCaptioned(box, "Deep Blue")->Glyph(), 32, 32), qRgb(0, 0, 200));
        // A colour from the file is kept.
        QCOMPARE(Colour(Find("Blue", CO)), (TRgb{1, 2, 3}));
    }

    void icons_unreadableFileNamedOnceAfterSetup()
    {
        WriteBytes(Program("PaletteIcons/Generic/Broken.bmp"), "this is not a bitmap");
        WriteBytes(Program("PaletteIcons/Prism/Empty.bmp"), "");
        Start(false);
        QCOMPARE(window_->Messages(), QStringList{"Warning: These icon files cannot be read:\n" +
                                                  Program("PaletteIcons/Generic/Broken.bmp") + "\n" +
                                                  Program("PaletteIcons/Prism/Empty.bmp")});
        // Everything else is there.
        QCOMPARE(Captions(C().GoboScrollBox), QStringList({"Star", "x_OTHER"}));
        QCOMPARE(Captions(C().PrismScrollBox), QStringList({"Prism 3"}));
        QCOMPARE(Captions(C().BladeScrollBox), QStringList({"Square"}));
        QCOMPARE(C().sbLee->Buttons().size(), 200);
        QCOMPARE(C().sbCust->Buttons().size(), 200);
        Forget();

        // A palette whose picture cannot be read shows a swatch.
        Load(WithPalettes("PALETTETYPE = GB\r\nPALETTENAME = \"B\"\r\nPALETTEBITMAP = Broken\r\n"));
        EnterPalettes();
        QCOMPARE(ButtonCaptioned(C().GoboPaletteBox, "B")->Glyph().size(), QSize(64, 64));
    }

    void lee_buttonOfTestColourAndItsPalette_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<TRgb>("colour");
        QTest::newRow("name kept") << true << std::string("Test Colour") << TRgb{10, 20, 30};
        QTest::newRow("renamed to no catalog entry") << false << std::string("My colour") << TRgb{0, 0, 0};
        QTest::newRow("renamed to another gel") << true << std::string("Deep Blue") << TRgb{0, 0, 200};
    }
    void lee_buttonOfTestColourAndItsPalette()
    {
        QFETCH(bool, compact);
        QFETCH(std::string, name);
        QFETCH(TRgb, colour);

        Start(compact);
        QCOMPARE(LeeButton(0)->toolTip(), "Test Colour");
        Load(AttributesText);
        EnterPalettes();
        ClickColour(0, name);
        QCOMPARE(dialogs_->NameDialogs, (Names{{"Get palette name", "Test Colour"}}));
        TPalette *palette = Find(name, CO);
        QVERIFY(palette);
        QCOMPARE(Colour(palette), colour);
        QCOMPARE(palette->Bitmap, name);
        QCOMPARE(Current(), palette);
        TGlyphButton *paletteButton = ButtonCaptioned(C().ColorPaletteBox, QString::fromStdString(name));
        QVERIFY(paletteButton && paletteButton->isChecked());
        QCOMPARE(Pixel(paletteButton->Glyph(), 32, 32), qRgb(colour.Red, colour.Green, colour.Blue));
    }

    void lee_customColourWinsOverLee()
    {
        WriteBytes(Program("FxrColor.ini"), "; custom colours\r\n"
                                            "[btnsbCust0]\r\nNo=C1\r\nDesc=Test Colour\r\nR=1\r\nG=2\r\nB=3\r\n"
                                            "[btnsbCust7]\r\nDesc=Bad\r\nR=red\r\nG=300\r\n");
        Start(false);
        const TColourCatalogs &catalogs = Controller().Palettes().ColourCatalogs();
        QCOMPARE(catalogs.ColourOfName("Test Colour"), RgbColor(1, 2, 3));
        QCOMPARE(catalogs.ColourOfName("Bad"), RgbColor(0, 255, 0));
        QCOMPARE(catalogs.ColourOfName("test colour"), 0); // letter case counts
        QCOMPARE(catalogs.ColourOfName(""), 0);

        Load(AttributesText);
        EnterPalettes();
        ClickColour(0, "Test Colour");
        QCOMPARE(Colour(Find("Test Colour", CO)), (TRgb{1, 2, 3}));
    }

    void lee_fileProblems_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("descriptions"); // of the first buttons
        QTest::addColumn<QString>("message");          // with %1 for the file's path

        QTest::newRow("blank lines skipped") << QByteArray("\r\n1\tOne\t1\t1\t1\r\n   \r\n\t\r\n2\tTwo\t2\t2\t2\r\n")
                                             << QStringList{"One", "Two", ""} << "";
        QTest::newRow("missing fields at the end")
            << QByteArray("7\tSeven\r\n8\r\n9\tNine\t1\t2\t3\textra\r\n") << QStringList{"Seven", "", "Nine"} << "";
        QTest::newRow("number not an integer")
            << QByteArray("1\tOne\t1\t1\t1\r\n\r\nx\tBad\t1\t1\t1\r\n4\tFour\t1\t1\t1\r\n")
            << QStringList{"One", "", ""} << "Error line 3 in \"%1\" file: 'x' is not a valid integer value.";
        QTest::newRow("colour not an integer") << QByteArray("1\tOne\t1\tgreen\t1\r\n") << QStringList{"", ""}
                                               << "Error line 1 in \"%1\" file: 'green' is not a valid integer value.";
        QByteArray many;
        for (int i = 1; i <= 205; ++i)
            many += QByteArray::number(i) + "\tGel " + QByteArray::number(i) + "\t1\t2\t3\n";
        many += "not a number\tafter the table is full\n";
        QTest::newRow("lines after the 200th ignored") << many << QStringList{"Gel 1", "Gel 2"} << "";
    }
    void lee_fileProblems()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, descriptions);
        QFETCH(QString, message);
        WriteBytes(Program("lee.txt"), text);
        Start(false);
        for (int i = 0; i < descriptions.size(); ++i)
            QCOMPARE(LeeButton(i)->toolTip(), descriptions[i]);
        QCOMPARE(C().sbLee->Buttons().size(), 200);
        if (text.size() > 1000)
            QCOMPARE(LeeButton(199)->toolTip(), "Gel 200");
        QCOMPARE(dialogs_->Texts(), message.isEmpty() ? std::vector<std::string>()
                                                      : std::vector{message.arg(Program("lee.txt")).toStdString()});
        Forget();
    }

    void lee_workingDirectoryBeforeProgramDirectory()
    {
        WriteBytes("lee.txt", "1\tFrom the working directory\t1\t2\t3\n");
        Start(false);
        QCOMPARE(LeeButton(0)->toolTip(), "From the working directory");
        QVERIFY(QFile::remove("lee.txt"));
        Start(false);
        QCOMPARE(LeeButton(0)->toolTip(), "Test Colour");
        QVERIFY(QFile::remove(Program("lee.txt")));
        Start(false);
        QCOMPARE(dialogs_->Texts(),
                 std::vector<std::string>{"Cannot open file \"" + Program("lee.txt").toStdString() + "\"."});
        QCOMPARE(C().sbLee->Buttons().size(), 200);
        Forget();
    }

    void cmy_colorFromCMY_data()
    {
        QTest::addColumn<QStringList>("values"); // channel=stored value
        QTest::addColumn<TRgb>("before");
        QTest::addColumn<TRgb>("after");
        QTest::addColumn<bool>("savedAfter");

        const TRgb none{-1, -1, -1};
        const QStringList zeros{"Cyan=0", "Magenta=0", "Yellow=0"};
        QTest::newRow("all zero") << zeros << none << TRgb{255, 255, 255} << false;
        QTest::newRow("no Yellow") << QStringList{"Cyan=0", "Magenta=0"} << none << none << false;
        QTest::newRow("complete colour untouched") << zeros << TRgb{1, 2, 3} << TRgb{1, 2, 3} << true;
        QTest::newRow("half a colour is no colour") << zeros << TRgb{1, -1, 3} << TRgb{255, 255, 255} << false;
        QTest::newRow("cyan in lower case")
            << QStringList{"cyan=0", "Magenta=0", "Yellow=0"} << TRgb{5, 5, 5} << TRgb{5, 5, 5} << true;
        QTest::newRow("cyan in lower case, no colour")
            << QStringList{"cyan=0", "Magenta=0", "Yellow=0"} << none << none << false;
        QTest::newRow("8-bit 128 stored as 32896")
            << QStringList{"Cyan=32896", "Magenta=65535", "Yellow=257"} << none << TRgb{127, 0, 254} << false;
        QTest::newRow("names containing the words")
            << QStringList{"Cyan 1=0", "Magenta fine=0", "Yellow flag=65535"} << none << TRgb{255, 255, 0} << false;
        QTest::newRow("beyond the 16-bit scale")
            << QStringList{"Cyan=70000", "Magenta=0", "Yellow=0"} << none << TRgb{0, 255, 255} << false;
    }
    void cmy_colorFromCMY()
    {
        QFETCH(QStringList, values);
        QFETCH(TRgb, before);
        QFETCH(TRgb, after);
        QFETCH(bool, savedAfter);

        TFixture fixture;
        fixture.Saved = true;
        TPalette &palette = fixture.AddPalette("Mix", SP);
        for (const QString &value : values)
            palette.SetValue(value.section('=', 0, 0).toStdString(), value.section('=', 1).toInt());
        palette.Red = before.Red;
        palette.Green = before.Green;
        palette.Blue = before.Blue;
        ColorFromCMY(fixture, palette);
        QCOMPARE(Colour(&palette), after);
        QCOMPARE(fixture.Saved, savedAfter);
    }

    void detail_valuesShownDividedBy257()
    {
        Open(false, WithPalettes("PALETTETYPE = SP\r\nPALETTENAME = \"Standby\"\r\n\"Pan\" = 65535\r\n"
                                 "PALETTENAME = \"HiLite\"\r\n\"Pan\" = 256\r\n\"dimmer\" = 128\r\n"));
        QCOMPARE(Values(), QStringList({"", "", "", "", "", "255"}));
        QCOMPARE(Column(C().PaletteChannelList, 0), QStringList({"1", "2", "3", "4", "5", "6"}));
        Click(C().StandBy);
        // Names are matched without regard to letter case.
        QCOMPARE(Values(), QStringList({"128", "", "", "", "", "0"}));
    }

    void detail_staleRowAfterDeletingAttributes()
    {
        Open(false, TMainWindowHarness::ManyAttributesText(10) +
                        "PALETTES\r\nPALETTETYPE = SP\r\nPALETTENAME = \"Standby\"\r\n\"Ch9\" = 9\r\nENDPALETTES\r\n");
        QTableWidget *grid = C().PaletteChannelList;
        QCOMPARE(grid->rowCount(), 10);
        grid->setCurrentCell(7, 0);
        C().PageControl->setCurrentWidget(C().AttributesPage);
        for (int deleted = 0; deleted < 5; ++deleted) {
            C().AttributesChannelList->setCurrentCell(C().AttributesChannelList->rowCount() - 1, 0);
            dialogs_->Answers.push_back(TAnswer::Yes);
            Click(C().btnDeleteCh);
        }
        QCOMPARE(Fixture().Attributes.Count(), std::size_t{5});
        EnterPalettes();
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->currentRow(), -1);
        QVERIFY(grid->selectedItems().isEmpty());
        // Enter with no row selected asks nothing.
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(dialogs_->ValueRequests.empty());
        // Row 3 still edits the attribute it shows.
        EnterValue(2, 7);
        QCOMPARE(dialogs_->ValueRequests.at(0).Attribute, "Ch3");
        QCOMPARE(Current()->Lines.Find("Ch3")->Value, 7 * 257);
    }

    void detail_editValueByDoubleClickAndEnter_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("standard double click") << false << false;
        QTest::newRow("800 Enter") << true << true;
    }
    void detail_editValueByDoubleClickAndEnter()
    {
        QFETCH(bool, compact);
        QFETCH(bool, byEnter);
        Open(compact, WithPalettes("PALETTETYPE = SP\r\nPALETTENAME = \"Mix\"\r\n\"Cyan\" = 0\r\n\"Magenta\" = 0\r\n"));
        Sheet(GoboSheet);
        ClickIcon(C().GoboScrollBox, "Star", "Beam");
        TPalette *beam = Current();
        QCOMPARE(beam, Find("Beam", GB));
        QTableWidget *grid = C().PaletteChannelList;
        const auto edit = [&](int row, std::optional<int> value) {
            if (byEnter)
                return EnterValue(row, value);
            grid->setCurrentCell(row, 0);
            dialogs_->Values.push_back(TValueAnswer{value, 0});
            // A double click is a click followed by the second press.
            const QPoint cell = grid->visualItemRect(grid->item(row, 1)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
        };
        const auto request = [&] { return dialogs_->ValueRequests.back(); };
        edit(4, 150);
        QCOMPARE(request().ValueLabel, "DMX Value:");
        QCOMPARE(request().Max, 200);
        QCOMPARE(beam->Lines.Find("Gobo")->Value, 150 * 257);
        QCOMPARE(grid->item(4, 2)->text(), "150");
        edit(4, std::nullopt);
        QVERIFY(!beam->Lines.Find("Gobo"));
        QCOMPARE(grid->item(4, 2)->text(), "");
        // Cyan, Magenta and Yellow make the colour once all three are there.
        edit(1, 0);
        edit(2, 0);
        QCOMPARE(beam->Red, -1);
        edit(3, 128);
        QCOMPARE(Colour(beam), (TRgb{255, 255, 127}));
        QCOMPARE(request().ValueLabel, "DMX Value:");
        edit(3, 100);
        QCOMPARE(request().ValueLabel, "DMX Value (high part only):");
        QCOMPARE(request().Value, 128);
    }

    void saved_paletteEditsClearSaved_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("edit");
        for (const char *edit : {"icon", "x_OTHER", "colour", "delete"})
            TMainWindowHarness::LayoutRow(false, edit) << edit;
    }
    void saved_paletteEditsClearSaved()
    {
        QFETCH(bool, compact);
        QFETCH(QString, edit);
        Open(compact, WithPalettes("PALETTETYPE = PR\r\nPALETTENAME = \"Three\"\r\n\"Dimmer\" = 10\r\n"));
        if (edit == "icon") {
            Sheet(PrismSheet);
            ClickIcon(C().PrismScrollBox, "Prism 3", "Five");
        } else if (edit == "x_OTHER") {
            Sheet(GoboSheet);
            ClickIcon(C().GoboScrollBox, "x_OTHER", "Spot");
        } else if (edit == "colour") {
            ClickColour(1, "Deep Blue");
        } else {
            Sheet(PrismSheet);
            Click(C().DeletePrismPalette);
            QVERIFY(!Find("Three", PR));
        }
        QVERIFY(!Fixture().Saved);
    }

    void save_writesPaletteColorFromCMY_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("standard Save") << false << false;
        QTest::newRow("800 Save As") << true << true;
    }
    void save_writesPaletteColorFromCMY()
    {
        QFETCH(bool, compact);
        QFETCH(bool, saveAs);
        Start(compact);
        Load(WithPalettes(
            "PALETTETYPE = SP\r\nPALETTENAME = \"Mix\"\r\n\"Cyan\" = 0\r\n\"Magenta\" = 128\r\n\"Yellow\" = 255\r\n"));
        const QString target = window_->Path("fixtures/saved.fxr");
        if (saveAs && compact)
            dialogs_->FileListChoices.push_back(TFileListChoice{"saved.fxr", window_->Path("fixtures").toStdString()});
        else if (saveAs)
            dialogs_->Files.push_back(target.toStdString());
        QVERIFY(saveAs ? Controller().SaveAsClick() : Controller().SaveClick());
        QCOMPARE(window_->Messages(),
                 QStringList{"Information: File " + QFileInfo(saveAs ? target : FixturePath()).fileName() + " saved"});
        Forget();
        // The palette's colour follows its Cyan, Magenta and Yellow.
        TMainWindowHarness::CompareWithData(saveAs ? target : FixturePath(), "palettes-cmy.fxr");
        QVERIFY(Fixture().Saved);
    }

    void roundTrip_palettesSurviveSaveAndLoad()
    {
        Open(false, AttributesText);
        Sheet(GoboSheet);
        ClickIcon(C().GoboScrollBox, "Star", "Star & moon");
        EnterValue(4, 90);
        ClickColour(0, "Test Colour");
        Sheet(BladeSheet);
        ClickIcon(C().BladeScrollBox, "Square", "Framed");
        Sheet(ControlSheet);
        Click(C().Locate);
        EnterValue(0, 255);
        QVERIFY(Controller().SaveClick());
        Forget();
        TMainWindowHarness::CompareWithData(FixturePath(), "palettes-saved.fxr");

        Load(ReadBytes(FixturePath()));
        const TPalette *star = Find("Star & moon", GB);
        QVERIFY(star);
        QCOMPARE(star->Bitmap, "Star");
        QCOMPARE(star->Lines.Find("Gobo")->Value, 90 * 257);
        const TPalette *colour = Find("Test Colour", CO);
        QVERIFY(colour);
        QCOMPARE(Colour(colour), (TRgb{10, 20, 30}));
        QCOMPARE(colour->Bitmap, "Test Colour");
        QCOMPARE(Find("Framed", BL)->Bitmap, "Square");
        QCOMPARE(Find("Locate", SP)->Lines.Find("Dimmer")->Value, 65535);
        EnterPalettes();
        QCOMPARE(Captions(C().GoboPaletteBox), QStringList({"Star & moon"}));
        QCOMPARE(Captions(C().ColorPaletteBox), QStringList({"Test Colour"}));
        QCOMPARE(Captions(C().BladePaletteBox), QStringList({"Framed"}));
    }
};

QTEST_MAIN(TestPalettes)
#include "test_palettes.moc"
