#include "platform/ProfileFile.h"

#include "platform/FileException.h"
#include "platform/FileReplacement.h"
#include "platform/HeapBuffer.h"
#include "platform/Mbcs.h"

namespace
{
const char kUtf16Bom[] = "\xFF\xFE";
const DWORD kFirstReadChars = 512;
// A value longer than this is no path: reading stops growing there.
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

// The value of a key in a text, read through a UTF-16 copy of the text in
// the temporary folder.
std::wstring ReadFromText(const std::wstring& strText, LPCWSTR pszSection, LPCWSTR pszKey)
{
    WCHAR szFolder[MAX_PATH + 1];
    WCHAR szCopy[MAX_PATH + 1];
    DWORD nFolder = ::GetTempPathW(MAX_PATH + 1, szFolder);
    if (nFolder == 0 || nFolder > MAX_PATH || !::GetTempFileNameW(szFolder, L"vcf", 0, szCopy))
        return std::wstring();
    std::wstring strValue;
    HANDLE hFile = ::CreateFileW(szCopy, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (hFile != INVALID_HANDLE_VALUE)
    {
        std::wstring strBytes = L"\xFEFF" + strText;
        DWORD dwSize = static_cast<DWORD>(strBytes.size() * sizeof(WCHAR)), dwWritten = 0;
        BOOL bWritten = ::WriteFile(hFile, strBytes.data(), dwSize, &dwWritten, nullptr) && dwWritten == dwSize;
        ::CloseHandle(hFile);
        if (bWritten)
            strValue = ReadWhole(szCopy, pszSection, pszKey);
    }
    ::DeleteFileW(szCopy);
    return strValue;
}
} // namespace

CProfileFile::CProfileFile(LPCSTR lpszPath, BOOL (*pfnPrefer)(LPCWSTR))
    : m_strFile(lpszPath), m_strPath(WideFromBytes(lpszPath, -1, CP_ACP)), m_pfnPrefer(pfnPrefer)
{
}

CProfileFile::Contents CProfileFile::ReadBytes(std::string& strBytes) const
{
    strBytes.clear();
    HANDLE hFile = ::CreateFileW(m_strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        DWORD dwError = ::GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ? kMissing : kUnreadable;
    }
    LARGE_INTEGER size = {};
    BOOL bRead = ::GetFileSizeEx(hFile, &size) && size.QuadPart <= static_cast<LONGLONG>(kMaxReadChars);
    if (bRead)
    {
        strBytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD dwRead = 0;
        bRead = strBytes.empty() || (::ReadFile(hFile, &strBytes[0], static_cast<DWORD>(strBytes.size()), &dwRead,
                                                nullptr) &&
                                     dwRead == strBytes.size());
    }
    ::CloseHandle(hFile);
    if (!bRead)
        return kUnreadable;
    if (strBytes.compare(0, 2, kUtf16Bom) == 0)
        return kUtf16;
    for (char ch : strBytes)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return kOtherBytes;
    return kAscii;
}

std::wstring CProfileFile::DecodeFor(const std::string& strBytes, LPCWSTR pszSection, LPCWSTR pszKey) const
{
    int nBytes = static_cast<int>(strBytes.size());
    std::wstring strUtf8 = WideFromBytes(strBytes.data(), nBytes, CP_UTF8, MB_ERR_INVALID_CHARS);
    std::wstring strAnsi = WideFromBytes(strBytes.data(), nBytes, SystemAnsiCodePage());
    // A UTF-8 byte-order mark goes: the text gets a UTF-16 one.
    if (!strUtf8.empty() && strUtf8[0] == L'\xFEFF')
        strUtf8.erase(0, 1);
    if (strUtf8.empty())
        return strAnsi;
    if (m_pfnPrefer && !m_pfnPrefer(ReadFromText(strUtf8, pszSection, pszKey).c_str()) &&
        m_pfnPrefer(ReadFromText(strAnsi, pszSection, pszKey).c_str()))
        return strAnsi;
    return strUtf8;
}

std::wstring CProfileFile::ReadString(LPCWSTR pszSection, LPCWSTR pszKey) const
{
    std::string strBytes;
    switch (ReadBytes(strBytes))
    {
    case kUtf16:
    case kAscii:
        return ReadWhole(m_strPath.c_str(), pszSection, pszKey);
    case kOtherBytes:
        return ReadFromText(DecodeFor(strBytes, pszSection, pszKey), pszSection, pszKey);
    default:
        return std::wstring();
    }
}

BOOL CProfileFile::WriteString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue) const
{
    BOOL bAsciiValue = TRUE;
    for (LPCWSTR psz = pszValue; *psz; ++psz)
        bAsciiValue = bAsciiValue && *psz < 0x80;

    std::string strBytes;
    Contents contents = ReadBytes(strBytes);
    if (contents == kUnreadable)
        return FALSE;
    if (contents == kOtherBytes || (!bAsciiValue && contents != kUtf16))
    {
        // Into UTF-16 first: the profile call would otherwise write the value
        // in this process's code page, which the other build misreads.
        std::wstring strText = L"\xFEFF";
        if (contents == kOtherBytes)
            strText += DecodeFor(strBytes, pszSection, pszKey);
        CFileException error;
        if (!ReplaceFileWhole(m_strFile, strText.data(), static_cast<UINT>(strText.size() * sizeof(WCHAR)), &error))
            return FALSE;
    }
    return ::WritePrivateProfileStringW(pszSection, pszKey, pszValue, m_strPath.c_str());
}
