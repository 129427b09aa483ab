#pragma once

#include <string>
#include <string_view>

// The text without the codes 0 to 32 at its ends, as Windows-style INI files and fixture files
// both trim their values.
std::string Trim(std::string_view text);
// The same part of the text, without a copy.
std::string_view TrimmedView(std::string_view text);
// Equal texts without regard to the letter case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);
// A hash that is the same for texts SameText finds equal.
std::size_t CaseInsensitiveHash(std::string_view text);
