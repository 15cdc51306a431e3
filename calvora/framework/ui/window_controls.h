// The controls of an open dialog as a window system hands them out (WindowSystem::ControlOf,
// ListViewOf, ...): one small interface per kind of control. A handed-out control stays valid
// until its dialog's modal loop returns; the dialog classes ask for it afresh on every use.
//
// Member names avoid the platform headers' A/W macros (GetWindowText, ...), so an implementation
// may include those headers freely.
#pragma once

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/ctime.h"

namespace ui {

// What every control answers: its text (an edit's contents, a button's caption), whether it is
// enabled and visible, and the keyboard focus.
class Control {
public:
    virtual CString Text() const = 0;
    virtual void SetText(const CString& text) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void Enable(bool enable) = 0;
    // The control's own flag, whether or not its dialog is on screen yet.
    virtual bool IsVisible() const = 0;
    virtual void Show(bool show) = 0;
    // Moves the focus here; the control that loses it raises its kill-focus notification.
    virtual void Focus() = 0;

protected:
    ~Control() = default;
};

// Check boxes and push buttons: BST_UNCHECKED or BST_CHECKED.
class Button {
public:
    virtual int Check() const = 0;
    virtual void SetCheck(int check) = 0;

protected:
    ~Button() = default;
};

// Drop-down lists: -1 = no selection; an index outside the items clears the selection.
class ComboBox {
public:
    virtual int Selection() const = 0;
    virtual void SetSelection(int index) = 0;
    virtual int Count() const = 0;

protected:
    ~ComboBox() = default;
};

// Date-time pickers hold a whole instant; the operator changes only its time of day.
class TimeEditor {
public:
    virtual CTime Time() const = 0;
    virtual void SetTime(const CTime& value) = 0;

protected:
    ~TimeEditor() = default;
};

// How a list view shows its rows: the platform list's extended styles the dialogs choose.
struct ListLook {
    bool gridLines = false;
    bool fullRowSelect = false;
    bool tickBoxes = false;
    bool oneClickActivate = false;

    bool operator==(const ListLook&) const = default;
};

// The platform list's extended style bits (LVS_EX_*) and the look they give, both ways; bits
// with no part in the look are dropped.
ListLook ListLookOf(DWORD extendedStyle);
DWORD ExtendedStyleOf(const ListLook& look);

// List views in report view, in rows: each row has a text per column, a pointer-sized value, a
// tick (with tick boxes), whether it is selected, and at most one row has the focus frame. Row
// and column indexes from 0; a bad row changes nothing and answers -1, false or empty.
class ListView {
public:
    // Columns are left-aligned, as the dialogs' are.
    virtual int InsertColumn(int column, const CString& heading, int width) = 0;
    // Inserts at row, or at the end when row is past it; returns the new row's index. A new
    // row is unticked, not selected and has no focus.
    virtual int InsertRow(int row, const CString& text) = 0;
    virtual bool DeleteRow(int row) = 0;
    virtual int RowCount() const = 0;
    virtual bool SetCellText(int row, int column, const CString& text) = 0;
    virtual CString CellText(int row, int column) const = 0;
    virtual bool SetRowData(int row, DWORD_PTR data) = 0;
    virtual DWORD_PTR RowData(int row) const = 0;
    // No row of a list without tick boxes is ticked; turning them on unticks every row.
    virtual bool IsTicked(int row) const = 0;
    virtual bool SetTicked(int row, bool ticked) = 0;
    virtual bool IsSelected(int row) const = 0;
    virtual bool SetSelected(int row, bool selected) = 0;
    // The row with the focus frame, -1 when none has it.
    virtual int FocusedRow() const = 0;
    // Moves the focus frame to row, or takes it from every row with -1; the selection stays.
    virtual bool SetFocusedRow(int row) = 0;
    virtual ListLook Look() const = 0;
    virtual void SetLook(const ListLook& look) = 0;
    // Scrolls the row wholly into view.
    virtual bool ScrollTo(int row) = 0;

protected:
    ~ListView() = default;
};

}  // namespace ui
