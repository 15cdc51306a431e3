// An HDLG is the address of its Dialog, which m_open owns while RunModalDialog runs; its controls,
// one per template entry, are never added to or moved, so the pointers handed out stay good while
// it is open. Steps run inside a modal loop, on its thread; only message boxes come from others.
#include "tests/support/headless/headless_window_system.h"

#include <algorithm>
#include <cstdio>

#include "calvora/framework/ui/dialog_rules.h"

using ui::ControlKind;

// One control of an open dialog, with every kind's state; the window system hands out the
// interfaces that fit its kind.
struct HeadlessWindowSystem::Control final : ui::Control,
                                             ui::Button,
                                             ui::ComboBox,
                                             ui::TimeEditor,
                                             ui::ListView {
    struct Column {
        CString heading;
        int width;
    };
    struct Row {
        std::vector<CString> texts;
        DWORD_PTR data = 0;
        bool ticked = false;
        bool selected = false;
        bool focused = false;
    };

    Control(HeadlessWindowSystem& owner, Dialog& in, const ui::ControlTemplate& control)
        : system(&owner),
          dialog(&in),
          tmpl(&control),
          text(control.text),
          enabled((control.style & ui::kDisabled) == 0) {}

    HeadlessWindowSystem* system;
    Dialog* dialog;
    const ui::ControlTemplate* tmpl;
    CString text;
    int check = BST_UNCHECKED;
    bool enabled;
    bool visible = true;
    int comboSelection = -1;
    CTime time = CTime::GetCurrentTime();  // a picker starts at the present moment
    std::vector<Column> columns;
    std::vector<Row> rows;
    ui::ListLook look;

    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(rows.size()); }
    Row& At(int row) { return rows[static_cast<std::size_t>(row)]; }
    const Row& At(int row) const { return rows[static_cast<std::size_t>(row)]; }

    // ui::Control
    CString Text() const override { return text; }
    void SetText(const CString& value) override { text = value; }
    bool IsEnabled() const override { return enabled; }
    void Enable(bool enable) override { enabled = enable; }
    bool IsVisible() const override { return visible; }
    void Show(bool show) override { visible = show; }
    void Focus() override { system->ChangeFocus(*dialog, tmpl->id); }
    // ui::Button
    int Check() const override { return check; }
    void SetCheck(int value) override { check = value; }
    // ui::ComboBox
    int Selection() const override { return comboSelection; }
    void SetSelection(int index) override {
        comboSelection = index >= 0 && index < Count() ? index : -1;
    }
    int Count() const override { return static_cast<int>(tmpl->items.size()); }
    // ui::TimeEditor
    CTime Time() const override { return time; }
    void SetTime(const CTime& value) override { time = value; }
    // ui::ListView
    int InsertColumn(int column, const CString& heading, int width) override;
    int InsertRow(int row, const CString& rowText) override;
    bool DeleteRow(int row) override;
    int RowCount() const override { return static_cast<int>(rows.size()); }
    bool SetCellText(int row, int column, const CString& cellText) override;
    CString CellText(int row, int column) const override;
    bool SetRowData(int row, DWORD_PTR data) override;
    DWORD_PTR RowData(int row) const override { return IsRow(row) ? At(row).data : 0; }
    bool IsTicked(int row) const override { return IsRow(row) && At(row).ticked; }
    bool SetTicked(int row, bool ticked) override;
    bool IsSelected(int row) const override { return IsRow(row) && At(row).selected; }
    bool SetSelected(int row, bool selected) override;
    int FocusedRow() const override;
    bool SetFocusedRow(int row) override;
    ui::ListLook Look() const override { return look; }
    void SetLook(const ui::ListLook& value) override;
    bool ScrollTo(int row) override { return IsRow(row); }
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
        created->controls.emplace_back(*this, *created, control);
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
    if (dialog_rules::IsButton(kind)) {
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
        !list->look.tickBoxes) {
        if (list != nullptr)
            Ignore("tick", listId);
        return;
    }
    ChangeFocus(*Operated(), listId);
    list->SetTicked(row, ticked);
}

void HeadlessWindowSystem::SelectRows(int listId, const std::vector<int>& rows) {
    Control* list = Reachable(listId, "select rows");
    if (list == nullptr || list->tmpl->kind != ControlKind::ListView ||
        !std::all_of(rows.begin(), rows.end(), [&](int row) { return list->IsRow(row); })) {
        if (list != nullptr)
            Ignore("select rows", listId);
        return;
    }
    ChangeFocus(*Operated(), listId);
    for (Control::Row& row : list->rows)
        row.selected = false;
    for (int row : rows)
        list->SetSelected(row, true);
    if (!rows.empty())
        list->SetFocusedRow(rows.back());
}

void HeadlessWindowSystem::FocusRow(int listId, int row) {
    Control* list = Reachable(listId, "focus row");
    if (list == nullptr || list->tmpl->kind != ControlKind::ListView || !list->IsRow(row)) {
        if (list != nullptr)
            Ignore("focus row", listId);
        return;
    }
    ChangeFocus(*Operated(), listId);
    list->SetFocusedRow(row);
}

void HeadlessWindowSystem::ChooseComboItem(int id, int index) {
    Control* combo = Reachable(id, "choose item");
    if (combo == nullptr || combo->tmpl->kind != ControlKind::DropDownList || index < 0 ||
        index >= combo->Count()) {
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

CString HeadlessWindowSystem::Caption() const {
    return m_open.empty() ? CString() : CString(m_open.back()->tmpl->caption);
}

CString HeadlessWindowSystem::Heading(int listId, int column) {
    const Control* list = Find(TopDialog(), listId);
    if (list == nullptr || column < 0 || column >= static_cast<int>(list->columns.size()))
        return CString();
    return list->columns[static_cast<std::size_t>(column)].heading;
}

CString HeadlessWindowSystem::Text(int id) {
    const Control* control = Find(TopDialog(), id);
    return control != nullptr ? control->text : CString();
}
BOOL HeadlessWindowSystem::Enabled(int id) {
    const Control* control = Find(TopDialog(), id);
    return control != nullptr && control->enabled;
}
BOOL HeadlessWindowSystem::Visible(int id) {
    const Control* control = Find(TopDialog(), id);
    return control != nullptr && control->visible;
}
int HeadlessWindowSystem::Focus() {
    return FocusedControl(TopDialog());
}

// Controls ------------------------------------------------------------------------------------

int HeadlessWindowSystem::FocusedControl(HDLG dlg) {
    const Dialog* dialog = Find(dlg);
    return dialog != nullptr ? dialog->focus : 0;
}

WindowSystem::ControlParts HeadlessWindowSystem::PartsOf(HDLG dlg, int id) {
    Control* control = Find(dlg, id);
    if (control == nullptr)
        return {};
    return dialog_rules::PartsOfKind(*control, control->tmpl->kind);
}

// List views ----------------------------------------------------------------------------------

int HeadlessWindowSystem::Control::InsertColumn(int column, const CString& heading, int width) {
    if (column < 0)
        return -1;
    const int at = std::min(column, static_cast<int>(columns.size()));
    columns.insert(columns.begin() + at, Column{heading, width});
    return at;
}

int HeadlessWindowSystem::Control::InsertRow(int row, const CString& rowText) {
    if (row < 0)
        return -1;
    const int at = std::min(row, static_cast<int>(rows.size()));
    Row inserted;
    inserted.texts.push_back(rowText);
    rows.insert(rows.begin() + at, std::move(inserted));
    return at;
}

bool HeadlessWindowSystem::Control::DeleteRow(int row) {
    if (!IsRow(row))
        return false;
    rows.erase(rows.begin() + row);
    return true;
}

bool HeadlessWindowSystem::Control::SetCellText(int row, int column, const CString& cellText) {
    const int columnCount = std::max<int>(1, static_cast<int>(columns.size()));
    if (!IsRow(row) || column < 0 || column >= columnCount)
        return false;
    std::vector<CString>& texts = At(row).texts;
    if (static_cast<int>(texts.size()) <= column)
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = cellText;
    return true;
}

CString HeadlessWindowSystem::Control::CellText(int row, int column) const {
    if (!IsRow(row) || column < 0)
        return CString();
    const std::vector<CString>& texts = At(row).texts;
    return column < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(column)]
                                                   : CString();
}

bool HeadlessWindowSystem::Control::SetRowData(int row, DWORD_PTR data) {
    if (!IsRow(row))
        return false;
    At(row).data = data;
    return true;
}

bool HeadlessWindowSystem::Control::SetTicked(int row, bool ticked) {
    if (!IsRow(row))
        return false;
    At(row).ticked = look.tickBoxes && ticked;
    return true;
}

bool HeadlessWindowSystem::Control::SetSelected(int row, bool selected) {
    if (!IsRow(row))
        return false;
    At(row).selected = selected;
    return true;
}

int HeadlessWindowSystem::Control::FocusedRow() const {
    for (int row = 0; row < RowCount(); ++row) {
        if (At(row).focused)
            return row;
    }
    return -1;
}

bool HeadlessWindowSystem::Control::SetFocusedRow(int row) {
    if (row != -1 && !IsRow(row))
        return false;
    for (int i = 0; i < RowCount(); ++i)
        At(i).focused = i == row;
    return true;
}

void HeadlessWindowSystem::Control::SetLook(const ui::ListLook& value) {
    // Turning tick boxes on or off leaves every row unticked.
    if (value.tickBoxes != look.tickBoxes) {
        for (Row& row : rows)
            row.ticked = false;
    }
    look = value;
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
