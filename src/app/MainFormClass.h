#pragma once

#include "MainFormControls.h"
#include "model/FixClasses.h"
#include "model/FixtureHistory.h"

#include <QObject>

#include <string>

class TAttributesPage;
class TBaseParametersPage;
class TCommandsPage;
class TPalettesPage;

// The main window's controller, written once for both layouts: it owns the fixture being edited
// and its undo history, runs the file commands, and wires the pages, which do the rest.
class TMainFormClass : public QObject {
    Q_OBJECT
public:
    // The Palettes page fills in its part of controls when it builds itself.
    TMainFormClass(TMainFormControls &controls, TLayout layout, QObject *parent = nullptr);
    ~TMainFormClass() override;

    TFixture &Fixture() { return fixture_; }
    TAttributesPage &Attributes() const { return *attributes_; }
    TCommandsPage &Commands() const { return *commands_; }
    TPalettesPage &Palettes() const { return *palettes_; }

    // The file commands, as each layout runs them.
    void NewFixture();
    void LoadFixture();
    // Loads the fixture file at path as "Load fixture" does once a file is chosen (the file
    // given on the command line); an empty path lets the user choose. False when nothing was loaded.
    bool LoadFixtureFile(const std::string &path);
    // Makes the fixture current and shows it as a loaded one, but not saved: work taken back
    // after the editor ended without saving it.
    void TakeUnsavedFixture(TFixture fixture);
    bool SaveClick();
    bool SaveAsClick();
    // Whether the window may close; asks about unsaved changes first.
    bool CloseQuery();
    // Take back the last change to the fixture, or make again the last one taken back.
    void Undo();
    void Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // Fills every page from the fixture.
    void ShowFixture();

signals:
    // The fixture's file was just written: what was unsaved is saved.
    void Saved();
    // The fixture changed: by the user, by Undo or Redo, or as a whole (New, Load, recovery).
    void Changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Is800() const { return layout_ == TLayout::Compact800; }
    void Wire();
    // The one place where a user's change makes the fixture count as not saved, and becomes a step
    // that Undo takes back. Changes typed into one field, one after the other, make one step: the
    // field is given as typing.
    void Modified(const void *typing = nullptr);
    // Starts the history afresh from the fixture as it is: after New, Load and recovery.
    void ResetHistory();
    // Shows the fixture as Undo or Redo left it, on the page and row the user was on.
    void ShowHistoryStep();
    void NewFixtureClick();
    void CheckClick();
    bool SaveFixture();
    bool SaveFixtureAs();
    // Asks about unsaved changes; false when the user cancels or the save did not happen.
    bool MaybeSave(bool withLayoutCheck);
    void ShowLoadedFixture();
    void SetFileFromPath(const std::string &path);
    // The save dialogs: false when the user cancelled (or gave no name).
    bool ChooseSaveFile(const std::string &proposed);
    bool ChooseFileListName();
    // The file a save writes to, and where the next save dialog opens.
    struct TFileTarget {
        std::string FileName;
        std::string FileDir;
        std::string LastSaveDir;
    };
    TFileTarget FileTarget() const;
    // Brings the palette colours up to date, saves, and shows the file's state. When the write
    // fails, the fixture goes back to the file it had before a name was chosen for this save.
    bool WriteFixture(const TFileTarget &before);
    void ShowFileState();
    // The commands and palettes pages are there while the fixture has attributes.
    void ShowPageTabs();
    void PageChanged();
    // Every palette's colour from its cyan, magenta and yellow values, before a save.
    void UpdatePaletteColours();

    TWindowControls c_;
    TLayout layout_;
    TFixture fixture_;
    TFixtureHistory history_;
    std::string lastSaveDir_; // empty: the fixtures directory
    TBaseParametersPage *base_ = nullptr;
    TAttributesPage *attributes_ = nullptr;
    TCommandsPage *commands_ = nullptr;
    TPalettesPage *palettes_ = nullptr;
};
