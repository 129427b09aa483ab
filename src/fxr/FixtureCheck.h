#pragma once

#include "model/FixClasses.h"

#include <string>
#include <vector>

// What the checks find, in the order they are shown; empty when the fixture passes.
std::vector<std::string> BaseDataFindings(const TFixture &fixture);
// At most one finding: the first attribute, in list order, whose patch is out of range or taken,
// or whose patch or low patch the file would give a key another channel has.
std::vector<std::string> PatchFindings(const TFixture &fixture);
// The texts that a file of the format would not give back as they stand (nothing in a written
// value is escaped), and lines longer than the reader keeps; one finding each.
std::vector<std::string> TextFindings(const TFixture &fixture, int formatVersion);

// What the standard layout's Check finds, checking a file of formatVersion: the patches, then the
// base data, then the texts; each check only when the one before it passed. Saving refuses a
// fixture that has findings.
std::vector<std::string> CheckFindings(const TFixture &fixture, int formatVersion);
