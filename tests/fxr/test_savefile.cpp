#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "platform/Errors.h"
#include "support/FixtureBuilder.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

// Runs body while the system refuses every byte of a file past the first 100, as a full disk would.
void WithDiskFullAfter100Bytes(const std::function<void()> &body)
{
    struct rlimit previous {};
    getrlimit(RLIMIT_FSIZE, &previous);
    struct rlimit small = previous;
    small.rlim_cur = 100;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    body();
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
}

class FixtureSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SOURCE_DATE_EPOCH", "1136419200", 1); // 5 January 2006
        fixture.Name = "Spot";
        fixture.FileDir = dir.Path().string();
        fixture.FileName = "spot.fxr";
        fixture.Date = *TryEncodeDate(2001, 1, 1);
        fixture.Saved = false;
        AddAttribute(fixture, {"Dimmer"});
    }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    std::string Target() const { return dir.File("spot.fxr"); }
    std::size_t FilesInDir() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()));
    }
    // The fixture failed to save: nothing changed on disk nor in the model.
    void ExpectUntouched(const std::string &previous)
    {
        EXPECT_EQ(ReadAll(Target()), previous);
        EXPECT_EQ(FilesInDir(), 1u);
        EXPECT_FALSE(fixture.Saved);
        EXPECT_EQ(DecodeDate(fixture.Date), (TCalendarDate{2001, 1, 1}));
    }

    TTempDir dir;
    TScriptedDialogs dialogs;
    TFixture fixture;
};

} // namespace

TEST_F(FixtureSave, WritesTheFormatOfTheFixtureAndReports)
{
    for (const int version : {1, 2}) {
        SCOPED_TRACE(version);
        fixture.FormatVersion = version;
        fixture.Saved = false;
        dialogs.Shown.clear();
        ASSERT_TRUE(fixture.Save());
        EXPECT_TRUE(fixture.Saved);
        EXPECT_EQ(DecodeDate(fixture.Date), (TCalendarDate{2006, 1, 5}));
        EXPECT_EQ(dialogs.Shown,
                  (std::vector<TScriptedDialogs::TShown>{{TMessageKind::Information, "File spot.fxr saved"}}));
        EXPECT_EQ(ReadAll(Target()), FormatFixture(fixture, version));
        EXPECT_NE(ReadAll(Target()).find("Date = 05/01/2006\r\n"), std::string::npos);
        EXPECT_EQ(ReadFixtureFile(Target()).FormatVersion, version);
        EXPECT_EQ(FilesInDir(), 1u);
    }
}

TEST_F(FixtureSave, SavingTwiceDiffersOnlyInTheDate)
{
    ASSERT_TRUE(fixture.Save());
    const std::string first = ReadAll(Target());
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    ASSERT_TRUE(fixture.Save());
    std::string second = ReadAll(Target());
    const auto at = second.find("Date = 14/11/2023");
    ASSERT_NE(at, std::string::npos);
    second.replace(at, 17, "Date = 05/01/2006");
    EXPECT_EQ(second, first);
}

TEST_F(FixtureSave, RefusesWhatCannotBeCreated)
{
    WriteAll(Target(), "previous contents");
    chmod(Target().c_str(), 0444);
    EXPECT_FALSE(fixture.Save());
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"File access error"});
    EXPECT_EQ(dialogs.Shown[0].Kind, TMessageKind::Warning);
    ExpectUntouched("previous contents");

    dialogs.Shown.clear();
    fixture.FileDir = dir.File("missing");
    EXPECT_FALSE(fixture.Save());
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"File access error"});
    ExpectUntouched("previous contents");

    fixture.FileDir = dir.Path().string();
    fixture.FileName = ".";
    EXPECT_FALSE(fixture.Save());
}

TEST_F(FixtureSave, AFailedWriteKeepsThePreviousFile)
{
    WriteAll(Target(), "previous contents");
    WithDiskFullAfter100Bytes([&] { EXPECT_THROW(fixture.Save(), EInOutError); });
    EXPECT_TRUE(dialogs.Shown.empty());
    ExpectUntouched("previous contents");
}

TEST_F(FixtureSave, AStepWithoutPatchNumberEndsTheSave)
{
    WriteAll(Target(), "previous contents");
    fixture.AddCommand("Reset").AddLine("#x", 0, 0);
    EXPECT_THROW(fixture.Save(), EConvertError);
    ExpectUntouched("previous contents");
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
    struct stat info {};
    stat(Target().c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FilesInDir(), 2u);
}

TEST(ReplaceFileContents, CreatesANewFileWithTheUsualPermissions)
{
    TTempDir dir;
    ASSERT_TRUE(ReplaceFileContents(dir.File("new.fxr"), "text\r\n"));
    EXPECT_EQ(ReadAll(dir.File("new.fxr")), "text\r\n");
    struct stat info {};
    stat(dir.File("new.fxr").c_str(), &info);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
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

    WithDiskFullAfter100Bytes([&] { EXPECT_THROW(ReplaceFileContents(file, std::string(1000, 'x')), EInOutError); });
    EXPECT_EQ(ReadAll(other), "new contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);

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
}

// A link that leads nowhere is refused by name and with the reason; nothing is made.
TEST(ReplaceFileContents, RefusesLinksThatLeadNowhere)
{
    TTempDir dir;
    const std::string dangling = dir.File("dangling.fxr"), loop = dir.File("loop.fxr");
    fs::create_symlink("missing.fxr", dangling);
    fs::create_symlink("loop2.fxr", loop);
    fs::create_symlink("loop.fxr", dir.File("loop2.fxr"));
    const std::pair<std::string, std::string> cases[] = {
        {dangling, "Cannot write the file " + dangling + ": it is a link to missing.fxr, which does not exist"},
        {loop, "Cannot write the file " + loop + ": Too many levels of symbolic links"},
    };
    for (const auto &[path, message] : cases) {
        try {
            ReplaceFileContents(path, "text");
            ADD_FAILURE() << path << " was written";
        } catch (const EInOutError &error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_TRUE(fs::is_symlink(path));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
}
