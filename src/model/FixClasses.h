#pragma once

#include "KeyedList.h"
#include "Name.h"
#include "platform/DateTime.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// One attribute: a logical channel of the fixture.
class TParameter {
public:
    std::string Name;
    int32_t Priority = 0;
    uint8_t ChannelType = 0;
    uint8_t ControlType = 0;
    uint8_t Width = 0;
    uint16_t InternalPatch = 0;
    uint16_t InternalPatchLow = 0; // the low byte's channel of a 16-bit attribute; 0 for none
    uint8_t Path = 0;
    uint16_t DmxMin = 0; // on the 8-bit scale, also for 16-bit attributes
    uint16_t DmxMax = 0;
    bool Inherit = false;
    bool ShowOnEditor = false;
    bool IsLowPart = false; // the second entry a 16-bit attribute has under its low patch
    uint8_t Order = 0;
    int32_t LocateLevel = 0; // used by the add-channel dialog only; never in a file

    // Copies every field but LocateLevel.
    void Assign(const TParameter &source);
};

// One step of a command.
struct TCommandLine {
    TName ChannelName;  // an attribute name, or "#" and an internal patch
    uint16_t Value = 0; // on the 16-bit scale
    int32_t Time = 0;   // milliseconds
};

class TCommand {
public:
    explicit TCommand(std::string name) : Name(std::move(name)) {}

    std::string Name;
    std::vector<TCommandLine> Lines;

    // Keeps the low 16 bits of the value.
    TCommandLine &AddLine(TName channelName, int64_t value, int32_t time);
};

// One channel value of a palette.
struct TPaletteLine {
    TName ChannelName;
    int32_t Value = 0; // on the 16-bit scale
};

class TPalette {
public:
    TPalette(std::string name, uint8_t paletteType) : PaletteType(paletteType), Name(std::move(name)) {}

    uint8_t PaletteType;
    int32_t Red = -1; // -1: no colour
    int32_t Green = -1;
    int32_t Blue = -1;
    std::string Name;
    TName Description;
    TName Bitmap;
    TKeyedList<TPaletteLine, &TPaletteLine::ChannelName> Lines;

    // Replaces the value of a channel of the same name in any letter case (the name already held
    // stays), or appends a new value.
    TPaletteLine &SetValue(TName channelName, int32_t value);
    // The name followed by the type in decimal, as the user knows a palette ("Locate7").
    std::string Key() const { return Name + std::to_string(PaletteType); }
};

// The attributes, each under the two-character key of its patch; a 16-bit attribute has a second,
// low-part entry under the key of its low patch. Entries stay in ascending key order as they are
// added until Normalize arranges them by Order.
class TAttributeList {
public:
    struct Entry {
        std::string Key;
        std::unique_ptr<TParameter> Parameter;
    };

    TAttributeList() = default;
    // A copy holds copies of the attributes.
    TAttributeList(const TAttributeList &other);
    TAttributeList &operator=(const TAttributeList &) = delete;
    TAttributeList(TAttributeList &&) noexcept = default;
    TAttributeList &operator=(TAttributeList &&) noexcept = default;
    ~TAttributeList() = default;

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    TParameter &operator[](std::size_t i) const { return *entries_[i].Parameter; }
    const std::string &Key(std::size_t i) const { return entries_[i].Key; }
    int IndexOfKey(std::string_view key) const;

    void Add(std::string key, std::unique_ptr<TParameter> parameter);
    void Insert(std::size_t at, std::string key, std::unique_ptr<TParameter> parameter);
    void Delete(std::size_t i);
    void Clear() { entries_.clear(); }
    std::vector<Entry> &Entries() { return entries_; }
    const std::vector<Entry> &Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// Finds attributes by name as TFixture::ParameterByName does (the first entry, in the list's
// arrangement, whose name matches without regard to letter case), in constant time instead of a
// scan per lookup. It shows the list as it was when built; whoever changes the list builds it anew.
class TAttributeNameIndex {
public:
    struct TNamed {
        TParameter *First = nullptr;
        int Count = 0; // the attributes, not counting low parts, that carry the name
    };

    explicit TAttributeNameIndex(const TAttributeList &list);
    TParameter *Find(std::string_view name) const { return Named(name).First; }
    TNamed Named(std::string_view name) const;

private:
    // One table of open addressing: a slot holds the high half of its name's hash and the
    // position of the name in names_ and named_, or NoName.
    static constexpr uint64_t NoName = UINT64_MAX;
    std::size_t SlotOf(std::string_view name, std::size_t hash) const;

    std::vector<std::string_view> names_;
    std::vector<TNamed> named_;
    std::vector<uint64_t> slots_;
};

// One fixture definition.
class TFixture {
public:
    TFixture() { Clear(); }
    TFixture(TFixture &&) = default;
    TFixture &operator=(TFixture &&) = default;
    ~TFixture() = default;
    // A copy of every field, attribute, command and palette; copies are made only on purpose.
    TFixture Clone() const { return TFixture(*this); }

    std::string FileName;
    std::string FileDir;
    std::string FilePath;
    bool Layout800 = false;
    int32_t FormatVersion = 1;
    std::string Author;
    std::string Revision;
    TDateTime Date = 0;
    std::string Comments;
    std::string Name;
    std::string Brand;
    uint8_t FixtureType = 4;
    int32_t PanAngleMin = 0;
    int32_t PanAngleMax = 0;
    int32_t TiltAngleMin = 0;
    int32_t TiltAngleMax = 0;
    int32_t DmxChannels = 0;
    int32_t DmxSplitChannels = 0;
    TAttributeList Attributes;
    TKeyedList<TCommand> Commands;
    TKeyedList<TPalette> Palettes; // found by FindPalette; the list key is internal
    bool Saved = true;

    // Resets every field but the file's directory and path and the layout flag, and empties the lists.
    void Clear();

    // Registers the attribute under its patch and, when it has one, its low patch. Throws
    // EFixtureError naming the key that is taken; nothing is added then.
    void AddParameter(std::unique_ptr<TParameter> attribute);
    TParameter *ParameterByPatch(int64_t patch) const;
    TParameter *ParameterByName(std::string_view name) const;
    // Throw EFixtureError when a command of the name, or a palette of the name and type, exists.
    TCommand &AddCommand(const std::string &name);
    TPalette &AddPalette(const std::string &name, uint8_t paletteType);
    TPalette *FindPalette(std::string_view name, uint8_t paletteType) const;
    // Gives the attribute, and its low part, a new name; the steps and palette values that name it
    // follow, unless another attribute still carries the old name. A palette that already has a
    // value under the new name keeps that one.
    void RenameAttribute(TParameter &attribute, const std::string &name);
    // Rebuilds the low-part entries and arranges the attributes in ascending Order.
    void Normalize();
    int NextFreePatch() const;
    int NextOrder() const;

    // Lets the user choose a fixture file and reads it. True when a whole file was read; the
    // fixture is replaced only then. Reports problems through Dialogs().
    bool Load();
    // Reads the file at path as Load does once a file is chosen.
    bool LoadFile(const std::string &path);
    // Writes FileDir/FileName in the format of FormatVersion and reports the outcome. True when
    // the file was written; Saved is then true, and written, when given, runs before the report.
    // A write that fails after the file was created throws EInOutError; the previous file stays
    // as it was.
    bool Save(const std::function<void()> &written = {});
    bool SaveFormat10(const std::function<void()> &written = {});
    bool SaveFormat2(const std::function<void()> &written = {});
    // The consistency checks; each shows its findings as warnings and returns whether it passed.
    bool CheckBaseData() const;
    bool CheckPatches() const;
    // Whether a file in FormatVersion gives back every text as it stands; warns when not.
    bool CheckTexts() const;

private:
    TFixture(const TFixture &) = default;
};

// The index key of a palette in TFixture::Palettes.
std::string PaletteIndexKey(std::string_view name, uint8_t paletteType);
