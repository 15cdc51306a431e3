#include "framework/platform/atomic_file.h"

#include "framework/platform/file_system.h"

CAtomicFile::~CAtomicFile() { Discard(); }

BOOL CAtomicFile::OpenFor(LPCSTR target) {
    Discard();
    m_strTemporary = AfxCreateUniqueFileBeside(target);
    if (m_strTemporary.IsEmpty()) return FALSE;
    m_strTarget = target;
    if (Open(m_strTemporary, modeWrite | modeCreate | shareExclusive)) return TRUE;
    Discard();
    return FALSE;
}

BOOL CAtomicFile::Commit() {
    if (m_strTemporary.IsEmpty()) return FALSE;
    try {
        Flush();
        Close();
    } catch (const CException&) {
        Discard();
        return FALSE;
    }
    if (!AfxReplaceFile(m_strTemporary, m_strTarget)) {
        Discard();
        return FALSE;
    }
    m_strTemporary.Empty();
    return TRUE;
}

void CAtomicFile::Discard() {
    if (IsOpen()) Abort();
    if (!m_strTemporary.IsEmpty()) DeleteFileA(m_strTemporary);
    m_strTemporary.Empty();
}
