// What the Palettes page stands on, below the window: a palette's colour from its Cyan, Magenta and
// Yellow, and the icon a palette shows. The page itself is played in tests/data/app/scenarios.

#include "model/FixColors.h"
#include "palettes/PaletteIcons.h"
#include "support/MainWindowHarness.h"

#include <QImage>

Q_DECLARE_METATYPE(TRgb)

class TestPalettes : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString Program(const QString &relative) const { return dir_.filePath(relative); }
    void Picture(const QString &relative)
    {
        QDir().mkpath(QFileInfo(Program(relative)).absolutePath());
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(Program(relative), "BMP"));
    }

private slots:
    void colorFromCMY_data()
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
    void colorFromCMY()
    {
        QFETCH(QStringList, values);
        QFETCH(TRgb, before);
        QFETCH(TRgb, after);
        QFETCH(bool, savedAfter);
        TFixture fixture;
        fixture.Saved = true;
        TPalette &palette = fixture.AddPalette("Mix", 7);
        for (const QString &value : values)
            palette.SetValue(value.section('=', 0, 0).toStdString(), value.section('=', 1).toInt());
        palette.Red = before.Red;
        palette.Green = before.Green;
        palette.Blue = before.Blue;
        ColorFromCMY(fixture, palette);
        QCOMPARE((TRgb{palette.Red, palette.Green, palette.Blue}), after);
        QCOMPARE(fixture.Saved, savedAfter);
    }

    // Generic comes first, then the other directories in name order whatever their letter case; a
    // name without extension counts as a directory, a file with one does not.
    void findPaletteIcon_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("bitmap");
        QTest::addColumn<QString>("expected"); // below the program's directory; empty: no file
        const auto row = [](const char *name, int type, const char *bitmap, const char *expected) {
            QTest::newRow(name) << type << QString(bitmap) << QString(expected);
        };
        const char *other = "PaletteIcons/Generic/x_OTHER.bmp";
        row("IN own", 1, "Full", "PaletteIcons/Intensity/Full.bmp");
        row("IN missing", 1, "Half", other);
        row("PR in another directory", 5, "Star", other);
        row("BL own", 6, "Square", "PaletteIcons/Blade/Square.bmp");
        row("GB generic", 4, "Star", "PaletteIcons/Generic/Star.bmp");
        row("GB in another letter case", 4, "STAR", "PaletteIcons/Generic/Star.bmp");
        row("PT missing", 2, "", other);
        row("SP in a maker directory", 7, "Leaf", "PaletteIcons/Zeta/Leaf.bmp");
        row("GB with directory and extension", 4, "Maker\\Leaf", "PaletteIcons/Generic/Maker/Leaf.bmp");
        row("CO without picture", 3, "Blue", "");
        row("other type", 9, "Star", "");
    }
    void findPaletteIcon()
    {
        QFETCH(int, type);
        QFETCH(QString, bitmap);
        QFETCH(QString, expected);
        for (const char *picture : {"Generic/x_OTHER", "Generic/Star", "Intensity/Full", "Blade/Square",
                                    "Generic/Maker/Leaf", "alpha/Star", "Zeta/Leaf"})
            Picture(QString("PaletteIcons/") + picture + ".bmp");
        TMainWindowHarness::WriteBytes(Program("PaletteIcons/README"), "no extension, so a directory name\n");
        TMainWindowHarness::WriteBytes(Program("PaletteIcons/notes.txt"), "an extension: skipped\n");
        QDir().mkpath(Program("PaletteIcons/COLORS"));
        TPaletteIcons icons(dir_.path().toStdString());
        icons.ScanGoboDirectories();
        QCOMPARE(icons.GoboDirectories(), (std::vector<std::string>{"Generic", "alpha", "README", "Zeta"}));
        TPalette palette("P", static_cast<uint8_t>(type));
        palette.Bitmap = bitmap.toStdString();
        QCOMPARE(QString::fromStdString(icons.FindPaletteIcon(palette, TColourCatalogs())),
                 expected.isEmpty() ? QString() : Program(expected));
    }
};

QTEST_MAIN(TestPalettes)
#include "test_palettes.moc"
