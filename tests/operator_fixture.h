// Tests that drive the module's dialogs through the headless window system, with no notice
// program on the PATH so that every notice ends as a box from a worker thread.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/ui/headless/headless_window_system.h"
#include "tests/fake_program.h"

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
