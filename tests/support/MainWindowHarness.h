#pragma once

// A main window of either layout with scripted dialogs, its own program directory and a fixture
// loaded through "Load fixture", for the window tests.

#include "app/MainFormBase.h"
#include "model/FixDatas.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

class TMainWindowHarness {
public:
    TMainWindowHarness() : dialogs_(std::make_unique<TScriptedDialogs>())
    {
        SetProgramDir(dir_.path().toStdString());
        CurrentFixture().Clear();
    }
    ~TMainWindowHarness()
    {
        CurrentFixture().Saved = true; // nothing asks when the window goes
        form_.reset();
        dialogs_.reset();
        SetProgramDir({});
    }

    // Opens the layout and loads the fixture text on the given page.
    bool Open(bool compact, const QByteArray &text, QWidget *TMainFormControls::*page)
    {
        form_ = compact ? std::unique_ptr<TMainFormBase>(std::make_unique<TMainForm800>())
                        : std::unique_ptr<TMainFormBase>(std::make_unique<TMainForm>());
        const QString path = dir_.filePath("fixture.fxr");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
        file.close();
        dialogs_->Files.push_back(path.toStdString());
        form_->Controller()->LoadFixture();
        dialogs_->Shown.clear(); // what setting up the window reported is not the test's matter
        Controls().PageControl->setCurrentWidget(Controls().*page);
        return true;
    }

    TMainFormClass &Controller() { return *form_->Controller(); }
    const TMainFormControls &Controls() { return form_->Controls(); }
    TScriptedDialogs &Dialogs() { return *dialogs_; }
    TMainFormBase &Form() { return *form_; }
    const QTemporaryDir &Dir() const { return dir_; }

    // Every row of a grid, its cells joined by "|".
    static QStringList Rows(const QTableWidget *grid)
    {
        QStringList rows;
        for (int row = 0; row < grid->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < grid->columnCount(); ++column)
                cells << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
            rows << cells.join('|');
        }
        return rows;
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TScriptedDialogs> dialogs_;
    std::unique_ptr<TMainFormBase> form_;
};
