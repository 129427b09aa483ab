#pragma once

#include "FixFuncs.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// An owning list that keeps its entries in the order they were added and finds them by key,
// without regard to letter case, in constant time. Short lists, such as the values of one palette,
// are searched through instead: for them a scan is faster than hashing, and the index's
// allocations would cost more than the entries themselves.
// Without KeyField, the list holds a copy of each key and each item on the heap of its own, so an
// item keeps its address for its lifetime. With KeyField, a text member of T, an item's key is
// that member (Add and Rekey set it) and the items stand in one block, one after the other: an
// item then keeps its address only until the next Add, Delete or Move.
template <class T, auto KeyField = nullptr> class TKeyedList {
    static constexpr bool OwnKeys = std::is_same_v<decltype(KeyField), std::nullptr_t>;
    struct KeyedEntry {
        std::string Key;
        std::unique_ptr<T> Item;
    };
    using Entry = std::conditional_t<OwnKeys, KeyedEntry, T>;
    // A list of items of their own is one of a fixture's few long lists: it grows in blocks of
    // entries, so that it never needs room for its entries twice over as a vector does when it
    // moves to a larger block.
    using Entries = std::conditional_t<OwnKeys, std::deque<Entry>, std::vector<Entry>>;

    // Items are reached through a const list as through a pointer, whether or not they stand in
    // the list's own block.
    static T &ItemOf(const Entry &entry)
    {
        if constexpr (OwnKeys)
            return *entry.Item;
        else
            return const_cast<T &>(entry);
    }
    static decltype(auto) KeyOf(const Entry &entry)
    {
        if constexpr (OwnKeys)
            return (entry.Key);
        else
            return std::string_view(entry.*KeyField);
    }

public:
    TKeyedList() = default;
    // A copy holds copies of the items, in a block of their number.
    TKeyedList(const TKeyedList &other)
        : index_(other.index_ ? std::make_unique<std::vector<uint64_t>>(*other.index_) : nullptr)
    {
        if constexpr (OwnKeys) {
            for (const Entry &entry : other.entries_)
                entries_.push_back({entry.Key, std::make_unique<T>(*entry.Item)});
        } else {
            entries_ = other.entries_;
        }
    }
    TKeyedList &operator=(const TKeyedList &other)
    {
        if (this != &other)
            *this = TKeyedList(other);
        return *this;
    }
    TKeyedList(TKeyedList &&) noexcept = default;
    TKeyedList &operator=(TKeyedList &&) noexcept = default;
    ~TKeyedList() = default;

    class iterator {
    public:
        using difference_type = std::ptrdiff_t;
        using value_type = T;
        explicit iterator(typename Entries::const_iterator at) : at_(at) {}
        T &operator*() const { return ItemOf(*at_); }
        T *operator->() const { return &ItemOf(*at_); }
        iterator &operator++()
        {
            ++at_;
            return *this;
        }
        bool operator==(const iterator &) const = default;

    private:
        typename Entries::const_iterator at_;
    };

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    T &operator[](std::size_t i) const { return ItemOf(entries_[i]); }
    decltype(auto) Key(std::size_t i) const { return KeyOf(entries_[i]); }
    iterator begin() const { return iterator(entries_.begin()); }
    iterator end() const { return iterator(entries_.end()); }

    // Position of the entry with the key, or -1.
    int IndexOf(std::string_view key) const
    {
        if (entries_.size() < IndexedFrom) {
            for (std::size_t i = 0; i < entries_.size(); ++i)
                if (SameText(KeyOf(entries_[i]), key))
                    return static_cast<int>(i);
            return -1;
        }
        const std::vector<uint64_t> &index = *index_;
        const std::size_t mask = index.size() - 1;
        const std::size_t hash = CaseInsensitiveHash(key);
        for (std::size_t slot = Home(Tag(hash), mask);; slot = (slot + 1) & mask) {
            const uint64_t held = index[slot];
            if (held == NoEntry)
                return -1;
            if (held >> 32 == Tag(hash) && SameKey(KeyOf(entries_[Position(held)]), key))
                return static_cast<int>(Position(held));
        }
    }
    T *Find(std::string_view key) const
    {
        const int i = IndexOf(key);
        return i < 0 ? nullptr : &ItemOf(entries_[static_cast<std::size_t>(i)]);
    }

    // The caller makes sure the key is free.
    T &Add(std::string key, std::unique_ptr<T> item) requires OwnKeys
    {
        return Added(KeyedEntry{std::move(key), std::move(item)});
    }
    // Adds the item unless an entry holds the key; null then, and nothing is added. The search
    // and the addition share one look into the index.
    T *AddNew(std::string key, std::unique_ptr<T> item) requires OwnKeys
    {
        if (!index_ || (entries_.size() + 1) * 4 > index_->size() * 3)
            return IndexOf(key) < 0 ? &Added(KeyedEntry{std::move(key), std::move(item)}) : nullptr;
        std::vector<uint64_t> &index = *index_;
        const std::size_t mask = index.size() - 1;
        const std::size_t hash = CaseInsensitiveHash(key);
        std::size_t slot = Home(Tag(hash), mask);
        for (; index[slot] != NoEntry; slot = (slot + 1) & mask)
            if (index[slot] >> 32 == Tag(hash) && SameKey(KeyOf(entries_[Position(index[slot])]), key))
                return nullptr;
        index[slot] = Tag(hash) << 32 | entries_.size();
        entries_.push_back(KeyedEntry{std::move(key), std::move(item)});
        return entries_.back().Item.get();
    }
    template <class Key> T &Add(Key &&key, T item) requires(!OwnKeys)
    {
        item.*KeyField = std::forward<Key>(key);
        return Added(std::move(item));
    }
    void Delete(std::size_t i)
    {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        Reindex();
    }
    void Move(std::size_t from, std::size_t to)
    {
        Entry entry = std::move(entries_[from]);
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(from));
        entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(to), std::move(entry));
        Reindex();
    }
    template <class Key> void Rekey(std::size_t i, Key &&key)
    {
        if constexpr (OwnKeys)
            entries_[i].Key = std::forward<Key>(key);
        else
            entries_[i].*KeyField = std::forward<Key>(key);
        Reindex();
    }
    void Clear()
    {
        entries_.clear();
        index_.reset();
    }

private:
    T &Added(Entry entry)
    {
        // Most lists stay short; one block for the first few entries spares the regrowth.
        if constexpr (!OwnKeys)
            if (entries_.empty())
                entries_.reserve(4);
        entries_.push_back(std::move(entry));
        if (entries_.size() >= IndexedFrom && !index_) {
            Reindex();
        } else if (index_) {
            if (entries_.size() * 4 > index_->size() * 3)
                Grow();
            IndexEntry(entries_.size() - 1);
        }
        return ItemOf(entries_.back());
    }

    // Lists shorter than this have no index.
    static constexpr std::size_t IndexedFrom = 16;

    // A slot holds the high half of its key's hash, which spares most comparisons of keys (and the
    // visits to their entries), and the entry's position.
    static constexpr uint64_t NoEntry = UINT64_MAX;
    static uint64_t Tag(std::size_t hash) { return static_cast<uint64_t>(hash) >> 32; }
    static std::size_t Position(uint64_t held) { return static_cast<uint32_t>(held); }
    // The first slot to look at for a tag: its bits mixed, so that the slot says little of the tag.
    static std::size_t Home(uint64_t tag, std::size_t mask)
    {
        return static_cast<std::size_t>((tag * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    }

    // Keys whose tags match are almost always the same; most are written alike, too.
    static bool SameKey(std::string_view held, std::string_view key) { return held == key || SameText(held, key); }

    // The index has a power of two of slots, at most three quarters of them taken, and room for
    // one more entry; it doubles as the list grows. This builds it anew from the keys.
    void Reindex()
    {
        if (entries_.size() < IndexedFrom) {
            index_.reset();
            return;
        }
        std::size_t size = 64;
        while (size * 3 < entries_.size() * 4 + 4)
            size *= 2;
        if (!index_)
            index_ = std::make_unique<std::vector<uint64_t>>();
        index_->assign(size, NoEntry);
        for (std::size_t i = 0; i < entries_.size(); ++i)
            IndexEntry(i);
    }

    // Doubles the index. Each entry moves by the tag its slot holds, so no key is read or hashed
    // again.
    void Grow()
    {
        std::vector<uint64_t> grown(index_->size() * 2, NoEntry);
        const std::size_t mask = grown.size() - 1;
        for (const uint64_t held : *index_) {
            if (held == NoEntry)
                continue;
            std::size_t slot = Home(held >> 32, mask);
            while (grown[slot] != NoEntry)
                slot = (slot + 1) & mask;
            grown[slot] = held;
        }
        *index_ = std::move(grown);
    }

    // Only the first entry of a key is indexed, as the scan finds the first.
    void IndexEntry(std::size_t i)
    {
        std::vector<uint64_t> &index = *index_;
        const std::size_t mask = index.size() - 1;
        const std::string_view key = KeyOf(entries_[i]);
        const std::size_t hash = CaseInsensitiveHash(key);
        std::size_t slot = Home(Tag(hash), mask);
        for (; index[slot] != NoEntry; slot = (slot + 1) & mask)
            if (index[slot] >> 32 == Tag(hash) && SameKey(KeyOf(entries_[Position(index[slot])]), key))
                return;
        index[slot] = Tag(hash) << 32 | i;
    }

    Entries entries_;
    // Positions of the entries, found by the hash of their key without regard to letter case and
    // probed slot by slot from there; none for a short list, which then costs one pointer for it.
    std::unique_ptr<std::vector<uint64_t>> index_;
};
