#pragma once

#include <string>
#include <string_view>

// What must hold for any bytes handed to the fixture reader, whatever a file holds: see
// FixtureProperty.cpp. Returns an empty text when everything holds, otherwise what went wrong.
// Shared by the fuzz target and by the test that replays the inputs the fuzzer once tripped on.
std::string CheckFixtureBytes(std::string_view bytes);
