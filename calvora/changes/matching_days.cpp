#include "calvora/changes/matching_days.h"

#include <algorithm>
#include <limits>

#include "calvora/framework/civil_date.h"

namespace {

bool EveryWeekday(const DateRanges& dates) {
    return dates.firstWeekday <= 1 && dates.lastWeekday >= 7;
}

std::int64_t FirstOfYear(std::int64_t year) {
    return CivilDate{year, 1, 1}.DayNumber();
}

std::int64_t FirstOfNextMonth(const CivilDate& date) {
    return date.month == 12 ? FirstOfYear(date.year + 1)
                            : CivilDate{date.year, date.month + 1, 1}.DayNumber();
}

// The days from `day` to the next one whose weekday lies in the range, for a weekday outside it.
int DaysToFirstWeekday(const DateRanges& dates, int weekday) {
    return weekday < dates.firstWeekday ? dates.firstWeekday - weekday
                                        : 7 - weekday + dates.firstWeekday;
}

}  // namespace

bool AdmitsDay(const DateRanges& dates, std::int64_t day) {
    return dates.Contain(CivilDate::FromDayNumber(day), CivilDate::WeekdayOf(day));
}

bool AdmitsSomeDate(const DateRanges& dates) {
    int longestMonth = 0;
    for (int month = dates.firstMonth; month <= dates.lastMonth; ++month)
        longestMonth = std::max(longestMonth, CivilDate::MostDaysInMonth(month));
    return dates.firstYear <= dates.lastYear && dates.firstMonth <= dates.lastMonth &&
           dates.firstDay <= std::min(dates.lastDay, longestMonth) &&
           dates.firstWeekday <= dates.lastWeekday;
}

// Each step moves to the first day that the first failing range does not rule out: the next
// year, month, day of the month or weekday.
std::optional<std::int64_t> NextAdmittedDay(const DateRanges& dates, std::int64_t day,
                                            std::int64_t horizonYear) {
    for (;;) {
        const CivilDate date = CivilDate::FromDayNumber(day);
        if (date.year > dates.lastYear || date.year > horizonYear)
            return std::nullopt;
        if (date.year < dates.firstYear) {
            day = FirstOfYear(dates.firstYear);
        } else if (date.month < dates.firstMonth) {
            day = CivilDate{date.year, dates.firstMonth, 1}.DayNumber();
        } else if (date.month > dates.lastMonth) {
            day = FirstOfYear(date.year + 1);
        } else if (date.day > dates.lastDay ||
                   dates.firstDay > CivilDate::DaysInMonth(date.year, date.month)) {
            day = FirstOfNextMonth(date);
        } else if (date.day < dates.firstDay) {
            day += dates.firstDay - date.day;
        } else {
            const int weekday = CivilDate::WeekdayOf(day);
            if (weekday >= dates.firstWeekday && weekday <= dates.lastWeekday)
                return day;
            day += DaysToFirstWeekday(dates, weekday);
        }
    }
}

// Runs that a weekday range cuts short are walked day by day (a week at most); the others end
// with a month, or with the last year when every date of every year is admitted.
std::optional<std::int64_t> LastDayOfRun(const DateRanges& dates, std::int64_t day) {
    if (!EveryWeekday(dates)) {
        while (AdmitsDay(dates, day + 1))
            ++day;
        return day;
    }
    const bool wholeMonths = dates.firstDay <= 1 && dates.lastDay >= 31;
    if (wholeMonths && dates.firstMonth <= 1 && dates.lastMonth >= 12) {
        if (dates.lastYear == std::numeric_limits<std::int64_t>::max())
            return std::nullopt;
        return CivilDate{dates.lastYear, 12, 31}.DayNumber();
    }
    for (;;) {
        const CivilDate date = CivilDate::FromDayNumber(day);
        const int monthLength = CivilDate::DaysInMonth(date.year, date.month);
        if (dates.firstDay > 1 || dates.lastDay < monthLength)
            return CivilDate{date.year, date.month, std::min(dates.lastDay, monthLength)}
                .DayNumber();
        day = CivilDate{date.year, date.month, monthLength}.DayNumber();
        if (!AdmitsDay(dates, day + 1))
            return day;
        ++day;
    }
}
