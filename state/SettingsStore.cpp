#include "state/SettingsStore.h"

#include "state/Globals.h"
#include "platform/AnsiPath.h"
#include "platform/HeapBuffer.h"
#include "platform/Mbcs.h"
#include "platform/ProfileFile.h"
#include "platform/ScopedKey.h"

namespace
{
const WCHAR kSection[] = L"main";
const WCHAR kKey[] = L"PicturesPath";
const char kFileName[] = "config.cfg";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunKeyUnderSoftware[] = "Microsoft\\Windows\\CurrentVersion\\Run";
const char kValueName[] = "Vellomar";
const WCHAR kValueNameWide[] = L"Vellomar";
const DWORD kPathBufferSize = 1000;

// Of two readings of an old settings file, the one that names a folder.
BOOL NamesAFolder(LPCWSTR pszPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(pszPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
} // namespace

CString ReadPicturesPath()
{
    // No data folder was found: there are no settings to read.
    if (g_strDataDir.IsEmpty())
        return CString();
    CProfileFile file(g_strDataDir + kFileName, &NamesAFolder);
    std::wstring strStored = file.ReadString(kSection, kKey);
    if (strStored.empty())
        return CString();
    // As a chosen folder is kept: exactly where that fits MAX_PATH, else by
    // its short form. Where neither serves, the text stays as stored, so a
    // folder that is missing now, or only ever typed, is not lost.
    CString strPath;
    if (AnsiPathFromWide(strStored.c_str(), strPath))
        return strPath;
    int cbPath = ::WideCharToMultiByte(CP_ACP, 0, strStored.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (cbPath > 0 && MbcsFromWide(strStored.c_str(), strPath.GetBuffer(cbPath), cbPath))
    {
        strPath.ReleaseBuffer();
        return strPath;
    }
    strPath.ReleaseBuffer(0);
    return strPath;
}

BOOL WritePicturesPath(LPCSTR lpszPath)
{
    if (g_strDataDir.IsEmpty())
        return FALSE;
    // The data folder exists only after an "/install" run; without it the
    // profile write fails and the user's choice would be lost. An existing
    // folder makes this fail harmlessly.
    ::CreateDirectoryA(g_strDataDir, nullptr);
    CProfileFile file(g_strDataDir + kFileName, &NamesAFolder);
    return file.WriteString(kSection, kKey, WideFromBytes(lpszPath, -1, CP_ACP).c_str());
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
    // Started by a short path, the program names itself so; the uninstaller
    // and the user know it by its long one.
    CHeapBuffer longPath(cchValue * sizeof(WCHAR));
    LPWSTR pszLong = reinterpret_cast<LPWSTR>(longPath.Get());
    DWORD nLong = pszLong ? ::GetLongPathNameW(pszValue + 1, pszLong, cchValue - 2) : 0;
    if (nLong > 0 && nLong < cchValue - 2)
        lstrcpyW(pszValue + 1, pszLong);
    pszValue[0] = L'"';
    lstrcatW(pszValue, L"\"");
    CScopedKey run;
    if (run.Create(software, kRunKeyUnderSoftware) != ERROR_SUCCESS)
        return;
    run.SetStringValue(kValueNameWide, pszValue);
    // The Run key closes first, then "Software": they go in reverse order.
}
