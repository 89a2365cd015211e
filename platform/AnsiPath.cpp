#include "platform/AnsiPath.h"

#include "platform/HeapBuffer.h"
#include "platform/Mbcs.h"

#include <cwchar>

namespace
{
const WCHAR kLongPrefix[] = L"\\\\?\\";
const int kLongPrefixLength = 4;
// A character takes at most three bytes in any ANSI code page (UTF-8).
const int kMaxAnsiPathBytes = 3 * MAX_PATH;

BOOL ExactPathThatFits(LPCWSTR pszWide, CString& strPath)
{
    if (lstrlenW(pszWide) >= MAX_PATH)
        return FALSE;
    char szPath[kMaxAnsiPathBytes];
    if (!MbcsFromWide(pszWide, szPath, sizeof(szPath)))
        return FALSE;
    strPath = szPath;
    return TRUE;
}

BOOL IsDrivePath(LPCWSTR psz)
{
    return psz[0] && psz[1] == L':' && psz[2] == L'\\';
}
} // namespace

BOOL AnsiPathFromWide(LPCWSTR pszWide, CString& strPath)
{
    strPath.Empty();
    if (!pszWide || !pszWide[0])
        return FALSE;
    if (ExactPathThatFits(pszWide, strPath))
        return TRUE;

    // A path past MAX_PATH reaches the short-name lookup only with the
    // prefix that lifts the limit; the answer then carries it too.
    int nLength = lstrlenW(pszWide);
    if (nLength + kLongPrefixLength > kMaxWidePath)
        return FALSE;
    BOOL bPrefixed = nLength >= MAX_PATH && IsDrivePath(pszWide);
    CHeapBuffer lookup((kMaxWidePath + 1) * sizeof(WCHAR));
    CHeapBuffer shortPath((kMaxWidePath + 1) * sizeof(WCHAR));
    LPWSTR pszLookup = reinterpret_cast<LPWSTR>(lookup.Get());
    LPWSTR pszShort = reinterpret_cast<LPWSTR>(shortPath.Get());
    if (!pszLookup || !pszShort)
        return FALSE;
    lstrcpyW(pszLookup, bPrefixed ? kLongPrefix : L"");
    lstrcatW(pszLookup, pszWide);

    DWORD nShort = ::GetShortPathNameW(pszLookup, pszShort, kMaxWidePath + 1);
    if (nShort == 0 || nShort > static_cast<DWORD>(kMaxWidePath))
        return FALSE;
    LPCWSTR pszResult = pszShort;
    if (bPrefixed && wcsncmp(pszShort, kLongPrefix, kLongPrefixLength) == 0)
        pszResult += kLongPrefixLength;
    return ExactPathThatFits(pszResult, strPath);
}

BOOL ProgramWidePath(LPWSTR pszPath, DWORD cchPath)
{
    DWORD nLength = ::GetModuleFileNameW(nullptr, pszPath, cchPath);
    if (nLength == 0 || nLength >= cchPath)
    {
        if (cchPath > 0)
            pszPath[0] = L'\0';
        return FALSE;
    }
    return TRUE;
}

CString ProgramAnsiPath()
{
    CString strPath;
    CHeapBuffer wide((kMaxWidePath + 1) * sizeof(WCHAR));
    LPWSTR pszWide = reinterpret_cast<LPWSTR>(wide.Get());
    if (pszWide && ProgramWidePath(pszWide, kMaxWidePath + 1))
        AnsiPathFromWide(pszWide, strPath);
    return strPath;
}
