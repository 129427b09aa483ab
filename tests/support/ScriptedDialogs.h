#pragma once

#include "platform/UserDialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Dialogs for tests: answers are queued beforehand, every message shown is recorded. A question
// without a queued answer fails the test through an exception. Installs itself while it lives.
class TScriptedDialogs : public TUserDialogs {
public:
    struct TShown {
        TMessageKind Kind;
        std::string Text;
        bool operator==(const TShown &) const = default;
    };

    TScriptedDialogs() { SetDialogs(this); }
    ~TScriptedDialogs() override { SetDialogs(nullptr); }
    TScriptedDialogs(const TScriptedDialogs &) = delete;
    TScriptedDialogs &operator=(const TScriptedDialogs &) = delete;

    std::vector<TShown> Shown;
    std::vector<std::string> Questions;
    std::vector<TFileDialogOptions> FileDialogs;

    std::deque<TAnswer> Answers;
    std::deque<std::optional<std::string>> Files;  // open, save and file-list dialogs, in order
    std::deque<std::optional<std::string>> Inputs; // input boxes and name dialogs
    std::deque<std::optional<TFileListChoice>> FileListChoices;
    std::vector<std::string> FileListNames;
    std::deque<std::optional<TPredefinedPick>> Picks;
    std::deque<std::optional<TValueAnswer>> Values;
    std::vector<TValueRequest> ValueRequests;
    int DmxPanelShown = 0;
    std::vector<std::pair<std::string, std::string>> Pickers;     // caption, list file
    std::vector<std::pair<std::string, std::string>> NameDialogs; // title, proposed name

    // Runs while a message is shown, as the program's timers run under a message box.
    std::function<void(const TShown &)> WhileShown;

    void ShowMessage(TMessageKind kind, const std::string &text) override
    {
        Shown.push_back({kind, text});
        if (WhileShown)
            WhileShown(Shown.back());
    }
    TAnswer Confirm(const std::string &text, bool) override
    {
        Questions.push_back(text);
        return Next(Answers, "confirmation: " + text);
    }
    std::optional<std::string> OpenFileName(const TFileDialogOptions &options) override
    {
        FileDialogs.push_back(options);
        return Next(Files, "open dialog");
    }
    std::optional<std::string> SaveFileName(const TFileDialogOptions &options) override
    {
        FileDialogs.push_back(options);
        return Next(Files, "save dialog");
    }
    std::optional<std::string> InputBox(const std::string &title, const std::string &, const std::string &) override
    {
        return Next(Inputs, "input box: " + title);
    }
    std::optional<std::string> LoadFromFileList() override { return Next(Files, "file-list load dialog"); }
    std::optional<TFileListChoice> SaveToFileList(const std::string &fileName) override
    {
        FileListNames.push_back(fileName);
        return Next(FileListChoices, "file-list save dialog");
    }
    std::optional<std::string> AskName(const std::string &title, const std::string &proposed) override
    {
        NameDialogs.push_back({title, proposed});
        return Next(Inputs, "name dialog: " + title);
    }
    std::optional<TValueAnswer> EnterValue(const TValueRequest &request) override
    {
        ValueRequests.push_back(request);
        return Next(Values, "value entry: " + request.Attribute);
    }
    void ShowDmxPanel() override { ++DmxPanelShown; }
    std::optional<TPredefinedPick> PickPredefinedName(const std::string &caption, const std::string &listFile) override
    {
        Pickers.push_back({caption, listFile});
        return Next(Picks, "picker: " + caption);
    }

    std::deque<std::optional<std::size_t>> Modes;
    std::vector<std::vector<std::string>> ModeLists;
    std::optional<std::size_t> ChooseMode(const std::string &fixture, const std::vector<std::string> &modes) override
    {
        ModeLists.push_back(modes);
        return Next(Modes, "mode list: " + fixture);
    }

    // The texts shown, of every kind or of one (the screenshot tool lists them).
    std::vector<std::string> Texts(std::optional<TMessageKind> kind = std::nullopt) const
    {
        std::vector<std::string> texts;
        for (const TShown &shown : Shown)
            if (!kind || shown.Kind == *kind)
                texts.push_back(shown.Text);
        return texts;
    }

private:
    template <class T> static T Next(std::deque<T> &queue, const std::string &what)
    {
        if (queue.empty())
            throw std::logic_error("unexpected " + what);
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};
