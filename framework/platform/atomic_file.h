// CAtomicFile: a file written under a temporary name beside its target and put in the
// target's place only when complete, so that a failed or interrupted write leaves the old
// file whole.
#pragma once

#include "framework/cfile.h"

class CAtomicFile : public CFile {
public:
    CAtomicFile() = default;
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFile() override;

    // Creates the temporary file for target; FALSE when that is not possible.
    BOOL OpenFor(LPCSTR target);
    // Brings the content to stable storage and replaces the target with it.
    BOOL Commit();

private:
    void Discard();

    CString m_strTarget;
    CString m_strTemporary;
};
