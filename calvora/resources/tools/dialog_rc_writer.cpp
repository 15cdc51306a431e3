// Writes the dialog templates as a resource script for the resource compiler, so that the
// Windows module carries them as real dialog resources. The script is UTF-8; the texts in the
// table are code page 936.
#include <cstdio>
#include <fstream>
#include <string>

#include "calvora/framework/platform/text_encoding.h"
#include "calvora/resources/dialog_templates.h"

namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;

// A quoted string of the script: a quote is doubled and a backslash escaped.
std::string Quoted(const char* cp936) {
    std::string quoted = "\"";
    for (char ch : Cp936ToUtf8(cp936)) {
        if (ch == '"')
            quoted += '"';
        if (ch == '\\')
            quoted += '\\';
        quoted += ch;
    }
    return quoted + '"';
}

struct ClassAndStyle {
    const char* windowClass;
    std::string style;
};

ClassAndStyle ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {"Static", "SS_LEFT"};
        case ControlKind::GroupBox:
            return {"Button", "BS_GROUPBOX"};
        case ControlKind::Edit:
            return {"Edit", "ES_LEFT"};
        case ControlKind::PushButton:
            return {"Button", "BS_PUSHBUTTON"};
        case ControlKind::DefPushButton:
            return {"Button", "BS_DEFPUSHBUTTON"};
        case ControlKind::AutoCheckBox:
            return {"Button", "BS_AUTOCHECKBOX"};
        case ControlKind::DropDownList:
            return {"ComboBox", "CBS_DROPDOWNLIST"};
        case ControlKind::DateTimePicker:
            return {"SysDateTimePick32", "0"};
        case ControlKind::ListView:
            return {"SysListView32", "LVS_REPORT"};
    }
    return {"Static", "0"};
}

std::string ControlStyle(const ControlTemplate& control) {
    using namespace ui;
    std::string style = "WS_CHILD | WS_VISIBLE | " + ClassOf(control.kind).style;
    const struct {
        unsigned flag;
        const char* bits;
    } flags[] = {
        {kTabStop, "WS_TABSTOP"},        {kDisabled, "WS_DISABLED"},
        {kBorder, "WS_BORDER"},          {kAutoHScroll, "ES_AUTOHSCROLL"},
        {kDigitsOnly, "ES_NUMBER"},      {kReadOnly, "ES_READONLY"},
        {kVScroll, "WS_VSCROLL"},        {kTimeFormat, "DTS_TIMEFORMAT | DTS_UPDOWN"},
        {kRightAlign, "DTS_RIGHTALIGN"}, {kEditLabels, "LVS_EDITLABELS"},
    };
    for (const auto& flag : flags) {
        if (control.style & flag.flag)
            style += std::string(" | ") + flag.bits;
    }
    return style;
}

std::string DialogStyle(unsigned style) {
    using namespace ui;
    std::string bits = "DS_SETFONT";
    if (style & kModalFrame)
        bits += " | DS_MODALFRAME";
    if (style & kPopup)
        bits += " | WS_POPUP";
    if (style & kCaption)
        bits += " | WS_CAPTION";
    if (style & kSysMenu)
        bits += " | WS_SYSMENU";
    return bits;
}

void WriteDialog(std::ostream& out, const DialogTemplate& dialog) {
    out << "LANGUAGE " << (dialog.language & 0x3FF) << ", " << (dialog.language >> 10) << "\n"
        << dialog.id << " DIALOGEX 0, 0, " << dialog.cx << ", " << dialog.cy << "\n"
        << "STYLE " << DialogStyle(dialog.style) << "\n"
        << "CAPTION " << Quoted(dialog.caption) << "\n"
        << "FONT " << dialog.pointSize << ", " << Quoted(dialog.fontFace) << "\n"
        << "BEGIN\n";
    for (const ControlTemplate& control : dialog.controls) {
        out << "    CONTROL " << Quoted(control.text) << ", " << control.id << ", \""
            << ClassOf(control.kind).windowClass << "\", " << ControlStyle(control) << ", "
            << control.x << ", " << control.y << ", " << control.cx << ", " << control.cy << "\n";
    }
    out << "END\n\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: dialog_rc_writer OUTPUT.rc\n", stderr);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Generated from the dialog template table; do not edit.\n"
           "#include <windows.h>\n#include <commctrl.h>\n#pragma code_page(65001)\n\n";
    for (const DialogTemplate& dialog : resources::AllDialogTemplates())
        WriteDialog(out, dialog);
    out.close();
    return out ? 0 : 1;
}
