// The file commands of the main window: new, load, save, save as, check and close.

#include "MainFormClass.h"

#include "AttributesPage.h"
#include "BaseParametersPage.h"
#include "CommandsPage.h"
#include "PalettesPage.h"

#include "model/FixColors.h"
#include "ofl/OflImport.h"
#include "palettes/QtText.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <filesystem>

namespace {

constexpr const char *NotSaved = "File not saved. Save file?";

// The name part of what was typed, whichever separator it uses.
std::string NamePart(const std::string &typed)
{
    const auto separator = typed.find_last_of("/\\");
    return separator == std::string::npos ? typed : typed.substr(separator + 1);
}

bool IsOflFile(const std::string &path)
{
    return LowerCase(std::filesystem::path(path).extension().string()) == ".json";
}

// A mode of an Open Fixture Library fixture, asked for in a list when there are several; what
// has no counterpart is shown in one box. Nothing when the user cancelled or the file was refused.
std::optional<TFixture> ImportOflFile(const std::string &path)
{
    try {
        const TOflFixture source = TOflFixture::Read(path);
        std::vector<std::string> modes;
        for (const std::string &name : source.ModeNames())
            modes.push_back(Utf8ToCp1252(name));
        std::optional<std::size_t> mode = 0;
        if (modes.size() > 1)
            mode = Dialogs().ChooseMode(Utf8ToCp1252(source.Json().value("name", "")), modes);
        if (!mode)
            return std::nullopt;
        TOflImport imported = source.Import(*mode, 2);
        if (!imported.Report.empty()) {
            std::string text = "What has no counterpart in a fixture file:";
            for (const std::string &line : imported.Report)
                text += "\n\n" + line;
            Dialogs().ShowMessage(TMessageKind::Information, text);
        }
        return std::move(imported.Fixture);
    } catch (const EOflError &error) {
        Dialogs().ShowMessage(TMessageKind::Warning, error.what());
    }
    return std::nullopt;
}

} // namespace

bool TMainFormClass::MaybeSave(bool withLayoutCheck)
{
    if (fixture_.Saved)
        return true;
    switch (Dialogs().Confirm(NotSaved, true)) {
    case TAnswer::Yes:
        return (withLayoutCheck ? SaveClick() : SaveFixture()) && fixture_.Saved;
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

void TMainFormClass::NewFixtureClick()
{
    if (MaybeSave(true))
        NewFixture();
}

void TMainFormClass::NewFixture()
{
    fixture_.Clear();
    ShowPageTabs();
    attributes_->SetAttributeEdited(false);
    ShowFixture();
    attributes_->Reset();
    commands_->RefreshCommandList();
    palettes_->RefreshPaletteDetail();
    ResetHistory();
}

void TMainFormClass::LoadFixture()
{
    LoadFixtureFile({});
}

bool TMainFormClass::LoadFixtureFile(const std::string &path)
{
    TFixture &f = fixture_;
    f.Layout800 = Is800();
    if (!MaybeSave(false))
        return false;
    std::string chosen = path;
    if (chosen.empty()) {
        // The library's fixtures are offered beside ours; they open as new, unsaved fixtures.
        TFileDialogOptions options;
        options.Filter = "Fixture files (*.fxr);;Open Fixture Library fixtures (*.json)";
        options.InitialDir = FixturesDir();
        const std::optional<std::string> picked =
            Is800() ? Dialogs().LoadFromFileList() : Dialogs().OpenFileName(options);
        if (!picked || picked->empty())
            return false;
        chosen = *picked;
    }
    if (IsOflFile(chosen)) {
        std::optional<TFixture> imported = ImportOflFile(chosen);
        if (imported)
            TakeUnsavedFixture(std::move(*imported));
        return imported.has_value();
    }
    if (!f.LoadFile(chosen))
        return false;
    ShowLoadedFixture();
    f.Saved = true;
    ResetHistory();
    return true;
}

void TMainFormClass::TakeUnsavedFixture(TFixture fixture)
{
    fixture.Layout800 = Is800();
    fixture_ = std::move(fixture);
    ShowLoadedFixture();
    fixture_.Saved = false;
    ResetHistory();
}

void TMainFormClass::ShowLoadedFixture()
{
    // The fixture replaced every attribute, command and palette.
    ShowFixture();
    attributes_->SelectAttribute(0);
    commands_->RefreshCommandList();
    c_.PageControl->setCurrentIndex(0);
    ShowPageTabs();
}

bool TMainFormClass::SaveClick()
{
    // Only the standard layout checks the patches before saving.
    if (!Is800() && !fixture_.CheckPatches())
        return false;
    return SaveFixture();
}

bool TMainFormClass::SaveAsClick()
{
    if (!Is800() && !fixture_.CheckPatches())
        return false;
    return SaveFixtureAs();
}

void TMainFormClass::CheckClick()
{
    const TFixture &f = fixture_;
    const bool passed = (Is800() ? f.CheckBaseData() : f.CheckPatches() && f.CheckBaseData()) && f.CheckTexts();
    if (passed)
        Dialogs().ShowMessage(TMessageKind::Information, "Fixture is ready to save");
}

bool TMainFormClass::CloseQuery()
{
    return MaybeSave(false);
}

void TMainFormClass::SetFileFromPath(const std::string &path)
{
    const std::filesystem::path file(path);
    TFixture &f = fixture_;
    f.FileName = file.filename().string();
    f.FileDir = file.parent_path().string();
    lastSaveDir_ = f.FileDir;
}

void TMainFormClass::ShowFileState()
{
    c_.FileName->setText(PathToQt(fixture_.FileName));
    c_.FileVersion->setCurrentIndex(fixture_.FormatVersion - 1);
    base_->ShowDate();
}

bool TMainFormClass::ChooseSaveFile(const std::string &proposed)
{
    TFileDialogOptions options;
    options.InitialDir = lastSaveDir_.empty() ? FixturesDir() : lastSaveDir_;
    options.FileName = proposed;
    options.OverwritePrompt = true;
    const auto chosen = Dialogs().SaveFileName(options);
    if (chosen)
        SetFileFromPath(*chosen);
    return chosen.has_value();
}

bool TMainFormClass::ChooseFileListName()
{
    TFixture &f = fixture_;
    const auto choice = Dialogs().SaveToFileList(f.FileName);
    if (!choice)
        return false;
    std::string name = NamePart(choice->Name);
    if (name.empty()) {
        Dialogs().ShowMessage(TMessageKind::Warning, "The name field cannot be blank!");
        return false;
    }
    if (LowerCase(name).find(".fxr") == std::string::npos)
        name += ".fxr";
    f.FileName = name;
    f.FileDir = choice->Directory;
    return true;
}

TMainFormClass::TFileTarget TMainFormClass::FileTarget() const
{
    const TFixture &f = fixture_;
    return {f.FileName, f.FileDir, lastSaveDir_};
}

bool TMainFormClass::WriteFixture(const TFileTarget &before)
{
    TFixture &f = fixture_;
    const auto restore = [&] {
        f.FileName = before.FileName;
        f.FileDir = before.FileDir;
        lastSaveDir_ = before.LastSaveDir;
    };
    bool saved = false;
    try {
        ShowFileState();
        UpdatePaletteColours();
        saved = f.Save([this] { emit Saved(); });
    } catch (...) {
        restore();
        ShowFileState();
        throw;
    }
    if (!saved)
        restore();
    ShowFileState();
    return saved;
}

bool TMainFormClass::SaveFixture()
{
    TFixture &f = fixture_;
    const TFileTarget before = FileTarget();
    if (!f.CheckBaseData() || !f.CheckTexts() || (f.FileName.empty() && !ChooseSaveFile({})))
        return false;
    attributes_->NormalizeAttributes();
    return WriteFixture(before);
}

bool TMainFormClass::SaveFixtureAs()
{
    TFixture &f = fixture_;
    const TFileTarget before = FileTarget();
    if (!f.CheckBaseData() || !f.CheckTexts())
        return false;
    const bool chosen = Is800() ? ChooseFileListName() : ChooseSaveFile(f.FileName);
    return chosen && WriteFixture(before);
}

void TMainFormClass::UpdatePaletteColours()
{
    TFixture &f = fixture_;
    for (TPalette &palette : f.Palettes)
        ColorFromCMY(f, palette);
}
