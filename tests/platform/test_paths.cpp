// Where the program finds its own files (beside it in the build tree, ../share/rigsmith when
// installed) and where the fixture files of the user are kept.

#include "platform/Paths.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

using testing_support::ReadAll;
using testing_support::TTempDir;
using testing_support::WriteAll;

namespace {

std::string Environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

std::set<std::string> NamesIn(const fs::path &directory)
{
    std::set<std::string> names;
    for (const fs::directory_entry &entry : fs::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

// Points the program directory and the documents directory into a scratch tree for one test, and
// works in a third directory there.
class UserFiles : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(Program() / "Fixtures");
        WriteAll((Program() / "Fixtures" / "spot.fxr").string(), "Name=spot\r\n");
        WriteAll((Program() / "Fixtures" / "WASH.FXR").string(), "Name=wash\r\n");
        WriteAll((Program() / "Fixtures" / "notes.txt").string(), "not a fixture\r\n");
        fs::create_directories(Program() / "Fixtures" / "archive.fxr");
        fs::create_directories(Documents());
        fs::create_directories(Work());
        SetProgramDir(Program().string());
        SetDocumentsDir(Documents().string());
        fs::current_path(Work());
    }
    void TearDown() override
    {
        fs::current_path(before_);
        SetProgramDir({});
        SetDocumentsDir({});
    }
    fs::path Program() const { return root_.Path() / "share" / "rigsmith"; }
    fs::path Documents() const { return root_.Path() / "home" / "Documents"; }
    fs::path Work() const { return root_.Path() / "work"; }

    const fs::path before_ = fs::current_path();
    TTempDir root_;
};

} // namespace

TEST(ProgramDir, IsDecidedByWhereTheExecutableLies)
{
    TTempDir root;
    const fs::path build = root.Path() / "build" / "bin", prefix = root.Path() / "opt", both = root.Path() / "both";
    for (const fs::path &directory : {build, prefix / "bin", prefix / "share" / "rigsmith", both / "bin",
                                      both / "share" / "rigsmith", root.Path() / "bare" / "bin"})
        fs::create_directories(directory);
    WriteAll((build / "Settings.ini").string(), "");
    WriteAll((both / "bin" / "Settings.ini").string(), "");

    struct Case {
        const char *name;
        fs::path executable, expected;
    } const cases[] = {
        {"build tree: the files beside the executable", build / "rigsmith", build},
        {"installed: ../share/rigsmith", prefix / "bin" / "rigsmith", prefix / "share" / "rigsmith"},
        {"files beside it win over an installed tree", both / "bin" / "rigsmith", both / "bin"},
        {"neither: beside it, where a missing file reads as empty", root.Path() / "bare" / "bin" / "rigsmith",
         root.Path() / "bare" / "bin"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ProgramDirFor(c.executable.string()), c.expected.string()) << c.name;
}

// The tests run from the build tree, where the files of data/ are copied beside the programs. A copy
// of this program in an installed layout, run from elsewhere, runs this test again and finds them in
// ../share/rigsmith.
TEST(ProgramDir, FollowsTheRunningProgram)
{
    const std::string expected = Environment("RIGSMITH_EXPECTED_PROGRAM_DIR");
    if (!expected.empty()) {
        EXPECT_EQ(ProgramDir(), expected);
        EXPECT_EQ(ReadAll(ProgramFile("Settings.ini")), "[800Mode]\r\n");
        return;
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(ProgramDir(), self.parent_path().string());
    EXPECT_TRUE(fs::exists(ProgramFile("Settings.ini")));
    EXPECT_TRUE(fs::is_directory(ProgramFile("Fixtures")));

    TTempDir prefix;
    const fs::path share = prefix.Path() / "share" / "rigsmith", copy = prefix.Path() / "bin" / "test_paths";
    fs::create_directories(share);
    fs::create_directories(copy.parent_path());
    WriteAll((share / "Settings.ini").string(), "[800Mode]\r\n");
    fs::copy_file(self, copy);
    const testing::TestInfo &test = *testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = "cd '" + share.parent_path().string() + "' && RIGSMITH_EXPECTED_PROGRAM_DIR='" +
                                share.string() + "' '" + copy.string() + "' --gtest_filter=" + test.test_suite_name() +
                                "." + test.name() + " --gtest_brief=1 >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(UserFiles, FixturesOfTheWorkingDirectoryAreUsedAsTheyAre)
{
    fs::create_directories(Work() / "Fixtures");
    fs::create_directories(Work() / "Mine");
    EXPECT_EQ(FixturesDir(), "Fixtures");
    EXPECT_EQ(FixturesDir("Mine"), "Mine");
    EXPECT_EQ(FixturesDir("/somewhere/else"), "/somewhere/else");
    EXPECT_FALSE(fs::exists(Documents() / "Rigsmith")) << "nothing is made when nothing is needed";
}

TEST_F(UserFiles, WithoutThemTheUsersOwnDirectoryIsMadeWithTheSamples)
{
    const fs::path own = Documents() / "Rigsmith" / "Fixtures";
    EXPECT_EQ(UserDir(), (Documents() / "Rigsmith").string());
    EXPECT_EQ(FixturesDir(), own.string());
    EXPECT_EQ(NamesIn(own), (std::set<std::string>{"WASH.FXR", "spot.fxr"}));
    EXPECT_EQ(ReadAll((own / "spot.fxr").string()), "Name=spot\r\n");

    // Made once: what the user deletes or changes there stays so.
    fs::remove(own / "spot.fxr");
    WriteAll((own / "WASH.FXR").string(), "Name=my wash\r\n");
    EXPECT_EQ(FixturesDir(), own.string());
    EXPECT_EQ(NamesIn(own), std::set<std::string>{"WASH.FXR"});
    EXPECT_EQ(ReadAll((own / "WASH.FXR").string()), "Name=my wash\r\n");

    // Another relative name lands beside it, never in the program's directory.
    EXPECT_EQ(FixturesDir("Tour/2025"), (Documents() / "Rigsmith" / "Tour" / "2025").string());
    EXPECT_TRUE(fs::is_directory(Documents() / "Rigsmith" / "Tour" / "2025"));
    EXPECT_EQ(NamesIn(Program() / "Fixtures"),
              (std::set<std::string>{"WASH.FXR", "archive.fxr", "notes.txt", "spot.fxr"}));
}

TEST_F(UserFiles, DocumentsDirectoryComesFromTheDesktopOrTheEnvironment)
{
    EXPECT_EQ(DocumentsDir(), Documents().string());
    SetDocumentsDir({});

    const std::string home = Environment("HOME"), xdg = Environment("XDG_DOCUMENTS_DIR");
    setenv("HOME", (root_.Path() / "home").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (root_.Path() / "Dokumente").c_str(), 1);
    EXPECT_EQ(DocumentsDir(), (root_.Path() / "Dokumente").string());
    unsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(DocumentsDir(), Documents().string());
    fs::remove(Documents());
    EXPECT_EQ(DocumentsDir(), (root_.Path() / "home").string());

    for (const auto &[name, value] : {std::pair{"HOME", home}, {"XDG_DOCUMENTS_DIR", xdg}})
        value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
}
