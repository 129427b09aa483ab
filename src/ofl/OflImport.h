#pragma once

#include "model/FixClasses.h"

#include <nlohmann/json.hpp>

#include <stdexcept>
#include <string>
#include <vector>

// Fixtures of the Open Fixture Library (its JSON format) made into fixtures of ours, one mode each.

// A file that is no library fixture, a mode that does not exist or does not fit; the text is what
// the user is shown, made Windows-1252 from the UTF-8 it is given.
class EOflError : public std::runtime_error {
public:
    explicit EOflError(const std::string &utf8);
};

// The editor's attributes hold at most this many channels.
inline constexpr std::size_t OflMaxChannels = 64;

// One mode imported: the fixture and what it could not carry, a line each (Windows-1252).
struct TOflImport {
    TFixture Fixture;
    std::vector<std::string> Report;
};

class TOflFixture {
public:
    // Reads a fixture file of the library. The maker's name comes from manufacturers.json in the
    // directory above the file's, keyed by the name of the file's directory. Throws EOflError
    // when the file cannot be read or holds no fixture.
    static TOflFixture Read(const std::string &path);
    // The same from a parsed object; manufacturer is the brand to give.
    TOflFixture(nlohmann::ordered_json json, std::string manufacturer);

    // The names of the modes, in the file's order (UTF-8).
    std::vector<std::string> ModeNames() const;
    // The number of channels of a mode, a matrix's counted once per pixel.
    std::size_t ChannelCount(std::size_t mode) const;
    // The index of the mode of that name or short name, or throws EOflError.
    std::size_t FindMode(const std::string &name) const;
    // Makes the mode a fixture of the format version. Throws EOflError when it has more channels
    // than the editor holds.
    TOflImport Import(std::size_t mode, int formatVersion) const;

    const nlohmann::ordered_json &Json() const { return json_; }
    const std::string &Manufacturer() const { return manufacturer_; }

private:
    nlohmann::ordered_json json_;
    std::string manufacturer_;
};
