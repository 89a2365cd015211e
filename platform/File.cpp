#include "platform/File.h"

CFile::~CFile()
{
    Close();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Close();
    m_strFileName = lpszFileName;

    DWORD dwAccess = GENERIC_READ;
    switch (nOpenFlags & 3)
    {
    case modeWrite:
        dwAccess = GENERIC_WRITE;
        break;
    case modeReadWrite:
        dwAccess = GENERIC_READ | GENERIC_WRITE;
        break;
    }

    DWORD dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE; // compatibility and deny-none
    switch (nOpenFlags & 0x70)
    {
    case shareExclusive:
        dwShare = 0;
        break;
    case shareDenyWrite:
        dwShare = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        dwShare = FILE_SHARE_WRITE;
        break;
    }

    DWORD dwCreation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        dwCreation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};
    m_hFile = ::CreateFileA(lpszFileName, dwAccess, dwShare, &sa, dwCreation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
    {
        if (pError)
            pError->SetFromOsError(static_cast<LONG>(::GetLastError()), lpszFileName);
        return FALSE;
    }
    return TRUE;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size = {};
    if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_hFile, &size))
        return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

UINT CFile::Read(void* lpBuf, UINT nCount, CFileException* pError)
{
    DWORD dwRead = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr))
    {
        if (pError)
            pError->SetFromOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
        return 0;
    }
    return dwRead;
}

BOOL CFile::Write(const void* lpBuf, UINT nCount, CFileException* pError)
{
    DWORD dwWritten = 0;
    if (!::WriteFile(m_hFile, lpBuf, nCount, &dwWritten, nullptr))
    {
        if (pError)
            pError->SetFromOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
        return FALSE;
    }
    if (dwWritten != nCount) // a short write without an error: the volume filled up
    {
        if (pError)
            pError->SetFromOsError(ERROR_DISK_FULL, m_strFileName);
        return FALSE;
    }
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
    {
        ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}
