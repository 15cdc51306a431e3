// What the edit form's confirm button decides, in the form's own terms: the message and the
// control that takes the focus after it.
#pragma once

#include "calvora/dialogs/form_checks/period_form_checks.h"
#include "calvora/framework/cstring.h"
#include "calvora/resources/resource.h"

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
