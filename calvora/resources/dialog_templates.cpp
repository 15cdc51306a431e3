#include "calvora/resources/dialog_templates.h"

namespace resources {

using namespace ui;

namespace {

constexpr unsigned short kChinesePrc = 0x0804;
constexpr const char* kFont = "宋体";
constexpr const char* const kWeekdays[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};

constexpr unsigned kNumberEdit = kDisabled | kBorder | kTabStop | kDigitsOnly | kAutoHScroll;
constexpr unsigned kWeekdayList = kDisabled | kVScroll | kTabStop;
constexpr unsigned kTimePicker = kTabStop | kTimeFormat | kRightAlign;

using enum ControlKind;

// One row per control, so that the table reads like the template.
// clang-format off
constexpr ControlTemplate kPeriodListControls[] = {
    {period_list_ids::IDC_PERIOD_LIST, ListView, "", 7, 7, 247, 182, kBorder | kTabStop | kEditLabels, {}},
    {period_list_ids::IDC_ADD, PushButton, "添加", 260, 16, 42, 14, kTabStop, {}},
    {period_list_ids::IDC_EDIT, PushButton, "编辑", 260, 38, 42, 14, kTabStop, {}},
    {period_list_ids::IDC_DELETE, PushButton, "删除", 260, 62, 42, 14, kTabStop, {}},
    {period_list_ids::IDC_EXIT, PushButton, "退出", 260, 86, 42, 15, kTabStop, {}},
    {IDOK, DefPushButton, "确定", 79, 199, 43, 14, kTabStop, {}},
    {period_list_ids::IDC_CANCEL_CHANGES, PushButton, "取消", 159, 199, 43, 14, kTabStop, {}},
};

constexpr ControlTemplate kPeriodEditControls[] = {
    {period_edit_ids::IDC_DESC, Edit, "", 57, 24, 128, 14, kBorder | kTabStop | kAutoHScroll, {}},
    {period_edit_ids::IDC_USE_DATES, AutoCheckBox, "起止日期设置", 7, 42, 197, 10, kTabStop, {}},
    {period_edit_ids::IDC_YEAR_START, Edit, "", 50, 63, 34, 13, kNumberEdit, {}},
    {period_edit_ids::IDC_YEAR_END, Edit, "", 160, 64, 34, 13, kNumberEdit, {}},
    {period_edit_ids::IDC_MONTH_START, Edit, "", 50, 80, 34, 13, kNumberEdit, {}},
    {period_edit_ids::IDC_MONTH_END, Edit, "", 160, 83, 34, 13, kNumberEdit, {}},
    {period_edit_ids::IDC_DAY_START, Edit, "", 50, 99, 34, 13, kNumberEdit, {}},
    {period_edit_ids::IDC_DAY_END, Edit, "", 160, 100, 34, 13, kNumberEdit, {}},
    {period_edit_ids::IDC_WEEK_START, DropDownList, "", 48, 139, 35, 84, kWeekdayList, kWeekdays},
    {period_edit_ids::IDC_WEEK_END, DropDownList, "", 159, 139, 35, 84, kWeekdayList, kWeekdays},
    {period_edit_ids::IDC_TIME_START, DateTimePicker, "", 24, 177, 61, 15, kTimePicker, {}},
    {period_edit_ids::IDC_TIME_END, DateTimePicker, "", 139, 177, 58, 15, kTimePicker, {}},
    {period_edit_ids::IDC_CONFIRM, DefPushButton, "确定", 43, 207, 50, 14, kTabStop, {}},
    {IDCANCEL, PushButton, "取消", 119, 206, 50, 14, kTabStop, {}},
    {IDC_STATIC, Label, "年：", 14, 66, 31, 8, 0, {}},
    {IDC_STATIC, Label, "月：", 14, 83, 31, 8, 0, {}},
    {IDC_STATIC, Label, "星期：", 15, 141, 30, 8, 0, {}},
    {IDC_STATIC, Label, "日：", 14, 102, 31, 8, 0, {}},
    {IDC_STATIC, GroupBox, "", 7, 52, 197, 65, 0, {}},
    {IDC_STATIC, Label, "年：", 121, 66, 35, 8, 0, {}},
    {IDC_STATIC, Label, "月：", 121, 83, 35, 8, 0, {}},
    {IDC_STATIC, Label, "星期：", 122, 141, 32, 8, 0, {}},
    {IDC_STATIC, Label, "日：", 121, 102, 35, 8, 0, {}},
    {IDC_STATIC, GroupBox, "起止时间设置", 8, 167, 196, 34, 0, {}},
    {period_edit_ids::IDC_PERIOD_ID, Edit, "", 57, 11, 40, 12, kReadOnly | kTabStop | kAutoHScroll, {}},
    {IDC_STATIC, Label, "序号：", 7, 11, 45, 8, 0, {}},
    {IDC_STATIC, Label, "描述：", 8, 26, 45, 8, 0, {}},
    {IDC_STATIC, Label, "至", 102, 181, 23, 8, 0, {}},
    {period_edit_ids::IDC_USE_WEEKDAYS, AutoCheckBox, "设置起止星期", 8, 123, 196, 10, kTabStop, {}},
    {IDC_STATIC, GroupBox, "", 7, 131, 197, 25, 0, {}},
    {IDC_STATIC, Label, "至", 101, 140, 9, 8, 0, {}},
    {IDC_STATIC, Label, "至", 100, 84, 15, 8, 0, {}},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_PERIOD_LIST, kChinesePrc, "时段设置窗口", 309, 220, kFont, 10,
     kModalFrame | kCaption | kSysMenu, kPeriodListControls},
    {IDD_PERIOD_EDIT, kChinesePrc, "增加时间段", 211, 230, kFont, 10,
     kModalFrame | kPopup | kCaption | kSysMenu, kPeriodEditControls},
};

// clang-format on

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    return FindTemplate(kTemplates, id);
}

std::span<const DialogTemplate> AllDialogTemplates() {
    return kTemplates;
}

std::span<const char* const> WeekdayItems() {
    return kWeekdays;
}

}  // namespace resources
