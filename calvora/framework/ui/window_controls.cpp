#include "calvora/framework/ui/window_controls.h"

#include "calvora/framework/winconst.h"

namespace ui {

ListLook ListLookOf(DWORD extendedStyle) {
    ListLook look;
    look.gridLines = (extendedStyle & LVS_EX_GRIDLINES) != 0;
    look.fullRowSelect = (extendedStyle & LVS_EX_FULLROWSELECT) != 0;
    look.tickBoxes = (extendedStyle & LVS_EX_CHECKBOXES) != 0;
    look.oneClickActivate = (extendedStyle & LVS_EX_ONECLICKACTIVATE) != 0;
    return look;
}

DWORD ExtendedStyleOf(const ListLook& look) {
    DWORD style = 0;
    style |= look.gridLines ? LVS_EX_GRIDLINES : 0u;
    style |= look.fullRowSelect ? LVS_EX_FULLROWSELECT : 0u;
    style |= look.tickBoxes ? LVS_EX_CHECKBOXES : 0u;
    style |= look.oneClickActivate ? LVS_EX_ONECLICKACTIVATE : 0u;
    return style;
}

}  // namespace ui
