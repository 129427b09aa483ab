#pragma once

#include "platform/UserDialogs.h"

#include <QPointer>

#include "AddChannel.h"
#include "DmxPanel.h"
#include "GetData.h"
#include "Load800.h"
#include "Save800.h"
#include "palettes/GetColName.h"

// The dialogs of the desktop program: Qt's message boxes and file dialogs and our own dialogs.
// The program's own dialogs are created once, in the order the run needs them.
class TQtDialogs final : public TUserDialogs {
public:
    TQtDialogs();
    ~TQtDialogs() override;

    // Message boxes and dialogs are centred on this window, of the compact layout or not; the
    // DMX panel shows the attributes of its fixture.
    void SetMainWindow(QWidget *window, bool compact, const TFixture *fixture = nullptr)
    {
        mainWindow_ = window;
        addChannel_.Compact = compact;
        fixture_ = fixture;
    }
    void CreateFileListDialogs();
    void CreateNameDialog();
    void CreateDmxPanel();
    void CreateValueDialog();

    void ShowMessage(TMessageKind kind, const std::string &text) override;
    TAnswer Confirm(const std::string &text, bool allowCancel) override;
    std::optional<std::string> OpenFileName(const TFileDialogOptions &options) override;
    std::optional<std::string> SaveFileName(const TFileDialogOptions &options) override;
    std::optional<std::string> InputBox(const std::string &title, const std::string &prompt,
                                        const std::string &value) override;
    std::optional<std::string> LoadFromFileList() override;
    std::optional<TFileListChoice> SaveToFileList(const std::string &fileName) override;
    std::optional<std::string> AskName(const std::string &title, const std::string &proposed) override;
    std::optional<TPredefinedPick> PickPredefinedName(const std::string &caption, const std::string &listFile) override;
    std::optional<TValueAnswer> EnterValue(const TValueRequest &request) override;
    void ShowDmxPanel() override;
    std::optional<std::size_t> ChooseMode(const std::string &fixture, const std::vector<std::string> &modes) override;

    TfrmLoad800 *Load800() const { return load800_; }
    TfrmSave800 *Save800() const { return save800_; }
    TfrmGetColName *GetColName() const { return getColName_; }
    TfrmDmxPanel *DmxPanel() const { return dmxPanel_; }
    TGetDataForm *GetData() const { return getData_; }
    const TDmxLevels &DmxLevels() const { return dmxLevels_; }

private:
    QWidget *mainWindow_ = nullptr;
    // What the dialogs keep for the whole run.
    TAddChannelMemory addChannel_;
    TDmxLevels dmxLevels_{};
    // The main window owns the dialogs as its children; whatever outlives it goes with this object.
    QPointer<TfrmLoad800> load800_;
    QPointer<TfrmSave800> save800_;
    QPointer<TfrmGetColName> getColName_;
    QPointer<TfrmDmxPanel> dmxPanel_;
    const TFixture *fixture_ = nullptr;
    QPointer<TGetDataForm> getData_;
};
