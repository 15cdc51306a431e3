// Stands in for a program the module starts: writes its arguments, one per line, to a file
// named after its own file with ".args" appended. The file is written under a temporary name
// and renamed, so that a reader sees it complete or not at all.
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/platform/module_services.h"

int main(int argc, char** argv) {
    const std::string record = std::string(AfxGetModuleFileName(nullptr)) + ".args";
    {
        std::ofstream out(record + ".tmp", std::ios::binary);
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
        if (!out)
            return 1;
    }
    std::error_code error;
    std::filesystem::rename(record + ".tmp", record, error);
    return error ? 1 : 0;
}
