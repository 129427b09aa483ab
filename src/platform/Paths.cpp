#include "Paths.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string &Override()
{
    static std::string directory;
    return directory;
}

std::string &DocumentsOverride()
{
    static std::string directory;
    return directory;
}

std::string FindProgramDir()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? WorkingDir() : ProgramDirFor(executable.string());
}

std::string Environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

bool IsFixtureFile(const fs::path &path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".fxr";
}

// A new fixtures directory starts with the samples, so that a first "Load fixture" shows something.
void CopySamples(const fs::path &target)
{
    std::error_code error;
    fs::directory_iterator entry(fs::path(ProgramDir()) / "Fixtures", error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code copyError;
        if (entry->is_regular_file(copyError) && IsFixtureFile(entry->path()))
            fs::copy_file(entry->path(), target / entry->path().filename(), fs::copy_options::skip_existing, copyError);
    }
}

} // namespace

std::string ProgramDir()
{
    if (!Override().empty())
        return Override();
    static const std::string directory = FindProgramDir();
    return directory;
}

std::string ProgramDirFor(const std::string &executable)
{
    std::error_code error;
    const fs::path beside = fs::path(executable).parent_path();
    if (fs::exists(beside / "Settings.ini", error))
        return beside.string();
    const fs::path installed = beside.parent_path() / "share" / "rigsmith";
    return fs::is_directory(installed, error) ? installed.string() : beside.string();
}

void SetProgramDir(const std::string &directory) { Override() = directory; }

std::string ProgramFile(const std::string &name) { return (fs::path(ProgramDir()) / name).string(); }

std::string WorkingDir()
{
    std::error_code error;
    return fs::current_path(error).string();
}

std::string DocumentsDir()
{
    if (!DocumentsOverride().empty())
        return DocumentsOverride();
    if (const std::string documents = Environment("XDG_DOCUMENTS_DIR"); !documents.empty())
        return documents;
    const std::string home = Environment("HOME");
    if (home.empty())
        return WorkingDir();
    std::error_code error;
    const fs::path documents = fs::path(home) / "Documents";
    return fs::is_directory(documents, error) ? documents.string() : home;
}

void SetDocumentsDir(const std::string &directory) { DocumentsOverride() = directory; }

std::string UserDir() { return (fs::path(DocumentsDir()) / "Rigsmith").string(); }

std::string FixturesDir(const std::string &name)
{
    std::error_code error;
    const fs::path path(name);
    if (path.is_absolute() || fs::is_directory(path, error))
        return name;
    const fs::path own = fs::path(UserDir()) / path;
    if (!fs::is_directory(own, error) && fs::create_directories(own, error))
        CopySamples(own);
    return own.string();
}
