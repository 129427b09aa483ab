#pragma once

#include <string>
#include <string_view>
#include <vector>

// A read-only INI file in the manner of Windows: sections and keys are found without regard to
// letter case, the first of several equal ones counts, values are trimmed and lose one pair of
// enclosing quotes, and lines starting with ';' are comments. A missing file, section or key
// reads as the default. The file is read once, when the object is made; make a new one to see
// changes.
class TIniFile {
public:
    explicit TIniFile(const std::string &path);

    bool SectionExists(std::string_view section) const;
    std::string ReadString(std::string_view section, std::string_view key, const std::string &defaultValue = {}) const;
    // Keys of a section in file order, each once.
    std::vector<std::string> Keys(std::string_view section) const;

private:
    struct TEntry {
        std::string Key;
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };
    const TSection *Find(std::string_view section) const;

    std::vector<TSection> sections_;
};
