// Message boxes with the platform's types (buttons and icon in the low bytes) and results.
#pragma once

#include "calvora/framework/cstring.h"

class QWidget;

// On the application's thread: a box modal for owner, returned from once it is closed.
int ExecMessageBox(QWidget* owner, const CString& text, const CString& caption, UINT type);

// From any other thread: the box is shown on the application's thread beside whatever is open
// there, blocking nothing but the calling thread until it is closed.
int ShowMessageBoxFromOtherThread(const CString& text, const CString& caption, UINT type);

// Without widgets to show a box with: the text on standard error; the box's first button.
int ReportMessageBox(const CString& text, UINT type);
