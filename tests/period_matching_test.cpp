#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/matching/selection_match.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"
#include "tests/support/time_zone_guard.h"

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

// The C library's own breakdown, bypassing everything the module remembers.
bool LibraryBreakdown(std::int64_t t, std::tm* out) {
#if defined(_WIN32)
    const __time64_t value = t;
    return _localtime64_s(out, &value) == 0;
#else
    const time_t value = static_cast<time_t>(t);
    return localtime_r(&value, out) != nullptr;
#endif
}

// The C library's own composition; 32-bit Windows runtimes keep time_t in 32 bits.
std::int64_t LibraryComposition(std::tm* fields) {
#if defined(_WIN32)
    return _mktime64(fields);
#else
    return mktime(fields);
#endif
}

// The rule as written: three breakdowns, the components compared one by one, the clock
// texts compared byte-wise.
bool LiteralIsActive(const CTimeZone& p, std::int64_t moment) {
    std::tm now, from, to;
    if (!LibraryBreakdown(moment, &now))
        return false;
    char nowText[16] = "", fromText[16] = "", toText[16] = "";
    std::strftime(nowText, sizeof nowText, "%H%M%S", &now);
    if (LibraryBreakdown(p.m_timeStart.GetTime(), &from))
        std::strftime(fromText, sizeof fromText, "%H%M%S", &from);
    if (LibraryBreakdown(p.m_timeEnd.GetTime(), &to))
        std::strftime(toText, sizeof toText, "%H%M%S", &to);
    const long long year = now.tm_year + 1900LL;
    const int weekday = now.tm_wday == 0 ? 7 : now.tm_wday;
    const auto below = [](long long v, int bound) { return bound > 0 && v < bound; };
    const auto above = [](long long v, int bound) { return bound > 0 && v > bound; };
    if (below(year, p.m_dateStart.m_nYear) || above(year, p.m_dateEnd.m_nYear) ||
        below(now.tm_mon + 1, p.m_dateStart.m_nMonth) ||
        above(now.tm_mon + 1, p.m_dateEnd.m_nMonth) || below(now.tm_mday, p.m_dateStart.m_nDay) ||
        above(now.tm_mday, p.m_dateEnd.m_nDay) || below(weekday, p.m_nWeekStart) ||
        above(weekday, p.m_nWeekEnd))
        return false;
    return std::strcmp(fromText, nowText) <= 0 && std::strcmp(toText, nowText) >= 0;
}

// Instants where the local offset changes between 1965 and 2045, found by steps of six hours
// and narrowed to the second; with far-out instants and a few ordinary ones.
std::vector<std::int64_t> InstantsToTry() {
    const auto offset = [](std::int64_t t) {
        std::tm fields;
        if (!LibraryBreakdown(t, &fields))
            return std::int64_t{0};
        const std::int64_t days = ((fields.tm_year + 1900LL) * 366 + fields.tm_yday);
        return days * 86400 + fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec - t;
    };
    std::vector<std::int64_t> instants = {INT64_MIN,
                                          -(std::int64_t{1} << 40),
                                          -2208988800,
                                          INT64_MAX,  // just after a day before 1970
                                          -1,
                                          0,
                                          1,
                                          2147483647,
                                          2147483648,
                                          4102444800,
                                          253402300799,
                                          std::int64_t{1} << 40,
                                          std::int64_t{1} << 56,
                                          INT64_MAX};
    constexpr std::int64_t kStep = 6 * 3600;
    for (std::int64_t t = -157766400; t < 2366841600; t += kStep) {
        if (offset(t) == offset(t + kStep))
            continue;
        std::int64_t low = t, high = t + kStep;  // the change lies in (low, high]
        while (high - low > 1) {
            const std::int64_t middle = low + (high - low) / 2;
            (offset(middle) == offset(low) ? low : high) = middle;
        }
        for (const std::int64_t around : {-86401, -3601, -1801, -2, -1, 0, 1, 1799, 3600, 86400})
            instants.push_back(high + around);
    }
    for (std::int64_t t = 1293840000; t < 1325376000; t += 7 * 86400 + 3607)
        instants.push_back(t);  // through 2011
    return instants;
}

// One set of periods lives through every zone, so that what they remember under one zone
// must give way under the next.
TEST(PeriodMatchingEquivalence, EveryZoneAtEveryTransitionAsTheLiteralRule) {
    const char* const zones[] = {"Asia/Shanghai",
                                 "UTC",
                                 nullptr,
                                 "Europe/Berlin",
                                 "America/New_York",
                                 "Australia/Lord_Howe",
                                 "America/St_Johns",
                                 "right/UTC",
                                 "EST5EDT,M3.2.0,M11.1.0",
                                 "Europe/Moscow"};
    std::vector<std::unique_ptr<CTimeZone>> periods;
    periods.push_back(MakePeriod(kAllDay, 0));
    periods.push_back(MakePeriod(kWorkHours, 1));
    periods.push_back(MakePeriod({{0, 0, 0}, {0, 0, 0}, 0, 0, 1, 59, 59, 3, 0, 0}, 2));
    periods.push_back(MakePeriod({{0, 0, 0}, {0, 0, 0}, 0, 0, 2, 30, 0, 2, 30, 0}, 3));
    periods.push_back(MakePeriod({{0, 0, 0}, {0, 0, 0}, 0, 0, 0, 0, 0, 0, 29, 59}, 4));
    periods.push_back(MakePeriod(kSummerWeekdays, 5));
    periods.push_back(MakePeriod(WithDates(kAllDay, {2011, 3, 15}, {2012, 10, 0}), 6));
    // Times on days of change in the periods' own year, and instants the clock cannot read.
    periods.push_back(MakePeriod(kAllDay, 7));
    periods.back()->m_timeStart = CTime(2011, 3, 27, 2, 30, 0);
    periods.back()->m_timeEnd = CTime(2011, 10, 30, 2, 30, 0);
    periods.push_back(MakePeriod(kAllDay, 8));
    periods.back()->m_timeStart = CTime(INT64_MIN);
    periods.back()->m_timeEnd = CTime(1301187599);
    CObList list;
    CDWordArray selection;
    for (const auto& period : periods) {
        list.AddTail(period.get());
        selection.Add(static_cast<DWORD>(period->m_nID));
    }
    int failures = 0;
    for (const char* zone : zones) {
        TimeZoneGuard guard(zone);
        const char* name = guard.Name();
        for (const std::int64_t t : InstantsToTry()) {
            std::tm expected{}, actual{};
            const bool breaks = LibraryBreakdown(t, &expected);
            ASSERT_EQ(CTime(t).GetLocalTm(&actual) != nullptr, breaks) << name << " " << t;
            if (breaks) {
                const auto fields = [](const std::tm& f) {
                    return std::vector<int>{f.tm_year, f.tm_mon,  f.tm_mday, f.tm_hour, f.tm_min,
                                            f.tm_sec,  f.tm_wday, f.tm_yday, f.tm_isdst};
                };
                EXPECT_EQ(fields(actual), fields(expected)) << name << " " << t;
                std::tm asked = expected;
                asked.tm_isdst = -1;
                const CTime built(expected.tm_year + 1900, expected.tm_mon + 1, expected.tm_mday,
                                  expected.tm_hour, expected.tm_min, expected.tm_sec);
                EXPECT_EQ(built.GetTime(), LibraryComposition(&asked)) << name << " " << t;
            }
            bool any = false;
            for (const auto& period : periods) {
                const bool literal = LiteralIsActive(*period, t);
                any = any || literal;
                if ((period->IsActiveAt(CTime(t)) != FALSE) != literal && ++failures <= 10)
                    ADD_FAILURE() << name << " period " << period->m_nID << " at " << t;
            }
            EXPECT_EQ(AnySelectedActiveWalkingOnce(list, selection, CTime(t)) != FALSE, any);
        }
    }
    list.RemoveAll();
}

// The module-wide list, filled in memory for the duration of a test.
class IsActTimeNowTest : public testing::Test {
protected:
    void SetUp() override {
        g_periodList = &m_list;
        NotePeriodListChanged();
    }
    void TearDown() override {
        DeleteAllPeriods(m_list);
        g_periodList = nullptr;
        NotePeriodListChanged();
    }
    void Add(const PeriodSpec& shape, int id) {
        m_list.AddTail(MakePeriod(shape, id).release());
        NotePeriodListChanged();
    }
    // Asked twice: the second lookup of a list that has not changed goes through its index.
    static BOOL Ask(std::vector<DWORD> numbers) {
        CDWordArray selection;
        for (DWORD n : numbers)
            selection.Add(n);
        const BOOL walked = IsActTimeNow(&selection);
        EXPECT_EQ(IsActTimeNow(&selection), walked);
        return walked;
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

TEST_F(IsActTimeNowTest, LookupsFollowEveryReportedChangeOfTheList) {
    Add(kNever, 5);
    EXPECT_FALSE(Ask({5}));
    m_list.AddHead(MakePeriod(kAlways, 5).release());
    NotePeriodListChanged();
    EXPECT_TRUE(Ask({5}));
    static_cast<CTimeZone*>(m_list.GetHead())->m_nID = 6;
    NotePeriodListChanged();
    EXPECT_FALSE(Ask({5}));
    EXPECT_TRUE(Ask({6, 5}));
}

// A host that borrowed the periods may renumber one without telling the module.
TEST_F(IsActTimeNowTest, LookupsSeeABorrowedPeriodRenumberedByTheHost) {
    Add(kAlways, 5);
    EXPECT_TRUE(Ask({5}));
    CObList borrowed;
    GetConfigData(&borrowed);
    static_cast<CTimeZone*>(borrowed.GetHead())->m_nID = 6;
    EXPECT_FALSE(Ask({5}));
    EXPECT_TRUE(Ask({6}));
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
