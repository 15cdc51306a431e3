// The walk goes from stretch to stretch (local_stretch.h). While no selected period is active it
// jumps to the next day some period admits; while the value is active and whole-day periods
// cover the days together, to the end of that cover (matching_days.h). Inside a stretch the
// change lies at the end of a time range, found by arithmetic on the periods' seconds of the day.
#include "calvora/changes/next_change.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "calvora/changes/local_stretch.h"
#include "calvora/changes/matching_days.h"
#include "calvora/framework/local_time.h"

namespace {

constexpr std::int64_t kCalendarCycleYears = 400;  // weekdays and leap years repeat after it
constexpr std::int64_t kNoBoundYear = std::numeric_limits<std::int64_t>::min();

// Seconds since midnight of "%H%M%S" clock digits; -1 (no clock reading) stays -1.
int SecondsOfClockDigits(int digits) {
    return digits < 0 ? -1 : digits / 10000 * 3600 + digits / 100 % 100 * 60 + digits % 100;
}

struct NumberedPeriod {
    int number;
    const CTimeZone* period;
};

// The first period of each selected number that names one, in selection order, each number
// once; the list is walked once.
std::vector<NumberedPeriod> FirstPeriodsOf(const CObList& periods, const CDWordArray& selection) {
    std::unordered_set<int> wanted;
    for (int i = 0; i < selection.GetSize(); ++i)
        wanted.insert(static_cast<int>(selection.GetAt(i)));
    std::unordered_map<int, const CTimeZone*> first;
    for (POSITION pos = periods.GetHeadPosition();
         pos != nullptr && first.size() < wanted.size();) {
        const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
        if (wanted.contains(period->GetID()))
            first.emplace(period->GetID(), period);
    }
    std::vector<NumberedPeriod> found;
    std::unordered_set<int> taken;
    for (int i = 0; i < selection.GetSize(); ++i) {
        const int number = static_cast<int>(selection.GetAt(i));
        const auto period = first.find(number);
        if (period != first.end() && taken.insert(number).second)
            found.push_back({number, period->second});
    }
    return found;
}

struct Interval {
    CTime::time_type begin, end;  // [begin, end)
};

bool BeginsEarlier(const Interval& a, const Interval& b) {
    return a.begin < b.begin;
}

// The first instant from `from` on that none of the intervals covers, or nullopt when they cover
// everything up to `end`.
std::optional<CTime::time_type> FirstUncovered(std::vector<Interval> intervals,
                                               CTime::time_type from, CTime::time_type end) {
    std::sort(intervals.begin(), intervals.end(), BeginsEarlier);
    CTime::time_type covered = from;
    for (const Interval& interval : intervals) {
        if (interval.begin > covered)
            break;
        covered = std::max(covered, interval.end);
    }
    if (covered < end)
        return covered;
    return std::nullopt;
}

// Where a jump over whole days goes.
struct Jump {
    bool never = false;                  // no change comes before the horizon
    std::optional<CTime::time_type> to;  // the instant to walk on from; unset: walk the stretch
};

}  // namespace

// The walk from an instant to the first instant at which the selection's value is no longer
// `value`.
class ChangeFinder::Walk {
public:
    Walk(const ChangeFinder& finder, bool value)
        : m_selected(finder.m_selected), m_lastBoundYear(finder.m_lastBoundYear), m_value(value) {}

    std::optional<CTime::time_type> FirstChangeAfter(CTime::time_type from) const {
        if (m_selected.empty() && !m_value)
            return std::nullopt;
        CTime::time_type t = from + 1;
        std::optional<LocalStretch> stretch = LocalStretchFrom(t);
        // Past every year bound, a change not seen within one calendar cycle never comes.
        const std::int64_t horizonYear =
            std::max(m_lastBoundYear, stretch ? stretch->year : kNoBoundYear) +
            kCalendarCycleYears + 1;
        for (; stretch; stretch = LocalStretchFrom(t)) {
            if (stretch->year > horizonYear)
                return std::nullopt;
            const Jump jump = m_value ? OverCoveredDays(*stretch, horizonYear)
                                      : OverInactiveDays(*stretch, horizonYear);
            if (jump.never)
                return std::nullopt;
            if (jump.to) {
                t = *jump.to;
                continue;
            }
            if (const auto different = FirstDifferent(*stretch))
                return different;
            t = stretch->end;
        }
        // Beyond what the C library can break down, no period is active.
        return m_value ? std::optional<CTime::time_type>(t) : std::nullopt;
    }

private:
    // While inactive: to the next day that some period admits. A clock set back across
    // midnight brings the previous date back, so the search starts from it.
    Jump OverInactiveDays(const LocalStretch& stretch, std::int64_t horizonYear) const {
        if (AnyAdmits(stretch.day, false))
            return {};
        const auto next = EarliestAdmittedDay(stretch.day - 1, horizonYear);
        if (!next)
            return {.never = true, .to = std::nullopt};
        if (*next <= stretch.day)
            return {};
        return {.to = LandingBefore(*next, stretch.Offset(), stretch.end)};
    }

    // While active: past the run of days, from the day before on, that whole-day periods cover
    // together.
    Jump OverCoveredDays(const LocalStretch& stretch, std::int64_t horizonYear) const {
        if (!AnyAdmits(stretch.day - 1, true) || !AnyAdmits(stretch.day, true))
            return {};
        const auto last = LastWholeDayCovered(stretch.day - 1, horizonYear);
        if (!last)
            return {.never = true, .to = std::nullopt};
        return {.to = LandingBefore(*last + 1, stretch.Offset(), stretch.end)};
    }

    bool AnyAdmits(std::int64_t day, bool wholeDayOnly) const {
        return std::any_of(m_selected.begin(), m_selected.end(), [&](const SelectedPeriod& p) {
            return (!wholeDayOnly || p.WholeDay()) && AdmitsDay(p.dates, day);
        });
    }

    std::optional<std::int64_t> EarliestAdmittedDay(std::int64_t day,
                                                    std::int64_t horizonYear) const {
        std::optional<std::int64_t> earliest;
        for (const SelectedPeriod& selected : m_selected) {
            const auto next = NextAdmittedDay(selected.dates, day, horizonYear);
            if (next && (!earliest || *next < *earliest))
                earliest = next;
        }
        return earliest;
    }

    // The last day of the run of days, from `day` (covered) on, that whole-day periods cover
    // together; nullopt when the run lasts beyond the horizon.
    std::optional<std::int64_t> LastWholeDayCovered(std::int64_t day,
                                                    std::int64_t horizonYear) const {
        for (;;) {
            std::optional<std::int64_t> last;
            for (const SelectedPeriod& selected : m_selected) {
                if (!selected.WholeDay() || !AdmitsDay(selected.dates, day))
                    continue;
                const auto runEnd = LastDayOfRun(selected.dates, day);
                if (!runEnd)
                    return std::nullopt;
                last = std::max(last.value_or(*runEnd), *runEnd);
            }
            if (!last)
                return day - 1;
            if (CivilDate::FromDayNumber(*last).year > horizonYear)
                return std::nullopt;
            day = *last + 1;
        }
    }

    // The time ranges of the periods that admit the stretch's day, as intervals inside it.
    std::vector<Interval> ActiveIntervals(const LocalStretch& stretch) const {
        std::vector<Interval> active;
        for (const SelectedPeriod& selected : m_selected) {
            if (!AdmitsDay(selected.dates, stretch.day))
                continue;
            const Interval interval{std::max(stretch.At(selected.firstSecond), stretch.begin),
                                    std::min(stretch.At(selected.lastSecond) + 1, stretch.end)};
            if (interval.begin < interval.end)
                active.push_back(interval);
        }
        return active;
    }

    // The first instant of the stretch at which the selection's value is not `value`.
    std::optional<CTime::time_type> FirstDifferent(const LocalStretch& stretch) const {
        std::vector<Interval> active = ActiveIntervals(stretch);
        if (m_value)
            return FirstUncovered(std::move(active), stretch.begin, stretch.end);
        const auto earliest = std::min_element(active.begin(), active.end(), BeginsEarlier);
        if (earliest == active.end())
            return std::nullopt;
        return earliest->begin;
    }

    const std::vector<SelectedPeriod>& m_selected;
    std::int64_t m_lastBoundYear;
    bool m_value;
};

ChangeFinder::ChangeFinder(const CObList& periods, const CDWordArray& selection)
    : m_lastBoundYear(kNoBoundYear) {
    local_time::CheckLocalZone();
    for (const NumberedPeriod& found : FirstPeriodsOf(periods, selection)) {
        const ClockRange clock(*found.period);
        const SelectedPeriod selected{.number = found.number,
                                      .period = found.period,
                                      .dates = DateRanges(*found.period),
                                      .firstSecond = std::max(0, SecondsOfClockDigits(clock.first)),
                                      .lastSecond = SecondsOfClockDigits(clock.last)};
        // A period that no instant can lie in plays no part.
        if (!AdmitsSomeDate(selected.dates) || selected.firstSecond > selected.lastSecond)
            continue;
        for (const std::int64_t bound : {selected.dates.FirstYear(), selected.dates.LastYear()}) {
            if (bound != std::numeric_limits<std::int64_t>::min() &&
                bound != std::numeric_limits<std::int64_t>::max())
                m_lastBoundYear = std::max(m_lastBoundYear, bound);
        }
        m_selected.push_back(selected);
    }
}

bool ChangeFinder::IsActive(const CTime& moment) const {
    return !ActiveNumbers(moment).empty();
}

std::vector<int> ChangeFinder::ActiveNumbers(const CTime& moment) const {
    local_time::CheckLocalZone();
    const LocalMoment local = BreakDownMoment(moment);
    std::vector<int> numbers;
    for (const SelectedPeriod& selected : m_selected) {
        if (IsActiveAtLocal(*selected.period, local))
            numbers.push_back(selected.number);
    }
    return numbers;
}

std::optional<ActivityChange> ChangeFinder::Next(const CTime& from) const {
    const bool value = IsActive(from);
    const auto at = Walk(*this, value).FirstChangeAfter(from.GetTime());
    if (!at)
        return std::nullopt;
    return ActivityChange{CTime(*at), !value, ActiveNumbers(CTime(*at))};
}
