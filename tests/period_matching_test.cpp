#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "api/calvora_api.h"
#include "periods/period_records.h"
#include "store/period_store.h"
#include "tests/time_zone_guard.h"

namespace {

struct Bounds {
    int year, month, day;
};

struct PeriodSpec {
    Bounds start, end;
    int weekStart, weekEnd;
    int fromH, fromM, fromS;
    int toH, toM, toS;
};

// Period times are built on an arbitrary date, as the edit form and the loader do.
std::unique_ptr<CTimeZone> MakePeriod(const PeriodSpec& s, int id = 0) {
    auto period = std::make_unique<CTimeZone>();
    period->SetID(id);
    period->SetStartDate(s.start.year, s.start.month, s.start.day, 0, 0);
    period->SetEndDate(s.end.year, s.end.month, s.end.day, 0, 0);
    period->m_nWeekStart = s.weekStart;
    period->m_nWeekEnd = s.weekEnd;
    period->m_timeStart = CTime(2005, 4, 12, s.fromH, s.fromM, s.fromS);
    period->m_timeEnd = CTime(2005, 4, 12, s.toH, s.toM, s.toS);
    return period;
}

struct Moment {
    int year, month, day, hour, minute, second;
    CTime Local() const { return CTime(year, month, day, hour, minute, second); }
};

struct MatchCase {
    const char* name;
    PeriodSpec period;
    Moment moment;
    BOOL expected;
};

constexpr PeriodSpec kWorkHours{{0, 0, 0}, {0, 0, 0}, 0, 0, 8, 0, 0, 17, 59, 59};
constexpr PeriodSpec kSummerWeekdays{{0, 6, 0}, {0, 8, 0}, 1, 5, 0, 0, 0, 23, 59, 59};
constexpr PeriodSpec kAllDay{{0, 0, 0}, {0, 0, 0}, 0, 0, 0, 0, 0, 23, 59, 59};

PeriodSpec WithWeekdays(PeriodSpec s, int from, int to) {
    s.weekStart = from;
    s.weekEnd = to;
    return s;
}

PeriodSpec WithDates(PeriodSpec s, Bounds from, Bounds to) {
    s.start = from;
    s.end = to;
    return s;
}

const MatchCase kCases[] = {
    {"start time equal", kWorkHours, {2011, 3, 9, 8, 0, 0}, 1},
    {"end time equal", kWorkHours, {2011, 3, 9, 17, 59, 59}, 1},
    {"one second after end", kWorkHours, {2011, 3, 9, 18, 0, 0}, 0},
    {"one second before start", kWorkHours, {2011, 3, 9, 7, 59, 59}, 0},
    {"saturday outside weekdays", kSummerWeekdays, {2011, 7, 16, 10, 0, 0}, 0},
    {"monday inside", kSummerWeekdays, {2011, 7, 18, 10, 0, 0}, 1},
    {"september after month range", kSummerWeekdays, {2011, 9, 5, 10, 0, 0}, 0},
    {"day compared on its own",
     WithDates(kAllDay, {2011, 3, 15}, {2011, 4, 10}),
     {2011, 3, 20, 12, 0, 0},
     0},
    {"sunday counts as 7", WithWeekdays(kAllDay, 6, 7), {2011, 3, 13, 9, 0, 0}, 1},
    {"sunday after friday", WithWeekdays(kAllDay, 0, 5), {2011, 3, 13, 9, 0, 0}, 0},
    {"open weekdays every day", WithWeekdays(kAllDay, 0, 0), {2011, 3, 13, 9, 0, 0}, 1},
    {"first weekday alone admits wednesday", WithWeekdays(kAllDay, 3, 0), {2011, 3, 9, 9, 0, 0}, 1},
    {"first weekday alone admits sunday", WithWeekdays(kAllDay, 3, 0), {2011, 3, 13, 9, 0, 0}, 1},
    {"first weekday alone rejects tuesday", WithWeekdays(kAllDay, 3, 0), {2011, 3, 8, 9, 0, 0}, 0},
    {"time range over midnight never active",
     {{0, 0, 0}, {0, 0, 0}, 0, 0, 22, 0, 0, 6, 0, 0},
     {2011, 3, 9, 23, 0, 0},
     0},
    {"time range over midnight early morning",
     {{0, 0, 0}, {0, 0, 0}, 0, 0, 22, 0, 0, 6, 0, 0},
     {2011, 3, 9, 5, 0, 0},
     0},
    {"single second", {{0, 0, 0}, {0, 0, 0}, 0, 0, 12, 0, 0, 12, 0, 0}, {2011, 3, 9, 12, 0, 0}, 1},
    {"single second plus one",
     {{0, 0, 0}, {0, 0, 0}, 0, 0, 12, 0, 0, 12, 0, 0},
     {2011, 3, 9, 12, 0, 1},
     0},
    {"day range 25 to 5 never active",
     WithDates(kAllDay, {0, 0, 25}, {0, 0, 5}),
     {2011, 3, 27, 9, 0, 0},
     0},
    {"month range 11 to 2 never active",
     WithDates(kAllDay, {0, 11, 0}, {0, 2, 0}),
     {2011, 12, 1, 9, 0, 0},
     0},
    {"start year alone: after",
     WithDates(kAllDay, {2011, 0, 0}, {0, 0, 0}),
     {2011, 1, 1, 0, 0, 0},
     1},
    {"start year alone: before",
     WithDates(kAllDay, {2011, 0, 0}, {0, 0, 0}),
     {2010, 12, 31, 23, 59, 59},
     0},
    {"past 2038", WithDates(kAllDay, {2040, 0, 0}, {2040, 0, 0}), {2040, 6, 1, 12, 0, 0}, 1},
    {"negative bounds are open",
     WithWeekdays(WithDates(kAllDay, {-5, -1, INT_MIN}, {-1, -1, -1}), INT_MIN, -2),
     {2011, 3, 13, 9, 0, 0},
     1},
    {"huge bounds", WithDates(kAllDay, {INT_MAX, 0, 0}, {0, 0, 0}), {2011, 3, 13, 9, 0, 0}, 0},
};

class PeriodMatchingInZone : public testing::TestWithParam<const char*> {};

TEST_P(PeriodMatchingInZone, WorkedExamples) {
    TimeZoneGuard guard(GetParam());
    SKIP_UNLESS_ZONE_ACTIVE(guard);
    for (const auto& c : kCases) {
        auto period = MakePeriod(c.period);
        EXPECT_EQ(period->IsActiveAt(c.moment.Local()), c.expected) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, PeriodMatchingInZone, testing::ValuesIn(kTestZones));

// Around a daylight-saving change the clock reading decides, not the elapsed time.
TEST(PeriodMatchingDaylightSaving, GapAndOverlapFollowTheLocalClock) {
    TimeZoneGuard guard("Europe/Berlin");
    SKIP_UNLESS_ZONE_ACTIVE(guard);
    const CTime lastBeforeGap = CTime(2011, 3, 27, 1, 59, 59);
    const CTime firstAfterGap(lastBeforeGap.GetTime() + 1);
    EXPECT_EQ(firstAfterGap.Format("%H:%M:%S"), "03:00:00");

    auto gapHour = MakePeriod({{0, 0, 0}, {0, 0, 0}, 0, 0, 2, 0, 0, 2, 59, 59});
    EXPECT_FALSE(gapHour->IsActiveAt(lastBeforeGap));
    EXPECT_FALSE(gapHour->IsActiveAt(firstAfterGap));

    auto threeOClock = MakePeriod({{0, 0, 0}, {0, 0, 0}, 0, 0, 3, 0, 0, 3, 0, 0});
    EXPECT_TRUE(threeOClock->IsActiveAt(firstAfterGap));

    // 02:30 happens twice on 2011-10-30: once in summer time, once an hour later in winter time.
    const CTime firstHalfPast(1319934600);  // 00:30 UTC
    const CTime secondHalfPast(firstHalfPast.GetTime() + 3600);
    auto halfPastTwo = MakePeriod({{0, 0, 0}, {0, 0, 0}, 0, 0, 2, 30, 0, 2, 30, 0});
    EXPECT_EQ(firstHalfPast.Format("%H:%M:%S"), "02:30:00");
    EXPECT_EQ(secondHalfPast.Format("%H:%M:%S"), "02:30:00");
    EXPECT_TRUE(halfPastTwo->IsActiveAt(firstHalfPast));
    EXPECT_TRUE(halfPastTwo->IsActiveAt(secondHalfPast));
}

TEST(PeriodMatching, UnbreakableTimeSortsBelowEveryClock) {
    TimeZoneGuard guard("UTC");
    auto period = MakePeriod(kAllDay);
    period->m_timeStart = CTime(INT64_MAX);
    EXPECT_TRUE(period->IsActiveAt(CTime(2011, 3, 9, 0, 0, 0)));
    period->m_timeEnd = CTime(INT64_MAX);
    EXPECT_FALSE(period->IsActiveAt(CTime(2011, 3, 9, 0, 0, 0)));
    EXPECT_FALSE(MakePeriod(kAllDay)->IsActiveAt(CTime(INT64_MAX)));
}

// The module-wide list, filled in memory for the duration of a test.
class IsActTimeNowTest : public testing::Test {
protected:
    void SetUp() override { g_periodList = &m_list; }
    void TearDown() override {
        while (!m_list.IsEmpty())
            delete m_list.RemoveHead();
        g_periodList = nullptr;
    }
    void Add(const PeriodSpec& shape, int id) { m_list.AddTail(MakePeriod(shape, id).release()); }
    static BOOL Ask(std::vector<DWORD> numbers) {
        CDWordArray selection;
        for (DWORD n : numbers)
            selection.Add(n);
        return IsActTimeNow(&selection);
    }

    static constexpr PeriodSpec kAlways = kAllDay;
    static constexpr PeriodSpec kNever{{0, 0, 0}, {0, 0, 0}, 0, 0, 12, 0, 0, 11, 0, 0};
    CObList m_list;
};

TEST_F(IsActTimeNowTest, EmptySelectionOrListAnswersZero) {
    EXPECT_FALSE(Ask({3}));
    Add(kAlways, 3);
    EXPECT_FALSE(Ask({}));
    EXPECT_TRUE(Ask({3}));
}

TEST_F(IsActTimeNowTest, UnknownNumbersAreSkipped) {
    Add(kAlways, 3);
    EXPECT_TRUE(Ask({99, 3}));
    EXPECT_FALSE(Ask({99}));
    EXPECT_TRUE(Ask({3, 3}));
}

TEST_F(IsActTimeNowTest, OnlyFirstPeriodWithANumberIsTested) {
    Add(kNever, 5);
    Add(kAlways, 5);
    EXPECT_FALSE(Ask({5}));
}

TEST_F(IsActTimeNowTest, NumbersCompareAs32BitPatterns) {
    Add(kAlways, -1);
    EXPECT_TRUE(Ask({0xFFFFFFFFu}));
    EXPECT_FALSE(IsActTimeNow(nullptr));
}

TEST_F(IsActTimeNowTest, RunsUnderTheModuleStateAndRestoresIt) {
    AFX_MODULE_STATE* caller = AfxGetModuleState();
    Add(kAlways, 1);
    EXPECT_TRUE(Ask({1}));
    EXPECT_EQ(AfxGetModuleState(), caller);
}

}  // namespace
