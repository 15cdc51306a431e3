#include "framework/ui/headless/headless_window_system.h"

#include <algorithm>
#include <cstdio>

#include "framework/ui/dialog_rules.h"

using ui::ControlKind;

struct HeadlessWindowSystem::Control {
    struct Column {
        CString heading;
        int format;
        int width;
    };
    struct Row {
        std::vector<CString> texts;
        DWORD_PTR data = 0;
        UINT state = 0;
    };

    explicit Control(const ui::ControlTemplate& control)
        : tmpl(&control), text(control.text), enabled((control.style & ui::kDisabled) == 0) {}

    const ui::ControlTemplate* tmpl;
    CString text;
    int check = BST_UNCHECKED;
    bool enabled;
    bool visible = true;
    int comboSelection = -1;
    CTime time = CTime::GetCurrentTime();  // a picker starts at the present moment
    std::vector<Column> columns;
    std::vector<Row> rows;
    DWORD extendedStyle = 0;

    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(rows.size()); }
    int ComboCount() const { return static_cast<int>(tmpl->items.size()); }
};

struct HeadlessWindowSystem::Dialog {
    const ui::DialogTemplate* tmpl;
    DialogEventSink* sink;
    std::vector<Control> controls;
    int focus = 0;
    bool ended = false;
    INT_PTR result = 0;
    bool enabled = true;  // false while a dialog it owns runs

    HDLG Handle() { return reinterpret_cast<HDLG>(this); }
};

namespace {

constexpr UINT kUnticked = INDEXTOSTATEIMAGEMASK(1u);
constexpr UINT kTicked = INDEXTOSTATEIMAGEMASK(2u);

// The first button of a message box, which the headless operator always presses.
int FirstButton(UINT type) {
    switch (type & 0x0Fu) {
        case 2:  // abort, retry, ignore
            return 3;
        case 3:  // yes, no, cancel
        case 4:  // yes, no
            return 6;
        case 5:  // retry, cancel
            return 4;
        default:
            return IDOK;
    }
}

}  // namespace

HeadlessWindowSystem::HeadlessWindowSystem() = default;

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

void HeadlessWindowSystem::Enqueue(Step step) {
    m_steps.push_back(std::move(step));
}

INT_PTR HeadlessWindowSystem::RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                                             DialogEventSink& sink) {
    m_loopThread = std::this_thread::get_id();
    // Without an owner the innermost open dialog, the active window here, owns the new one.
    Dialog* const owning = owner != nullptr ? Find(owner) : Top();
    const bool disablesOwner = owning != nullptr && owning->enabled;
    if (disablesOwner)
        owning->enabled = false;
    auto created = std::make_unique<Dialog>(Dialog{&dialog, &sink, {}, 0, false, 0});
    for (const ui::ControlTemplate& control : dialog.controls) {
        created->controls.emplace_back(control);
    }
    Dialog& shown = *created;
    m_open.push_back(std::move(created));

    if (sink.OnDialogEvent(shown.Handle(), DialogEvent{DialogEvent::Init}) && !shown.ended) {
        ChangeFocus(shown, dialog_rules::FirstTabStop(dialog, *this, shown.Handle()));
    }
    while (!shown.ended) {
        if (m_steps.empty()) {
            m_problems.push_back("the script ended while dialog " + std::to_string(dialog.id) +
                                 " was open");
            shown.ended = true;
            shown.result = -1;
            break;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(*this);
    }
    const INT_PTR result = shown.result;
    m_open.pop_back();
    if (disablesOwner)
        owning->enabled = true;
    return result;
}

void HeadlessWindowSystem::EndModalDialog(HDLG dlg, INT_PTR result) {
    if (Dialog* dialog = Find(dlg)) {
        dialog->ended = true;
        dialog->result = result;
    }
}

int HeadlessWindowSystem::ShowMessageBox(HDLG, const CString& text, const CString& caption,
                                         UINT type) {
    // On the dialogs' thread a box takes the focus from the innermost dialog while it is shown,
    // as a real one does, and hands it back afterwards.
    Dialog* deactivated = std::this_thread::get_id() == m_loopThread.load() ? Top() : nullptr;
    const int hadFocus = deactivated != nullptr ? deactivated->focus : 0;
    if (hadFocus != 0)
        ChangeFocus(*deactivated, 0);
    {
        std::lock_guard lock(m_boxesMutex);
        m_boxes.push_back(MessageBoxRecord{text, caption, type});
    }
    if (hadFocus != 0 && Top() == deactivated && deactivated->focus == 0) {
        deactivated->focus = hadFocus;
    }
    return FirstButton(type);
}

std::vector<HeadlessWindowSystem::MessageBoxRecord> HeadlessWindowSystem::MessageBoxes() const {
    std::lock_guard lock(m_boxesMutex);
    return m_boxes;
}

HeadlessWindowSystem::Dialog* HeadlessWindowSystem::Find(HDLG dlg) const {
    for (const auto& dialog : m_open) {
        if (dialog->Handle() == dlg)
            return dialog.get();
    }
    return nullptr;
}

HeadlessWindowSystem::Control* HeadlessWindowSystem::Find(HDLG dlg, int id) const {
    Dialog* dialog = Find(dlg);
    if (dialog == nullptr || id == IDC_STATIC)
        return nullptr;
    for (Control& control : dialog->controls) {
        if (control.tmpl->id == id)
            return &control;
    }
    return nullptr;
}

HeadlessWindowSystem::Dialog* HeadlessWindowSystem::Top() const {
    return m_open.empty() || m_open.back()->ended ? nullptr : m_open.back().get();
}

HeadlessWindowSystem::Dialog* HeadlessWindowSystem::Operated() const {
    if (m_operatedId == 0)
        return Top();
    for (auto dialog = m_open.rbegin(); dialog != m_open.rend(); ++dialog) {
        if ((*dialog)->tmpl->id == m_operatedId)
            return (*dialog)->ended ? nullptr : dialog->get();
    }
    return nullptr;
}

void HeadlessWindowSystem::Notify(Dialog& dialog, UINT code, int id) {
    dialog.sink->OnDialogEvent(dialog.Handle(), DialogEvent{DialogEvent::Notify, code, id});
}

void HeadlessWindowSystem::ChangeFocus(Dialog& dialog, int id) {
    const int previous = dialog.focus;
    if (previous == id)
        return;
    // The focus has moved by the time the control that lost it reports so.
    dialog.focus = id;
    if (const Control* lost = Find(dialog.Handle(), previous)) {
        if (auto code = dialog_rules::KillFocusNotification(lost->tmpl->kind)) {
            Notify(dialog, *code, previous);
        }
    }
}

// Operator input ------------------------------------------------------------------------------

void HeadlessWindowSystem::Ignore(const char* input, int id) {
    m_ignored.push_back(std::string(input) + " " + std::to_string(id));
}

HeadlessWindowSystem::Dialog* HeadlessWindowSystem::Accepting(const char* input, int id) {
    Dialog* dialog = Operated();
    if (dialog == nullptr || !dialog->enabled) {
        Ignore(input, id);
        return nullptr;
    }
    return dialog;
}

HeadlessWindowSystem::Control* HeadlessWindowSystem::Reachable(int id, const char* input) {
    Dialog* dialog = Operated();
    Control* control = dialog != nullptr && dialog->enabled ? Find(dialog->Handle(), id) : nullptr;
    if (control == nullptr || !dialog_rules::CanHoldFocus(control->tmpl->kind) ||
        !dialog_rules::TakesInput(*this, dialog->Handle(), id)) {
        Ignore(input, id);
        return nullptr;
    }
    return control;
}

void HeadlessWindowSystem::ReplaceText(int id, std::string_view text, bool asTyped,
                                       const char* input) {
    Control* control = Reachable(id, input);
    if (control == nullptr)
        return;
    ChangeFocus(*Operated(), id);
    if (control->tmpl->kind != ControlKind::Edit || (control->tmpl->style & ui::kReadOnly)) {
        Ignore(input, id);
        return;
    }
    control->text = asTyped ? dialog_rules::TypedText(*control->tmpl, text) : CString(text);
}

void HeadlessWindowSystem::Type(int id, std::string_view text) {
    ReplaceText(id, text, true, "type into");
}

void HeadlessWindowSystem::Paste(int id, std::string_view text) {
    ReplaceText(id, text, false, "paste into");
}

void HeadlessWindowSystem::Click(int id) {
    Control* control = Reachable(id, "click");
    if (control == nullptr)
        return;
    Dialog& dialog = *Operated();
    ChangeFocus(dialog, id);
    const ControlKind kind = control->tmpl->kind;
    if (kind == ControlKind::AutoCheckBox) {
        control->check = control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    }
    if (kind == ControlKind::AutoCheckBox || dialog_rules::IsPushButton(kind)) {
        Notify(dialog, BN_CLICKED, id);
    }
}

void HeadlessWindowSystem::MoveFocus(int id) {
    if (Reachable(id, "focus") != nullptr)
        ChangeFocus(*Operated(), id);
}

void HeadlessWindowSystem::PressTab(bool backward) {
    Dialog* dialog = Accepting("tab", 0);
    if (dialog == nullptr)
        return;
    const int next =
        dialog_rules::NextTabStop(*dialog->tmpl, *this, dialog->Handle(), dialog->focus, backward);
    if (next != 0)
        ChangeFocus(*dialog, next);
}

void HeadlessWindowSystem::PressEnter() {
    Dialog* dialog = Accepting("enter", 0);
    if (dialog == nullptr)
        return;
    if (auto command = dialog_rules::EnterCommand(*dialog->tmpl, *this, dialog->Handle())) {
        Notify(*dialog, BN_CLICKED, *command);
    }
}

void HeadlessWindowSystem::PressEscape() {
    Dialog* dialog = Accepting("escape", 0);
    if (dialog == nullptr)
        return;
    Notify(*dialog, BN_CLICKED, IDCANCEL);
}

void HeadlessWindowSystem::PressCloseBox() {
    Dialog* dialog = Accepting("close box", 0);
    if (dialog == nullptr)
        return;
    if (auto command = dialog_rules::CloseBoxCommand(*this, dialog->Handle())) {
        Notify(*dialog, BN_CLICKED, *command);
    }
}

void HeadlessWindowSystem::TickRow(int listId, int row, bool ticked) {
    Control* list = Reachable(listId, "tick");
    if (list == nullptr || list->tmpl->kind != ControlKind::ListView || !list->IsRow(row) ||
        (list->extendedStyle & LVS_EX_CHECKBOXES) == 0) {
        if (list != nullptr)
            Ignore("tick", listId);
        return;
    }
    ChangeFocus(*Operated(), listId);
    UINT& state = list->rows[static_cast<std::size_t>(row)].state;
    state = (state & ~LVIS_STATEIMAGEMASK) | (ticked ? kTicked : kUnticked);
}

void HeadlessWindowSystem::SelectRows(int listId, const std::vector<int>& rows) {
    Control* list = Reachable(listId, "select rows");
    if (list == nullptr || list->tmpl->kind != ControlKind::ListView ||
        !std::all_of(rows.begin(), rows.end(), [&](int row) { return list->IsRow(row); })) {
        if (list != nullptr)
            Ignore("select rows", listId);
        return;
    }
    const HDLG dlg = Operated()->Handle();
    ChangeFocus(*Operated(), listId);
    SetListItemState(dlg, listId, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        SetListItemState(dlg, listId, row, LVIS_SELECTED, LVIS_SELECTED);
    if (!rows.empty())
        SetListItemState(dlg, listId, rows.back(), LVIS_FOCUSED, LVIS_FOCUSED);
}

void HeadlessWindowSystem::FocusRow(int listId, int row) {
    Control* list = Reachable(listId, "focus row");
    if (list == nullptr || list->tmpl->kind != ControlKind::ListView || !list->IsRow(row)) {
        if (list != nullptr)
            Ignore("focus row", listId);
        return;
    }
    ChangeFocus(*Operated(), listId);
    SetListItemState(Operated()->Handle(), listId, row, LVIS_FOCUSED, LVIS_FOCUSED);
}

void HeadlessWindowSystem::ChooseComboItem(int id, int index) {
    Control* combo = Reachable(id, "choose item");
    if (combo == nullptr || combo->tmpl->kind != ControlKind::DropDownList || index < 0 ||
        index >= combo->ComboCount()) {
        if (combo != nullptr)
            Ignore("choose item", id);
        return;
    }
    Dialog& dialog = *Operated();
    ChangeFocus(dialog, id);
    if (combo->comboSelection == index)
        return;
    combo->comboSelection = index;
    Notify(dialog, CBN_SELCHANGE, id);
}

void HeadlessWindowSystem::SetTimeOfDay(int id, int hour, int minute, int second) {
    Control* picker = Reachable(id, "set time");
    const bool valid =
        hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
    if (picker == nullptr || picker->tmpl->kind != ControlKind::DateTimePicker || !valid) {
        if (picker != nullptr)
            Ignore("set time", id);
        return;
    }
    ChangeFocus(*Operated(), id);
    picker->time = dialog_rules::WithTimeOfDay(picker->time, hour, minute, second);
}

void HeadlessWindowSystem::OperateOn(int dialogId) {
    m_operatedId = dialogId;
}

// Observation ---------------------------------------------------------------------------------

BOOL HeadlessWindowSystem::DialogEnabled(int dialogId) const {
    for (auto dialog = m_open.rbegin(); dialog != m_open.rend(); ++dialog) {
        if ((*dialog)->tmpl->id == dialogId)
            return (*dialog)->enabled;
    }
    return FALSE;
}

int HeadlessWindowSystem::OpenDialogId() const {
    return m_open.empty() ? 0 : m_open.back()->tmpl->id;
}

HDLG HeadlessWindowSystem::TopDialog() const {
    return m_open.empty() ? nullptr : m_open.back()->Handle();
}

CString HeadlessWindowSystem::Text(int id) {
    return GetControlText(TopDialog(), id);
}
BOOL HeadlessWindowSystem::Enabled(int id) {
    return IsControlEnabled(TopDialog(), id);
}
BOOL HeadlessWindowSystem::Visible(int id) {
    return IsControlVisible(TopDialog(), id);
}
int HeadlessWindowSystem::Focus() {
    return GetFocusControl(TopDialog());
}

// Controls ------------------------------------------------------------------------------------

BOOL HeadlessWindowSystem::HasControl(HDLG dlg, int id) {
    return Find(dlg, id) != nullptr;
}

CString HeadlessWindowSystem::GetControlText(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr ? control->text : CString();
}

void HeadlessWindowSystem::SetControlText(HDLG dlg, int id, const CString& text) {
    if (Control* control = Find(dlg, id))
        control->text = text;
}

int HeadlessWindowSystem::GetButtonCheck(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr ? control->check : BST_UNCHECKED;
}

void HeadlessWindowSystem::SetButtonCheck(HDLG dlg, int id, int check) {
    if (Control* control = Find(dlg, id))
        control->check = check;
}

BOOL HeadlessWindowSystem::IsControlEnabled(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr && control->enabled;
}

void HeadlessWindowSystem::EnableControl(HDLG dlg, int id, BOOL enable) {
    if (Control* control = Find(dlg, id))
        control->enabled = enable != FALSE;
}

BOOL HeadlessWindowSystem::IsControlVisible(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr && control->visible;
}

void HeadlessWindowSystem::ShowControl(HDLG dlg, int id, BOOL show) {
    if (Control* control = Find(dlg, id))
        control->visible = show != FALSE;
}

int HeadlessWindowSystem::GetFocusControl(HDLG dlg) {
    const Dialog* dialog = Find(dlg);
    return dialog != nullptr ? dialog->focus : 0;
}

void HeadlessWindowSystem::SetFocusControl(HDLG dlg, int id) {
    if (Find(dlg, id) != nullptr)
        ChangeFocus(*Find(dlg), id);
}

int HeadlessWindowSystem::GetComboSelection(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr ? control->comboSelection : -1;
}

void HeadlessWindowSystem::SetComboSelection(HDLG dlg, int id, int index) {
    if (Control* control = Find(dlg, id)) {
        control->comboSelection = index >= 0 && index < control->ComboCount() ? index : -1;
    }
}

int HeadlessWindowSystem::GetComboCount(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr ? control->ComboCount() : 0;
}

CTime HeadlessWindowSystem::GetPickerTime(HDLG dlg, int id) {
    const Control* control = Find(dlg, id);
    return control != nullptr ? control->time : CTime();
}

void HeadlessWindowSystem::SetPickerTime(HDLG dlg, int id, const CTime& value) {
    if (Control* control = Find(dlg, id))
        control->time = value;
}

// List views ----------------------------------------------------------------------------------

int HeadlessWindowSystem::InsertListColumn(HDLG dlg, int id, int column, const CString& heading,
                                           int format, int width) {
    Control* list = Find(dlg, id);
    if (list == nullptr || column < 0)
        return -1;
    const int at = std::min(column, static_cast<int>(list->columns.size()));
    list->columns.insert(list->columns.begin() + at, Control::Column{heading, format, width});
    return at;
}

int HeadlessWindowSystem::InsertListItem(HDLG dlg, int id, int row, const CString& text) {
    Control* list = Find(dlg, id);
    if (list == nullptr || row < 0)
        return -1;
    const int at = std::min(row, static_cast<int>(list->rows.size()));
    Control::Row inserted;
    inserted.texts.push_back(text);
    if (list->extendedStyle & LVS_EX_CHECKBOXES)
        inserted.state = kUnticked;
    list->rows.insert(list->rows.begin() + at, std::move(inserted));
    return at;
}

BOOL HeadlessWindowSystem::DeleteListItem(HDLG dlg, int id, int row) {
    Control* list = Find(dlg, id);
    if (list == nullptr || !list->IsRow(row))
        return FALSE;
    list->rows.erase(list->rows.begin() + row);
    return TRUE;
}

int HeadlessWindowSystem::GetListItemCount(HDLG dlg, int id) {
    const Control* list = Find(dlg, id);
    return list != nullptr ? static_cast<int>(list->rows.size()) : 0;
}

BOOL HeadlessWindowSystem::SetListItemText(HDLG dlg, int id, int row, int column,
                                           const CString& text) {
    Control* list = Find(dlg, id);
    const int columns =
        list != nullptr ? std::max<int>(1, static_cast<int>(list->columns.size())) : 0;
    if (list == nullptr || !list->IsRow(row) || column < 0 || column >= columns)
        return FALSE;
    std::vector<CString>& texts = list->rows[static_cast<std::size_t>(row)].texts;
    if (static_cast<int>(texts.size()) <= column)
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = text;
    return TRUE;
}

CString HeadlessWindowSystem::GetListItemText(HDLG dlg, int id, int row, int column) {
    const Control* list = Find(dlg, id);
    if (list == nullptr || !list->IsRow(row) || column < 0)
        return CString();
    const std::vector<CString>& texts = list->rows[static_cast<std::size_t>(row)].texts;
    return column < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(column)]
                                                   : CString();
}

BOOL HeadlessWindowSystem::SetListItemData(HDLG dlg, int id, int row, DWORD_PTR data) {
    Control* list = Find(dlg, id);
    if (list == nullptr || !list->IsRow(row))
        return FALSE;
    list->rows[static_cast<std::size_t>(row)].data = data;
    return TRUE;
}

DWORD_PTR HeadlessWindowSystem::GetListItemData(HDLG dlg, int id, int row) {
    const Control* list = Find(dlg, id);
    return list != nullptr && list->IsRow(row) ? list->rows[static_cast<std::size_t>(row)].data : 0;
}

UINT HeadlessWindowSystem::GetListItemState(HDLG dlg, int id, int row, UINT mask) {
    const Control* list = Find(dlg, id);
    if (list == nullptr || !list->IsRow(row))
        return 0;
    return list->rows[static_cast<std::size_t>(row)].state & mask;
}

BOOL HeadlessWindowSystem::SetListItemState(HDLG dlg, int id, int row, UINT state, UINT mask) {
    Control* list = Find(dlg, id);
    // Row -1 changes every row, as on the platform.
    if (list == nullptr || (row != -1 && !list->IsRow(row)))
        return FALSE;
    const bool takesFocus = (mask & state & LVIS_FOCUSED) != 0;
    for (int i = 0; i < static_cast<int>(list->rows.size()); ++i) {
        UINT& current = list->rows[static_cast<std::size_t>(i)].state;
        if (row == -1 || i == row) {
            current = (current & ~mask) | (state & mask);
        } else if (takesFocus) {
            current &= ~LVIS_FOCUSED;  // one row at most has the focus
        }
    }
    return TRUE;
}

DWORD HeadlessWindowSystem::GetListExtendedStyle(HDLG dlg, int id) {
    const Control* list = Find(dlg, id);
    return list != nullptr ? list->extendedStyle : 0;
}

void HeadlessWindowSystem::SetListExtendedStyle(HDLG dlg, int id, DWORD style) {
    Control* list = Find(dlg, id);
    if (list == nullptr)
        return;
    const bool hadTicks = (list->extendedStyle & LVS_EX_CHECKBOXES) != 0;
    const bool hasTicks = (style & LVS_EX_CHECKBOXES) != 0;
    list->extendedStyle = style;
    if (hadTicks == hasTicks)
        return;
    // Turning tick boxes on gives every row an empty box; turning them off removes the boxes.
    for (Control::Row& row : list->rows) {
        row.state = (row.state & ~LVIS_STATEIMAGEMASK) | (hasTicks ? kUnticked : 0u);
    }
}

// Script --------------------------------------------------------------------------------------

namespace {

template <typename Input>
ScriptedOperator& Queue(ScriptedOperator& self, HeadlessWindowSystem& system, Input input) {
    system.Enqueue(std::move(input));
    return self;
}

}  // namespace

ScriptedOperator& ScriptedOperator::Type(int id, std::string_view text) {
    return Queue(*this, m_system,
                 [id, text = std::string(text)](HeadlessWindowSystem& s) { s.Type(id, text); });
}

ScriptedOperator& ScriptedOperator::Paste(int id, std::string_view text) {
    return Queue(*this, m_system,
                 [id, text = std::string(text)](HeadlessWindowSystem& s) { s.Paste(id, text); });
}

ScriptedOperator& ScriptedOperator::Click(int id) {
    return Queue(*this, m_system, [id](HeadlessWindowSystem& s) { s.Click(id); });
}

ScriptedOperator& ScriptedOperator::MoveFocus(int id) {
    return Queue(*this, m_system, [id](HeadlessWindowSystem& s) { s.MoveFocus(id); });
}

ScriptedOperator& ScriptedOperator::PressTab(bool backward) {
    return Queue(*this, m_system, [backward](HeadlessWindowSystem& s) { s.PressTab(backward); });
}

ScriptedOperator& ScriptedOperator::PressEnter() {
    return Queue(*this, m_system, [](HeadlessWindowSystem& s) { s.PressEnter(); });
}

ScriptedOperator& ScriptedOperator::PressEscape() {
    return Queue(*this, m_system, [](HeadlessWindowSystem& s) { s.PressEscape(); });
}

ScriptedOperator& ScriptedOperator::PressCloseBox() {
    return Queue(*this, m_system, [](HeadlessWindowSystem& s) { s.PressCloseBox(); });
}

ScriptedOperator& ScriptedOperator::TickRow(int listId, int row, bool ticked) {
    return Queue(*this, m_system, [=](HeadlessWindowSystem& s) { s.TickRow(listId, row, ticked); });
}

ScriptedOperator& ScriptedOperator::SelectRows(int listId, std::vector<int> rows) {
    return Queue(*this, m_system, [listId, rows = std::move(rows)](HeadlessWindowSystem& s) {
        s.SelectRows(listId, rows);
    });
}

ScriptedOperator& ScriptedOperator::FocusRow(int listId, int row) {
    return Queue(*this, m_system, [=](HeadlessWindowSystem& s) { s.FocusRow(listId, row); });
}

ScriptedOperator& ScriptedOperator::ChooseComboItem(int id, int index) {
    return Queue(*this, m_system, [=](HeadlessWindowSystem& s) { s.ChooseComboItem(id, index); });
}

ScriptedOperator& ScriptedOperator::SetTimeOfDay(int id, int hour, int minute, int second) {
    return Queue(*this, m_system,
                 [=](HeadlessWindowSystem& s) { s.SetTimeOfDay(id, hour, minute, second); });
}

ScriptedOperator& ScriptedOperator::OperateOn(int dialogId) {
    return Queue(*this, m_system, [dialogId](HeadlessWindowSystem& s) { s.OperateOn(dialogId); });
}

ScriptedOperator& ScriptedOperator::Observe(HeadlessWindowSystem::Step check) {
    return Queue(*this, m_system, std::move(check));
}
