// A tracking tooltip owned by the list's dialog, moved and filled from the list's own mouse
// messages (a window subclass), so that each cell gets its own text; the state lives in the
// subclass's reference data and goes with the list's WM_NCDESTROY.
// clang-format off
#include "calvora/framework/platform/win32/windows_sdk.h"
#include <commctrl.h>
// clang-format on

#include "calvora/framework/ui/win32/cell_tips.h"

#include <string>

namespace win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
// The list view draws a cell's text this far inside the cell on either side.
constexpr int kTextMargin = 6;

struct CellTips {
    HWND tip = nullptr;
    TTTOOLINFOW tool{};
    int row = -1;
    int column = -1;
    std::wstring text;  // the tip's text, which the tooltip reads from here
};

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(window, message, wParam, lParam);
}

// The cell's whole text when its column is too narrow for it; empty otherwise.
std::wstring CutText(HWND list, int row, int column) {
    std::wstring text = ListCellText(list, row, column);
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    if (text.empty() ||
        !Send(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
        return {};
    const auto width = static_cast<int>(
        Send(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    return width + 2 * kTextMargin > cell.right - cell.left ? text : std::wstring();
}

void Hide(CellTips& tips) {
    Send(tips.tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tips.tool));
    tips.row = tips.column = -1;
}

void Follow(HWND list, CellTips& tips, LPARAM position) {
    LVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    const auto row =
        static_cast<int>(Send(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row == tips.row && hit.iSubItem == tips.column)
        return;
    Hide(tips);
    if (row < 0)
        return;
    tips.row = row;
    tips.column = hit.iSubItem;
    tips.text = CutText(list, row, hit.iSubItem);
    if (tips.text.empty())
        return;
    tips.tool.lpszText = tips.text.data();
    Send(tips.tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tips.tool));
    POINT below = hit.pt;
    ClientToScreen(list, &below);
    Send(tips.tip, TTM_TRACKPOSITION, 0, MAKELPARAM(below.x + 12, below.y + 20));
    Send(tips.tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tips.tool));
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
    auto* tips = reinterpret_cast<CellTips*>(data);
    switch (message) {
        case WM_MOUSEMOVE: {
            TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, list, 0};
            TrackMouseEvent(&leave);
            Follow(list, *tips, lParam);
            break;
        }
        case WM_MOUSELEAVE:
        case WM_MOUSEWHEEL:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_KEYDOWN:
            Hide(*tips);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(list, ListProc, kSubclassId);
            DestroyWindow(tips->tip);
            delete tips;
            break;
        default:
            break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

std::wstring ListCellText(HWND list, int row, int column) {
    // The control copies at most the buffer's size: grow it until the text fits.
    for (std::size_t size = 256;; size *= 2) {
        std::wstring buffer(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(Send(
            list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size)
            return buffer.substr(0, length);
    }
}

void ShowCutCellTips(HWND list) {
    const HWND tip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, GetParent(list), nullptr, nullptr, nullptr);
    if (tip == nullptr)
        return;
    auto* tips = new CellTips;
    tips->tip = tip;
    tips->tool.cbSize = sizeof tips->tool;
    tips->tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tips->tool.hwnd = GetParent(list);
    tips->tool.uId = reinterpret_cast<UINT_PTR>(list);
    tips->tool.lpszText = tips->text.data();
    Send(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tips->tool));
    if (!SetWindowSubclass(list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(tips))) {
        DestroyWindow(tip);
        delete tips;
    }
}

}  // namespace win32
