#include "app/ChangerApp.h"

#include "state/Globals.h"
#include "state/SettingsStore.h"
#include "engine/Wallpaper.h"
#include "platform/AnsiPath.h"
#include "platform/OleSession.h"
#include "ui/SettingsDlg.h"

#include <mbstring.h>
#include <shlobj.h>

#include <cstdlib>

namespace
{
const char kSwitchConfig[] = "/config";
const char kSwitchShort[] = "/c";
const char kSwitchInstall[] = "/install";
const char kDataFolderName[] = "\\Vellomar\\";
// The data folder with "vlmXXXX.tmp" beside its files: MAX_PATH - 14 for
// the temporary name's folder.
const int kMaxDataFolderChars = MAX_PATH - 14;

int WideLength(const CString& str)
{
    return ::MultiByteToWideChar(CP_ACP, 0, str, str.GetLength(), nullptr, 0);
}

BOOL IsSameWord(const CString& strWord, LPCSTR lpszSwitch)
{
    return _mbscmp(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(strWord)),
                   reinterpret_cast<const unsigned char*>(lpszSwitch)) == 0;
}
} // namespace

CChangerApp theApp;

BOOL CChangerApp::IsDialogSwitch(const CString& strRunMode)
{
    return IsSameWord(strRunMode, kSwitchShort) || IsSameWord(strRunMode, kSwitchConfig) ||
           IsSameWord(strRunMode, kSwitchInstall);
}

void CChangerApp::SettleDataFolder(const CString& strRunMode)
{
    // The program folder first; it stays the data folder on any failure
    // below. Paths come wide and are converted exactly: an ANSI call would
    // hand back a best-fit look-alike ("Michal" for "Michał") that names
    // no folder. With no usable form at all there is no data folder: never
    // the current folder, which at log-on is the system's.
    g_strDataDir = ProgramAnsiPath();
    int nSlash = g_strDataDir.ReverseFind('\\');
    g_strDataDir = nSlash >= 0 ? g_strDataDir.Left(nSlash + 1) : CString();

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT)
        return;

    m_hShellLib = nullptr;
    m_hShellLib = ::LoadLibraryA("shell32.dll");
    if (!m_hShellLib)
        return;
    m_pfnGetFolderPath = reinterpret_cast<PFNGETFOLDERPATH>(
        reinterpret_cast<void (*)()>(::GetProcAddress(m_hShellLib, "SHGetFolderPathW")));
    if (!m_pfnGetFolderPath)
        return;
    WCHAR szAppData[MAX_PATH] = L"";
    CString strAppData;
    // S_FALSE means the folder does not exist; an empty answer names none.
    if (m_pfnGetFolderPath(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData) != S_OK ||
        !AnsiPathFromWide(szAppData, strAppData))
        return;

    // Our folder and the partial files in it must stay within what folder
    // creation (248 characters) and temporary names (MAX_PATH - 14) take;
    // past that, the application-data folder's short form may still fit.
    g_strDataDir = strAppData + kDataFolderName;
    if (WideLength(g_strDataDir) > kMaxDataFolderChars)
    {
        WCHAR szShort[MAX_PATH] = L"";
        DWORD nShort = ::GetShortPathNameW(szAppData, szShort, MAX_PATH);
        if (nShort > 0 && nShort < MAX_PATH && AnsiPathFromWide(szShort, strAppData))
            g_strDataDir = strAppData + kDataFolderName;
    }
    if (IsSameWord(strRunMode, kSwitchInstall))
        ::CreateDirectoryA(g_strDataDir, nullptr); // only the last level; existing is fine
}

BOOL CChangerApp::InitInstance()
{
    srand(::GetTickCount());

    CString strRunMode = m_lpCmdLine;
    SettleDataFolder(strRunMode);

    g_strPicturesPath = ReadPicturesPath();
    if (g_strPicturesPath.IsEmpty() || ::GetFileAttributesA(g_strPicturesPath) == INVALID_FILE_ATTRIBUTES)
        strRunMode = kSwitchShort;

    if (!IsDialogSwitch(strRunMode))
    {
        ChangeWallpaper(TRUE);
        return FALSE;
    }

    Enable3dControls();
    COleSession ole; // the silent mode runs without it
    CSettingsDlg dlg(nullptr);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
