// The undo history: exact states back and forth, within its memory budget whatever the fixture.

#include "fxr/FixtureJson.h"
#include "model/FixtureHistory.h"
#include "support/FixtureBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::AddAttribute;

std::string State(const TFixture &f)
{
    nlohmann::ordered_json json = FixtureToJson(f);
    json.erase("Saved");
    json.erase("FileName");
    return json.dump(1);
}

// A fixture of palettes palettes, each with a value on both attributes.
TFixture Library(int palettes)
{
    TFixture f;
    f.FileName = "big.fxr";
    f.FileDir = "/shows";
    AddAttribute(f, {"Dimmer"});
    AddAttribute(f, {"Pan", 1, 2, 2, 16, 2, 3});
    for (int i = 0; i < palettes; ++i) {
        TPalette &p = f.AddPalette("Palette number " + std::to_string(i), static_cast<uint8_t>(1 + i % 7));
        p.Description = "A description long enough to live outside the string";
        p.SetValue("Dimmer", 257 * (i % 256));
        p.SetValue("Pan", i);
    }
    return f;
}

TEST(History, UndoAndRedoGiveBackEachStateExactlyAndKeepTheFile)
{
    TFixture f = Library(200);
    TFixtureHistory history;
    history.Reset(f);
    std::vector<std::string> states{State(f)};
    const auto change = [&](auto edit, const void *typing = nullptr) {
        edit(f);
        history.Record(f, typing);
    };
    int field = 0;
    change([](TFixture &x) { x.Name = "S"; }, &field);
    change([](TFixture &x) { x.Name = "Sp"; }, &field); // typing into one field is one step
    states.push_back(State(f));
    change([](TFixture &x) { x.Palettes[150].SetValue("Dimmer", 0); });
    states.push_back(State(f));
    change([](TFixture &x) { x.AddCommand("Reset").AddLine("Dimmer", 257, 10); });
    states.push_back(State(f));
    change([](TFixture &x) { x.Attributes[0].Name = "Master"; });
    states.push_back(State(f));
    EXPECT_EQ(history.UndoSteps(), 4u);

    f.FileName = "renamed.fxr";
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(history.Undo(f));
        EXPECT_EQ(State(f), states[i]);
        EXPECT_EQ(f.FileName, "renamed.fxr");
        EXPECT_FALSE(f.Saved);
    }
    EXPECT_FALSE(history.Undo(f));
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.Redo(f));
        EXPECT_EQ(State(f), states[i]);
    }
    EXPECT_FALSE(history.Redo(f));

    // A new change ends what could be redone.
    ASSERT_TRUE(history.Undo(f));
    change([](TFixture &x) { x.Brand = "Acme"; });
    EXPECT_FALSE(history.CanRedo());
}

TEST(History, AStepCostsWhatItChangedAndTheBudgetDropsTheOldest)
{
    TFixture f = Library(20000);
    TFixtureHistory history;
    history.Reset(f);
    for (int i = 0; i < 100; ++i) {
        f.Palettes[static_cast<std::size_t>(i * 199)].SetValue("Dimmer", 257 * 7);
        history.Record(f);
    }
    EXPECT_EQ(history.UndoSteps(), 100u);
    // A step that holds the whole fixture, against 100 steps of one palette each: what a step
    // did not change is shared with the states beside it.
    TFixtureHistory one;
    one.Reset(f);
    one.Record(Library(0));
    const std::size_t whole = one.StepBytes();
    EXPECT_GT(whole, 4u << 20);
    EXPECT_LT(history.StepBytes(), whole);

    // Changes to every palette cost a whole state each: the budget keeps only what fits.
    TFixtureHistory tight(3 * whole, 100);
    tight.Reset(f);
    for (int step = 0; step < 10; ++step) {
        for (TPalette &p : f.Palettes)
            p.Description = "Step " + std::to_string(step) + " of a long change to every palette";
        tight.Record(f);
        EXPECT_LE(tight.StepBytes(), 3 * whole + whole / 2);
    }
    EXPECT_GE(tight.UndoSteps(), 2u);
    EXPECT_LE(tight.UndoSteps(), 3u);
    const std::size_t kept = tight.UndoSteps();
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_TRUE(tight.Undo(f));
    EXPECT_FALSE(tight.Undo(f));
    EXPECT_EQ(f.Palettes[0].Description, "Step " + std::to_string(9 - kept) + " of a long change to every palette");
}

} // namespace
