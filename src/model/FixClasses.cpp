#include "FixClasses.h"

#include "platform/Errors.h"

#include <algorithm>

namespace {

std::string AlreadyExists(std::string_view what, std::string_view value)
{
    return std::string(what) + "\"" + std::string(value) + "\" is already exist.";
}

} // namespace

void TParameter::Assign(const TParameter &source)
{
    const int32_t locateLevel = LocateLevel;
    *this = source;
    LocateLevel = locateLevel;
}

TCommandLine &TCommand::AddLine(TName channelName, int64_t value, int32_t time)
{
    Lines.push_back({std::move(channelName), static_cast<uint16_t>(value & 0xFFFF), time});
    return Lines.back();
}

TPaletteLine &TPalette::SetValue(TName channelName, int32_t value)
{
    if (TPaletteLine *line = Lines.Find(channelName)) {
        line->Value = value;
        return *line;
    }
    return Lines.Add(std::move(channelName), TPaletteLine{{}, value});
}

TAttributeList::TAttributeList(const TAttributeList &other)
{
    entries_.reserve(other.entries_.size());
    for (const Entry &entry : other.entries_)
        entries_.push_back({entry.Key, std::make_unique<TParameter>(*entry.Parameter)});
}

int TAttributeList::IndexOfKey(std::string_view key) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].Key == key)
            return static_cast<int>(i);
    return -1;
}

void TAttributeList::Add(std::string key, std::unique_ptr<TParameter> parameter)
{
    const auto at = std::find_if(entries_.begin(), entries_.end(), [&](const Entry &e) { return e.Key > key; });
    Insert(static_cast<std::size_t>(at - entries_.begin()), std::move(key), std::move(parameter));
}

void TAttributeList::Insert(std::size_t at, std::string key, std::unique_ptr<TParameter> parameter)
{
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), {std::move(key), std::move(parameter)});
}

void TAttributeList::Delete(std::size_t i)
{
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

TAttributeNameIndex::TAttributeNameIndex(const TAttributeList &list)
{
    std::size_t size = 16;
    while (size < list.Count() * 2)
        size *= 2;
    slots_.assign(size, NoName);
    names_.reserve(list.Count());
    named_.reserve(list.Count());
    for (const auto &entry : list.Entries()) {
        const std::string_view name = entry.Parameter->Name;
        const std::size_t hash = CaseInsensitiveHash(name);
        const std::size_t slot = SlotOf(name, hash);
        if (slots_[slot] == NoName) {
            slots_[slot] = (static_cast<uint64_t>(hash) >> 32) << 32 | names_.size();
            names_.push_back(name);
            named_.push_back({entry.Parameter.get(), 0});
        }
        if (!entry.Parameter->IsLowPart)
            ++named_[static_cast<uint32_t>(slots_[slot])].Count;
    }
}

std::size_t TAttributeNameIndex::SlotOf(std::string_view name, std::size_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    const uint64_t tag = static_cast<uint64_t>(hash) >> 32;
    std::size_t slot = hash & mask;
    for (; slots_[slot] != NoName; slot = (slot + 1) & mask)
        if (slots_[slot] >> 32 == tag) {
            const std::string_view held = names_[static_cast<uint32_t>(slots_[slot])];
            if (held == name || SameText(held, name))
                break;
        }
    return slot;
}

TAttributeNameIndex::TNamed TAttributeNameIndex::Named(std::string_view name) const
{
    const uint64_t held = slots_[SlotOf(name, CaseInsensitiveHash(name))];
    return held == NoName ? TNamed() : named_[static_cast<uint32_t>(held)];
}

std::string PaletteIndexKey(std::string_view name, uint8_t paletteType)
{
    // A separator keeps "Red25" of type 5 apart from "Red2" of type 55.
    return std::string(name) + '\x1F' + std::to_string(paletteType);
}

void TFixture::Clear()
{
    FileName.clear();
    FormatVersion = 1;
    Author.clear();
    Revision.clear();
    Date = 0;
    Comments.clear();
    Name.clear();
    Brand.clear();
    FixtureType = 4;
    PanAngleMin = PanAngleMax = TiltAngleMin = TiltAngleMax = 0;
    DmxChannels = DmxSplitChannels = 0;
    Attributes.Clear();
    Commands.Clear();
    Palettes.Clear();
    Saved = true;
}

void TFixture::AddParameter(std::unique_ptr<TParameter> attribute)
{
    const std::string key = PatchKey(attribute->InternalPatch);
    if (Attributes.IndexOfKey(key) >= 0)
        throw EFixtureError(AlreadyExists("Attribute internal patch no ", key));
    std::unique_ptr<TParameter> lowPart;
    std::string lowKey;
    if (attribute->InternalPatchLow != 0) {
        lowKey = PatchKey(attribute->InternalPatchLow);
        if (lowKey == key || Attributes.IndexOfKey(lowKey) >= 0)
            throw EFixtureError(AlreadyExists("Attribute internal patch low ", lowKey));
        lowPart = std::make_unique<TParameter>();
        lowPart->Assign(*attribute);
        lowPart->IsLowPart = true;
    }
    Attributes.Add(key, std::move(attribute));
    if (lowPart)
        Attributes.Add(lowKey, std::move(lowPart));
}

TParameter *TFixture::ParameterByPatch(int64_t patch) const
{
    for (const auto &entry : Attributes.Entries())
        if (entry.Parameter->InternalPatch == patch)
            return entry.Parameter.get();
    return nullptr;
}

TParameter *TFixture::ParameterByName(std::string_view name) const
{
    for (const auto &entry : Attributes.Entries())
        if (SameText(entry.Parameter->Name, name))
            return entry.Parameter.get();
    return nullptr;
}

TCommand &TFixture::AddCommand(const std::string &name)
{
    TCommand *added = Commands.AddNew(name, std::make_unique<TCommand>(name));
    if (!added)
        throw EFixtureError(AlreadyExists("Command ", name));
    return *added;
}

TPalette &TFixture::AddPalette(const std::string &name, uint8_t paletteType)
{
    TPalette *added =
        Palettes.AddNew(PaletteIndexKey(name, paletteType), std::make_unique<TPalette>(name, paletteType));
    if (!added)
        throw EFixtureError(AlreadyExists("Palette ", name));
    return *added;
}

TPalette *TFixture::FindPalette(std::string_view name, uint8_t paletteType) const
{
    return Palettes.Find(PaletteIndexKey(name, paletteType));
}

void TFixture::RenameAttribute(TParameter &attribute, const std::string &name)
{
    const std::string old = attribute.Name;
    const bool oldNameStays = std::any_of(Attributes.Entries().begin(), Attributes.Entries().end(), [&](const auto &e) {
        return e.Parameter.get() != &attribute && !e.Parameter->IsLowPart && SameText(e.Parameter->Name, old);
    });
    for (const auto &entry : Attributes.Entries())
        if (entry.Parameter.get() == &attribute ||
            (entry.Parameter->IsLowPart && entry.Parameter->InternalPatch == attribute.InternalPatch))
            entry.Parameter->Name = name;
    if (oldNameStays || old == name)
        return;
    for (TCommand &command : Commands)
        for (TCommandLine &step : command.Lines)
            if (SameText(step.ChannelName, old))
                step.ChannelName = name;
    for (TPalette &palette : Palettes) {
        const int at = palette.Lines.IndexOf(old);
        if (at < 0)
            continue;
        const auto i = static_cast<std::size_t>(at);
        if (!SameText(old, name) && palette.Lines.Find(name)) {
            palette.Lines.Delete(i);
            continue;
        }
        palette.Lines[i].ChannelName = name;
        palette.Lines.Rekey(i, name);
    }
}

void TFixture::Normalize()
{
    auto &entries = Attributes.Entries();
    std::erase_if(entries, [](const TAttributeList::Entry &e) { return e.Parameter->IsLowPart; });
    // Each low part goes right behind its attribute, so that the stable sort keeps them together.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TParameter &attribute = *entries[i].Parameter;
        if (attribute.InternalPatchLow == 0)
            continue;
        std::string lowKey = PatchKey(attribute.InternalPatchLow);
        if (Attributes.IndexOfKey(lowKey) >= 0)
            continue;
        auto lowPart = std::make_unique<TParameter>();
        lowPart->Assign(attribute);
        lowPart->IsLowPart = true;
        Attributes.Insert(++i, std::move(lowKey), std::move(lowPart));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TAttributeList::Entry &a, const TAttributeList::Entry &b) {
                         return a.Parameter->Order < b.Parameter->Order;
                     });
}

int TFixture::NextFreePatch() const
{
    int highest = 0;
    for (const auto &entry : Attributes.Entries())
        highest = std::max({highest, int(entry.Parameter->InternalPatch), int(entry.Parameter->InternalPatchLow)});
    return highest + 1;
}

int TFixture::NextOrder() const
{
    int highest = 0;
    for (const auto &entry : Attributes.Entries())
        highest = std::max(highest, int(entry.Parameter->Order));
    return highest + 1;
}
