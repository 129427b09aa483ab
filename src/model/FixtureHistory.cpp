#include "FixtureHistory.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Entries are kept in runs of this many; a run that a change left alone is shared.
constexpr std::size_t RunLength = 64;

std::size_t TextBytes(const std::string &text)
{
    // Short texts live inside the string itself.
    return text.capacity() > 15 ? text.capacity() + 1 : 0;
}

// A name's text is shared by every entry that holds it, in the history and out of it; an entry
// adds only its handle, which its own size counts.
std::size_t TextBytes(const TName &)
{
    return 0;
}

std::size_t EntryBytes(const TParameter &)
{
    return sizeof(TParameter);
}

std::size_t EntryBytes(const TCommand &command)
{
    std::size_t bytes = sizeof(TCommand) + TextBytes(command.Name) + command.Lines.capacity() * sizeof(TCommandLine);
    for (const TCommandLine &step : command.Lines)
        bytes += TextBytes(step.ChannelName);
    return bytes;
}

std::size_t EntryBytes(const TPalette &palette)
{
    std::size_t bytes =
        sizeof(TPalette) + TextBytes(palette.Name) + TextBytes(palette.Description) + TextBytes(palette.Bitmap);
    for (const TPaletteLine &value : palette.Lines)
        bytes += sizeof(TPaletteLine) + 48 + TextBytes(value.ChannelName);
    return bytes;
}

bool SameEntry(const TParameter &a, const TParameter &b)
{
    return a.Name == b.Name && a.Priority == b.Priority && a.ChannelType == b.ChannelType &&
           a.ControlType == b.ControlType && a.Width == b.Width && a.InternalPatch == b.InternalPatch &&
           a.InternalPatchLow == b.InternalPatchLow && a.Path == b.Path && a.DmxMin == b.DmxMin &&
           a.DmxMax == b.DmxMax && a.Inherit == b.Inherit && a.ShowOnEditor == b.ShowOnEditor &&
           a.IsLowPart == b.IsLowPart && a.Order == b.Order && a.LocateLevel == b.LocateLevel;
}

bool SameEntry(const TCommand &a, const TCommand &b)
{
    return a.Name == b.Name && std::equal(a.Lines.begin(), a.Lines.end(), b.Lines.begin(), b.Lines.end(),
                                          [](const TCommandLine &x, const TCommandLine &y) {
                                              return x.ChannelName == y.ChannelName && x.Value == y.Value &&
                                                     x.Time == y.Time;
                                          });
}

bool SameEntry(const TPalette &a, const TPalette &b)
{
    if (a.PaletteType != b.PaletteType || a.Name != b.Name || a.Description != b.Description || a.Red != b.Red ||
        a.Green != b.Green || a.Blue != b.Blue || a.Bitmap != b.Bitmap || a.Lines.Count() != b.Lines.Count())
        return false;
    for (std::size_t i = 0; i < a.Lines.Count(); ++i)
        if (a.Lines.Key(i) != b.Lines.Key(i) || a.Lines[i].ChannelName != b.Lines[i].ChannelName ||
            a.Lines[i].Value != b.Lines[i].Value)
            return false;
    return true;
}

template <class T> struct TRun {
    std::vector<std::pair<std::string, T>> Entries; // the list's key and a copy of the entry
    std::size_t Bytes = 0;
};

template <class T> using TRuns = std::vector<std::shared_ptr<const TRun<T>>>;

// The list in runs; a run equal to the one in its place before is taken over from there.
template <class List, class T> TRuns<T> Runs(const List &list, std::size_t count, const TRuns<T> *before)
{
    TRuns<T> runs;
    runs.reserve((count + RunLength - 1) / RunLength);
    for (std::size_t first = 0; first < count; first += RunLength) {
        const std::size_t last = std::min(first + RunLength, count);
        const std::size_t r = first / RunLength;
        if (before && r < before->size()) {
            const TRun<T> &old = *(*before)[r];
            bool same = old.Entries.size() == last - first;
            for (std::size_t i = first; same && i < last; ++i)
                same = old.Entries[i - first].first == list.Key(i) && SameEntry(old.Entries[i - first].second, list[i]);
            if (same) {
                runs.push_back((*before)[r]);
                continue;
            }
        }
        auto run = std::make_shared<TRun<T>>();
        run->Entries.reserve(last - first);
        for (std::size_t i = first; i < last; ++i) {
            run->Entries.emplace_back(list.Key(i), list[i]);
            run->Bytes += sizeof(std::pair<std::string, T>) + TextBytes(list.Key(i)) + EntryBytes(list[i]);
        }
        runs.push_back(std::move(run));
    }
    return runs;
}

} // namespace

class TFixtureHistory::TState {
public:
    TState(const TFixture &fixture, const TState *before)
        : header_(Header(fixture)),
          attributes_(Runs<TAttributeList, TParameter>(fixture.Attributes, fixture.Attributes.Count(),
                                                       before ? &before->attributes_ : nullptr)),
          commands_(Runs<TKeyedList<TCommand>, TCommand>(fixture.Commands, fixture.Commands.Count(),
                                                         before ? &before->commands_ : nullptr)),
          palettes_(Runs<TKeyedList<TPalette>, TPalette>(fixture.Palettes, fixture.Palettes.Count(),
                                                         before ? &before->palettes_ : nullptr))
    {
    }

    // The fixture this state holds, with the file of the one given.
    void Restore(TFixture &fixture) const
    {
        TFixture state = Header(header_);
        for (const auto &run : attributes_)
            for (const auto &[key, attribute] : run->Entries)
                state.Attributes.Insert(state.Attributes.Count(), key, std::make_unique<TParameter>(attribute));
        for (const auto &run : commands_)
            for (const auto &[key, command] : run->Entries)
                state.Commands.Add(key, std::make_unique<TCommand>(command));
        for (const auto &run : palettes_)
            for (const auto &[key, palette] : run->Entries)
                state.Palettes.Add(key, std::make_unique<TPalette>(palette));
        state.FileName = fixture.FileName;
        state.FileDir = fixture.FileDir;
        state.FilePath = fixture.FilePath;
        state.Layout800 = fixture.Layout800;
        state.Saved = false;
        fixture = std::move(state);
    }

    // Adds the bytes of every run not counted yet.
    void Count(std::unordered_set<const void *> &counted, std::size_t &bytes) const
    {
        bytes += sizeof(TFixture) + TextBytes(header_.Comments) + TextBytes(header_.Name) + TextBytes(header_.Brand) +
                 TextBytes(header_.Author) + TextBytes(header_.Revision);
        CountRuns(attributes_, counted, bytes);
        CountRuns(commands_, counted, bytes);
        CountRuns(palettes_, counted, bytes);
    }

private:
    // The fixture's fields without its lists.
    static TFixture Header(const TFixture &f)
    {
        TFixture header;
        header.FormatVersion = f.FormatVersion;
        header.Author = f.Author;
        header.Revision = f.Revision;
        header.Date = f.Date;
        header.Comments = f.Comments;
        header.Name = f.Name;
        header.Brand = f.Brand;
        header.FixtureType = f.FixtureType;
        header.PanAngleMin = f.PanAngleMin;
        header.PanAngleMax = f.PanAngleMax;
        header.TiltAngleMin = f.TiltAngleMin;
        header.TiltAngleMax = f.TiltAngleMax;
        header.DmxChannels = f.DmxChannels;
        header.DmxSplitChannels = f.DmxSplitChannels;
        return header;
    }

    template <class T>
    static void CountRuns(const TRuns<T> &runs, std::unordered_set<const void *> &counted, std::size_t &bytes)
    {
        bytes += runs.capacity() * sizeof(runs[0]);
        for (const auto &run : runs)
            if (counted.insert(run.get()).second)
                bytes += run->Bytes;
    }

    TFixture header_;
    TRuns<TParameter> attributes_;
    TRuns<TCommand> commands_;
    TRuns<TPalette> palettes_;
};

TFixtureHistory::TFixtureHistory(std::size_t budgetBytes, std::size_t depth) : budget_(budgetBytes), depth_(depth) {}

TFixtureHistory::~TFixtureHistory() = default;

void TFixtureHistory::Reset(const TFixture &fixture)
{
    undo_.clear();
    redo_.clear();
    latest_ = std::make_unique<TState>(fixture, nullptr);
    typing_ = nullptr;
}

void TFixtureHistory::Record(const TFixture &fixture, const void *typing)
{
    auto state = std::make_unique<TState>(fixture, latest_.get());
    if (latest_ && (!typing || typing != typing_)) {
        undo_.push_back(std::move(*latest_));
        redo_.clear();
        latest_ = std::move(state);
        Trim();
    } else {
        redo_.clear();
        latest_ = std::move(state);
    }
    typing_ = typing;
}

bool TFixtureHistory::CanUndo() const
{
    return !undo_.empty();
}

bool TFixtureHistory::CanRedo() const
{
    return !redo_.empty();
}

std::size_t TFixtureHistory::UndoSteps() const
{
    return undo_.size();
}

bool TFixtureHistory::Undo(TFixture &fixture)
{
    return Step(undo_, redo_, fixture);
}

bool TFixtureHistory::Redo(TFixture &fixture)
{
    return Step(redo_, undo_, fixture);
}

bool TFixtureHistory::Step(std::vector<TState> &from, std::vector<TState> &to, TFixture &fixture)
{
    if (from.empty())
        return false;
    to.emplace_back(fixture, latest_.get());
    latest_ = std::make_unique<TState>(std::move(from.back()));
    from.pop_back();
    latest_->Restore(fixture);
    typing_ = nullptr;
    return true;
}

std::size_t TFixtureHistory::StepBytes() const
{
    std::unordered_set<const void *> counted;
    std::size_t ignored = 0;
    if (latest_)
        latest_->Count(counted, ignored);
    std::size_t bytes = 0;
    for (const std::vector<TState> *states : {&undo_, &redo_})
        for (const TState &state : *states)
            state.Count(counted, bytes);
    return bytes;
}

void TFixtureHistory::Trim()
{
    // From the newest step back: the first one that does not fit goes, with all before it.
    std::unordered_set<const void *> counted;
    std::size_t ignored = 0;
    latest_->Count(counted, ignored);
    std::size_t bytes = 0;
    std::size_t keep = 0;
    for (std::size_t i = undo_.size(); i-- > 0 && keep < depth_; ++keep) {
        undo_[i].Count(counted, bytes);
        if (bytes > budget_)
            break;
    }
    undo_.erase(undo_.begin(), undo_.end() - static_cast<std::ptrdiff_t>(keep));
}
