// When a selection next becomes active or inactive: the instants at which "any selected period
// is active" changes value, found by stepping from candidate instant to candidate instant
// (stretches of one local date and one UTC offset, and within them the ends of the time ranges),
// never second by second, and by jumping over dates that no selected period can match.
//
// The answers follow the module's own rule for a selection: the first period of each selected
// number, tested as IsActiveAt tests it, under the process's local time zone. A host builds this
// on the periods GetConfigData lends it; nothing here calls into the module.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "calvora/framework/afx.h"

class CTimeZone;

struct ActivityChange {
    CTime at;                  // the first second with the new value
    bool active = false;       // the value from that second on
    std::vector<int> numbers;  // the selected numbers active at that second, in selection order
};

class ChangeFinder {
public:
    // Resolves the selection against the list once: the first period of each selected number.
    // The periods must outlive the finder.
    ChangeFinder(const CObList& periods, const CDWordArray& selection);

    // Whether any selected period is active at the moment.
    bool IsActive(const CTime& moment) const;

    // The selected numbers whose first period is active at the moment, in selection order, each
    // once.
    std::vector<int> ActiveNumbers(const CTime& moment) const;

    // The first change after `from`; nullopt when the value at `from` holds for ever.
    std::optional<ActivityChange> Next(const CTime& from) const;

private:
    // A period that can be active at all, as closed ranges with the open sides filled in.
    struct Rule {
        int number;
        std::int64_t firstYear, lastYear;
        int firstMonth, lastMonth, firstDay, lastDay, firstWeekday, lastWeekday;
        int firstSecond, lastSecond;  // of the day

        bool Matches(std::int64_t day) const;
        bool WholeDay() const { return firstSecond <= 0 && lastSecond >= 86399; }
        std::optional<std::int64_t> NextMatchingDay(std::int64_t day,
                                                    std::int64_t horizonYear) const;
        std::optional<std::int64_t> LastDayOfRun(std::int64_t day) const;
    };
    struct Stretch;

    static std::optional<Stretch> StretchFrom(CTime::time_type t);
    std::optional<CTime::time_type> NextChangeInstant(CTime::time_type from, bool value) const;
    std::optional<CTime::time_type> FirstDifferent(const Stretch& stretch, bool value) const;
    bool AnyMatches(std::int64_t day, bool wholeDayOnly) const;
    std::optional<std::int64_t> NextMatchingDay(std::int64_t day, std::int64_t horizonYear) const;
    std::optional<std::int64_t> LastWholeDayCovered(std::int64_t day,
                                                    std::int64_t horizonYear) const;

    std::vector<Rule> m_rules;     // in selection order
    std::int64_t m_lastBoundYear;  // after it the rules repeat with the calendar's 400 years
};
