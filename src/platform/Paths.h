#pragma once

#include <string>

// Where the files that accompany the program are found: beside the executable in the build tree,
// or ../share/rigsmith from it when installed.
std::string ProgramDir();
// The same decision for an executable at the given path: its own directory when Settings.ini is
// there, else ../share/rigsmith from it when that directory exists, else its own directory.
std::string ProgramDirFor(const std::string &executable);
// Tests point the program at a directory of their own.
void SetProgramDir(const std::string &directory);
// A file of the program's directory.
std::string ProgramFile(const std::string &name);
std::string WorkingDir();

// The user's documents directory: the one set with SetDocumentsDir (the editor takes the desktop's
// own), else $XDG_DOCUMENTS_DIR, else ~/Documents when it exists, else the home directory.
std::string DocumentsDir();
void SetDocumentsDir(const std::string &directory);
// The user's own Rigsmith folder, where fixture files are kept when the working directory has
// none: "Rigsmith" in the documents directory.
std::string UserDir();

// The directory of fixture files that name stands for, where the file dialogs and the compact
// layout's file lists open. An absolute name is taken as it is, and so is a relative one that
// exists from the working directory (the build tree, a folder of the user's). Otherwise it is
// that name inside UserDir(), never the program's read-only directory: created on first use and
// given copies of the sample fixtures.
std::string FixturesDir(const std::string &name = "Fixtures");
