// Generated fixtures (the benchmarks' generator) written in each format, read back and kept as
// copies of unsaved work. The seed is printed; RIGSMITH_SEED=N runs the same fixtures again.

#include "BenchFixtures.h"
#include "FixtureProperty.h"
#include "fxr/FixtureJson.h"
#include "fxr/FixtureWriter.h"
#include "model/FixConsts.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

uint32_t MasterSeed()
{
    const char *text = std::getenv("RIGSMITH_SEED");
    const auto seed = static_cast<uint32_t>(text && *text ? std::strtoul(text, nullptr, 0) : 20050307u);
    std::cout << "[ seed     ] RIGSMITH_SEED=" << seed << "\n";
    return seed;
}

std::string Model(const TFixture &f)
{
    nlohmann::ordered_json json = FixtureToJson(f);
    json.erase("Saved");
    return json.dump(1);
}

// What a file of the format keeps: format 1.0 has no revision, comments, split channels or inherit
// flags, and gives a colour palette its colour only and the others their icon only.
TFixture AsKept(const TFixture &f, int version)
{
    TFixture kept = f.Clone();
    kept.FormatVersion = version;
    if (version != 1)
        return kept;
    kept.Revision = kept.Comments = "";
    kept.DmxSplitChannels = 0;
    for (std::size_t i = 0; i < kept.Attributes.Count(); ++i)
        kept.Attributes[i].Inherit = false;
    for (TPalette &palette : kept.Palettes)
        if (palette.PaletteType == ptColour)
            palette.Bitmap.clear();
        else
            palette.Red = palette.Green = palette.Blue = -1;
    return kept;
}

TEST(RoundTrip, GeneratedFixturesReadBackAsWrittenAndHoldEveryProperty)
{
    const uint32_t master = MasterSeed();
    for (const int version : {1, 2})
        for (uint32_t i = 0; i < 300; ++i) {
            const uint32_t seed = master + i;
            SCOPED_TRACE("format " + std::to_string(version) + ", seed " + std::to_string(seed));
            bench::TShape shape = bench::LibraryShape(seed);
            shape.Palettes = std::min(shape.Palettes, 60);
            const TFixture f = bench::MakeFixture(shape, version, seed);
            const std::string text = FormatFixture(f, version);
            ASSERT_EQ(Model(testing_support::FromText(text)), Model(AsKept(f, version))) << text;
            ASSERT_EQ(CheckFixtureBytes(text), "");
        }
}

// Copies of unsaved work are JSON: every field and every byte of every text comes back, the time
// of day too.
TEST(RoundTrip, JsonKeepsEveryFieldAndByte)
{
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        everyByte += static_cast<char>(c);
    bench::TShape shape;
    shape.Palettes = 20;
    TFixture f = bench::MakeFixture(shape, 2, MasterSeed());
    f.Date += 0.3712;
    f.Name = f.Comments = f.Attributes[0].Name = everyByte;
    f.Commands[0].AddLine("#x", 1, -5);
    f.FileName = "file.fxr";
    f.Saved = false;
    const TFixture back = FixtureFromJson(nlohmann::json::parse(FixtureToJson(f).dump()));
    EXPECT_EQ(FixtureToJson(back), FixtureToJson(f));
    EXPECT_EQ(back.Date, f.Date);
}

} // namespace
