// Lists, streams and schema settings shared by the archive tests.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "calvora/framework/afx.h"
#include "calvora/framework/carchive.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"

using Bytes = std::vector<BYTE>;

// A period list that deletes its periods, as the module's own list does.
class OwnedPeriodList {
public:
    OwnedPeriodList() = default;
    OwnedPeriodList(const OwnedPeriodList&) = delete;
    OwnedPeriodList& operator=(const OwnedPeriodList&) = delete;
    ~OwnedPeriodList() {
        while (!list.IsEmpty())
            delete list.RemoveHead();
    }
    CTimeZone& At(int index) const {
        return *static_cast<CTimeZone*>(list.GetAt(list.FindIndex(index)));
    }
    CTimeZone& Add() {
        auto* period = new CTimeZone;
        list.AddTail(period);
        return *period;
    }

    CObList list;
};

// Sets the archive schema for one test and restores the previous one.
class SchemaGuard {
public:
    explicit SchemaGuard(BOOL tmSchema)
        : m_flag(tmSchema), m_previous(SetPeriodArchiveSchemaFlag(&m_flag)) {}
    ~SchemaGuard() { SetPeriodArchiveSchemaFlag(m_previous); }
    SchemaGuard(const SchemaGuard&) = delete;
    SchemaGuard& operator=(const SchemaGuard&) = delete;

private:
    BOOL m_flag;
    const BOOL* m_previous;
};

// "01 00 FF" as bytes.
inline Bytes FromHex(const std::string& text) {
    Bytes out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<BYTE>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
        i += 2;
    }
    return out;
}

inline Bytes FileBytes(CMemFile& file) {
    Bytes bytes(static_cast<std::size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

inline Bytes SaveList(CObList& list) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    SerializePeriodList(list, ar);
    ar.Close();
    return FileBytes(file);
}

struct ArchiveLoadResult {
    static constexpr int kNoError = -1;
    int cause = kNoError;  // the CArchiveException cause, or kNoError
};

// Loads into the given list; an archive failure is caught and its cause returned.
inline ArchiveLoadResult LoadList(const Bytes& bytes, CObList& list) {
    Bytes copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    try {
        SerializePeriodList(list, ar);
    } catch (const CArchiveException& e) {
        return {e.m_cause};
    }
    return {};
}

// The period of the worked example: number 1, "夜班", from 2011, Monday to Friday,
// 08:30:00 to 17:00:00.
inline void FillNightShift(CTimeZone& period) {
    period.SetID(1);
    period.SetDesc("夜班");
    period.SetStartDate(2011, 0, 0, 0, 0);
    period.m_nWeekStart = 1;
    period.m_nWeekEnd = 5;
    period.m_timeStart = CTime(2011, 3, 9, 8, 30, 0);
    period.m_timeEnd = CTime(2011, 3, 9, 17, 0, 0);
}

// Three periods: the worked example, one with carried reserved integers and an empty
// description, and one whose description needs the three-byte prefix.
inline void FillThreePeriods(OwnedPeriodList& periods) {
    FillNightShift(periods.Add());
    CTimeZone& second = periods.Add();
    second.SetID(-7);
    second.SetStartDate(2010, 12, 31, 7, -8);
    second.SetEndDate(0, 1, 2, 0, 2147483647);
    second.m_nWeekStart = 6;
    second.m_nWeekEnd = 7;
    second.m_timeStart = CTime(2005, 4, 12, 0, 0, 0);
    second.m_timeEnd = CTime(2005, 4, 12, 23, 59, 59);
    CTimeZone& third = periods.Add();
    third.SetID(3);
    third.SetDesc(CString('d', 300));
    third.m_timeStart = CTime(2005, 4, 12, 12, 0, 1);
    third.m_timeEnd = CTime(2005, 4, 12, 12, 0, 2);
}

inline const char* const kNightShiftTm =
    "01 00 FF FF 01 00 09 00 43 54 69 6D 65 5A 6F 6E 65"
    " DB 07 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    " 01 00 00 00 04 D2 B9 B0 E0 01 00 00 00 05 00 00 00"
    " 08 00 00 00 1E 00 00 00 00 00 00 00 11 00 00 00 00 00 00 00 00 00 00 00";
