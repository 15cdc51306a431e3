#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "calvora/periods/period_records.h"

namespace {

TEST(CTimeZone, DefaultsAndClockReadings) {
    const CTime before = CTime::GetCurrentTime();
    CTimeZone period;
    const CTime after = CTime::GetCurrentTime();
    EXPECT_EQ(period.GetID(), -1);
    EXPECT_TRUE(period.GetDesc().IsEmpty());
    for (const CDateInfo* d : {&period.m_dateStart, &period.m_dateEnd}) {
        EXPECT_EQ(d->m_nYear, 0);
        EXPECT_EQ(d->m_nMonth, 0);
        EXPECT_EQ(d->m_nDay, 0);
        EXPECT_EQ(d->m_nReserved1, 0);
        EXPECT_EQ(d->m_nReserved2, 0);
    }
    EXPECT_EQ(period.m_nWeekStart, 0);
    EXPECT_EQ(period.m_nWeekEnd, 0);
    EXPECT_EQ(period.m_nChangeKind, 0);
    EXPECT_GE(period.m_timeStart, before);
    EXPECT_LE(period.m_timeEnd, after);
    EXPECT_LE(period.m_timeStart, period.m_timeEnd);
}

TEST(CTimeZone, SetStartDateLeavesEndBound) {
    CTimeZone period;
    period.SetEndDate(2012, 6, 7, 8, 9);
    period.SetStartDate(2011, 5, 0, 0, 0);
    EXPECT_EQ(period.m_dateStart.GetYear(), 2011);
    EXPECT_EQ(period.m_dateStart.GetMonth(), 5);
    EXPECT_EQ(period.m_dateEnd.GetYear(), 2012);
    EXPECT_EQ(period.m_dateEnd.m_nReserved1, 8);
    EXPECT_EQ(period.m_dateEnd.m_nReserved2, 9);
}

// Periods come and go one at a time, in numbers that span several blocks of their pool; no
// period made after others were destroyed may share memory with one still alive.
TEST(CTimeZone, PeriodsDestroyedOneAtATimeLeaveTheOthersWhole) {
    std::vector<std::unique_ptr<CTimeZone>> periods(5000);
    const auto make = [&](std::size_t i) {
        periods[i] = std::make_unique<CTimeZone>();
        periods[i]->SetID(static_cast<int>(i));
        periods[i]->SetDesc(CString('d', static_cast<int>(i % 40)));
    };
    for (std::size_t i = 0; i < periods.size(); ++i)
        make(i);
    for (std::size_t i = 0; i < periods.size(); i += 3)
        periods[i].reset();
    for (std::size_t i = 0; i < periods.size(); i += 3)
        make(i);
    for (std::size_t i = 0; i < periods.size(); ++i) {
        ASSERT_EQ(periods[i]->GetID(), static_cast<int>(i));
        ASSERT_EQ(periods[i]->GetDesc().GetLength(), static_cast<int>(i % 40));
    }
}

TEST(CDateInfo, AssignmentCopiesReservedIntegers) {
    CDateInfo source;
    source.SetYear(2011);
    source.SetMonth(2);
    source.SetDay(3);
    source.SetReserved1(-4);
    source.SetReserved2(5);
    CDateInfo target;
    target = source;
    EXPECT_EQ(target.m_nYear, 2011);
    EXPECT_EQ(target.m_nMonth, 2);
    EXPECT_EQ(target.m_nDay, 3);
    EXPECT_EQ(target.m_nReserved1, -4);
    EXPECT_EQ(target.m_nReserved2, 5);
    EXPECT_EQ(target.GetRuntimeClass(), RUNTIME_CLASS(CDateInfo));
}

TEST(ClassRegistry, DescriptorsAndExactNameLookup) {
    RegisterPeriodClasses();
    EXPECT_STREQ(RUNTIME_CLASS(CTimeZone)->m_lpszClassName, "CTimeZone");
    EXPECT_EQ(RUNTIME_CLASS(CTimeZone)->m_wSchema, 1u);
    EXPECT_EQ(RUNTIME_CLASS(CDateInfo)->m_wSchema, 1u);
    EXPECT_EQ(RUNTIME_CLASS(CTimeZone)->m_pBaseClass, RUNTIME_CLASS(CObject));

    const CRuntimeClass* zone = CRuntimeClass::FromName("CTimeZone");
    ASSERT_EQ(zone, RUNTIME_CLASS(CTimeZone));
    std::unique_ptr<CObject> object(zone->CreateObject());
    ASSERT_TRUE(object->IsKindOf(RUNTIME_CLASS(CTimeZone)));
    EXPECT_EQ(static_cast<CTimeZone*>(object.get())->GetID(), -1);

    std::unique_ptr<CObject> date(CRuntimeClass::FromName("CDateInfo")->CreateObject());
    EXPECT_EQ(static_cast<CDateInfo*>(date.get())->GetYear(), 0);

    for (const char* name :
         {"ctimezone", "CTIMEZONE", "CDateinfo", "CTimeZone ", "CObject", "", "CTimeZ"}) {
        EXPECT_EQ(CRuntimeClass::FromName(name), nullptr) << name;
    }
    EXPECT_EQ(CRuntimeClass::FromName(std::string_view("CTimeZone\0", 10)), nullptr);
}

TEST(ClassRegistry, RegisteringTwiceKeepsOneEntry) {
    RegisterPeriodClasses();
    RegisterPeriodClasses();
    EXPECT_EQ(CRuntimeClass::FromName("CTimeZone"), RUNTIME_CLASS(CTimeZone));
}

}  // namespace
