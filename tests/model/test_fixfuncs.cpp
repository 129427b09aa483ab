#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <random>

TEST(FixFuncs, PatchKeyPadNumberPadRight)
{
    EXPECT_EQ(PatchKey(0), "00");
    EXPECT_EQ(PatchKey(5), "05");
    EXPECT_EQ(PatchKey(42), "42");
    EXPECT_EQ(PatchKey(123), "12");
    EXPECT_EQ(PatchKey(1000), "10");
    EXPECT_EQ(PadNumber(7, 2), " 7");
    EXPECT_EQ(PadNumber(123, 2), "123");
    EXPECT_EQ(PadNumber(-5, 4), "  -5");
    EXPECT_EQ(PadRight("\"Dimmer\"", 10), "\"Dimmer\"  ");
    EXPECT_EQ(PadRight("longer than", 4), "longer than");
    EXPECT_EQ(ReplaceChar("a\tb\t", '\t', ' '), "a b ");
    EXPECT_EQ(RemoveChar("\"a\"b\"", '"'), "ab");
    EXPECT_EQ(Trim("\t \x01x y\r\n "), "x y");
}

TEST(FixFuncs, CodeIndexMatchesWholeCodesInAnyCase)
{
    struct Case {
        const char *item;
        std::string_view list;
        int expected;
    } const cases[] = {
        {"ltp", codes::ControlType, 2},    {"HTP", codes::ControlType, 1},         {"TP", codes::ControlType, 0},
        {"B", codes::PaletteTypeShort, 4}, {"S", codes::PaletteTypeShort, 7},      {"SP", codes::ChannelType, 0},
        {"", codes::ChannelType, 0},       {" IN", codes::ChannelType, 0},         {"snap_end", codes::Path, 3},
        {"F", codes::HexDigits, 16},       {"moving_head", codes::FixtureType, 2}, {"no", codes::YesNo, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CodeIndex(c.item, c.list), c.expected) << c.item;
    // The item is made upper case and compared with its semicolon; the list is taken as it is.
    const Case semicolons[] = {
        {"HTP;LTP", "HTP;LTP;", 1}, {"P;L", "HTP;LTP;", 0},  {"a", "a;b;", 0},
        {"B", "a;B;", 2},           {"LTP;", "HTP;LTP;", 0}, {"ltp", "HTP;LTP", 0},
    };
    for (const Case &c : semicolons)
        EXPECT_EQ(CodeIndex(c.item, c.list), c.expected) << c.item << " in " << c.list;
}

TEST(FixFuncs, NextTokenSkipsRunsOfCommas)
{
    std::size_t at = 1;
    EXPECT_EQ(NextToken("a,,b", at), "a");
    EXPECT_EQ(NextToken("a,,b", at), "b");
    EXPECT_EQ(NextToken("a,,b", at), "");
    at = 1;
    EXPECT_EQ(NextToken(" x y , z", at), "x y");
    EXPECT_EQ(NextToken(" x y , z", at), "z");
}

TEST(FixFuncs, ColumnsFromLineSplitsAtBlanksAfterTheQuotedName)
{
    const auto columns = [](std::string_view line) {
        const std::string split = ColumnsFromLine(line);
        std::vector<std::string> result;
        std::size_t at = 1;
        for (std::string column = NextToken(split, at); !column.empty(); column = NextToken(split, at))
            result.push_back(column);
        return result;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(columns("\"Pan fine\"  1 PT"), (V{"Pan fine", "1", "PT"}));
    EXPECT_EQ(columns("Dimmer 1 IN HTP 8 1 na LINEAR 0 255"),
              (V{"Dimmer", "1", "IN", "HTP", "8", "1", "na", "LINEAR", "0", "255"}));
    EXPECT_EQ(columns("\"Dimmer\"            ,  1, IN, HTP,  8"), (V{"Dimmer", "1", "IN", "HTP", "8"}));
    EXPECT_EQ(columns("\"Colour, wheel\" 3"), (V{"Colour wheel", "3"})); // commas cannot be in names
}

TEST(FixFuncs, StrToIntFollowsTheFormatsIntegerRules)
{
    struct Case {
        const char *text;
        int32_t expected;
    } const good[] = {
        {"540", 540},
        {"  -45", -45},
        {"+7", 7},
        {"$FF", 255},
        {"x1f", 31},
        {"0X10", 16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-$10", -16},
    };
    for (const Case &c : good)
        EXPECT_EQ(StrToInt(c.text), c.expected) << c.text;
    for (const char *bad : {"", " ", "540 ", "1.5", "12a", "$", "0x", "2147483648", "-2147483649", "$80000000",
                            "99999999999999999999", "--1", "+"})
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
}

TEST(FixFuncs, StrToFloatTruncDropsTheFraction)
{
    for (const auto &[text, expected] :
         {std::pair{" 2", 2}, {"2.9", 2}, {"1.0", 1}, {"-2.5", -2}, {".5", 0}, {"25e-1", 2}, {"2E1", 20}})
        EXPECT_EQ(StrToFloatTrunc(text), expected) << text;
    for (const char *bad : {"", "2,5", "two", "2.5.1", "1e", "1e99", "."})
        EXPECT_THROW(StrToFloatTrunc(bad), EConvertError) << bad;
}

TEST(FixFuncs, ParseNumberReadsDecimalPercentHexAndNa)
{
    struct Case {
        const char *text;
        int64_t fullScale;
        int32_t expected;
    } const cases[] = {
        {"150%", 255, 382},  {"4%", 255, 10},
        {"50%", 255, 127},   {"100%", 255, 255},
        {"FFh", 255, 255},   {"ffh", 255, 255},
        {"H00FF", 255, 255}, {"h", 255, 0},
        {"na", 255, 0},      {"NA", 255, 0},
        {" 300 ", 255, 300}, {"-50%", 255, -127},
        {"% 50", 255, 127},  {"7FFFFFFFh", 1, INT32_MAX},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ParseNumber(c.text, c.fullScale), c.expected) << c.text;
    for (const char *bad : {"", "1.5", "1 2", "FGh", "1%2%3x", "12xh", "80000000h", "%", "n/a"})
        EXPECT_THROW(ParseNumber(bad, 255), EConvertError) << bad;
}

TEST(FixFuncs, PercentTableMatchesExtendedPrecision)
{
    struct Row {
        int percent;
        int32_t of255, of65535;
    } const table[] = {
        {0, 0, 0},        {1, 2, 655},      {4, 10, 2621},    {10, 25, 6553},   {25, 63, 16383},   {30, 76, 19660},
        {50, 127, 32767}, {70, 178, 45874}, {90, 229, 58981}, {99, 252, 64879}, {100, 255, 65534},
    };
    for (const Row &row : table) {
        const std::string text = std::to_string(row.percent) + "%";
        EXPECT_EQ(ParseNumber(text, 255), row.of255) << text;
        EXPECT_EQ(ParseNumber(text, 65535), row.of65535) << text;
    }
}

#if LDBL_MANT_DIG == 64
// Where long double is the 80-bit format, compare with the hardware for many values.
TEST(FixFuncs, ExtendedPercentAgreesWithHardware)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> count(-100000, 100000);
    std::uniform_int_distribution<int> scale(0, 70000);
    for (int i = 0; i < 200000; ++i) {
        const int n = i < 1000 ? i % 301 : count(random);
        const int f = i < 1000 ? (i % 2 ? 255 : 65535) : scale(random);
        volatile long double quotient = static_cast<long double>(f) / 100.0L;
        volatile long double product = static_cast<long double>(n) * quotient;
        ASSERT_EQ(ExtendedPercent(n, f), static_cast<int64_t>(product)) << n << "% of " << f;
    }
}
#endif

TEST(FixFuncs, ParseDmxValueSpreadsPercentagesOverBothBytes)
{
    EXPECT_EQ(ParseDmxValue("100%", 255, false), 65535);
    EXPECT_EQ(ParseDmxValue("100%", 255, true), 65535);
    EXPECT_EQ(ParseDmxValue("50%", 255, true), 32639);
    EXPECT_EQ(ParseDmxValue("128", 255, true), 32896);
    EXPECT_EQ(ParseDmxValue("40000", 255, false), 40000);
    EXPECT_EQ(ParseDmxValue("100%", 200, false), 51400);
}

TEST(FixFuncs, DecodeDescriptorUnpacksTheSevenFields)
{
    // colour, LTP, one byte, snap start, inherit field 1 (false), shown, locate 50
    const uint32_t d = 3 + 2 * 16 + 1 * 64 + 2 * 256 + 1 * 4096 + 0 * 16384 + 50 * 65536;
    const TAttributeDescriptor a = DecodeDescriptor(d);
    EXPECT_EQ(a.ChannelType, 3);
    EXPECT_EQ(a.ControlType, 2);
    EXPECT_EQ(a.Width, 8);
    EXPECT_EQ(a.Path, 2);
    EXPECT_FALSE(a.Inherit);
    EXPECT_TRUE(a.ShowOnEditor);
    EXPECT_EQ(a.LocateLevel, 50);
    EXPECT_FALSE(DecodeDescriptor(1 * 16384).ShowOnEditor);
    EXPECT_EQ(DecodeDescriptor(2 * 64).Width, 16);
}
