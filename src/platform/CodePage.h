#pragma once

#include <string>
#include <string_view>

// The program keeps text as Windows-1252 bytes, exactly as in the files; these two convert at the
// edges (JSON output, the Qt widgets). Every byte maps to one code point, so a round trip is exact;
// a code point with no Windows-1252 form becomes '?'.
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(const std::string &text);

// File names and directories stay in the system's own encoding (UTF-8) wherever they are used as
// paths, so that any name opens; this gives one as text for a message.
inline std::string PathText(const std::string &path)
{
    return Utf8ToCp1252(path);
}
