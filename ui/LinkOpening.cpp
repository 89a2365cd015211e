#include "ui/LinkOpening.h"

#include "platform/ScopedKey.h"

#include <shellapi.h>

#include <cwchar>

namespace
{
// Wide, since a browser installed under the profile of "Michał" has a path
// that the ANSI code page cannot hold.
const int kCommandChars = 2 * MAX_PATH;

// Cuts a command at its first "%1" placeholder, quoted or bare.
void CutAtPlaceholder(LPWSTR pszCommand)
{
    LPWSTR pHit = wcsstr(pszCommand, L"\"%1\"");
    if (!pHit)
        pHit = wcsstr(pszCommand, L"%1");
    if (pHit)
        *pHit = L'\0';
}

// Reads the default value of a key into pszOutput (MAX_PATH characters):
// ERROR_SUCCESS, or the status of the failed open. A default value that
// cannot be read gives an empty text.
LONG ReadKeyDefault(HKEY hRoot, LPCWSTR pszSubKey, LPWSTR pszOutput)
{
    CScopedKey key;
    LONG lStatus = key.Open(hRoot, pszSubKey, KEY_QUERY_VALUE);
    if (lStatus != ERROR_SUCCESS)
        return lStatus;
    WCHAR szValue[MAX_PATH];
    LONG cbValue = sizeof(szValue);
    if (::RegQueryValueW(key, nullptr, szValue, &cbValue) != ERROR_SUCCESS)
        szValue[0] = L'\0'; // missing or longer than the buffer
    szValue[MAX_PATH - 1] = L'\0';
    lstrcpyW(pszOutput, szValue);
    return ERROR_SUCCESS;
}

// Starts a command line as WinExec does, with its results: above 31 on
// success, else the system's error code (ERROR_BAD_FORMAT for one that
// does not fit those).
LONG StartCommand(LPWSTR pszCommand, int nShowCmd)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(nShowCmd);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, pszCommand, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    {
        DWORD dwError = ::GetLastError();
        return dwError < 32 ? static_cast<LONG>(dwError) : ERROR_BAD_FORMAT;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return 33;
}
} // namespace

LONG OpenUrl(LPCSTR lpszUrl, int nShowCmd)
{
    LONG nResult = static_cast<LONG>(
        reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", lpszUrl, nullptr, nullptr, nShowCmd)));
    if (nResult > 32)
        return nResult;

    // The shell refused: start the registered web-page command directly.
    WCHAR szCommand[kCommandChars];
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, L".htm", szCommand) != ERROR_SUCCESS)
        return nResult;
    lstrcatW(szCommand, L"\\shell\\open\\command");
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, szCommand, szCommand) != ERROR_SUCCESS)
        return nResult;
    CutAtPlaceholder(szCommand);
    WCHAR szUrl[kCommandChars];
    if (!::MultiByteToWideChar(CP_ACP, 0, lpszUrl, -1, szUrl, kCommandChars) ||
        lstrlenW(szCommand) + 1 + lstrlenW(szUrl) >= kCommandChars)
        return nResult; // would not fit: no truncated command is started
    lstrcatW(szCommand, L" ");
    lstrcatW(szCommand, szUrl);
    return StartCommand(szCommand, nShowCmd);
}

CString LaunchErrorText(int nCode)
{
    struct CodeText
    {
        int nCode;
        LPCSTR lpszText;
    };
    static const CodeText kTexts[] = {
        {0, "The operating system is out\nof memory or resources."},
        {SE_ERR_FNF, "The specified file was not found."},
        {SE_ERR_PNF, "The specified path was not found."},
        {SE_ERR_ACCESSDENIED, "The operating system denied\naccess to the specified file."},
        {SE_ERR_OOM, "There was not enough memory to complete the operation."},
        {ERROR_BAD_FORMAT, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {SE_ERR_SHARE, "A sharing violation occurred. "},
        {SE_ERR_ASSOCINCOMPLETE, "The filename association is\nincomplete or invalid."},
        {SE_ERR_DDETIMEOUT, "The DDE transaction could not\nbe completed because the request timed out."},
        {SE_ERR_DDEFAIL, "The DDE transaction failed."},
        {SE_ERR_DDEBUSY,
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {SE_ERR_NOASSOC, "There is no application associated\nwith the given filename extension."},
        {SE_ERR_DLLNOTFOUND, "The specified dynamic-link library was not found."},
    };
    for (const CodeText& entry : kTexts)
        if (entry.nCode == nCode)
            return entry.lpszText;
    CString strText;
    strText.Format("Unknown Error (%d) occurred.", nCode);
    return strText;
}
