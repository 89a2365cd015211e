#include "platform/FileReplacement.h"

#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/HeldFileRetry.h"
#include "platform/Mbcs.h"
#include "platform/ScopedHandle.h"

#include <cwctype>
#include <string>

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

BOOL CFileReplacement::FailWithLastError(CFileException* pError)
{
    pError->SetFromOsError(static_cast<LONG>(::GetLastError()), m_strPath);
    return Fail(pError);
}

BOOL CFileReplacement::Commit(CFileException* pError)
{
    if (m_strPartial.IsEmpty() || !::MoveFileExA(m_strPartial, m_strPath, MOVEFILE_REPLACE_EXISTING))
        return FailWithLastError(pError);
    m_strPartial.Empty();
    return TRUE;
}

namespace
{
// What a user may have set on a file and a copy can take over. The archive
// bit is set on the copy instead, as on every write, so that a backup
// program that cleared it sees the change.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
const WCHAR kBackupSuffix[] = L".bak";

HANDLE OpenExisting(LPCWSTR pszPath, DWORD dwAccess, DWORD dwShare, DWORD dwFlags = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE hFile = INVALID_HANDLE_VALUE;
    RetryWhileHeld(
        [&] {
            hFile = ::CreateFileW(pszPath, dwAccess, dwShare, nullptr, OPEN_EXISTING, dwFlags, nullptr);
            return hFile != INVALID_HANDLE_VALUE;
        },
        FALSE);
    return hFile;
}

BOOL FlushFile(LPCWSTR pszPath)
{
    CScopedHandle file(OpenExisting(pszPath, GENERIC_WRITE, FILE_SHARE_READ));
    return file.IsValid() && ::FlushFileBuffers(file.Get());
}

// The whole content of an open file (a settings file: small), from its start.
BOOL ReadAll(HANDLE hFile, std::string& strBytes)
{
    LARGE_INTEGER size = {}, start = {};
    if (!::GetFileSizeEx(hFile, &size) || size.QuadPart > MAXDWORD ||
        !::SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN))
        return FALSE;
    strBytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD dwRead = 0;
    return strBytes.empty() ||
           (::ReadFile(hFile, &strBytes[0], static_cast<DWORD>(strBytes.size()), &dwRead, nullptr) &&
            dwRead == strBytes.size());
}

BOOL SetSize(HANDLE hFile, size_t nSize)
{
    LARGE_INTEGER position = {};
    position.QuadPart = static_cast<LONGLONG>(nSize);
    return ::SetFilePointerEx(hFile, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(hFile);
}

BOOL WriteFromStart(HANDLE hFile, const std::string& strBytes)
{
    LARGE_INTEGER start = {};
    DWORD dwWritten = 0;
    return ::SetFilePointerEx(hFile, start, nullptr, FILE_BEGIN) &&
           (strBytes.empty() ||
            (::WriteFile(hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &dwWritten, nullptr) &&
             dwWritten == strBytes.size()));
}

// Whether other names lead to the file's content, which a replacement would
// take from them: more hard links, or the name is a symbolic link. Other
// reparse points (cloud placeholders, deduplicated files) are files of
// their own.
BOOL IsLinked(LPCWSTR pszPath)
{
    CScopedHandle file(
        OpenExisting(pszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_FLAG_OPEN_REPARSE_POINT));
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file.IsValid())
        return FALSE;
    if (::GetFileInformationByHandleEx(file.Get(), FileAttributeTagInfo, &tag, sizeof(tag)) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return tag.ReparseTag == static_cast<DWORD>(IO_REPARSE_TAG_SYMLINK);
    return ::GetFileInformationByHandle(file.Get(), &info) && info.nNumberOfLinks > 1;
}

BOOL WriteNewFile(LPCWSTR pszPath, const std::string& strBytes)
{
    CScopedHandle file(
        ::CreateFileW(pszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() && WriteFromStart(file.Get(), strBytes) && ::FlushFileBuffers(file.Get());
}

// The new content written into the target itself, which no one else may
// open meanwhile: a reader would see old and new bytes mixed. The file
// first grows to the larger of both sizes, so that a full disk fails before
// any byte changes; after a later failure the old content is put back, or
// where even that fails, kept under the backup name.
BOOL WriteInPlace(LPCWSTR pszTarget, LPCWSTR pszPartial, LPCWSTR pszBackup)
{
    std::string strNew, strOld;
    CScopedHandle partial(OpenExisting(pszPartial, GENERIC_READ, FILE_SHARE_READ));
    if (!partial.IsValid() || !ReadAll(partial.Get(), strNew))
        return FALSE;
    CScopedHandle target(OpenExisting(pszTarget, GENERIC_READ | GENERIC_WRITE, 0));
    if (!target.IsValid() || !ReadAll(target.Get(), strOld))
        return FALSE;
    if (!SetSize(target.Get(), strNew.size() > strOld.size() ? strNew.size() : strOld.size()))
    {
        DWORD dwError = ::GetLastError();
        SetSize(target.Get(), strOld.size());
        ::SetLastError(dwError);
        return FALSE;
    }
    if (WriteFromStart(target.Get(), strNew) && SetSize(target.Get(), strNew.size()) &&
        ::FlushFileBuffers(target.Get()))
        return TRUE;
    DWORD dwError = ::GetLastError();
    if (!WriteFromStart(target.Get(), strOld) || !SetSize(target.Get(), strOld.size()) ||
        !::FlushFileBuffers(target.Get()))
        WriteNewFile(pszBackup, strOld);
    ::SetLastError(dwError);
    return FALSE;
}

// The copy takes the target's place, the copy carrying the target's
// attributes and the archive bit. The target is kept under the backup name
// until the copy has its name, so that no failure on the way loses both.
// The replace fails with ..._REPLACEMENT when nothing moved, and with
// ..._REPLACEMENT_2 when the target already is the backup: that is moved
// back, and where it cannot be, the readers take it for the settings until
// the next save. The system keeps the target's security too, where it can;
// it is called once nothing holds the target, as wine's leaves a temporary
// file behind at each failure. FALSE with the cause in GetLastError.
BOOL ReplaceKeepingBackup(const std::wstring& strTarget, const std::wstring& strPartial, const std::wstring& strBackup,
                          DWORD dwAttributes)
{
    ::SetFileAttributesW(strPartial.c_str(), (dwAttributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
    ::DeleteFileW(strBackup.c_str()); // an older one: the target is there
    BOOL bReplaced = RetryWhileHeld(
        [&] {
            CScopedHandle probe(::CreateFileW(strTarget.c_str(), DELETE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!probe.IsValid())
                return FALSE;
            probe.Close();
            return ::ReplaceFileW(strTarget.c_str(), strPartial.c_str(), strBackup.c_str(),
                                  REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr);
        },
        TRUE);
    if (bReplaced)
        return TRUE;
    DWORD dwError = ::GetLastError();
    if (dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        RetryWhileHeld([&] { return ::MoveFileExW(strBackup.c_str(), strTarget.c_str(), 0); }, TRUE);
    ::SetLastError(dwError);
    return FALSE;
}
} // namespace

std::wstring BackupPathOf(const std::wstring& strPath)
{
    return strPath + kBackupSuffix;
}

BOOL CFileReplacement::CommitKeepingTarget(CFileException* pError)
{
    if (m_strPartial.IsEmpty())
        return FailWithLastError(pError);
    const std::wstring strTarget = WideFromBytes(m_strPath, -1, CP_ACP);
    const std::wstring strPartial = WideFromBytes(m_strPartial, -1, CP_ACP);
    const std::wstring strBackup = BackupPathOf(strTarget);
    // File systems journal the rename, not the data: unflushed, a power cut
    // could leave the name on a file whose bytes never reached the disk.
    if (!FlushFile(strPartial.c_str()))
        return FailWithLastError(pError);

    DWORD dwAttributes = ::GetFileAttributesW(strTarget.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && IsLinked(strTarget.c_str()))
    {
        if (!WriteInPlace(strTarget.c_str(), strPartial.c_str(), strBackup.c_str()))
            return FailWithLastError(pError);
        Discard();
    }
    else if (dwAttributes != INVALID_FILE_ATTRIBUTES)
    {
        if (!ReplaceKeepingBackup(strTarget, strPartial, strBackup, dwAttributes))
            return FailWithLastError(pError);
    }
    else if (!RetryWhileHeld(
                 [&] { return ::MoveFileExW(strPartial.c_str(), strTarget.c_str(), MOVEFILE_REPLACE_EXISTING); }, TRUE))
    {
        return FailWithLastError(pError);
    }
    m_strPartial.Empty(); // it has the target's name now, or was discarded
    // The settings are whole under their own name: a user who deletes them
    // to start afresh must not get the old ones back.
    ::DeleteFileW(strBackup.c_str());
    return TRUE;
}

BOOL ReplaceFileWhole(const CString& strPath, const void* pData, UINT nSize, CFileException* pError)
{
    CFileReplacement replacement;
    return replacement.Begin(strPath, pData, nSize, pError) && replacement.Commit(pError);
}
