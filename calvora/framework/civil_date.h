// Dates of the proleptic Gregorian calendar: the month table and the leap rule, and a count of
// days from 1970-01-01 that date arithmetic can use without a time zone.
#pragma once

#include <cstdint>

struct CivilDate {
    std::int64_t year;
    int month;  // 1..12
    int day;    // 1..31

    // Every fourth year, except the centuries not divisible by 400; year 0 is one.
    static constexpr bool IsLeapYear(std::int64_t year) {
        return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    }
    // The days of a month (1..12) of the year.
    static constexpr int DaysInMonth(std::int64_t year, int month) {
        constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
    }
    // The days of a month (1..12) in the years that give it the most.
    static constexpr int MostDaysInMonth(int month) { return DaysInMonth(2000, month); }

    // Whether the calendar has this date.
    constexpr bool Exists() const {
        return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
    }

    // Days since 1970-01-01, for an existing date (negative before it).
    constexpr std::int64_t DayNumber() const {
        const std::int64_t y = year - (month <= 2 ? 1 : 0);
        const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
        const std::int64_t yearOfEra = y - era * 400;
        const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
        const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
        return era * 146097 + dayOfEra - 719468;
    }
    static constexpr CivilDate FromDayNumber(std::int64_t dayNumber) {
        const std::int64_t z = dayNumber + 719468;
        const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
        const std::int64_t dayOfEra = z - era * 146097;
        const std::int64_t yearOfEra =
            (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const std::int64_t dayOfYear =
            dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
        const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
        const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
        return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
    }
    // 1 = Monday .. 7 = Sunday of a day number; day 0 was a Thursday.
    static constexpr int WeekdayOf(std::int64_t dayNumber) {
        return static_cast<int>(((dayNumber % 7 + 7) % 7 + 3) % 7 + 1);
    }
};
