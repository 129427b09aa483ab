// The undo history: exact states back and forth, a step costing what it changed, within its budget.

#include "fxr/FixtureJson.h"
#include "model/FixtureHistory.h"

#include <gtest/gtest.h>

namespace {

std::string State(const TFixture &f)
{
    nlohmann::ordered_json json = FixtureToJson(f);
    json.erase("Saved");
    json.erase("FileName");
    return json.dump(1);
}

// 99 attribute entries, 70 commands and as many palettes as asked for, each with values.
TFixture Library(int palettes)
{
    TFixture f;
    for (uint16_t patch = 1; patch <= 99; ++patch) {
        auto p = std::make_unique<TParameter>();
        p->Name = "Channel " + std::to_string(patch);
        p->Width = patch % 2 ? 16 : 8;
        p->InternalPatch = patch;
        p->InternalPatchLow = patch % 2 && patch < 99 ? ++patch : 0;
        f.AddParameter(std::move(p));
    }
    for (int i = 0; i < 70; ++i)
        f.AddCommand("Command " + std::to_string(i)).AddLine("Channel 2", 257, i);
    for (int i = 0; i < palettes; ++i) {
        TPalette &p = f.AddPalette("Palette number " + std::to_string(i), static_cast<uint8_t>(1 + i % 7));
        p.Description = "A description long enough to live outside the string";
        p.SetValue("Channel 1", i);
        p.SetValue("Channel 4", 257 * (i % 256));
    }
    return f;
}

// Each change below touches one field of one entry (or the header) and nothing else.
TEST(History, UndoAndRedoGiveBackEachStateAndAStepCostsWhatItChanged)
{
    TFixture f = Library(200);
    f.FileName = "big.fxr";
    TFixtureHistory history;
    history.Reset(f);
    std::vector<std::string> states{State(f)};
    const std::function<void(TFixture &)> changes[] = {
        [](TFixture &x) { x.Attributes[70].Name = "Master"; },
        [](TFixture &x) { x.Attributes[3].Priority = 4; },
        [](TFixture &x) { x.Attributes[90].LocateLevel = 9; },
        [](TFixture &x) { x.Commands[68].Lines[0].Time = 99; },
        [](TFixture &x) { x.Commands[1].Name = "Renamed"; },
        [](TFixture &x) { x.Palettes[150].SetValue("Channel 4", 0); },
        [](TFixture &x) { x.Palettes[151].SetValue("Channel 6", 0); },
        [](TFixture &x) { x.Palettes[2].Name = "Renamed"; },
        [](TFixture &x) { x.Palettes[3].Description = "Changed"; },
        [](TFixture &x) { x.Palettes[4].Red = 9; },
        [](TFixture &x) { x.Palettes[5].Blue = 9; },
        [](TFixture &x) { x.Palettes[190].Bitmap = "icon.bmp"; },
    };
    for (const auto &change : changes) {
        change(f);
        history.Record(f);
        states.push_back(State(f));
    }
    // What a step did not change it shares with the states beside it.
    const std::size_t before = history.StepBytes();
    f.Brand = "Acme";
    history.Record(f);
    states.push_back(State(f));
    EXPECT_LT(history.StepBytes() - before, 4000u);
    int typing = 0;
    f.Name = "S";
    history.Record(f, &typing);
    f.Name = "Sp";
    history.Record(f, &typing); // typing into one field is one step
    states.push_back(State(f));
    EXPECT_EQ(history.UndoSteps(), states.size() - 1);

    f.FileName = "renamed.fxr";
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(history.Undo(f));
        EXPECT_EQ(State(f), states[i]) << i;
        EXPECT_EQ(f.FileName, "renamed.fxr");
        EXPECT_FALSE(f.Saved);
    }
    EXPECT_FALSE(history.Undo(f));
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.Redo(f));
        EXPECT_EQ(State(f), states[i]) << i;
    }
    EXPECT_FALSE(history.Redo(f));
    ASSERT_TRUE(history.Undo(f));
    EXPECT_TRUE(history.CanRedo());
    f.Brand = "Other";
    history.Record(f);
    EXPECT_FALSE(history.CanRedo()) << "a new change ends what could be redone";
    EXPECT_TRUE(history.CanUndo());
}

// Changes to every palette cost a whole state each: the budget keeps only what fits, and the depth
// no more steps than it allows.
TEST(History, TheBudgetAndTheDepthDropTheOldestSteps)
{
    TFixture f = Library(20000);
    TFixtureHistory one;
    one.Reset(f);
    one.Record(Library(0));
    const std::size_t whole = one.StepBytes();
    EXPECT_GT(whole, 4u << 20);

    TFixtureHistory tight(3 * whole, 100), shallow(TFixtureHistory::DefaultBudget, 2);
    tight.Reset(f);
    shallow.Reset(f);
    for (int step = 0; step < 10; ++step) {
        for (TPalette &p : f.Palettes)
            p.Description = "Step " + std::to_string(step) + " of a long change to every palette";
        tight.Record(f);
        shallow.Record(f);
        EXPECT_LE(tight.StepBytes(), 3 * whole + whole / 2);
    }
    EXPECT_EQ(shallow.UndoSteps(), 2u);
    const std::size_t kept = tight.UndoSteps();
    EXPECT_GE(kept, 2u);
    EXPECT_LE(kept, 3u);
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_TRUE(tight.Undo(f));
    EXPECT_FALSE(tight.Undo(f));
    EXPECT_EQ(f.Palettes[0].Description, "Step " + std::to_string(9 - kept) + " of a long change to every palette");
}

} // namespace
