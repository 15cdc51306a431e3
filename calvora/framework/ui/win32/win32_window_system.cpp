// An HDLG is the dialog's window handle. Its ModalContext lies on the stack of RunModalDialog and
// hangs off the window from WM_INITDIALOG on, so the controls handed out, kept in its map, live as
// long as the modal loop; their state stays in the system's controls, asked for by message each
// time.
// clang-format off
#include "calvora/framework/platform/win32/windows_sdk.h"
#include <commctrl.h>
// clang-format on

#include "calvora/framework/ui/win32/win32_window_system.h"

#include <map>
#include <string>

#include "calvora/framework/ui/dialog_rules.h"
#include "calvora/framework/ui/win32/cell_tips.h"

namespace {

HWND Window(HDLG dlg) {
    return reinterpret_cast<HWND>(dlg);
}
HDLG Dialog(HWND hwnd) {
    return reinterpret_cast<HDLG>(hwnd);
}

// Without an owner, the calling thread's active window owns a dialog or box, as the framework
// picks one on the platform: otherwise the window that opened it would stay live behind it. A
// thread without windows (a notice worker) has none, and its box stays ownerless.
HWND OwnerWindow(HDLG owner) {
    return owner != nullptr ? Window(owner) : GetActiveWindow();
}

std::wstring Wide(const CString& text) {
    return win32::WideFromCp936(text.View());
}
CString Narrow(std::wstring_view text) {
    return CString(win32::Cp936FromWide(text));
}

// The dialog resources are in the module that contains this code.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

void InitialiseCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX classes{
            sizeof classes, ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    static_cast<void>(done);
}

LRESULT Send(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(control, message, wParam, lParam);
}

// The local calendar fields of an instant, as a picker holds them.
bool ToSystemTime(const CTime& value, SYSTEMTIME* out) {
    std::tm fields{};
    if (value.GetLocalTm(&fields) == nullptr)
        return false;
    *out = SYSTEMTIME{};
    out->wYear = static_cast<WORD>(fields.tm_year + 1900);
    out->wMonth = static_cast<WORD>(fields.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(fields.tm_wday);
    out->wDay = static_cast<WORD>(fields.tm_mday);
    out->wHour = static_cast<WORD>(fields.tm_hour);
    out->wMinute = static_cast<WORD>(fields.tm_min);
    out->wSecond = static_cast<WORD>(fields.tm_sec);
    return true;
}

// One control of an open dialog as the dialog classes see it: every operation is a message to
// the system's own control.
class Win32Control final : public ui::Control,
                           public ui::Button,
                           public ui::ComboBox,
                           public ui::TimeEditor,
                           public ui::ListView {
public:
    Win32Control(HWND dialog, HWND control, ui::ControlKind kind)
        : m_dialog(dialog), m_control(control), m_kind(kind) {}

    ui::ControlKind Kind() const { return m_kind; }

    // ui::Control
    CString Text() const override {
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_control)) + 1, L'\0');
        const int length = GetWindowTextW(m_control, text.data(), static_cast<int>(text.size()));
        return Narrow(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
    }
    void SetText(const CString& text) override { SetWindowTextW(m_control, Wide(text).c_str()); }
    bool IsEnabled() const override { return IsWindowEnabled(m_control) != FALSE; }
    void Enable(bool enable) override { EnableWindow(m_control, enable); }
    // The control's own flag, whether or not its dialog is shown yet.
    bool IsVisible() const override {
        return (GetWindowLongW(m_control, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    void Show(bool show) override { ShowWindow(m_control, show ? SW_SHOW : SW_HIDE); }
    // Through the dialog manager, so that the default button follows the focus.
    void Focus() override {
        SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_control), TRUE);
    }

    // ui::Button
    int Check() const override { return static_cast<int>(Send(m_control, BM_GETCHECK)); }
    void SetCheck(int check) override { Send(m_control, BM_SETCHECK, static_cast<WPARAM>(check)); }

    // ui::ComboBox
    int Selection() const override { return static_cast<int>(Send(m_control, CB_GETCURSEL)); }
    void SetSelection(int index) override {
        Send(m_control, CB_SETCURSEL, static_cast<WPARAM>(index));
    }
    int Count() const override { return static_cast<int>(Send(m_control, CB_GETCOUNT)); }

    // ui::TimeEditor
    CTime Time() const override {
        SYSTEMTIME value{};
        if (Send(m_control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) != GDT_VALID)
            return CTime();
        return CTime(value.wYear, value.wMonth, value.wDay, value.wHour, value.wMinute,
                     value.wSecond);
    }
    void SetTime(const CTime& value) override {
        SYSTEMTIME fields;
        if (ToSystemTime(value, &fields))
            Send(m_control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&fields));
    }

    // ui::ListView: rows in the platform's item states, here alone.
    int InsertColumn(int column, const CString& heading, int width) override;
    int InsertRow(int row, const CString& text) override;
    bool DeleteRow(int row) override {
        return Send(m_control, LVM_DELETEITEM, static_cast<WPARAM>(row)) != 0;
    }
    int RowCount() const override { return static_cast<int>(Send(m_control, LVM_GETITEMCOUNT)); }
    bool SetCellText(int row, int column, const CString& text) override;
    CString CellText(int row, int column) const override;
    bool SetRowData(int row, DWORD_PTR data) override;
    DWORD_PTR RowData(int row) const override;
    bool IsTicked(int row) const override {
        return Look().tickBoxes && State(row, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2u);
    }
    bool SetTicked(int row, bool ticked) override {
        if (!Look().tickBoxes)
            return IsRow(row);
        return SetState(row, INDEXTOSTATEIMAGEMASK(ticked ? 2u : 1u), LVIS_STATEIMAGEMASK);
    }
    bool IsSelected(int row) const override { return State(row, LVIS_SELECTED) != 0; }
    bool SetSelected(int row, bool selected) override {
        return SetState(row, selected ? LVIS_SELECTED : 0u, LVIS_SELECTED);
    }
    int FocusedRow() const override {
        return static_cast<int>(
            Send(m_control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
    }
    bool SetFocusedRow(int row) override {
        if (row != -1)
            return SetState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        const int focused = FocusedRow();
        return focused < 0 || SetState(focused, 0, LVIS_FOCUSED);
    }
    ui::ListLook Look() const override {
        return ui::ListLookOf(static_cast<DWORD>(Send(m_control, LVM_GETEXTENDEDLISTVIEWSTYLE)));
    }
    // A mask of 0 replaces every extended style.
    void SetLook(const ui::ListLook& look) override {
        Send(m_control, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
             static_cast<LPARAM>(ui::ExtendedStyleOf(look)));
    }
    bool ScrollTo(int row) override {
        return IsRow(row) && Send(m_control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }

private:
    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    UINT State(int row, UINT mask) const {
        if (!IsRow(row))
            return 0;
        return static_cast<UINT>(Send(m_control, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
    }
    // Row -1 would change every row: callers name one.
    bool SetState(int row, UINT state, UINT mask);

    HWND m_dialog;
    HWND m_control;
    ui::ControlKind m_kind;
};

int Win32Control::InsertColumn(int column, const CString& heading, int width) {
    std::wstring text = Wide(heading);
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = LVCFMT_LEFT;
    info.cx = width;
    info.pszText = text.data();
    info.iSubItem = column;
    return static_cast<int>(Send(m_control, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                                 reinterpret_cast<LPARAM>(&info)));
}

int Win32Control::InsertRow(int row, const CString& text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    return static_cast<int>(Send(m_control, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool Win32Control::SetCellText(int row, int column, const CString& text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    return Send(m_control, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                reinterpret_cast<LPARAM>(&item)) != 0;
}

CString Win32Control::CellText(int row, int column) const {
    return Narrow(win32::ListCellText(m_control, row, column));
}

bool Win32Control::SetRowData(int row, DWORD_PTR data) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    return Send(m_control, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

DWORD_PTR Win32Control::RowData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Send(m_control, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

bool Win32Control::SetState(int row, UINT state, UINT mask) {
    if (!IsRow(row))
        return false;
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return Send(m_control, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                reinterpret_cast<LPARAM>(&item)) != 0;
}

struct ModalContext {
    const ui::DialogTemplate& dialog;
    DialogEventSink& sink;
    std::map<int, Win32Control> controls;  // those handed out so far
};

// The control id of the open dialog dlg; nullptr when there is none.
Win32Control* ControlIn(HDLG dlg, int id) {
    auto* context = reinterpret_cast<ModalContext*>(GetWindowLongPtrW(Window(dlg), DWLP_USER));
    const HWND control = GetDlgItem(Window(dlg), id);
    const ui::ControlTemplate* known =
        context != nullptr ? ui::FindControl(context->dialog, id) : nullptr;
    if (control == nullptr || known == nullptr)
        return nullptr;
    return &context->controls.try_emplace(id, Window(dlg), control, known->kind).first->second;
}

// A double-click on a list's row, not on its tick box (which ticks) nor below the rows.
bool IsRowDoubleClick(const NMHDR& header) {
    if (header.code != NM_DBLCLK)
        return false;
    const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
    LVHITTESTINFO hit{};
    hit.pt = click.ptAction;
    const auto row = Send(header.hwndFrom, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) == 0;
}

// A resource template cannot carry the items of a drop-down list: they come from the table.
// Lists get the tips of their cut cells.
void CompleteControls(HWND hwnd, const ui::DialogTemplate& dialog) {
    for (const ui::ControlTemplate& control : dialog.controls) {
        if (control.kind == ui::ControlKind::ListView)
            win32::ShowCutCellTips(GetDlgItem(hwnd, control.id));
        for (const char* item : control.items) {
            SendDlgItemMessageW(hwnd, control.id, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(win32::WideFromCp936(item).c_str()));
        }
    }
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* context = reinterpret_cast<ModalContext*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            CompleteControls(hwnd, context->dialog);
            return context->sink.OnDialogEvent(Dialog(hwnd), DialogEvent{DialogEvent::Init});
        }
        case WM_NOTIFY: {
            auto* context = reinterpret_cast<ModalContext*>(GetWindowLongPtrW(hwnd, DWLP_USER));
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (context != nullptr && IsRowDoubleClick(header)) {
                context->sink.OnDialogEvent(
                    Dialog(hwnd),
                    DialogEvent{DialogEvent::Notify, NM_DBLCLK, static_cast<int>(header.idFrom)});
            }
            return FALSE;
        }
        case WM_COMMAND: {
            auto* context = reinterpret_cast<ModalContext*>(GetWindowLongPtrW(hwnd, DWLP_USER));
            if (context == nullptr)
                return FALSE;
            DialogEvent event{DialogEvent::Notify};
            event.code = HIWORD(wParam);
            event.id = static_cast<short>(LOWORD(wParam));
            context->sink.OnDialogEvent(Dialog(hwnd), event);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR Win32WindowSystem::RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                                          DialogEventSink& sink) {
    InitialiseCommonControls();
    ModalContext context{dialog, sink, {}};
    // The dialog manager disables the owner while the dialog runs.
    return DialogBoxParamW(ThisModule(), MAKEINTRESOURCEW(dialog.id), OwnerWindow(owner),
                           DialogProc, reinterpret_cast<LPARAM>(&context));
}

void Win32WindowSystem::EndModalDialog(HDLG dlg, INT_PTR result) {
    EndDialog(Window(dlg), result);
}

int Win32WindowSystem::ShowMessageBox(HDLG owner, const CString& text, const CString& caption,
                                      UINT type) {
    return MessageBoxW(OwnerWindow(owner), Wide(text).c_str(), Wide(caption).c_str(), type);
}

int Win32WindowSystem::FocusedControl(HDLG dlg) {
    HWND focus = GetFocus();
    // The focus may sit in a child of a control (the edit of a combo box).
    while (focus != nullptr && GetParent(focus) != Window(dlg))
        focus = GetParent(focus);
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

WindowSystem::ControlParts Win32WindowSystem::PartsOf(HDLG dlg, int id) {
    Win32Control* control = ControlIn(dlg, id);
    if (control == nullptr)
        return {};
    return dialog_rules::PartsOfKind(*control, control->Kind());
}
