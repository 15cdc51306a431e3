// The benchmarks' list of periods with a selection of the numbers at its end, so that each
// selected number walks all of the list.
#pragma once

#include "calvora/framework/cdwordarray.h"
#include "calvora/framework/coblist.h"
#include "calvora/periods/period_records.h"

class SelectionScenario {
public:
    // The list holds makePeriod(0) to makePeriod(listSize - 1), which the scenario deletes; the
    // selection the last `selected` numbers, from the end.
    SelectionScenario(int listSize, int selected, CTimeZone* (*makePeriod)(int id)) {
        for (int i = 0; i < listSize; ++i)
            m_list.AddTail(makePeriod(i));
        for (int i = 0; i < selected; ++i)
            m_selection.Add(static_cast<DWORD>(listSize - 1 - i));
    }
    ~SelectionScenario() {
        while (!m_list.IsEmpty())
            delete m_list.RemoveHead();
    }
    SelectionScenario(const SelectionScenario&) = delete;
    SelectionScenario& operator=(const SelectionScenario&) = delete;

    CObList m_list;
    CDWordArray m_selection;
};
