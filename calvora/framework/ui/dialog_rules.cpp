#include "calvora/framework/ui/dialog_rules.h"

#include <ctime>
#include <string>

namespace dialog_rules {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;

bool TakesInput(WindowSystem& system, HDLG dlg, int id) {
    const ui::Control* control = system.ControlOf(dlg, id);
    return control != nullptr && control->IsVisible() && control->IsEnabled();
}

bool CanHoldFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::GroupBox;
}

bool IsPushButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefPushButton;
}

bool IsButton(ControlKind kind) {
    return kind == ControlKind::AutoCheckBox || IsPushButton(kind);
}

namespace {

bool IsReachableTabStop(const ControlTemplate& control, WindowSystem& system, HDLG dlg) {
    return (control.style & ui::kTabStop) != 0 && CanHoldFocus(control.kind) &&
           control.id != IDC_STATIC && TakesInput(system, dlg, control.id);
}

}  // namespace

int FirstTabStop(const DialogTemplate& dialog, WindowSystem& system, HDLG dlg) {
    for (const ControlTemplate& control : dialog.controls) {
        if (IsReachableTabStop(control, system, dlg))
            return control.id;
    }
    return 0;
}

int NextTabStop(const DialogTemplate& dialog, WindowSystem& system, HDLG dlg, int from,
                bool backward) {
    const int count = static_cast<int>(dialog.controls.size());
    int start = -1;
    for (int i = 0; i < count; ++i) {
        if (dialog.controls[i].id == from)
            start = i;
    }
    if (start < 0)
        return FirstTabStop(dialog, system, dlg);
    const int step = backward ? count - 1 : 1;
    for (int i = (start + step) % count; i != start; i = (i + step) % count) {
        if (IsReachableTabStop(dialog.controls[i], system, dlg))
            return dialog.controls[i].id;
    }
    return IsReachableTabStop(dialog.controls[start], system, dlg) ? from : 0;
}

std::optional<int> EnterCommand(const DialogTemplate& dialog, WindowSystem& system, HDLG dlg) {
    if (const ControlTemplate* focused = ui::FindControl(dialog, system.FocusedControl(dlg));
        focused != nullptr && IsPushButton(focused->kind)) {
        return focused->id;
    }
    for (const ControlTemplate& control : dialog.controls) {
        if (control.kind != ControlKind::DefPushButton)
            continue;
        const ui::Control* button = system.ControlOf(dlg, control.id);
        if (button == nullptr || !button->IsEnabled())
            return std::nullopt;
        return control.id;
    }
    return IDOK;
}

std::optional<int> CloseBoxCommand(WindowSystem& system, HDLG dlg) {
    if (const ui::Control* cancel = system.ControlOf(dlg, IDCANCEL);
        cancel != nullptr && !cancel->IsEnabled()) {
        return std::nullopt;
    }
    return IDCANCEL;
}

std::optional<UINT> KillFocusNotification(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return EN_KILLFOCUS;
        case ControlKind::DropDownList:
            return CBN_KILLFOCUS;
        default:
            // Buttons notify only with a style none of ours has; pickers and lists report focus
            // through a channel the dialogs do not handle.
            return std::nullopt;
    }
}

CString TypedText(const ControlTemplate& control, std::string_view typed) {
    if ((control.style & ui::kDigitsOnly) == 0)
        return CString(typed);
    std::string digits;
    for (char ch : typed) {
        if (ch >= '0' && ch <= '9')
            digits += ch;
    }
    return CString(std::move(digits));
}

CTime WithTimeOfDay(const CTime& value, int hour, int minute, int second) {
    std::tm fields{};
    if (value.GetLocalTm(&fields) == nullptr)
        return value;
    return CTime(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, hour, minute, second);
}

}  // namespace dialog_rules
