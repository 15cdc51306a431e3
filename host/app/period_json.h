// The period list as JSON people can read, diff and keep: descriptions in UTF-8, with a
// backslash escape for the bytes that are no code page 936 character, so that every list
// comes back byte for byte.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calvora/framework/afx.h"
#include "calvora/periods/period_records.h"

std::string PeriodsToJson(const CObList& periods);

// The periods of a JSON list, or the one-line reason (entry and field) why it is none.
struct ParsedPeriods {
    std::vector<std::unique_ptr<CTimeZone>> periods;
    std::string error;  // empty when the list is good
};
ParsedPeriods PeriodsFromJson(std::string_view json);
