#pragma once

#include <windows.h>

#include "platform/String.h"

// The cause of a failed file operation, as a value: CFile fills one in, the
// caller asks it for a text to show.
class CFileException
{
public:
    enum Cause
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);

    // Sets the cause from a system error code and remembers the file.
    void SetFromOsError(LONG lOsError, LPCSTR lpszFileName);
    static int OsErrorToCause(LONG lOsError);

    // A text naming the file and the cause, cut to fit nMaxError bytes
    // including the terminator. There is no help file, so the context is 0.
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};
