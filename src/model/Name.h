#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

// A text that never changes once made, shared by all its copies: a handle of one pointer, null for
// the empty text. A fixture names the same few attributes in thousands of steps and palette
// values; the reader gives equal names one text, so that each costs a pointer instead of a string.
// Copies may be used and dropped on any thread.
class TName {
public:
    TName() = default;
    TName(std::string_view text) : text_(Make(text)) {}
    TName(const std::string &text) : TName(std::string_view(text)) {}
    TName(const char *text) : TName(std::string_view(text)) {}
    TName(const TName &other) noexcept : text_(other.text_) { Hold(); }
    TName(TName &&other) noexcept : text_(other.text_) { other.text_ = nullptr; }
    TName &operator=(const TName &other) noexcept
    {
        TName copy(other);
        std::swap(text_, copy.text_);
        return *this;
    }
    TName &operator=(TName &&other) noexcept
    {
        std::swap(text_, other.text_);
        return *this;
    }
    ~TName() { Release(); }

    std::string_view View() const { return text_ ? std::string_view(Chars(text_), text_->Size) : std::string_view(); }
    operator std::string_view() const { return View(); }
    std::string String() const { return std::string(View()); }
    bool empty() const { return !text_; }
    std::size_t size() const { return text_ ? text_->Size : 0; }
    void clear() { *this = TName(); }

    friend bool operator==(const TName &a, const TName &b) { return a.text_ == b.text_ || a.View() == b.View(); }
    friend bool operator==(const TName &a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const TName &a, const std::string &b) { return a.View() == b; }
    friend bool operator==(const TName &a, const char *b) { return a.View() == b; }
    friend std::string operator+(std::string a, const TName &b) { return a.append(b.View()); }
    friend std::string operator+(const TName &a, std::string_view b) { return a.String().append(b); }
    friend std::string operator+(const char *a, const TName &b) { return std::string(a).append(b.View()); }

private:
    // The count of holders, then the characters, in one block.
    struct TText {
        std::atomic<uint32_t> Holders;
        uint32_t Size;
    };
    static char *Chars(TText *text) { return reinterpret_cast<char *>(text + 1); }
    static TText *Make(std::string_view text)
    {
        if (text.empty())
            return nullptr;
        void *block = ::operator new(sizeof(TText) + text.size());
        TText *made = new (block) TText{{1}, static_cast<uint32_t>(text.size())};
        std::memcpy(Chars(made), text.data(), text.size());
        return made;
    }
    void Hold() const
    {
        if (text_)
            text_->Holders.fetch_add(1, std::memory_order_relaxed);
    }
    void Release()
    {
        if (text_ && text_->Holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            text_->~TText();
            ::operator delete(text_);
        }
    }

    TText *text_ = nullptr;
};
