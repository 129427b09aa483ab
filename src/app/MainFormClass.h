#pragma once

#include "MainFormControls.h"
#include "model/FixtureHistory.h"

#include <QObject>
#include <QScopedValueRollback>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class TColourCatalogs;
class TCommand;
struct TCommandLine;
class TFixture;
class TPalette;
class TPaletteBox;
class TPaletteIcons;
class TParameter;

enum class TLayout { Standard, Compact800 };

// The logic of the main window, written once for both layouts. It owns no model data: it works
// on the current fixture and remembers only what it shows.
class TMainFormClass : public QObject {
    Q_OBJECT
public:
    TMainFormClass(const TMainFormControls &controls, TLayout layout, QObject *parent = nullptr);
    ~TMainFormClass() override;

    void SetupControls();
    void WireEvents();

    // The buttons of the file group, as each layout runs them.
    void NewFixtureClick();
    void LoadFixture();
    // Loads the fixture file at path as "Load fixture" does once a file is chosen (the file
    // given on the command line); an empty path lets the user choose. False when nothing was loaded.
    bool LoadFixtureFile(const std::string &path);
    // Makes the fixture current and shows it as a loaded one, but not saved: work taken back
    // after the editor ended without saving it.
    void TakeUnsavedFixture(TFixture fixture);
    bool SaveClick();
    bool SaveAsClick();
    void CheckClick();
    // Whether the window may close; asks about unsaved changes first.
    bool CloseQuery();
    // Take back the last change to the fixture, or make again the last one taken back.
    void Undo();
    void Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const TFixtureHistory &History() const { return history_; }

    void ShowFixture();
    void NewFixture();
    bool SaveFixture();
    bool SaveFixtureAs();
    void PageChanged();
    void ApplyAttributeDefaults();

    // Attributes page
    void ClearAttributeEditor();
    void RefreshAttributeGrid();
    void EnableAttributeEditor();
    // Selects the row and shows its attribute in the editor.
    void SelectAttribute(int row);
    // The attribute (or low part) of the selected row, or nothing: the selection is the one
    // record of it.
    TParameter *CurrentAttribute() const;
    void RefreshWheels();
    void ClearWheels();
    void AttributeEdited();
    // Makes "Apply" and "Undo" of the attribute editor available, or not.
    void SetAttributeEdited(bool edited);
    void ChannelWidthClick();
    void CheckAttributeName();
    void AttributeGridClick();
    void ApplyAttribute();
    void UndoAttribute();
    void DeleteChannel();
    void MoveAttributeUp();
    void MoveAttributeDown();
    int ChannelTypeFromButtons() const;
    // One pick of the add-channel dialog; true when a button was picked, so that the standard
    // layout opens the dialog again.
    bool AddChannel();
    void AddChannelClick();

    // Commands page
    // The command whose row is selected in the command list; nothing when no row is. The
    // selection is the one record of it.
    TCommand *CurrentCommand() const;
    void RefreshCommandList();
    void CommandListSelectCell(int row);
    void RefreshCommandDetail();
    void NewCommand();
    void DeleteCommand();
    void AddCommandStep();
    void DeleteCommandStep();
    void DeleteAllCommandSteps();
    void EditCommandStep();
    // Palettes page
    // Builds the icon boxes and the colour catalogs; reports unreadable files once, at the end.
    void SetupPalettePage();
    void WirePalettePage();
    // The palette type of the shown sub-page (Gobo GB, Color CO, Intensity IN, Prism PR, Blade BL).
    uint8_t PaletteTypeOfSheet() const;
    // Makes a palette of the shown sub-page's type from an icon button or, through btnToPalette,
    // from a colour, asking for its name.
    void AddPaletteFromButton(QObject *sender);
    void AddPaletteButton(TPalette &palette);
    // Makes the palette of a palette or control button current; a control palette is made the
    // first time its button is used.
    void SelectPalette(QObject *sender);
    // The palette of the button down on the shown sub-page, or nothing: the buttons are the one
    // record of it.
    TPalette *CurrentPalette() const;
    void RebuildPaletteBoxes();
    void PaletteSheetChanged();
    void DeletePalette();
    void ColorButtonClick(QObject *sender);
    std::string FindPaletteIcon(TPalette &palette);
    const TColourCatalogs &ColourCatalogs() const { return *catalogs_; }
    TPaletteIcons &PaletteIcons() const { return *icons_; }
    void EditPaletteValue();
    void RefreshPaletteDetail();

    // DMX test controls
    void DmxMasterChange();

signals:
    // The fixture's file was just written: what was unsaved is saved.
    void Saved();
    // The fixture changed: by the user, by Undo or Redo, or as a whole (New, Load, recovery).
    void Changed();

public:
    const TMainFormControls &Controls() const { return c_; }
    TLayout Layout() const { return layout_; }

private:
    bool Is800() const { return layout_ == TLayout::Compact800; }
    // The one place where a user's change makes the fixture count as not saved, and becomes a step
    // that Undo takes back. Changes typed into one field, one after the other, make one step: the
    // field is given as typing.
    void Modified(const void *typing = nullptr);
    // A change of a base-parameter field reaches the model at once, and counts as the user's; what
    // the program itself puts into the fields is neither copied back nor counted.
    void BaseEdit(const std::function<void()> &apply, const void *typing = nullptr);
    // Starts the history afresh from the fixture as it is: after New, Load and recovery.
    void ResetHistory();
    // Shows the fixture as Undo or Redo left it, on the page and row the user was on.
    void ShowHistoryStep();
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
    // Makes the fields that the fixture's format has no place for unavailable.
    void ShowFormatFields();
    void ShowPageTabs();
    void DmxChannelChanged();
    // While it lives, the program is filling the controls: what it puts there is not the user's.
    QScopedValueRollback<bool> Filling() { return QScopedValueRollback<bool>(filling_, true); }
    int SelectedAttributeRow() const;
    TParameter *AttributeOfRow(int row) const;
    // Whether the attribute grid's selection may move to row; asks about pending edits first.
    bool AttributeMayMove(int row);
    void ShowSelectedAttribute();
    void ShowAttribute(const TParameter &p);
    // Shows the row of the entry in the grid (or keeps the row) and makes it current.
    void SelectEntry(const TParameter *entry);
    void MoveAttribute(int direction);
    // Normalizes the attribute list and rebuilds the grid, keeping the attribute shown.
    void NormalizeAttributes();
    // The grid's rows from the attribute list, with the given entry's row selected (or the row
    // that was), nothing else.
    void FillAttributeGrid(const TParameter *selected);
    // "Dmx channels" becomes the number of rows.
    void FollowRowCount();
    // The step the selected detail row shows, or nothing.
    TCommandLine *SelectedStep() const;
    void SelectCommandRow(int row);
    void FillCommandDetail();
    // Every palette's colour from its cyan, magenta and yellow values, before a save.
    void UpdatePaletteColours();
    void ApplyNameFieldRule();

    // Palettes page
    TPaletteBox *PaletteBoxOfType(uint8_t paletteType) const;
    TPaletteBox *PaletteBoxOfSheet() const;
    QAbstractButton *PaletteButtonOfSheet() const;
    TPalette *PaletteOfButton(const QAbstractButton *button) const;
    void LoadIconBox(const std::string &directory, TScrollBox *box, std::vector<std::string> &unreadable);
    void BuildColorBox(TScrollBox *box);
    void ShowLeeCatalog();

    TMainFormControls c_;
    TLayout layout_;
    std::unique_ptr<TColourCatalogs> catalogs_;
    std::unique_ptr<TPaletteIcons> icons_;
    bool filling_ = false;
    std::string lastSaveDir_; // empty: the fixtures directory
    TFixtureHistory history_;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
