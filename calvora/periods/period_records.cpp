#include "calvora/periods/period_records.h"

#include <new>
#include <typeinfo>

#include "calvora/framework/cell_pool.h"
#include "calvora/periods/period_ownership.h"

IMPLEMENT_SERIAL(CDateInfo, CObject, 1)
IMPLEMENT_SERIAL(CTimeZone, CObject, 1)

CDateInfo& CDateInfo::operator=(const CDateInfo& other) {
    m_nYear = other.m_nYear;
    m_nMonth = other.m_nMonth;
    m_nDay = other.m_nDay;
    m_nReserved1 = other.m_nReserved1;
    m_nReserved2 = other.m_nReserved2;
    return *this;
}

// A loaded period takes its cell and a list node, about 200 bytes on a 64-bit system
// (docs/performance.md). The layout is installed and read by hosts: it does not grow.
static_assert(sizeof(void*) != 8 || sizeof(CTimeZone) == 176, "a period's installed size");

namespace {

constinit CellPool g_periodCells(sizeof(CTimeZone), alignof(CTimeZone));

}  // namespace

void* CTimeZone::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return size == sizeof(CTimeZone) ? g_periodCells.Allocate()
                                     : ::operator new(size, std::nothrow);
}

void* CTimeZone::operator new(std::size_t size) {
    void* period = operator new(size, std::nothrow);
    if (period == nullptr)
        throw std::bad_alloc();
    return period;
}

void CTimeZone::operator delete(void* period, std::size_t size) noexcept {
    if (size == sizeof(CTimeZone)) {
        g_periodCells.Free(period);
    } else {
        ::operator delete(period);
    }
}

PeriodMaker::~PeriodMaker() {
    while (m_next < m_taken)
        g_periodCells.Free(m_cells[m_next++]);
}

std::unique_ptr<CTimeZone> PeriodMaker::Make() {
    if (m_next == m_taken) {
        m_taken = g_periodCells.AllocateRun(m_cells, kRun);
        m_next = 0;
        if (m_taken == 0)
            throw std::bad_alloc();
    }
    // The cell is the pool's, so that deleting the period gives it back there.
    return std::unique_ptr<CTimeZone>(::new (m_cells[m_next++])
                                          CTimeZone(CTimeZone::FieldsToFollow{}));
}

void DeleteAllPeriods(CObList& list) {
    // Plain periods are destroyed in place and keep their pointers in the list until their
    // cells are known to go back all at once; anything else is deleted at once.
    std::size_t destroyed = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const POSITION at = pos;
        CObject* element = list.GetNext(pos);
        if (element != nullptr && typeid(*element) == typeid(CTimeZone)) {
            static_cast<CTimeZone*>(element)->~CTimeZone();
            ++destroyed;
        } else {
            delete element;
            list.SetAt(at, nullptr);
        }
    }
    if (!g_periodCells.FreeAllIfLive(destroyed)) {
        // Tail first, so that the pool hands the cells out again in the list's order, which
        // is mostly the order of their addresses: the next list made walks memory forwards.
        for (POSITION pos = list.GetTailPosition(); pos != nullptr;)
            g_periodCells.Free(list.GetPrev(pos));
    }
    list.RemoveAll();
}

CTimeZone::CTimeZone() : m_nID(-1) {
    // Two separate readings of the clock, start first.
    m_timeStart = CTime::GetCurrentTime();
    m_timeEnd = CTime::GetCurrentTime();
    m_nWeekStart = 0;
    m_nWeekEnd = 0;
    m_nChangeKind = ChangeNone;
}

CTimeZone::CTimeZone(FieldsToFollow)
    : m_nID(-1), m_nWeekStart(0), m_nWeekEnd(0), m_nChangeKind(ChangeNone) {}

namespace {

void SetDate(CDateInfo& date, int year, int month, int day, int reserved1, int reserved2) {
    date.SetYear(year);
    date.SetMonth(month);
    date.SetDay(day);
    date.SetReserved1(reserved1);
    date.SetReserved2(reserved2);
}

}  // namespace

void CTimeZone::SetStartDate(int year, int month, int day, int reserved1, int reserved2) {
    SetDate(m_dateStart, year, month, day, reserved1, reserved2);
}

void CTimeZone::SetEndDate(int year, int month, int day, int reserved1, int reserved2) {
    SetDate(m_dateEnd, year, month, day, reserved1, reserved2);
}

namespace {

constexpr BOOL kTmSchema = TRUE;
const BOOL* g_pTmFormat = &kTmSchema;

}  // namespace

BOOL PeriodArchiveUsesTmSchema() {
    return *g_pTmFormat;
}

const BOOL* SetPeriodArchiveSchemaFlag(const BOOL* pTmFormat) {
    const BOOL* previous = g_pTmFormat;
    g_pTmFormat = pTmFormat != nullptr ? pTmFormat : &kTmSchema;
    return previous;
}

const CTimeZone* FirstPeriodWithNumber(const CObList& periods, int number) {
    for (POSITION pos = periods.GetHeadPosition(); pos != nullptr;) {
        const auto* period = static_cast<const CTimeZone*>(periods.GetNext(pos));
        if (period->GetID() == number)
            return period;
    }
    return nullptr;
}

void CopyPeriodValues(CTimeZone& to, const CTimeZone& from) {
    to.m_nWeekStart = from.m_nWeekStart;
    to.m_nWeekEnd = from.m_nWeekEnd;
    to.SetDesc(from.GetDesc());
    to.m_timeStart = from.m_timeStart;
    to.m_timeEnd = from.m_timeEnd;
    to.m_dateStart = from.m_dateStart;
    to.m_dateEnd = from.m_dateEnd;
}

void RegisterPeriodClasses() {
    AfxClassInit(RUNTIME_CLASS(CTimeZone));
    AfxClassInit(RUNTIME_CLASS(CDateInfo));
}

namespace {

// Any program that links the records has both classes registered before main; the module's
// start-up calls RegisterPeriodClasses itself as well, since its order among the static
// initialisers of other files is not fixed.
[[maybe_unused]] const bool g_periodClassesRegistered = (RegisterPeriodClasses(), true);

}  // namespace
