// The edit form's values and what its confirm button decides on them, without the dialog's
// controls: the edit dialog runs these checks, and a host runs them to learn whether the form
// would take a period as it stands.
#pragma once

#include "calvora/framework/cstring.h"
#include "calvora/framework/ctime.h"

class CTimeZone;

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

// The check that refuses a form: the range of one date field, or the order of a start and
// its end.
enum class FormCheck {
    YearStart,
    YearEnd,
    MonthStart,
    MonthEnd,
    DayStart,
    DayEnd,
    DateOrder,
    WeekdayOrder,
    TimeOrder
};

struct FormRefusal {
    LPCSTR message = nullptr;  // nullptr: the form is accepted
    FormCheck check = FormCheck::DateOrder;

    bool Refused() const { return message != nullptr; }
};

// The date checks alone: ranges, days per month, then the order of start and end.
FormRefusal CheckDateFields(const PeriodForm& form);

// The whole confirm run. Clears the date fields (to 0) and the weekday indexes (to -1) of a
// switched-off section in place, even when a later check refuses.
FormRefusal CheckPeriodForm(PeriodForm& form);

// The form as the edit dialog opens it on a period: each section switched on when any of its
// fields is set.
PeriodForm FormOfPeriod(const CTimeZone& period);
