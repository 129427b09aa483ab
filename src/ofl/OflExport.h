#pragma once

#include "model/FixClasses.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// The fixture as a fixture file of the Open Fixture Library with one mode: each attribute a
// channel (a 16-bit one with its fine channel), its DMX range the channel's capabilities, its
// colour, gobo and prism palettes the slots of a wheel, and its one-step commands maintenance
// capabilities. What the format has no place for is added to report, a line each.
nlohmann::ordered_json ExportOfl(const TFixture &fixture, std::vector<std::string> &report);
