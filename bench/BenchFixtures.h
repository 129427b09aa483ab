#pragma once

// Fixtures for the benchmarks and the generated library: realistic in shape (attributes of both
// widths with and without low patches, hidden control channels, commands, palettes of every type
// with colours, icons and descriptions), deterministic for a given seed.

#include "model/FixClasses.h"

#include <cstdint>

namespace bench {

struct TShape {
    int Channels = 64; // attribute entries, low patches included; at most 99
    int Commands = 30;
    int StepsPerCommand = 4;
    int Palettes = 300;
    int ValuesPerPalette = 6;
    int CommentLines = 4;
    int WideAttributes = -1;     // 16-bit attributes; -1: a quarter of them at random
    int DescriptionPercent = 30; // palettes with a description
};

// The large fixture of the benchmarks: 64 channels, 30 commands, 300 palettes.
inline constexpr TShape Large{};

// The fixture of a dense library: 24 attributes, four of them 16-bit (28 channels), 20 commands
// of 4 steps, 120 palettes of a few values, each with a description; about 26 KB in format 2.
inline constexpr TShape Dense{28, 20, 4, 120, 3, 4, 4, 100};

// The large fixture's shape with its commands, palettes and comments multiplied by the factor.
TShape Scaled(int factor);

// A fixture of the shape; FormatVersion is the given version.
TFixture MakeFixture(const TShape &shape, int version, uint32_t seed);

// A shape drawn at random for one file of a fixture library: most fixtures are small, a few large.
TShape LibraryShape(uint32_t seed);

} // namespace bench
