#include "calvora/framework/platform/module_services.h"

#include <vector>

CString AfxGetModuleFileName(HMODULE hModule) {
    std::vector<char> buffer(260);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(hModule, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return CString();
        if (length < buffer.size() - 1)
            return CString(buffer.data(), static_cast<int>(length));
        buffer.resize(buffer.size() * 2);  // may have been cut off: try a larger buffer
    }
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
