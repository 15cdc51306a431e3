// Dialog templates as data: the one description of a dialog that every window system renders.
// A binary registers its table of templates once; CDialog finds its template there by id, as a
// dialog finds its resource in the module that holds it.
#pragma once

#include <span>

namespace ui {

enum class ControlKind {
    Label,  // static text, aligned left
    GroupBox,
    Edit,
    PushButton,
    DefPushButton,   // the dialog's default button
    AutoCheckBox,    // toggles itself when clicked
    DropDownList,    // combo box without typing, items unsorted
    DateTimePicker,  // always holds a value
    ListView,        // report view; several rows can be selected at once
};

// Style flags of a control, independent of any window system's bit values.
enum ControlStyle : unsigned {
    kTabStop = 1u << 0,
    kDisabled = 1u << 1,
    kBorder = 1u << 2,
    kAutoHScroll = 1u << 3,
    kDigitsOnly = 1u << 4,
    kReadOnly = 1u << 5,
    kVScroll = 1u << 6,
    kTimeFormat = 1u << 7,  // a time-of-day picker with spin buttons
    kRightAlign = 1u << 8,
    kEditLabels = 1u << 9,
};

enum DialogStyle : unsigned {
    kModalFrame = 1u << 0,
    kPopup = 1u << 1,
    kCaption = 1u << 2,
    kSysMenu = 1u << 3,
};

// Positions and sizes are in dialog units; texts are code page 936 bytes.
struct ControlTemplate {
    int id;  // IDC_STATIC for controls nothing refers to
    ControlKind kind;
    const char* text;
    int x, y, cx, cy;
    unsigned style;
    std::span<const char* const> items;  // initial items of a drop-down list
};

struct DialogTemplate {
    int id;
    unsigned short language;  // a Windows language id
    const char* caption;
    int cx, cy;
    const char* fontFace;
    int pointSize;
    unsigned style;
    std::span<const ControlTemplate> controls;  // in template order, which is the tab order
};

// The template with that id in the table, or nullptr.
const DialogTemplate* FindTemplate(std::span<const DialogTemplate> table, int id);

// The control with that id in the template, or nullptr.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

}  // namespace ui

// Registers this binary's dialog templates (a table that lives as long as the process); a
// later call replaces the table.
void AfxSetDialogTemplates(std::span<const ui::DialogTemplate> templates);

// The registered template with that id, or nullptr.
const ui::DialogTemplate* AfxFindDialogTemplate(int id);
