#include "calvora/framework/platform/module_services.h"

CString AfxGetModuleFileName(HMODULE hModule) {
    return CString(AfxGetModuleFilePath(hModule).Narrow());
}

CString AfxFileTitleOf(const CString& path) {
    const std::string& bytes = path.Bytes();
    const std::size_t slash = bytes.find_last_of("/\\");
    std::string name = slash == std::string::npos ? bytes : bytes.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0)
        name.resize(dot);
    return CString(std::move(name));
}
