#pragma once

#include <string>

#include <optional>

// A moment as a day count from 30 December 1899; the fraction is the time of day.
using TDateTime = double;

struct TCalendarDate {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    bool operator==(const TCalendarDate &) const = default;
};

// Nothing when the three numbers are no date between 1/1/1 and 31/12/9999.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
TCalendarDate DecodeDate(TDateTime moment);

// The present local moment; when SOURCE_DATE_EPOCH is set, that moment (in UTC) instead,
// so that files written in a build or a script are reproducible.
TDateTime Now();

// The date as ISO 8601 writes it: "2024-05-07".
std::string IsoDate(TDateTime moment);
