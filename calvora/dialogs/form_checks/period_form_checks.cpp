#include "calvora/dialogs/form_checks/period_form_checks.h"

#include "calvora/framework/civil_date.h"
#include "calvora/periods/period_records.h"
#include "calvora/periods/time_of_day.h"

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

FormRefusal CheckDateFields(const PeriodForm& form) {
    if (!IsYearInRange(form.m_nYearStart)) {
        return FormRefusal{kYearRangeMessage, FormCheck::YearStart};
    }
    if (!IsYearInRange(form.m_nYearEnd)) {
        return FormRefusal{kYearRangeMessage, FormCheck::YearEnd};
    }
    if (!IsMonthInRange(form.m_nMonthStart)) {
        return FormRefusal{kMonthRangeMessage, FormCheck::MonthStart};
    }
    if (!IsMonthInRange(form.m_nMonthEnd)) {
        return FormRefusal{kMonthRangeMessage, FormCheck::MonthEnd};
    }
    const DayLimit startLimit = DayLimitOf(form.m_nMonthStart, form.m_nYearStart);
    if (form.m_nDayStart != 0 && (form.m_nDayStart < 1 || form.m_nDayStart > startLimit.lastDay)) {
        return FormRefusal{startLimit.message, FormCheck::DayStart};
    }
    const DayLimit endLimit = DayLimitOf(form.m_nMonthEnd, form.m_nYearEnd);
    if (form.m_nDayEnd != 0 && (form.m_nDayEnd < 1 || form.m_nDayEnd > endLimit.lastDay)) {
        return FormRefusal{endLimit.message, FormCheck::DayEnd};
    }

    // The order is decided by the most significant component in which the two sides differ.
    if (IsReversed(form.m_nYearStart, form.m_nYearEnd)) {
        return FormRefusal{kYearOrderMessage, FormCheck::DateOrder};
    }
    if (form.m_nYearStart != form.m_nYearEnd)
        return FormRefusal{};
    if (IsReversed(form.m_nMonthStart, form.m_nMonthEnd)) {
        return FormRefusal{kMonthOrderMessage, FormCheck::DateOrder};
    }
    if (form.m_nMonthStart != form.m_nMonthEnd)
        return FormRefusal{};
    if (IsReversed(form.m_nDayStart, form.m_nDayEnd)) {
        return FormRefusal{kDayOrderMessage, FormCheck::DateOrder};
    }
    return FormRefusal{};
}

FormRefusal CheckPeriodForm(PeriodForm& form) {
    if (form.m_bUseDates == 0) {
        form.m_nYearStart = form.m_nYearEnd = 0;
        form.m_nMonthStart = form.m_nMonthEnd = 0;
        form.m_nDayStart = form.m_nDayEnd = 0;
    } else if (FormRefusal dates = CheckDateFields(form); dates.Refused()) {
        return dates;
    }

    if (form.m_bUseWeekdays == 0) {
        form.m_nWeekStartSel = form.m_nWeekEndSel = -1;
    } else if (form.m_nWeekStartSel > form.m_nWeekEndSel) {
        return FormRefusal{kWeekdayOrderMessage, FormCheck::WeekdayOrder};
    }

    // Only the times of day count: the date parts of the two values are arbitrary.
    if (SecondsSinceMidnight(form.m_timeStart) > SecondsSinceMidnight(form.m_timeEnd)) {
        return FormRefusal{kTimeOrderMessage, FormCheck::TimeOrder};
    }
    return FormRefusal{};
}

PeriodForm FormOfPeriod(const CTimeZone& period) {
    PeriodForm form;
    form.m_nID = period.m_nID;
    form.m_strDesc = period.m_strDesc;
    form.m_nYearStart = period.m_dateStart.m_nYear;
    form.m_nMonthStart = period.m_dateStart.m_nMonth;
    form.m_nDayStart = period.m_dateStart.m_nDay;
    form.m_nWeekStartSel = period.m_nWeekStart - 1;
    form.m_nYearEnd = period.m_dateEnd.m_nYear;
    form.m_nMonthEnd = period.m_dateEnd.m_nMonth;
    form.m_nDayEnd = period.m_dateEnd.m_nDay;
    form.m_nWeekEndSel = period.m_nWeekEnd - 1;
    form.m_timeStart = period.m_timeStart;
    form.m_timeEnd = period.m_timeEnd;
    form.m_bUseDates = form.m_nYearStart != 0 || form.m_nMonthStart != 0 || form.m_nDayStart != 0 ||
                       form.m_nYearEnd != 0 || form.m_nMonthEnd != 0 || form.m_nDayEnd != 0;
    form.m_bUseWeekdays = form.m_nWeekStartSel != -1 || form.m_nWeekEndSel != -1;
    return form;
}
