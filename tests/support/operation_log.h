// The operation log messages the list dialog writes, and the selection as a vector, for the
// flow tests of every window system.
#pragma once

#include <string>
#include <vector>

#include "calvora/framework/cdwordarray.h"
#include "calvora/framework/cstring.h"

inline constexpr const char* kLogSeparator = "|){(}|$";

inline std::string Logged(const char* message, int number, const char* desc) {
    return std::string(message) + " 序号:" + std::to_string(number) + " 描述:" + desc +
           kLogSeparator;
}
inline std::string Added(int n, const char* d) {
    return Logged("增加安全时段", n, d);
}
inline std::string Modified(int n, const char* d) {
    return Logged("修改安全时段", n, d);
}
inline std::string Deleted(int n, const char* d) {
    return Logged("删除安全时段", n, d);
}
inline std::string Ticked(int n, const char* d) {
    return Logged("勾选安全时段", n, d);
}
inline std::string Unticked(int n, const char* d) {
    return Logged("取消勾选安全时段", n, d);
}

inline std::vector<DWORD> Numbers(const CDWordArray& array) {
    return std::vector<DWORD>(array.GetData(), array.GetData() + array.GetSize());
}

inline void Assign(CDWordArray& array, const std::vector<DWORD>& numbers) {
    array.SetSize(0);
    for (DWORD number : numbers)
        array.Add(number);
}

inline std::string Text(const CString& text) {
    return std::string(text.View());
}
