#include "SaveFile.h"

#include "FixtureWriter.h"
#include "WriterCommon.h"
#include "model/FixColors.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/UserDialogs.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The temporary file being written, for a signal handler to remove: the name is complete before
// the flag is set, and the flag is cleared before the file is renamed or removed.
char pendingName[PATH_MAX + 1];
volatile std::sig_atomic_t pendingSet = 0;

extern "C" void RemovePendingAndDie(int signal)
{
    if (pendingSet)
        unlink(pendingName);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Holds back the signals that remove the temporary file while it is made, registered, renamed or
// removed, so that the handler never sees a file that is not yet, or no longer, registered.
class TSignalsHeld {
public:
    TSignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&held, signal);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~TSignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    TSignalsHeld(const TSignalsHeld &) = delete;
    TSignalsHeld &operator=(const TSignalsHeld &) = delete;

private:
    sigset_t previous_;
};

[[noreturn]] void Fail(const fs::path &target, int error)
{
    throw EInOutError("Cannot write the file " + PathText(target.string()) + ": " + std::strerror(error));
}

// Writes all of contents to fd; false with errno set when the system refused.
bool WriteAll(int fd, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = write(fd, contents.data(), contents.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

class TTemporaryFile {
public:
    // pending: removed by the signal handler should the program be stopped while it exists.
    TTemporaryFile(const fs::path &target, bool pending)
    {
        const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
        name_ = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
        const TSignalsHeld held;
        fd_ = mkstemp(name_.data());
        created_ = fd_ >= 0;
        if (created_ && pending && name_.size() <= PATH_MAX) {
            std::memcpy(pendingName, name_.c_str(), name_.size() + 1);
            pendingSet = 1;
            pending_ = true;
        }
    }
    ~TTemporaryFile()
    {
        if (fd_ >= 0)
            close(fd_);
        const TSignalsHeld held;
        if (created_ && !kept_)
            unlink(name_.c_str());
        if (pending_)
            pendingSet = 0;
    }
    TTemporaryFile(const TTemporaryFile &) = delete;
    TTemporaryFile &operator=(const TTemporaryFile &) = delete;

    bool Created() const { return created_; }
    int Descriptor() const { return fd_; }
    const std::string &Name() const { return name_; }

    // Writes and flushes contents; false with errno set when that failed.
    bool Write(std::string_view contents) { return WriteAll(fd_, contents) && fsync(fd_) == 0; }
    // Closes the file and puts it in the target's place.
    bool RenameTo(const fs::path &target)
    {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            return false;
        const TSignalsHeld held;
        if (rename(name_.c_str(), target.c_str()) != 0)
            return false;
        if (pending_)
            pendingSet = 0;
        pending_ = false;
        kept_ = true;
        return true;
    }
    // Leaves the file where it is when this object ends.
    void Keep() { kept_ = true; }

private:
    std::string name_;
    int fd_ = -1;
    bool created_ = false;
    bool pending_ = false; // registered for the signal handler
    bool kept_ = false;
};

mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The file a path names, through any links. A link that leads nowhere is refused: writing would
// make a file where the user has none, or fail without naming the link.
fs::path ResolvedTarget(const std::string &path)
{
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved))
        return resolved;
    const int error = errno;
    if (error == ENOENT) {
        std::error_code ignored;
        throw EInOutError("Cannot write the file " + PathText(path) + ": it is a link to " +
                          PathText(fs::read_symlink(path, ignored).string()) + ", which does not exist");
    }
    Fail(path, error);
}

std::string ReadWhole(int fd)
{
    std::string contents;
    char block[65536];
    for (;;) {
        const ssize_t got = read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0 ? contents : throw EInOutError(std::strerror(errno));
        contents.append(block, static_cast<std::size_t>(got));
    }
}

// For a file whose other names must see the new content, or whose owner a new file could not
// have: the file itself is rewritten. Its previous content is kept aside first, in memory and,
// where the directory allows, in a file beside it; a failed write puts it back.
void RewriteInPlace(const fs::path &target, const std::string &contents)
{
    const int fd = open(target.c_str(), O_RDWR);
    if (fd < 0)
        Fail(target, errno);
    struct TClose {
        int fd;
        ~TClose() { close(fd); }
    } closing{fd};
    const std::string previous = ReadWhole(fd);
    TTemporaryFile aside(target, false);
    if (aside.Created() && !aside.Write(previous))
        Fail(target, errno);
    const auto write = [&](std::string_view text) {
        return lseek(fd, 0, SEEK_SET) == 0 && ftruncate(fd, 0) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    };
    if (write(contents))
        return;
    const int error = errno;
    if (write(previous))
        Fail(target, error);
    aside.Keep();
    throw EInOutError(
        "Cannot write the file " + PathText(target.string()) + ": " + std::strerror(error) +
        (aside.Created() ? ". Its previous content is kept as " + PathText(aside.Name()) : std::string()));
}

} // namespace

void RemoveTemporaryFilesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = RemovePendingAndDie;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool ReplaceFileContents(const std::string &path, const std::string &contents)
{
    return ReplaceFileContents(path, [&](const TWriteBlock &write) { write(contents); });
}

bool ReplaceFileContents(const std::string &path, const TComposeText &compose)
{
    const auto whole = [&] {
        std::string text;
        compose([&](std::string_view block) { text += block; });
        return text;
    };
    const fs::path target = ResolvedTarget(path);
    mode_t mode = NewFileMode();
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists) {
        // Read-only means read-only, also for a user such as root whom the system would let write.
        if (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)
            return false;
        mode = existing.st_mode & 07777;
        if (existing.st_nlink > 1) {
            RewriteInPlace(target, whole());
            return true;
        }
    }
    TTemporaryFile temporary(target, true);
    if (!temporary.Created())
        return false;
    const int fd = temporary.Descriptor();
    if (exists) {
        struct stat made {};
        if (fstat(fd, &made) != 0)
            Fail(target, errno);
        // A file the user cannot give to its owner keeps its owner by being rewritten instead.
        if ((made.st_uid != existing.st_uid || made.st_gid != existing.st_gid) &&
            fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            RewriteInPlace(target, whole());
            return true;
        }
    }
    if (fchmod(fd, mode) != 0)
        Fail(target, errno);
    compose([&](std::string_view block) {
        if (!WriteAll(fd, block))
            Fail(target, errno);
    });
    if (fsync(fd) != 0 || !temporary.RenameTo(target))
        Fail(target, errno);
    return true;
}

void PrepareForSaving(TFixture &fixture)
{
    fixture.Normalize();
    for (TPalette &palette : fixture.Palettes)
        ColorFromCMY(fixture, palette);
}

namespace {

void Format(const TFixture &fixture, int formatVersion, writer::TLines &out)
{
    if (formatVersion == 1)
        writer::Format10(fixture, out);
    else
        writer::Format2(fixture, out);
}

} // namespace

void WriteFixture(const TFixture &fixture, int formatVersion, const TWriteBlock &write)
{
    writer::TLines out(write);
    Format(fixture, formatVersion, out);
}

std::string FormatFixture(const TFixture &fixture, int formatVersion)
{
    writer::TLines out;
    Format(fixture, formatVersion, out);
    return std::move(out.Text());
}

bool WriteFixtureFile(TFixture &fixture, const std::string &path, int formatVersion)
{
    const TDateTime previous = fixture.Date;
    fixture.Date = Now();
    try {
        if (ReplaceFileContents(path, [&](const TWriteBlock &write) { WriteFixture(fixture, formatVersion, write); }))
            return true;
    } catch (...) {
        fixture.Date = previous;
        throw;
    }
    fixture.Date = previous;
    return false;
}

namespace {

// The fixture counts as saved from the moment its file is written: what runs while the message
// is shown (a copy of unsaved work, say) sees it so.
bool SaveAs(TFixture &fixture, int formatVersion, const std::function<void()> &written)
{
    const std::string path =
        fixture.FileDir.empty() ? fixture.FileName : (fs::path(fixture.FileDir) / fixture.FileName).string();
    if (!WriteFixtureFile(fixture, path, formatVersion)) {
        Dialogs().ShowMessage(TMessageKind::Warning, "File access error");
        return false;
    }
    fixture.Saved = true;
    if (written)
        written();
    Dialogs().ShowMessage(TMessageKind::Information, "File " + PathText(fixture.FileName) + " saved");
    return true;
}

} // namespace

bool TFixture::SaveFormat10(const std::function<void()> &written)
{
    return SaveAs(*this, 1, written);
}

bool TFixture::SaveFormat2(const std::function<void()> &written)
{
    return SaveAs(*this, 2, written);
}

bool TFixture::Save(const std::function<void()> &written)
{
    return FormatVersion == 1 ? SaveFormat10(written) : SaveFormat2(written);
}
