#include "DateTime.h"

#include <cstdio>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

TCalendarDate CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp + (mp < 10 ? 3 : -9);
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 30 December 1899 counted from 1 January 1970.
constexpr int64_t kEpochOffset = -25569;

bool IsLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

TDateTime FromUnix(int64_t days, int secondsOfDay)
{
    return static_cast<double>(days - kEpochOffset) + secondsOfDay / 86400.0;
}

} // namespace

std::optional<TDateTime> TryEncodeDate(int year, int month, int day)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const int last = kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
    if (day > last)
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(year, month, day) - kEpochOffset);
}

TCalendarDate DecodeDate(TDateTime moment)
{
    const auto days = static_cast<int64_t>(std::floor(moment));
    return CivilFromDays(days + kEpochOffset);
}

TDateTime Now()
{
    if (const char *epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char *end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (end && *end == '\0') {
            const long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
            return FromUnix(days, static_cast<int>(seconds - days * 86400));
        }
    }
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const int64_t days = DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                       static_cast<unsigned>(local.tm_mday));
    return FromUnix(days, local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

std::string IsoDate(TDateTime moment)
{
    const TCalendarDate date = DecodeDate(moment);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return text;
}
