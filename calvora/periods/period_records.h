// The period records: CTimeZone, one safe time period, and CDateInfo, one bound of its date range.
#pragma once

#include <cstddef>
#include <new>

#include "calvora/framework/afx.h"
#include "calvora/periods/time_of_day.h"

// One date bound; a year, month or day of 0 (or below) leaves that component open.
class CDateInfo : public CObject {
    DECLARE_SERIAL(CDateInfo)
public:
    CDateInfo() = default;
    CDateInfo(const CDateInfo&) = delete;
    // Copies all five integers, the carried ones included.
    CDateInfo& operator=(const CDateInfo& other);

    int GetYear() const { return m_nYear; }
    int GetMonth() const { return m_nMonth; }
    int GetDay() const { return m_nDay; }
    void SetYear(int year) { m_nYear = year; }
    void SetMonth(int month) { m_nMonth = month; }
    void SetDay(int day) { m_nDay = day; }
    // Carried through copies and archives, never interpreted.
    void SetReserved1(int value) { m_nReserved1 = value; }
    void SetReserved2(int value) { m_nReserved2 = value; }

    void Serialize(CArchive& ar) override;

    // "2011年5月1日", "5月", or the empty text when year and month are both open.
    CString GetDateText() const;

    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    int m_nReserved1 = 0;
    int m_nReserved2 = 0;
};

// Kinds of change a journal snapshot records.
enum ChangeKind { ChangeNone = 0, ChangeAdded = 1, ChangeDeleted = 2, ChangeModified = 3 };

class CTimeZone : public CObject {
    DECLARE_SERIAL(CTimeZone)
public:
    CTimeZone();
    // For a loader that sets every field itself: the times start at 0, without the two
    // readings of the clock that it would overwrite.
    struct FieldsToFollow {};
    explicit CTimeZone(FieldsToFollow);
    CTimeZone(const CTimeZone&) = delete;
    CTimeZone& operator=(const CTimeZone&) = delete;
    ~CTimeZone() override = default;

    // Periods are made and destroyed by the hundred thousand: they come from a pool of their
    // own, which lays them out one after the other (an object of a derived class comes from
    // the free store).
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* period, std::size_t size) noexcept;

    int GetID() const { return m_nID; }
    void SetID(int id) { m_nID = id; }
    CString GetDesc() const { return m_strDesc; }
    void SetDesc(CString desc) { m_strDesc = std::move(desc); }
    void SetStartDate(int year, int month, int day, int reserved1, int reserved2);
    void SetEndDate(int year, int month, int day, int reserved1, int reserved2);

    void Serialize(CArchive& ar) override;

    CString GetDateRangeText() const;
    CString GetTimeRangeText() const;

    // Whether the moment lies inside every range of this period.
    BOOL IsActiveAt(const CTime& moment) const;

    // The "%H%M%S" clock digits of m_timeStart and m_timeEnd (see ClockDigits), worked out again
    // only when the time or the local zone has changed. Call local_time::CheckLocalZone first
    // in the same operation.
    int StartClockDigits() const { return m_startClock.DigitsOf(m_timeStart); }
    int EndClockDigits() const { return m_endClock.DigitsOf(m_timeEnd); }

    int m_nID;
    CString m_strDesc;
    CDateInfo m_dateStart;
    CDateInfo m_dateEnd;
    int m_nWeekStart;
    int m_nWeekEnd;
    CTime m_timeStart;
    CTime m_timeEnd;
    int m_nChangeKind;

private:
    ClockMemo m_startClock;
    ClockMemo m_endClock;
};

// The first period of the list, in list order, that has the number: the one that answers for
// it; nullptr when none has. The list holds CTimeZone pointers only.
const CTimeZone* FirstPeriodWithNumber(const CObList& periods, int number);

// Gives `to` every value of `from` but its number and change kind: its ranges and description.
void CopyPeriodValues(CTimeZone& to, const CTimeZone& from);

// The archive schema in force: TRUE for the tm schema (times as hour, minute, second), FALSE
// for the legacy one (times as 32-bit instants). The module's application object holds the
// flag and names it here when it is constructed; until then the tm schema is in force.
BOOL PeriodArchiveUsesTmSchema();
// Returns the flag named before; nullptr names the tm schema.
const BOOL* SetPeriodArchiveSchemaFlag(const BOOL* pTmFormat);

// Writes or reads a list of periods; loading accepts CTimeZone elements only, so a stream
// whose elements are of another registered class is a load error.
void SerializePeriodList(CObList& list, CArchive& ar);

// Enters both record classes into the module's class registry; safe to call more than once.
void RegisterPeriodClasses();
