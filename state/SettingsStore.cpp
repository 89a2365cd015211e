#include "state/SettingsStore.h"

#include "state/Globals.h"
#include "platform/AnsiPath.h"
#include "platform/HeapBuffer.h"
#include "platform/ScopedKey.h"

namespace
{
const char kSection[] = "main";
const char kKey[] = "PicturesPath";
const char kFileName[] = "config.cfg";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunKeyUnderSoftware[] = "Microsoft\\Windows\\CurrentVersion\\Run";
const char kValueName[] = "Vellomar";
const WCHAR kValueNameWide[] = L"Vellomar";
const DWORD kPathBufferSize = 1000;
} // namespace

CString ReadPicturesPath()
{
    CString strFile = g_strDataDir + kFileName;
    char szValue[512];
    ::GetPrivateProfileStringA(kSection, kKey, "", szValue, sizeof(szValue), strFile);
    return CString(szValue);
}

BOOL WritePicturesPath(LPCSTR lpszPath)
{
    // The data folder exists only after an "/install" run; without it the
    // profile write fails and the user's choice would be lost. An existing
    // folder makes this fail harmlessly.
    ::CreateDirectoryA(g_strDataDir, nullptr);
    CString strFile = g_strDataDir + kFileName;
    return ::WritePrivateProfileStringA(kSection, kKey, lpszPath, strFile);
}

BOOL QueryAutostart()
{
    CScopedKey key;
    if (key.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    DWORD dwType = 0;
    BYTE data[kPathBufferSize];
    DWORD dwSize = sizeof(data);
    LONG lResult = ::RegQueryValueExA(key, kValueName, nullptr, &dwType, data, &dwSize);
    return lResult == ERROR_SUCCESS;
}

void SetAutostart(BOOL bEnable)
{
    if (!bEnable)
    {
        CScopedKey run;
        if (run.Open(HKEY_CURRENT_USER, kRunKey, KEY_ALL_ACCESS) != ERROR_SUCCESS)
            return;
        ::RegDeleteValueA(run, kValueName);
        return;
    }

    CScopedKey software;
    if (software.Open(HKEY_CURRENT_USER, "Software", KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;
    // The program's exact long path, in quotes: Windows starts an unquoted
    // value with blanks from its first prefix that names a file
    // (D:\Apps\My.exe for D:\Apps\My Tools\...), which another
    // account may have put there.
    const DWORD cchValue = kMaxWidePath + 3;
    CHeapBuffer value(cchValue * sizeof(WCHAR));
    LPWSTR pszValue = reinterpret_cast<LPWSTR>(value.Get());
    if (!pszValue || !ProgramWidePath(pszValue + 1, cchValue - 2))
        return;
    pszValue[0] = L'"';
    lstrcatW(pszValue, L"\"");
    CScopedKey run;
    if (run.Create(software, kRunKeyUnderSoftware) != ERROR_SUCCESS)
        return;
    run.SetStringValue(kValueNameWide, pszValue);
    // The Run key closes first, then "Software": they go in reverse order.
}
