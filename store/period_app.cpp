#include "store/period_app.h"

#include <cstdlib>
#include <memory>

#include "api/sync_library.h"
#include "framework/atomic_file.h"
#include "framework/carchive.h"
#include "framework/platform/file_system.h"
#include "framework/platform/module_services.h"
#include "periods/period_records.h"
#include "store/period_store.h"

namespace {

constexpr int kArchiveBufferSize = 4096;

// Hands the saved list to the synchronisation library, if there is one. Nothing it does or
// throws may stop the save.
void PushToSyncLibrary(CObList* list) {
    const HMODULE library = LoadLibraryA("Vessamark.dll");  // stays loaded for the process
    if (library == nullptr)
        return;
    const auto send = AfxGetProcAddress<PFN_SendObjlistToRemote>(library, "SendObjlistToRemote");
    if (send == nullptr)
        return;
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

// Writes the list into an open file, pushing it before the archive is closed when push is
// set; FALSE when writing failed.
BOOL WriteList(CObList* list, CFile& file, BOOL push) {
    try {
        CArchive archive(&file, CArchive::store, kArchiveBufferSize);
        SerializePeriodList(*list, archive);
        if (push)
            PushToSyncLibrary(list);
        archive.Close();
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// SavePeriodList with the push made or left out as push says.
BOOL WritePeriodFile(CObList* list, const CString& path, BOOL push) {
    if (path.IsEmpty())
        return FALSE;  // no data file beside the host could be named
    CFileFind finder;
    const BOOL exists = finder.FindFile(path);
    if (exists && !AfxIsFileWritable(path))
        return FALSE;  // cannot be opened: no write, no push

    // A data file start-up could not read to its end is kept before anything replaces it, if
    // a copy can be made at all. The list in memory is what counts: without a copy the save
    // goes on, and no later save tries again.
    if (exists && theApp.m_bKeepUnreadFile) {
        AfxKeepCopyOf(path, FreeBadFileName(path));
        theApp.m_bKeepUnreadFile = 0;
    }

    CAtomicFile replacement;
    if (replacement.OpenFor(path)) {
        return WriteList(list, replacement, push) && replacement.Commit();
    }
    // It cannot be replaced: rewrite it in place, from a complete copy in memory, so that the
    // old content stays whole until the new one is ready and has its room.
    CFile file;
    if (!AfxOpenForRewrite(file, path))
        return FALSE;
    CMemFile content;
    if (!WriteList(list, content, push))
        return FALSE;
    const UINT size = static_cast<UINT>(content.GetLength());
    const std::unique_ptr<BYTE, decltype(&free)> bytes(content.Detach(), &free);
    return AfxRewriteFile(file, bytes.get(), size);
}

}  // namespace

CPeriodApp::CPeriodApp() {
    SetPeriodArchiveSchemaFlag(&m_bTmFormat);
}

CPeriodApp::~CPeriodApp() {
    SetPeriodArchiveSchemaFlag(nullptr);
    if (g_periodList == nullptr)
        return;
    DeleteAllPeriods(*g_periodList);
    delete g_periodList;
    g_periodList = nullptr;
}

BOOL CPeriodApp::InitInstance() {
    g_periodList = new CObList(10);
    m_bTmFormat = 1;
    const CString stem = DataPathStem(AfxGetModuleFileName(nullptr));
    if (stem.IsEmpty())
        return CWinApp::InitInstance();  // no file to read, none to save
    const CString currentFile = stem + "tm";
    const CString legacyFile = stem + "dat";
    CFileFind finder;

    m_strDataPath = currentFile;
    if (finder.FindFile(currentFile)) {
        m_bKeepUnreadFile = LoadPeriodList(g_periodList, m_strDataPath) != LoadOutcome::Complete;
    } else if (finder.FindFile(legacyFile)) {
        m_bTmFormat = 0;
        const LoadOutcome legacy = LoadPeriodList(g_periodList, legacyFile);
        m_bTmFormat = 1;
        // The migration is finished on disk before the sync library sees the list, so that a
        // library that ends the process costs one push, not a migration at every start. The
        // legacy file goes only once everything in it is safely in the current file.
        if (WritePeriodFile(g_periodList, m_strDataPath, FALSE)) {
            if (legacy == LoadOutcome::Complete)
                DeleteFileA(legacyFile);
            PushToSyncLibrary(g_periodList);
        }
    }
    return CWinApp::InitInstance();
}

void CPeriodApp::SaveData() {
    SavePeriodList(g_periodList, m_strDataPath);
}

LoadOutcome LoadPeriodList(CObList* list, CString path) {
    // Readers share a lock that keeps out only a writer rewriting the file in place, and wait
    // for that one a bounded time. Behind one that hangs, reading unlocked beats starting
    // empty: a file not read to its end is kept before anything replaces it.
    const UINT reading = CFile::modeRead | CFile::modeNoTruncate | CFile::modeRegularOnly;
    CFile file;
    if (!AfxOpenWaiting(file, path, reading | CFile::shareDenyWrite, kAfxLockWaitMilliseconds) &&
        !file.Open(path, reading | CFile::shareDenyNone)) {
        return LoadOutcome::NotOpened;
    }
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
    return WritePeriodFile(list, path, !theApp.m_bReceiving);
}
