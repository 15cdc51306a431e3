// When a selection next becomes active or inactive: the instants at which "any selected period
// is active" changes value, found by stepping from candidate instant to candidate instant
// (stretches of one local date and one UTC offset, and within them the ends of the time ranges),
// never second by second, and by jumping over dates that no selected period can match.
//
// The answers follow the module's own rule for a selection: the first period of each selected
// number, tested by the rule IsActiveAt evaluates, under the process's local time zone. A host
// builds this on the periods GetConfigData lends it; nothing here calls into the module.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "calvora/framework/afx.h"
#include "calvora/periods/period_rule.h"

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
    // The first period of a selected number, which some instant can lie in.
    struct SelectedPeriod {
        int number;
        const CTimeZone* period;
        DateRanges dates;
        int firstSecond, lastSecond;  // of the day, from the period's clock range

        bool WholeDay() const { return firstSecond <= 0 && lastSecond >= 86399; }
    };
    class Walk;

    std::vector<SelectedPeriod> m_selected;  // in selection order, each number once
    std::int64_t m_lastBoundYear;            // after it the periods repeat with the calendar
};
