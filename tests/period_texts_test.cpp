#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <limits>

#include "calvora/periods/period_records.h"
#include "calvora/periods/period_texts.h"
#include "tests/support/time_zone_guard.h"

namespace {

struct Date {
    int year, month, day;
};

void SetBound(CDateInfo& bound, Date date) {
    bound.SetYear(date.year);
    bound.SetMonth(date.month);
    bound.SetDay(date.day);
}

TEST(PeriodTexts, DateTextOfOneBound) {
    struct Case {
        Date date;
        const char* text;
    };
    const Case cases[] = {
        {{2011, 5, 1}, "2011年5月1日"},
        {{2011, 0, 15}, "2011年"},
        {{0, 5, 0}, "5月"},
        {{0, 5, 20}, "5月20日"},
        {{0, 0, 15}, ""},
        {{0, 0, 0}, ""},
        {{-2011, -5, -1}, ""},
        {{INT_MIN, 12, INT_MIN}, "12月"},
        {{INT_MAX, INT_MAX, INT_MAX}, "2147483647年2147483647月2147483647日"},
    };
    for (const Case& c : cases) {
        CDateInfo bound;
        SetBound(bound, c.date);
        EXPECT_EQ(bound.GetDateText(), c.text)
            << c.date.year << "/" << c.date.month << "/" << c.date.day;
    }
}

TEST(PeriodTexts, DateAndWeekdayRangeText) {
    struct Case {
        Date start, end;
        int weekStart, weekEnd;
        const char* text;
    };
    const Case cases[] = {
        {{0, 0, 0}, {0, 0, 0}, 0, 0, "日期范围：每天;"},
        {{2011, 5, 1}, {0, 0, 0}, 0, 0, "日期范围：从2011年5月1日起;"},
        {{0, 0, 0}, {2011, 12, 31}, 0, 0, "日期范围：至2011年12月31日;"},
        {{2011, 5, 1},
         {2011, 12, 31},
         1,
         5,
         "日期范围：2011年5月1日至2011年12月31日;星期范围：星期一->星期五"},
        {{0, 0, 0}, {0, 0, 0}, 0, 3, "日期范围：每天;星期范围：星期一->星期三"},
        {{0, 0, 0}, {0, 0, 0}, 6, 7, "日期范围：每天;星期范围：星期六->星期日"},
        {{0, 0, 0}, {0, 0, 0}, 9, 3, "日期范围：每天;星期范围：->星期三"},
        {{0, 0, 10}, {0, 0, 20}, 0, 0, "日期范围：每天;"},
        {{0, 0, 0}, {0, 0, 0}, INT_MIN, -1, "日期范围：每天;星期范围：->"},
        {{0, 0, 0}, {0, 0, 0}, 2, 0, "日期范围：每天;星期范围：星期二->星期一"},
    };
    for (const Case& c : cases) {
        CTimeZone period;
        SetBound(period.m_dateStart, c.start);
        SetBound(period.m_dateEnd, c.end);
        period.m_nWeekStart = c.weekStart;
        period.m_nWeekEnd = c.weekEnd;
        EXPECT_EQ(period.GetDateRangeText(), c.text) << c.text;
    }
}

TEST(PeriodTexts, WeekdayNamesOutsideTheWeekAreEmpty) {
    EXPECT_EQ(WeekdayName(0), "星期一");
    EXPECT_EQ(WeekdayName(7), "星期日");
    for (int weekday : {-1, 8, INT_MIN, INT_MAX}) {
        EXPECT_TRUE(WeekdayName(weekday).IsEmpty()) << weekday;
    }
}

TEST(PeriodTexts, NumberText) {
    EXPECT_EQ(PeriodNumberText(1), "1");
    EXPECT_EQ(PeriodNumberText(10), "10");
    EXPECT_EQ(PeriodNumberText(-1), "-1");
    EXPECT_EQ(PeriodNumberText(0), "0");
    EXPECT_EQ(PeriodNumberText(INT_MIN), "-2147483648");
    EXPECT_EQ(PeriodNumberText(INT_MAX), "2147483647");
}

TEST(PeriodTexts, TimeRangeShowsLocalTimesOfDayUnordered) {
    struct Case {
        int fromH, fromM, fromS, toH, toM, toS;
        const char* text;
    };
    const Case cases[] = {
        {8, 30, 0, 17, 0, 0, "08:30:00至17:00:00"},
        {9, 5, 7, 9, 5, 7, "09:05:07至09:05:07"},
        {23, 59, 59, 0, 0, 0, "23:59:59至00:00:00"},
    };
    for (const char* zone : kTestZones) {
        TimeZoneGuard guard(zone);
        for (const Case& c : cases) {
            CTimeZone period;
            // Different dates on the two sides: only the times of day are shown.
            period.m_timeStart = CTime(2005, 4, 12, c.fromH, c.fromM, c.fromS);
            period.m_timeEnd = CTime(1999, 12, 31, c.toH, c.toM, c.toS);
            EXPECT_EQ(period.GetTimeRangeText(), c.text) << zone;
        }
    }
}

TEST(PeriodTexts, UnconvertibleTimeLeavesItsSideEmpty) {
    CTimeZone period;
    TimeZoneGuard guard("UTC");
    period.m_timeStart = std::numeric_limits<std::int64_t>::max();
    period.m_timeEnd = CTime(2005, 4, 12, 17, 0, 0);
    EXPECT_EQ(period.GetTimeRangeText(), "至17:00:00");
}

}  // namespace
