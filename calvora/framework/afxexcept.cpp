#include "calvora/framework/afxexcept.h"

void AfxThrowMemoryException() {
    throw CMemoryException();
}

void AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName) {
    throw CArchiveException(cause, lpszArchiveName);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName) {
    throw CFileException(cause, lOsError, lpszFileName);
}
