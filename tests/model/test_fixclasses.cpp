#include "model/FixClasses.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TParameter> Attribute(const std::string &name, uint16_t patch, uint16_t low = 0, uint8_t order = 1)
{
    auto p = std::make_unique<TParameter>();
    p->Name = name;
    p->Width = low ? 16 : 8;
    p->InternalPatch = patch;
    p->InternalPatchLow = low;
    p->Order = order;
    p->DmxMax = 255;
    p->ShowOnEditor = true;
    p->LocateLevel = 40;
    return p;
}

std::string Keys(const TFixture &f)
{
    std::string keys;
    for (std::size_t i = 0; i < f.Attributes.Count(); ++i)
        keys += (keys.empty() ? "" : " ") + f.Attributes.Key(i) + (f.Attributes[i].IsLowPart ? "L" : "");
    return keys;
}

std::string Refusal(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EFixtureError &error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(FixClasses, ClearResetsAllButTheFileLocation)
{
    TFixture f;
    EXPECT_EQ(f.FormatVersion, 1);
    EXPECT_EQ(f.FixtureType, 4);
    EXPECT_TRUE(f.Saved);
    f.FileName = "a.fxr";
    f.FileDir = "/tmp";
    f.FilePath = "/tmp/a.fxr";
    f.Layout800 = true;
    f.Name = "x";
    f.Saved = false;
    f.AddParameter(Attribute("Dimmer", 1));
    f.AddCommand("Lamp on");
    f.AddPalette("Red", 3);
    f.Clear();
    EXPECT_EQ(f.FileName, "");
    EXPECT_EQ(f.FileDir, "/tmp");
    EXPECT_EQ(f.FilePath, "/tmp/a.fxr");
    EXPECT_TRUE(f.Layout800);
    EXPECT_EQ(f.Name, "");
    EXPECT_TRUE(f.Saved);
    EXPECT_TRUE(f.Attributes.Empty() && f.Commands.Empty() && f.Palettes.Empty());
}

TEST(FixClasses, AddParameterRegistersBothPatchesOfA16BitAttribute)
{
    TFixture f;
    f.AddParameter(Attribute("Pan", 3, 4));
    ASSERT_EQ(Keys(f), "03 04L");
    EXPECT_EQ(f.Attributes[1].InternalPatch, 3);
    EXPECT_EQ(f.Attributes[1].Name, "Pan");
    EXPECT_EQ(f.Attributes[1].LocateLevel, 0); // not copied
    f.AddParameter(Attribute("Dimmer", 1));
    f.AddParameter(Attribute("Zoom", 42));
    EXPECT_EQ(Keys(f), "01 03 04L 42");
}

TEST(FixClasses, AddParameterRefusesTakenKeysAndAddsNothing)
{
    TFixture f;
    f.AddParameter(Attribute("Dimmer", 5));
    f.AddParameter(Attribute("Shutter", 11));
    struct Case {
        std::unique_ptr<TParameter> attribute;
        const char *message;
    } cases[] = {
        {Attribute("Other", 5), "Attribute internal patch no \"05\" is already exist."},
        {Attribute("Far", 110), "Attribute internal patch no \"11\" is already exist."},
        {Attribute("Tilt", 7, 5), "Attribute internal patch low \"05\" is already exist."},
        {Attribute("Same", 8, 8), "Attribute internal patch low \"08\" is already exist."},
        {Attribute("Wide", 9, 119), "Attribute internal patch low \"11\" is already exist."},
    };
    for (Case &c : cases) {
        EXPECT_EQ(Refusal([&] { f.AddParameter(std::move(c.attribute)); }), c.message);
        EXPECT_EQ(Keys(f), "05 11");
    }
}

TEST(FixClasses, LooksUpAttributesByPatchAndByNameInAnyCase)
{
    TFixture f;
    f.AddParameter(Attribute("Dimmer", 1));
    f.AddParameter(Attribute("Pan", 2, 3));
    EXPECT_EQ(f.ParameterByName("dimmer"), &f.Attributes[0]);
    EXPECT_EQ(f.ParameterByName("PAN")->InternalPatch, 2);
    EXPECT_EQ(f.ParameterByName("Tilt"), nullptr);
    EXPECT_EQ(f.ParameterByPatch(2)->Name, "Pan");
    EXPECT_EQ(f.ParameterByPatch(3), nullptr); // the low part carries its attribute's patch
    EXPECT_EQ(f.ParameterByPatch(65536 + 1), nullptr);
}

TEST(FixClasses, CommandNamesAreUniqueWithoutRegardToCase)
{
    TFixture f;
    TCommand &lamp = f.AddCommand("Lamp on");
    EXPECT_EQ(Refusal([&] { f.AddCommand("LAMP ON"); }), "Command \"LAMP ON\" is already exist.");
    f.AddCommand("Reset");
    EXPECT_EQ(f.Commands.Count(), 2u);
    EXPECT_EQ(f.Commands.Find("lamp on"), &lamp);
    lamp.AddLine("Lamp", 65535 + 2, 1000);
    EXPECT_EQ(lamp.Lines.back().Value, 1); // low 16 bits
}

TEST(FixClasses, PaletteKeysAreNameAndType)
{
    TFixture f;
    f.AddPalette("Red", 3);
    f.AddPalette("Red", 4);
    EXPECT_EQ(Refusal([&] { f.AddPalette("RED", 3); }), "Palette \"RED\" is already exist.");
    f.AddPalette("Red2", 55);
    f.AddPalette("Red25", 5); // same text as Red2 and 55 put together, yet another palette
    EXPECT_EQ(f.Palettes.Count(), 4u);
    EXPECT_EQ(f.FindPalette("red", 4), &f.Palettes[1]);
    EXPECT_EQ(f.Palettes[0].Key(), "Red3");
    EXPECT_EQ(f.Palettes[0].Red, -1);
}

TEST(FixClasses, NormalizeRebuildsLowPartsAndOrdersByOrder)
{
    TFixture f;
    f.AddParameter(Attribute("Tilt", 4, 5, 3));
    f.AddParameter(Attribute("Dimmer", 1, 0, 2));
    f.AddParameter(Attribute("Pan", 2, 3, 1));
    ASSERT_EQ(Keys(f), "01 02 03L 04 05L");
    // Lose a low part and change an order, as an edit would.
    f.Attributes.Delete(4);
    f.Attributes[0].Order = 9;
    f.Normalize();
    EXPECT_EQ(Keys(f), "02 03L 04 05L 01");
    EXPECT_EQ(f.Attributes[3].Order, 3);
    EXPECT_EQ(f.Attributes[3].Name, "Tilt");
    f.Normalize();
    EXPECT_EQ(Keys(f), "02 03L 04 05L 01");
}

TEST(FixClasses, NextFreePatchAndNextOrder)
{
    TFixture f;
    EXPECT_EQ(f.NextFreePatch(), 1);
    EXPECT_EQ(f.NextOrder(), 1);
    f.AddParameter(Attribute("Dimmer", 1, 0, 4));
    f.AddParameter(Attribute("Pan", 2, 3, 2));
    EXPECT_EQ(f.NextFreePatch(), 4);
    EXPECT_EQ(f.NextOrder(), 5);
}

TEST(FixClasses, AssignCopiesAllButTheLocateLevel)
{
    const auto source = Attribute("Pan", 2, 3);
    source->Inherit = true;
    source->Priority = 7;
    TParameter copy;
    copy.LocateLevel = 5;
    copy.Assign(*source);
    EXPECT_EQ(copy.Name, "Pan");
    EXPECT_EQ(copy.InternalPatchLow, 3);
    EXPECT_TRUE(copy.Inherit);
    EXPECT_EQ(copy.Priority, 7);
    EXPECT_EQ(copy.LocateLevel, 5);
}

TEST(FixClasses, CloneIsDeepAndFindsByKeyLikeTheOriginal)
{
    TFixture f;
    f.Name = "Spot";
    f.AddParameter(Attribute("Pan", 1, 2));
    f.AddCommand("Lamp on").AddLine("Pan", 257, 10);
    for (int i = 0; i < 20; ++i) // enough for the lists' index
        f.AddPalette("P" + std::to_string(i), 3).SetValue("Pan", i);

    const TFixture copy = f.Clone();
    f.Name = "Changed";
    f.Attributes[0].Name = "Tilt";
    f.Commands[0].Lines.clear();
    f.FindPalette("p7", 3)->SetValue("PAN", 99);
    f.Palettes.Delete(0);

    EXPECT_EQ(copy.Name, "Spot");
    EXPECT_EQ(Keys(copy), "01 02L");
    EXPECT_EQ(copy.Attributes[0].Name, "Pan");
    EXPECT_NE(&copy.Attributes[0], &f.Attributes[0]);
    ASSERT_EQ(copy.Commands[0].Lines.size(), 1u);
    EXPECT_EQ(copy.Commands[0].Lines[0].Value, 257);
    ASSERT_EQ(copy.Palettes.Count(), 20u);
    EXPECT_EQ(copy.FindPalette("p7", 3)->Lines[0].Value, 7);
    EXPECT_EQ(copy.FindPalette("P19", 3), &copy.Palettes[19]);
}
