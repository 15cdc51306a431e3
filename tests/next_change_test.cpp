#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "calvora/changes/next_change.h"
#include "calvora/matching/selection_match.h"
#include "calvora/periods/period_records.h"
#include "tests/support/time_zone_guard.h"

namespace {

struct RandomList {
    std::vector<std::unique_ptr<CTimeZone>> owned;
    CObList list;
    CDWordArray selection;
};

// Bounds that are often open, often at the edges the rules treat specially (day 29 to 31,
// February), and times near the small hours where daylight saving moves the clock.
void FillRandomList(std::mt19937& random, RandomList& made) {
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    auto maybe = [&](int low, int high) { return pick(0, 2) == 0 ? pick(low, high) : 0; };
    const int count = pick(1, 6);
    for (int i = 0; i < count; ++i) {
        auto period = std::make_unique<CTimeZone>();
        period->SetID(pick(0, 4));
        const int fromYear = maybe(2016, 2019);
        period->SetStartDate(fromYear, maybe(1, 12), pick(0, 3) == 0 ? pick(1, 31) : 0, 0, 0);
        period->SetEndDate(maybe(std::max(fromYear, 2016), 2020), maybe(2, 12),
                           pick(0, 3) == 0 ? pick(28, 31) : 0, 0, 0);
        period->m_nWeekStart = maybe(1, 7);
        period->m_nWeekEnd = maybe(1, 7);
        const int fromHour = pick(0, 3) == 0 ? pick(1, 3) : pick(0, 23);
        period->m_timeStart = CTime(2005, 4, 12, fromHour, pick(0, 1) * 30, 0);
        period->m_timeEnd = pick(0, 4) == 0
                                ? CTime(2005, 4, 12, 23, 59, 59)
                                : CTime(2005, 4, 12, pick(fromHour, 23), pick(0, 59), 0);
        made.list.AddTail(period.get());
        made.owned.push_back(std::move(period));
    }
    for (int i = pick(1, 4); i > 0; --i)
        made.selection.Add(static_cast<DWORD>(pick(0, 5)));
}

bool ModuleAnswer(const RandomList& made, CTime::time_type t) {
    return AnySelectedActiveWalkingPerNumber(made.list, made.selection, CTime(t)) == TRUE;
}

// Every change is one: the value differs from the second before, and nothing changes in between.
TEST(NextChange, AgreesWithIsActiveAtAtEveryChangeAndBetween) {
    // Sao Paulo set its clocks at midnight, so some of its dates began at 01:00.
    const char* zones[] = {"Asia/Shanghai", "UTC", "Europe/Berlin",
#ifndef _WIN32
                           "America/Sao_Paulo"
#endif
    };
    std::mt19937 random(20260101);
    for (const char* zone : zones) {
        TimeZoneGuard guard(zone);
        SKIP_UNLESS_ZONE_ACTIVE(guard);
        for (int round = 0; round < 60; ++round) {
            RandomList made;
            FillRandomList(random, made);
            const ChangeFinder finder(made.list, made.selection);
            CTime::time_type at = CTime(2016, 1, 1, 0, 0, 0).GetTime() +
                                  std::uniform_int_distribution<long long>(0, 4LL << 25)(random);
            bool value = ModuleAnswer(made, at);
            ASSERT_EQ(finder.IsActive(CTime(at)), value) << zone << " " << at;
            for (int step = 0; step < 12; ++step) {
                const auto change = finder.Next(CTime(at));
                const CTime::time_type end = change ? change->at.GetTime() : at + (1LL << 27);
                for (int probe = 0; probe < 4 && end - at > 1; ++probe) {
                    const auto between =
                        std::uniform_int_distribution<long long>(at + 1, end - 1)(random);
                    ASSERT_EQ(ModuleAnswer(made, between), value) << zone << " " << between;
                }
                if (!change)
                    break;
                ASSERT_EQ(ModuleAnswer(made, end - 1), value) << zone << " " << end;
                ASSERT_EQ(ModuleAnswer(made, end), !value) << zone << " " << end;
                ASSERT_EQ(change->active, !value);
                for (int number : change->numbers) {
                    CDWordArray one;
                    one.Add(static_cast<DWORD>(number));
                    EXPECT_TRUE(AnySelectedActiveWalkingPerNumber(made.list, one, change->at));
                }
                at = end;
                value = !value;
            }
        }
    }
}

// One period, active on 2024-04-01 from 00:00:00 to 00:30:00. From March in Berlin the jump over
// the days between is taken in winter time and must land before the summer-time midnight.
TEST(NextChange, FirstChangeOfAPeriodOnOneDate) {
    struct Local {
        int year, month, day, hour, minute, second;
        CTime Time() const { return CTime(year, month, day, hour, minute, second); }
    };
    struct Case {
        const char* zone;
        Local from, change;
        bool active;
    };
    const Case cases[] = {
        {"Europe/Berlin", {2024, 3, 1, 0, 0, 0}, {2024, 4, 1, 0, 0, 0}, true},
        {"Asia/Shanghai", {2024, 4, 1, 0, 10, 0}, {2024, 4, 1, 0, 30, 1}, false},
    };
    for (const Case& c : cases) {
        TimeZoneGuard guard(c.zone);
        SKIP_UNLESS_ZONE_ACTIVE(guard);
        CTimeZone period;
        period.SetID(1);
        period.SetStartDate(2024, 4, 1, 0, 0);
        period.SetEndDate(2024, 4, 1, 0, 0);
        period.m_timeStart = CTime(2005, 4, 12, 0, 0, 0);
        period.m_timeEnd = CTime(2005, 4, 12, 0, 30, 0);
        CObList list;
        list.AddTail(&period);
        CDWordArray selection;
        selection.Add(1);
        const auto change = ChangeFinder(list, selection).Next(c.from.Time());
        ASSERT_TRUE(change.has_value()) << c.zone;
        EXPECT_EQ(change->at.GetTime(), c.change.Time().GetTime()) << c.zone;
        EXPECT_EQ(change->active, c.active) << c.zone;
    }
}

}  // namespace
