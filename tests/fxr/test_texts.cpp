// Texts that a file would not give back as they stand are found before they are saved.

#include "fxr/FixtureCheck.h"
#include "fxr/FixtureReader.h"
#include "fxr/FixtureWriter.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using testing_support::FromText;

TFixture Spot()
{
    const char *data = std::getenv("RIGSMITH_DATA");
    return ReadFixtureFile(
        (std::filesystem::path(data && *data ? data : "data") / "Fixtures" / "demo-spot.fxr").string());
}

void RenameAttribute(TFixture &f, const std::string &from, const std::string &to)
{
    f.RenameAttribute(*f.ParameterByName(from), to);
}

// The spot as a format 1.0 fixture holds it: without revision and comments.
TFixture Spot(int format)
{
    TFixture f = Spot();
    if (format == 1)
        f.Revision = f.Comments = "";
    return f;
}

// Renames the attribute of the first palette's first value, with that value.
void RenameDimmer(TFixture &f, const std::string &to)
{
    RenameAttribute(f, "Dimmer", to);
    f.Palettes[0].Lines.Clear();
    f.Palettes[0].SetValue(to, 255 * 257);
}

using TField = std::function<std::string(const TFixture &)>;

// The text as a file of the format gives it back, or the reader's error.
std::string ReadBack(const TFixture &f, int format, const TField &field)
{
    try {
        return field(FromText(FormatFixture(f, format)));
    } catch (const std::exception &error) {
        return std::string("error: ") + error.what();
    }
}

std::string FirstStep(const TFixture &f)
{
    return f.Commands[0].Lines.front().ChannelName;
}

struct TTextCase {
    const char *what;
    int format;
    std::function<void(TFixture &)> change;
    TField field; // where the change shows
    std::string written;
    std::string finding;
};

} // namespace

TEST(TextCheck, TextsTheFileCannotCarry_AreFoundAndWouldComeBackChanged)
{
    const TField name = [](const TFixture &f) { return f.Name; };
    const TField author = [](const TFixture &f) { return f.Author; };
    const TField comments = [](const TFixture &f) { return f.Comments; };
    const TField command = [](const TFixture &f) { return f.Commands[0].Name; };
    const TField description = [](const TFixture &f) { return f.Palettes[0].Description; };
    const TField gobo = [](const TFixture &f) { return f.ParameterByPatch(8)->Name; };
    const TField dimmerValue = [](const TFixture &f) {
        return f.Palettes[0].Lines.Count() > 0 ? f.Palettes[0].Lines[0].ChannelName : "";
    };
    const std::string longName(250, 'x');
    const TTextCase cases[] = {
        {"quote in the name", 2, [](TFixture &f) { f.Name = "Par 12\" LED"; }, name, "Par 12\" LED",
         "Fixture \"Par 12\" LED\" holds a double quote, which the file drops."},
        {"comment marker in the author", 1, [](TFixture &f) { f.Author = "J. Doe // lights"; }, author,
         "J. Doe // lights", "Author \"J. Doe // lights\" holds \"//\", after which the file keeps nothing."},
        {"link in a description", 2, [](TFixture &f) { f.Palettes[0].Description = "see http://example.org"; },
         description, "see http://example.org",
         "Palette description \"see http://example.org\" holds \"//\", after which the file keeps nothing."},
        {"quote in a command", 1, [](TFixture &f) { f.Commands[0].Name = "Lamp \"on\""; }, command, "Lamp \"on\"",
         "Command \"Lamp \"on\"\" holds a double quote, which the file drops."},
        {"tab in a command", 2, [](TFixture &f) { f.Commands[0].Name = "Lamp\ton"; }, command, "Lamp\ton",
         "Command \"Lamp\ton\" holds a control character."},
        {"comma in an attribute", 2, [](TFixture &f) { RenameAttribute(f, "Gobo", "Gobo, fixed"); }, gobo,
         "Gobo, fixed", "Attribute \"Gobo, fixed\" holds a comma, which separates the columns of its line."},
        {"equals sign in an attribute with values", 1, [](TFixture &f) { RenameDimmer(f, "Dim=1"); }, dimmerValue,
         "Dim=1", "Attribute \"Dim=1\" holds \"=\", which ends the name in a palette value."},
        {"attribute named like a channel number", 1, [](TFixture &f) { RenameAttribute(f, "Control", "#3"); },
         FirstStep, "#3", "Attribute \"#3\" starts with \"#\", which makes a step on it a channel number."},
        {"attribute named like a keyword", 1, [](TFixture &f) { RenameDimmer(f, "PALETTENAME dim"); }, dimmerValue,
         "PALETTENAME dim", "Attribute \"PALETTENAME dim\" starts with a keyword of the file."},
        {"attribute named like a command", 2, [](TFixture &f) { RenameAttribute(f, "Control", "commandname x"); },
         FirstStep, "commandname x", "Attribute \"commandname x\" starts with a keyword of the file."},
        {"comment line that closes the block", 2, [](TFixture &f) { f.Comments = "First\r\nENDCOMMENTS\r\nLast"; },
         comments, "First\r\nENDCOMMENTS\r\nLast",
         "Comment \"First\r\nENDCOMMENTS\r\nLast\" holds a line that ends the comments."},
        {"name longer than a line", 2, [&](TFixture &f) { f.Name = longName; }, name, longName,
         "Line 26 of the file would be longer than 255 characters: Fixture = \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxx..."},
    };
    for (const TTextCase &c : cases) {
        SCOPED_TRACE(c.what);
        TFixture f = Spot(c.format);
        ASSERT_EQ(TextFindings(f, c.format), std::vector<std::string>{});
        c.change(f);
        EXPECT_EQ(c.field(f), c.written);
        EXPECT_EQ(TextFindings(f, c.format), std::vector<std::string>{c.finding});
        EXPECT_NE(ReadBack(f, c.format, c.field), c.written);
    }
}

TEST(TextCheck, OrdinaryTexts_PassAndComeBackAsTheyStand)
{
    TFixture f = Spot();
    f.Name = "Spot 575 (Mk II) - 50% 'wide'";
    f.Author = "Ren\xE9 M\xFCller";
    f.Comments = "One/two lines\r\n\r\n# and = and , are fine here";
    f.Commands[0].Name = "Lamp on, slow = 5 s";
    f.Palettes[0].Description = "a/b \\ c";
    RenameAttribute(f, "Gobo", "Gobo #2 (rot) Palettename");
    for (const int format : {1, 2}) {
        SCOPED_TRACE(format);
        if (format == 1)
            f.Revision = f.Comments = "";
        EXPECT_EQ(TextFindings(f, format), std::vector<std::string>{});
        const TFixture back = FromText(FormatFixture(f, format));
        EXPECT_EQ(back.Name, f.Name);
        EXPECT_EQ(back.Author, f.Author);
        EXPECT_EQ(back.Commands[0].Name, f.Commands[0].Name);
        EXPECT_EQ(back.Palettes[0].Description, f.Palettes[0].Description);
        EXPECT_EQ(back.ParameterByPatch(8)->Name, "Gobo #2 (rot) Palettename");
        EXPECT_EQ(back.Comments, f.Comments);
    }
}

// Format 1.0 has no revision and no comments: typed in, they are named rather than dropped.
TEST(TextCheck, WhatFormat10DoesNotWrite_IsNamed)
{
    TFixture f = Spot();
    f.Revision = "2\"";
    f.Comments = "see http://example.org";
    EXPECT_EQ(TextFindings(f, 1), (std::vector<std::string>{"Revision \"2\"\" has no place in a format 1.0 file.",
                                                            "Comment \"see http://example.org\" has no place in a "
                                                            "format 1.0 file."}));
    EXPECT_EQ(TextFindings(f, 2).size(), 2u);
}

TEST(TextCheck, CheckTexts_ShowsAllFindingsInOneWarning)
{
    TScriptedDialogs dialogs;
    TFixture f = Spot();
    EXPECT_TRUE(f.CheckTexts());
    EXPECT_TRUE(dialogs.Shown.empty());

    for (int i = 0; i < 12; ++i)
        f.AddCommand("Step \"" + std::to_string(i) + "\"");
    EXPECT_FALSE(f.CheckTexts());
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Kind, TMessageKind::Warning);
    std::string expected = "The file would not keep these texts as they stand:";
    for (int i = 0; i < 10; ++i)
        expected += "\n\nCommand \"Step \"" + std::to_string(i) + "\"\" holds a double quote, which the file drops.";
    expected += "\n\n... and 2 more.";
    EXPECT_EQ(dialogs.Shown[0].Text, expected);
}
