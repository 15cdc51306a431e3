// Template and control ids of the module's two dialogs. The two dialogs reuse some numbers
// (1004, 1005, 1024) for different controls, so each dialog's ids live in their own namespace.
#pragma once

#include "calvora/framework/afxres.h"

inline constexpr int IDD_PERIOD_LIST = 1000;
inline constexpr int IDD_PERIOD_EDIT = 1001;

namespace period_list_ids {
inline constexpr int IDC_PERIOD_LIST = 1001;
inline constexpr int IDC_ADD = 1003;
inline constexpr int IDC_EDIT = 1004;
inline constexpr int IDC_DELETE = 1005;
inline constexpr int IDC_EXIT = 1024;
inline constexpr int IDC_CANCEL_CHANGES = 1032;
}  // namespace period_list_ids

namespace period_edit_ids {
inline constexpr int IDC_YEAR_START = 1004;
inline constexpr int IDC_MONTH_START = 1005;
inline constexpr int IDC_DAY_START = 1008;
inline constexpr int IDC_YEAR_END = 1012;
inline constexpr int IDC_MONTH_END = 1013;
inline constexpr int IDC_DAY_END = 1016;
inline constexpr int IDC_PERIOD_ID = 1020;
inline constexpr int IDC_DESC = 1021;
inline constexpr int IDC_TIME_START = 1023;
inline constexpr int IDC_TIME_END = 1024;
inline constexpr int IDC_USE_WEEKDAYS = 1026;
inline constexpr int IDC_USE_DATES = 1027;
inline constexpr int IDC_WEEK_START = 1028;
inline constexpr int IDC_WEEK_END = 1029;
inline constexpr int IDC_CONFIRM = 1030;
}  // namespace period_edit_ids
