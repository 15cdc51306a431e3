#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "calvora/framework/afx.h"
#include "calvora/framework/cell_pool.h"
#include "tests/support/time_zone_guard.h"

namespace {

std::string Hex(const CString& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s.View()) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

TEST(CodePage936, NarrowLiteralsAreGbkBytes) {
    EXPECT_EQ(Hex("夜班"), "D2 B9 B0 E0");
    EXPECT_EQ(CString("夜班").GetLength(), 4);
}

TEST(CString, ValueSemanticsAndCountedBytes) {
    CString a("abc");
    CString b = a;
    b += "def";
    EXPECT_EQ(a, "abc");
    EXPECT_EQ(b, "abcdef");
    const char withNul[] = {'x', '\0', 'y'};
    CString c(withNul, 3);
    EXPECT_EQ(c.GetLength(), 3);
    EXPECT_EQ(c.Left(1), "x");
    EXPECT_EQ(c.Left(99).GetLength(), 3);
    EXPECT_EQ(c.Left(-1), "");
}

TEST(CString, FormatWithSignedDecimalAndGbkText) {
    CString s;
    s.Format("增加安全时段 序号:%d 描述:%s", -7, static_cast<LPCSTR>(CString("夜班")));
    EXPECT_EQ(s, "增加安全时段 序号:-7 描述:夜班");
    s.Format("%d", INT_MIN);
    EXPECT_EQ(s, "-2147483648");
}

TEST(CString, ComparesAsUnsignedBytes) {
    EXPECT_LT(CString("A"), CString("\xB0"));
    EXPECT_LT(_mbscmp(reinterpret_cast<const unsigned char*>("083000"),
                      reinterpret_cast<const unsigned char*>("\xB0")),
              0);
}

TEST(Itoa, SignedDecimalLikeTheCRuntime) {
    struct Case {
        int value;
        const char* text;
    } cases[] = {{0, "0"},
                 {1, "1"},
                 {10, "10"},
                 {-1, "-1"},
                 {INT_MAX, "2147483647"},
                 {INT_MIN, "-2147483648"}};
    for (const auto& c : cases) {
        char buffer[16];
        EXPECT_STREQ(_itoa(c.value, buffer, 10), c.text) << c.value;
    }
    char buffer[40];
    EXPECT_STREQ(_itoa(255, buffer, 16), "ff");
}

TEST(CTime, LocalConstructionNormalisesOutOfRangeFields) {
    for (const char* zone : kTestZones) {
        TimeZoneGuard guard(zone);
        SKIP_UNLESS_ZONE_ACTIVE(guard);
        const CTime t(2005, 4, 12, 10, 60, 0);
        EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "2005-04-12 11:00:00") << zone;
        const CTime wrapped(2005, 4, 12, 24, 0, 0);
        EXPECT_EQ(wrapped.Format("%Y-%m-%d %H:%M:%S"), "2005-04-13 00:00:00") << zone;
    }
}

TEST(CTime, SixtyFourBitSecondsPast2038) {
    TimeZoneGuard guard("UTC");
    const CTime t(2040, 1, 1, 0, 0, 0);
    EXPECT_EQ(t.GetTime(), 2208988800LL);
    std::tm fields;
    ASSERT_NE(t.GetLocalTm(&fields), nullptr);
    EXPECT_EQ(fields.tm_year + 1900, 2040);
}

TEST(CTime, UnrepresentableTimesGiveErrorValueAndEmptyText) {
    TimeZoneGuard guard("UTC");
    EXPECT_EQ(CTime(INT_MIN, 1, 1, 0, 0, 0).GetTime(), -1);
    const CTime far(INT64_MAX);
    std::tm fields;
    EXPECT_EQ(far.GetLocalTm(&fields), nullptr);
    EXPECT_EQ(far.Format("%H:%M:%S"), "");
}

TEST(CTime, FormatsInLocalTime) {
    const CTime instant(1302600600);  // 2011-04-12 09:30:00 UTC
    {
        TimeZoneGuard guard("UTC");
        EXPECT_EQ(instant.Format("%H%M%S"), "093000");
    }
    {
        TimeZoneGuard guard("Asia/Shanghai");
        EXPECT_EQ(instant.Format("%H:%M:%S"), "17:30:00");
    }
}

class Item : public CObject {};

TEST(CObList, WalksBothWaysAndRemovesWhileWalking) {
    Item items[25];
    CObList list(10);
    for (auto& item : items)
        list.AddTail(&item);
    ASSERT_EQ(list.GetCount(), 25);

    // Remove every other element while walking: take the next node before removing.
    POSITION pos = list.GetHeadPosition();
    int index = 0;
    while (pos != nullptr) {
        POSITION current = pos;
        list.GetNext(pos);
        if (index++ % 2 == 0)
            list.RemoveAt(current);
    }
    EXPECT_EQ(list.GetCount(), 12);
    pos = list.GetTailPosition();
    for (int i = 23; pos != nullptr; i -= 2)
        EXPECT_EQ(list.GetPrev(pos), &items[i]);

    EXPECT_EQ(list.GetAt(list.Find(&items[5])), &items[5]);
    EXPECT_EQ(list.Find(&items[4]), nullptr);
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    list.AddTail(&items[0]);  // reusable after RemoveAll
    EXPECT_EQ(list.GetHead(), &items[0]);
}

TEST(CObList, AppendsAWholeListInOrderWithoutOwning) {
    Item a, b, c;
    CObList source, target;
    target.AddTail(&c);
    source.AddTail(&a);
    source.AddTail(&b);
    target.AddTail(&source);
    ASSERT_EQ(target.GetCount(), 3);
    POSITION pos = target.GetHeadPosition();
    EXPECT_EQ(target.GetNext(pos), &c);
    EXPECT_EQ(target.GetNext(pos), &a);
    EXPECT_EQ(target.GetNext(pos), &b);
    target.AddTail(&target);  // appending a list to itself doubles it once
    EXPECT_EQ(target.GetCount(), 6);
    EXPECT_EQ(source.GetCount(), 2);
}

TEST(CObList, InsertsAroundPositions) {
    Item a, b, c;
    CObList list;
    POSITION pb = list.AddTail(&b);
    list.InsertBefore(pb, &a);
    list.InsertAfter(pb, &c);
    EXPECT_EQ(list.GetHead(), &a);
    EXPECT_EQ(list.GetTail(), &c);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), &b);
    EXPECT_EQ(list.RemoveHead(), &a);
    EXPECT_EQ(list.RemoveTail(), &c);
    EXPECT_EQ(list.GetCount(), 1);
}

#ifndef NDEBUG
// The debug build stops at a broken precondition instead of reading through a null node.
TEST(CObListDeathTest, DebugBuildAssertsPreconditions) {
    CObList empty;
    const CObList& constEmpty = empty;
    POSITION past = nullptr;
    EXPECT_DEATH(empty.GetHead(), "IsEmpty");
    EXPECT_DEATH(constEmpty.GetTail(), "IsEmpty");
    EXPECT_DEATH(empty.GetNext(past), "rPosition");
    EXPECT_DEATH(empty.GetAt(nullptr), "position");
    EXPECT_DEATH(empty.RemoveAt(nullptr), "position");
}
#endif

// In whatever order cells are freed, the pool hands each out again once, the last freed first,
// across the boundary of its first two blocks.
TEST(CellPool, FreedCellsComeBackOnceEachLastFreedFirst) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "every cell is an allocation of its own under AddressSanitizer";
#endif
    enum class Order { TailFirst, HeadFirst, Shuffled };
    for (Order order : {Order::TailFirst, Order::HeadFirst, Order::Shuffled}) {
        CellPool pool(40, 8);
        void* const kept = pool.Allocate();  // keeps the blocks from going back
        std::vector<void*> cells(3000);
        ASSERT_EQ(pool.AllocateRun(cells.data(), cells.size()), cells.size());
        std::vector<void*> freed = cells;
        if (order == Order::TailFirst)
            std::reverse(freed.begin(), freed.end());
        if (order == Order::Shuffled)
            std::shuffle(freed.begin(), freed.end(), std::mt19937(7));
        for (void* cell : freed)
            pool.Free(cell);

        std::vector<void*> again(cells.size());
        ASSERT_EQ(pool.AllocateRun(again.data(), again.size()), again.size());
        EXPECT_EQ(again.front(), freed.back()) << static_cast<int>(order);
        std::sort(again.begin(), again.end());
        std::sort(cells.begin(), cells.end());
        EXPECT_EQ(again, cells) << static_cast<int>(order);
        for (void* cell : again)
            pool.Free(cell);
        pool.Free(kept);
    }
}

TEST(CDWordArray, GrowsCopiesAndEmpties) {
    CDWordArray a;
    a.SetAtGrow(a.GetSize(), 5);
    a.SetAtGrow(a.GetSize(), 0xFFFFFFFF);
    CDWordArray b;
    b.Add(1);
    b.Copy(a);
    ASSERT_EQ(b.GetSize(), 2);
    EXPECT_EQ(b[1], 0xFFFFFFFFu);
    b.SetSize(0);
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_EQ(a.GetSize(), 2);
}

TEST(ModuleState, SwitchIsScopedAndRestoredOnException) {
    AFX_MODULE_STATE* caller = AfxGetModuleState();
    ASSERT_NE(caller, AfxGetStaticModuleState());
    try {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        EXPECT_EQ(AfxGetModuleState(), AfxGetStaticModuleState());
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(AfxGetModuleState(), caller);
}

}  // namespace
