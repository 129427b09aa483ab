#pragma once

#include <string>

// Where the files that accompany the program are found: beside the executable in the build tree,
// or ../share/rigsmith from it when installed.
std::string ProgramDir();
// Tests point the program at a directory of their own.
void SetProgramDir(const std::string &directory);
// A file of the program's directory.
std::string ProgramFile(const std::string &name);
std::string WorkingDir();
