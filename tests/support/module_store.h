// The module's store on a list, data file and sync log of its own in a fresh directory, for
// tests that drive the module in process. Held as a base of a test fixture: it is set up
// before the fixture's SetUp and taken down after its TearDown.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "calvora/periods/period_records.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"
#include "tests/support/environment.h"
#include "tests/support/period_files.h"
#include "tests/support/process_runner.h"

class ModuleStore {
public:
    using Periods = std::vector<std::pair<int, std::string>>;

    // The directory goes under parent.
    explicit ModuleStore(
        const std::filesystem::path& parent = std::filesystem::temp_directory_path())
        : m_dir(parent) {
        g_periodList = new CObList(10);
        NotePeriodListChanged();
        theApp.m_bTmFormat = 1;
        theApp.m_dataPath = DataFile().c_str();
        SetEnvironment("CALVORA_SYNC_LOG", m_dir / "sync.log");
    }
    ~ModuleStore() {
        UnsetEnvironment("CALVORA_SYNC_LOG");
        DeleteAllPeriods(*g_periodList);
        delete g_periodList;
        g_periodList = nullptr;
        NotePeriodListChanged();
        theApp.m_dataPath.Empty();
        theApp.m_bKeepUnreadFile = 0;
    }
    ModuleStore(const ModuleStore&) = delete;
    ModuleStore& operator=(const ModuleStore&) = delete;

    std::string DataFile() const { return m_dir / "host.tm"; }
    std::string SyncLog() const { return ReadWholeFile(m_dir / "sync.log"); }
    std::vector<int> FileNumbers() const { return ArchivedNumbers(ReadWholeFile(DataFile())); }

    static Periods ModulePeriods() {
        Periods periods;
        for (POSITION pos = g_periodList->GetHeadPosition(); pos != nullptr;) {
            const auto* period = static_cast<CTimeZone*>(g_periodList->GetNext(pos));
            periods.emplace_back(period->m_nID, std::string(period->m_strDesc.View()));
        }
        return periods;
    }
    static std::vector<int> ModuleNumbers() {
        std::vector<int> numbers;
        for (const auto& period : ModulePeriods())
            numbers.push_back(period.first);
        return numbers;
    }

    TempDir m_dir;
};
