// Tips with the whole text of a list view's cell that its column cuts, as the Qt build shows
// them: the text appears beside the pointer while it rests on such a cell.
#pragma once

// clang-format off
#include "calvora/framework/platform/win32/windows_sdk.h"
// clang-format on

#include <string>

namespace win32 {

// The text of a list view's cell, however long.
std::wstring ListCellText(HWND list, int row, int column);

// Gives the list its tips for as long as it exists.
void ShowCutCellTips(HWND list);

}  // namespace win32
