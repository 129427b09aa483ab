#include "platform/CodePage.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(DateTime, EncodesAndDecodesCalendarDates)
{
    struct Case {
        int year, month, day;
        double days;
    } const cases[] = {
        {1899, 12, 30, 0},    {1900, 1, 1, 2},    {2005, 3, 7, 38418},
        {2000, 2, 29, 36585}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.year);
        const auto encoded = TryEncodeDate(c.year, c.month, c.day);
        ASSERT_TRUE(encoded);
        EXPECT_EQ(*encoded, c.days);
        EXPECT_EQ(DecodeDate(*encoded + 0.75), (TCalendarDate{c.year, c.month, c.day}));
    }
}

TEST(DateTime, RefusesImpossibleDates)
{
    for (const auto &[y, m, d] : {std::tuple{2005, 2, 29},
                                  {1900, 2, 29},
                                  {2005, 13, 1},
                                  {2005, 0, 1},
                                  {2005, 4, 31},
                                  {0, 1, 1},
                                  {10000, 1, 1},
                                  {2005, 1, 0}})
        EXPECT_FALSE(TryEncodeDate(y, m, d)) << y << "-" << m << "-" << d;
}

TEST(DateTime, NowFollowsSourceDateEpoch)
{
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1); // 2023-11-14 22:13:20 UTC
    const TDateTime now = Now();
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(DecodeDate(now), (TCalendarDate{2023, 11, 14}));
    EXPECT_NEAR(now - static_cast<int>(now), (22 * 3600 + 13 * 60 + 20) / 86400.0, 1e-9);
}

TEST(CodePage, MapsEveryByteToUtf8AndBack)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Cp1252ToUtf8("\x80 caf\xE9"), "\xE2\x82\xAC caf\xC3\xA9");
    EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x9C"
                           "x"
                           "\xE2\x80\x9D"),
              "\x93x\x94");
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5 \xFF"), "? ?"); // no Windows-1252 form; invalid UTF-8
}
