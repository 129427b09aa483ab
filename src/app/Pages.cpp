#include "Pages.h"

#include "Widgets.h"
#include "palettes/PaletteIcons.h"
#include "palettes/PaletteWidgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <class T, class... Args> T *Make(const char *name, QWidget *parent, Args &&...args)
{
    auto *control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    return control;
}

QPushButton *Button(const char *name, const QString &caption, QWidget *parent)
{
    return Make<QPushButton>(name, parent, caption);
}

QComboBox *List(const char *name, QWidget *parent, const QStringList &items = {})
{
    auto *list = Make<QComboBox>(name, parent);
    list->addItems(items);
    list->setMaxVisibleItems(16);
    return list;
}

// A list of numbers, no wider than its numbers need.
QComboBox *NumberList(const char *name, QWidget *parent)
{
    QComboBox *list = List(name, parent);
    list->setMaximumWidth(72);
    return list;
}

QSpinBox *Angle(const char *name, QWidget *parent, int maximum)
{
    auto *spin = Make<QSpinBox>(name, parent);
    spin->setRange(0, maximum);
    spin->setMaximumWidth(70);
    return spin;
}

QGroupBox *Group(const QString &caption, QWidget *parent)
{
    return new QGroupBox(caption, parent);
}

// A form whose labels keep a gap to their fields.
QFormLayout *Form(QWidget *parent)
{
    auto *form = new QFormLayout(parent);
    form->setHorizontalSpacing(8);
    return form;
}

void HideRow(QFormLayout *form, QWidget *field)
{
    form->setRowVisible(field, false);
}

} // namespace

namespace pages {

void BaseFields(QWidget *parent, TMainFormControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *grid = new QGridLayout(parent);
    grid->setHorizontalSpacing(10);
    c.FixtureName = Make<QLineEdit>("FixtureName", parent);
    // Room for a name such as "Demo Spot 700 B" without scrolling.
    c.FixtureName->setMinimumWidth(c.FixtureName->fontMetrics().horizontalAdvance("Demo Spot 700 B") + 16);
    c.Brand = Make<QLineEdit>("Brand", parent);
    c.MacType = List("MacType", parent, {"Moving mirror", "Moving head", "Dimmer", "Other"});
    c.DmxChannel = List("DmxChannel", parent);
    c.DmxSplitChannel = List("DmxSplitChannel", parent);
    c.DmxSplitChannel->hide();
    c.Author = Make<QLineEdit>("Author", parent);
    c.Revision = Make<QLineEdit>("Revision", parent);
    c.LastUpdate = Make<QDateEdit>("LastUpdate", parent);
    c.LastUpdate->setDisplayFormat("dd/MM/yyyy");
    c.LastUpdate->setEnabled(false);
    c.Comment = Make<QPlainTextEdit>("Comment", parent);
    c.PanAngleMin = Angle("PanAngleMin", parent, 720);
    c.PanAngleMax = Angle("PanAngleMax", parent, 720);
    c.TiltAngleMin = Angle("TiltAngleMin", parent, 360);
    c.TiltAngleMax = Angle("TiltAngleMax", parent, 360);

    auto *left = Form(nullptr);
    left->addRow("Fixture", c.FixtureName);
    left->addRow("Brand", c.Brand);
    left->addRow("Type", c.MacType);
    left->addRow("Dmx channels", c.DmxChannel);
    left->addRow("Dmx split channels", c.DmxSplitChannel);
    HideRow(left, c.DmxSplitChannel);
    auto *middle = Form(nullptr);
    middle->addRow("Author", c.Author);
    middle->addRow("Revision", c.Revision);
    middle->addRow("Date", c.LastUpdate);
    // The angles are edited only in the compact layout.
    middle->addRow("Pan angle min", c.PanAngleMin);
    middle->addRow("Pan angle max", c.PanAngleMax);
    middle->addRow("Tilt angle min", c.TiltAngleMin);
    middle->addRow("Tilt angle max", c.TiltAngleMax);
    if (!compact)
        for (QWidget *angle : {c.PanAngleMin, c.PanAngleMax, c.TiltAngleMin, c.TiltAngleMax})
            HideRow(middle, angle);
    auto *comment = new QVBoxLayout;
    comment->addWidget(new QLabel("Comment", parent));
    comment->addWidget(c.Comment);
    if (compact) {
        grid->addLayout(left, 0, 0);
        grid->addLayout(middle, 0, 1);
        grid->addLayout(comment, 1, 0, 1, 2);
    } else {
        grid->addLayout(left, 0, 0);
        grid->addLayout(middle, 0, 1);
        grid->addLayout(comment, 0, 2);
        grid->setColumnStretch(0, 3);
        grid->setColumnStretch(1, 3);
        grid->setColumnStretch(2, 4);
    }
}

void FileGroup(QWidget *parent, TMainFormControls &c, TLayout layout)
{
    auto *grid = new QGridLayout(parent);
    c.FileName = Make<QLineEdit>("FileName", parent);
    c.FileName->setReadOnly(true);
    c.btnNewFixture = Button("btnNewFixture", "New fixture", parent);
    c.btnLoadFixture = Button("btnLoadFixture", "Load fixture", parent);
    c.btnSaveFixture = Button("btnSaveFixture", "Save", parent);
    c.btnSaveAsFixture = Button("btnSaveAsFixture", "Save As", parent);
    c.btnFixtureCheck = Button("btnFixtureCheck", "Check", parent);
    c.btnExit = Button("btnExit", "Exit", parent);
    c.FileVersion = List("FileVersion", parent, {"1.0", "2.0"});
    auto *versionLabel = new QLabel("File version", parent);
    grid->addWidget(c.FileName, 0, 0, 1, 3);
    grid->addWidget(c.btnNewFixture, 1, 0);
    grid->addWidget(c.btnLoadFixture, 1, 1);
    grid->addWidget(c.btnSaveFixture, 1, 2);
    grid->addWidget(c.btnSaveAsFixture, 2, 0);
    grid->addWidget(c.btnFixtureCheck, 2, 1);
    grid->addWidget(c.btnExit, 2, 2);
    grid->addWidget(versionLabel, 3, 0);
    grid->addWidget(c.FileVersion, 3, 1);
    // The standard layout keeps the version a fixture was loaded with.
    if (layout == TLayout::Standard) {
        versionLabel->hide();
        c.FileVersion->hide();
        c.FileVersion->setEnabled(false);
    }
}

void Attributes(QWidget *page, TMainFormControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *row = new QHBoxLayout(page);

    // The channel grid with the buttons that change the list.
    auto *channels = Group(" Channels ", page);
    auto *channelsLayout = new QVBoxLayout(channels);
    c.AttributesChannelList = Make<QTableWidget>("AttributesChannelList", channels);
    c.AttributesChannelList->setFixedWidth(compact ? 205 : 200);
    channelsLayout->addWidget(c.AttributesChannelList);
    auto *moves = new QHBoxLayout;
    c.btnAttrUp = Button("btnAttrUp", compact ? "UP" : "Move Up", channels);
    c.btnAttrDown = Button("btnAttrDown", compact ? "DOWN" : "Move Down", channels);
    moves->addWidget(c.btnAttrUp);
    moves->addWidget(c.btnAttrDown);
    channelsLayout->addLayout(moves);
    auto *changes = new QHBoxLayout;
    c.btnDeleteCh = Button("btnDeleteCh", "Delete channel", channels);
    c.btnAddCh = Button("btnAddCh", "Add channel", channels);
    c.btnAddCh->setMinimumHeight(compact ? 0 : 40);
    changes->addWidget(c.btnDeleteCh);
    changes->addWidget(c.btnAddCh);
    channelsLayout->addLayout(changes);
    row->addWidget(channels);

    // The attribute editor.
    auto *editor = new QVBoxLayout;
    auto *types = new QHBoxLayout;
    types->setSpacing(2);
    c.ChannelTypes = new TToggleGroup(page);
    const char *typeNames[] = {"chTypeIntens", "chTypePT",  "chTypeColor",  "chTypeGobo", "chTypePrism",
                               "chTypeBlade",  "chTypeCMY", "chTypeEffect", "chTypeGrab"};
    const char *typeCaptions[] = {"Intens", "P/T", "Color", "Gobo", "Prism", "Blade", "CMY", "Effect", "Grab"};
    for (std::size_t i = 0; i < 9; ++i) {
        auto *button = Make<QToolButton>(typeNames[i], page);
        button->setText(typeCaptions[i]);
        button->setMinimumWidth(48);
        c.ChannelTypes->Add(button);
        c.ChannelTypeButtons[i] = button;
        types->addWidget(button);
        if (i >= 6) {
            button->hide();
            button->setEnabled(false);
        }
    }
    types->addStretch();
    editor->addLayout(types);

    auto *attribute = Group(" Attribute ", page);
    auto *attributeForm = Form(attribute);
    c.AttributeName = Make<QLineEdit>("AttributeName", attribute);
    c.Priority = NumberList("Priority", attribute);
    attributeForm->addRow("Attribute name", c.AttributeName);
    attributeForm->addRow("Priority", c.Priority);
    if (!compact)
        HideRow(attributeForm, c.Priority);
    editor->addWidget(attribute);

    auto *patchAndPath = new QHBoxLayout;
    auto *patch = Group(" Patch ", page);
    auto *patchForm = Form(patch);
    c.Patch = NumberList("Patch", patch);
    c.PatchLow = NumberList("PatchLow", patch);
    c.PatchLow->setEnabled(false);
    patchForm->addRow("Internal patch", c.Patch);
    patchForm->addRow("Internal patch low", c.PatchLow);
    c.chWidth = Make<TRadioGroup>("chWidth", patch, " Channel width ", QStringList{"8 bit", "16 bit"});
    patchForm->addRow(c.chWidth);
    patchAndPath->addWidget(patch);
    auto *pathColumn = new QVBoxLayout;
    auto *pathForm = Form(nullptr);
    c.Path = List("Path", page, {"Linear", "Snap start", "Snap end"});
    pathForm->addRow("Path", c.Path);
    pathColumn->addLayout(pathForm);
    c.ControlType = Make<TRadioGroup>("ControlType", page, " Control type ", QStringList{"HTP", "LTP"});
    pathColumn->addWidget(c.ControlType);
    pathColumn->addStretch();
    patchAndPath->addLayout(pathColumn);
    editor->addLayout(patchAndPath);

    auto *values = new QHBoxLayout;
    auto *dmx = Group(" Dmx value ", page);
    auto *dmxForm = Form(dmx);
    c.DmxMinValue = NumberList("DmxMinValue", dmx);
    c.DmxMaxValue = NumberList("DmxMaxValue", dmx);
    dmxForm->addRow("Dmx min value", c.DmxMinValue);
    dmxForm->addRow("Dmx max value", c.DmxMaxValue);
    values->addWidget(dmx);
    auto *other = Group(" Other parameters ", page);
    auto *otherForm = Form(other);
    c.Hinherit = List("Hinherit", other, {"Yes", "No"});
    c.Hinherit->setMaximumWidth(72);
    c.ShowOnEditor = List("ShowOnEditor", other, {"Yes", "No"});
    c.ShowOnEditor->setMaximumWidth(72);
    otherForm->addRow("Hinherit", c.Hinherit);
    otherForm->addRow("Show on editor", c.ShowOnEditor);
    values->addWidget(other);
    other->setVisible(compact);
    editor->addLayout(values);

    auto *apply = new QHBoxLayout;
    c.btnApplyParam = Button("btnApplyParam", compact ? "Apply" : "Apply changes", page);
    c.btnUndoParam = Button("btnUndoParam", compact ? "Undo param" : "Cancel changes", page);
    c.btnApplyParam->setEnabled(false);
    c.btnUndoParam->setEnabled(false);
    apply->addWidget(c.btnApplyParam);
    apply->addWidget(c.btnUndoParam);
    editor->addLayout(apply);

    // The wheel fields: sixteen attributes of the selected attribute's type. The compact layout
    // has no room for the wheel pictures and puts the fields under the editor.
    auto *wheels = new QGridLayout;
    wheels->setSpacing(4);
    const int firstFieldRow = compact ? 0 : 1;
    if (!compact)
        for (int column = 0; column < 4; ++column)
            wheels->addWidget(new TWheelPicture(page), 0, column, Qt::AlignHCenter);
    for (std::size_t i = 0; i < 16; ++i) {
        auto *wheel = new QLineEdit(page);
        wheel->setObjectName(QString("Wheel%1").arg(i + 1));
        wheel->setReadOnly(true);
        wheel->setEnabled(false);
        if (!compact)
            wheel->setFixedWidth(90);
        c.Wheels[i] = wheel;
        wheels->addWidget(wheel, firstFieldRow + static_cast<int>(i / 4), static_cast<int>(i % 4));
    }
    if (compact) {
        editor->addSpacing(6);
        editor->addLayout(wheels);
        editor->addStretch();
        row->addLayout(editor, 1);
    } else {
        editor->addStretch();
        row->addLayout(editor, 1);
        auto *wheelColumn = new QVBoxLayout;
        wheelColumn->addLayout(wheels);
        wheelColumn->addStretch();
        row->addLayout(wheelColumn);
    }
}

void Commands(QWidget *page, TMainFormControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *row = new QHBoxLayout(page);

    auto *commands = Group(" Commands ", page);
    auto *commandsLayout = new QVBoxLayout(commands);
    c.CommandList = Make<QTableWidget>("CommandList", commands);
    // The compact layout gives the command's steps the width of their four columns.
    c.CommandList->setFixedWidth(compact ? 150 : 205);
    commandsLayout->addWidget(c.CommandList);
    c.btnAddCommand = Button("btnAddCommand", "Add command", commands);
    c.btnDeleteCommand = Button("btnDeleteCommand", "Delete command", commands);
    commandsLayout->addWidget(c.btnAddCommand);
    commandsLayout->addWidget(c.btnDeleteCommand);
    // Plays the selected command on the live output of the DMX panel.
    commandsLayout->addWidget(Button("btnSendCommand", "Send", commands));
    row->addWidget(commands);

    auto *available = Group(compact ? " Available channels " : " Available attributes", page);
    auto *availableLayout = new QVBoxLayout(available);
    c.AvailableChannelList = Make<QTableWidget>("AvailableChannelList", available);
    c.AvailableChannelList->setFixedWidth(compact ? 170 : 205);
    availableLayout->addWidget(c.AvailableChannelList);
    row->addWidget(available);

    // The buttons that move attributes into the command and steps out of it.
    auto *moves = new QVBoxLayout;
    moves->addStretch();
    c.btnAddCommandCh = Button("btnAddCommandCh", ">", page);
    c.btnDeleteCommandCh = Button("btnDeleteCommandCh", "<", page);
    c.btnDeleteAllCommandCh = Button("btnDeleteAllCommandCh", "<<", page);
    for (QPushButton *button : {c.btnAddCommandCh, c.btnDeleteCommandCh, c.btnDeleteAllCommandCh}) {
        button->setFixedWidth(40);
        moves->addWidget(button);
    }
    moves->addStretch();
    row->addLayout(moves);

    auto *detail = Group(compact ? " Command channels " : " Command detail", page);
    auto *detailLayout = new QVBoxLayout(detail);
    c.CommandChannelList = Make<QTableWidget>("CommandChannelList", detail);
    detailLayout->addWidget(c.CommandChannelList);
    row->addWidget(detail, 1);
}

void Palettes(QWidget *page, TMainFormControls &c, TLayout layout)
{
    const bool compact = layout == TLayout::Compact800;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(4, 4, 4, 4);
    c.PalettePageControl = Make<QTabWidget>("PalettePageControl", page);
    c.PalettePageControl->setTabPosition(QTabWidget::South);
    row->addWidget(c.PalettePageControl, 1);

    const auto sheet = [&](const char *name, const char *caption) {
        auto *widget = new QWidget(c.PalettePageControl);
        widget->setObjectName(name);
        c.PalettePageControl->addTab(widget, caption);
        auto *columns = new QHBoxLayout(widget);
        columns->setContentsMargins(4, 4, 4, 4);
        return widget;
    };
    const auto columnsOf = [](QWidget *widget) { return static_cast<QHBoxLayout *>(widget->layout()); };
    // The palette box of a sub-page with its "<" beside it.
    const auto paletteColumn = [&](QWidget *widget, const char *boxName, const char *deleteName, TPaletteBox *&box,
                                   QPushButton *&deleteButton) {
        auto *group = Group(" Palette ", widget);
        auto *inside = new QVBoxLayout(group);
        inside->setContentsMargins(4, 4, 4, 4);
        box = new TPaletteBox(boxName, group);
        inside->addWidget(box);
        columnsOf(widget)->addWidget(group);
        deleteButton = Button(deleteName, "<", widget);
        deleteButton->setFixedWidth(28);
        columnsOf(widget)->addWidget(deleteButton, 0, Qt::AlignVCenter);
    };
    // Icon boxes are as wide as their columns of icons.
    const int iconBoxWidth = 3 + TPaletteBox::ButtonWidth * (compact ? 2 : 3) + 3;
    const auto iconColumn = [&](QWidget *widget, const char *boxName, TScrollBox *&box) {
        auto *group = Group(" Icons ", widget);
        auto *inside = new QVBoxLayout(group);
        inside->setContentsMargins(4, 4, 4, 4);
        box = new TScrollBox(boxName, iconBoxWidth, group);
        inside->addWidget(box);
        columnsOf(widget)->addWidget(group);
        columnsOf(widget)->addStretch();
    };

    c.GoboSheet = sheet("GoboSheet", "Gobo");
    paletteColumn(c.GoboSheet, "GoboPaletteBox", "DeleteGoboPalette", c.GoboPaletteBox, c.DeleteGoboPalette);
    iconColumn(c.GoboSheet, "GoboScrollBox", c.GoboScrollBox);

    c.ColorSheet = sheet("ColorSheet", "Color");
    paletteColumn(c.ColorSheet, "ColorPaletteBox", "DeleteColorPalette", c.ColorPaletteBox, c.DeleteColorPalette);
    c.ColorGroup = Group(" Colors ", c.ColorSheet);
    c.ColorGroup->setObjectName("ColorGroup");
    auto *colours = new QVBoxLayout(c.ColorGroup);
    colours->setContentsMargins(4, 4, 4, 4);
    // Five colour buttons a row: the inside is a multiple of five wide.
    const int catalogWidth = compact ? 290 : 400;
    c.sbLee = new TScrollBox("sbLee", catalogWidth, c.ColorGroup);
    c.sbCust = new TScrollBox("sbCust", catalogWidth, c.ColorGroup);
    c.sbLee->hide();
    c.sbCust->hide();
    colours->addWidget(c.sbLee);
    colours->addWidget(c.sbCust);
    c.btnToPalette = Button("btnToPalette", "To palette", c.ColorGroup);
    c.btnToPalette->hide();
    columnsOf(c.ColorSheet)->addWidget(c.ColorGroup);
    columnsOf(c.ColorSheet)->addStretch();

    c.IntensitySheet = sheet("IntensitySheet", "Intensity");
    paletteColumn(c.IntensitySheet, "IntensityPaletteBox", compact ? "Button1" : "DeleteIntensityPalette",
                  c.IntensityPaletteBox, c.DeleteIntensityPalette);
    iconColumn(c.IntensitySheet, "IntensityScrollBox", c.IntensityScrollBox);

    c.PrismSheet = sheet("PrismSheet", "Prism");
    paletteColumn(c.PrismSheet, "PrismPaletteBox", compact ? "Button2" : "DeletePrismPalette", c.PrismPaletteBox,
                  c.DeletePrismPalette);
    iconColumn(c.PrismSheet, "PrismScrollBox", c.PrismScrollBox);

    c.BladeSheet = sheet("BladeSheet", "Blade");
    paletteColumn(c.BladeSheet, "BladePaletteBox", compact ? "Button3" : "DeleteBladePalette", c.BladePaletteBox,
                  c.DeleteBladePalette);
    iconColumn(c.BladeSheet, "BladeScrollBox", c.BladeScrollBox);

    c.ControlSheet = sheet("ControlSheet", "Control");
    auto *controls = Group(" Controls ", c.ControlSheet);
    auto *controlsInside = new QVBoxLayout(controls);
    auto *stack = new QWidget(controls);
    stack->setFixedSize(TPaletteBox::ButtonWidth, 3 * TPaletteBox::ButtonHeight);
    controlsInside->addWidget(stack);
    controlsInside->addStretch();
    auto *controlGroup = new TToggleGroup(controls);
    const auto controlButton = [&](const char *name, const char *caption, int top) {
        auto *button = new TGlyphButton(caption, ControlPicture(caption), stack);
        button->setObjectName(name);
        button->Tag = 7;
        button->move(0, top);
        controlGroup->Add(button);
        return button;
    };
    c.Full = controlButton("Full", "Standby", 0);
    c.StandBy = controlButton("StandBy", "HiLite", TPaletteBox::ButtonHeight);
    c.Locate = controlButton("Locate", "Locate", 2 * TPaletteBox::ButtonHeight);
    columnsOf(c.ControlSheet)->addWidget(controls);
    columnsOf(c.ControlSheet)->addStretch();

    c.PaletteDetail = Group(compact ? " Channels " : "Palette detail", page);
    c.PaletteDetail->setObjectName("PaletteDetail");
    auto *detail = new QVBoxLayout(c.PaletteDetail);
    detail->setContentsMargins(4, 4, 4, 4);
    c.PaletteChannelList = Make<QTableWidget>("PaletteChannelList", c.PaletteDetail);
    const int columnsWidth = compact ? 42 + 121 + 64 : 42 + 155 + 61;
    c.PaletteChannelList->setFixedWidth(columnsWidth + c.PaletteChannelList->verticalScrollBar()->sizeHint().width() +
                                        2 * c.PaletteChannelList->frameWidth());
    detail->addWidget(c.PaletteChannelList);
    row->addWidget(c.PaletteDetail);
}

void DmxTest(QWidget *parent, TMainFormControls &c)
{
    auto *grid = new QGridLayout(parent);
    c.DmxMaster = Make<QScrollBar>("DmxMaster", parent, Qt::Vertical);
    c.DmxMaster->setRange(0, 255);
    c.DmxMaster->setMinimumHeight(150);
    c.DmxValue = Make<QLineEdit>("DmxValue", parent);
    c.DmxPercent = Make<QLineEdit>("DmxPercent", parent);
    for (QLineEdit *box : {c.DmxValue, c.DmxPercent}) {
        box->setReadOnly(true);
        box->setMaximumWidth(60);
    }
    c.btnDmxPanel = Button("btnDmxPanel", "Dmx panel", parent);
    grid->addWidget(c.DmxMaster, 0, 0, 3, 1);
    grid->addWidget(c.DmxValue, 0, 1);
    grid->addWidget(c.DmxPercent, 1, 1);
    grid->addWidget(c.btnDmxPanel, 2, 1);
}

} // namespace pages

void TWheelPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().windowText(), 1));
    painter.setBrush(palette().button());
    const QRectF wheel = QRectF(rect()).adjusted(2, 2, -2, -2);
    painter.drawEllipse(wheel);
    painter.setBrush(palette().base());
    const double hole = wheel.width() / 5;
    painter.drawEllipse(QPointF(wheel.center().x() - hole, wheel.top() + hole * 1.4), hole / 1.6, hole / 1.6);
    painter.drawEllipse(QPointF(wheel.center().x() + hole, wheel.top() + hole * 1.4), hole / 1.6, hole / 1.6);
}
