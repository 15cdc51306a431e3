// theApp owns g_periodList and every period in it from InitInstance on. A save makes the file's
// bytes in memory before it touches the data file, so that failing to make them leaves the file as
// it was; the file is replaced whole where it can be, and rewritten in place otherwise; only then,
// with every lock let go, is the list pushed.
#include "calvora/store/period_app.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "calvora/api/sync_library.h"
#include "calvora/framework/atomic_file.h"
#include "calvora/framework/carchive.h"
#include "calvora/framework/platform/file_system.h"
#include "calvora/framework/platform/module_services.h"
#include "calvora/periods/period_records.h"
#include "calvora/store/period_store.h"

namespace {

constexpr int kArchiveBufferSize = 4096;
constexpr int kNoDataFile = -1;  // the reason of a save without a path; hosts check that first
// A load reads the file in blocks of up to this size, a small file in one read.
constexpr ULONGLONG kMaxLoadBufferSize = 1 << 20;

int LoadBufferSize(const CFile& file) {
    try {
        return static_cast<int>(
            std::clamp<ULONGLONG>(file.GetLength(), kArchiveBufferSize, kMaxLoadBufferSize));
    } catch (const CFileException&) {
        return kArchiveBufferSize;
    }
}

// Appends the periods of a data file to a list straight from the file, and takes them out
// again when the read does not count.
class PeriodFileReader final : public CSettledFileReader {
public:
    explicit PeriodFileReader(CObList& list) : m_list(list), m_nBefore(list.GetCount()) {}

    void Read(CFile& file) override {
        m_outcome = LoadOutcome::Complete;
        try {
            CArchive archive(&file, CArchive::load, LoadBufferSize(file));
            SerializePeriodList(m_list, archive);
            archive.Close();
        } catch (const CFileException&) {
            throw;  // the file, not its content, failed
        } catch (...) {
            m_outcome = LoadOutcome::Incomplete;
        }
    }
    void Discard() noexcept override {
        while (m_list.GetCount() > m_nBefore)
            delete m_list.RemoveTail();
    }
    LoadOutcome Outcome() const { return m_outcome; }

private:
    CObList& m_list;
    const int m_nBefore;
    LoadOutcome m_outcome = LoadOutcome::NotOpened;
};

// Hands the saved list to the synchronisation library, if there is one. Nothing it does or
// throws may stop the save.
void PushToSyncLibrary(CObList* list) {
    const HMODULE library = LoadLibraryA("Vessamark.dll");  // stays loaded for the process
    if (library == nullptr)
        return;
    const auto send = AfxGetProcAddress<PFN_SendObjlistToRemote>(library, "SendObjlistToRemote");
    if (send == nullptr) {
        // A library built without exporting its entry point would otherwise go unnoticed.
        static bool told = false;
        if (!told) {
            told = true;
            std::fputs(
                "Calvora: Vessamark.dll exports no SendObjlistToRemote; saved lists are not "
                "pushed\n",
                stderr);
        }
        return;
    }
    try {
        CString moduleName = CString(AfxGetModuleState()->m_lpszCurrentAppName) + ".dll";
        send(moduleName, list);
    } catch (...) {
    }
}

// A name beside path that no file has yet: path.bad, path.bad1, path.bad2, ...
platform::FilePath FreeBadFileName(const platform::FilePath& path) {
    CFileFind finder;
    platform::FilePath candidate = path + ".bad";
    for (int n = 1; finder.FindFile(candidate); ++n)
        candidate = path + ".bad" + std::to_string(n);
    return candidate;
}

// The bytes of the list as the data file holds them; 0 or the reason they could not be made.
int ArchiveBytes(CObList* list, CMemFile& content) {
    try {
        CArchive archive(&content, CArchive::store, kArchiveBufferSize);
        SerializePeriodList(*list, archive);
        archive.Close();
        return 0;
    } catch (const CFileException& error) {
        return error.m_lOsError;
    } catch (...) {
        return platform::kOutOfMemory;
    }
}

int WriteAtomically(CAtomicFile& replacement, const BYTE* bytes, UINT size) {
    try {
        replacement.Write(bytes, size);
    } catch (const CFileException& error) {
        return error.m_lOsError;
    }
    return replacement.Commit() ? 0 : platform::LastSystemError();
}

// Writes the list to the data file at path: 0 once the file holds it, else the system's
// reason. Links are followed only where nobody but their owner and root could have put them
// (AfxResolveLinks); one anywhere else is replaced by the save, never written through. Every
// lock is let go before it returns, so that the push after it keeps no other process waiting.
int WritePeriodFile(CObList* list, const platform::FilePath& path) {
    if (path.IsEmpty())
        return kNoDataFile;
    const platform::FilePath target = AfxResolveLinks(path);
    CFileFind finder;
    const BOOL exists = !AfxIsSymbolicLink(target) && finder.FindFile(target);
    if (exists && !AfxIsFileWritable(target))
        return platform::LastSystemError();  // cannot be opened: no write, no push
    CMemFile content;
    if (const int error = ArchiveBytes(list, content))
        return error;
    const UINT size = static_cast<UINT>(content.GetLength());
    const std::unique_ptr<BYTE, decltype(&free)> bytes(content.Detach(), &free);

    // A data file start-up could not read to its end is kept, beside itself, before anything
    // replaces it, if a copy can be made at all. The list in memory is what counts: without a
    // copy the save goes on, and no later save tries again.
    if (theApp.m_bKeepUnreadFile) {
        if (exists)
            AfxKeepCopyWaiting(target, FreeBadFileName(target));
        theApp.m_bKeepUnreadFile = 0;
    }

    CAtomicFile replacement;
    if (replacement.OpenFor(target))
        return WriteAtomically(replacement, bytes.get(), size);
    if (!exists)
        return platform::LastSystemError();  // nothing to rewrite in place
    // It cannot be replaced: rewrite it in place, holding it only for the write of bytes
    // already complete in memory, so that the old content stays whole until they have room.
    CHeldFile file;
    if (!AfxOpenForRewrite(file, target) || !AfxRewriteFile(file, bytes.get(), size))
        return platform::LastSystemError();
    return 0;
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
    NotePeriodListChanged();
}

BOOL CPeriodApp::InitInstance() {
    g_periodList = new CObList(10);
    NotePeriodListChanged();
    m_bTmFormat = 1;
    const platform::FilePath stem = DataPathStem(AfxGetModuleFilePath(nullptr));
    if (stem.IsEmpty())
        return CWinApp::InitInstance();  // no file to read, none to save
    const platform::FilePath currentFile = stem + "tm";
    const platform::FilePath legacyFile = stem + "dat";
    CFileFind finder;

    m_dataPath = currentFile;
    if (finder.FindFile(currentFile)) {
        m_bKeepUnreadFile = LoadPeriodList(g_periodList, m_dataPath) != LoadOutcome::Complete;
    } else if (finder.FindFile(legacyFile)) {
        m_bTmFormat = 0;
        const LoadOutcome legacy = LoadPeriodList(g_periodList, legacyFile);
        m_bTmFormat = 1;
        // The migration is finished on disk before the sync library sees the list, so that a
        // library that ends the process costs one push, not a migration at every start. The
        // legacy file goes only once everything in it is safely in the current file. One that
        // could not be read stays for the next start: a current file written now would hide it
        // from every later one.
        if (legacy != LoadOutcome::NotOpened && WritePeriodFile(g_periodList, m_dataPath) == 0) {
            if (legacy == LoadOutcome::Complete)
                AfxDeleteFile(legacyFile);
            PushToSyncLibrary(g_periodList);
        }
    }
    NotePeriodListChanged();
    return CWinApp::InitInstance();
}

void CPeriodApp::SaveData() {
    SavePeriodList(g_periodList, m_dataPath);
}

LoadOutcome LoadPeriodList(CObList* list, const platform::FilePath& path) {
    PeriodFileReader reader(*list);
    if (!AfxReadSettledFile(path, reader))
        return LoadOutcome::NotOpened;
    return reader.Outcome();
}

BOOL SavePeriodList(CObList* list, const platform::FilePath& path) {
    // The sync library hands on what this host saved: only a list on disk is pushed.
    const int error = WritePeriodFile(list, path);
    if (error == 0 && !theApp.m_bReceiving)
        PushToSyncLibrary(list);
    platform::SetLastSystemError(error);
    return error == 0;
}
