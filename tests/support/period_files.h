// Period lists for tests, and their archives in either schema.
#pragma once

#include <string>
#include <vector>

#include "calvora/framework/afx.h"

struct PeriodRow {
    int id;
    const char* desc;  // code page 936
};

// Periods with the given numbers and descriptions, 08:30:00 to 17:00:00 on weekdays 1 to 5.
void FillPeriods(CObList& list, const std::vector<PeriodRow>& rows);

// The bytes of an archived period list in the tm schema (tmSchema) or the legacy one.
std::string ArchiveBytes(const std::vector<PeriodRow>& rows, bool tmSchema = true);

// The numbers of the periods an archive holds, read in the tm schema; complete is set to
// whether it was read to its end without error.
std::vector<int> ArchivedNumbers(const std::string& bytes, bool* complete = nullptr);
