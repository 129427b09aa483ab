#pragma once

#include "FixFuncs.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// An owning list that keeps its entries in the order they were added and finds them by key,
// without regard to letter case, in constant time. Entries keep their address for their lifetime.
// Short lists, such as the values of one palette, are searched through instead: for them a scan is
// faster than hashing, and the index's allocations would cost more than the entries themselves.
template <class T> class TKeyedList {
    struct Entry {
        std::string Key;
        std::unique_ptr<T> Item;
    };

public:
    TKeyedList() = default;
    // A copy holds copies of the items.
    TKeyedList(const TKeyedList &other) : index_(other.index_)
    {
        entries_.reserve(other.entries_.size());
        for (const Entry &entry : other.entries_)
            entries_.push_back({entry.Key, std::make_unique<T>(*entry.Item)});
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
        explicit iterator(typename std::vector<Entry>::const_iterator at) : at_(at) {}
        T &operator*() const { return *at_->Item; }
        T *operator->() const { return at_->Item.get(); }
        iterator &operator++()
        {
            ++at_;
            return *this;
        }
        bool operator==(const iterator &) const = default;

    private:
        typename std::vector<Entry>::const_iterator at_;
    };

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    T &operator[](std::size_t i) const { return *entries_[i].Item; }
    const std::string &Key(std::size_t i) const { return entries_[i].Key; }
    iterator begin() const { return iterator(entries_.begin()); }
    iterator end() const { return iterator(entries_.end()); }

    // Position of the entry with the key, or -1.
    int IndexOf(std::string_view key) const
    {
        if (entries_.size() < IndexedFrom) {
            for (std::size_t i = 0; i < entries_.size(); ++i)
                if (SameText(entries_[i].Key, key))
                    return static_cast<int>(i);
            return -1;
        }
        const auto found = index_.find(key);
        return found == index_.end() ? -1 : static_cast<int>(found->second);
    }
    T *Find(std::string_view key) const
    {
        const int i = IndexOf(key);
        return i < 0 ? nullptr : entries_[static_cast<std::size_t>(i)].Item.get();
    }

    // The caller makes sure the key is free.
    T &Add(std::string key, std::unique_ptr<T> item)
    {
        // Most lists stay short; one block for the first few entries spares the regrowth.
        if (entries_.empty())
            entries_.reserve(8);
        entries_.push_back({std::move(key), std::move(item)});
        if (entries_.size() == IndexedFrom)
            Reindex();
        else if (entries_.size() > IndexedFrom)
            index_.emplace(entries_.back().Key, entries_.size() - 1);
        return *entries_.back().Item;
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
    void Rekey(std::size_t i, std::string key)
    {
        entries_[i].Key = std::move(key);
        Reindex();
    }
    void Clear()
    {
        entries_.clear();
        index_.clear();
    }

private:
    // Lists shorter than this have no index.
    static constexpr std::size_t IndexedFrom = 16;

    // emplace keeps the first entry of a key, as the scan finds the first.
    void Reindex()
    {
        index_.clear();
        if (entries_.size() < IndexedFrom)
            return;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            index_.emplace(entries_[i].Key, i);
    }

    std::vector<Entry> entries_;
    // Keys as added, hashed and compared without regard to letter case.
    std::unordered_map<std::string, std::size_t, TCaseInsensitiveHash, TCaseInsensitiveEqual> index_;
};
