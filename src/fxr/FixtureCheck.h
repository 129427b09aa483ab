#pragma once

#include "model/FixClasses.h"

#include <string>
#include <vector>

// What the checks find, in the order they are shown; empty when the fixture passes.
std::vector<std::string> BaseDataFindings(const TFixture &fixture);
// At most one finding: the first attribute, in list order, whose patch is out of range or taken.
std::vector<std::string> PatchFindings(const TFixture &fixture);
