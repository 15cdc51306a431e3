// A window system without a screen for tests and benchmarks: dialogs and controls live in
// memory, and a scripted operator drives them with the dialog manager's rules.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "calvora/framework/ui/window_system.h"

class HeadlessWindowSystem final : public WindowSystem {
public:
    using Step = std::function<void(HeadlessWindowSystem&)>;

    struct MessageBoxRecord {
        CString text;
        CString caption;
        UINT type;
    };

    HeadlessWindowSystem();
    ~HeadlessWindowSystem() override;

    // Queues one step of the operator. The innermost open dialog's modal loop takes the steps in
    // order, so a dialog opened by a step consumes the steps after it until it ends. A loop that
    // runs out of steps ends its dialog with -1 and records a problem.
    void Enqueue(Step step);
    std::size_t PendingSteps() const { return m_steps.size(); }

    // The operator's inputs go to the innermost open dialog, or after OperateOn(id) to the
    // innermost open dialog with that template id, as when clicking into another window;
    // OperateOn(0) goes back to the innermost. An input the dialog would not take (no such
    // dialog, a dialog disabled while one it owns runs, unknown, hidden or disabled control,
    // wrong kind, bad row) changes nothing and is recorded in IgnoredInputs().
    void OperateOn(int dialogId);
    void Type(int id, std::string_view text);   // replaces the text, as typed keys
    void Paste(int id, std::string_view text);  // replaces the text, bypassing digits-only
    void Click(int id);                         // focus to the control, then its click
    void MoveFocus(int id);
    void PressTab(bool backward = false);
    void PressEnter();
    void PressEscape();
    void PressCloseBox();
    void TickRow(int listId, int row, bool ticked);
    void SelectRows(int listId, const std::vector<int>& rows);  // focus on the last one
    void FocusRow(int listId, int row);                         // selection unchanged
    void ChooseComboItem(int id, int index);
    void SetTimeOfDay(int id, int hour, int minute, int second);

    // Observation of the innermost open dialog (0 / empty values when none is open).
    int OpenDialogId() const;
    // Whether the innermost open dialog with that template id takes input; FALSE when none.
    BOOL DialogEnabled(int dialogId) const;
    HDLG TopDialog() const;
    CString Caption() const;
    CString Text(int id);
    BOOL Enabled(int id);
    BOOL Visible(int id);
    int Focus();
    // A list view's column heading; empty when there is no such column.
    CString Heading(int listId, int column);

    std::vector<MessageBoxRecord> MessageBoxes() const;
    const std::vector<std::string>& IgnoredInputs() const { return m_ignored; }
    const std::vector<std::string>& Problems() const { return m_problems; }

    // WindowSystem
    INT_PTR RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                           DialogEventSink& sink) override;
    void EndModalDialog(HDLG dlg, INT_PTR result) override;
    int ShowMessageBox(HDLG owner, const CString& text, const CString& caption, UINT type) override;
    int FocusedControl(HDLG dlg) override;

protected:
    ControlParts PartsOf(HDLG dlg, int id) override;

private:
    struct Control;
    struct Dialog;

    Dialog* Find(HDLG dlg) const;
    Control* Find(HDLG dlg, int id) const;
    Dialog* Top() const;
    // The open dialog the operator's input goes to, nullptr when there is none.
    Dialog* Operated() const;
    // The operated dialog if it takes input; records the input otherwise.
    Dialog* Accepting(const char* input, int id);
    // The operated dialog's control if the operator can reach it; records the input otherwise.
    Control* Reachable(int id, const char* input);
    void Ignore(const char* input, int id);
    void Notify(Dialog& dialog, UINT code, int id);
    void ChangeFocus(Dialog& dialog, int id);
    void ReplaceText(int id, std::string_view text, bool asTyped, const char* input);

    std::vector<std::unique_ptr<Dialog>> m_open;  // innermost last
    int m_operatedId = 0;                         // 0: the innermost open dialog
    std::deque<Step> m_steps;
    std::vector<std::string> m_ignored;
    std::vector<std::string> m_problems;
    std::atomic<std::thread::id> m_loopThread;  // the thread running the modal loops
    mutable std::mutex m_boxesMutex;
    std::vector<MessageBoxRecord> m_boxes;
};

// Fluent script building for tests: each call queues one step on the window system.
class ScriptedOperator {
public:
    explicit ScriptedOperator(HeadlessWindowSystem& system) : m_system(system) {}

    ScriptedOperator& Type(int id, std::string_view text);
    ScriptedOperator& Paste(int id, std::string_view text);
    ScriptedOperator& Click(int id);
    ScriptedOperator& MoveFocus(int id);
    ScriptedOperator& PressTab(bool backward = false);
    ScriptedOperator& PressEnter();
    ScriptedOperator& PressEscape();
    ScriptedOperator& PressCloseBox();
    ScriptedOperator& TickRow(int listId, int row, bool ticked = true);
    ScriptedOperator& SelectRows(int listId, std::vector<int> rows);
    ScriptedOperator& FocusRow(int listId, int row);
    ScriptedOperator& ChooseComboItem(int id, int index);
    ScriptedOperator& SetTimeOfDay(int id, int hour, int minute, int second);
    ScriptedOperator& OperateOn(int dialogId);
    // Runs check against the window system at this point of the script.
    ScriptedOperator& Observe(HeadlessWindowSystem::Step check);

private:
    HeadlessWindowSystem& m_system;
};

// Installs a window system for the lifetime of the object.
class ScopedWindowSystem {
public:
    explicit ScopedWindowSystem(WindowSystem& system) : m_previous(AfxSetWindowSystem(&system)) {}
    ~ScopedWindowSystem() { AfxSetWindowSystem(m_previous); }
    ScopedWindowSystem(const ScopedWindowSystem&) = delete;
    ScopedWindowSystem& operator=(const ScopedWindowSystem&) = delete;

private:
    WindowSystem* m_previous;
};
