#include "platform/FileFind.h"

#include "platform/AnsiPath.h"
#include "platform/Mbcs.h"

#include <cstring>

namespace
{
const WCHAR kLongPrefix[] = L"\\\\?\\";
const WCHAR kLongUncPrefix[] = L"\\\\?\\UNC\\";

BOOL IsUncPath(LPCWSTR psz)
{
    return psz[0] == L'\\' && psz[1] == L'\\' && psz[2] != L'?' && psz[2] != L'.';
}

// A pattern of a folder at the full MAX_PATH - 1 plus "\\*.*", and the
// prefix that lets the wide search take it.
const int kPatternChars = 2 * MAX_PATH + 8;
// A name takes at most three bytes a character (UTF-8).
const int kMaxNameBytes = 3 * MAX_PATH;
} // namespace

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
    WCHAR szPattern[kPatternChars] = L"";
    WCHAR szUncPattern[kPatternChars + 8] = L"";
    int nPrefix = lstrlenW(kLongPrefix);
    int nWide = ::MultiByteToWideChar(CP_ACP, 0, pstrName, -1, szPattern + nPrefix, kPatternChars - nPrefix);
    if (!nWide)
        return FALSE;
    // A folder near MAX_PATH plus its pattern passes the limit, which the
    // prefix lifts for a drive path.
    LPCWSTR pszPattern = szPattern + nPrefix;
    if (nWide > MAX_PATH && pszPattern[0] && pszPattern[1] == L':' && pszPattern[2] == L'\\')
    {
        memcpy(szPattern, kLongPrefix, nPrefix * sizeof(WCHAR));
        pszPattern = szPattern;
    }
    else if (nWide > MAX_PATH && IsUncPath(pszPattern))
    {
        // \\server\share\... becomes \\?\UNC\server\share\...
        lstrcpyW(szUncPattern, kLongUncPrefix);
        lstrcatW(szUncPattern, pszPattern + 2);
        pszPattern = szUncPattern;
    }
    m_hFind = ::FindFirstFileW(pszPattern, &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = TRUE;
    return SetRoot(szPattern + nPrefix);
}

// The root is the pattern's folder, made absolute once per search. In wide
// characters: the ANSI call holds MAX_PATH bytes, which a folder of 100
// Chinese characters passes under UTF-8. One that cannot be held is not
// found, never cut.
BOOL CFileFind::SetRoot(LPCWSTR pszPattern)
{
    WCHAR szFull[kPatternChars];
    DWORD nFull = ::GetFullPathNameW(pszPattern, kPatternChars, szFull, nullptr);
    if (nFull == 0 || nFull >= static_cast<DWORD>(kPatternChars))
    {
        Close();
        return FALSE;
    }
    int nRoot = 0;
    for (DWORD i = 0; i < nFull; ++i)
        if (szFull[i] == L'\\')
            nRoot = static_cast<int>(i) + 1;
    // Keep a drive root's backslash ("C:\"), drop any other folder's.
    m_bRootHasSeparator = nRoot >= 2 && szFull[nRoot - 2] == L':';
    if (nRoot > 0 && !m_bRootHasSeparator)
        --nRoot;
    m_nRootWide = nRoot;
    int cbRoot = nRoot ? ::WideCharToMultiByte(CP_ACP, 0, szFull, nRoot, nullptr, 0, nullptr, nullptr) : 0;
    m_strRoot.Empty();
    if (cbRoot > 0)
    {
        ::WideCharToMultiByte(CP_ACP, 0, szFull, nRoot, m_strRoot.GetBuffer(cbRoot), cbRoot, nullptr, nullptr);
        m_strRoot.ReleaseBuffer(cbRoot);
    }
    return TRUE;
}

// Sets the path to the root, a separator and the name, when the name has an
// exact ANSI form and the whole fits in what an ANSI call takes.
BOOL CFileFind::JoinIfFits(LPCWSTR pszName) const
{
    BOOL bSeparator = !m_strRoot.IsEmpty() && !m_bRootHasSeparator;
    char szName[kMaxNameBytes];
    if (!pszName[0] || m_nRootWide + bSeparator + lstrlenW(pszName) >= MAX_PATH ||
        !MbcsFromWide(pszName, szName, sizeof(szName)))
        return FALSE;
    m_strPath = m_strRoot;
    if (bSeparator)
        m_strPath += '\\';
    m_strPath += szName;
    return TRUE;
}

void CFileFind::TakeNext()
{
    m_current = m_next;
    m_dwAttributes = m_current.dwFileAttributes;
    LPCWSTR pszName = m_current.cFileName;
    m_bDots = pszName[0] == L'.' && (pszName[1] == L'\0' || (pszName[1] == L'.' && pszName[2] == L'\0'));
    m_bPathMade = FALSE;
}

const CString& CFileFind::Path() const
{
    if (m_bPathMade)
        return m_strPath;
    m_bPathMade = TRUE;
    m_strPath.Empty();
    if (JoinIfFits(m_current.cFileName) || JoinIfFits(m_current.cAlternateFileName))
        return m_strPath;

    // Too long even with its short name: the short form of the whole path.
    WCHAR szFull[kPatternChars + MAX_PATH];
    int nRoot = ::MultiByteToWideChar(CP_ACP, 0, m_strRoot, m_strRoot.GetLength(), szFull, kPatternChars);
    if (nRoot <= 0 && !m_strRoot.IsEmpty())
        return m_strPath;
    szFull[nRoot] = L'\0';
    if (nRoot > 0 && !m_bRootHasSeparator)
        lstrcatW(szFull, L"\\");
    lstrcatW(szFull, m_current.cFileName);
    AnsiPathFromWide(szFull, m_strPath);
    return m_strPath;
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
    return m_bHaveCurrent && m_bDots && MatchesMask(FILE_ATTRIBUTE_DIRECTORY);
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHaveCurrent && (m_dwAttributes & dwMask) != 0;
}
