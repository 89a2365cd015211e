#pragma once

#include <windows.h>

#include "platform/FileException.h"

// A binary file owned by handle; closed on destruction. Failures come back as
// values: FALSE or 0, with the cause in an optional CFileException.
class CFile
{
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile();

    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    ULONGLONG GetLength() const;
    // The bytes read; 0 at the end of the file or on failure (see pError).
    UINT Read(void* lpBuf, UINT nCount, CFileException* pError = nullptr);
    BOOL Write(const void* lpBuf, UINT nCount, CFileException* pError = nullptr);
    void Close();

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strFileName;
};
