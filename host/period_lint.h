// lint: the periods of a list that cannot do what their operator expects of them, each found
// by the module's own rule (through the change finder) or the edit form's own checks.
#pragma once

#include <cstdint>
#include <vector>

#include "calvora/framework/afx.h"

enum class LintRule {
    Shadowed,        // an earlier period has the same number and answers for it
    NeverActive,     // no instant lies in the period
    NoLongerActive,  // inactive now, and no later instant lies in it
    FormRefuses,     // the edit form would not confirm it unchanged
};

// The period's fields a finding is about, as the JSON list names them.
enum LintField : unsigned {
    kLintNumber = 1u << 0,
    kLintStartDate = 1u << 1,
    kLintEndDate = 1u << 2,
    kLintFirstWeekday = 1u << 3,
    kLintLastWeekday = 1u << 4,
    kLintStartTime = 1u << 5,
    kLintEndTime = 1u << 6,
};

struct LintFinding {
    int position;  // in list order, from 1
    int number;
    LintRule rule;
    unsigned fields;               // LintField bits
    int answeredBy = 0;            // Shadowed: the position of the period that answers
    LPCSTR formMessage = nullptr;  // FormRefuses: the form's message, code page 936
};

// The findings of the periods with the given numbers, of every period when none is given, in
// list order; a period's in the order of LintRule. `now` decides what lies in the past.
std::vector<LintFinding> LintPeriods(const CObList& periods,
                                     const std::vector<std::uint32_t>& numbers, const CTime& now);
