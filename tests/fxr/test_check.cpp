#include "fxr/FixtureCheck.h"
#include "support/FixtureBuilder.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

struct TAttr {
    const char *name;
    uint16_t patch;
    uint16_t low;
    uint8_t width;
};

TFixture Fixture(int32_t channels, std::initializer_list<TAttr> attributes, const char *name = "Spot")
{
    TFixture f;
    f.Name = name;
    f.DmxChannels = channels;
    for (const TAttr &a : attributes) {
        auto p = std::make_unique<TParameter>();
        p->Name = a.name;
        p->InternalPatch = a.patch;
        p->InternalPatchLow = a.low;
        p->Width = a.width;
        // Register as the reader does, but let tests build clashes the model would refuse.
        f.Attributes.Entries().push_back({PatchKey(a.patch) + std::to_string(f.Attributes.Count()), std::move(p)});
    }
    return f;
}

using Findings = std::vector<std::string>;

} // namespace

TEST(FixtureCheck, PatchCheckNamesTheFirstAttributeThatClashes)
{
    struct Case {
        const char *name;
        TFixture fixture;
        Findings expected;
    } const cases[] = {
        {"fits", Fixture(3, {{"Dimmer", 1, 0, 8}, {"Pan", 2, 3, 16}}), {}},
        {"low patch beyond the channels",
         Fixture(2, {{"Dimmer", 1, 0, 8}, {"Pan", 2, 3, 16}}),
         {"parameter \"Pan\": Internal patch error !"}},
        {"same patch twice",
         Fixture(9, {{"Gobo", 4, 0, 8}, {"Prism", 4, 0, 8}, {"Zoom", 99, 0, 8}}),
         {"parameter \"Prism\": Internal patch error !"}},
        {"low patch on a later patch",
         Fixture(9, {{"Pan", 2, 3, 16}, {"Tilt", 3, 0, 8}}),
         {"parameter \"Tilt\": Internal patch error !"}},
        {"patch on an earlier low patch",
         Fixture(9, {{"Tilt", 3, 0, 8}, {"Pan", 2, 3, 16}}),
         {"parameter \"Pan\": Internal patch error !"}},
        {"8-bit low patch ignored", Fixture(2, {{"Dimmer", 1, 200, 8}, {"Shutter", 2, 1, 8}}), {}},
        {"low patch 1 ignored", Fixture(2, {{"Pan", 1, 1, 16}, {"Tilt", 2, 0, 8}}), {}},
        {"patch 0 passes", Fixture(0, {{"Virtual", 0, 0, 8}}), {}},
        {"no attributes", Fixture(0, {}), {}},
        {"patches beyond 128",
         Fixture(600, {{"A", 300, 0, 8}, {"B", 512, 513, 16}, {"C", 513, 0, 8}}),
         {"parameter \"C\": Internal patch error !"}},
        {"highest patch",
         Fixture(65535, {{"A", 65535, 65534, 16}, {"B", 65534, 0, 8}}),
         {"parameter \"B\": Internal patch error !"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PatchFindings(c.fixture), c.expected) << c.name;
}

TEST(FixtureCheck, PatchCheckSkipsLowPartEntries)
{
    TFixture f = Fixture(3, {});
    testing_support::AddAttribute(f, {"Pan", 1, ctPanTilt, ctlLTP, 16, 2, 3});
    EXPECT_EQ(PatchFindings(f), Findings{});
}

TEST(FixtureCheck, BaseDataCountsChannelsAndNeedsAName)
{
    EXPECT_EQ(BaseDataFindings(Fixture(3, {{"Dimmer", 1, 0, 8}, {"Pan", 2, 3, 8}, {"Pan low", 3, 0, 8}})), Findings{});
    EXPECT_EQ(BaseDataFindings(Fixture(2, {{"Dimmer", 1, 0, 8}, {"Pan", 2, 3, 8}, {"Pan low", 3, 0, 8}}, "")),
              (Findings{"DMX channel value cannot be lower than the number of attributes", "Fixture must be filled"}));
    EXPECT_EQ(BaseDataFindings(Fixture(0, {}, "")), Findings{"Fixture must be filled"});
}

TEST(FixtureCheck, ChecksShowTheirFindingsAsWarnings)
{
    TScriptedDialogs dialogs;
    const TFixture failing = Fixture(1, {{"Dimmer", 1, 0, 8}, {"Shutter", 1, 0, 8}}, "");
    EXPECT_FALSE(failing.CheckPatches());
    EXPECT_FALSE(failing.CheckBaseData());
    EXPECT_EQ(dialogs.Shown,
              (std::vector<TScriptedDialogs::TShown>{
                  {TMessageKind::Warning, "parameter \"Shutter\": Internal patch error !"},
                  {TMessageKind::Warning, "DMX channel value cannot be lower than the number of attributes"},
                  {TMessageKind::Warning, "Fixture must be filled"}}));
    dialogs.Shown.clear();
    const TFixture passing = Fixture(1, {{"Dimmer", 1, 0, 8}});
    EXPECT_TRUE(passing.CheckPatches());
    EXPECT_TRUE(passing.CheckBaseData());
    EXPECT_TRUE(dialogs.Shown.empty());
}
