#pragma once

#include "Page.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class TColourCatalogs;
class TPalette;
class TPaletteBox;
class TPaletteIcons;
class TScrollBox;

// The palettes page: the palette boxes of the five palette types, the icon boxes and the colour
// catalogs that make palettes, the control palettes, and the detail grid of the palette shown.
class TPalettesPage : public TPage {
public:
    // Makes the page's controls in the layout's arrangement.
    static void Build(QWidget *page, TPalettesControls &c, TLayout layout);

    // The page's controls are built into controls.PalettePage later, and filled in then.
    TPalettesPage(TPalettesControls &controls, const TPageLink &link, QObject *parent);
    ~TPalettesPage() override;

    // The page was entered: the boxes are made anew from the fixture's palettes.
    void Entered() override;
    QWidget *FocusHome() const override;
    void RefreshPaletteDetail();
    // The palette of the button down on the shown sub-page, or nothing: the buttons are the one
    // record of it.
    TPalette *CurrentPalette() const;
    std::string FindPaletteIcon(TPalette &palette);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The palette type of the shown sub-page (Gobo GB, Color CO, Intensity IN, Prism PR, Blade BL).
    uint8_t PaletteTypeOfSheet() const;
    // Makes a palette of the shown sub-page's type from an icon button or, through btnToPalette,
    // from a colour, asking for its name.
    void AddPaletteFromButton(QObject *sender);
    void AddPaletteButton(TPalette &palette);
    // Makes the palette of a palette or control button current; a control palette is made the
    // first time its button is used.
    void SelectPalette(QObject *sender);
    void RebuildPaletteBoxes();
    void PaletteSheetChanged();
    void DeletePalette();
    void ColorButtonClick(QObject *sender);
    void EditPaletteValue();
    // The page's controls, the icon boxes, the colour catalogs and their about 400 buttons, which
    // the window need not wait for: made at the first turn of the event loop, once the window is
    // shown, or before that where the page needs them.
    void SetupOnce();
    void Wire();
    // Builds the icon boxes and the colour catalogs; reports unreadable files once, at the end.
    void Setup();
    TPaletteBox *PaletteBoxOfType(uint8_t paletteType) const;
    TPaletteBox *PaletteBoxOfSheet() const;
    QAbstractButton *PaletteButtonOfSheet() const;
    TPalette *PaletteOfButton(const QAbstractButton *button) const;
    void LoadIconBox(const std::string &directory, TScrollBox *box, std::vector<std::string> &unreadable);
    void BuildColorBox(TScrollBox *box);
    void ShowLeeCatalog();

    TPalettesControls &c_; // the window's
    std::unique_ptr<TColourCatalogs> catalogs_;
    std::unique_ptr<TPaletteIcons> icons_;
};
