#pragma once

#include "model/FixClasses.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// What a fixture's attributes, commands and palettes put into a DMX universe. The fixture's first
// channel is its start address; internal patch p is universe channel address + p - 1.

constexpr int UniverseSize = 512;
using TUniverse = std::array<uint8_t, UniverseSize>;

// One channel of the universe (1 to 512) and its level.
struct TLevelChange {
    int Channel = 0;
    uint8_t Level = 0;
    bool operator==(const TLevelChange &) const = default;
};
using TLevelChanges = std::vector<TLevelChange>;

// Levels that stay on the output for HoldMs milliseconds before the next frame of their list.
struct TTimedFrame {
    TLevelChanges Changes;
    int32_t HoldMs = 0;
    bool operator==(const TTimedFrame &) const = default;
};

// A name that does not resolve, a value out of range, a start address that puts the fixture
// beyond the universe.
class ELiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The levels of a value of the attribute, on the scale commands and palettes keep (an 8-bit level
// v as v times 257): a 16-bit attribute sends the high byte to its patch and the low byte to its
// low patch, an 8-bit one the high byte.
TLevelChanges AttributeLevels(const TParameter &attribute, int address, int32_t value);

// The frames of a command: one per step, in order, each held for the step's time. A step names an
// attribute, or "#" and an internal patch.
std::vector<TTimedFrame> CommandFrames(const TFixture &fixture, const TCommand &command, int address);

// The levels of a palette's values.
TLevelChanges PaletteLevels(const TFixture &fixture, const TPalette &palette, int address);

// "ATTRIBUTE=VALUE", the value in the field syntax of the file (decimal, percent of the
// attribute's maximum, hexadecimal with "h").
TLevelChanges SettingLevels(const TFixture &fixture, const std::string &setting, int address);

// The palette of the name, or of the name followed by its type number ("Open7"), in any letter case.
const TPalette *FindPaletteNamed(const TFixture &fixture, const std::string &name);
