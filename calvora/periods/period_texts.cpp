#include "calvora/periods/period_texts.h"

#include <array>

#include "calvora/periods/period_records.h"

namespace {

// Index 0 is an open weekday bound, shown as the week's first day.
constexpr std::array<LPCSTR, 8> kWeekdayNames = {"星期一", "星期一", "星期二", "星期三",
                                                 "星期四", "星期五", "星期六", "星期日"};

constexpr LPCSTR kTimePattern = "%H:%M:%S";

// A field of 0 or below leaves its component open and contributes nothing.
void AppendDatePart(CString& text, int value, LPCSTR unit) {
    if (value <= 0)
        return;
    text += PeriodNumberText(value);
    text += unit;
}

}  // namespace

CString WeekdayName(int weekday) {
    if (weekday < 0 || weekday >= static_cast<int>(kWeekdayNames.size()))
        return CString();
    return CString(kWeekdayNames[static_cast<std::size_t>(weekday)]);
}

CString PeriodNumberText(int number) {
    char buffer[16];  // "-2147483648" and its terminator
    return CString(_itoa(number, buffer, 10));
}

CString CDateInfo::GetDateText() const {
    CString text;
    AppendDatePart(text, m_nYear, "年");
    // A day means nothing to the reader without its month.
    if (m_nMonth > 0) {
        AppendDatePart(text, m_nMonth, "月");
        AppendDatePart(text, m_nDay, "日");
    }
    return text;
}

CString CTimeZone::GetDateRangeText() const {
    const CString start = m_dateStart.GetDateText();
    const CString end = m_dateEnd.GetDateText();
    CString text = "日期范围：";
    if (!end.IsEmpty()) {
        text += start + "至" + end;
    } else if (!start.IsEmpty()) {
        text += "从" + start + "起";
    } else {
        text += "每天";
    }
    text += ";";
    if (m_nWeekStart != 0 || m_nWeekEnd != 0) {
        text += "星期范围：" + WeekdayName(m_nWeekStart) + "->" + WeekdayName(m_nWeekEnd);
    }
    return text;
}

CString CTimeZone::GetTimeRangeText() const {
    return m_timeStart.Format(kTimePattern) + "至" + m_timeEnd.Format(kTimePattern);
}
