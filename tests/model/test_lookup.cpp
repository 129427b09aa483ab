// Finding attributes, commands, palettes and palette values by name: the indexes answer exactly
// what a scan of the list would.

#include "model/FixClasses.h"
#include "model/FixFuncs.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

TParameter &Add(TFixture &f, const std::string &name, uint16_t patch, uint16_t low = 0)
{
    auto p = std::make_unique<TParameter>();
    p->Name = name;
    p->Width = low ? 16 : 8;
    p->InternalPatch = patch;
    p->InternalPatchLow = low;
    TParameter &added = *p;
    f.AddParameter(std::move(p));
    return added;
}

TEST(Lookup, NameIndex_FindsTheFirstEntryOfTheArrangementInAnyCase)
{
    TFixture f;
    TParameter &late = Add(f, "Dimmer", 40);
    TParameter &early = Add(f, "DIMMER", 4); // key "04" comes before "40"
    Add(f, "Pan", 20, 3);                    // its low part, key "03", comes first of all
    const TAttributeNameIndex index(f.Attributes);
    EXPECT_EQ(index.Find("dimmer"), &early);
    EXPECT_NE(index.Find("dimmer"), &late);
    ASSERT_NE(index.Find("pAN"), nullptr);
    EXPECT_TRUE(index.Find("pAN")->IsLowPart) << "the low part stands first in the list";
    EXPECT_EQ(index.Find("Tilt"), nullptr);
    EXPECT_EQ(index.Find(""), nullptr);
    EXPECT_EQ(index.Find("Dimmer "), nullptr) << "no trimming";
}

TEST(Lookup, NameIndex_AgreesWithParameterByNameOnRandomLists)
{
    std::mt19937 random(7);
    const std::vector<std::string> names = {"a",        "A",         "b",         "Pan", "pan",
                                            "PAN fine", "\xE9t\xE9", "\xC9T\xC9", "x y", ""};
    for (int round = 0; round < 200; ++round) {
        TFixture f;
        for (int patch = 1; patch < 100; ++patch)
            if (random() % 3 == 0)
                Add(f, names[random() % names.size()], static_cast<uint16_t>(patch));
        const TAttributeNameIndex index(f.Attributes);
        for (const std::string &name : names)
            EXPECT_EQ(index.Find(name), f.ParameterByName(name)) << "round " << round << " name " << name;
    }
}

TEST(Lookup, KeyedList_FindsInAnyCaseBelowAndAboveTheIndexedSize)
{
    for (int count = 1; count <= 40; ++count) {
        TKeyedList<TPaletteLine> list;
        for (int i = 0; i < count; ++i)
            list.Add("Chan" + std::to_string(i),
                     std::make_unique<TPaletteLine>(TPaletteLine{"Chan" + std::to_string(i), i}));
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(list.IndexOf("CHAN" + std::to_string(i)), i) << count << " entries";
            ASSERT_NE(list.Find("chan" + std::to_string(i)), nullptr);
            EXPECT_EQ(list.Find("chan" + std::to_string(i))->Value, i);
        }
        EXPECT_EQ(list.IndexOf("Chan" + std::to_string(count)), -1);
        EXPECT_EQ(list.IndexOf(""), -1);
    }
}

TEST(Lookup, KeyedList_DeleteMoveAndRekeyKeepTheIndexRight)
{
    for (const int count : {5, 16, 17, 30}) {
        TKeyedList<TCommand> list;
        for (int i = 0; i < count; ++i)
            list.Add("Cmd" + std::to_string(i), std::make_unique<TCommand>("Cmd" + std::to_string(i)));
        list.Delete(0);
        EXPECT_EQ(list.IndexOf("cmd0"), -1) << count;
        EXPECT_EQ(list.IndexOf("cmd1"), 0) << count;
        list.Move(0, list.Count() - 1);
        EXPECT_EQ(list.IndexOf("CMD1"), static_cast<int>(list.Count()) - 1) << count;
        EXPECT_EQ(list.IndexOf("CMD2"), 0) << count;
        list.Rekey(0, "Renamed");
        EXPECT_EQ(list.IndexOf("renamed"), 0) << count;
        EXPECT_EQ(list.IndexOf("cmd2"), -1) << count;
        list.Clear();
        EXPECT_EQ(list.IndexOf("renamed"), -1) << count;
        list.Add("Again", std::make_unique<TCommand>("Again"));
        EXPECT_EQ(list.IndexOf("AGAIN"), 0) << count;
    }
}

TEST(Lookup, SetValue_ReplacesInAnyCaseAtAnyPaletteSize)
{
    TPalette palette("Big", 1);
    for (int i = 0; i < 30; ++i)
        palette.SetValue("Chan" + std::to_string(i), i);
    for (int i = 0; i < 30; ++i)
        palette.SetValue("CHAN" + std::to_string(i), 100 + i);
    ASSERT_EQ(palette.Lines.Count(), 30u);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(palette.Lines[static_cast<std::size_t>(i)].ChannelName, "Chan" + std::to_string(i));
        EXPECT_EQ(palette.Lines[static_cast<std::size_t>(i)].Value, 100 + i);
    }
}

TEST(Lookup, CaseInsensitiveHashAndEquality)
{
    const TCaseInsensitiveHash hash;
    const TCaseInsensitiveEqual equal;
    EXPECT_EQ(hash("Pan Fine"), hash("pAN fINE"));
    EXPECT_TRUE(equal("Pan Fine", "pAN fINE"));
    EXPECT_FALSE(equal("Pan", "Pan "));
    // Only ASCII letters fold, as SameText has it, whatever their place in a long name.
    EXPECT_FALSE(equal("\xE9", "\xC9"));
    const std::string capitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ09@[`{\xC9", small = "abcdefghijklmnopqrstuvwxyz09@[`{\xC9";
    EXPECT_TRUE(equal(capitals, small));
    EXPECT_EQ(hash(capitals), hash(small));
    for (std::size_t i = 0; i < capitals.size(); ++i) {
        std::string other = capitals;
        other[i] = static_cast<char>(other[i] ^ 0x20);
        EXPECT_EQ(equal(capitals, other), i < 26) << i;
    }
    EXPECT_TRUE(StartsWithText("CommandName=Reset", "COMMANDNAME"));
    EXPECT_TRUE(StartsWithText("commandname", "COMMANDNAME"));
    EXPECT_FALSE(StartsWithText("commandnam", "COMMANDNAME"));
    EXPECT_FALSE(StartsWithText(" CommandName", "COMMANDNAME"));
}

} // namespace
