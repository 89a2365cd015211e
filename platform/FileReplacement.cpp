#include "platform/FileReplacement.h"

#include "platform/File.h"
#include "platform/FileException.h"

#include <cwctype>

namespace
{
const char kPartialPrefix[] = "vlm";
// A write takes well under a second; a partial file older than this was
// left by a run that was killed, and no live run still needs it.
const ULONGLONG kStalePartialAge = 10ULL * 60 * 10000000; // 10 minutes in 100 ns units
const int kMaxHexDigits = 4;

ULONGLONG AsNumber(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The form GetTempFileName gives our partial files. The search pattern alone
// would also match through short names ("vlmnotes.tmpx" is "VLMNOT~1.TMP").
BOOL IsPartialFileName(LPCWSTR pszName)
{
    if (_wcsnicmp(pszName, L"vlm", 3) != 0)
        return FALSE;
    int nDigits = 0;
    for (pszName += 3; iswxdigit(*pszName) && nDigits <= kMaxHexDigits; ++pszName)
        ++nDigits;
    return nDigits >= 1 && nDigits <= kMaxHexDigits && _wcsicmp(pszName, L".tmp") == 0;
}

// The folder of a path with its backslash ("C:\\" for "C:\\x.bmp").
CString FolderOf(const CString& strPath)
{
    int nSlash = strPath.ReverseFind('\\');
    return nSlash >= 0 ? strPath.Left(nSlash + 1) : CString(".\\");
}
} // namespace

void RemoveStalePartialFiles(const CString& strFolder)
{
    // The folder comes from our own ANSI paths, so it fits MAX_PATH.
    WCHAR szFolder[MAX_PATH];
    int nFolder = ::MultiByteToWideChar(CP_ACP, 0, strFolder, -1, szFolder, MAX_PATH);
    WCHAR szPath[2 * MAX_PATH];
    if (nFolder <= 0 || nFolder + 8 > MAX_PATH)
        return;
    lstrcpyW(szPath, szFolder);
    lstrcatW(szPath, L"vlm*.tmp");
    WIN32_FIND_DATAW entry;
    HANDLE hFind = ::FindFirstFileW(szPath, &entry);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    do
    {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsPartialFileName(entry.cFileName) ||
            AsNumber(entry.ftLastWriteTime) + kStalePartialAge >= AsNumber(now))
            continue;
        lstrcpyW(szPath, szFolder);
        lstrcatW(szPath, entry.cFileName);
        ::DeleteFileW(szPath); // one still open elsewhere stays
    } while (::FindNextFileW(hFind, &entry));
    ::FindClose(hFind);
}

namespace
{
// A new partial file's name in the folder, made by the wide call: the ANSI
// one holds MAX_PATH bytes, which a folder under UTF-8 may pass.
BOOL MakePartialFile(const CString& strFolder, CString& strPartial)
{
    strPartial.Empty();
    // The call takes a folder of MAX_PATH - 14 characters at most (wine
    // returns a cut name past that instead of failing).
    int nFolder = ::MultiByteToWideChar(CP_ACP, 0, strFolder, -1, nullptr, 0);
    if (nFolder <= 0 || nFolder - 1 > MAX_PATH - 14)
    {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    WCHAR szFolder[MAX_PATH];
    WCHAR szPartial[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, strFolder, -1, szFolder, MAX_PATH);
    if (!::GetTempFileNameW(szFolder, L"vlm", 0, szPartial))
        return FALSE;
    int cbPartial = ::WideCharToMultiByte(CP_ACP, 0, szPartial, -1, nullptr, 0, nullptr, nullptr);
    if (cbPartial > 0 &&
        ::WideCharToMultiByte(CP_ACP, 0, szPartial, -1, strPartial.GetBuffer(cbPartial), cbPartial, nullptr, nullptr))
    {
        strPartial.ReleaseBuffer();
        return TRUE;
    }
    strPartial.ReleaseBuffer(0);
    ::DeleteFileW(szPartial);
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
}
} // namespace

CFileReplacement::~CFileReplacement()
{
    Discard();
}

void CFileReplacement::Discard()
{
    if (!m_strPartial.IsEmpty())
        ::DeleteFileA(m_strPartial);
    m_strPartial.Empty();
}

BOOL CFileReplacement::Fail(CFileException* pError)
{
    Discard();
    pError->m_strFileName = m_strPath; // the user knows the target, not our partial file
    return FALSE;
}

BOOL CFileReplacement::Begin(const CString& strPath, const void* pData, UINT nSize, CFileException* pError)
{
    Discard();
    m_strPath = strPath;
    CString strFolder = FolderOf(strPath);
    RemoveStalePartialFiles(strFolder);
    if (!MakePartialFile(strFolder, m_strPartial))
    {
        pError->SetFromOsError(static_cast<LONG>(::GetLastError()), strPath);
        return Fail(pError);
    }
    CFile file;
    if (!file.Open(m_strPartial, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, pError))
        return Fail(pError);
    BOOL bWritten = file.Write(pData, nSize, pError);
    file.Close();
    return bWritten || Fail(pError);
}

BOOL CFileReplacement::Commit(CFileException* pError)
{
    if (m_strPartial.IsEmpty() || !::MoveFileExA(m_strPartial, m_strPath, MOVEFILE_REPLACE_EXISTING))
    {
        pError->SetFromOsError(static_cast<LONG>(::GetLastError()), m_strPath);
        return Fail(pError);
    }
    m_strPartial.Empty();
    return TRUE;
}

BOOL ReplaceFileWhole(const CString& strPath, const void* pData, UINT nSize, CFileException* pError)
{
    CFileReplacement replacement;
    return replacement.Begin(strPath, pData, nSize, pError) && replacement.Commit(pError);
}
