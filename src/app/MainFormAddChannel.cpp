// Adding a predefined attribute picked in the add-channel dialog.

#include "MainFormClass.h"

#include "model/FixConsts.h"
#include "model/FixDatas.h"
#include "platform/Errors.h"
#include "platform/UserDialogs.h"

#include <QComboBox>
#include <QPushButton>

namespace {

constexpr uint8_t SpecialPalette = 7;

// The attribute's level in the control palette of that name, made when missing.
void FileLevel(TFixture &f, const std::string &palette, const std::string &channel, int32_t level)
{
    TPalette *target = f.FindPalette(palette, SpecialPalette);
    if (!target)
        target = &f.AddPalette(palette, SpecialPalette);
    target->SetValue(channel, level);
}

// The name a new attribute gets: a second Gobo becomes Gobo2, a Gobo after Gobo3 becomes Gobo4.
std::string NumberedName(const TFixture &f, const std::string &name)
{
    const std::string upper = UpperCase(name);
    int counter = 1;
    for (const auto &entry : f.Attributes.Entries()) {
        const TParameter &e = *entry.Parameter;
        // A low part is its attribute once more; it must not count twice.
        if (e.IsLowPart || !StartsWith(UpperCase(e.Name), upper))
            continue;
        if (e.Name.size() == name.size()) {
            if (e.Name == "Pan" || e.Name == "Tilt")
                throw EFixtureError(e.Name + " channel already exist!");
            ++counter;
        } else if (int32_t number = 0; TryStrToInt(std::string_view(e.Name).substr(name.size()), number)) {
            counter = std::max(counter, number + 1);
        }
    }
    return counter > 1 ? name + std::to_string(counter) : name;
}

} // namespace

void TMainFormClass::AddChannelClick()
{
    // The standard layout offers the dialog again after each pick, until "Exit".
    while (AddChannel() && !Is800()) {
    }
}

bool TMainFormClass::AddChannel()
{
    if (c_.btnApplyParam->isEnabled())
        ApplyAttribute();
    TFixture &f = CurrentFixture();
    if (f.Attributes.Count() >= 64)
        throw EFixtureError("Max 64 dmx channels available.");
    const auto pick = Dialogs().PickPredefinedName("Add channel", "AddChannel.ini");
    if (!pick)
        return false;
    std::string name = pick->Name;
    if (name == "Other") {
        const auto typed = Dialogs().AskName("Get attribute name", "Other");
        if (!typed)
            return true;
        name = *typed;
    }

    auto attribute = std::make_unique<TParameter>();
    TParameter &p = *attribute;
    const TAttributeDescriptor d = DecodeDescriptor(static_cast<uint32_t>(pick->Descriptor));
    if (pick->Descriptor == 0) {
        name = Trim(name);
        if (!name.empty() && f.ParameterByName(name))
            throw EFixtureError(name + " channel already exist!");
        p.Name = name;
        p.ChannelType = ctIntensity;
    } else {
        p.Name = NumberedName(f, name);
        p.ChannelType = static_cast<uint8_t>(d.ChannelType);
    }
    if (p.Name.empty())
        return true;
    p.InternalPatch = static_cast<uint16_t>(f.NextFreePatch());
    p.Order = static_cast<uint8_t>(f.NextOrder());
    p.Priority = 1;
    p.DmxMax = 255;
    p.ControlType = static_cast<uint8_t>(d.ControlType);
    p.Width = static_cast<uint8_t>(d.Width);
    if (p.Width == 16)
        p.InternalPatchLow = static_cast<uint16_t>(p.InternalPatch + 1);
    p.Path = static_cast<uint8_t>(d.Path);
    p.Inherit = d.Inherit;
    p.ShowOnEditor = d.ShowOnEditor;
    p.LocateLevel = d.LocateLevel;

    // File the attribute first: a refused add leaves the palettes as they were.
    f.AddParameter(std::move(attribute));
    const int32_t level = p.LocateLevel * 65535 / 100;
    const std::string upper = UpperCase(p.Name);
    if (p.LocateLevel < 101)
        FileLevel(f, "Locate", p.Name, level);
    if (upper.find("DIMMER") != std::string::npos) {
        if (p.LocateLevel < 101)
            FileLevel(f, "HiLite", p.Name, level);
        FileLevel(f, "Standby", p.Name, 0);
    }
    if (upper.find("SHUTTER") != std::string::npos && p.LocateLevel < 101)
        FileLevel(f, "HiLite", p.Name, level);

    RefreshAttributeGrid();
    if (f.DmxChannels < p.InternalPatch) {
        f.DmxChannels = p.InternalPatch;
        const auto filling = Filling();
        c_.DmxChannel->setCurrentIndex(p.InternalPatch - 1);
    }
    SelectEntry(&p);
    ShowPageTabs();
    Modified();
    return true;
}
