#pragma once

#include "platform/UserDialogs.h"

#include <QDialog>

#include <istream>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QResizeEvent;
class QTabWidget;

// One button of a list of predefined attributes or commands.
struct TPredefinedButton {
    std::string Caption;
    std::string Icon;
    int32_t Descriptor = 0;
    int Row = 0; // the row of its box, from 0
};

struct TPredefinedBox {
    std::string Caption;
    std::vector<TPredefinedButton> Buttons;
};

struct TPredefinedTab {
    std::string Caption;
    std::vector<TPredefinedBox> Boxes;
};

// Reads a list of predefined names ("AddChannel.ini", "AddCommand.ini"). Throws EFixtureError
// with the line-numbered message of the first error; listFileName is the name the messages give.
std::vector<TPredefinedTab> ParsePredefinedList(std::istream &in, const std::string &listFileName);

// What the picker keeps from one opening to the next, owned by whoever opens it.
struct TAddChannelMemory {
    bool Compact = false; // the compact layout's picker has a fixed height
    int Page = 0;         // the page shown last, for every list the picker is built from
};

// The picker of predefined attributes or commands: tabs of boxes of picture buttons.
class TfrmAddChannel : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog from the list file in the program's directory, with its pictures from
    // the Bitmaps directory there. Throws EInOutError when a file cannot be read, EFixtureError
    // for an error in the list.
    TfrmAddChannel(QWidget *parent, const std::string &caption, const std::string &listFile, TAddChannelMemory &memory);

    // Builds, shows on the page shown last, and runs the dialog: the picked button, or nothing for
    // "Exit" or a closed window.
    static std::optional<TPredefinedPick> PickPredefinedName(QWidget *parent, const std::string &caption,
                                                             const std::string &listFile, TAddChannelMemory &memory);

    QTabWidget *PageControl;
    QPushButton *Button1;
    std::optional<TPredefinedPick> Picked;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    TAddChannelMemory &memory_;
    void BuildPages(const std::vector<TPredefinedTab> &tabs);
    void AddButton(QWidget *box, const TPredefinedButton &button, int column);
    void FitWindow(int contentHeight);
    void PlaceControls();
    void PageControlChange(int index);

    int buttonCount_ = 0;
    int boxCount_ = 0;
};
