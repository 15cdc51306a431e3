// Where a selection is active within a span of time, as the change finder walks it.
#pragma once

#include <vector>

#include "calvora/framework/afx.h"

class ChangeFinder;

struct ActiveInterval {
    CTime begin, end;  // [begin, end), within the span
};

// The finder's active intervals within [from, to), in order; one active at `from` or still
// active at `to` is cut there.
std::vector<ActiveInterval> ActiveIntervals(const ChangeFinder& finder, const CTime& from,
                                            const CTime& to);
