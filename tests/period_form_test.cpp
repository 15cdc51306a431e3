#include <gtest/gtest.h>

#include "calvora/dialogs/period_form.h"
#include "calvora/framework/civil_date.h"
#include "tests/support/time_zone_guard.h"

using namespace period_edit_ids;

namespace {

constexpr const char* kYearRange = "请输入1990~2050中的一个年份，或者输入0代表不指定年份！";
constexpr const char* kMonthRange = "请输入1~12中的一个月份，或者输入0代表不指定月份！";
constexpr const char* kDays31 = "请输入1~31中的一个日期，或者输入0代表不指定日期！";
constexpr const char* kDays30 = "请输入1~30中的一个日期，或者输入0代表不指定日期！";
constexpr const char* kDays29 = "请输入1~29中的一个日期，或者输入0代表不指定日期！";
constexpr const char* kDays28 = "请输入1~28中的一个日期，或者输入0代表不指定日期！";
constexpr const char* kYearOrder = "设置的起始年份不能大于截止年份！";
constexpr const char* kMonthOrder = "设置的起始月份不能大于截止月份！";
constexpr const char* kDayOrder = "设置的起始日期不能大于截止日期！";
constexpr const char* kWeekdayOrder = "设置的起始星期不能大于截止星期！";
constexpr const char* kTimeOrder = "设置的起始时间不能大于截止时间！";

struct Dates {
    int yearStart, monthStart, dayStart, yearEnd, monthEnd, dayEnd;
};

PeriodForm FormWithDates(Dates d) {
    PeriodForm form;
    form.m_bUseDates = 1;
    form.m_nYearStart = d.yearStart;
    form.m_nMonthStart = d.monthStart;
    form.m_nDayStart = d.dayStart;
    form.m_nYearEnd = d.yearEnd;
    form.m_nMonthEnd = d.monthEnd;
    form.m_nDayEnd = d.dayEnd;
    return form;
}

void ExpectResult(const FormCheckResult& result, const char* message, int focus) {
    if (message == nullptr) {
        EXPECT_TRUE(result.bAccepted);
        EXPECT_TRUE(result.strMessage.IsEmpty());
        EXPECT_EQ(result.nFocusID, 0);
        return;
    }
    EXPECT_FALSE(result.bAccepted);
    EXPECT_EQ(result.strMessage, message);
    EXPECT_EQ(result.nFocusID, focus);
}

TEST(PeriodForm, LeapYears) {
    for (int year : {0, 2000, 2012, 1600, -4, -400})
        EXPECT_TRUE(CivilDate::IsLeapYear(year)) << year;
    for (int year : {2011, 1900, 2100, -1, -100})
        EXPECT_FALSE(CivilDate::IsLeapYear(year)) << year;
}

TEST(PeriodForm, DateChecks) {
    struct Case {
        const char* name;
        Dates dates;
        const char* message;  // nullptr: accepted
        int focus;
    };
    const Case cases[] = {
        {"all open", {0, 0, 0, 0, 0, 0}, nullptr, 0},
        {"start year 1989", {1989, 0, 0, 0, 0, 0}, kYearRange, IDC_YEAR_START},
        {"start year 2051", {2051, 0, 0, 0, 0, 0}, kYearRange, IDC_YEAR_START},
        {"year bounds pass", {1990, 0, 0, 2050, 0, 0}, nullptr, 0},
        {"negative start year", {-1, 0, 0, 0, 0, 0}, kYearRange, IDC_YEAR_START},
        {"end year 2051", {0, 0, 0, 2051, 0, 0}, kYearRange, IDC_YEAR_END},
        {"both years out: start reported", {3000, 0, 0, 1000, 0, 0}, kYearRange, IDC_YEAR_START},
        {"start month 13", {0, 13, 0, 0, 0, 0}, kMonthRange, IDC_MONTH_START},
        {"end month 13", {0, 0, 0, 0, 13, 0}, kMonthRange, IDC_MONTH_END},
        {"negative end month", {0, 0, 0, 0, -1, 0}, kMonthRange, IDC_MONTH_END},
        {"year checked before month", {0, 13, 0, 2051, 0, 0}, kYearRange, IDC_YEAR_END},
        {"start day 31 in April", {0, 4, 31, 0, 0, 0}, kDays30, IDC_DAY_START},
        {"end day 31 in April", {0, 0, 0, 0, 4, 31}, kDays30, IDC_DAY_END},
        {"start day 31 in September", {0, 9, 31, 0, 0, 0}, kDays30, IDC_DAY_START},
        {"day 31 of an open month", {0, 0, 31, 0, 0, 31}, nullptr, 0},
        {"day 32 of an open month", {0, 0, 32, 0, 0, 0}, kDays31, IDC_DAY_START},
        {"negative start day", {0, 1, -5, 0, 0, 0}, kDays31, IDC_DAY_START},
        {"February 29 in year 0", {0, 2, 29, 0, 0, 0}, nullptr, 0},
        {"February 29 in 2000", {2000, 2, 29, 0, 0, 0}, nullptr, 0},
        {"February 29 in 2012", {2012, 2, 29, 0, 0, 0}, nullptr, 0},
        {"February 29 in 2011", {2011, 2, 29, 0, 0, 0}, kDays28, IDC_DAY_START},
        {"February 30 in 2012", {2012, 2, 30, 0, 0, 0}, kDays29, IDC_DAY_START},
        {"end side uses the end year", {2012, 2, 29, 2011, 2, 29}, kDays28, IDC_DAY_END},
        {"year order", {2012, 0, 0, 2011, 0, 0}, kYearOrder, 0},
        {"years differ, months not compared", {0, 12, 0, 2011, 1, 0}, nullptr, 0},
        {"different years decide", {2011, 12, 31, 2012, 1, 1}, nullptr, 0},
        {"month order with open years", {0, 12, 0, 0, 1, 0}, kMonthOrder, 0},
        {"month order in one year", {2011, 12, 0, 2011, 1, 0}, kMonthOrder, 0},
        {"months differ, days not compared", {2011, 0, 20, 2011, 5, 10}, nullptr, 0},
        {"day order in one month", {2011, 5, 20, 2011, 5, 10}, kDayOrder, 0},
        {"day order with open months", {0, 0, 20, 0, 0, 10}, kDayOrder, 0},
        {"open end day", {0, 0, 20, 0, 0, 0}, nullptr, 0},
        {"equal dates", {2011, 5, 20, 2011, 5, 20}, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PeriodForm form = FormWithDates(c.dates);
        ExpectResult(ValidateDateFields(form), c.message, c.focus);
        PeriodForm copy = form;
        ExpectResult(ValidatePeriodForm(copy), c.message, c.focus);
    }
}

TEST(PeriodForm, DatesOffAreClearedUnchecked) {
    PeriodForm form = FormWithDates({3000, 5, 40, 2011, 13, 3});
    form.m_bUseDates = 0;
    ExpectResult(ValidatePeriodForm(form), nullptr, 0);
    for (int value : {form.m_nYearStart, form.m_nMonthStart, form.m_nDayStart, form.m_nYearEnd,
                      form.m_nMonthEnd, form.m_nDayEnd}) {
        EXPECT_EQ(value, 0);
    }
}

TEST(PeriodForm, WeekdayChecks) {
    struct Case {
        int useWeekdays, startSel, endSel;
        const char* message;
        int startAfter, endAfter;
    };
    const Case cases[] = {
        {1, 4, 0, kWeekdayOrder, 4, 0},   {1, -1, 3, nullptr, -1, 3},
        {1, 3, -1, kWeekdayOrder, 3, -1}, {1, -1, -1, nullptr, -1, -1},
        {1, 2, 2, nullptr, 2, 2},         {0, 4, 0, nullptr, -1, -1},
        {7, 0, 6, nullptr, 0, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.useWeekdays << ": " << c.startSel << "->" << c.endSel);
        PeriodForm form;
        form.m_bUseWeekdays = c.useWeekdays;
        form.m_nWeekStartSel = c.startSel;
        form.m_nWeekEndSel = c.endSel;
        ExpectResult(ValidatePeriodForm(form), c.message, 0);
        EXPECT_EQ(form.m_nWeekStartSel, c.startAfter);
        EXPECT_EQ(form.m_nWeekEndSel, c.endAfter);
    }
}

TEST(PeriodForm, TimesCompareTimeOfDayOnly) {
    struct Case {
        CTime start, end;
        const char* message;
    };
    for (const char* zone : kTestZones) {
        TimeZoneGuard guard(zone);
        const Case cases[] = {
            {CTime(2011, 5, 1, 8, 0, 0), CTime(2011, 5, 1, 8, 0, 0), nullptr},
            {CTime(2011, 5, 1, 8, 0, 1), CTime(2011, 5, 1, 8, 0, 0), kTimeOrder},
            {CTime(2011, 5, 1, 0, 0, 0), CTime(2011, 5, 1, 23, 59, 59), nullptr},
            // A loaded period carries two different dates, which must not decide.
            {CTime(2011, 5, 1, 20, 0, 0), CTime(2011, 5, 2, 8, 0, 0), kTimeOrder},
            {CTime(2011, 5, 2, 8, 0, 0), CTime(2011, 5, 1, 20, 0, 0), nullptr},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << zone << " " << c.start.GetTime());
            PeriodForm form;
            form.m_timeStart = c.start;
            form.m_timeEnd = c.end;
            ExpectResult(ValidatePeriodForm(form), c.message, 0);
        }
    }
}

TEST(PeriodForm, FirstRejectionWinsAndEarlierClearingStays) {
    PeriodForm form = FormWithDates({2012, 0, 0, 2011, 0, 0});
    form.m_bUseWeekdays = 1;
    form.m_nWeekStartSel = 5;
    form.m_nWeekEndSel = 1;
    form.m_timeStart = CTime(2011, 5, 1, 9, 0, 0);
    form.m_timeEnd = CTime(2011, 5, 1, 8, 0, 0);
    ExpectResult(ValidatePeriodForm(form), kYearOrder, 0);

    form.m_bUseDates = 0;
    ExpectResult(ValidatePeriodForm(form), kWeekdayOrder, 0);
    EXPECT_EQ(form.m_nYearStart, 0);

    form.m_bUseWeekdays = 0;
    ExpectResult(ValidatePeriodForm(form), kTimeOrder, 0);
    EXPECT_EQ(form.m_nWeekStartSel, -1);
}

}  // namespace
