// The Palettes page in both layouts: palette, icon and control buttons, the detail grid, the
// palette icons and the colour catalogs. Each test writes its own small PaletteIcons tree, lee.txt
// and FxrColor.ini, and drives the page through its widgets with scripted dialogs.

#include "model/FixColors.h"
#include "palettes/PaletteIcons.h"
#include "palettes/PaletteWidgets.h"
#include "support/MainWindowHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>

#include <string_view>

namespace {

enum : uint8_t { IN = 1, PT = 2, CO = 3, GB = 4, PR = 5, BL = 6, SP = 7 };
enum { GoboSheet, ColorSheet, IntensitySheet, PrismSheet, BladeSheet, ControlSheet };

// Format 2: six attributes, Pan 16 bits wide on patches 6 and 7.
const QByteArray AttributesText = "Format_Version = 2\r\n"
                                  "Fixture = \"Test\"\r\n"
                                  "Brand = \"Acme\"\r\n"
                                  "Dmx_Channels = 7\r\n"
                                  "PARAMETERS\r\n"
                                  "\"Dimmer\" , 1, IN, HTP,  8, 1, na, LINEAR, 0,   255, YES, YES\r\n"
                                  "\"Cyan\"   , 3, CO, LTP,  8, 2, na, LINEAR, 0,   255, YES, YES\r\n"
                                  "\"Magenta\", 3, CO, LTP,  8, 3, na, LINEAR, 0,   255, YES, YES\r\n"
                                  "\"Yellow\" , 3, CO, LTP,  8, 4, na, LINEAR, 0,   255, YES, YES\r\n"
                                  "\"Gobo\"   , 3, GB, LTP,  8, 5, na, LINEAR, 0,   200, YES, YES\r\n"
                                  "\"Pan\"    , 2, PT, LTP, 16, 6,  7, LINEAR, 0, 65535, YES, YES\r\n"
                                  "ENDPARAMETERS\r\n";

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

QList<QPoint> Positions(const TScrollBox *box)
{
    QList<QPoint> positions;
    for (const QAbstractButton *button : box->Buttons())
        positions << button->pos();
    return positions;
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

class TestPalettes : public QObject {
    Q_OBJECT

    std::unique_ptr<TMainWindowHarness> window_;
    TScriptedDialogs *dialogs_ = nullptr;
    QString startDir_;

    void Start(bool compact) { window_->Start(compact); }
    void Load(const QByteArray &text)
    {
        WriteBytes(FixturePath(), text);
        window_->Load(FixturePath());
        QVERIFY(CurrentFixture().Saved);
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
        return window_->Controller().PaletteIcons().Glyph(Program(relative).toStdString()).cacheKey();
    }
    TPalette *Current() { return window_->Controller().CurrentPalette(); }
    TPalette *Find(const std::string &name, uint8_t type) { return CurrentFixture().FindPalette(name, type); }
    QString Program(const QString &relative) const { return window_->Path("program/" + relative); }
    QString FixturePath() const { return window_->Path("fixtures/test.fxr"); }
    QStringList Values() const { return Column(C().PaletteChannelList, 2); }
    const TMainFormControls &C() const { return window_->Controls(); }
    void Forget() { window_->Forget(); }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationDisplayName("Rigsmith");
        startDir_ = QDir::currentPath();
    }
    void init()
    {
        window_ = std::make_unique<TMainWindowHarness>("program", QStringList{"fixtures", "work"});
        QVERIFY(window_->Valid());
        dialogs_ = &window_->Dialogs();
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
        CurrentFixture().Saved = true;
        window_->Finish(true);
        dialogs_ = nullptr;
        QDir::setCurrent(startDir_);
        window_.reset();
    }

    void page_sheetsControlsAndGrid_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QString>("detailCaption");
        QTest::newRow("standard") << false << "Palette detail";
        QTest::newRow("800") << true << " Channels ";
    }
    void page_sheetsControlsAndGrid()
    {
        QFETCH(bool, compact);
        QFETCH(QString, detailCaption);

        Start(compact);
        QTabWidget *sheets = C().PalettePageControl;
        QCOMPARE(sheets->tabPosition(), QTabWidget::South);
        QStringList captions;
        for (int i = 0; i < sheets->count(); ++i)
            captions << sheets->tabText(i);
        QCOMPARE(captions, QStringList({"Gobo", "Color", "Intensity", "Prism", "Blade", "Control"}));
        QCOMPARE(sheets->currentIndex(), 0);
        const QList<QPushButton *> deletes{C().DeleteGoboPalette, C().DeleteColorPalette, C().DeleteIntensityPalette,
                                           C().DeletePrismPalette, C().DeleteBladePalette};
        for (int i = 0; i < deletes.size(); ++i) {
            QCOMPARE(deletes[i]->text(), "<");
            QCOMPARE(deletes[i]->parentWidget(), sheets->widget(i));
        }
        QVERIFY(!C().sbCust->isVisible());
        QVERIFY(C().btnToPalette->isHidden());

        // The control buttons: one exclusive group with all up allowed, each with its picture.
        const QList<TGlyphButton *> controls{C().Full, C().StandBy, C().Locate};
        const QStringList controlCaptions{"Standby", "HiLite", "Locate"};
        for (int i = 0; i < controls.size(); ++i) {
            QCOMPARE(controls[i]->Caption(), controlCaptions[i]);
            QCOMPARE(controls[i]->Tag, 7);
            QCOMPARE(controls[i]->geometry(), QRect(0, 89 * i, 105, 89));
            QVERIFY(!controls[i]->Glyph().isNull());
            QVERIFY(controls[i]->isCheckable());
        }

        // The grid's columns are checked with the other grids of the window.
        QCOMPARE(C().PaletteDetail->title(), detailCaption);
        QCOMPARE(C().PaletteChannelList->verticalHeader()->defaultSectionSize(), 16);
    }

    void page_enterWithoutPalettes_data() { TMainWindowHarness::LayoutData(); }
    void page_enterWithoutPalettes()
    {
        QFETCH(bool, compact);
        Open(compact, AttributesText);
        QCOMPARE(C().PalettePageControl->currentIndex(), int(ControlSheet));
        for (const TPaletteBox *box : {C().GoboPaletteBox, C().ColorPaletteBox, C().IntensityPaletteBox,
                                       C().PrismPaletteBox, C().BladePaletteBox})
            QVERIFY(box->Buttons().empty());
        const TFixture &f = CurrentFixture();
        QCOMPARE(f.Palettes.Count(), std::size_t{1});
        QVERIFY(Current());
        QCOMPARE(Current(), Find("Standby", SP));
        QVERIFY(Current()->Lines.Empty());
        QVERIFY(C().Full->isChecked());
        QCOMPARE(Column(C().PaletteChannelList, 1),
                 QStringList({"Dimmer", "Cyan", "Magenta", "Yellow", "Gobo", "Pan"}));
        QCOMPARE(Values(), QStringList(6, QString()));
        QCOMPARE(C().PaletteChannelList->rowHeight(0), 16);
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
        QCOMPARE(Positions(gobo), QList<QPoint>({{3, 3}, {3, 92}, {3, 181}}));
        QList<int> tags;
        for (QAbstractButton *button : gobo->Buttons()) {
            QCOMPARE(button->size(), QSize(105, 89));
            tags << static_cast<TGlyphButton *>(button)->Tag;
        }
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
        QCOMPARE(CurrentFixture().Palettes.Count(), std::size_t{3}); // with Standby
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
        QCOMPARE(CurrentFixture().Saved, !created);
        if (!created) {
            QCOMPARE(CurrentFixture().Palettes.Count(), std::size_t{1});
            QVERIFY(C().GoboPaletteBox->Buttons().empty());
            return;
        }
        TPalette *spot = Find("Spot", GB);
        QVERIFY(spot);
        QCOMPARE(spot->Bitmap, "Spot");
        const QString picture = spotPicture ? "PaletteIcons/Generic/SPOT.bmp" : "PaletteIcons/Generic/x_OTHER.bmp";
        QCOMPARE(QString::fromStdString(window_->Controller().FindPaletteIcon(*spot)), Program(picture));
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
        QCOMPARE(CurrentFixture().Palettes.Count(), std::size_t{3});
        QCOMPARE(QList<bool>({C().Full->isChecked(), C().StandBy->isChecked(), C().Locate->isChecked()}),
                 QList<bool>({false, false, true}));
        // All may be up.
        Click(C().Locate);
        QVERIFY(!C().Locate->isChecked());
        QVERIFY(CurrentFixture().Saved);
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
        QVERIFY(!CurrentFixture().Saved);
        // Nothing is deleted from the Control sub-page.
        Click(C().DeleteGoboPalette);
        QVERIFY(Find("Standby", SP));

        // Undo brings the palette and its button back.
        window_->Controller().Undo();
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
        QVERIFY(CurrentFixture().Saved);
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
        QCOMPARE(window_->Controller().PaletteIcons().GoboDirectories(), order);
    }

    void icons_rowsFollowLayoutColumns_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<QList<QPoint>>("positions");
        const auto at = [](int column, int row) { return QPoint(3 + 105 * column, 3 + 89 * row); };
        QTest::newRow("standard: 3, 3, 1")
            << false << QList<QPoint>{at(0, 0), at(1, 0), at(2, 0), at(0, 1), at(1, 1), at(2, 1), at(0, 2)};
        QTest::newRow("800: 2, 2, 2, 1") << true << QList<QPoint>{at(0, 0), at(1, 0), at(0, 1), at(1, 1),
                                                                  at(0, 2), at(1, 2), at(0, 3)};
    }
    void icons_rowsFollowLayoutColumns()
    {
        QFETCH(bool, compact);
        QFETCH(QList<QPoint>, positions);
        QVERIFY(QFile::remove(Program("PaletteIcons/Blade/Square.bmp")));
        for (const char *name : {"A", "B", "C", "D", "E", "F", "G"})
            WriteBitmap(Program(QString("PaletteIcons/Blade/%1.bmp").arg(name)), Qt::darkGray);
        Start(compact);
        QCOMPARE(Captions(C().BladeScrollBox), QStringList({"A", "B", "C", "D", "E", "F", "G"}));
        QCOMPARE(Positions(C().BladeScrollBox), positions);
        for (QAbstractButton *icon : C().BladeScrollBox->Buttons()) {
            QCOMPARE(icon->size(), QSize(105, 89));
            QVERIFY(!icon->isCheckable());
        }
    }

    void icons_captionsIgnoreLetterCase()
    {
        WriteBitmap(Program("PaletteIcons/Prism/Gobo.BMP"), Qt::cyan);
        WriteBitmap(Program("PaletteIcons/Prism/a.Bmp"), Qt::cyan);
        WriteBytes(Program("PaletteIcons/Prism/notes.txt"), "not an icon\n");
        WriteBytes(Program("PaletteIcons/Prism/bmp"), "not an icon either\n");
        Start(false);
        QCOMPARE(Captions(C().PrismScrollBox), QStringList({"a", "Gobo", "Prism 3"}));
        QCOMPARE(Captions(C().GoboScrollBox), QStringList({"Star", "x_OTHER"}));
        // A palette finds its picture in any letter case.
        TPalette gobo("G", PR);
        gobo.Bitmap = "GOBO";
        QCOMPARE(QString::fromStdString(window_->Controller().FindPaletteIcon(gobo)),
                 Program("PaletteIcons/Prism/Gobo.BMP"));
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

    void icons_eachFileLoadedOnce()
    {
        Open(false, WithPalettes("PALETTETYPE = GB\r\nPALETTENAME = \"One\"\r\nPALETTEBITMAP = Star\r\n"
                                 "PALETTENAME = \"Two\"\r\nPALETTEBITMAP = star\r\n"));
        const qint64 icon = ButtonCaptioned(C().GoboScrollBox, "Star")->Glyph().cacheKey();
        QCOMPARE(ButtonCaptioned(C().GoboPaletteBox, "One")->Glyph().cacheKey(), icon);
        QCOMPARE(ButtonCaptioned(C().GoboPaletteBox, "Two")->Glyph().cacheKey(), icon);
        // A file changed during the run keeps the picture first read.
        WriteBitmap(Program("PaletteIcons/Generic/Star.bmp"), Qt::black);
        C().PageControl->setCurrentWidget(C().AttributesPage);
        EnterPalettes();
        QCOMPARE(ButtonCaptioned(C().GoboPaletteBox, "One")->Glyph().cacheKey(), icon);
    }

    void swatch_discOnTransparentBackground()
    {
        QPixmap bitmap;
        DrawSwatch(bitmap, RgbColor(0, 0, 0));
        QCOMPARE(bitmap.size(), QSize(64, 64));
        for (const QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63), QPoint(2, 32)})
            QCOMPARE(Pixel(bitmap, corner.x(), corner.y()), qRgb(1, 0, 0));
        QCOMPARE(Pixel(bitmap, 32, 32), qRgb(0, 0, 0));
        QCOMPARE(Pixel(bitmap, 5, 32), qRgb(0, 0, 0));
        // Shown with the bottom-left colour transparent: a black disc stays visible.
        const QPixmap glyph = TransparentGlyph(bitmap.toImage());
        QCOMPARE(qAlpha(Pixel(glyph, 0, 63)), 0);
        QCOMPARE(qAlpha(Pixel(glyph, 63, 0)), 0);
        QCOMPARE(Pixel(glyph, 32, 32), qRgba(0, 0, 0, 255));
    }

    void lee_buttonOfTestColourAndItsPalette_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<TRgb>("colour");
        QTest::newRow("standard, name kept") << false << std::string("Test Colour") << TRgb{10, 20, 30};
        QTest::newRow("800, name kept") << true << std::string("Test Colour") << TRgb{10, 20, 30};
        QTest::newRow("renamed to no catalog entry") << false << std::string("My colour") << TRgb{0, 0, 0};
        QTest::newRow("renamed to another gel") << true << std::string("Deep Blue") << TRgb{0, 0, 200};
    }
    void lee_buttonOfTestColourAndItsPalette()
    {
        QFETCH(bool, compact);
        QFETCH(std::string, name);
        QFETCH(TRgb, colour);

        Start(compact);
        TColourButton *button = LeeButton(0);
        QVERIFY(button);
        QCOMPARE(button->parentWidget(), C().sbLee->Canvas());
        QCOMPARE(button->Caption(), "Test\nColour");
        QCOMPARE(button->toolTip(), "Test Colour");
        QCOMPARE(button->Colour, std::optional<QColor>(QColor(10, 20, 30)));
        QCOMPARE(button->Tag, 1);
        QCOMPARE(button->PointSize, 9);
        QCOMPARE(button->CaptionColour(), QColor(Qt::white));
        const int side = C().sbLee->ClientWidth() / 5;
        QCOMPARE(button->geometry(), QRect(0, 0, side, side));
        QCOMPARE(LeeButton(4)->pos(), QPoint(4 * side, 0));
        QCOMPARE(LeeButton(5)->pos(), QPoint(0, side));
        QCOMPARE(LeeButton(199)->pos(), QPoint(4 * side, 39 * side));

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
        const TColourCatalogs &catalogs = window_->Controller().ColourCatalogs();
        QCOMPARE(catalogs.ColourOfName("Test Colour"), RgbColor(1, 2, 3));
        QCOMPARE(catalogs.ColourOfName("Bad"), RgbColor(0, 255, 0));
        QCOMPARE(catalogs.ColourOfName("test colour"), 0); // letter case counts
        QCOMPARE(catalogs.ColourOfName(""), 0);
        auto *slot = window_->Form().findChild<TColourButton *>("btnsbCust0");
        QVERIFY(slot);
        QCOMPARE(slot->Caption(), "C1");
        QCOMPARE(slot->toolTip(), "Test Colour");
        QCOMPARE(slot->PointSize, 12);
        QCOMPARE(window_->Form().findChild<TColourButton *>("btnsbCust7")->Caption(), "8  ");
        // A slot without its section has no colour and no description.
        auto *empty = window_->Form().findChild<TColourButton *>("btnsbCust1");
        QCOMPARE(empty->Colour, std::nullopt);
        QCOMPARE(empty->toolTip(), "");

        Load(AttributesText);
        EnterPalettes();
        ClickColour(0, "Test Colour");
        QCOMPARE(Colour(Find("Test Colour", CO)), (TRgb{1, 2, 3}));
    }

    void lee_tenLinesGiveTwoHundredButtons()
    {
        QByteArray lines;
        for (int i = 1; i <= 10; ++i)
            lines += QByteArray::number(i) + "\tGel " + QByteArray::number(i) + "\t" + QByteArray::number(i * 20) +
                     "\t0\t0\r\n";
        WriteBytes(Program("lee.txt"), lines);
        Start(false);
        QCOMPARE(C().sbLee->Buttons().size(), 200);
        for (int i = 0; i < 200; ++i) {
            TColourButton *button = LeeButton(i);
            QVERIFY(button);
            QCOMPARE(button->Tag, i + 1);
            QCOMPARE(button->Caption(), i < 10 ? QString("Gel\n%1").arg(i + 1) : QString());
            QCOMPARE(button->Colour, std::optional<QColor>(QColor(i < 10 ? (i + 1) * 20 : 0, 0, 0)));
        }
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

    void colours_splitColor()
    {
        QCOMPARE(SplitColor(0x030201), (TRgb{1, 2, 3}));
        QCOMPARE(RgbColor(1, 2, 3), 0x030201);
        QCOMPARE(RgbColor(-5, 300, 128), 0x80FF00);
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
        QCOMPARE(CurrentFixture().Attributes.Count(), std::size_t{5});
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
        for (const bool compact : {false, true}) {
            TMainWindowHarness::LayoutRow(compact, "double click") << false;
            TMainWindowHarness::LayoutRow(compact, "Enter") << true;
        }
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
        for (const bool compact : {false, true})
            for (const char *edit : {"icon", "x_OTHER", "colour", "delete"})
                TMainWindowHarness::LayoutRow(compact, edit) << edit;
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
        QVERIFY(!CurrentFixture().Saved);
    }

    void save_writesPaletteColorFromCMY_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::addColumn<bool>("saveAs");
        for (const bool compact : {false, true}) {
            TMainWindowHarness::LayoutRow(compact, "Save") << false;
            TMainWindowHarness::LayoutRow(compact, "Save As") << true;
        }
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
        QVERIFY(saveAs ? window_->Controller().SaveAsClick() : window_->Controller().SaveClick());
        QCOMPARE(window_->Messages(),
                 QStringList{"Information: File " + QFileInfo(saveAs ? target : FixturePath()).fileName() + " saved"});
        Forget();
        const QByteArray text = ReadBytes(saveAs ? target : FixturePath());
        QVERIFY2(text.contains("PALETTENAME = \"Mix\"\r\nPALETTECOLOR = 255, 127, 0\r\n"), text.constData());
        QVERIFY(CurrentFixture().Saved);
    }

    void roundTrip_palettesSurviveSaveAndLoad_data() { TMainWindowHarness::LayoutData(); }
    void roundTrip_palettesSurviveSaveAndLoad()
    {
        QFETCH(bool, compact);
        Open(compact, AttributesText);
        Sheet(GoboSheet);
        ClickIcon(C().GoboScrollBox, "Star", "Star & moon");
        EnterValue(4, 90);
        ClickColour(0, "Test Colour");
        Sheet(BladeSheet);
        ClickIcon(C().BladeScrollBox, "Square", "Framed");
        Sheet(ControlSheet);
        Click(C().Locate);
        EnterValue(0, 255);
        QVERIFY(window_->Controller().SaveClick());
        Forget();

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

    void benchmark_enterPageWith300Palettes()
    {
        // The icons and catalogs that accompany the program, as a user has them.
        SetProgramDir(QCoreApplication::applicationDirPath().toStdString());
        if (!QFile::exists(QCoreApplication::applicationDirPath() + "/PaletteIcons/Generic/x_OTHER.bmp"))
            QSKIP("the program's PaletteIcons are not beside the test");
        Start(false);
        QByteArray palettes;
        const char *types[] = {"IN", "PT", "CO", "GB", "PR", "BL", "SP"};
        const char *bitmaps[] = {"Full", "", "", "Star", "Prism 3", "Square", ""};
        const char *gels[] = {"Congo Blue", "Primary Red", "Lavender Tint", "Mixed", "Fire"};
        int withButtons = 0;
        for (int i = 0; i < 300; ++i) {
            const int type = i % 7;
            withButtons += types[type] != std::string_view("SP");
            palettes += QByteArray("PALETTETYPE = ") + types[type] + "\r\n";
            palettes += "PALETTENAME = \"" + (type == 2 ? QByteArray(gels[i % 5]) + " " : QByteArray("P")) +
                        QByteArray::number(i) + "\"\r\n";
            if (*bitmaps[type])
                palettes += QByteArray("PALETTEBITMAP = ") + bitmaps[type] + "\r\n";
            palettes += "\"Dimmer\" = " + QByteArray::number(i % 256) + "\r\n";
        }
        Load(WithPalettes(palettes));
        // Measured up to the page being drawn.
        QElapsedTimer timer;
        timer.start();
        EnterPalettes();
        QApplication::processEvents();
        const qint64 first = timer.nsecsElapsed();
        int buttons = 0;
        for (const TPaletteBox *box : {C().GoboPaletteBox, C().ColorPaletteBox, C().IntensityPaletteBox,
                                       C().PrismPaletteBox, C().BladePaletteBox})
            buttons += static_cast<int>(box->Buttons().size());
        QCOMPARE(buttons, withButtons);
        C().PageControl->setCurrentWidget(C().AttributesPage);
        QApplication::processEvents();
        timer.restart();
        EnterPalettes();
        QApplication::processEvents();
        const qint64 again = timer.nsecsElapsed();
        qInfo("Entering the Palettes page with 300 palettes (%d buttons): %.1f ms the first time, %.1f ms again",
              buttons, static_cast<double>(first) / 1e6, static_cast<double>(again) / 1e6);
    }
};

QTEST_MAIN(TestPalettes)
#include "test_palettes.moc"
