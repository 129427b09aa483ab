#include "FileListBox.h"

#include "model/FixFuncs.h"
#include "palettes/QtText.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char *const SettingsFile = "Settings.ini";
const char *const ListSection = "800Mode";
const char *const ListDirectoryKey = "FxrPath";

// Letter case decides only between names that are otherwise equal, so the order is stable.
bool NameLess(const std::string &a, const std::string &b)
{
    const std::string lowerA = LowerCase(a);
    const std::string lowerB = LowerCase(b);
    return lowerA != lowerB ? lowerA < lowerB : a < b;
}

// Long directories lose their middle rather than their end, which is the part that tells them
// apart; the note after the directory always stays visible.
QString FitDirectory(const QLabel *label, const QString &directory, const QString &note)
{
    const QFontMetrics metrics = label->fontMetrics();
    const int room = label->width() - metrics.horizontalAdvance(note);
    return metrics.elidedText(directory, Qt::ElideMiddle, std::max(room, 0)) + note;
}

} // namespace

std::string FileListDirectory(const std::string &present)
{
    const std::string configured = TIniFile(ProgramFile(SettingsFile)).ReadString(ListSection, ListDirectoryKey);
    return configured.empty() ? present : FixturesDir(configured);
}

std::optional<std::vector<std::string>> FixtureFileNames(const std::string &directory, bool libraryFixtures)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(directory, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        const std::string name = entry->path().filename().string();
        const std::string lower = LowerCase(name);
        if (entry->is_regular_file(typeError) &&
            (lower.ends_with(".fxr") || (libraryFixtures && lower.ends_with(".json"))))
            names.push_back(name);
    }
    if (error)
        return std::nullopt;
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

void ShowFixtureFiles(const std::string &directory, QLabel *label, QListWidget *list, bool libraryFixtures)
{
    const QSignalBlocker blocker(list);
    list->clear();

    QString note;
    if (const auto names = FixtureFileNames(directory, libraryFixtures)) {
        for (const std::string &name : *names)
            list->addItem(PathToQt(name));
    } else {
        std::error_code error;
        note = fs::is_directory(directory, error) ? " (cannot be read)" : " (does not exist)";
    }
    label->setText(FitDirectory(label, PathToQt(directory), note));
    label->setToolTip(PathToQt(directory) + note);
}
