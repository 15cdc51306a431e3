// clang-format off
#include "framework/platform/win32/windows_sdk.h"
#include <commctrl.h>
// clang-format on

#include "framework/ui/win32/win32_window_system.h"

#include <string>

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

HWND Control(HDLG dlg, int id) {
    return GetDlgItem(Window(dlg), id);
}

LRESULT Send(HDLG dlg, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageW(Window(dlg), id, message, wParam, lParam);
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

struct ModalContext {
    const ui::DialogTemplate& dialog;
    DialogEventSink& sink;
};

// A resource template cannot carry the items of a drop-down list: they come from the table.
void FillDropDownLists(HWND hwnd, const ui::DialogTemplate& dialog) {
    for (const ui::ControlTemplate& control : dialog.controls) {
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
            FillDropDownLists(hwnd, context->dialog);
            return context->sink.OnDialogEvent(Dialog(hwnd), DialogEvent{DialogEvent::Init});
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

}  // namespace

INT_PTR Win32WindowSystem::RunModalDialog(const ui::DialogTemplate& dialog, HDLG owner,
                                          DialogEventSink& sink) {
    InitialiseCommonControls();
    ModalContext context{dialog, sink};
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

BOOL Win32WindowSystem::HasControl(HDLG dlg, int id) {
    return Control(dlg, id) != nullptr;
}

CString Win32WindowSystem::GetControlText(HDLG dlg, int id) {
    const HWND control = Control(dlg, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return Narrow(std::wstring_view(text.data(), static_cast<std::size_t>(length)));
}

void Win32WindowSystem::SetControlText(HDLG dlg, int id, const CString& text) {
    SetWindowTextW(Control(dlg, id), Wide(text).c_str());
}

int Win32WindowSystem::GetButtonCheck(HDLG dlg, int id) {
    return static_cast<int>(Send(dlg, id, BM_GETCHECK));
}

void Win32WindowSystem::SetButtonCheck(HDLG dlg, int id, int check) {
    Send(dlg, id, BM_SETCHECK, static_cast<WPARAM>(check));
}

BOOL Win32WindowSystem::IsControlEnabled(HDLG dlg, int id) {
    return IsWindowEnabled(Control(dlg, id));
}

void Win32WindowSystem::EnableControl(HDLG dlg, int id, BOOL enable) {
    EnableWindow(Control(dlg, id), enable);
}

BOOL Win32WindowSystem::IsControlVisible(HDLG dlg, int id) {
    // The control's own flag, whether or not its dialog is shown yet.
    return (GetWindowLongW(Control(dlg, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32WindowSystem::ShowControl(HDLG dlg, int id, BOOL show) {
    ShowWindow(Control(dlg, id), show ? SW_SHOW : SW_HIDE);
}

int Win32WindowSystem::GetFocusControl(HDLG dlg) {
    HWND focus = GetFocus();
    // The focus may sit in a child of a control (the edit of a combo box).
    while (focus != nullptr && GetParent(focus) != Window(dlg))
        focus = GetParent(focus);
    return focus != nullptr ? GetDlgCtrlID(focus) : 0;
}

void Win32WindowSystem::SetFocusControl(HDLG dlg, int id) {
    // Through the dialog manager, so that the default button follows the focus.
    SendMessageW(Window(dlg), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(dlg, id)), TRUE);
}

int Win32WindowSystem::GetComboSelection(HDLG dlg, int id) {
    return static_cast<int>(Send(dlg, id, CB_GETCURSEL));
}

void Win32WindowSystem::SetComboSelection(HDLG dlg, int id, int index) {
    Send(dlg, id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

int Win32WindowSystem::GetComboCount(HDLG dlg, int id) {
    return static_cast<int>(Send(dlg, id, CB_GETCOUNT));
}

CTime Win32WindowSystem::GetPickerTime(HDLG dlg, int id) {
    SYSTEMTIME value{};
    if (Send(dlg, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) != GDT_VALID) {
        return CTime();
    }
    return CTime(value.wYear, value.wMonth, value.wDay, value.wHour, value.wMinute, value.wSecond);
}

void Win32WindowSystem::SetPickerTime(HDLG dlg, int id, const CTime& value) {
    SYSTEMTIME fields;
    if (ToSystemTime(value, &fields)) {
        Send(dlg, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&fields));
    }
}

int Win32WindowSystem::InsertListColumn(HDLG dlg, int id, int column, const CString& heading,
                                        int format, int width) {
    std::wstring text = Wide(heading);
    LVCOLUMNW info{};
    info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    info.fmt = format;
    info.cx = width;
    info.pszText = text.data();
    info.iSubItem = column;
    return static_cast<int>(Send(dlg, id, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                                 reinterpret_cast<LPARAM>(&info)));
}

int Win32WindowSystem::InsertListItem(HDLG dlg, int id, int row, const CString& text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    return static_cast<int>(Send(dlg, id, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL Win32WindowSystem::DeleteListItem(HDLG dlg, int id, int row) {
    return static_cast<BOOL>(Send(dlg, id, LVM_DELETEITEM, static_cast<WPARAM>(row)));
}

int Win32WindowSystem::GetListItemCount(HDLG dlg, int id) {
    return static_cast<int>(Send(dlg, id, LVM_GETITEMCOUNT));
}

BOOL Win32WindowSystem::SetListItemText(HDLG dlg, int id, int row, int column,
                                        const CString& text) {
    std::wstring wide = Wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    return static_cast<BOOL>(
        Send(dlg, id, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

CString Win32WindowSystem::GetListItemText(HDLG dlg, int id, int row, int column) {
    // The control copies at most the buffer's size: grow it until the text fits.
    for (std::size_t size = 256;; size *= 2) {
        std::wstring buffer(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(Send(
            dlg, id, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size)
            return Narrow(std::wstring_view(buffer.data(), length));
    }
}

BOOL Win32WindowSystem::SetListItemData(HDLG dlg, int id, int row, DWORD_PTR data) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(Send(dlg, id, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR Win32WindowSystem::GetListItemData(HDLG dlg, int id, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Send(dlg, id, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return static_cast<DWORD_PTR>(item.lParam);
}

UINT Win32WindowSystem::GetListItemState(HDLG dlg, int id, int row, UINT mask) {
    return static_cast<UINT>(Send(dlg, id, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}

BOOL Win32WindowSystem::SetListItemState(HDLG dlg, int id, int row, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        Send(dlg, id, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

DWORD Win32WindowSystem::GetListExtendedStyle(HDLG dlg, int id) {
    return static_cast<DWORD>(Send(dlg, id, LVM_GETEXTENDEDLISTVIEWSTYLE));
}

void Win32WindowSystem::SetListExtendedStyle(HDLG dlg, int id, DWORD style) {
    // A mask of 0 replaces every extended style.
    Send(dlg, id, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}
