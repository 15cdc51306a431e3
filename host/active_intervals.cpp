#include "host/active_intervals.h"

#include "calvora/changes/next_change.h"

std::vector<ActiveInterval> ActiveIntervals(const ChangeFinder& finder, const CTime& from,
                                            const CTime& to) {
    std::vector<ActiveInterval> intervals;
    CTime at = from;
    bool active = finder.IsActive(at);
    while (at < to) {
        const auto change = finder.Next(at);
        const CTime until = change && change->at < to ? change->at : to;
        if (active)
            intervals.push_back({at, until});
        at = until;
        active = change && change->active;
    }
    return intervals;
}
