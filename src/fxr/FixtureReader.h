#pragma once

#include "model/FixClasses.h"

#include <istream>
#include <stdexcept>

// The first error in a fixture file, with its line: "Cannot open the file. Error in line #N:   line".
class ELoadError : public std::runtime_error {
public:
    ELoadError(int lineNumber, const std::string &line);
    int LineNumber;
};

// Clears the fixture and reads a fixture file of either format into it. Throws ELoadError at the
// first error, EInOutError when the stream fails; the fixture then holds what was read before it.
void ReadFixture(std::istream &in, TFixture &fixture);

// Reads the file at path into a fresh fixture that carries the file's name and directory.
// Throws EInOutError("File access error") when it cannot be opened, ELoadError as above.
TFixture ReadFixtureFile(const std::string &path);
