#pragma once

#include <optional>
#include <string>

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
    // The name dialog: a name that is never empty, or nothing when cancelled.
    virtual std::optional<std::string> AskName(const std::string &title, const std::string &proposed) = 0;
};

// The dialogs in force. Until a program installs its own, messages go to standard error and every
// question is answered No or Cancel.
TUserDialogs &Dialogs();
// Not owned; nullptr restores the default.
void SetDialogs(TUserDialogs *dialogs);
