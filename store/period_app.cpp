#include "store/period_app.h"

#include "framework/carchive.h"
#include "framework/platform/atomic_file.h"
#include "framework/platform/file_system.h"
#include "framework/platform/module_services.h"
#include "periods/period_records.h"
#include "store/period_store.h"
#include "store/sync_library.h"

namespace {

constexpr int kArchiveBufferSize = 4096;

// Hands the saved list to the synchronisation library, if there is one. Nothing it does or
// throws may stop the save.
void PushToSyncLibrary(CObList* list) {
    const HMODULE library = LoadLibraryA("Vessamark.dll");  // stays loaded for the process
    if (library == nullptr) return;
    const auto send = AfxGetProcAddress<PFN_SendObjlistToRemote>(library, "SendObjlistToRemote");
    if (send == nullptr) return;
    try {
        CString moduleName = CString(AfxGetModuleState()->m_lpszCurrentAppName) + ".dll";
        send(moduleName, list);
    } catch (...) {
    }
}

// A name beside path that no file has yet: path.bad, path.bad1, path.bad2, ...
CString FreeBadFileName(const CString& path) {
    CFileFind finder;
    CString candidate = path + ".bad";
    for (int n = 1; finder.FindFile(candidate); ++n) {
        candidate.Format("%s.bad%d", static_cast<LPCSTR>(path), n);
    }
    return candidate;
}

// Writes the list into an open file and pushes it; FALSE when writing failed.
BOOL WriteList(CObList* list, CFile& file) {
    try {
        CArchive archive(&file, CArchive::store, kArchiveBufferSize);
        SerializePeriodList(*list, archive);
        if (!theApp.m_bReceiving) PushToSyncLibrary(list);
        archive.Close();
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

CPeriodApp::CPeriodApp() { SetPeriodArchiveSchemaFlag(&m_bTmFormat); }

CPeriodApp::~CPeriodApp() {
    SetPeriodArchiveSchemaFlag(nullptr);
    if (g_periodList == nullptr) return;
    DeleteAllPeriods(*g_periodList);
    delete g_periodList;
    g_periodList = nullptr;
}

CString DataPathStem(const CString& executablePath) {
    const std::string& path = executablePath.Bytes();
    const std::size_t nameStart = path.find_last_of("/\\") + 1;  // npos + 1 == 0
    const std::size_t nameLength = path.size() - nameStart;
    if (nameLength >= 4 && path[path.size() - 4] == '.') return executablePath.Left(executablePath.GetLength() - 3);
    return executablePath + ".";
}

BOOL CPeriodApp::InitInstance() {
    g_periodList = new CObList(10);
    const CString stem = DataPathStem(AfxGetModuleFileName(nullptr));
    const CString currentFile = stem + "tm";
    const CString legacyFile = stem + "dat";
    CFileFind finder;

    if (finder.FindFile(currentFile)) {
        m_strDataPath = currentFile;
        m_bTmFormat = 1;
        m_bKeepUnreadFile = LoadPeriodList(g_periodList, m_strDataPath) != LoadOutcome::Complete;
    } else if (finder.FindFile(legacyFile)) {
        m_bTmFormat = 0;
        const LoadOutcome legacy = LoadPeriodList(g_periodList, legacyFile);
        m_strDataPath = currentFile;
        m_bTmFormat = 1;
        // The legacy file goes only once everything in it is safely in the current file.
        if (SavePeriodList(g_periodList, m_strDataPath) && legacy == LoadOutcome::Complete) {
            DeleteFileA(legacyFile);
        }
    } else {
        m_strDataPath = currentFile;
        m_bTmFormat = 1;
    }
    return CWinApp::InitInstance();
}

void CPeriodApp::SaveData() { SavePeriodList(g_periodList, m_strDataPath); }

LoadOutcome LoadPeriodList(CObList* list, CString path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::modeNoTruncate)) return LoadOutcome::NotOpened;
    try {
        CArchive archive(&file, CArchive::load, kArchiveBufferSize);
        SerializePeriodList(*list, archive);
        archive.Close();
        return LoadOutcome::Complete;
    } catch (...) {
        return LoadOutcome::Incomplete;
    }
}

BOOL SavePeriodList(CObList* list, CString path) {
    CFileFind finder;
    const BOOL exists = finder.FindFile(path);
    if (exists && !AfxIsFileWritable(path)) return FALSE;  // cannot be opened: no write, no push

    // A data file start-up could not read to its end is kept before anything replaces it.
    if (exists && theApp.m_bKeepUnreadFile) {
        if (!AfxKeepCopyOf(path, FreeBadFileName(path))) return FALSE;
        theApp.m_bKeepUnreadFile = 0;
    }

    CAtomicFile replacement;
    if (replacement.OpenFor(path)) {
        return WriteList(list, replacement) && replacement.Commit();
    }
    // No temporary file can be made beside it: write in place, as a last resort.
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) return FALSE;
    return WriteList(list, file);
}
