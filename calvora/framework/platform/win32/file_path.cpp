#include "calvora/framework/platform/file_path.h"

#include "calvora/framework/platform/win32/windows_sdk.h"

namespace platform {

FilePath::FilePath(const char* narrow) : m_native(win32::WideFromAnsi(narrow)) {}

std::string FilePath::Narrow() const {
    return win32::AnsiFromWide(m_native);
}

}  // namespace platform
