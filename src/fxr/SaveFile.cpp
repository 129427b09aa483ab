#include "SaveFile.h"

#include "FixtureWriter.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/UserDialogs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TTemporaryFile {
public:
    explicit TTemporaryFile(const fs::path &target)
    {
        const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
        name_ = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
        fd_ = mkstemp(name_.data());
        created_ = fd_ >= 0;
    }
    ~TTemporaryFile()
    {
        if (fd_ >= 0)
            close(fd_);
        if (created_ && !committed_)
            unlink(name_.c_str());
    }
    TTemporaryFile(const TTemporaryFile &) = delete;
    TTemporaryFile &operator=(const TTemporaryFile &) = delete;

    bool Created() const { return created_; }

    void Write(const std::string &contents, mode_t mode, const fs::path &target)
    {
        const char *data = contents.data();
        std::size_t left = contents.size();
        while (left > 0) {
            const ssize_t written = write(fd_, data, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                Fail(target);
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        if (fchmod(fd_, mode) != 0 || fsync(fd_) != 0)
            Fail(target);
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            Fail(target);
        if (rename(name_.c_str(), target.c_str()) != 0)
            Fail(target);
        committed_ = true;
    }

private:
    [[noreturn]] static void Fail(const fs::path &target)
    {
        throw EInOutError("Cannot write the file " + PathText(target.string()) + ": " + std::strerror(errno));
    }

    std::string name_;
    int fd_ = -1;
    bool created_ = false;
    bool committed_ = false;
};

mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool ReplaceFileContents(const std::string &path, const std::string &contents)
{
    std::error_code error;
    fs::path target(path);
    if (fs::is_symlink(target, error))
        target = fs::weakly_canonical(target, error);
    mode_t mode = NewFileMode();
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) {
        // Read-only means read-only, also for a user such as root whom the system would let write.
        if (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)
            return false;
        mode = existing.st_mode & 07777;
    }
    TTemporaryFile temporary(target);
    if (!temporary.Created())
        return false;
    temporary.Write(contents, mode, target);
    return true;
}

std::string FormatFixture(const TFixture &fixture, int formatVersion)
{
    std::ostringstream out;
    if (formatVersion == 1)
        WriteFormat10(fixture, out);
    else
        WriteFormat2(fixture, out);
    return std::move(out).str();
}

bool WriteFixtureFile(TFixture &fixture, const std::string &path, int formatVersion)
{
    const TDateTime previous = fixture.Date;
    fixture.Date = Now();
    try {
        if (ReplaceFileContents(path, FormatFixture(fixture, formatVersion)))
            return true;
    } catch (...) {
        fixture.Date = previous;
        throw;
    }
    fixture.Date = previous;
    return false;
}

namespace {

bool SaveAs(TFixture &fixture, int formatVersion)
{
    const std::string path =
        fixture.FileDir.empty() ? fixture.FileName : (fs::path(fixture.FileDir) / fixture.FileName).string();
    if (!WriteFixtureFile(fixture, path, formatVersion)) {
        Dialogs().ShowMessage(TMessageKind::Warning, "File access error");
        return false;
    }
    Dialogs().ShowMessage(TMessageKind::Information, "File " + PathText(fixture.FileName) + " saved");
    return true;
}

} // namespace

bool TFixture::SaveFormat10()
{
    return SaveAs(*this, 1);
}

bool TFixture::SaveFormat2()
{
    return SaveAs(*this, 2);
}

bool TFixture::Save()
{
    const bool written = FormatVersion == 1 ? SaveFormat10() : SaveFormat2();
    if (written)
        Saved = true;
    return written;
}
