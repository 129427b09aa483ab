#include "IniFile.h"

#include "Text.h"

#include <fstream>

TIniFile::TIniFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    TSection *current = nullptr;
    while (std::getline(in, line)) {
        const std::string text = Trim(line);
        if (text.empty() || text[0] == ';')
            continue;
        if (text[0] == '[') {
            const auto close = text.find(']');
            const std::string name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = const_cast<TSection *>(Find(name));
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const auto equals = text.find('=');
        if (!current || equals == std::string::npos)
            continue;
        std::string value = Trim(text.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        current->Entries.push_back({Trim(text.substr(0, equals)), std::move(value)});
    }
}

const TIniFile::TSection *TIniFile::Find(std::string_view section) const
{
    for (const TSection &s : sections_)
        if (SameText(s.Name, section))
            return &s;
    return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return Find(section) != nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, const std::string &defaultValue) const
{
    if (const TSection *s = Find(section))
        for (const TEntry &entry : s->Entries)
            if (SameText(entry.Key, key))
                return entry.Value;
    return defaultValue;
}

std::vector<std::string> TIniFile::Keys(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const TSection *s = Find(section))
        for (const TEntry &entry : s->Entries) {
            bool seen = false;
            for (const std::string &key : keys)
                seen = seen || SameText(key, entry.Key);
            if (!seen)
                keys.push_back(entry.Key);
        }
    return keys;
}
