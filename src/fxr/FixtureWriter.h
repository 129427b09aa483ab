#pragma once

#include "SaveFile.h"
#include "model/FixClasses.h"

#include <string>

// The two writers emit the exact text of a fixture file (format 1.0 when formatVersion is 1,
// format 2 otherwise), lines ending in CR LF, with the fixture's Date as it stands. A "#" step that
// holds no number throws EConvertError, once the text before it was handed over.
// WriteFixture hands the text to write as it is composed, in blocks of at most 64 KB.
void WriteFixture(const TFixture &fixture, int formatVersion, const TWriteBlock &write);
std::string FormatFixture(const TFixture &fixture, int formatVersion);

// Writes the fixture to path (format 1.0 when formatVersion is 1, format 2 otherwise) with Date
// set to the present moment. The text goes, as it is composed, to a temporary file beside the
// target that replaces it only once all was written. Returns false when the file cannot be
// created (a missing or read-only directory, a read-only target): nothing is written and Date
// stays. Throws EInOutError or EConvertError when the writing fails after that; the previous file
// and Date stay as they were.
bool WriteFixtureFile(TFixture &fixture, const std::string &path, int formatVersion);
