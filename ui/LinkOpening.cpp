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
    LONG nResult = static_cast<LONG>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", lpszUrl, nullptr, nullptr, nShowCmd)));
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
    CString strText;
    switch (nCode)
    {
    case 0:
        strText = "The operating system is out\nof memory or resources.";
        break;
    case SE_ERR_FNF:
        strText = "The specified file was not found.";
        break;
    case SE_ERR_PNF:
        strText = "The specified path was not found.";
        break;
    case SE_ERR_ACCESSDENIED:
        strText = "The operating system denied\naccess to the specified file.";
        break;
    case SE_ERR_OOM:
        strText = "There was not enough memory to complete the operation.";
        break;
    case ERROR_BAD_FORMAT:
        strText = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        break;
    case SE_ERR_SHARE:
        strText = "A sharing violation occurred. ";
        break;
    case SE_ERR_ASSOCINCOMPLETE:
        strText = "The filename association is\nincomplete or invalid.";
        break;
    case SE_ERR_DDETIMEOUT:
        strText = "The DDE transaction could not\nbe completed because the request timed out.";
        break;
    case SE_ERR_DDEFAIL:
        strText = "The DDE transaction failed.";
        break;
    case SE_ERR_DDEBUSY:
        strText = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case SE_ERR_NOASSOC:
        strText = "There is no application associated\nwith the given filename extension.";
        break;
    case SE_ERR_DLLNOTFOUND:
        strText = "The specified dynamic-link library was not found.";
        break;
    default:
        strText.Format("Unknown Error (%d) occurred.", nCode);
        break;
    }
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
    key.Close();
    return ERROR_SUCCESS;
}
