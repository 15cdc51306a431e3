// Days are counted from 1970-01-01 in the proleptic Gregorian calendar, so that date arithmetic
// needs no time zone. An instant's local date, time of day and UTC offset come from the C
// library's breakdown alone; a stretch is a run of instants with one local date and one offset,
// within which the time of day grows by one per second, so each rule's time range is one interval
// of it. Every jump over dates lands a day or more early and walks on stretch by stretch, which
// keeps the answers exact whatever offsets the zone moves through.
#include "calvora/matching/changes/next_change.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>
#include <unordered_map>
#include <unordered_set>

#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kCalendarCycleYears = 400;  // weekdays and leap years repeat after it

struct Civil {
    std::int64_t year;
    int month, day;
};

std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

// 1 = Monday ... 7 = Sunday; day 0 was a Thursday.
int Weekday(std::int64_t z) {
    return static_cast<int>(((z % 7 + 7) % 7 + 3) % 7 + 1);
}

bool IsLeapYear(std::int64_t y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

int MonthLength(std::int64_t y, int m) {
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kLengths[m - 1];
}

std::int64_t FirstOfNextMonth(const Civil& date) {
    return date.month == 12 ? DaysFromCivil(date.year + 1, 1, 1)
                            : DaysFromCivil(date.year, date.month + 1, 1);
}

int LowerBound(int bound) {
    return bound > 0 ? bound : INT_MIN;
}
int UpperBound(int bound) {
    return bound > 0 ? bound : INT_MAX;
}

}  // namespace

struct ChangeFinder::Stretch {
    CTime::time_type begin, end;  // [begin, end)
    int secondOfDay;              // at begin
    std::int64_t day;
    std::int64_t year;
};

namespace {

struct LocalFields {
    std::int64_t day;
    std::int64_t year;
    int secondOfDay;
    std::int64_t offset;  // local minus UTC seconds
};

std::optional<LocalFields> Breakdown(CTime::time_type t) {
    std::tm local;
    if (CTime(t).GetLocalTm(&local) == nullptr)
        return std::nullopt;
    const std::int64_t year = static_cast<std::int64_t>(local.tm_year) + 1900;
    const std::int64_t day = DaysFromCivil(year, local.tm_mon + 1, local.tm_mday);
    const int second = SecondsSinceMidnight(local);
    return LocalFields{day, year, second, day * kSecondsPerDay + second - t};
}

bool SameStretch(const LocalFields& a, const std::optional<LocalFields>& b) {
    return b && b->day == a.day && b->offset == a.offset;
}

}  // namespace

// The stretch that starts at t: up to the next local midnight unless the offset changes first,
// which a bisection then finds to the second.
std::optional<ChangeFinder::Stretch> ChangeFinder::StretchFrom(CTime::time_type t) {
    const auto fields = Breakdown(t);
    if (!fields)
        return std::nullopt;
    CTime::time_type end = t + (kSecondsPerDay - fields->secondOfDay);
    if (!SameStretch(*fields, Breakdown(end - 1))) {
        CTime::time_type same = t;  // the last instant known in the stretch
        while (end - same > 1) {
            const CTime::time_type middle = same + (end - same) / 2;
            (SameStretch(*fields, Breakdown(middle)) ? same : end) = middle;
        }
    }
    return Stretch{t, end, fields->secondOfDay, fields->day, fields->year};
}

namespace {

// An instant a day or more before local midnight of `day` under any offset a zone moves to from
// `offset`, but not before `floor`: jumps never go back.
CTime::time_type LandingBefore(std::int64_t day, std::int64_t offset, CTime::time_type floor) {
    return std::max(floor, day * kSecondsPerDay - offset - 2 * kSecondsPerDay);
}

}  // namespace

bool ChangeFinder::Rule::Matches(std::int64_t day) const {
    const Civil date = CivilFromDays(day);
    const int weekday = Weekday(day);
    return date.year >= firstYear && date.year <= lastYear && date.month >= firstMonth &&
           date.month <= lastMonth && date.day >= firstDay && date.day <= lastDay &&
           weekday >= firstWeekday && weekday <= lastWeekday;
}

std::optional<std::int64_t> ChangeFinder::Rule::NextMatchingDay(std::int64_t day,
                                                                std::int64_t horizonYear) const {
    for (;;) {
        const Civil date = CivilFromDays(day);
        if (date.year > lastYear || date.year > horizonYear)
            return std::nullopt;
        if (date.year < firstYear) {
            day = DaysFromCivil(firstYear, 1, 1);
        } else if (date.month < firstMonth) {
            day = DaysFromCivil(date.year, firstMonth, 1);
        } else if (date.month > lastMonth) {
            day = DaysFromCivil(date.year + 1, 1, 1);
        } else if (date.day > lastDay || firstDay > MonthLength(date.year, date.month)) {
            day = FirstOfNextMonth(date);
        } else if (date.day < firstDay) {
            day += firstDay - date.day;
        } else {
            const int weekday = Weekday(day);
            if (weekday >= firstWeekday && weekday <= lastWeekday)
                return day;
            day += weekday < firstWeekday ? firstWeekday - weekday : 7 - weekday + firstWeekday;
        }
    }
}

// The last day of the run of matching days that `day` (a matching one) is in; nullopt when the
// run never ends.
std::optional<std::int64_t> ChangeFinder::Rule::LastDayOfRun(std::int64_t day) const {
    const bool everyWeekday = firstWeekday <= 1 && lastWeekday >= 7;
    for (;;) {
        const Civil date = CivilFromDays(day);
        const int monthLength = MonthLength(date.year, date.month);
        const bool wholeMonths = everyWeekday && firstDay <= 1 && lastDay >= 31;
        if (wholeMonths && firstMonth <= 1 && lastMonth >= 12) {
            if (lastYear == INT64_MAX)
                return std::nullopt;
            return DaysFromCivil(lastYear, 12, 31);
        }
        if (!everyWeekday) {
            while (Matches(day + 1))
                ++day;
            return day;
        }
        if (firstDay > 1 || lastDay < monthLength)
            return DaysFromCivil(date.year, date.month, std::min(lastDay, monthLength));
        day = DaysFromCivil(date.year, date.month, monthLength);
        if (!Matches(day + 1))
            return day;
        ++day;
    }
}

ChangeFinder::ChangeFinder(const CObList& periods, const CDWordArray& selection) {
    std::unordered_set<int> wanted;
    for (int i = 0; i < selection.GetSize(); ++i)
        wanted.insert(static_cast<int>(selection.GetAt(i)));
    // One walk: the first period of every selected number.
    std::unordered_map<int, const CTimeZone*> first;
    for (POSITION pos = periods.GetHeadPosition();
         pos != nullptr && first.size() < wanted.size();) {
        const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
        if (wanted.contains(period->GetID()))
            first.emplace(period->GetID(), period);
    }

    m_lastBoundYear = INT64_MIN;
    std::unordered_set<int> taken;
    for (int i = 0; i < selection.GetSize(); ++i) {
        const int number = static_cast<int>(selection.GetAt(i));
        const auto found = first.find(number);
        if (found == first.end() || !taken.insert(number).second)
            continue;
        const CTimeZone& p = *found->second;
        Rule rule{number,
                  p.m_dateStart.m_nYear > 0 ? p.m_dateStart.m_nYear : INT64_MIN,
                  p.m_dateEnd.m_nYear > 0 ? p.m_dateEnd.m_nYear : INT64_MAX,
                  LowerBound(p.m_dateStart.m_nMonth),
                  UpperBound(p.m_dateEnd.m_nMonth),
                  LowerBound(p.m_dateStart.m_nDay),
                  UpperBound(p.m_dateEnd.m_nDay),
                  LowerBound(p.m_nWeekStart),
                  UpperBound(p.m_nWeekEnd),
                  std::max(0, SecondsSinceMidnight(p.m_timeStart)),
                  SecondsSinceMidnight(p.m_timeEnd)};
        // Ranges clamped to the calendar; a rule none of whose days exists is dropped.
        rule.firstMonth = std::max(rule.firstMonth, 1);
        rule.lastMonth = std::min(rule.lastMonth, 12);
        rule.firstDay = std::max(rule.firstDay, 1);
        rule.lastDay = std::min(rule.lastDay, 31);
        rule.firstWeekday = std::max(rule.firstWeekday, 1);
        rule.lastWeekday = std::min(rule.lastWeekday, 7);
        int longestMonth = 0;
        for (int m = rule.firstMonth; m <= rule.lastMonth; ++m)
            longestMonth = std::max(longestMonth, m == 2 ? 29 : MonthLength(2001, m));
        if (rule.firstYear > rule.lastYear || rule.firstMonth > rule.lastMonth ||
            rule.firstDay > std::min(rule.lastDay, longestMonth) ||
            rule.firstWeekday > rule.lastWeekday || rule.firstSecond > rule.lastSecond)
            continue;
        for (std::int64_t bound : {rule.firstYear, rule.lastYear}) {
            if (bound != INT64_MIN && bound != INT64_MAX)
                m_lastBoundYear = std::max(m_lastBoundYear, bound);
        }
        m_rules.push_back(rule);
    }
}

bool ChangeFinder::IsActive(const CTime& moment) const {
    return !ActiveNumbers(moment).empty();
}

std::vector<int> ChangeFinder::ActiveNumbers(const CTime& moment) const {
    std::vector<int> numbers;
    const auto fields = Breakdown(moment.GetTime());
    if (!fields)
        return numbers;
    for (const Rule& rule : m_rules) {
        if (rule.Matches(fields->day) && rule.firstSecond <= fields->secondOfDay &&
            fields->secondOfDay <= rule.lastSecond)
            numbers.push_back(rule.number);
    }
    return numbers;
}

bool ChangeFinder::AnyMatches(std::int64_t day, bool wholeDayOnly) const {
    return std::any_of(m_rules.begin(), m_rules.end(), [&](const Rule& rule) {
        return (!wholeDayOnly || rule.WholeDay()) && rule.Matches(day);
    });
}

std::optional<std::int64_t> ChangeFinder::NextMatchingDay(std::int64_t day,
                                                          std::int64_t horizonYear) const {
    std::optional<std::int64_t> best;
    for (const Rule& rule : m_rules) {
        const auto next = rule.NextMatchingDay(day, horizonYear);
        if (next && (!best || *next < *best))
            best = next;
    }
    return best;
}

// The last day of the run of days, from `day` (covered) on, that whole-day rules cover together;
// nullopt when the run lasts beyond the horizon.
std::optional<std::int64_t> ChangeFinder::LastWholeDayCovered(std::int64_t day,
                                                              std::int64_t horizonYear) const {
    for (;;) {
        std::optional<std::int64_t> last;
        for (const Rule& rule : m_rules) {
            if (!rule.WholeDay() || !rule.Matches(day))
                continue;
            const auto runEnd = rule.LastDayOfRun(day);
            if (!runEnd)
                return std::nullopt;
            last = std::max(last.value_or(INT64_MIN), *runEnd);
        }
        if (!last)
            return day - 1;
        if (CivilFromDays(*last).year > horizonYear)
            return std::nullopt;
        day = *last + 1;
    }
}

// The first instant of the stretch at which the selection's value is not `value`.
std::optional<CTime::time_type> ChangeFinder::FirstDifferent(const Stretch& stretch,
                                                             bool value) const {
    struct Interval {
        CTime::time_type begin, end;
    };
    std::vector<Interval> active;
    for (const Rule& rule : m_rules) {
        if (!rule.Matches(stretch.day))
            continue;
        const CTime::time_type begin = stretch.begin + (rule.firstSecond - stretch.secondOfDay);
        const CTime::time_type end = stretch.begin + (rule.lastSecond - stretch.secondOfDay) + 1;
        if (std::max(begin, stretch.begin) < std::min(end, stretch.end))
            active.push_back({std::max(begin, stretch.begin), std::min(end, stretch.end)});
    }
    if (!value) {
        const auto earliest = std::min_element(
            active.begin(), active.end(),
            [](const Interval& a, const Interval& b) { return a.begin < b.begin; });
        if (earliest == active.end())
            return std::nullopt;
        return earliest->begin;
    }
    std::sort(active.begin(), active.end(),
              [](const Interval& a, const Interval& b) { return a.begin < b.begin; });
    CTime::time_type covered = stretch.begin;
    for (const Interval& interval : active) {
        if (interval.begin > covered)
            break;
        covered = std::max(covered, interval.end);
    }
    if (covered < stretch.end)
        return covered;
    return std::nullopt;
}

std::optional<CTime::time_type> ChangeFinder::NextChangeInstant(CTime::time_type from,
                                                                bool value) const {
    if (m_rules.empty() && !value)
        return std::nullopt;
    CTime::time_type t = from + 1;
    std::optional<std::int64_t> horizonYear;
    while (const auto stretch = StretchFrom(t)) {
        // Past every year bound, a change not seen within one calendar cycle never comes.
        if (!horizonYear)
            horizonYear = std::max(m_lastBoundYear, stretch->year) + kCalendarCycleYears + 1;
        if (stretch->year > *horizonYear)
            return std::nullopt;
        const std::int64_t offset =
            stretch->day * kSecondsPerDay + stretch->secondOfDay - stretch->begin;
        // A clock set back across midnight brings the previous date back: jumps start from it.
        if (!value && !AnyMatches(stretch->day, false)) {
            const auto next = NextMatchingDay(stretch->day - 1, *horizonYear);
            if (!next)
                return std::nullopt;
            if (*next > stretch->day) {
                t = LandingBefore(*next, offset, stretch->end);
                continue;
            }
        }
        if (value && AnyMatches(stretch->day - 1, true) && AnyMatches(stretch->day, true)) {
            const auto last = LastWholeDayCovered(stretch->day - 1, *horizonYear);
            if (!last)
                return std::nullopt;
            t = LandingBefore(*last + 1, offset, stretch->end);
            continue;
        }
        if (const auto different = FirstDifferent(*stretch, value))
            return different;
        t = stretch->end;
    }
    // Beyond what the C library can break down, no period is active.
    return value ? std::optional<CTime::time_type>(t) : std::nullopt;
}

std::optional<ActivityChange> ChangeFinder::Next(const CTime& from) const {
    const bool value = IsActive(from);
    const auto at = NextChangeInstant(from.GetTime(), value);
    if (!at)
        return std::nullopt;
    return ActivityChange{CTime(*at), !value, ActiveNumbers(CTime(*at))};
}
