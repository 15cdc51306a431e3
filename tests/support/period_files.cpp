#include "tests/support/period_files.h"

#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"
#include "tests/support/period_archive_helpers.h"

void FillPeriods(CObList& list, const std::vector<PeriodRow>& rows) {
    for (const PeriodRow& row : rows) {
        auto* period = new CTimeZone;
        period->SetID(row.id);
        period->SetDesc(row.desc);
        period->m_nWeekStart = 1;
        period->m_nWeekEnd = 5;
        period->m_timeStart = CTime(2005, 4, 12, 8, 30, 0);
        period->m_timeEnd = CTime(2005, 4, 12, 17, 0, 0);
        list.AddTail(period);
    }
    NotePeriodListChanged();
}

std::string ArchiveBytes(const std::vector<PeriodRow>& rows, bool tmSchema) {
    SchemaGuard schema(tmSchema);
    OwnedPeriodList periods;
    FillPeriods(periods.list, rows);
    const Bytes bytes = SaveList(periods.list);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<int> ArchivedNumbers(const std::string& bytes, bool* complete) {
    SchemaGuard schema(TRUE);
    OwnedPeriodList periods;
    const ArchiveLoadResult result = LoadList(Bytes(bytes.begin(), bytes.end()), periods.list);
    if (complete != nullptr)
        *complete = result.cause == ArchiveLoadResult::kNoError;
    std::vector<int> numbers;
    for (POSITION pos = periods.list.GetHeadPosition(); pos != nullptr;) {
        numbers.push_back(static_cast<CTimeZone*>(periods.list.GetNext(pos))->GetID());
    }
    return numbers;
}
