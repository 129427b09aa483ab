#pragma once

#include "fxr/FixtureReader.h"
#include "model/FixClasses.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Helpers shared by the core tests.
namespace testing_support {

// A fresh, empty directory under the system's temporary directory, removed again at the end.
class TTempDir {
public:
    TTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "rigsmith-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TTempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TTempDir(const TTempDir &) = delete;
    TTempDir &operator=(const TTempDir &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    std::string File(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteAll(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Reads fixture text; throws what the reader throws.
inline TFixture FromText(const std::string &text)
{
    std::istringstream in(text);
    TFixture fixture;
    ReadFixture(in, fixture);
    return fixture;
}

// Lines joined with CR LF, each ended by one.
inline std::string CrLf(std::initializer_list<std::string_view> lines)
{
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace testing_support
