#include "calvora/dialogs/period_form.h"

using namespace period_edit_ids;

namespace {

// The date edit to correct; 0 for an order, which no one control holds.
int ControlOf(FormCheck check) {
    switch (check) {
        case FormCheck::YearStart:
            return IDC_YEAR_START;
        case FormCheck::YearEnd:
            return IDC_YEAR_END;
        case FormCheck::MonthStart:
            return IDC_MONTH_START;
        case FormCheck::MonthEnd:
            return IDC_MONTH_END;
        case FormCheck::DayStart:
            return IDC_DAY_START;
        case FormCheck::DayEnd:
            return IDC_DAY_END;
        case FormCheck::DateOrder:
        case FormCheck::WeekdayOrder:
        case FormCheck::TimeOrder:
            break;
    }
    return 0;
}

FormCheckResult ResultOf(const FormRefusal& refusal) {
    if (!refusal.Refused())
        return FormCheckResult::Accept();
    return FormCheckResult::Reject(refusal.message, ControlOf(refusal.check));
}

}  // namespace

FormCheckResult ValidateDateFields(const PeriodForm& form) {
    return ResultOf(CheckDateFields(form));
}

FormCheckResult ValidatePeriodForm(PeriodForm& form) {
    return ResultOf(CheckPeriodForm(form));
}
