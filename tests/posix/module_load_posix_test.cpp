// The shipped module as a host sees it: what it exports, and that it can be unloaded.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "calvora/framework/afx.h"
#include "tests/support/process_runner.h"

namespace {

std::set<std::string> ExportTableNames() {
    std::ifstream table(CALVORA_EXPORT_TABLE);
    std::set<std::string> names;
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        int ordinal = 0;
        std::string name;
        fields >> ordinal >> name;
        names.insert(name);
    }
    return names;
}

TEST(ShippedModule, ExportsExactlyTheExportTable) {
    const ProcessResult symbols = RunProcess(
        {"/usr/bin/nm", "-D", "--defined-only", "--format=just-symbols", CALVORA_MODULE_PATH});
    ASSERT_EQ(symbols.exitCode, 0) << symbols.err;
    std::set<std::string> exported;
    std::istringstream lines(symbols.out);
    for (std::string name; std::getline(lines, name);) {
        if (!name.empty())
            exported.insert(name);
    }
    EXPECT_EQ(exported, ExportTableNames());
    EXPECT_EQ(exported.size(), 7u);
}

TEST(ShippedModule, UnloadsWhenTheHostReleasesIt) {
    void* module = dlopen(CALVORA_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    using PFN_GetConfigData = int (*)(CObList*);
    auto getConfigData = reinterpret_cast<PFN_GetConfigData>(dlsym(module, "GetConfigData"));
    ASSERT_NE(getConfigData, nullptr);
    CObList borrowed;
    EXPECT_EQ(getConfigData(&borrowed), 1);
    ASSERT_EQ(dlclose(module), 0);
    EXPECT_EQ(dlopen(CALVORA_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

}  // namespace
