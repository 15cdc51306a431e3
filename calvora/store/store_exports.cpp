// The host is lent pointers, never ownership: GetConfigData appends the module's own periods,
// which stay the module's. A received list replaces the module's only once it has been read
// whole; its periods then move into the module's list.
#include "calvora/api/calvora_api.h"
#include "calvora/framework/carchive.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_app.h"
#include "calvora/store/period_store.h"

namespace {

// Sets a flag for the lifetime of the object, clearing it on every way out.
class FlagScope {
public:
    explicit FlagScope(BOOL& flag) : m_flag(flag) { m_flag = 1; }
    ~FlagScope() { m_flag = 0; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    BOOL& m_flag;
};

}  // namespace

CALVORA_EXPORT int CALVORA_CDECL GetConfigData(CObList* list) {
    if (list != nullptr && g_periodList != nullptr) {
        list->AddTail(g_periodList);
        NotePeriodsLent();
    }
    return 1;
}

CALVORA_EXPORT void CALVORA_CDECL ReceiveObjListFromArchive(CArchive* archive) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (archive == nullptr || g_periodList == nullptr)
        return;

    // Read everything first: a damaged archive leaves the module's list and file as they were.
    CObList received(10);
    try {
        SerializePeriodList(received, *archive);
    } catch (...) {
        DeleteAllPeriods(received);
        throw;
    }
    DeleteAllPeriods(*g_periodList);
    g_periodList->AddTail(&received);
    received.RemoveAll();
    NotePeriodListChanged();

    FlagScope receiving(theApp.m_bReceiving);
    theApp.SaveData();
}
