// The module's store on a list and data file of its own, for tests that call it in process.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/framework/carchive.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"
#include "tests/support/module_store.h"

// Calls the store's exports on the module's own list and data file.
class StoreTest : public testing::Test, protected ModuleStore {
protected:
    void Receive(const std::string& bytes) {
        std::string copy = bytes;
        CMemFile file(reinterpret_cast<BYTE*>(copy.data()), static_cast<UINT>(copy.size()));
        CArchive archive(&file, CArchive::load);
        ReceiveObjListFromArchive(&archive);
    }
};
