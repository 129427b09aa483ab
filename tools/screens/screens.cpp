// Renders every page of both main-window layouts and the program's dialogs to PNG files, with a
// fixture loaded, so that a person can look at them:
//
//     rigsmith_screens [OUTPUT_DIR [FIXTURE]]
//
// OUTPUT_DIR defaults to "screens", FIXTURE to the sample Fixtures/demo-profile.fxr beside the
// program. Besides the main pages, each layout is shot on every sub-page of the Palettes page and
// with the whole Lee catalog.

#include "app/AddChannel.h"
#include "app/Application.h"
#include "app/DmxPanel.h"
#include "app/GetData.h"
#include "app/Load800.h"
#include "app/MainFormBase.h"
#include "app/Save800.h"
#include "fxr/FixtureReader.h"
#include "palettes/GetColName.h"
#include "palettes/PaletteWidgets.h"
#include "palettes/QtText.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

#include <iostream>
#include <memory>

namespace {

void Save(QWidget *widget, const QDir &out, const QString &name)
{
    QApplication::processEvents();
    const QString path = out.filePath(name + ".png");
    if (!widget->grab().save(path))
        std::cerr << "cannot write " << path.toStdString() << '\n';
}

// Every sub-page of the Palettes page, as the user reaches it through its tab, and the Lee
// catalog as a whole.
void ShootPalettes(TMainFormBase &form, const QDir &out, const QString &prefix)
{
    const TMainFormControls &c = form.Controls();
    c.PageControl->setCurrentWidget(c.PalettePage);
    QTabWidget *sheets = c.PalettePageControl;
    for (int i = 0; i < sheets->count(); ++i) {
        sheets->setCurrentIndex(i);
        Save(&form, out, prefix + "-palettes-" + sheets->widget(i)->objectName());
    }
    // Every palette button, also those scrolled out of sight.
    for (TPaletteBox *box :
         {c.GoboPaletteBox, c.ColorPaletteBox, c.IntensityPaletteBox, c.PrismPaletteBox, c.BladePaletteBox})
        if (!box->Buttons().empty())
            Save(box->Canvas(), out, prefix + "-" + box->objectName());
    // The whole catalog, fifty colours a picture.
    QWidget *catalog = c.sbLee->Canvas();
    const int part = catalog->height() / 4;
    for (int i = 0; i < 4; ++i) {
        QApplication::processEvents();
        const QString path = out.filePath(QString("%1-lee-catalog-%2.png").arg(prefix).arg(i + 1));
        if (!catalog->grab(QRect(0, i * part, catalog->width(), part)).save(path))
            std::cerr << "cannot write " << path.toStdString() << '\n';
    }
}

void ShootLayout(std::unique_ptr<TMainFormBase> form, const QDir &out, const QString &prefix, const QString &fixture,
                 TScriptedDialogs &dialogs)
{
    form->show();
    dialogs.Files.push_back(fixture.toStdString());
    form->Controller()->LoadFixture();
    QTabWidget *tabs = form->Controls().PageControl;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setTabVisible(i, true);
        tabs->setCurrentIndex(i);
        Save(form.get(), out, prefix + "-" + tabs->widget(i)->objectName());
    }
    ShootPalettes(*form, out, prefix);
    form->Controller()->NewFixture();
    tabs->setCurrentIndex(0);
    Save(form.get(), out, prefix + "-new");
    form->Controller()->Fixture().Saved = true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Rigsmith");
    const QDir out(argc > 1 ? argv[1] : "screens");
    QDir().mkpath(out.absolutePath());
    const QString fixture = argc > 2 ? QFileInfo(argv[2]).absoluteFilePath()
                                     : QString::fromStdString(ProgramFile("Fixtures/demo-profile.fxr"));
    if (!QFileInfo::exists(fixture)) {
        std::cerr << "no fixture file " << fixture.toStdString() << '\n';
        return 2;
    }
    TScriptedDialogs dialogs;

    ShootLayout(std::make_unique<TMainForm>(), out, "standard", fixture, dialogs);
    ShootLayout(std::make_unique<TMainForm800>(), out, "800", fixture, dialogs);

    TfrmLoad800 load;
    load.show();
    Save(&load, out, "dialog-load800");
    TfrmSave800 save;
    save.show();
    save.eFileName->setText(QFileInfo(fixture).fileName());
    Save(&save, out, "dialog-save800");
    TfrmGetColName name;
    name.show();
    name.setWindowTitle("Get palette name");
    name.eCustColName->setText("Medium Bastard Amber");
    Save(&name, out, "dialog-getcolname");

    for (const bool compact : {false, true}) {
        TAddChannelMemory memory{compact};
        TfrmAddChannel addChannel(nullptr, "Add channel", "AddChannel.ini", memory);
        addChannel.show();
        Save(&addChannel, out, compact ? "800-dialog-addchannel" : "dialog-addchannel");
    }
    TAddChannelMemory memory;
    TfrmAddChannel addCommand(nullptr, "Add command", "AddCommand.ini", memory);
    addCommand.show();
    Save(&addCommand, out, "dialog-addcommand");

    TGetDataForm value;
    TValueRequest step;
    step.Attribute = "Dimmer";
    step.Value = 128;
    step.WithTime = true;
    step.Time = 500;
    value.Fill(step);
    value.show();
    Save(&value, out, "dialog-getdata-step");
    TValueRequest paletteValue;
    paletteValue.Attribute = "Gobo";
    paletteValue.ValueLabel = "DMX Value (high part only):";
    paletteValue.Value = 64;
    value.hide();
    value.Fill(paletteValue);
    value.show();
    Save(&value, out, "dialog-getdata-palette");

    TDmxLevels levels{};
    TfrmDmxPanel panel(levels);
    for (int channel = 1; channel <= 20; ++channel)
        if (auto *fader = panel.findChild<QScrollBar *>(QString("DmxChLevel%1").arg(channel)))
            fader->setValue(255 - (channel * 37) % 256);
    panel.show();
    Save(&panel, out, "dialog-dmxpanel");
    panel.IsPercent->click();
    Save(&panel, out, "dialog-dmxpanel-percent");

    // The warning of a save that would lose texts, as the message box shows it.
    TFixture lossy = ReadFixtureFile(fixture.toStdString());
    lossy.Name += " 12\"";
    if (!lossy.Attributes.Empty())
        lossy.Attributes[0].Name = "Red, deep";
    lossy.Comments = "See http://example.org";
    lossy.FormatVersion = 2;
    dialogs.Shown.clear();
    lossy.CheckTexts();
    if (!dialogs.Shown.empty()) {
        QMessageBox box(QMessageBox::Warning, "Rigsmith", ToQt(dialogs.Shown.back().Text), QMessageBox::Ok);
        box.show();
        Save(&box, out, "message-texts");
    }

    // What a person would have seen in message boxes.
    for (const std::string &text : dialogs.Texts())
        std::cerr << "message: " << text << '\n';
    std::cout << "screens of " << fixture.toStdString() << " written to " << out.absolutePath().toStdString() << '\n';
    return 0;
}
