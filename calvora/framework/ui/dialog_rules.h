// The dialog manager's rules, shared by every window system that does not get them from the
// platform: Enter, the close box, the tab order, which controls take input, kill-focus
// notifications, digits-only edits and time-of-day pickers.
#pragma once

#include <optional>
#include <string_view>

#include "calvora/framework/ui/window_system.h"

namespace dialog_rules {

// A control the operator can reach: it exists, is visible and is enabled.
bool TakesInput(WindowSystem& system, HDLG dlg, int id);

// Whether a control of this kind can hold the keyboard focus at all.
bool CanHoldFocus(ui::ControlKind kind);

bool IsPushButton(ui::ControlKind kind);

// Push buttons and check boxes: the controls with a check state.
bool IsButton(ui::ControlKind kind);

// What a window system hands out for a control of the given kind, from its object that
// implements every control interface.
template <typename EveryInterface>
WindowSystem::ControlParts PartsOfKind(EveryInterface& control, ui::ControlKind kind) {
    WindowSystem::ControlParts parts;
    parts.control = &control;
    if (IsButton(kind))
        parts.button = &control;
    if (kind == ui::ControlKind::DropDownList)
        parts.comboBox = &control;
    if (kind == ui::ControlKind::DateTimePicker)
        parts.timeEditor = &control;
    if (kind == ui::ControlKind::ListView)
        parts.listView = &control;
    return parts;
}

// The first tab stop that takes input, 0 when none: where the focus goes after initialisation.
int FirstTabStop(const ui::DialogTemplate& dialog, WindowSystem& system, HDLG dlg);

// The tab stop after (or before) the control `from`, wrapping round; 0 when none.
int NextTabStop(const ui::DialogTemplate& dialog, WindowSystem& system, HDLG dlg, int from,
                bool backward);

// The command Enter sends: the focused push button, else the default button if it is enabled
// (hidden or not), else IDOK when the template has no default button. Nothing when the default
// button is disabled.
std::optional<int> EnterCommand(const ui::DialogTemplate& dialog, WindowSystem& system, HDLG dlg);

// Escape always sends IDCANCEL; the close box does too unless an IDCANCEL control is disabled.
std::optional<int> CloseBoxCommand(WindowSystem& system, HDLG dlg);

// The notification a control of this kind raises when it loses the focus, if any.
std::optional<UINT> KillFocusNotification(ui::ControlKind kind);

// What typing `typed` leaves in an edit: a digits-only edit drops every other character.
CString TypedText(const ui::ControlTemplate& control, std::string_view typed);

// value with its local time of day replaced and its date kept; value itself when it cannot be
// broken down into local time.
CTime WithTimeOfDay(const CTime& value, int hour, int minute, int second);

}  // namespace dialog_rules
