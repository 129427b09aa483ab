#include "UserDialogs.h"

#include <iostream>

namespace {

class TConsoleDialogs final : public TUserDialogs {
public:
    void ShowMessage(TMessageKind, const std::string &text) override { std::cerr << text << '\n'; }
    TAnswer Confirm(const std::string &, bool allowCancel) override
    {
        return allowCancel ? TAnswer::Cancel : TAnswer::No;
    }
    std::optional<std::string> OpenFileName(const TFileDialogOptions &) override { return {}; }
    std::optional<std::string> SaveFileName(const TFileDialogOptions &) override { return {}; }
    std::optional<std::string> InputBox(const std::string &, const std::string &, const std::string &) override
    {
        return {};
    }
    std::optional<std::string> LoadFromFileList() override { return {}; }
    std::optional<TFileListChoice> SaveToFileList(const std::string &) override { return {}; }
    std::optional<std::string> AskName(const std::string &, const std::string &) override { return {}; }
    std::optional<TPredefinedPick> PickPredefinedName(const std::string &, const std::string &) override { return {}; }
    std::optional<TValueAnswer> EnterValue(const TValueRequest &) override { return {}; }
    void ShowDmxPanel() override {}
    std::optional<std::size_t> ChooseMode(const std::string &, const std::vector<std::string> &) override { return {}; }
};

TConsoleDialogs consoleDialogs;
TUserDialogs *current = &consoleDialogs;

} // namespace

TUserDialogs &Dialogs()
{
    return *current;
}

void SetDialogs(TUserDialogs *dialogs)
{
    current = dialogs ? dialogs : &consoleDialogs;
}
