// What the list dialog must leave behind in the flows that every window system replays: the
// scenarios and their checks, so that each window system's tests only drive its own widgets.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "api/calvora_api.h"
#include "dialogs/change_journal.h"
#include "tests/support/module_store.h"
#include "tests/support/operation_log.h"

inline void Assign(CDWordArray& array, const std::vector<DWORD>& numbers) {
    array.SetSize(0);
    for (DWORD number : numbers)
        array.Add(number);
}

inline std::string Text(const CString& text) {
    return std::string(text.View());
}

// The periods 1 甲, 2 乙, 3 丙 and nothing saved or pushed yet.
inline void ResetToThreePeriods(const ModuleStore& store) {
    DeleteAllPeriods(*g_periodList);
    std::remove(store.DataFile().c_str());
    std::remove((store.m_dir / "sync.log").c_str());
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}, {3, "丙"}});
}

// After the typical use (periods 1 and 2, selection {2}, a whole-day period 3 added and
// ticked, OK): saved, pushed, handed back, and active now.
inline void ExpectTypicalUseOutcome(const ModuleStore& store, const CDWordArray& selection,
                                    const CString& log) {
    EXPECT_EQ(Numbers(selection), (std::vector<DWORD>{2, 3}));
    EXPECT_EQ(Text(log), Added(3, "全天") + Ticked(3, "全天"));
    EXPECT_EQ(store.FileNumbers(), (std::vector<int>{1, 2, 3}));
    EXPECT_NE(store.SyncLog().find(" 1 2 3\n"), std::string::npos);
    CDWordArray added;
    Assign(added, {3});
    EXPECT_TRUE(IsActTimeNow(&added));
}

enum class WayOut { Ok, CancelButton, Exit, Escape, CloseBox };

struct WayOutCase {
    const char* name;
    WayOut way;
    bool selecting;
    bool saved;
    ModuleStore::Periods periods;
    BOOL result;
};

// The four ways out of the dialog (Escape and the close box both) after adding 4 新, editing
// row 0 to 改 and deleting row 1 of the three periods.
inline std::vector<WayOutCase> WayOutCases() {
    const ModuleStore::Periods kept = {{1, "改"}, {3, "丙"}, {4, "新"}};
    return {
        {"OK", WayOut::Ok, true, true, kept, TRUE},
        {"Cancel", WayOut::CancelButton, true, false, {{1, "甲"}, {3, "丙"}, {2, "乙"}}, FALSE},
        {"Exit", WayOut::Exit, false, true, kept, FALSE},
        {"Escape", WayOut::Escape, true, false, kept, FALSE},
        {"close box", WayOut::CloseBox, false, false, kept, FALSE},
    };
}

// Opens the dialog the case names, with the selection {3, 9} and the log "旧", and checks the
// result, the list, the journal, the file, the push, the log and the selection.
inline void RunAndCheckWayOut(const ModuleStore& store, const WayOutCase& c) {
    CDWordArray selection;
    Assign(selection, {3, 9});
    CString log = "旧";
    BOOL result = FALSE;
    if (c.selecting) {
        result = DoSetEx(&selection, &log);
    } else {
        DoConfigEx(&log);
    }
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(ModuleStore::ModulePeriods(), c.periods);
    EXPECT_TRUE(CChangeJournal::GetInstance()->IsEmpty());
    EXPECT_EQ(FileExists(store.DataFile()), c.saved);
    EXPECT_EQ(store.SyncLog().empty(), !c.saved);
    if (c.saved) {
        EXPECT_EQ(store.FileNumbers(), (std::vector<int>{1, 3, 4}));
    }
    // The selection and, for the selection dialog, the log come back only after OK.
    const std::string actions = Added(4, "新") + Modified(1, "改") + Deleted(2, "乙");
    const bool handedBack = !c.selecting || c.result;
    EXPECT_EQ(Text(log), handedBack ? actions : "旧");
    EXPECT_EQ(Numbers(selection), (c.result ? std::vector<DWORD>{3} : std::vector<DWORD>{3, 9}));
}
