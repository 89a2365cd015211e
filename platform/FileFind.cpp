#include "platform/FileFind.h"

#include "platform/Mbcs.h"

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
    // The wide search, converted here, keeps names the code page cannot
    // hold from arriving as best-fit look-alikes that name no file.
    WCHAR szPattern[2 * MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, pstrName, -1, szPattern, 2 * MAX_PATH))
        return FALSE;
    m_hFind = ::FindFirstFileW(szPattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = TRUE;

    // The root is the pattern's folder, made absolute once per search.
    char szFull[MAX_PATH * 2];
    DWORD dwLength = ::GetFullPathNameA(pstrName, sizeof(szFull), szFull, nullptr);
    if (dwLength == 0 || dwLength >= sizeof(szFull))
        dwLength = static_cast<DWORD>(lstrlenA(lstrcpynA(szFull, pstrName, sizeof(szFull))));
    int nLength = static_cast<int>(dwLength);
    int nRoot = MbcsReverseFind(szFull, nLength, '\\') + 1;
    // Keep a drive root's backslash ("C:\"), drop any other folder's.
    m_bRootHasSeparator = nRoot >= 2 && szFull[nRoot - 2] == ':';
    if (nRoot > 0 && !m_bRootHasSeparator)
        --nRoot;
    m_strRoot = CString(szFull, nRoot);
    return TRUE;
}

void CFileFind::TakeNext()
{
    m_dwAttributes = m_next.dwFileAttributes;
    if (!MbcsFromWide(m_next.cFileName, m_szName, sizeof(m_szName)) && m_next.cAlternateFileName[0])
        MbcsFromWide(m_next.cAlternateFileName, m_szName, sizeof(m_szName));
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHaveNext)
        return FALSE;
    TakeNext();
    m_bHaveCurrent = TRUE;
    m_bHaveNext = ::FindNextFileW(m_hFind, &m_next);
    return m_bHaveNext;
}

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveCurrent || !MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    const char* psz = m_szName;
    return psz[0] == '.' && (psz[1] == '\0' || (psz[1] == '.' && psz[2] == '\0'));
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHaveCurrent && (m_dwAttributes & dwMask) != 0;
}

CString CFileFind::GetFilePath() const
{
    if (!m_bHaveCurrent)
        return CString();
    int nRoot = m_strRoot.GetLength();
    int nName = static_cast<int>(strlen(m_szName));
    BOOL bSeparator = nRoot > 0 && !m_bRootHasSeparator;
    CString strPath;
    LPSTR pBuffer = strPath.GetBuffer(nRoot + bSeparator + nName);
    memcpy(pBuffer, static_cast<LPCSTR>(m_strRoot), nRoot);
    if (bSeparator)
        pBuffer[nRoot] = '\\';
    memcpy(pBuffer + nRoot + bSeparator, m_szName, nName);
    strPath.ReleaseBuffer(nRoot + bSeparator + nName);
    return strPath;
}
