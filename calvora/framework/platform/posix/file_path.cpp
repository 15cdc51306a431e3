#include "calvora/framework/platform/file_path.h"

namespace platform {

FilePath::FilePath(const char* narrow) : m_native(narrow == nullptr ? "" : narrow) {}

std::string FilePath::Narrow() const {
    return m_native;
}

}  // namespace platform
