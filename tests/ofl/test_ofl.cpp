// Fixtures of the Open Fixture Library imported and exported: a small file per rule of the
// mapping, and every mode of the library's own fixtures.

#include "fxr/FixtureCheck.h"
#include "fxr/FixtureJson.h"
#include "fxr/FixtureWriter.h"
#include "fxr/SaveFile.h"
#include "ofl/OflExport.h"
#include "ofl/OflImport.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

namespace {

namespace fs = std::filesystem;
using testing_support::FromText;
using testing_support::ReadAll;
using testing_support::TTempDir;
using testing_support::WriteAll;

const std::string Cases = OFL_CASES;

// Importing the export gives back every attribute, with its patches, and every palette.
bool SameAfterExport(const TFixture &fixture)
{
    std::vector<std::string> report;
    const TFixture back = TOflFixture(ExportOfl(fixture, report), "").Import(0, fixture.FormatVersion).Fixture;
    const auto before = FixtureToJson(fixture), after = FixtureToJson(back);
    return before["Attributes"] == after["Attributes"] && before["Palettes"] == after["Palettes"];
}

TEST(Ofl, EachRuleOfTheMappingGivesTheFixtureAndReportOfItsFile)
{
    // The expected file: the fixture file as written, then "--" and the report, a line each.
    const struct {
        const char *File, *Mode;
        int Format;
        const char *Expected;
    } cases[] = {
        {"base", "Basic", 1, "base-basic"},  {"base", "3ch", 2, "base-gap"},     {"fine", "8 bit", 2, "fine-8bit"},
        {"fine", "Fine", 2, "fine-16bit"},   {"matrix", "Pixels", 2, "matrix"},  {"matrix", "Groups", 2, "groups"},
        {"types", "All", 2, "types"},        {"palettes", "Std", 2, "palettes"}, {"commands", "1ch", 2, "commands"},
        {"unmapped", "Five", 2, "unmapped"},
    };
    TTempDir exports;
    std::string files;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Expected);
        const TOflFixture source = TOflFixture::Read(Cases + "/maker/" + c.File + ".json");
        const TOflImport imported = source.Import(source.FindMode(c.Mode), c.Format);
        std::string text = FormatFixture(imported.Fixture, c.Format) + "--\n";
        for (const std::string &line : imported.Report)
            text += line + "\n";
        EXPECT_EQ(text, ReadAll(Cases + "/expected/" + c.Expected + ".txt"));
        EXPECT_EQ(CheckFindings(imported.Fixture, c.Format), std::vector<std::string>());
        EXPECT_TRUE(SameAfterExport(imported.Fixture));
        std::vector<std::string> report;
        WriteAll(exports.File(std::string(c.Expected) + ".json"), ExportOfl(imported.Fixture, report).dump(2));
        files += " " + exports.File(std::string(c.Expected) + ".json");
    }
    // Every export is a fixture by the library's schema, validated offline against its files.
    const std::string validate = "python3 " RIGSMITH_SOURCE_DIR "/tests/ofl/validate.py " OFL_DATA "/schemas" + files;
    EXPECT_EQ(std::system(validate.c_str()), 0);
}

TEST(Ofl, LibraryModesPassTheCheckAndReadBackAfterASave)
{
    std::size_t modes = 0, fitting = 0, passed = 0, exportedBack = 0;
    std::map<std::string, int> failures; // by cause
    for (const auto &entry : fs::recursive_directory_iterator(OFL_DATA "/fixtures")) {
        if (entry.path().extension() != ".json" || entry.path().filename() == "manufacturers.json")
            continue;
        std::unique_ptr<TOflFixture> source;
        try {
            source = std::make_unique<TOflFixture>(TOflFixture::Read(entry.path().string()));
        } catch (const EOflError &) {
            continue; // a file that refers to another
        }
        for (std::size_t mode = 0; mode < source->ModeNames().size(); ++mode, ++modes) {
            if (source->ChannelCount(mode) > OflMaxChannels)
                continue;
            ++fitting;
            try {
                TOflImport imported = source->Import(mode, 2);
                if (SameAfterExport(imported.Fixture))
                    ++exportedBack;
                else
                    std::cout << "export: " << entry.path().filename().string() << " " << mode << '\n';
                const std::vector<std::string> findings = CheckFindings(imported.Fixture, 2);
                if (!findings.empty()) {
                    ++failures["check: " + findings[0].substr(0, 60)];
                    continue;
                }
                PrepareForSaving(imported.Fixture);
                imported.Fixture.Saved = true; // as the save leaves it
                // The editor arranges what it reads as a save does.
                TFixture back = FromText(FormatFixture(imported.Fixture, 2));
                back.Normalize();
                if (FixtureToJson(back) != FixtureToJson(imported.Fixture))
                    ++failures["read back: " + entry.path().filename().string()];
                else
                    ++passed;
            } catch (const std::exception &error) {
                ++failures[error.what()];
            }
        }
    }
    for (const auto &[cause, count] : failures)
        std::cout << count << " x " << cause << '\n';
    std::cout << passed << " of " << fitting << " modes that fit (" << modes << " in all) import\n";
    EXPECT_EQ(modes, 1996u);
    EXPECT_EQ(fitting, 1941u);
    EXPECT_GE(passed * 100, fitting * 97);
    EXPECT_EQ(exportedBack, fitting);
}

} // namespace
