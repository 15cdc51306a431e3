// Tests that drive the module's dialogs through the headless window system, with no notice
// program on the PATH so that every notice ends as a box from a worker thread.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/fake_program.h"
#include "tests/support/headless/headless_window_system.h"

class OperatorTest : public testing::Test {
protected:
    void SetUp() override { m_threadsBefore = ThreadCount(); }
    void TearDown() override {
        EXPECT_TRUE(m_system.Problems().empty()) << m_system.Problems().front();
        EXPECT_TRUE(m_system.IgnoredInputs().empty()) << m_system.IgnoredInputs().front();
        EXPECT_EQ(m_system.PendingSteps(), 0u);
        // Notice threads use the window system until they end.
        EXPECT_TRUE(WaitUntil([this] { return ThreadCount() <= m_threadsBefore; }));
    }

    // The texts of every box shown so far, once at least count have arrived.
    std::vector<std::string> Boxes(std::size_t count) {
        EXPECT_TRUE(WaitUntil([&] { return m_system.MessageBoxes().size() >= count; }));
        std::vector<std::string> texts;
        for (const auto& box : m_system.MessageBoxes())
            texts.emplace_back(box.text.View());
        return texts;
    }

    // The process's threads; 0 where the platform does not list them, which skips the wait.
    static int ThreadCount() {
        std::error_code error;
        const auto tasks = std::filesystem::directory_iterator("/proc/self/task", error);
        return error ? 0 : static_cast<int>(std::distance(begin(tasks), end(tasks)));
    }

    TempDir m_noPrograms;
    PathGuard m_path{m_noPrograms.Path()};
    HeadlessWindowSystem m_system;
    ScopedWindowSystem m_installed{m_system};
    ScriptedOperator m_operator{m_system};
    int m_threadsBefore = 0;
};

// The flows of every window system (flow_checks.h) on the headless one.
class HeadlessFlowDriver : public OperatorTest {
public:
    HeadlessFlowDriver& Click(int id) { return Step(m_operator.Click(id)); }
    HeadlessFlowDriver& Type(int id, const char* text) { return Step(m_operator.Type(id, text)); }
    HeadlessFlowDriver& FocusRow(int listId, int row) {
        return Step(m_operator.FocusRow(listId, row));
    }
    HeadlessFlowDriver& SelectRows(int listId, std::vector<int> rows) {
        return Step(m_operator.SelectRows(listId, std::move(rows)));
    }
    HeadlessFlowDriver& TickRow(int listId, int row) {
        return Step(m_operator.TickRow(listId, row, true));
    }
    HeadlessFlowDriver& SetTimeOfDay(int id, int hour, int minute, int second) {
        return Step(m_operator.SetTimeOfDay(id, hour, minute, second));
    }
    HeadlessFlowDriver& PressEnter() { return Step(m_operator.PressEnter()); }
    HeadlessFlowDriver& PressEscape() { return Step(m_operator.PressEscape()); }
    HeadlessFlowDriver& PressCloseBox() { return Step(m_operator.PressCloseBox()); }
    HeadlessFlowDriver& Observe(std::function<void()> check) {
        return Step(m_operator.Observe([check](HeadlessWindowSystem&) { check(); }));
    }
    // The dialogs take the steps as they open.
    void Start() {}

    std::string Caption() { return std::string(m_system.Caption().View()); }
    bool Shown(int id) { return m_system.Visible(id) != FALSE; }
    std::string EditText(int id) { return std::string(m_system.Text(id).View()); }
    int RowCount(int listId) {
        const ui::ListView* list = List(listId);
        return list != nullptr ? list->RowCount() : -1;
    }
    std::string Cell(int listId, int row, int column) {
        const ui::ListView* list = List(listId);
        return list != nullptr ? std::string(list->CellText(row, column).View()) : std::string();
    }
    int TickState(int listId, int row) {
        const ui::ListView* list = List(listId);
        if (list == nullptr || !list->Look().tickBoxes)
            return 0;
        return list->IsTicked(row) ? 2 : 1;
    }
    std::string Heading(int listId, int column) {
        return std::string(m_system.Heading(listId, column).View());
    }
    DWORD ListStyle(int listId) {
        const ui::ListView* list = List(listId);
        return list != nullptr ? ui::ExtendedStyleOf(list->Look()) : 0;
    }

private:
    HeadlessFlowDriver& Step(ScriptedOperator&) { return *this; }
    ui::ListView* List(int listId) { return m_system.ListViewOf(m_system.TopDialog(), listId); }
};
