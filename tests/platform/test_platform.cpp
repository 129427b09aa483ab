// Where the program finds its own files (beside it in the build tree, ../share/rigsmith when
// installed) and the user's fixture files; the clock; the code page.

#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/Paths.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;
using namespace testing_support;

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

TEST(ProgramDir, IsDecidedByWhereTheExecutableLies)
{
    TTempDir root;
    const fs::path build = root.Path() / "build" / "bin", prefix = root.Path() / "opt", both = root.Path() / "both";
    for (const fs::path &directory : {build, prefix / "bin", prefix / "share" / "rigsmith", both / "bin",
                                      both / "share" / "rigsmith", root.Path() / "bare" / "bin"})
        fs::create_directories(directory);
    WriteAll((build / "Settings.ini").string(), "");
    WriteAll((both / "bin" / "Settings.ini").string(), "");
    EXPECT_EQ(ProgramDirFor((build / "rigsmith").string()), build.string());
    EXPECT_EQ(ProgramDirFor((prefix / "bin" / "rigsmith").string()), (prefix / "share" / "rigsmith").string());
    EXPECT_EQ(ProgramDirFor((both / "bin" / "rigsmith").string()), (both / "bin").string());
    EXPECT_EQ(ProgramDirFor((root.Path() / "bare" / "bin" / "rigsmith").string()),
              (root.Path() / "bare" / "bin").string());
}

// The tests run from the build tree, where the files of data/ lie beside the programs. A copy of
// this program in an installed layout, run from elsewhere, runs this test again and finds them in
// ../share/rigsmith.
TEST(ProgramDir, FollowsTheRunningProgram)
{
    if (const std::string expected = Environment("RIGSMITH_EXPECTED_PROGRAM_DIR"); !expected.empty()) {
        EXPECT_EQ(ProgramDir(), expected);
        EXPECT_EQ(ReadAll(ProgramFile("Settings.ini")), "[800Mode]\r\n");
        return;
    }
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(ProgramDir(), self.parent_path().string());
    EXPECT_TRUE(fs::is_directory(ProgramFile("Fixtures")));
    TTempDir prefix;
    const fs::path share = prefix.Path() / "share" / "rigsmith", copy = prefix.Path() / "bin" / "test_platform";
    fs::create_directories(share);
    fs::create_directories(copy.parent_path());
    WriteAll((share / "Settings.ini").string(), "[800Mode]\r\n");
    fs::copy_file(self, copy);
    const std::string command = "cd '" + share.parent_path().string() + "' && RIGSMITH_EXPECTED_PROGRAM_DIR='" +
                                share.string() + "' '" + copy.string() +
                                "' --gtest_filter=ProgramDir.FollowsTheRunningProgram --gtest_brief=1 >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// Fixture folders of the working directory are used as they are; without them the user's own
// folder is made, once, with copies of the samples, and never the program's directory.
TEST(UserFiles, FixtureFoldersAndTheDocumentsDirectory)
{
    TTempDir root;
    const fs::path program = root.Path() / "share" / "rigsmith", documents = root.Path() / "home" / "Documents",
                   work = root.Path() / "work", before = fs::current_path();
    fs::create_directories(program / "Fixtures" / "archive.fxr");
    WriteAll((program / "Fixtures" / "spot.fxr").string(), "Name=spot\r\n");
    WriteAll((program / "Fixtures" / "WASH.FXR").string(), "Name=wash\r\n");
    WriteAll((program / "Fixtures" / "notes.txt").string(), "not a fixture\r\n");
    fs::create_directories(documents);
    fs::create_directories(work / "Mine");
    SetProgramDir(program.string());
    SetDocumentsDir(documents.string());
    fs::current_path(work);

    EXPECT_EQ(FixturesDir("Mine"), "Mine");
    EXPECT_EQ(FixturesDir("/somewhere/else"), "/somewhere/else");
    EXPECT_FALSE(fs::exists(documents / "Rigsmith")) << "nothing is made when nothing is needed";
    const fs::path own = documents / "Rigsmith" / "Fixtures";
    EXPECT_EQ(FixturesDir(), own.string());
    EXPECT_EQ(NamesIn(own), (std::set<std::string>{"WASH.FXR", "spot.fxr"}));
    EXPECT_EQ(ReadAll((own / "spot.fxr").string()), "Name=spot\r\n");
    fs::remove(own / "spot.fxr");
    EXPECT_EQ(FixturesDir(), own.string());
    EXPECT_EQ(NamesIn(own), std::set<std::string>{"WASH.FXR"}) << "made once: what the user deletes stays so";
    EXPECT_EQ(FixturesDir("Tour/2025"), (documents / "Rigsmith" / "Tour" / "2025").string());
    EXPECT_TRUE(fs::is_directory(documents / "Rigsmith" / "Tour" / "2025"));
    EXPECT_EQ(NamesIn(program / "Fixtures").size(), 4u);
    fs::create_directories(work / "Fixtures");
    EXPECT_EQ(FixturesDir(), "Fixtures");

    EXPECT_EQ(DocumentsDir(), documents.string());
    SetDocumentsDir({});
    const std::string home = Environment("HOME"), xdg = Environment("XDG_DOCUMENTS_DIR");
    setenv("HOME", (root.Path() / "home").c_str(), 1);
    setenv("XDG_DOCUMENTS_DIR", (root.Path() / "Dokumente").c_str(), 1);
    EXPECT_EQ(DocumentsDir(), (root.Path() / "Dokumente").string());
    unsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(UserDir(), (documents / "Rigsmith").string());
    fs::remove_all(documents);
    EXPECT_EQ(DocumentsDir(), (root.Path() / "home").string());

    for (const auto &[name, value] : {std::pair{"HOME", home}, {"XDG_DOCUMENTS_DIR", xdg}})
        value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
    fs::current_path(before);
    SetProgramDir({});
}

TEST(Platform, NowFollowsSourceDateEpoch)
{
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1); // 2023-11-14 22:13:20 UTC
    const TDateTime now = Now();
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(DecodeDate(now), (TCalendarDate{2023, 11, 14}));
    EXPECT_NEAR(now - static_cast<int>(now), (22 * 3600 + 13 * 60 + 20) / 86400.0, 1e-9);
    setenv("SOURCE_DATE_EPOCH", "-1", 1);
    EXPECT_NEAR(Now(), *TryEncodeDate(1970, 1, 1) - 1 / 86400.0, 1e-9);
    setenv("SOURCE_DATE_EPOCH", "1700000000x", 1); // no number: the clock
    EXPECT_GT(Now(), *TryEncodeDate(2024, 1, 1));
    unsetenv("SOURCE_DATE_EPOCH");
}

// Every day from 1/1/1 to 31/12/9999 is the day after the one before it.
TEST(Platform, EveryDayFollowsTheDayBefore)
{
    double previous = *TryEncodeDate(1, 1, 1) - 1;
    for (int year = 1; year <= 9999; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; ++day)
                if (const auto date = TryEncodeDate(year, month, day)) {
                    ASSERT_EQ(*date, previous + 1) << year << "-" << month << "-" << day;
                    ASSERT_EQ(DecodeDate(*date + 0.999), (TCalendarDate{year, month, day}));
                    previous = *date;
                }
    EXPECT_EQ(previous, 2958465);
}

TEST(Platform, EveryByteOfTheCodePageComesBackFromUtf8)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

} // namespace
