#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Every message box, confirmation and file or input dialog the program shows goes through this
// interface, so that the core never depends on a toolkit and tests can script the answers.
// Texts are Windows-1252 bytes like all text of the core.

enum class TMessageKind { Warning, Information, Plain, Error };
enum class TAnswer { Yes, No, Cancel };

struct TFileDialogOptions {
    std::string Filter = "Fixture files (*.fxr)";
    std::string DefaultExt = "fxr";
    std::string InitialDir;
    std::string FileName;
    bool OverwritePrompt = false;
};

struct TFileListChoice {
    std::string Name;
    std::string Directory;
};

// A button picked in the dialog of predefined attributes or commands.
struct TPredefinedPick {
    std::string Name;
    int32_t Descriptor = 0;
};

// What the value-entry dialog shows: a DMX value of one byte, 0 to Max, and for command steps a
// time. Min is shown but not enforced.
struct TValueRequest {
    std::string Attribute;
    int Min = 0;
    int Max = 255;
    std::string ValueLabel = "DMX Value:";
    std::optional<int> Value; // nothing: the field starts empty
    bool WithTime = false;
    int Time = 0;
};

struct TValueAnswer {
    std::optional<int> Value; // nothing: the user emptied the field
    int Time = 0;
};

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;

    virtual void ShowMessage(TMessageKind kind, const std::string &text) = 0;
    // Yes or No; with allowCancel also Cancel (closing the box counts as Cancel, or No without it).
    virtual TAnswer Confirm(const std::string &text, bool allowCancel) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFileName(const TFileDialogOptions &options) = 0;
    virtual std::optional<std::string> SaveFileName(const TFileDialogOptions &options) = 0;
    virtual std::optional<std::string> InputBox(const std::string &title, const std::string &prompt,
                                                const std::string &value) = 0;
    // The 800 layout's file-list load dialog: the selected file's path (empty when none was
    // selected), or nothing when cancelled.
    virtual std::optional<std::string> LoadFromFileList() = 0;
    // The 800 layout's file-list save dialog, opened with the given name: the name as typed and
    // the directory of the list, or nothing when cancelled.
    virtual std::optional<TFileListChoice> SaveToFileList(const std::string &fileName) = 0;
    // The dialog of predefined names built from the list file of that name in the program's
    // directory: the picked button, or nothing when the user pressed "Exit". Throws EInOutError
    // when the list or a picture cannot be read, EFixtureError for an error in the list.
    virtual std::optional<TPredefinedPick> PickPredefinedName(const std::string &caption,
                                                              const std::string &listFile) = 0;
    // The value-entry dialog: the entered value and time, or nothing when cancelled.
    virtual std::optional<TValueAnswer> EnterValue(const TValueRequest &request) = 0;
    // The DMX test panel, shown modally.
    virtual void ShowDmxPanel() = 0;
    // The name dialog: a name that is never empty, or nothing when cancelled.
    virtual std::optional<std::string> AskName(const std::string &title, const std::string &proposed) = 0;
    // Which mode of an imported fixture to take, from a list: the index of the chosen mode, or
    // nothing when cancelled.
    virtual std::optional<std::size_t> ChooseMode(const std::string &fixture,
                                                  const std::vector<std::string> &modes) = 0;
};

// The dialogs in force. Until a program installs its own, messages go to standard error and every
// question is answered No or Cancel.
TUserDialogs &Dialogs();
// Not owned; nullptr restores the default.
void SetDialogs(TUserDialogs *dialogs);
