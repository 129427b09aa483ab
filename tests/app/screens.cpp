// Renders every page of both main-window layouts and the program's dialogs to PNG files, with a
// sample fixture loaded, so that a person can look at them: rigsmith_screens OUTPUT_DIR.

#include "app/Application.h"
#include "app/Load800.h"
#include "app/MainFormBase.h"
#include "app/Save800.h"
#include "model/FixDatas.h"
#include "palettes/GetColName.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

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

void ShootLayout(std::unique_ptr<TMainFormBase> form, const QDir &out, const QString &prefix, TScriptedDialogs &dialogs)
{
    form->show();
    dialogs.Files.push_back(ProgramFile("Fixtures/demo-spot.fxr"));
    form->Controller()->LoadFixture();
    QTabWidget *tabs = form->Controls().PageControl;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setTabVisible(i, true);
        tabs->setCurrentIndex(i);
        Save(form.get(), out, prefix + "-" + tabs->widget(i)->objectName());
    }
    form->Controller()->NewFixture();
    tabs->setCurrentIndex(0);
    Save(form.get(), out, prefix + "-new");
    CurrentFixture().Saved = true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication application(argc, argv);
    QApplication::setApplicationDisplayName("Rigsmith");
    const QDir out(argc > 1 ? argv[1] : "screens");
    QDir().mkpath(out.absolutePath());
    TScriptedDialogs dialogs;

    ShootLayout(std::make_unique<TMainForm>(), out, "standard", dialogs);
    ShootLayout(std::make_unique<TMainForm800>(), out, "800", dialogs);

    TfrmLoad800 load;
    load.show();
    Save(&load, out, "dialog-load800");
    TfrmSave800 save;
    save.show();
    save.eFileName->setText("demo-spot.fxr");
    Save(&save, out, "dialog-save800");
    TfrmGetColName name;
    name.show();
    name.eCustColName->setText("Deep blue");
    Save(&name, out, "dialog-getcolname");
    std::cout << "screens written to " << out.absolutePath().toStdString() << '\n';
    return 0;
}
