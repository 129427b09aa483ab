// rigsmith: the fixture editor.

#include "Application.h"
#include "MainFormBase.h"
#include "Layout.h"
#include "QtDialogs.h"
#include "Version.h"
#include "model/FixDatas.h"

#include <memory>

int main(int argc, char *argv[])
{
    CurrentFixture();
    TApplication application(argc, argv);
    QApplication::setApplicationName("rigsmith");
    QApplication::setApplicationDisplayName("Rigsmith");
    QApplication::setApplicationVersion(RIGSMITH_VERSION);

    const QStringList arguments = QApplication::arguments();
    const bool compact = arguments.size() > 1 && arguments[1] == "800";
    LayoutColumns = compact ? 2 : 3;

    TQtDialogs dialogs;
    SetDialogs(&dialogs);
    std::unique_ptr<TMainFormBase> mainForm;
    if (compact)
        mainForm = std::make_unique<TMainForm800>();
    else
        mainForm = std::make_unique<TMainForm>();
    // The windows of the run, made once in the order the layout uses them.
    dialogs.SetMainWindow(mainForm.get());
    if (compact)
        dialogs.CreateFileListDialogs();
    dialogs.CreateDmxPanel();
    dialogs.CreateValueDialog();
    dialogs.CreateNameDialog();
    mainForm->show();
    const int status = application.exec();
    SetDialogs(nullptr);
    return status;
}
