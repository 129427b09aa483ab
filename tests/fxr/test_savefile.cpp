// Saving: the whole file or nothing, the previous file kept when anything fails, its names,
// permissions and owner kept.

#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "platform/Errors.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Runs body while the system refuses every byte of a file past the first ones, as a full disk would.
void WithDiskFullAfter(rlim_t bytes, const std::function<void()> &body)
{
    struct rlimit previous {};
    getrlimit(RLIMIT_FSIZE, &previous);
    struct rlimit small = previous;
    small.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    body();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
}

unsigned Mode(const std::string &path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

std::ptrdiff_t FilesIn(const fs::path &dir)
{
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

class FixtureSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SOURCE_DATE_EPOCH", "1136419200", 1); // 5 January 2006
        fixture =
            FromText("Fixture = Spot\r\nDate = 01/01/2001\r\nPARAMETERS\r\nDimmer 1 IN HTP 8 1 na LINEAR 0 255\r\n"
                     "ENDPARAMETERS\r\n");
        // Larger than a block, so that a failing save fails with some of the file written.
        fixture.Comments = std::string(100000, 'c');
        for (int i = 0; i < 3000; ++i)
            fixture.AddCommand("Command " + std::to_string(i)).AddLine("Dimmer", 0, 0);
        fixture.FileDir = dir.Path().string();
        fixture.FileName = "spot.fxr";
        fixture.Saved = false;
    }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    // The save failed: nothing changed on disk nor in the model.
    void ExpectUntouched()
    {
        EXPECT_EQ(ReadAll(Target()), "previous contents");
        EXPECT_EQ(FilesIn(dir.Path()), 1);
        EXPECT_FALSE(fixture.Saved);
        EXPECT_EQ(DecodeDate(fixture.Date), (TCalendarDate{2001, 1, 1}));
    }
    std::string Target() const { return dir.File("spot.fxr"); }

    TTempDir dir;
    TScriptedDialogs dialogs;
    TFixture fixture;
};

TEST_F(FixtureSave, WritesTheFormatOfTheFixtureDatedNowAndReports)
{
    for (const int version : {1, 2}) {
        fixture.FormatVersion = version;
        fixture.Saved = false;
        dialogs.Shown.clear();
        // What runs while the message is shown sees the fixture saved.
        ASSERT_TRUE(fixture.Save([&] { EXPECT_TRUE(fixture.Saved && fs::exists(Target())); }));
        EXPECT_TRUE(fixture.Saved);
        EXPECT_EQ(dialogs.Shown,
                  (std::vector<TScriptedDialogs::TShown>{{TMessageKind::Information, "File spot.fxr saved"}}));
        const std::string text = ReadAll(Target());
        EXPECT_EQ(text, FormatFixture(fixture, version));
        EXPECT_NE(text.find(version == 1 ? "\r\nVersion = 1.0\r\nDate = 05/01/2006\r\n" : "\r\nDate = 05/01/2006\r\n"),
                  std::string::npos);
        EXPECT_EQ(FilesIn(dir.Path()), 1);
    }
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    std::string first = ReadAll(Target());
    ASSERT_TRUE(fixture.Save());
    first.replace(first.find("05/01/2006"), 10, "14/11/2023");
    EXPECT_EQ(ReadAll(Target()), first) << "saved again, only the date changes";
}

TEST_F(FixtureSave, FailuresKeepThePreviousFileAndDate)
{
    WriteAll(Target(), "previous contents");
    chmod(Target().c_str(), 0444);
    EXPECT_FALSE(fixture.Save());
    EXPECT_EQ(dialogs.Shown, (std::vector<TScriptedDialogs::TShown>{{TMessageKind::Warning, "File access error"}}));
    ExpectUntouched();
    fixture.FileDir = dir.File("missing");
    EXPECT_FALSE(fixture.Save());
    EXPECT_EQ(dialogs.Shown.size(), 2u);
    fixture.FileDir = dir.Path().string();
    fixture.FileName = ".";
    EXPECT_FALSE(fixture.Save());
    fixture.FileName = "spot.fxr";
    ExpectUntouched();

    chmod(Target().c_str(), 0644);
    dialogs.Shown.clear();
    WithDiskFullAfter(150000, [&] { EXPECT_THROW(fixture.Save(), EInOutError); });
    fixture.AddCommand("Reset").AddLine("#x", 0, 0);
    EXPECT_THROW(fixture.Save(), EConvertError);
    EXPECT_TRUE(dialogs.Shown.empty());
    ExpectUntouched();
}

// The text goes to the file as it is composed, in blocks of at most 64 KB or a longer line alone.
TEST_F(FixtureSave, WritesInBlocks)
{
    for (const int version : {1, 2}) {
        std::string text;
        std::size_t largest = 0;
        WriteFixture(fixture, version, [&](std::string_view block) {
            text += block;
            largest = std::max(largest, block.size());
        });
        EXPECT_EQ(text, FormatFixture(fixture, version));
        EXPECT_TRUE(version == 1 ? largest <= 65536 : largest == 100000) << largest;
    }
}

TEST_F(FixtureSave, KeepsPermissionsAndFollowsLinks)
{
    WriteAll(Target(), "previous contents");
    chmod(Target().c_str(), 0640);
    fs::create_symlink(Target(), dir.File("link.fxr"));
    fixture.FileName = "link.fxr";
    ASSERT_TRUE(fixture.Save());
    EXPECT_TRUE(fs::is_symlink(dir.File("link.fxr")));
    EXPECT_EQ(ReadAll(Target()), FormatFixture(fixture, 1));
    EXPECT_EQ(Mode(Target()), 0640u);
    EXPECT_EQ(FilesIn(dir.Path()), 2);
}

TEST(ReplaceFileContents, NewFilesHaveTheUsualPermissions)
{
    TTempDir dir;
    ASSERT_TRUE(ReplaceFileContents(dir.File("new.fxr"), "text\r\n"));
    EXPECT_EQ(ReadAll(dir.File("new.fxr")), "text\r\n");
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(Mode(dir.File("new.fxr")), 0666u & ~mask);
}

// Every name of the file sees the new content, and the file keeps its owner; where a new file
// could not have them, the file is written in place, and a failed write puts the old content back.
TEST(ReplaceFileContents, KeepsEveryNameAndTheOwner)
{
    TTempDir dir;
    const std::string file = dir.File("a.fxr"), other = dir.File("b.fxr");
    WriteAll(file, "previous contents");
    fs::create_hard_link(file, other);
    struct stat before {};
    stat(file.c_str(), &before);
    ASSERT_TRUE(ReplaceFileContents(file, "new contents"));
    EXPECT_EQ(ReadAll(other), "new contents");
    struct stat after {};
    stat(file.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);

    WithDiskFullAfter(100, [&] { EXPECT_THROW(ReplaceFileContents(file, std::string(1000, 'x')), EInOutError); });
    EXPECT_EQ(ReadAll(other), "new contents");
    EXPECT_EQ(FilesIn(dir.Path()), 2);

    if (geteuid() != 0)
        GTEST_SKIP() << "giving a file to another owner takes root";
    const std::string owned = dir.File("owned.fxr");
    WriteAll(owned, "previous contents");
    ASSERT_EQ(chown(owned.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(ReplaceFileContents(owned, "new contents"));
    struct stat kept {};
    stat(owned.c_str(), &kept);
    EXPECT_EQ(kept.st_uid, 65534u);
    EXPECT_EQ(kept.st_gid, 65534u);
    EXPECT_EQ(ReadAll(owned), "new contents");
    chmod(owned.c_str(), 0444);
    EXPECT_FALSE(ReplaceFileContents(owned, "x")) << "read-only means read-only, also for root";
}

// A link that leads nowhere is refused by name and with the reason; nothing is made.
TEST(ReplaceFileContents, RefusesLinksThatLeadNowhere)
{
    TTempDir dir;
    const std::string dangling = dir.File("dangling.fxr"), loop = dir.File("loop.fxr");
    fs::create_symlink("missing.fxr", dangling);
    fs::create_symlink("loop2.fxr", loop);
    fs::create_symlink("loop.fxr", dir.File("loop2.fxr"));
    for (const auto &[path, message] : {std::pair{dangling, ": it is a link to missing.fxr, which does not exist"},
                                        std::pair{loop, ": Too many levels of symbolic links"}}) {
        try {
            ReplaceFileContents(path, "text");
            ADD_FAILURE() << path << " was written";
        } catch (const EInOutError &error) {
            EXPECT_EQ(error.what(), "Cannot write the file " + path + message);
        }
    }
    EXPECT_EQ(FilesIn(dir.Path()), 3);
}

} // namespace
