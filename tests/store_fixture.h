// The module's store on a list and data file of its own, for tests that call it in process.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/carchive.h"
#include "periods/period_records.h"
#include "plugin/calvora_api.h"
#include "store/period_app.h"
#include "store/period_store.h"
#include "tests/support/environment.h"
#include "tests/support/process_runner.h"

// The module's list and data file in a fresh directory for each test.
class StoreTest : public testing::Test {
protected:
    void SetUp() override {
        g_periodList = new CObList(10);
        theApp.m_bTmFormat = 1;
        theApp.m_strDataPath = CString((m_dir / "host.tm").c_str());
        SetEnvironment("CALVORA_SYNC_LOG", m_dir / "sync.log");
    }
    void TearDown() override {
        UnsetEnvironment("CALVORA_SYNC_LOG");
        DeleteAllPeriods(*g_periodList);
        delete g_periodList;
        g_periodList = nullptr;
        theApp.m_strDataPath.Empty();
        theApp.m_bKeepUnreadFile = 0;
    }
    std::string DataFile() const { return m_dir / "host.tm"; }
    std::vector<int> ModuleNumbers() const {
        std::vector<int> numbers;
        for (POSITION pos = g_periodList->GetHeadPosition(); pos != nullptr;) {
            numbers.push_back(static_cast<CTimeZone*>(g_periodList->GetNext(pos))->GetID());
        }
        return numbers;
    }
    void Receive(const std::string& bytes) {
        std::string copy = bytes;
        CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
        CArchive archive(&file, CArchive::load);
        ReceiveObjListFromArchive(&archive);
    }

    TempDir m_dir;
};
