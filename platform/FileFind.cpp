#include "platform/FileFind.h"

#include <cstring>

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
    {
        ::FindClose(m_hFind);
        m_hFind = INVALID_HANDLE_VALUE;
    }
    m_bHaveCurrent = m_bHaveNext = FALSE;
}

BOOL CFileFind::FindFile(LPCSTR pstrName)
{
    Close();
    if (!pstrName)
        pstrName = "*.*";
    m_hFind = ::FindFirstFileA(pstrName, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = TRUE;

    // The root is the pattern's folder, made absolute once per search.
    char szFull[MAX_PATH * 2];
    LPSTR pszFilePart = nullptr;
    DWORD dwLength = ::GetFullPathNameA(pstrName, sizeof(szFull), szFull, &pszFilePart);
    if (dwLength == 0 || dwLength >= sizeof(szFull))
    {
        lstrcpynA(szFull, pstrName, sizeof(szFull));
        pszFilePart = strrchr(szFull, '\\');
        pszFilePart = pszFilePart ? pszFilePart + 1 : szFull;
    }
    else if (!pszFilePart)
    {
        pszFilePart = szFull + dwLength;
    }
    int nRoot = static_cast<int>(pszFilePart - szFull);
    // Keep a drive root's backslash ("C:\"), drop any other folder's.
    if (nRoot > 0 && szFull[nRoot - 1] == '\\' && !(nRoot >= 2 && szFull[nRoot - 2] == ':'))
        --nRoot;
    m_strRoot = CString(szFull, nRoot);
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHaveNext)
        return FALSE;
    m_current = m_next;
    m_bHaveCurrent = TRUE;
    m_bHaveNext = ::FindNextFileA(m_hFind, &m_next);
    return m_bHaveNext;
}

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveCurrent || !MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    const char* psz = m_current.cFileName;
    return psz[0] == '.' && (psz[1] == '\0' || (psz[1] == '.' && psz[2] == '\0'));
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHaveCurrent && (m_current.dwFileAttributes & dwMask) != 0;
}

CString CFileFind::GetFilePath() const
{
    if (!m_bHaveCurrent)
        return CString();
    int nRoot = m_strRoot.GetLength();
    int nName = static_cast<int>(strlen(m_current.cFileName));
    BOOL bSeparator = nRoot > 0 && m_strRoot[nRoot - 1] != '\\';
    CString strPath;
    LPSTR pBuffer = strPath.GetBuffer(nRoot + bSeparator + nName);
    memcpy(pBuffer, static_cast<LPCSTR>(m_strRoot), nRoot);
    if (bSeparator)
        pBuffer[nRoot] = '\\';
    memcpy(pBuffer + nRoot + bSeparator, m_current.cFileName, nName);
    strPath.ReleaseBuffer(nRoot + bSeparator + nName);
    return strPath;
}
