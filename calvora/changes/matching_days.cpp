#include "calvora/changes/matching_days.h"

#include <algorithm>
#include <limits>

#include "calvora/framework/civil_date.h"

namespace {

bool EveryWeekday(const DateRanges& dates) {
    return dates.FirstWeekday() <= 1 && dates.LastWeekday() >= 7;
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
    return weekday < dates.FirstWeekday() ? dates.FirstWeekday() - weekday
                                          : 7 - weekday + dates.FirstWeekday();
}

}  // namespace

bool AdmitsDay(const DateRanges& dates, std::int64_t day) {
    return dates.Contain(CivilDate::FromDayNumber(day), CivilDate::WeekdayOf(day));
}

bool AdmitsSomeDate(const DateRanges& dates) {
    int longestMonth = 0;
    for (int month = dates.FirstMonth(); month <= dates.LastMonth(); ++month)
        longestMonth = std::max(longestMonth, CivilDate::MostDaysInMonth(month));
    return dates.FirstYear() <= dates.LastYear() && dates.FirstMonth() <= dates.LastMonth() &&
           dates.FirstDay() <= std::min(dates.LastDay(), longestMonth) &&
           dates.FirstWeekday() <= dates.LastWeekday();
}

// Each step moves to the first day that the first failing range does not rule out: the next
// year, month, day of the month or weekday.
std::optional<std::int64_t> NextAdmittedDay(const DateRanges& dates, std::int64_t day,
                                            std::int64_t horizonYear) {
    for (;;) {
        const CivilDate date = CivilDate::FromDayNumber(day);
        if (date.year > dates.LastYear() || date.year > horizonYear)
            return std::nullopt;
        if (date.year < dates.FirstYear()) {
            day = FirstOfYear(dates.FirstYear());
        } else if (date.month < dates.FirstMonth()) {
            day = CivilDate{date.year, dates.FirstMonth(), 1}.DayNumber();
        } else if (date.month > dates.LastMonth()) {
            day = FirstOfYear(date.year + 1);
        } else if (date.day > dates.LastDay() ||
                   dates.FirstDay() > CivilDate::DaysInMonth(date.year, date.month)) {
            day = FirstOfNextMonth(date);
        } else if (date.day < dates.FirstDay()) {
            day += dates.FirstDay() - date.day;
        } else {
            const int weekday = CivilDate::WeekdayOf(day);
            if (weekday >= dates.FirstWeekday() && weekday <= dates.LastWeekday())
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
    const bool wholeMonths = dates.FirstDay() <= 1 && dates.LastDay() >= 31;
    if (wholeMonths && dates.FirstMonth() <= 1 && dates.LastMonth() >= 12) {
        if (dates.LastYear() == std::numeric_limits<std::int64_t>::max())
            return std::nullopt;
        return CivilDate{dates.LastYear(), 12, 31}.DayNumber();
    }
    for (;;) {
        const CivilDate date = CivilDate::FromDayNumber(day);
        const int monthLength = CivilDate::DaysInMonth(date.year, date.month);
        if (dates.FirstDay() > 1 || dates.LastDay() < monthLength)
            return CivilDate{date.year, date.month, std::min(dates.LastDay(), monthLength)}
                .DayNumber();
        day = CivilDate{date.year, date.month, monthLength}.DayNumber();
        if (!AdmitsDay(dates, day + 1))
            return day;
        ++day;
    }
}
