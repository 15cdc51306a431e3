// The constants the window classes use, with the platform's values. Each is guarded because the
// platform's own headers define the same names as macros.
#pragma once

#include "calvora/framework/afxres.h"

#ifndef SW_HIDE
#define SW_HIDE 0
#endif
#ifndef SW_SHOW
#define SW_SHOW 5
#endif
#ifndef MB_OK
#define MB_OK 0x00000000u
#endif
#ifndef MB_ICONEXCLAMATION
#define MB_ICONEXCLAMATION 0x00000030u
#endif
#ifndef BN_CLICKED
#define BN_CLICKED 0
#endif
#ifndef CBN_SELCHANGE
#define CBN_SELCHANGE 1
#endif
#ifndef CBN_KILLFOCUS
#define CBN_KILLFOCUS 4
#endif
#ifndef EN_KILLFOCUS
#define EN_KILLFOCUS 0x0200
#endif
// A list view's notification that a row was double-clicked (WM_NOTIFY).
#ifndef NM_DBLCLK
#define NM_DBLCLK (0u - 3u)
#endif
#ifndef BST_UNCHECKED
#define BST_UNCHECKED 0
#endif
#ifndef BST_CHECKED
#define BST_CHECKED 1
#endif
#ifndef LVCFMT_LEFT
#define LVCFMT_LEFT 0
#endif
#ifndef LVNI_ALL
#define LVNI_ALL 0x0000
#endif
#ifndef LVNI_FOCUSED
#define LVNI_FOCUSED 0x0001
#endif
#ifndef LVNI_SELECTED
#define LVNI_SELECTED 0x0002
#endif
#ifndef LVIS_FOCUSED
#define LVIS_FOCUSED 0x0001u
#endif
#ifndef LVIS_SELECTED
#define LVIS_SELECTED 0x0002u
#endif
#ifndef LVIS_STATEIMAGEMASK
#define LVIS_STATEIMAGEMASK 0xF000u
#endif
#ifndef INDEXTOSTATEIMAGEMASK
#define INDEXTOSTATEIMAGEMASK(i) ((i) << 12)
#endif
#ifndef LVS_EX_GRIDLINES
#define LVS_EX_GRIDLINES 0x00000001u
#endif
#ifndef LVS_EX_CHECKBOXES
#define LVS_EX_CHECKBOXES 0x00000004u
#endif
#ifndef LVS_EX_FULLROWSELECT
#define LVS_EX_FULLROWSELECT 0x00000020u
#endif
#ifndef LVS_EX_ONECLICKACTIVATE
#define LVS_EX_ONECLICKACTIVATE 0x00000040u
#endif
