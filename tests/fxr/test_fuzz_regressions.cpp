// The inputs the fuzz target keeps as regressions (tests/data/fuzz), its seeds and the sample
// fixtures, run through the same properties as the fuzz target (fuzz/FixtureProperty.cpp), and
// the models a file can hold that the writers cannot give back, which the text check names.

#include "FixtureProperty.h"
#include "fxr/FixtureCheck.h"
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

// Each file loads, and saving it would change it: the text check names why, in the format given,
// and the property holds because nothing is written.
TEST(FuzzRegressions, ModelsTheWritersCannotGiveBack_AreNamed)
{
    const std::string attributes = "Format_Version = 2\r\nPARAMETERS\r\n"
                                   "PALETTENAME1 1 IN HTP 8 1 na LINEAR 0 255 NO YES\r\n"
                                   "Dimmer 1 IN HTP 8 2 na LINEAR 0 255 NO YES\r\nENDPARAMETERS\r\n";
    const struct {
        std::string File;
        int Format;
        std::string Finding;
    } cases[] = {
        // An attribute named like a palette keyword: its value line would start a new palette.
        {attributes, 2, "Attribute \"PALETTENAME1\" starts with a keyword of the file."},
        // Two hidden Control channels made by format 1.0 steps fall into one name.
        {"PARAMETERS\r\nENDPARAMETERS\r\nCOMMANDS\r\nCOMMANDNAME = Reset\r\n1, 0, 12\r\n2, 0, 13\r\nENDCOMMANDS\r\n", 1,
         "Command \"Reset\" has a step on \"Control\", a name that several attributes share."},
        // A palette before any PALETTETYPE line has a type no code names.
        {"Format_Version = 2\r\nPALETTES\r\nPALETTENAME = A\r\nENDPALETTES\r\n", 2,
         "Palette \"A\" has a type the file has no name for; it would read back as none."},
        // A step on a channel number without attribute would become one in format 1.0.
        {"Format_Version = 2\r\nCOMMANDS\r\nCommandName=Go\r\n#9, 7, 0\r\nENDCOMMANDS\r\n", 1,
         "Command \"Go\" has a step on channel #9, which no attribute holds; a format 1.0 file would make it an "
         "attribute."},
        // A step on the attribute "#" made by format 1.0 is a channel without number.
        {"Format_Version=2\nCOMMANDS\nCommandName\n#7,1,2\nENDCOMMANDS\nPARAMETERS\n# 3 C T 8 7 a T 0 "
         "5\nENDPARAMETERS\n",
         1, "Attribute \"#\" starts with \"#\", which makes a step on it a channel number."},
        // A width other than 8 and 16 drifts on every pass.
        {"Format_Version = 2\r\nPARAMETERS\r\nOdd 1 IN HTP 12 1 na LINEAR 0 255 NO YES\r\nENDPARAMETERS\r\n", 2,
         "Attribute \"Odd\" is 12 bits wide; the file holds 8 or 16."},
        // 300 on an 8-bit channel is more than its 16-bit step can hold.
        {attributes + "COMMANDS\r\nCommandName=Go\r\nDimmer, 300, 0\r\nENDCOMMANDS\r\n", 2,
         "Command \"Go\" has a step value (11564) that an 8-bit channel cannot hold."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.File);
        const std::vector<std::string> findings = TextFindings(FromText(c.File), c.Format);
        EXPECT_NE(std::find(findings.begin(), findings.end(), c.Finding), findings.end())
            << testing::PrintToString(findings);
        EXPECT_EQ(CheckFixtureBytes(c.File), "");
    }
}

} // namespace
