// The inputs the fuzz target keeps as regressions (tests/data/fuzz), its seeds and the sample
// fixtures, run through the same properties as the fuzz target (fuzz/FixtureProperty.cpp), and
// examples of what those properties leave out on purpose.

#include "FixtureProperty.h"
#include "fxr/FixtureWriter.h"
#include "platform/Errors.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing_support::FromText;

TEST(FuzzRegressions, KeptInputsSeedsAndSamples_HoldEveryProperty)
{
    const char *data = std::getenv("RIGSMITH_DATA");
    const fs::path source = RIGSMITH_SOURCE_DIR;
    for (const fs::path &directory : {source / "tests" / "data" / "fuzz", source / "fuzz" / "seeds",
                                      fs::path(data && *data ? data : "data") / "Fixtures"}) {
        int files = 0;
        for (const fs::directory_entry &entry : fs::directory_iterator(directory))
            if (entry.is_regular_file() && entry.path().extension() == ".fxr") {
                ++files;
                EXPECT_EQ(CheckFixtureBytes(testing_support::ReadAll(entry.path().string())), "") << entry.path();
            }
        EXPECT_GT(files, 0) << directory;
    }
}

// Models a file can hold and the writers cannot say: the first write and read change them, after
// that the text stays as it is. These are why the property is a fixed point after one pass.
TEST(FuzzRegressions, WhatTheFirstPassChanges_StaysAfterwards)
{
    const std::string attributes = "Format_Version = 2\r\nPARAMETERS\r\n"
                                   "PALETTENAME1 1 IN HTP 8 1 na LINEAR 0 255 NO YES\r\n"
                                   "Dimmer 1 IN HTP 8 2 na LINEAR 0 255 NO YES\r\nENDPARAMETERS\r\n";
    const std::vector<std::string> files = {
        // An attribute named like a palette keyword: its value line turns into a new palette.
        attributes + "PALETTES\r\nPALETTETYPE = IN\r\nPALETTENAME = Full\r\n palettename1 = 5\r\n PALETTENAME1 = "
                     "7\r\nENDPALETTES\r\n",
        // Two hidden Control channels made by format 1.0 steps fall into one name.
        "PARAMETERS\r\nENDPARAMETERS\r\nCOMMANDS\r\nCOMMANDNAME = Reset\r\n1, 0, 12\r\n2, 0, 13\r\nENDCOMMANDS\r\n",
        // A palette before any PALETTETYPE line, next to one of an unknown type.
        attributes + "PALETTES\r\nPALETTENAME = A\r\nPALETTETYPE = ZZ\r\nPALETTENAME = B\r\nENDPALETTES\r\n",
        // A step on a "#" channel that names an attribute by number in format 2.
        attributes + "COMMANDS\r\nCommandName=Go\r\n#2, 255, 0\r\n#9, 7, 0\r\nENDCOMMANDS\r\n",
    };
    for (const std::string &file : files) {
        EXPECT_EQ(CheckFixtureBytes(file), "") << file;
        for (const int version : {1, 2}) {
            const std::string once = FormatFixture(FromText(FormatFixture(FromText(file), version)), version);
            EXPECT_EQ(FormatFixture(FromText(once), version), once) << "format " << version << "\n" << file;
        }
    }
}

TEST(FuzzRegressions, UnreadableFirstWrite_IsAllowedOnlyForNamesTheFormatCannotCarry)
{
    // An attribute name with "=" is written unescaped on palette value lines and cannot be read back.
    const std::string loads =
        "Format_Version = 2\r\nPARAMETERS\r\n\"a=b\" 1 IN HTP 8 1 na LINEAR 0 255 NO YES\r\nENDPARAMETERS\r\n";
    EXPECT_THROW(FromText(loads + "PALETTES\r\nPALETTETYPE = IN\r\nPALETTENAME = P\r\n\"a=b\" = 5\r\nENDPALETTES\r\n"),
                 ELoadError)
        << "its own value line already fails";
    EXPECT_EQ(FromText(loads).Attributes[0].Name, "a=b");
    EXPECT_EQ(CheckFixtureBytes(loads), "");
}

// Found by the fuzzer: the writers refuse a step on a "#" channel without a number, and format 1.0
// can make one out of a step on a channel number whose attribute is called "#".
TEST(FuzzRegressions, StepOnAttributeNamedHash_IsRefusedOnTheSecondWrite)
{
    const std::string file = "Format_Version=2\nCOMMANDS\nCommandName\n#7,1,2\nENDCOMMANDS\nPARAMETERS\n# 3 C T 8 7 a "
                             "T 0 5\nENDPARAMETERS\n";
    EXPECT_EQ(CheckFixtureBytes(file), "");
    const TFixture loaded = FromText(file);
    ASSERT_EQ(loaded.Commands[0].Lines[0].ChannelName, "#7") << "the step came before its attribute";
    const TFixture readBack = FromText(FormatFixture(loaded, 1));
    ASSERT_EQ(readBack.Commands[0].Lines[0].ChannelName, "#") << "format 1.0 names the step after its attribute";
    EXPECT_THROW(FormatFixture(readBack, 1), EConvertError);
    EXPECT_THROW(FormatFixture(readBack, 2), EConvertError);
    EXPECT_NO_THROW(FormatFixture(loaded, 2));
}

TEST(FuzzRegressions, BrokenProperties_AreReported)
{
    // The property check itself must see what it is there to see: an attribute 12 bits wide
    // drifts on every pass and is left out, so it passes; a broken line number would not.
    const std::string odd =
        "Format_Version = 2\r\nPARAMETERS\r\nOdd 1 IN HTP 12 1 na LINEAR 0 255 NO YES\r\nENDPARAMETERS\r\n";
    EXPECT_EQ(CheckFixtureBytes(odd), "");
    const TFixture once = FromText(FormatFixture(FromText(odd), 2));
    EXPECT_NE(once.Attributes[0].DmxMax, 255) << "if widths other than 8 and 16 kept their range, the "
                                                 "property could include them";
}

} // namespace
