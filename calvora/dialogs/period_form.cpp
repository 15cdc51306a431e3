#include "calvora/dialogs/period_form.h"

#include "calvora/framework/civil_date.h"
#include "calvora/periods/time_of_day.h"

using namespace period_edit_ids;

namespace {

constexpr LPCSTR kYearRangeMessage = "请输入1990~2050中的一个年份，或者输入0代表不指定年份！";
constexpr LPCSTR kMonthRangeMessage = "请输入1~12中的一个月份，或者输入0代表不指定月份！";
constexpr LPCSTR kYearOrderMessage = "设置的起始年份不能大于截止年份！";
constexpr LPCSTR kMonthOrderMessage = "设置的起始月份不能大于截止月份！";
constexpr LPCSTR kDayOrderMessage = "设置的起始日期不能大于截止日期！";
constexpr LPCSTR kWeekdayOrderMessage = "设置的起始星期不能大于截止星期！";
constexpr LPCSTR kTimeOrderMessage = "设置的起始时间不能大于截止时间！";

struct DayLimit {
    int lastDay;
    LPCSTR message;
};

// The message for each last day a month can have, from 28 on.
constexpr LPCSTR kDayRangeMessages[] = {
    "请输入1~28中的一个日期，或者输入0代表不指定日期！",
    "请输入1~29中的一个日期，或者输入0代表不指定日期！",
    "请输入1~30中的一个日期，或者输入0代表不指定日期！",
    "请输入1~31中的一个日期，或者输入0代表不指定日期！",
};

// month lies in 0..12 here; an open month (0) allows any day of the longest months.
DayLimit DayLimitOf(int month, int year) {
    const int lastDay = month == 0 ? 31 : CivilDate::DaysInMonth(year, month);
    return {lastDay, kDayRangeMessages[lastDay - 28]};
}

bool IsYearInRange(int year) {
    return year == 0 || (year >= 1990 && year <= 2050);
}
bool IsMonthInRange(int month) {
    return month >= 0 && month <= 12;
}

// A start after its end, where both sides are set.
bool IsReversed(int start, int end) {
    return start != 0 && end != 0 && start > end;
}

}  // namespace

FormCheckResult ValidateDateFields(const PeriodForm& form) {
    if (!IsYearInRange(form.m_nYearStart)) {
        return FormCheckResult::Reject(kYearRangeMessage, IDC_YEAR_START);
    }
    if (!IsYearInRange(form.m_nYearEnd)) {
        return FormCheckResult::Reject(kYearRangeMessage, IDC_YEAR_END);
    }
    if (!IsMonthInRange(form.m_nMonthStart)) {
        return FormCheckResult::Reject(kMonthRangeMessage, IDC_MONTH_START);
    }
    if (!IsMonthInRange(form.m_nMonthEnd)) {
        return FormCheckResult::Reject(kMonthRangeMessage, IDC_MONTH_END);
    }
    const DayLimit startLimit = DayLimitOf(form.m_nMonthStart, form.m_nYearStart);
    if (form.m_nDayStart != 0 && (form.m_nDayStart < 1 || form.m_nDayStart > startLimit.lastDay)) {
        return FormCheckResult::Reject(startLimit.message, IDC_DAY_START);
    }
    const DayLimit endLimit = DayLimitOf(form.m_nMonthEnd, form.m_nYearEnd);
    if (form.m_nDayEnd != 0 && (form.m_nDayEnd < 1 || form.m_nDayEnd > endLimit.lastDay)) {
        return FormCheckResult::Reject(endLimit.message, IDC_DAY_END);
    }

    // The order is decided by the most significant component in which the two sides differ.
    if (IsReversed(form.m_nYearStart, form.m_nYearEnd)) {
        return FormCheckResult::Reject(kYearOrderMessage);
    }
    if (form.m_nYearStart != form.m_nYearEnd)
        return FormCheckResult::Accept();
    if (IsReversed(form.m_nMonthStart, form.m_nMonthEnd)) {
        return FormCheckResult::Reject(kMonthOrderMessage);
    }
    if (form.m_nMonthStart != form.m_nMonthEnd)
        return FormCheckResult::Accept();
    if (IsReversed(form.m_nDayStart, form.m_nDayEnd)) {
        return FormCheckResult::Reject(kDayOrderMessage);
    }
    return FormCheckResult::Accept();
}

FormCheckResult ValidatePeriodForm(PeriodForm& form) {
    if (form.m_bUseDates == 0) {
        form.m_nYearStart = form.m_nYearEnd = 0;
        form.m_nMonthStart = form.m_nMonthEnd = 0;
        form.m_nDayStart = form.m_nDayEnd = 0;
    } else if (FormCheckResult dates = ValidateDateFields(form); !dates.bAccepted) {
        return dates;
    }

    if (form.m_bUseWeekdays == 0) {
        form.m_nWeekStartSel = form.m_nWeekEndSel = -1;
    } else if (form.m_nWeekStartSel > form.m_nWeekEndSel) {
        return FormCheckResult::Reject(kWeekdayOrderMessage);
    }

    // Only the times of day count: the date parts of the two values are arbitrary.
    if (SecondsSinceMidnight(form.m_timeStart) > SecondsSinceMidnight(form.m_timeEnd)) {
        return FormCheckResult::Reject(kTimeOrderMessage);
    }
    return FormCheckResult::Accept();
}
