#include "Paths.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string &Override()
{
    static std::string directory;
    return directory;
}

std::string FindProgramDir()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return WorkingDir();
    const fs::path beside = executable.parent_path();
    if (fs::exists(beside / "Settings.ini", error))
        return beside.string();
    const fs::path installed = beside.parent_path() / "share" / "rigsmith";
    return fs::is_directory(installed, error) ? installed.string() : beside.string();
}

} // namespace

std::string ProgramDir()
{
    if (!Override().empty())
        return Override();
    static const std::string directory = FindProgramDir();
    return directory;
}

void SetProgramDir(const std::string &directory) { Override() = directory; }

std::string ProgramFile(const std::string &name) { return (fs::path(ProgramDir()) / name).string(); }

std::string WorkingDir()
{
    std::error_code error;
    return fs::current_path(error).string();
}
