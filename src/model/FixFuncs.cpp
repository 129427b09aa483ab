#include "FixFuncs.h"

#include "FixConsts.h"
#include "platform/Errors.h"

#include <algorithm>
#include <limits>

namespace {

char ToUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char ToLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[noreturn]] void ConversionFailed(std::string_view text)
{
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

__extension__ typedef unsigned __int128 u128;

int BitLength(u128 value)
{
    int bits = 0;
    for (; value != 0; value >>= 1)
        ++bits;
    return bits;
}

// Rounds value * 2^-shift to nearest, ties to even, keeping whole units only.
u128 ShiftRoundEven(u128 value, int shift)
{
    if (shift <= 0)
        return value;
    const u128 kept = value >> shift;
    const u128 rest = value & ((u128(1) << shift) - 1);
    const u128 half = u128(1) << (shift - 1);
    return rest > half || (rest == half && (kept & 1)) ? kept + 1 : kept;
}

} // namespace

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), ToUpper);
    return result;
}

std::string LowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), ToLower);
    return result;
}

bool StartsWithText(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::string PatchKey(int64_t number)
{
    std::string digits = std::to_string(number);
    if (digits.size() == 1)
        return "0" + digits;
    return digits.substr(0, 2);
}

std::string PadNumber(int64_t number, std::size_t width)
{
    std::string digits = std::to_string(number);
    return digits.size() >= width ? digits : std::string(width - digits.size(), ' ') + digits;
}

std::string PadRight(std::string_view text, std::size_t width)
{
    std::string result(text);
    if (result.size() < width)
        result.append(width - result.size(), ' ');
    return result;
}

std::string ReplaceChar(std::string_view text, char from, char to)
{
    std::string result(text);
    std::replace(result.begin(), result.end(), from, to);
    return result;
}

std::string RemoveChar(std::string_view text, char c)
{
    std::string result(text);
    result.erase(std::remove(result.begin(), result.end(), c), result.end());
    return result;
}

int CodeIndex(std::string_view item, std::string_view list)
{
    if (item.empty())
        return 0;
    // The item in upper case followed by ";" is compared at the start of each code, character by
    // character, so that no upper-case copy of the item is made.
    const auto matchesAt = [&](std::size_t at) {
        if (at + item.size() >= list.size() || list[at + item.size()] != ';')
            return false;
        for (std::size_t k = 0; k < item.size(); ++k)
            if (ToUpper(item[k]) != list[at + k])
                return false;
        return true;
    };
    int index = 1;
    for (std::size_t at = 0; at < list.size(); ++index) {
        if (matchesAt(at))
            return index;
        const std::size_t semicolon = list.find(';', at);
        if (semicolon == std::string_view::npos)
            break;
        at = semicolon + 1;
    }
    return 0;
}

std::string NextToken(std::string_view line, std::size_t &position)
{
    return std::string(NextColumn(line, position));
}

std::string_view NextColumn(std::string_view line, std::size_t &position)
{
    std::size_t at = position == 0 ? 0 : position - 1;
    while (at < line.size() && line[at] == ',')
        ++at;
    const std::size_t start = at;
    while (at < line.size() && line[at] != ',')
        ++at;
    position = at + 1;
    return TrimmedView(line.substr(start, at - start));
}

std::string ColumnsFromLine(std::string_view line)
{
    std::string result = RemoveChar(line, ',');
    std::size_t lastQuote = std::string::npos;
    for (std::size_t i = 0; i < result.size(); ++i)
        if (result[i] == '"') {
            result[i] = ' ';
            lastQuote = i;
        }
    const std::size_t from = lastQuote == std::string::npos ? 1 : std::max<std::size_t>(lastQuote, 1);
    for (std::size_t i = from; i < result.size(); ++i)
        if (result[i] == ' ' && result[i - 1] != ' ' && result[i - 1] != ',')
            result[i] = ',';
    return result;
}

bool TryStrToInt(std::string_view text, int32_t &value)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    int base = 10;
    if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X')) {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
        base = 16;
        at += 2;
    }
    if (at >= text.size())
        return false;
    int64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const char c = ToUpper(text[at]);
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

int32_t StrToInt(std::string_view text)
{
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        ConversionFailed(text);
    return value;
}

int32_t StrToFloatTrunc(std::string_view text)
{
    // Worked out on the digits, so that neither the locale nor binary rounding has a say.
    const std::string trimmed = Trim(text);
    const auto fail = [&]() -> int32_t {
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    };
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t start = at;
        while (at < trimmed.size() && trimmed[at] >= '0' && trimmed[at] <= '9')
            ++at;
        return trimmed.substr(start, at - start);
    };
    bool negative = false;
    if (at < trimmed.size() && (trimmed[at] == '+' || trimmed[at] == '-'))
        negative = trimmed[at++] == '-';
    std::string mantissa = digits();
    std::size_t fraction = 0;
    if (at < trimmed.size() && trimmed[at] == '.') {
        ++at;
        const std::string more = digits();
        mantissa += more;
        fraction = more.size();
    }
    if (mantissa.empty())
        return fail();
    int64_t exponent = 0;
    if (at < trimmed.size() && (trimmed[at] == 'e' || trimmed[at] == 'E')) {
        ++at;
        int32_t value = 0;
        const std::size_t start = at;
        if (at < trimmed.size() && (trimmed[at] == '+' || trimmed[at] == '-'))
            ++at;
        if (digits().empty() || !TryStrToInt(trimmed.substr(start, at - start), value))
            return fail();
        exponent = value;
    }
    if (at != trimmed.size())
        return fail();
    exponent -= static_cast<int64_t>(fraction);
    const auto firstDigit = mantissa.find_first_not_of('0');
    if (firstDigit == std::string::npos)
        return 0;
    mantissa.erase(0, firstDigit);
    if (exponent < 0)
        mantissa =
            -exponent >= static_cast<int64_t>(mantissa.size()) ? "0" : mantissa.substr(0, mantissa.size() + exponent);
    else if (exponent > 10)
        return fail();
    else
        mantissa.append(static_cast<std::size_t>(exponent), '0');
    int32_t value = 0;
    if (mantissa.size() > 10 || !TryStrToInt((negative ? "-" : "") + mantissa, value))
        return fail();
    return value;
}

int64_t ExtendedPercent(int64_t n, int64_t fullScale)
{
    if (n == 0 || fullScale == 0)
        return 0;
    const bool negative = (n < 0) != (fullScale < 0);
    const u128 count = static_cast<u128>(n < 0 ? -n : n);
    const u128 scale = static_cast<u128>(fullScale < 0 ? -fullScale : fullScale);

    // The quotient fullScale / 100 with a 64-bit significand: mantissa * 2^-exponent.
    const u128 low = u128(100) << 63;
    u128 numerator = scale;
    int exponent = 0;
    while (numerator < low) {
        numerator <<= 1;
        ++exponent;
    }
    while (numerator >= low * 2) {
        numerator >>= 1;
        --exponent;
    }
    u128 mantissa = numerator / 100;
    const u128 rest = numerator % 100;
    if (rest * 2 > 100 || (rest * 2 == 100 && (mantissa & 1)))
        ++mantissa;
    if (mantissa >> 64) {
        mantissa >>= 1;
        --exponent;
    }

    // The product, again rounded to a 64-bit significand, then truncated.
    u128 product = count * mantissa;
    const int excess = std::max(BitLength(product) - 64, 0);
    product = ShiftRoundEven(product, excess);
    int scaleBits = excess - exponent;
    if (product >> 64) {
        product >>= 1;
        ++scaleBits;
    }
    u128 whole = 0;
    if (scaleBits >= 0)
        whole = product << scaleBits;
    else if (scaleBits > -128)
        whole = product >> -scaleBits;
    const auto result = static_cast<int64_t>(whole);
    return negative ? -result : result;
}

bool IsPercent(std::string_view text)
{
    return text.find('%') != std::string_view::npos;
}

int32_t ParseNumber(std::string_view text, int64_t fullScale)
{
    // Most values are plain decimal numbers of a few digits, which need no copy.
    const std::string_view digits = TrimmedView(text);
    if (!digits.empty() && digits.size() <= 9 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int32_t result = 0;
        for (const char c : digits)
            result = result * 10 + (c - '0');
        return result;
    }
    const std::string value = Trim(UpperCase(text));
    if (IsPercent(value)) {
        const int64_t result = ExtendedPercent(StrToInt(Trim(RemoveChar(value, '%'))), fullScale);
        if (result < std::numeric_limits<int32_t>::min() || result > std::numeric_limits<int32_t>::max())
            ConversionFailed(text);
        return static_cast<int32_t>(result);
    }
    if (value.find('H') != std::string::npos) {
        int64_t result = 0;
        for (const char c : RemoveChar(value, 'H')) {
            const int digit = CodeIndex(std::string(1, c), codes::HexDigits);
            if (digit == 0)
                ConversionFailed(text);
            result = result * 16 + digit - 1;
            if (result > std::numeric_limits<int32_t>::max())
                ConversionFailed(text);
        }
        return static_cast<int32_t>(result);
    }
    if (value == "NA")
        return 0;
    return StrToInt(value);
}

int64_t ParseDmxValue(std::string_view text, int64_t fullScale8, bool scaleUp)
{
    if (IsPercent(text))
        return int64_t(ParseNumber(text, fullScale8)) * 257;
    const int64_t value = ParseNumber(text, fullScale8);
    return scaleUp ? value * 257 : value;
}

TAttributeDescriptor DecodeDescriptor(uint32_t d)
{
    TAttributeDescriptor result;
    result.ChannelType = static_cast<int>(d & 15);
    result.ControlType = static_cast<int>((d / 16) & 3);
    result.Width = static_cast<int>((d / 64) & 3) * 8;
    result.Path = static_cast<int>((d / 256) & 15);
    result.Inherit = ((d / 4096) & 3) != 1;
    result.ShowOnEditor = ((d / 16384) & 3) != 1;
    result.LocateLevel = static_cast<int>((d / 65536) & 255);
    return result;
}
