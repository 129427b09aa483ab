#pragma once

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

// The list of fixture files that the 800 layout's load and save dialogs share. The user cannot
// navigate: the directory comes from Settings.ini alone.

// The directory that Settings.ini names for the lists, read afresh at each call; present when
// it names none.
std::string FileListDirectory(const std::string &present);

// The regular files of directory whose names end in ".fxr" in any letter case (and with
// libraryFixtures ".json", fixtures of the Open Fixture Library), sorted by name without regard to
// letter case; nothing when the directory cannot be listed.
std::optional<std::vector<std::string>> FixtureFileNames(const std::string &directory, bool libraryFixtures = false);

// Fills list with directory's fixture files, read afresh, and shows the directory in label. A
// directory that cannot be listed leaves the list empty and the label says why. Nothing ends up
// selected, and the list sends no selection signals while it is refilled.
void ShowFixtureFiles(const std::string &directory, QLabel *label, QListWidget *list, bool libraryFixtures = false);
