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

// List views in report view. Row and column indexes from 0; failures answer -1 or false.
class ListView {
public:
    virtual int InsertColumn(int column, const CString& heading, int format, int width) = 0;
    // Inserts at row, or at the end when row is past it; returns the new row's index.
    virtual int InsertItem(int row, const CString& text) = 0;
    virtual bool DeleteItem(int row) = 0;
    virtual int ItemCount() const = 0;
    virtual bool SetItemText(int row, int column, const CString& text) = 0;
    virtual CString ItemText(int row, int column) const = 0;
    virtual bool SetItemData(int row, DWORD_PTR data) = 0;
    virtual DWORD_PTR ItemData(int row) const = 0;
    // Item states with the platform's bits: LVIS_FOCUSED, LVIS_SELECTED and the state image
    // index in LVIS_STATEIMAGEMASK (1 = unticked, 2 = ticked). Row -1 sets every row.
    virtual UINT ItemState(int row, UINT mask) const = 0;
    virtual bool SetItemState(int row, UINT state, UINT mask) = 0;
    virtual DWORD ExtendedStyle() const = 0;
    // Replaces all extended styles.
    virtual void SetExtendedStyle(DWORD style) = 0;

protected:
    ~ListView() = default;
};

}  // namespace ui
