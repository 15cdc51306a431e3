#include "tests/support/period_files.h"

#include "framework/carchive.h"
#include "periods/period_records.h"
#include "store/period_store.h"
#include "tests/support/schema_scope.h"


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
}

std::string ArchiveBytes(const std::vector<PeriodRow>& rows, bool tmSchema) {
    SchemaScope schema(tmSchema);
    CObList list;
    FillPeriods(list, rows);
    CMemFile file;
    {
        CArchive archive(&file, CArchive::store);
        list.Serialize(archive);
        archive.Close();
    }
    DeleteAllPeriods(list);
    const auto length = static_cast<std::size_t>(file.GetLength());
    BYTE* bytes = file.Detach();
    std::string result(reinterpret_cast<const char*>(bytes), length);
    free(bytes);
    return result;
}

std::vector<int> ArchivedNumbers(const std::string& bytes, bool* complete) {
    SchemaScope schema(true);
    std::string copy = bytes;
    CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
    CObList list;
    bool readToEnd = true;
    try {
        CArchive archive(&file, CArchive::load);
        list.Serialize(archive);
    } catch (const CException&) {
        readToEnd = false;
    }
    if (complete != nullptr) *complete = readToEnd;
    std::vector<int> numbers;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        numbers.push_back(static_cast<CTimeZone*>(list.GetNext(pos))->GetID());
    }
    DeleteAllPeriods(list);
    return numbers;
}
