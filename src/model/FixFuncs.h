#pragma once

#include "platform/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

// Text and number functions of the fixture file format. Texts are 8-bit strings; case
// conversions touch only the ASCII letters, trimming removes codes 0 to 32 at both ends.

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// True when the text begins with the prefix in any ASCII letter case.
bool StartsWithText(std::string_view text, std::string_view prefix);

// Hash and equality of texts as SameText compares them, for indexes that find names in any letter
// case without making a lower-case copy of each name they are asked for.
struct TCaseInsensitiveHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return CaseInsensitiveHash(text); }
};
struct TCaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return SameText(a, b); }
};
inline bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The two-character key of a patch number: 5 gives "05", 42 "42", 123 "12".
std::string PatchKey(int64_t number);
// The decimal number right-aligned in width characters; never cut.
std::string PadNumber(int64_t number, std::size_t width);
// The text followed by blanks up to width characters; never cut.
std::string PadRight(std::string_view text, std::size_t width);
std::string ReplaceChar(std::string_view text, char from, char to);
std::string RemoveChar(std::string_view text, char c);

// Position, from 1, of a whole code in a code list such as "HTP;LTP;" (any letter case), or 0.
int CodeIndex(std::string_view item, std::string_view list);

// The next comma-separated column, trimmed; position counts from 1 and is kept by the caller.
// Runs of commas act as one separator; at the end of the line the result is empty.
std::string NextToken(std::string_view line, std::size_t &position);
// The same, as a part of the line.
std::string_view NextColumn(std::string_view line, std::size_t &position);

// Turns an attribute line whose columns are separated by blanks (the first column a name that may
// be quoted and hold blanks) into one whose columns are separated by commas.
std::string ColumnsFromLine(std::string_view line);

// The format's integer conversion: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$", "x" or "0x", up to the end of the text, within 32 bits.
// Throws EConvertError otherwise.
int32_t StrToInt(std::string_view text);
bool TryStrToInt(std::string_view text, int32_t &value);
// A decimal number with "." as separator (an exponent allowed), its fraction dropped.
int32_t StrToFloatTrunc(std::string_view text);

// A column value in decimal, percent ("4%", of fullScale), hexadecimal ("FFh") or "na" (0) form.
// Throws EConvertError for a text that is none of these.
int32_t ParseNumber(std::string_view text, int64_t fullScale);
bool IsPercent(std::string_view text);
// n times (fullScale / 100) as 80-bit extended arithmetic computes it, truncated toward zero; the
// result is the same on every machine, whatever its long double.
int64_t ExtendedPercent(int64_t n, int64_t fullScale);

// A DMX value on the 16-bit scale. A percentage is taken of fullScale8, the channel's maximum on the
// 8-bit scale, and then spread over both bytes, so that 100 % of 255 is 65535; any other number is
// multiplied by 257 when scaleUp is set (an 8-bit value v becomes v in both bytes).
int64_t ParseDmxValue(std::string_view text, int64_t fullScale8, bool scaleUp);

// The packed descriptor of a predefined attribute.
struct TAttributeDescriptor {
    int ChannelType = 0;
    int ControlType = 0;
    int Width = 0;
    int Path = 0;
    bool Inherit = false;
    bool ShowOnEditor = false;
    int LocateLevel = 0;
};
TAttributeDescriptor DecodeDescriptor(uint32_t descriptor);
