// The program on an account whose name the ANSI code page cannot hold
// ("Michał" under 1252, "王伟" under 932), run in a wine prefix made for that
// user: everything it keeps or starts lies under that profile, and must
// still be found, kept and started.
#include "platform/AnsiPath.h"
#include "res/resource.h"
#include "state/Globals.h"
#include "ui/LinkOpening.h"
#include "ui/SettingsDlg.h"

#include "support/AnsiText.h"
#include "support/ChildProcess.h"
#include "support/FolderChooser.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"

#include <gtest/gtest.h>
#include <shlobj.h>

namespace
{
std::wstring KnownFolder(int nCsidl)
{
    wchar_t szPath[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, nCsidl, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

bool ExistsW(const std::wstring& strPath)
{
    return GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string AnsiPath(const std::wstring& strWide)
{
    CString strPath;
    AnsiPathFromWide(strWide.c_str(), strPath);
    return static_cast<LPCSTR>(strPath);
}

std::wstring LongPath(const std::wstring& strPath)
{
    wchar_t szLong[MAX_PATH * 2] = L"";
    GetLongPathNameW(strPath.c_str(), szLong, MAX_PATH * 2);
    return szLong;
}

void RemoveTreeW(const std::wstring& strPath)
{
    std::wstring strFrom = strPath + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = strFrom.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

class AccountTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(HasAnsiForm(KnownFolder(CSIDL_PROFILE)))
            << "run in a prefix whose account the code page " << GetACP() << " cannot name";
        RemoveTreeW(m_strData);
        CreateDirectoryW(m_strPictures.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(Widen(TestDataPath("small.jpg")).c_str(), (m_strPictures + L"\\a.jpg").c_str(), FALSE));
    }
    void TearDown() override
    {
        RemoveTreeW(m_strData);
        RemoveTreeW(m_strPictures);
    }

    const std::wstring m_strData = KnownFolder(CSIDL_APPDATA) + L"\\Vellomar";
    const std::wstring m_strPictures = KnownFolder(CSIDL_PROFILE) + L"\\Wakacje 2026";
    CRegistryValueGuard m_run{HKEY_CURRENT_USER, kRunKey, "Vellomar"};
    CRegistryValueGuard m_wallpaper{HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"};
};
} // namespace

TEST_F(AccountTest, InstallRunMakesTheDataFolderAndTheLogOnRunFindsItsSettings)
{
    EXPECT_EQ(RunMode::Dialog, RunAndObserve(VellomarExePath(), "Vellomar.exe /install"));
    ASSERT_TRUE(ExistsW(m_strData)) << "the real data folder, not a best-fit look-alike";

    // Settings as the folder chooser keeps them, in the real data folder.
    std::string strSettings = "[main]\r\nPicturesPath=" + AnsiPath(m_strPictures) + "\r\n";
    ASSERT_TRUE(WriteTextW(m_strData + L"\\config.cfg", strSettings));
    EXPECT_EQ(RunMode::Silent, RunAndObserve(VellomarExePath(), "Vellomar.exe"));
    std::wstring strWallpaper = RegistryWideText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    EXPECT_EQ(0, lstrcmpiW((m_strData + L"\\Tarnwick.bmp").c_str(), LongPath(strWallpaper).c_str()))
        << "the converted picture in the data folder, by a name that opens: " << strWallpaper;
    if (!TestsLegacyProgram()) // under UTF-8, by its own long name
    {
        EXPECT_EQ(m_strData + L"\\Tarnwick.bmp", strWallpaper);
    }
}

TEST_F(AccountTest, ChooserStoresAFolderUnderTheProfile)
{
    ASSERT_TRUE(CreateDirectoryW(m_strData.c_str(), nullptr));
    g_strDataDir = (AnsiPath(m_strData) + "\\").c_str();
    g_strPicturesPath.Empty();
    CShellItem pictures(m_strPictures);
    EXPECT_TRUE(RunDialogWithChoice(
        pictures, [](HWND hDlg) { return WindowText(GetDlgItem(hDlg, IDC_FILE_COUNT)) == "Files : 1"; }));
    char szStored[MAX_PATH] = "";
    GetPrivateProfileStringA("main", "PicturesPath", "", szStored, MAX_PATH, g_strDataDir + "config.cfg");
    EXPECT_EQ(m_strPictures, LongPath(Widen(szStored))) << "stored: " << szStored;
    g_arrPictures.SetSize(0);
}

TEST_F(AccountTest, SetupInstallsIntoTheProfileAndItsUninstallerRemovesTheTickedAutostart)
{
    const std::wstring strFolder = KnownFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Vellomar";
    const std::wstring strProgram = strFolder + L"\\Vellomar.exe";
    CChildProcess setup;
    ASSERT_TRUE(setup.Start(Widen(ProgramFolder() + "\\..\\" VELLOMAR_SETUP_NAME), L"setup.exe /S"));
    ASSERT_EQ(0, setup.Wait(60000));
    ASSERT_TRUE(ExistsW(strProgram));

    // The autostart box ticked in the installed program's dialog: the entry
    // names the installed file, quoted.
    DeleteRegistryValue(HKEY_CURRENT_USER, kRunKey, "Vellomar");
    CChildProcess program;
    ASSERT_TRUE(program.Start(strProgram, L"Vellomar.exe /config"));
    HWND hDialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hDialog = program.FindWindow("#32770")) != nullptr; }));
    PostMessageA(GetDlgItem(hDialog, IDC_AUTOSTART), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([] { return RegistryWideText(HKEY_CURRENT_USER, kRunKey, "Vellomar") != L""; }));
    ClickButton(hDialog, IDOK);
    EXPECT_EQ(0, program.Wait(10000));
    EXPECT_EQ(L"\"" + strProgram + L"\"", RegistryWideText(HKEY_CURRENT_USER, kRunKey, "Vellomar"))
        << "quoted, and naming the installed file";

    // Named by its short path (the profile folder's 8.3 form), as an earlier
    // version or another tool may have stored it, the entry is still this
    // installation's: the uninstaller compares long forms.
    WCHAR szShort[MAX_PATH] = L"";
    ASSERT_NE(0u, GetShortPathNameW(strProgram.c_str(), szShort, MAX_PATH));
    ASSERT_NE(strProgram, szShort);
    const std::wstring strShortEntry = L"\"" + std::wstring(szShort) + L"\"";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_CURRENT_USER, Widen(kRunKey).c_str(), L"Vellomar", REG_SZ, strShortEntry.c_str(),
                              static_cast<DWORD>((strShortEntry.size() + 1) * sizeof(wchar_t))));

    CChildProcess uninstall;
    const std::wstring strUninstaller = strFolder + L"\\Uninstall.exe";
    ASSERT_TRUE(uninstall.Start(strUninstaller, L"\"" + strUninstaller + L"\" /S _?=" + strFolder));
    EXPECT_EQ(0, uninstall.Wait(60000));
    EXPECT_FALSE(ExistsW(strProgram));
    EXPECT_EQ(L"<none>", RegistryWideText(HKEY_CURRENT_USER, kRunKey, "Vellomar", L"<none>"));
    RemoveTreeW(strFolder); // in place, the uninstaller leaves itself behind
}

TEST_F(AccountTest, LinkFallbackStartsABrowserUnderTheProfile)
{
    // A per-user browser, and a shell that cannot open the link itself.
    const std::wstring strBrowser = KnownFolder(CSIDL_LOCAL_APPDATA) + L"\\Przegl\u0105darka";
    CreateDirectoryW(strBrowser.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Widen(ProgramFolder() + "\\Recorder.exe").c_str(), (strBrowser + L"\\Recorder.exe").c_str(),
                          FALSE));
    CRegistryValueGuard http(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "");
    CRegistryValueGuard htm(HKEY_CLASSES_ROOT, ".htm", "");
    SetRegistryString(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", "\"C:\\no\\such\\browser.exe\" \"%1\"");
    SetRegistryString(HKEY_CLASSES_ROOT, ".htm", "", "VellomarAccountPage");
    std::wstring strCommand = L"\"" + strBrowser + L"\\Recorder.exe\" \"%1\"";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, L"VellomarAccountPage\\shell\\open\\command", nullptr,
                                             REG_SZ, strCommand.c_str(),
                                             static_cast<DWORD>((strCommand.size() + 1) * sizeof(wchar_t))));

    EXPECT_GT(OpenUrl("http://example.org/vellomar", SW_SHOWNORMAL), 32);
    std::wstring strLog = strBrowser + L"\\Recorder.log";
    EXPECT_TRUE(WaitUntil([&] { return ExistsW(strLog); }, 10000)) << "the browser under the profile was started";
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VellomarAccountPage");
    RemoveTreeW(strBrowser);
}
