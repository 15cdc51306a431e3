#include "calvora/matching/selection_match.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "calvora/matching/period_number_index.h"
#include "calvora/periods/period_records.h"

namespace {

const CTime kMoment(2011, 3, 9, 12, 0, 0);

// Numbers drawn from a few values, so that lists hold duplicates and selections hit them;
// the far ones exercise the table's hashing and the 32-bit comparison.
constexpr int kNumbers[] = {0, 1, 2, 3, 5, 8, 16, 32, -1, INT_MIN, INT_MAX, 0x40000000};

// The rule as written: per selected number, in order, the first period of the list with that
// number decides whether the answer is 1 there; later periods with it are never tested.
BOOL ModelAnswer(const std::vector<CTimeZone*>& list, const std::vector<DWORD>& selection) {
    for (const DWORD number : selection) {
        for (const CTimeZone* period : list) {
            if (period->m_nID != static_cast<int>(number))
                continue;
            if (period->IsActiveAt(kMoment))
                return TRUE;
            break;
        }
    }
    return FALSE;
}

std::string Describe(const std::vector<CTimeZone*>& list, const std::vector<DWORD>& selection) {
    std::ostringstream text;
    text << "list:";
    for (const CTimeZone* period : list)
        text << ' ' << period->m_nID << (period->IsActiveAt(kMoment) ? "+" : "-");
    text << " selection:";
    for (const DWORD number : selection)
        text << ' ' << static_cast<int>(number);
    return text.str();
}

TEST(SelectionMatch, WalksAndIndexAnswerAsTheRuleOnRandomListsAndSelections) {
    constexpr int kMaxPeriods = 40;
    std::vector<std::unique_ptr<CTimeZone>> pool;
    for (int i = 0; i < kMaxPeriods; ++i) {
        pool.push_back(std::make_unique<CTimeZone>());
        pool.back()->m_timeStart = CTime(2005, 4, 12, 0, 0, 0);
        pool.back()->m_timeEnd = CTime(2005, 4, 12, 23, 59, 59);
    }
    std::mt19937 random(20111);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(std::size(kNumbers)) - 1);
    int failures = 0;
    for (int trial = 0; trial < 100'000 && failures < 5; ++trial) {
        const int periods = std::uniform_int_distribution<int>(0, kMaxPeriods)(random);
        const int selected = std::uniform_int_distribution<int>(0, 30)(random);
        CObList list;
        std::vector<CTimeZone*> model;
        for (int i = 0; i < periods; ++i) {
            CTimeZone* period = pool[static_cast<std::size_t>(i)].get();
            period->m_nID = kNumbers[pick(random)];
            // Weekday 8 never comes, so a third of the periods is never active.
            period->m_nWeekStart = random() % 3 == 0 ? 8 : 0;
            list.AddTail(period);
            model.push_back(period);
        }
        CDWordArray selection;
        std::vector<DWORD> numbers;
        for (int i = 0; i < selected; ++i) {
            numbers.push_back(static_cast<DWORD>(kNumbers[pick(random)]));
            selection.Add(numbers.back());
        }
        const BOOL expected = ModelAnswer(model, numbers);
        const BOOL perNumber = AnySelectedActiveWalkingPerNumber(list, selection, kMoment);
        const BOOL once = AnySelectedActiveWalkingOnce(list, selection, kMoment);
        const BOOL indexed = AnySelectedActiveIndexed(PeriodNumberIndex(list), selection, kMoment);
        if (perNumber != expected || once != expected || indexed != expected) {
            ++failures;
            ADD_FAILURE() << Describe(model, numbers) << ": expected " << expected
                          << ", per number " << perNumber << ", once " << once << ", indexed "
                          << indexed;
        }
        list.RemoveAll();
    }
}

TEST(SelectionMatch, OneWalkCopesWithSelectionsLargerThanItsFirstTable) {
    std::vector<std::unique_ptr<CTimeZone>> owned;
    CObList list;
    for (int i = 0; i < 1000; ++i) {
        owned.push_back(std::make_unique<CTimeZone>());
        owned.back()->m_nID = i * 4096;  // many numbers whose low bits agree
        owned.back()->m_nWeekStart = 8;
        owned.back()->m_timeStart = CTime(2005, 4, 12, 0, 0, 0);
        owned.back()->m_timeEnd = CTime(2005, 4, 12, 23, 59, 59);
        list.AddTail(owned.back().get());
    }
    owned.back()->m_nWeekStart = 0;
    CDWordArray selection;
    for (int i = 0; i < 1000; ++i)
        selection.Add(static_cast<DWORD>(i * 4096));
    EXPECT_TRUE(AnySelectedActiveWalkingOnce(list, selection, kMoment));
    selection.RemoveAt(999);
    EXPECT_FALSE(AnySelectedActiveWalkingOnce(list, selection, kMoment));
    list.RemoveAll();
}

}  // namespace
