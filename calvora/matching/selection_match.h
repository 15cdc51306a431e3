// Whether the first period of any selected number is active at a moment. The two ways of
// finding those periods give the same answer; IsActTimeNow takes the cheaper one.
#pragma once

#include "calvora/framework/afx.h"

// Walks the list from its head for every selected number, in selection order, and answers at
// the first active period.
BOOL AnySelectedActiveWalkingPerNumber(const CObList& list, const CDWordArray& selection,
                                       const CTime& moment);

// Walks the list once, remembering the first period of every selected number, then tests those
// periods in selection order and answers at the first active one. Without memory for its table
// it walks per number instead.
BOOL AnySelectedActiveWalkingOnce(const CObList& list, const CDWordArray& selection,
                                  const CTime& moment);

class PeriodNumberIndex;

// The same through an index of the list, one lookup per selected number.
BOOL AnySelectedActiveIndexed(const PeriodNumberIndex& index, const CDWordArray& selection,
                              const CTime& moment);

// From this many selected numbers on, one walk with a table costs less than a walk per number.
constexpr int kWalkOnceFromSelectionSize = 4;
