// The period list as JSON people can read, diff and keep: descriptions in UTF-8, with a
// backslash escape for the bytes that are no code page 936 character, so that every list
// comes back byte for byte.
#pragma once

#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calvora/framework/afx.h"
#include "calvora/periods/period_records.h"

using Json = nlohmann::ordered_json;

// A description as JSON holds it: UTF-8, with "\\" for a backslash and "\xHH" for a control
// character or a byte that is no code page 936 character.
std::string DescriptionToUtf8(std::string_view cp936);

// One period under the field names of export, which list --json shares.
Json PeriodToJson(const CTimeZone& period);

// The text of a value for standard output, indented, with a final line break.
std::string JsonText(const Json& value);

std::string PeriodsToJson(const CObList& periods);

// The periods of a JSON list, or the one-line reason (entry and field) why it is none.
struct ParsedPeriods {
    std::vector<std::unique_ptr<CTimeZone>> periods;
    std::string error;  // empty when the list is good
};
ParsedPeriods PeriodsFromJson(std::string_view json);
