// Fixture texts and models through the reader, the checks and both writers, against the expected
// files. Each input in tests/data/fxr/in is a file to read (.fxr) or a model (.json, naming only
// what differs from a new fixture, attribute, command or palette); a file with lines "#### name"
// holds a case under each. tests/data/fxr/out holds, for each input, the model or the error, the
// findings of the checks and, for an input of one case, the text of each writer.

#include "FixtureProperty.h"
#include "fxr/FixtureCheck.h"
#include "fxr/FixtureJson.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "support/Expected.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace testing_support;

// Gives an entry what it leaves out of the blank one; lists start empty, their entries filled in turn.
void Fill(json &entry, const json &blank)
{
    for (const auto &[key, value] : blank.items())
        if (!entry.contains(key))
            entry[key] = value.is_array() ? json::array() : value;
        else if (value.is_array())
            for (json &item : entry[key]) {
                if (key == "Attributes" && !item.contains("Key"))
                    item["Key"] = PatchKey(item.value("InternalPatch", 0));
                Fill(item, value[0]);
            }
}

TFixture ModelFrom(json given)
{
    TFixture blank;
    blank.AddParameter(std::make_unique<TParameter>());
    blank.AddCommand("").AddLine("", 0, 0);
    blank.AddPalette("", 0).SetValue("", 0);
    Fill(given, FixtureToJson(blank));
    return FixtureFromJson(given);
}

// The model or the error, the findings, and the text of each writer (empty where it refused).
struct TOutcome {
    std::string Text;
    std::string Written[2];
};

TOutcome Outcome(const std::string &input, bool model)
{
    TOutcome out;
    TFixture f;
    try {
        f = model ? ModelFrom(json::parse(input)) : FromText(input);
    } catch (const std::exception &error) {
        out.Text = std::string("error: ") + error.what() + "\n";
        return out;
    }
    out.Text = FixtureToJson(f).dump(1) + "\n";
    const auto list = [&](const std::string &what, const std::vector<std::string> &findings) {
        for (const std::string &finding : findings)
            out.Text += what + ": " + finding + "\n";
    };
    list("patches", PatchFindings(f));
    list("base data", BaseDataFindings(f));
    for (const int version : {1, 2}) {
        list("format " + std::to_string(version) + " texts", TextFindings(f, version));
        try {
            const std::string &text = out.Written[version - 1] = FormatFixture(f, version);
            // A file read gives back whatever a save lets through, also from a recovered model.
            EXPECT_EQ(CheckFixtureBytes(text), "") << "format " << version;
            if (CheckFindings(f, version).empty()) {
                EXPECT_EQ(FormatFixture(FromText(text), version), text) << "format " << version;
            }
        } catch (const std::exception &error) {
            out.Text += "format " + std::to_string(version) + " writer: " + error.what() + "\n";
        }
    }
    return out;
}

TEST(Files, EveryInputGivesTheExpectedModelFindingsAndTexts)
{
    int inputs = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(TestData / "fxr" / "in")) {
        const std::string name = entry.path().stem().string(), text = ReadAll(entry.path().string());
        const bool model = entry.path().extension() == ".json";
        SCOPED_TRACE(entry.path().filename().string());
        ++inputs;
        if (text.rfind("#### ", 0) != 0) {
            const TOutcome out = Outcome(text, model);
            ExpectFile(TestData / "fxr" / "out" / (name + ".txt"), out.Text);
            for (const int version : {1, 2})
                ExpectFile(TestData / "fxr" / "out" / (name + "." + std::to_string(version) + ".fxr"),
                           out.Written[version - 1]);
            continue;
        }
        std::string all;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = std::min(text.find("\n#### ", at), text.size());
            const std::size_t body = text.find('\n', at) + 1;
            SCOPED_TRACE(text.substr(at, body - at));
            all += text.substr(at, body - at) + Outcome(text.substr(body, end + 1 - body), model).Text;
            at = end + 1;
        }
        ExpectFile(TestData / "fxr" / "out" / (name + ".txt"), all);
    }
    EXPECT_GT(inputs, 10);
}

// The shipped samples are as the writer writes them; they, the fuzz seeds and the inputs the fuzz
// target keeps hold every property of the fuzz target.
TEST(Files, SamplesAndFuzzInputsHoldEveryProperty)
{
    const fs::path source = RIGSMITH_SOURCE_DIR;
    for (const fs::path &directory :
         {source / "data" / "Fixtures", source / "tests" / "data" / "fuzz", source / "fuzz" / "seeds"}) {
        int files = 0;
        for (const fs::directory_entry &entry : fs::directory_iterator(directory))
            if (entry.path().extension() == ".fxr") {
                SCOPED_TRACE(entry.path().string());
                ++files;
                const std::string bytes = ReadAll(entry.path().string());
                EXPECT_EQ(CheckFixtureBytes(bytes), "");
                if (directory.filename() == "Fixtures") {
                    const TFixture f = FromText(bytes);
                    EXPECT_EQ(CheckFindings(f, f.FormatVersion), std::vector<std::string>{});
                    EXPECT_EQ(FormatFixture(f, f.FormatVersion), bytes);
                }
            }
        EXPECT_GT(files, 0) << directory;
    }
}

// The editor shows each check's findings as warnings, and the text check's in one box.
TEST(Files, ChecksShowTheirFindings)
{
    TScriptedDialogs dialogs;
    TFixture f = FromText("Fixture = Spot\nDmx_Channels = 1\nPARAMETERS\nA 1 IN HTP 8 1 na LINEAR 0 255\n"
                          "B 1 IN HTP 8 2 na LINEAR 0 255\nENDPARAMETERS\n");
    EXPECT_TRUE(f.CheckTexts());
    EXPECT_FALSE(f.CheckPatches());
    EXPECT_FALSE(f.CheckBaseData());
    for (int i = 0; i < 12; ++i)
        f.AddCommand("Step \"" + std::to_string(i) + "\"");
    EXPECT_FALSE(f.CheckTexts());
    std::string texts = "The file would not keep these texts as they stand:";
    for (int i = 0; i < 10; ++i)
        texts += "\n\nCommand \"Step \"" + std::to_string(i) + "\"\" holds a double quote, which the file drops.";
    EXPECT_EQ(dialogs.Shown,
              (std::vector<TScriptedDialogs::TShown>{
                  {TMessageKind::Warning, "parameter \"B\": Internal patch error !"},
                  {TMessageKind::Warning, "DMX channel value cannot be lower than the number of attributes"},
                  {TMessageKind::Warning, texts + "\n\n... and 2 more."}}));
    dialogs.Shown.clear();
    f = FromText("Fixture = Spot\nDmx_Channels = 1\n");
    EXPECT_TRUE(f.CheckPatches() && f.CheckBaseData() && f.CheckTexts());
    EXPECT_TRUE(dialogs.Shown.empty());
}

// Loading asks for a file (from the list in the 800 layout) and keeps the fixture as it was when
// that fails, saying why.
TEST(Files, LoadKeepsThePreviousFixtureWhenItFails)
{
    TTempDir dir;
    WriteAll(dir.File("good.fxr"), "Fixture = New one\r\n");
    WriteAll(dir.File("bad.fxr"), "Fixture = Broken\r\nDmx_Channels = many\r\n");
    TScriptedDialogs dialogs;
    TFixture f;
    f.Name = "Previous";
    f.FileName = "previous.fxr";
    f.Saved = false;
    const std::pair<std::optional<std::string>, std::vector<TScriptedDialogs::TShown>> failures[] = {
        {std::nullopt, {}},
        {std::string(), {}},
        {dir.File("missing.fxr"), {{TMessageKind::Warning, "File access error (No such file or directory)"}}},
        {dir.Path().string(), {{TMessageKind::Warning, "File access error (Is a directory)"}}},
        {std::string("/dev/zero"), {{TMessageKind::Warning, "File access error (not a regular file)"}}},
        {dir.File("bad.fxr"), {{TMessageKind::Plain, "Cannot open the file. Error in line #2:   DMX_CHANNELS = MANY"}}},
    };
    for (const auto &[chosen, shown] : failures) {
        dialogs.Shown.clear();
        dialogs.Files.push_back(chosen);
        EXPECT_FALSE(f.Load());
        EXPECT_EQ(dialogs.Shown, shown);
        EXPECT_EQ(f.Name + f.FileName, "Previousprevious.fxr");
        EXPECT_FALSE(f.Saved);
    }
    ASSERT_EQ(dialogs.FileDialogs.size(), 6u);
    EXPECT_EQ(dialogs.FileDialogs[0].InitialDir, "Fixtures");
    EXPECT_EQ(dialogs.FileDialogs[0].DefaultExt, "fxr");
    EXPECT_EQ(dialogs.FileDialogs[0].Filter, "Fixture files (*.fxr)");

    f.Layout800 = true;
    dialogs.Files.push_back(dir.File("good.fxr"));
    ASSERT_TRUE(f.Load());
    EXPECT_EQ(dialogs.FileDialogs.size(), 6u);
    EXPECT_EQ(f.Name + "|" + f.FileName + "|" + f.FileDir + "|" + f.FilePath,
              "New one|good.fxr|" + dir.Path().string() + "|" + dir.File("good.fxr"));
    EXPECT_TRUE(f.Saved && f.Layout800);
}

} // namespace
