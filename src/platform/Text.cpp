#include "Text.h"

#include <cstdint>
#include <cstring>

namespace {

// Eight characters at once, their ASCII capitals made small; every other byte stays as it is.
uint64_t LowerEight(uint64_t x)
{
    constexpr uint64_t ones = 0x0101010101010101ull;
    constexpr uint64_t high = 0x8080808080808080ull;
    const uint64_t low7 = x & ~high;
    const uint64_t fromA = low7 + ones * (0x80 - 'A');
    const uint64_t pastZ = low7 + ones * (0x80 - 'Z' - 1);
    const uint64_t capitals = fromA & ~pastZ & ~x & high;
    return x | (capitals >> 2);
}

uint64_t Load32(const char *at)
{
    uint32_t x = 0;
    std::memcpy(&x, at, 4);
    return x;
}

// Eight characters from at, small; fewer are packed so that every one of them counts.
inline uint64_t LowerChunk(const char *at, std::size_t count)
{
    uint64_t x = 0;
    if (count >= 8)
        std::memcpy(&x, at, 8);
    else if (count >= 4)
        x = Load32(at) | Load32(at + count - 4) << 32;
    else if (count > 0)
        x = uint64_t(static_cast<unsigned char>(at[0])) | uint64_t(static_cast<unsigned char>(at[count / 2])) << 8 |
            uint64_t(static_cast<unsigned char>(at[count - 1])) << 16;
    return LowerEight(x);
}

} // namespace

std::string_view TrimmedView(std::string_view text)
{
    const auto trimmed = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && trimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && trimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Trim(std::string_view text)
{
    return std::string(TrimmedView(text));
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t at = 0; at < a.size(); at += 8)
        if (LowerChunk(a.data() + at, a.size() - at) != LowerChunk(b.data() + at, b.size() - at))
            return false;
    return true;
}

std::size_t CaseInsensitiveHash(std::string_view text)
{
    uint64_t hash = 0x9E3779B97F4A7C15ull ^ text.size();
    for (std::size_t at = 0; at < text.size(); at += 8) {
        hash = (hash ^ LowerChunk(text.data() + at, text.size() - at)) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 29;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}
