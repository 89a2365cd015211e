#include "state/Globals.h"
#include "res/resource.h"
#include "ui/SettingsDlg.h"

#include "support/AnsiText.h"
#include "support/MessageBoxCatcher.h"
#include "support/RegistryValues.h"
#include "support/FolderChooser.h"
#include "support/ImportPatch.h"
#include "support/ShellItem.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"
#include "support/WallpaperSetting.h"
#include "support/WindowLookup.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>

#include <optional>
#include <regex>

namespace
{
const char kRunValue[] = "Vellomar";

// Whether a static's text fits its window in the font it draws with.
bool TextFits(HWND hStatic)
{
    std::string strText = WindowText(hStatic);
    HDC hdc = GetDC(hStatic);
    HGDIOBJ hOld = SelectObject(hdc, reinterpret_cast<HGDIOBJ>(SendMessageA(hStatic, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(hdc, strText.c_str(), static_cast<int>(strText.size()), &size);
    SelectObject(hdc, hOld);
    ReleaseDC(hStatic, hdc);
    RECT rect = {};
    GetClientRect(hStatic, &rect);
    return size.cx <= rect.right && size.cy <= rect.bottom;
}

// Denies every access to a registry key while it lives (an empty access
// list), then puts the key's own access list back.
class CKeyAccessDenied
{
public:
    explicit CKeyAccessDenied(const char* pszKey)
    {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, pszKey, 0, READ_CONTROL | WRITE_DAC, &m_hKey) != ERROR_SUCCESS)
            return;
        DWORD cbSaved = 0;
        RegGetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, nullptr, &cbSaved);
        m_saved.resize(cbSaved);
        RegGetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, m_saved.data(), &cbSaved);
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        InitializeAcl(&m_emptyAcl, sizeof(m_emptyAcl), ACL_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, &m_emptyAcl, FALSE);
        m_bDenied = RegSetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    }
    ~CKeyAccessDenied()
    {
        if (m_bDenied)
            RegSetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, m_saved.data());
        if (m_hKey)
            RegCloseKey(m_hKey);
    }
    bool Denied() const { return m_bDenied; }

private:
    HKEY m_hKey = nullptr;
    std::vector<BYTE> m_saved;
    ACL m_emptyAcl;
    bool m_bDenied = false;
};

// Opens the settings dialog for real and drives it with a script.
class SettingsDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_strDataDir = (m_data.Path() + "\\").c_str();
        g_strPicturesPath = m_pictures.Path().c_str();
        g_arrPictures.SetSize(0);
    }
    void TearDown() override
    {
        g_arrPictures.SetSize(0);
        g_strPicturesPath.Empty();
    }

    HWND Dialog() const { return m_dlg.m_hWnd; }
    HWND Item(int nID) const { return GetDlgItem(m_dlg.m_hWnd, nID); }
    std::string Text(int nID) const { return WindowText(Item(nID)); }

    // Runs the dialog with the script's steps, then a final step that ends
    // it with OK; returns what DoModal returned.
    INT_PTR Run(CUiScript& script)
    {
        script.Start();
        INT_PTR nResult = m_dlg.DoModal();
        EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepsDone();
        EXPECT_TRUE(script.Finished());
        return nResult;
    }

    // A step that waits for the dialog to show.
    CUiScript::Step Opened()
    {
        return [this] { return Dialog() && IsWindowVisible(Dialog()); };
    }

    CUiScript::Step Click(int nID)
    {
        return [this, nID] {
            PostMessageA(Item(nID), BM_CLICK, 0, 0);
            return true;
        };
    }

    // A step that waits until the condition holds.
    static CUiScript::Step Until(std::function<bool()> condition) { return condition; }

    static void AddChoice(CUiScript& script, CSettingsDlg& dlg, HWND* phChooser, const CShellItem& item, int nButton)
    {
        AddFolderChoice(script, dlg.m_hWnd, phChooser, item, nButton);
    }

    std::string StoredPath() const
    {
        char szStored[MAX_PATH] = "";
        GetPrivateProfileStringA("main", "PicturesPath", "", szStored, sizeof(szStored),
                                 (m_data / "config.cfg").c_str());
        return szStored;
    }

    CTempDir m_data;
    CTempDir m_pictures;
    CSettingsDlg m_dlg;
    CRegistryValueGuard m_run{HKEY_CURRENT_USER, kRunKey, kRunValue};
    CRegistryValueGuard m_wallpaper{HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"};
};
} // namespace

TEST_F(SettingsDlgTest, OpensWithTheStoredStateAndNoScan)
{
    g_strPicturesPath = (m_pictures / "missing").c_str(); // no message on open even so
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, kRunValue, "C:\\elsewhere\\Vellomar.exe");
    CMessageBoxCatcher catcher;
    CUiScript script;
    script.Then(Opened())
        .Then([&] {
            EXPECT_EQ("Files : 0", Text(IDC_FILE_COUNT));
            EXPECT_EQ("Scan time : O ms", Text(IDC_SCAN_TIME));
            EXPECT_FALSE(IsWindowEnabled(Item(IDC_CHANGE_NOW)));
            EXPECT_EQ(m_pictures / "missing", Text(IDC_PATH));
            EXPECT_EQ(BST_CHECKED, SendMessageA(Item(IDC_AUTOSTART), BM_GETCHECK, 0, 0));
            EXPECT_EQ(Item(IDOK), GetFocus());

            MONITORINFO monitor = {};
            monitor.cbSize = sizeof(monitor);
            GetMonitorInfoA(MonitorFromWindow(Dialog(), MONITOR_DEFAULTTOPRIMARY), &monitor);
            RECT rc;
            GetWindowRect(Dialog(), &rc);
            EXPECT_NEAR((monitor.rcWork.left + monitor.rcWork.right) / 2, (rc.left + rc.right) / 2, 1);
            EXPECT_NEAR((monitor.rcWork.top + monitor.rcWork.bottom) / 2, (rc.top + rc.bottom) / 2, 1);

            HMENU hMenu = GetSystemMenu(Dialog(), FALSE);
            int nItems = GetMenuItemCount(hMenu);
            EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(hMenu, nItems - 2, MF_BYPOSITION) & MF_SEPARATOR);
            EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), GetMenuItemID(hMenu, nItems - 1));
            char szItem[64] = "";
            GetMenuStringA(hMenu, nItems - 1, szItem, sizeof(szItem), MF_BYPOSITION);
            EXPECT_STREQ("&About Vellomar...", szItem);
            return true;
        })
        .Then(Click(IDOK));
    EXPECT_EQ(IDOK, Run(script));
    EXPECT_TRUE(catcher.Boxes().empty());
    EXPECT_EQ(0, g_arrPictures.GetSize()) << "opening does not scan";
}

TEST_F(SettingsDlgTest, RefreshShowsCountAndTimeAndEnablesChangeNow)
{
    for (const char* pszName : {"a.jpg", "b.gif", "c.bmp"})
        WriteText(m_pictures / pszName, "x");
    MakeFolder(m_pictures / "sub");
    WriteText(m_pictures / "sub\\d.JPG", "x");
    std::regex timeFormat("Scan time : [0-9]+\\.[0-9]{2} sec\\.");

    CUiScript script;
    script.Then(Opened())
        .Then(Click(IDC_REFRESH_LIST))
        .Then(Until([&] { return Text(IDC_FILE_COUNT) == "Files : 4"; }))
        .Then([&] {
            EXPECT_TRUE(std::regex_match(Text(IDC_SCAN_TIME), timeFormat)) << Text(IDC_SCAN_TIME);
            EXPECT_TRUE(TextFits(Item(IDC_SCAN_TIME)) && TextFits(Item(IDC_FILE_COUNT))) << "shown whole";
            EXPECT_TRUE(IsWindowEnabled(Item(IDC_CHANGE_NOW)));
            for (const char* pszName : {"a.jpg", "b.gif", "c.bmp", "sub\\d.JPG"})
                DeleteFileA((m_pictures / pszName).c_str());
            return true;
        })
        .Then(Click(IDC_REFRESH_LIST))
        .Then(Until([&] { return Text(IDC_FILE_COUNT) == "Files : 0"; }))
        .Then([&] {
            EXPECT_FALSE(IsWindowEnabled(Item(IDC_CHANGE_NOW))) << "an empty scan disables it again";
            return true;
        })
        .Then(Click(IDOK));
    Run(script);
}

TEST_F(SettingsDlgTest, RefreshOfAMissingFolderReportsItFirst)
{
    std::string strMissing = m_pictures / "gone";
    g_strPicturesPath = strMissing.c_str();
    CMessageBoxCatcher catcher;
    CUiScript script;
    script.Then(Opened())
        .Then(Click(IDC_REFRESH_LIST))
        .Then(Until([&] { return !catcher.Boxes().empty() && Text(IDC_SCAN_TIME) != "Scan time : O ms"; }))
        .Then([&] {
            EXPECT_EQ(1u, catcher.Boxes().size()) << "the catalogue's report of the path";
            EXPECT_EQ("Files : 0", Text(IDC_FILE_COUNT));
            EXPECT_FALSE(IsWindowEnabled(Item(IDC_CHANGE_NOW)));
            return true;
        })
        .Then(Click(IDOK));
    Run(script);
}

TEST_F(SettingsDlgTest, FolderChooserStoresAndScansTheChoice)
{
    CTempDir chosen;
    WriteText(chosen / "one.gif", "x");
    WriteText(chosen / "two.jpg", "x");
    CShellItem chosenItem(Widen(chosen.Path()));
    CShellItem otherItem(Widen(m_pictures.Path()));

    CUiScript script;
    HWND hChooser = nullptr;
    script.Then(Opened());
    AddChoice(script, m_dlg, &hChooser, chosenItem, IDOK);
    script.Then(Until([&] { return Text(IDC_FILE_COUNT) == "Files : 2"; })).Then([&] {
        EXPECT_EQ(chosen.Path(), Text(IDC_PATH));
        EXPECT_EQ(chosen.Path(), StoredPath());
        EXPECT_EQ(chosen.Path(), std::string(g_strPicturesPath));
        return true;
    });
    // Cancel changes nothing: path, file, list and counters stay.
    AddChoice(script, m_dlg, &hChooser, otherItem, IDCANCEL);
    script.Then([&] {
        EXPECT_EQ(chosen.Path(), Text(IDC_PATH));
        EXPECT_EQ("Files : 2", Text(IDC_FILE_COUNT));
        EXPECT_EQ(2, g_arrPictures.GetSize());
        EXPECT_EQ(chosen.Path(), StoredPath());
        return true;
    });
    script.Then(Click(IDOK));
    Run(script);
}

TEST_F(SettingsDlgTest, ChoiceWithoutAnExactNameIsKeptByItsShortFormAndOneWithoutAPathIsCancelled)
{
    // A folder the code page cannot name, with a picture in it; and My
    // Computer, which has no file-system path at all.
    std::wstring strCyrillic = Widen(m_pictures.Path()) + L"\\\x0444\x043E\x0442\x043E";
    ASSERT_TRUE(CreateDirectoryW(strCyrillic.c_str(), nullptr));
    ASSERT_FALSE(HasAnsiForm(strCyrillic)) << "the test needs a code page without Cyrillic, not " << GetACP();
    HANDLE hPicture = CreateFileW((strCyrillic + L"\\a.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hPicture);
    CloseHandle(hPicture);
    WritePrivateProfileStringA("main", "PicturesPath", m_pictures.Path().c_str(), (m_data / "config.cfg").c_str());
    CShellItem cyrillic(strCyrillic);
    CShellItem computer(CSIDL_DRIVES);

    struct Case
    {
        const CShellItem* pItem;
        const char* pszFiles; // the count shown after the choice
        bool bStored;
    };
    for (const Case& c : {Case{&cyrillic, "Files : 1", true}, Case{&computer, "Files : 0", false}})
    {
        SCOPED_TRACE(c.pItem == &cyrillic ? "Cyrillic folder" : "My Computer");
        std::string strBefore = StoredPath();
        EXPECT_TRUE(RunDialogWithChoice(*c.pItem, [&](HWND hDlg) {
            if (WindowText(GetDlgItem(hDlg, IDC_FILE_COUNT)) != c.pszFiles)
                return false;
            EXPECT_EQ(StoredPath(), WindowText(GetDlgItem(hDlg, IDC_PATH)));
            return true;
        }));
        EXPECT_EQ(StoredPath(), std::string(g_strPicturesPath));
        if (c.bStored) // a name the ANSI calls open, of that very folder
            EXPECT_TRUE(FileExists(StoredPath() + "\\a.jpg")) << StoredPath();
        else
            EXPECT_EQ(strBefore, StoredPath()) << "nothing stored";
    }
}

TEST_F(SettingsDlgTest, ChoiceThatCannotBeUsedOrSavedIsRefusedInWords)
{
    // A folder the code page cannot name on a volume without short names;
    // and a good folder whose choice cannot be saved (the settings file is
    // read-only). Each is named in a message, and the dialog, the settings
    // file and the folder in use keep the stored one.
    std::wstring strCyrillic = Widen(m_pictures.Path()) + L"\\\x0444\x043E\x0442\x043E 2026";
    ASSERT_TRUE(CreateDirectoryW(strCyrillic.c_str(), nullptr));
    ASSERT_FALSE(HasAnsiForm(strCyrillic)) << "the test needs a code page without Cyrillic, not " << GetACP();
    CTempDir good;
    WriteText(good / "a.jpg", "x");
    const std::string strConfig = m_data / "config.cfg";
    WritePrivateProfileStringA("main", "PicturesPath", m_pictures.Path().c_str(), strConfig.c_str());
    const std::vector<unsigned char> stored = ReadBytes(strConfig);
    struct Case
    {
        const char* pszName;
        std::wstring strFolder;
        bool bNoShortNames;
    } const cases[] = {
        {"no short name", strCyrillic, true},
        {"read-only settings", Widen(good.Path()), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        g_strPicturesPath = m_pictures.Path().c_str();
        SetFileAttributesA(strConfig.c_str(), c.bNoShortNames ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY);
        std::optional<CImportPatch> noShortNames;
        if (c.bNoShortNames)
        {
            noShortNames.emplace("kernel32.dll", "GetShortPathNameW", reinterpret_cast<const void*>(&NoShortPathName));
            ASSERT_TRUE(noShortNames->Patched());
        }
        CShellItem item(c.strFolder);
        CMessageBoxCatcher catcher;
        EXPECT_TRUE(RunDialogWithChoice(item, [&](HWND hDlg) {
            if (catcher.Boxes().empty())
                return false;
            EXPECT_EQ(m_pictures.Path(), WindowText(GetDlgItem(hDlg, IDC_PATH)));
            return true;
        }));
        ASSERT_EQ(1u, catcher.Boxes().size());
        std::string strTail = c.bNoShortNames ? " 2026" : good.Path();
        EXPECT_NE(std::string::npos, catcher.Boxes()[0].strText.find(strTail)) << catcher.Boxes()[0].strText;
        EXPECT_TRUE(stored == ReadBytes(strConfig)) << "the settings file is unchanged";
        EXPECT_EQ(m_pictures.Path(), std::string(g_strPicturesPath));
        EXPECT_TRUE(!noShortNames || noShortNames->Calls() > 0) << "as on a volume without short names";
    }
    SetFileAttributesA(strConfig.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsDlgTest, CheckBoxSwitchesAutostartAtOnce)
{
    DeleteRegistryValue(HKEY_CURRENT_USER, kRunKey, kRunValue);
    char szPath[1000];
    GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    std::string szProgram = "\"" + std::string(szPath) + "\"";
    auto runValue = [] { return RegistryText(HKEY_CURRENT_USER, kRunKey, kRunValue, "<none>"); };

    CUiScript script;
    script.Then(Opened())
        .Then(Click(IDC_AUTOSTART))
        .Then(Until([&] { return runValue() != "<none>"; }))
        .Then([&] {
            EXPECT_EQ(szProgram, runValue());
            return true;
        })
        .Then(Click(IDC_AUTOSTART))
        .Then(Until([&] { return runValue() == "<none>"; }))
        .Then(Click(IDC_AUTOSTART))
        .Then(Until([&] { return runValue() != "<none>"; }))
        .Then([&] {
            PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); // the close box keeps it
            return true;
        });
    EXPECT_EQ(IDCANCEL, Run(script));
    EXPECT_EQ(szProgram, runValue());
}

TEST_F(SettingsDlgTest, RefusedSwitchLeavesTheBoxAsTheRunKeyIs)
{
    DeleteRegistryValue(HKEY_CURRENT_USER, kRunKey, kRunValue);
    CMessageBoxCatcher catcher;
    auto checked = [&] { return SendMessageA(Item(IDC_AUTOSTART), BM_GETCHECK, 0, 0); };
    {
        CKeyAccessDenied denied(kRunKey);
        ASSERT_TRUE(denied.Denied());
        CUiScript script;
        script.Then(Opened())
            .Then(Click(IDC_AUTOSTART))
            .Then([&] {
                EXPECT_EQ(BST_UNCHECKED, checked());
                return true;
            })
            .Then(Click(IDOK));
        Run(script);
    }
    EXPECT_TRUE(catcher.Boxes().empty()) << "nothing is shown";

    // Allowed again: the next dialog shows the value still off, and the
    // same click now switches it on, so the refusal alone kept it off.
    CUiScript again;
    again.Then(Opened())
        .Then([&] {
            EXPECT_EQ(BST_UNCHECKED, checked());
            return true;
        })
        .Then(Click(IDC_AUTOSTART))
        .Then(Until([&] { return ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, kRunValue, nullptr, nullptr); }))
        .Then(Click(IDOK));
    Run(again);
}

TEST_F(SettingsDlgTest, EscIsIgnoredAndEveryCloseEndsTheDialog)
{
    struct Way
    {
        const char* pszName;
        std::function<void(HWND)> close;
        INT_PTR nExpected;
    } const ways[] = {
        {"OK", [](HWND hDlg) { ClickButton(hDlg, IDOK); }, IDOK},
        {"close box", [](HWND hDlg) { PostMessageA(hDlg, WM_CLOSE, 0, 0); }, IDCANCEL},
        {"system menu Close", [](HWND hDlg) { PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Alt+F4",
         [](HWND hDlg) { PostMessageA(GetDlgItem(hDlg, IDOK), WM_SYSKEYDOWN, VK_F4, 0x20000001 | (0x3E << 16)); },
         IDCANCEL},
    };
    for (const Way& way : ways)
    {
        SCOPED_TRACE(way.pszName);
        CSettingsDlg dlg;
        CUiScript script(10000);
        script.Then([&] { return dlg.m_hWnd && IsWindowVisible(dlg.m_hWnd); })
            .Then([&] {
                PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                return true;
            })
            .Then([&] {
                EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd)) << "Esc must not close it";
                way.close(dlg.m_hWnd);
                return true;
            });
        script.Start();
        EXPECT_EQ(way.nExpected, dlg.DoModal());
        EXPECT_TRUE(script.Finished());
        EXPECT_FALSE(script.TimedOut());
    }
}

TEST_F(SettingsDlgTest, ChangeNowDrawsFromTheLastScanAndStaysOpen)
{
    std::string strPicture = m_pictures / "only.bmp";
    WriteBytes(strPicture, MakeBmp(8, 8));
    SetWallpaper("C:\\before.bmp");

    CUiScript script;
    script.Then(Opened())
        .Then(Click(IDC_REFRESH_LIST))
        .Then(Until([&] { return Text(IDC_FILE_COUNT) == "Files : 1"; }))
        .Then([&] {
            WriteBytes(m_pictures / "later.bmp", MakeBmp(8, 8)); // not scanned: never drawn
            return true;
        })
        .Then(Click(IDC_CHANGE_NOW))
        .Then(Until([&] { return CurrentWallpaper() == strPicture; }))
        // A bitmap deleted since the scan leaves the desktop as it is.
        .Then([&] {
            EXPECT_TRUE(IsWindowVisible(Dialog()));
            DeleteFileA(strPicture.c_str());
            SetWallpaper("C:\\before.bmp");
            return true;
        })
        .Then(Click(IDC_CHANGE_NOW))
        .Then([&] {
            EXPECT_EQ("C:\\before.bmp", CurrentWallpaper());
            return true;
        })
        .Then(Click(IDOK));
    Run(script);
    SetWallpaper("");
}
