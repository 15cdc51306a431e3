// A period is tested alone: a finder over a list of that one period, which the finder reads as
// the module reads the first period of a number. "Never" and "no longer" differ only in where
// the search starts: now, or before the first instant the period's years allow.
#include "host/period_lint.h"

#include <algorithm>
#include <array>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "calvora/changes/next_change.h"
#include "calvora/dialogs/form_checks/period_form_checks.h"
#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"

namespace {

constexpr unsigned kDates = kLintStartDate | kLintEndDate;
constexpr unsigned kWeekdays = kLintFirstWeekday | kLintLastWeekday;
constexpr unsigned kTimes = kLintStartTime | kLintEndTime;
// Weekdays and leap years repeat after it: a period without a start year that is active at
// all is active within this many years before its end year.
constexpr int kCalendarCycleYears = 400;

// Whether any instant from `from` on lies in the period, by the change finder.
bool ActiveFrom(const CTimeZone& period, const CTime& from) {
    CObList one;
    one.AddTail(const_cast<CTimeZone*>(&period));  // the finder only reads it
    CDWordArray number;
    number.Add(static_cast<DWORD>(period.GetID()));
    const ChangeFinder finder(one, number);
    return finder.IsActive(from) || finder.Next(from).has_value();
}

// Local midnight at the start of 31 December of the year before: the finder skips on from
// there, to years beyond what the clamp allows too.
CTime BeforeYear(int year) {
    return CTime(std::clamp(year, -30000, 30000), 1, 0, 0, 0, 0);
}

// Where a search must start to meet every instant of the period: a search covers a whole
// calendar cycle past the later of its start and the period's year bounds, and a period
// without a start year repeats with that cycle up to its end year.
CTime EarliestSearch(const CTimeZone& period, const CTime& now) {
    const int startYear = period.m_dateStart.m_nYear;
    const int endYear = period.m_dateEnd.m_nYear;
    if (startYear > 0)
        return BeforeYear(startYear);
    if (endYear > 0)
        return BeforeYear(endYear - kCalendarCycleYears - 1);
    return now;
}

bool EverActive(const CTimeZone& period, const CTime& now) {
    return ActiveFrom(period, EarliestSearch(period, now));
}

// The period with the ranges of `open` (kDates, kWeekdays, kTimes) left open.
void CopyOpening(const CTimeZone& period, unsigned open, CTimeZone& copy) {
    CopyPeriodValues(copy, period);
    copy.m_nID = period.m_nID;
    if (open & kDates) {
        copy.SetStartDate(0, 0, 0, 0, 0);
        copy.SetEndDate(0, 0, 0, 0, 0);
    }
    if (open & kWeekdays)
        copy.m_nWeekStart = copy.m_nWeekEnd = 0;
    if (open & kTimes) {
        copy.m_timeStart = ClockReading(0, 0, 0);
        copy.m_timeEnd = ClockReading(23, 59, 59);
    }
}

// The ranges that restrict the period; opening the others would change nothing.
unsigned RestrictingRanges(const CTimeZone& period) {
    const CDateInfo& start = period.m_dateStart;
    const CDateInfo& end = period.m_dateEnd;
    const bool dates = start.m_nYear != 0 || start.m_nMonth != 0 || start.m_nDay != 0 ||
                       end.m_nYear != 0 || end.m_nMonth != 0 || end.m_nDay != 0;
    const bool weekdays = period.m_nWeekStart != 0 || period.m_nWeekEnd != 0;
    const bool wholeDay = SecondsSinceMidnight(period.m_timeStart) == 0 &&
                          SecondsSinceMidnight(period.m_timeEnd) == 86399;
    return (dates ? kDates : 0) | (weekdays ? kWeekdays : 0) | (wholeDay ? 0 : kTimes);
}

// The ranges of a period that is never active that make it so: those that admit no instant
// alone, or else those whose opening makes it active.
unsigned NeverActiveFields(const CTimeZone& period, const CTime& now) {
    const unsigned restricting = RestrictingRanges(period);
    CTimeZone copy;
    unsigned alone = 0;
    for (unsigned range : {kDates, kWeekdays, kTimes}) {
        CopyOpening(period, (kDates | kWeekdays | kTimes) & ~range, copy);
        if ((restricting & range) && !EverActive(copy, now))
            alone |= range;
    }
    if (alone != 0)
        return alone;
    unsigned together = 0;
    for (unsigned range : {kDates, kWeekdays, kTimes}) {
        CopyOpening(period, range, copy);
        if ((restricting & range) && EverActive(copy, now))
            together |= range;
    }
    return together;
}

// What the finder says of a period's instants, which depends on its ranges alone.
struct Outlook {
    bool ahead = false;  // active now or later
    bool ever = false;   // active at some instant
    unsigned neverFields = 0;
};

Outlook OutlookOf(const CTimeZone& period, const CTime& now) {
    if (ActiveFrom(period, now))
        return {true, true};
    if (EverActive(period, now))
        return {false, true};
    return {false, false, NeverActiveFields(period, now)};
}

// Every value the finder reads of a period but its number; lists repeat schedules under many
// numbers, which then need asking once.
using RangesKey = std::array<std::int64_t, 10>;

RangesKey RangesOf(const CTimeZone& p) {
    return {p.m_dateStart.m_nYear, p.m_dateStart.m_nMonth, p.m_dateStart.m_nDay,
            p.m_dateEnd.m_nYear,   p.m_dateEnd.m_nMonth,   p.m_dateEnd.m_nDay,
            p.m_nWeekStart,        p.m_nWeekEnd,           p.m_timeStart.GetTime(),
            p.m_timeEnd.GetTime()};
}

struct RangesHash {
    std::size_t operator()(const RangesKey& key) const {
        std::size_t hash = 0;
        for (const std::int64_t value : key)
            hash = hash * 1000003 ^ std::hash<std::int64_t>()(value);
        return hash;
    }
};

using OutlookMemo = std::unordered_map<RangesKey, Outlook, RangesHash>;

unsigned FormFields(FormCheck check) {
    switch (check) {
        case FormCheck::YearStart:
        case FormCheck::MonthStart:
        case FormCheck::DayStart:
            return kLintStartDate;
        case FormCheck::YearEnd:
        case FormCheck::MonthEnd:
        case FormCheck::DayEnd:
            return kLintEndDate;
        case FormCheck::DateOrder:
            return kDates;
        case FormCheck::WeekdayOrder:
            return kWeekdays;
        case FormCheck::TimeOrder:
            break;
    }
    return kTimes;
}

void LintPeriod(const CTimeZone& period, int position, int firstPosition, const CTime& now,
                OutlookMemo& outlooks, std::vector<LintFinding>& findings) {
    const int number = period.GetID();
    if (firstPosition != position)
        findings.push_back({position, number, LintRule::Shadowed, kLintNumber, firstPosition});
    auto [known, added] = outlooks.try_emplace(RangesOf(period));
    if (added)
        known->second = OutlookOf(period, now);
    const Outlook& outlook = known->second;
    if (!outlook.ever)
        findings.push_back({position, number, LintRule::NeverActive, outlook.neverFields});
    else if (!outlook.ahead)
        findings.push_back({position, number, LintRule::NoLongerActive, kLintEndDate});
    PeriodForm form = FormOfPeriod(period);
    if (const FormRefusal refusal = CheckPeriodForm(form); refusal.Refused()) {
        findings.push_back({position, number, LintRule::FormRefuses, FormFields(refusal.check), 0,
                            refusal.message});
    }
}

}  // namespace

std::vector<LintFinding> LintPeriods(const CObList& periods,
                                     const std::vector<std::uint32_t>& numbers, const CTime& now) {
    std::unordered_set<int> wanted;
    for (const std::uint32_t number : numbers)
        wanted.insert(static_cast<int>(number));
    std::unordered_map<int, int> firstPosition;
    OutlookMemo outlooks;
    std::vector<LintFinding> findings;
    int position = 0;
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
        const auto& period = *static_cast<const CTimeZone*>(periods.GetNext(pos));
        ++position;
        const int first = firstPosition.try_emplace(period.GetID(), position).first->second;
        if (wanted.empty() || wanted.contains(period.GetID()))
            LintPeriod(period, position, first, now, outlooks, findings);
    }
    return findings;
}
