#pragma once

#include <array>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QWidget;
class TGlyphButton;
class TPaletteBox;
class TRadioGroup;
class TScrollBox;
class TToggleGroup;

enum class TLayout { Standard, Compact800 };

// The controls of a main-window layout, one per role, in one part for the window and one for each
// page. A control that a layout does not have stays null, and its page leaves it alone.

// The window's own: the tabs, the status bar and the file commands.
struct TWindowControls {
    QWidget *Form = nullptr;
    QTabWidget *PageControl = nullptr;
    QStatusBar *StatusBar = nullptr;

    QLineEdit *FileName = nullptr;
    QComboBox *FileVersion = nullptr;
    QPushButton *btnNewFixture = nullptr;
    QPushButton *btnLoadFixture = nullptr;
    QPushButton *btnSaveFixture = nullptr;
    QPushButton *btnSaveAsFixture = nullptr;
    QPushButton *btnFixtureCheck = nullptr;
    QPushButton *btnExit = nullptr;
};

// The base parameters: a tab of the compact layout, the header of the standard one.
struct TBaseParametersControls {
    QWidget *BaseParametersPage = nullptr;
    QLineEdit *FixtureName = nullptr;
    QLineEdit *Brand = nullptr;
    QComboBox *MacType = nullptr;
    QComboBox *DmxChannel = nullptr;
    QComboBox *DmxSplitChannel = nullptr;
    QLineEdit *Author = nullptr;
    QLineEdit *Revision = nullptr;
    QDateEdit *LastUpdate = nullptr;
    QPlainTextEdit *Comment = nullptr;
    QSpinBox *PanAngleMin = nullptr;
    QSpinBox *PanAngleMax = nullptr;
    QSpinBox *TiltAngleMin = nullptr;
    QSpinBox *TiltAngleMax = nullptr;

    // DMX test controls
    QScrollBar *DmxMaster = nullptr;
    QLineEdit *DmxValue = nullptr;
    QLineEdit *DmxPercent = nullptr;
    QPushButton *btnDmxPanel = nullptr;
};

// The attributes page: the nine channel-type buttons in one group, Intens first.
struct TAttributesControls {
    QWidget *AttributesPage = nullptr;
    std::array<QToolButton *, 9> ChannelTypeButtons{};
    TToggleGroup *ChannelTypes = nullptr;
    std::array<QLineEdit *, 16> Wheels{};
    QLineEdit *AttributeName = nullptr;
    QComboBox *Priority = nullptr;
    QComboBox *Patch = nullptr;
    QComboBox *PatchLow = nullptr;
    QComboBox *Path = nullptr;
    QComboBox *DmxMinValue = nullptr;
    QComboBox *DmxMaxValue = nullptr;
    TRadioGroup *chWidth = nullptr;
    TRadioGroup *ControlType = nullptr;
    QComboBox *Hinherit = nullptr;
    QComboBox *ShowOnEditor = nullptr;
    QTableWidget *AttributesChannelList = nullptr;
    QPushButton *btnApplyParam = nullptr;
    QPushButton *btnUndoParam = nullptr;
    QPushButton *btnAddCh = nullptr;
    QPushButton *btnDeleteCh = nullptr;
    QPushButton *btnAttrUp = nullptr;
    QPushButton *btnAttrDown = nullptr;
};

struct TCommandsControls {
    QWidget *CommandPage = nullptr;
    QTableWidget *CommandList = nullptr;
    QTableWidget *AvailableChannelList = nullptr;
    QTableWidget *CommandChannelList = nullptr;
    QPushButton *btnAddCommand = nullptr;
    QPushButton *btnDeleteCommand = nullptr;
    QPushButton *btnSendCommand = nullptr; // plays the selected command on the live output
    QPushButton *btnAddCommandCh = nullptr;
    QPushButton *btnDeleteCommandCh = nullptr;
    QPushButton *btnDeleteAllCommandCh = nullptr;
};

// The palettes page: the sub-pages in tab order, Gobo first.
struct TPalettesControls {
    QWidget *PalettePage = nullptr;
    QTableWidget *PaletteChannelList = nullptr;
    QGroupBox *PaletteDetail = nullptr;
    QTabWidget *PalettePageControl = nullptr;
    QWidget *GoboSheet = nullptr;
    QWidget *ColorSheet = nullptr;
    QWidget *IntensitySheet = nullptr;
    QWidget *PrismSheet = nullptr;
    QWidget *BladeSheet = nullptr;
    QWidget *ControlSheet = nullptr;
    TScrollBox *GoboScrollBox = nullptr;
    TScrollBox *IntensityScrollBox = nullptr;
    TScrollBox *PrismScrollBox = nullptr;
    TScrollBox *BladeScrollBox = nullptr;
    TPaletteBox *GoboPaletteBox = nullptr;
    TPaletteBox *ColorPaletteBox = nullptr;
    TPaletteBox *IntensityPaletteBox = nullptr;
    TPaletteBox *PrismPaletteBox = nullptr;
    TPaletteBox *BladePaletteBox = nullptr;
    // The "<" buttons; the 800 layout names the last three Button1 to Button3.
    QPushButton *DeleteGoboPalette = nullptr;
    QPushButton *DeleteColorPalette = nullptr;
    QPushButton *DeleteIntensityPalette = nullptr;
    QPushButton *DeletePrismPalette = nullptr;
    QPushButton *DeleteBladePalette = nullptr;
    // The control buttons: Full selects "Standby", StandBy "HiLite", Locate "Locate".
    TGlyphButton *Full = nullptr;
    TGlyphButton *StandBy = nullptr;
    TGlyphButton *Locate = nullptr;
    // The colour group: the Lee catalog, the hidden custom colours and the hidden carrier of a
    // clicked colour's description.
    QGroupBox *ColorGroup = nullptr;
    TScrollBox *sbLee = nullptr;
    TScrollBox *sbCust = nullptr;
    QPushButton *btnToPalette = nullptr;
};

// All of a layout's controls, as the window hands them out.
struct TMainFormControls : TWindowControls,
                           TBaseParametersControls,
                           TAttributesControls,
                           TCommandsControls,
                           TPalettesControls {};
