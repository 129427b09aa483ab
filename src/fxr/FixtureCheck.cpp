#include "FixtureCheck.h"

#include "platform/UserDialogs.h"

#include <bitset>
#include <cstdint>
#include <limits>

std::vector<std::string> BaseDataFindings(const TFixture &fixture)
{
    std::vector<std::string> findings;
    if (static_cast<int64_t>(fixture.Attributes.Count()) > fixture.DmxChannels)
        findings.emplace_back("DMX channel value cannot be lower than the number of attributes");
    if (fixture.Name.empty())
        findings.emplace_back("Fixture must be filled");
    return findings;
}

std::vector<std::string> PatchFindings(const TFixture &fixture)
{
    // One flag for every patch an attribute can hold.
    std::bitset<std::numeric_limits<uint16_t>::max() + 1> taken;
    const auto claim = [&](uint16_t patch) {
        if (patch > fixture.DmxChannels || taken[patch])
            return false;
        taken[patch] = true;
        return true;
    };
    for (const auto &entry : fixture.Attributes.Entries()) {
        const TParameter &p = *entry.Parameter;
        if (p.IsLowPart)
            continue;
        if (!claim(p.InternalPatch) || (p.Width > 8 && p.InternalPatchLow >= 2 && !claim(p.InternalPatchLow)))
            return {"parameter \"" + p.Name + "\": Internal patch error !"};
    }
    return {};
}

namespace {

bool ShowFindings(const std::vector<std::string> &findings)
{
    for (const std::string &finding : findings)
        Dialogs().ShowMessage(TMessageKind::Warning, finding);
    return findings.empty();
}

} // namespace

bool TFixture::CheckBaseData() const { return ShowFindings(BaseDataFindings(*this)); }

bool TFixture::CheckPatches() const { return ShowFindings(PatchFindings(*this)); }
