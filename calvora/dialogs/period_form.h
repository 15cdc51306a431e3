// The values of the period edit form and the checks its confirm button runs on them.
#pragma once

#include "calvora/framework/cstring.h"
#include "calvora/framework/ctime.h"
#include "calvora/resources/resource.h"

// Every value of the edit form, in the order the form exchanges them with its controls.
struct PeriodForm {
    int m_nDayStart = 0;
    int m_nMonthStart = 0;
    CString m_strDesc;
    int m_nDayEnd = 0;
    int m_nMonthEnd = 0;
    int m_nYearEnd = 0;
    int m_nID = 0;
    CTime m_timeStart = 0;
    CTime m_timeEnd = 0;
    int m_nYearStart = 0;
    // Weekday list indexes, 0 = Monday .. 6 = Sunday; -1 = nothing selected.
    int m_nWeekStartSel = -1;
    int m_nWeekEndSel = -1;
    // Section switches; any non-zero value is on.
    int m_bUseDates = 0;
    int m_bUseWeekdays = 0;
};

struct FormCheckResult {
    bool bAccepted = true;
    CString strMessage;  // empty when accepted
    int nFocusID = 0;    // edit-form control to focus after the message; 0 leaves the focus alone

    static FormCheckResult Accept() { return {}; }
    static FormCheckResult Reject(LPCSTR message, int focusID = 0) {
        return {false, CString(message), focusID};
    }
};

// The date checks alone: ranges, days per month, then the order of start and end.
FormCheckResult ValidateDateFields(const PeriodForm& form);

// The whole confirm run. Clears the date fields (to 0) and the weekday indexes (to -1) of a
// switched-off section in place, even when a later check rejects.
FormCheckResult ValidatePeriodForm(PeriodForm& form);
