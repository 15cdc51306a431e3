// The flows that every window system replays, written once: a typed suite over a driver of one
// window system's operator, which each window system's tests instantiate with their driver.
//
// A driver is a test fixture with the operator's steps (Click, Type, FocusRow, SelectRows,
// TickRow, SetTimeOfDay, PressEnter, PressEscape, PressCloseBox, Observe), each returning the
// driver, Start to run them with the next dialog, and observations of the innermost open dialog
// for inside Observe: Caption, Shown, EditText, RowCount, Cell, TickState (the state image: 0
// no tick box, 1 unticked, 2 ticked), Heading and ListStyle. Texts are in code page 936.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/dialogs/change_journal.h"
#include "calvora/resources/resource.h"
#include "tests/support/module_store.h"
#include "tests/support/operation_log.h"

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

// The fixture of the flows on one window system's driver, over the module's store.
template <typename Driver>
class FlowTest : public Driver, protected ModuleStore {
protected:
    void TearDown() override {
        Driver::TearDown();
        EXPECT_TRUE(CChangeJournal::GetInstance()->IsEmpty());
    }

    // Add through the form with a description, leaving everything else as proposed.
    void AddPeriod(const char* desc) {
        this->Click(period_list_ids::IDC_ADD)
            .Type(period_edit_ids::IDC_DESC, desc)
            .Click(period_edit_ids::IDC_CONFIRM);
    }
    // Edit the focused row's description.
    void EditFocused(int row, const char* desc) {
        this->FocusRow(period_list_ids::IDC_PERIOD_LIST, row)
            .Click(period_list_ids::IDC_EDIT)
            .Type(period_edit_ids::IDC_DESC, desc)
            .Click(period_edit_ids::IDC_CONFIRM);
    }
    void DeleteRows(std::vector<int> rows) {
        this->SelectRows(period_list_ids::IDC_PERIOD_LIST, std::move(rows))
            .Click(period_list_ids::IDC_DELETE);
    }
};

template <typename Driver>
class ConfigFlows : public FlowTest<Driver> {};

TYPED_TEST_SUITE_P(ConfigFlows);

// The host opens the selection, adds a period covering the whole day, ticks it and confirms;
// from then on the selection answers that now is inside it.
TYPED_TEST_P(ConfigFlows, TypicalUseFromSelectionToEvaluation) {
    using namespace period_list_ids;
    namespace edit = period_edit_ids;
    FillPeriods(*g_periodList, {{1, "早班"}, {2, "夜班"}});
    CDWordArray selection;
    Assign(selection, {2});
    CString log;
    this->Observe([this] {
            EXPECT_EQ(this->Caption(), "时段设置窗口");
            EXPECT_TRUE(this->Shown(IDOK));
            EXPECT_TRUE(this->Shown(IDC_CANCEL_CHANGES));
            EXPECT_FALSE(this->Shown(IDC_EXIT));
            EXPECT_EQ(this->ListStyle(IDC_PERIOD_LIST), 0x65u);
            EXPECT_EQ(this->Heading(IDC_PERIOD_LIST, 0), "序号");
            EXPECT_EQ(this->Cell(IDC_PERIOD_LIST, 1, 1), "夜班");
            EXPECT_EQ(this->TickState(IDC_PERIOD_LIST, 0), 1);
            EXPECT_EQ(this->TickState(IDC_PERIOD_LIST, 1), 2);
        })
        .Click(IDC_ADD)
        .Observe([this] {
            EXPECT_EQ(this->Caption(), "增加时间段");
            EXPECT_EQ(this->EditText(edit::IDC_PERIOD_ID), "3");
        })
        .Type(edit::IDC_DESC, "全天")
        .SetTimeOfDay(edit::IDC_TIME_START, 0, 0, 0)
        .SetTimeOfDay(edit::IDC_TIME_END, 23, 59, 59)
        .Click(edit::IDC_CONFIRM)
        .Observe([this] {
            EXPECT_EQ(this->Caption(), "时段设置窗口");
            EXPECT_EQ(this->Cell(IDC_PERIOD_LIST, 2, 0), "3");
            EXPECT_EQ(this->Cell(IDC_PERIOD_LIST, 2, 1), "全天");
            EXPECT_EQ(this->Cell(IDC_PERIOD_LIST, 2, 3), "00:00:00至23:59:59");
        })
        .TickRow(IDC_PERIOD_LIST, 2)
        .Click(IDOK)
        .Start();

    ASSERT_TRUE(DoSetEx(&selection, &log));
    ExpectTypicalUseOutcome(*this, selection, log);
}

// Add, edit and delete, then leave in each of the four ways.
TYPED_TEST_P(ConfigFlows, FourWaysOut) {
    using namespace period_list_ids;
    for (const WayOutCase& c : WayOutCases()) {
        SCOPED_TRACE(c.name);
        ResetToThreePeriods(*this);
        this->AddPeriod("新");
        this->EditFocused(0, "改");
        this->DeleteRows({1});
        this->Observe([this] { EXPECT_EQ(this->RowCount(IDC_PERIOD_LIST), 3); });
        switch (c.way) {
            case WayOut::Ok:
                this->Click(IDOK);
                break;
            case WayOut::CancelButton:
                this->Click(IDC_CANCEL_CHANGES);
                break;
            case WayOut::Exit:
                this->Click(IDC_EXIT);
                break;
            case WayOut::Escape:
                this->PressEscape();
                break;
            case WayOut::CloseBox:
                this->PressCloseBox();
                break;
        }
        this->Start();
        RunAndCheckWayOut(*this, c);
    }
}

TYPED_TEST_P(ConfigFlows, EditTakesTheFocusedRowNotTheSelectedOnes) {
    using namespace period_list_ids;
    namespace edit = period_edit_ids;
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}, {3, "丙"}});
    this->SelectRows(IDC_PERIOD_LIST, {0, 1})
        .FocusRow(IDC_PERIOD_LIST, 2)
        .Click(IDC_EDIT)
        .Observe([this] { EXPECT_EQ(this->EditText(edit::IDC_PERIOD_ID), "3"); })
        .Type(edit::IDC_DESC, "改")
        .PressEnter()
        .Observe([this] { EXPECT_EQ(this->Cell(IDC_PERIOD_LIST, 2, 1), "改"); })
        .PressEscape()
        .Start();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Modified(3, "改"));
    EXPECT_EQ(ModuleStore::ModulePeriods()[2].second, "改");
}

// Enter reaches the hidden but enabled OK button: it saves and logs no ticks, as the rows have
// no tick boxes.
TYPED_TEST_P(ConfigFlows, EnterInTheConfigurationDialogSavesWithoutTickMessages) {
    using namespace period_list_ids;
    FillPeriods(*g_periodList, {{1, "甲"}});
    this->Observe([this] {
            EXPECT_FALSE(this->Shown(IDOK));
            EXPECT_FALSE(this->Shown(IDC_CANCEL_CHANGES));
            EXPECT_TRUE(this->Shown(IDC_EXIT));
            EXPECT_EQ(this->ListStyle(IDC_PERIOD_LIST), 0x61u);
            EXPECT_EQ(this->TickState(IDC_PERIOD_LIST, 0), 0);
        })
        .PressEnter()
        .Start();
    CString log = "旧";
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), "");
    EXPECT_EQ(this->FileNumbers(), (std::vector<int>{1}));
}

REGISTER_TYPED_TEST_SUITE_P(ConfigFlows, TypicalUseFromSelectionToEvaluation, FourWaysOut,
                            EditTakesTheFocusedRowNotTheSelectedOnes,
                            EnterInTheConfigurationDialogSavesWithoutTickMessages);
