#include "ui/LinkOpening.h"

#include "platform/ScopedKey.h"

#include <mbstring.h>
#include <shellapi.h>

#include <cstring>

namespace
{
const int kCommandBufferSize = 2 * MAX_PATH;

// Cuts a command at its first "%1" placeholder, quoted or bare.
void CutAtPlaceholder(char* pszCommand)
{
    unsigned char* pszCommandBytes = reinterpret_cast<unsigned char*>(pszCommand);
    unsigned char* pHit = _mbsstr(pszCommandBytes, reinterpret_cast<const unsigned char*>("\"%1\""));
    if (!pHit)
        pHit = _mbsstr(pszCommandBytes, reinterpret_cast<const unsigned char*>("%1"));
    if (pHit)
        *pHit = '\0';
}
} // namespace

LONG OpenUrl(LPCSTR lpszUrl, int nShowCmd)
{
    LONG nResult = static_cast<LONG>(
        reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, "open", lpszUrl, nullptr, nullptr, nShowCmd)));
    if (nResult > 32)
        return nResult;

    // The shell refused: start the registered web-page command directly.
    char szCommand[kCommandBufferSize];
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", szCommand) != ERROR_SUCCESS)
        return nResult;
    lstrcatA(szCommand, "\\shell\\open\\command");
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, szCommand, szCommand) != ERROR_SUCCESS)
        return nResult;
    CutAtPlaceholder(szCommand);
    if (strlen(szCommand) + 1 + strlen(lpszUrl) >= sizeof(szCommand))
        return nResult; // would not fit: no truncated command is started
    lstrcatA(szCommand, " ");
    lstrcatA(szCommand, lpszUrl);
    return static_cast<LONG>(::WinExec(szCommand, static_cast<UINT>(nShowCmd)));
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

LONG ReadKeyDefault(HKEY hRoot, LPCSTR lpszSubKey, LPSTR lpszOutput)
{
    CScopedKey key;
    LONG lStatus = key.Open(hRoot, lpszSubKey, KEY_QUERY_VALUE);
    if (lStatus != ERROR_SUCCESS)
        return lStatus;
    char szValue[MAX_PATH];
    LONG cbValue = sizeof(szValue);
    if (::RegQueryValueA(key, nullptr, szValue, &cbValue) != ERROR_SUCCESS)
        szValue[0] = '\0'; // missing or longer than the buffer
    szValue[sizeof(szValue) - 1] = '\0';
    lstrcpyA(lpszOutput, szValue);
    return ERROR_SUCCESS;
}
