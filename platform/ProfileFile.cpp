#include "platform/ProfileFile.h"

#include "platform/FileException.h"
#include "platform/FileReplacement.h"
#include "platform/HeapBuffer.h"
#include "platform/HeldFileRetry.h"
#include "platform/Mbcs.h"
#include "platform/ProfileText.h"
#include "platform/ScopedHandle.h"

#include <cstring>

namespace
{
const char kUtf16LEMark[] = "\xFF\xFE";
const char kUtf16BEMark[] = "\xFE\xFF";
const char kUtf8Mark[] = "\xEF\xBB\xBF";
const WCHAR kTextMark = L'\xFEFF';
const DWORD kFirstReadChars = 512;
// A value longer than this is no path, and a file larger than this is no
// settings file: reading stops there.
const DWORD kMaxReadChars = 1 << 20;
const UINT kFallbackAnsiCodePage = 1252;

// The code page that the system's ANSI programs use, which a program of
// ours running under UTF-8 does not share: earlier versions wrote in it.
UINT SystemAnsiCodePage()
{
    DWORD dwCodePage = 0;
    if (!::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                          reinterpret_cast<LPWSTR>(&dwCodePage), sizeof(dwCodePage) / sizeof(WCHAR)) ||
        dwCodePage == 0)
        return kFallbackAnsiCodePage;
    return dwCodePage;
}

bool StartsWith(const std::string& strBytes, const char* pszMark)
{
    return strBytes.compare(0, strlen(pszMark), pszMark) == 0;
}

// The bytes from nStart on in a code page; FALSE where they do not decode
// (with MB_ERR_INVALID_CHARS). No bytes are an empty text.
BOOL DecodeBytes(const std::string& strBytes, size_t nStart, UINT nCodePage, DWORD dwFlags, std::wstring& strText)
{
    strText.clear();
    if (nStart >= strBytes.size())
        return TRUE;
    int nBytes = static_cast<int>(strBytes.size() - nStart);
    int nChars = ::MultiByteToWideChar(nCodePage, dwFlags, strBytes.data() + nStart, nBytes, nullptr, 0);
    if (nChars <= 0)
        return FALSE;
    strText.resize(static_cast<size_t>(nChars));
    return ::MultiByteToWideChar(nCodePage, dwFlags, strBytes.data() + nStart, nBytes, &strText[0], nChars) == nChars;
}

std::wstring FromUtf16BE(const std::string& strBytes)
{
    std::wstring strText;
    for (size_t i = 2; i + 1 < strBytes.size(); i += 2)
        strText += static_cast<WCHAR>((static_cast<unsigned char>(strBytes[i]) << 8) |
                                      static_cast<unsigned char>(strBytes[i + 1]));
    return strText;
}

std::wstring ValueIn(const std::wstring& strText, LPCWSTR pszSection, LPCWSTR pszKey)
{
    std::wstring strValue;
    FindProfileValue(strText, pszSection, pszKey, strValue);
    return strValue;
}

// Reads a key through the profile call, growing the buffer until the value
// fits: the call cannot tell the size it needs.
std::wstring ReadWhole(LPCWSTR pszFile, LPCWSTR pszSection, LPCWSTR pszKey)
{
    for (DWORD nChars = kFirstReadChars; nChars <= kMaxReadChars; nChars *= 2)
    {
        CHeapBuffer buffer(nChars * sizeof(WCHAR));
        LPWSTR pszValue = reinterpret_cast<LPWSTR>(buffer.Get());
        if (!pszValue)
            break;
        DWORD nRead = ::GetPrivateProfileStringW(pszSection, pszKey, L"", pszValue, nChars, pszFile);
        if (nRead < nChars - 1)
            return std::wstring(pszValue, nRead);
    }
    return std::wstring();
}

bool IsAscii(LPCWSTR psz)
{
    for (; *psz; ++psz)
        if (*psz >= 0x80)
            return false;
    return true;
}
} // namespace

CProfileFile::CProfileFile(LPCSTR lpszPath, BOOL (*pfnPrefer)(LPCWSTR))
    : m_strFile(lpszPath), m_strPath(WideFromBytes(lpszPath, -1, CP_ACP)), m_pfnPrefer(pfnPrefer)
{
}

CProfileFile::Form CProfileFile::ReadBytes(std::string& strBytes, CScopedHandle* pHold, std::wstring* pstrFrom) const
{
    strBytes.clear();
    // A file held for a moment (by a write of another run, a scanner) is
    // waited for: it must never read as "no settings". While a replace that
    // failed half way has left them only under the backup name, they are
    // read from there.
    std::wstring strFrom = m_strPath;
    CScopedHandle file;
    auto open = [&] {
        return RetryWhileHeld(
            [&] {
                file.Reset(::CreateFileW(strFrom.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
                return file.IsValid();
            },
            FALSE);
    };
    if (!open() && ::GetLastError() == ERROR_FILE_NOT_FOUND)
    {
        strFrom = BackupPathOf(m_strPath);
        open();
    }
    if (!file.IsValid())
    {
        DWORD dwError = ::GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ? kMissing : kUnreadable;
    }
    HANDLE hFile = file.Get();
    LARGE_INTEGER size = {};
    BOOL bRead = ::GetFileSizeEx(hFile, &size) && size.QuadPart <= static_cast<LONGLONG>(kMaxReadChars);
    if (bRead)
    {
        strBytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD dwRead = 0;
        bRead = strBytes.empty() ||
                (::ReadFile(hFile, &strBytes[0], static_cast<DWORD>(strBytes.size()), &dwRead, nullptr) &&
                 dwRead == strBytes.size());
    }
    if (!bRead)
        return kUnreadable;
    if (pHold)
        pHold->Reset(file.Release());
    if (pstrFrom)
        pstrFrom->swap(strFrom);
    if (StartsWith(strBytes, kUtf16LEMark))
        return kUtf16LE;
    if (StartsWith(strBytes, kUtf16BEMark))
        return kUtf16BE;
    if (StartsWith(strBytes, kUtf8Mark))
        return kUtf8Marked;
    for (char ch : strBytes)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return kOtherBytes;
    return kAscii;
}

std::wstring CProfileFile::Decode(Form form, const std::string& strBytes, LPCWSTR pszSection, LPCWSTR pszKey) const
{
    if (form == kUtf16BE)
        return FromUtf16BE(strBytes);
    size_t nStart = form == kUtf8Marked ? strlen(kUtf8Mark) : 0;
    std::wstring strUtf8, strAnsi;
    BOOL bUtf8 = DecodeBytes(strBytes, nStart, CP_UTF8, MB_ERR_INVALID_CHARS, strUtf8);
    DecodeBytes(strBytes, nStart, SystemAnsiCodePage(), 0, strAnsi);
    if (!bUtf8)
        return strAnsi;
    // A mark says UTF-8; bytes that only look like it may be the code page's.
    if (form != kUtf8Marked && m_pfnPrefer && !m_pfnPrefer(ValueIn(strUtf8, pszSection, pszKey).c_str()) &&
        m_pfnPrefer(ValueIn(strAnsi, pszSection, pszKey).c_str()))
        return strAnsi;
    return strUtf8;
}

std::wstring CProfileFile::ReadString(LPCWSTR pszSection, LPCWSTR pszKey) const
{
    std::string strBytes;
    // Held open while the profile call reads it again: no other run can
    // replace it in between, so the call cannot meet it gone.
    CScopedHandle held;
    std::wstring strFrom;
    Form form = ReadBytes(strBytes, &held, &strFrom);
    switch (form)
    {
    case kAscii:
    case kUtf16LE:
        return ReadWhole(strFrom.c_str(), pszSection, pszKey);
    case kUtf16BE:
    case kUtf8Marked:
    case kOtherBytes:
        return ValueIn(Decode(form, strBytes, pszSection, pszKey), pszSection, pszKey);
    default:
        return std::wstring();
    }
}

BOOL CProfileFile::WriteString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue) const
{
    // Windows refuses to replace a read-only file and wine does not: the
    // user's protection holds either way.
    DWORD dwAttributes = ::GetFileAttributesW(m_strPath.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES &&
        (dwAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::string strBytes;
    Form form = ReadBytes(strBytes);
    if (form == kUnreadable)
        return FALSE;
    // Into UTF-16 first where the profile call would otherwise write the
    // value in this process's code page, which the other build misreads.
    BOOL bKeepsForm = form == kUtf16LE || (IsAscii(pszValue) && (form == kAscii || form == kMissing));
    if (!bKeepsForm)
    {
        std::wstring strText(1, kTextMark);
        if (form != kMissing)
            strText += Decode(form, strBytes, pszSection, pszKey);
        strBytes.assign(reinterpret_cast<const char*>(strText.data()), strText.size() * sizeof(WCHAR));
    }
    CFileReplacement copy;
    CFileException error;
    return copy.Begin(m_strFile, strBytes.data(), static_cast<UINT>(strBytes.size()), &error) &&
           ::WritePrivateProfileStringW(pszSection, pszKey, pszValue,
                                        WideFromBytes(copy.PartialPath(), -1, CP_ACP).c_str()) &&
           copy.CommitKeepingTarget(&error);
}
