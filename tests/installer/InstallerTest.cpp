// The 64-bit setup program run for real in the test prefix: silent install,
// the installed program's first run, silent uninstall, and reinstalling.
#include "support/ChildProcess.h"
#include "support/DataFolderGuard.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"
#include "support/WindowLookup.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shlobj.h>

namespace
{
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vellomar";

std::string Folder(int nCsidl)
{
    char szPath[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, nCsidl, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

std::string InstallFolder()
{
    return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Vellomar";
}
std::string InstalledProgram()
{
    return InstallFolder() + "\\Vellomar.exe";
}
std::string Shortcut()
{
    return Folder(CSIDL_PROGRAMS) + "\\Vellomar.lnk";
}
std::string SetupProgram()
{
    return ProgramFolder() + "\\..\\" VELLOMAR_SETUP_NAME;
}

long Install()
{
    CChildProcess setup;
    if (!setup.Start(SetupProgram(), "setup.exe /S"))
        return -2;
    return setup.Wait(60000);
}

std::string Uninstaller()
{
    return InstallFolder() + "\\Uninstall.exe";
}

// Starts the uninstaller in place (_?=): started plainly it copies itself
// away and returns at once, and a test would hold only that stub.
bool StartUninstaller(CChildProcess& uninstall, const std::string& strSwitches)
{
    std::string strSpace = strSwitches.empty() ? "" : " ";
    return uninstall.Start(Uninstaller(),
                           "\"" + Uninstaller() + "\"" + strSpace + strSwitches + " _?=" + InstallFolder());
}

// In place, the uninstaller cannot remove itself and its folder: what the
// copy it runs from normally does after it.
// Wine may hold the file of a process that has just ended for a moment.
bool RemoveUninstallerLeftOver()
{
    return WaitUntil(
        [] {
            DeleteFileA(Uninstaller().c_str());
            RemoveDirectoryA(InstallFolder().c_str());
            return !FileExists(InstallFolder());
        },
        10000);
}

// A silent uninstall in place: its exit code, once it has finished.
long UninstallInPlace(const char* pszSwitches = "/S")
{
    CChildProcess uninstall;
    if (!StartUninstaller(uninstall, pszSwitches))
        return -2;
    long nExit = uninstall.Wait(60000);
    if (nExit == 0 && !RemoveUninstallerLeftOver())
        return -3;
    return nExit;
}

bool Uninstall()
{
    return UninstallInPlace() == 0 && !FileExists(InstallFolder());
}

// The wizard's inner page: the child dialog that it makes anew for each page.
HWND InnerPage(HWND hWizard)
{
    return FindWindowExA(hWizard, nullptr, "#32770", nullptr);
}

// The setup's or uninstaller's wizard: its one dialog with an inner page.
HWND FindWizard(const CChildProcess& process)
{
    HWND hWnd = process.FindWindow("#32770");
    return hWnd && InnerPage(hWnd) ? hWnd : nullptr;
}

struct ShortcutInfo
{
    std::string strTarget;
    std::string strArguments;
};

ShortcutInfo ReadShortcut(const std::string& strPath)
{
    ShortcutInfo info;
    CoInitialize(nullptr);
    IShellLinkA* pLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&pLink))))
    {
        IPersistFile* pFile = nullptr;
        if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))))
        {
            wchar_t wszPath[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, strPath.c_str(), -1, wszPath, MAX_PATH);
            if (SUCCEEDED(pFile->Load(wszPath, STGM_READ)))
            {
                char szText[MAX_PATH] = "";
                pLink->GetPath(szText, MAX_PATH, nullptr, 0);
                info.strTarget = szText;
                pLink->GetArguments(szText, MAX_PATH);
                info.strArguments = szText;
            }
            pFile->Release();
        }
        pLink->Release();
    }
    CoUninitialize();
    return info;
}

// Drives a wizard with one press per page, so that a press still queued
// never lands on the next page's button.
class CWizardPresser
{
public:
    explicit CWizardPresser(HWND hWizard) : m_hWizard(hWizard) {}

    // Waits for a page not pressed on yet whose forward button (id 1) shows
    // the setup's own text and is enabled, presses it once, then waits until
    // the page moves on or a message box holds the wizard.
    bool Press(const char* pszButton)
    {
        HWND hPage = nullptr, hButton = GetDlgItem(m_hWizard, IDOK);
        if (!WaitUntil([&] {
                hPage = InnerPage(m_hWizard);
                return hPage && hPage != m_hPressedPage && IsWindowVisible(hPage) && IsWindowEnabled(hButton) &&
                       WindowText(hButton) == pszButton;
            }))
            return false;
        m_hPressedPage = hPage;
        PostMessageA(hButton, BM_CLICK, 0, 0);
        return WaitUntil([&] { return InnerPage(m_hWizard) != hPage || !IsWindowEnabled(m_hWizard); });
    }

private:
    HWND m_hWizard;
    HWND m_hPressedPage = nullptr;
};

// Presses a wizard's last button until its process has ended: the wizard
// may enable the button a moment before it acts on a press. The exit code.
long PressUntilGone(CChildProcess& process, HWND hWizard, const char* pszButton)
{
    WaitUntil([&] {
        if (process.Wait(0) != -1)
            return true;
        HWND hButton = FindControl(hWizard, pszButton);
        if (hButton && IsWindowEnabled(hButton))
            PostMessageA(hButton, BM_CLICK, 0, 0);
        return false;
    });
    return process.Wait(0);
}

class InstallerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // An interrupted earlier run may have left an installation behind.
        if (FileExists(InstallFolder() + "\\Uninstall.exe"))
            Uninstall();
        RemoveTree(InstallFolder()); // what an interrupted in-place run left
        ASSERT_FALSE(FileExists(InstallFolder()));
    }
    void TearDown() override
    {
        if (FileExists(InstallFolder() + "\\Uninstall.exe"))
            Uninstall();
    }

    CDataFolderGuard m_data;
    CRegistryValueGuard m_run{HKEY_CURRENT_USER, kRunKey, "Vellomar"};
};
} // namespace

TEST_F(InstallerTest, SilentInstallPutsEverythingInPlace)
{
    ASSERT_EQ(0, Install());
    EXPECT_EQ(ReadBytes(VellomarExePath()), ReadBytes(InstalledProgram()));
    EXPECT_TRUE(FileExists(InstallFolder() + "\\Uninstall.exe"));

    ShortcutInfo shortcut = ReadShortcut(Shortcut());
    EXPECT_EQ(0, lstrcmpiA(InstalledProgram().c_str(), shortcut.strTarget.c_str())) << shortcut.strTarget;
    EXPECT_EQ("/config", shortcut.strArguments);

    EXPECT_EQ("Vellomar", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", "<none>"));
    EXPECT_EQ("1.0.0.1", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion", "<none>"));
    EXPECT_EQ("The Vellomar team", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "Publisher", "<none>"));
    EXPECT_EQ(InstalledProgram() + ",0", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayIcon", "<none>"));
    EXPECT_EQ("\"" + InstallFolder() + "\\Uninstall.exe\"",
              RegistryText(HKEY_CURRENT_USER, kUninstallKey, "UninstallString", "<none>"));
    EXPECT_EQ("http://orlamine.example.net/software/vellomar.html",
              RegistryText(HKEY_CURRENT_USER, kUninstallKey, "URLInfoAbout", "<none>"));
    EXPECT_EQ("http://vellomar.example.org/feedback.html",
              RegistryText(HKEY_CURRENT_USER, kUninstallKey, "HelpLink", "<none>"));
    EXPECT_TRUE(FileExists(InstallFolder() + "\\README.txt")) << "the users' README";
    DWORD dwType = 0;
    std::vector<BYTE> size;
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kUninstallKey, "EstimatedSize", &dwType, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dwType);
    EXPECT_GT(*reinterpret_cast<DWORD*>(size.data()), 100u) << "kilobytes";

    EXPECT_FALSE(FileExists(DataFolder())) << "a silent install does not run the program";
    EXPECT_EQ("<none>", RegistryText(HKEY_CURRENT_USER, kRunKey, "Vellomar", "<none>"));

    // The installed program's first run, as the finish page starts it.
    CChildProcess program;
    ASSERT_TRUE(program.Start(InstalledProgram(), "Vellomar.exe /install"));
    HWND hDialog = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (hDialog = program.FindWindow("#32770")) != nullptr; }, 15000));
    EXPECT_TRUE(FileExists(DataFolder()));
    ClickButton(hDialog, IDOK);
    EXPECT_EQ(0, program.Wait(10000));
}

TEST_F(InstallerTest, UninstallRemovesItsOwnAutostartAndKeepsTheSettings)
{
    ASSERT_EQ(0, Install());
    m_data.Configure("C:\\Pictures");
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, "Vellomar", InstalledProgram());

    ASSERT_TRUE(Uninstall());
    EXPECT_FALSE(FileExists(InstalledProgram()));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_EQ("<none>", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", "<none>"));
    EXPECT_EQ("<none>", RegistryText(HKEY_CURRENT_USER, kRunKey, "Vellomar", "<none>")) << "no dangling log-on entry";
    EXPECT_TRUE(FileExists(DataFolder() + "\\config.cfg")) << "a silent uninstall keeps the settings";
}

TEST_F(InstallerTest, UninstallLeavesAnotherProgramsAutostartAlone)
{
    ASSERT_EQ(0, Install());
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, "Vellomar", "C:\\Portable\\Vellomar.exe");
    ASSERT_TRUE(Uninstall());
    EXPECT_EQ("C:\\Portable\\Vellomar.exe", RegistryText(HKEY_CURRENT_USER, kRunKey, "Vellomar", "<none>"));
}

TEST_F(InstallerTest, InstallingOverAnInstallationReplacesTheProgramAndKeepsSettings)
{
    ASSERT_EQ(0, Install());
    m_data.Configure("C:\\Pictures\\Kept");
    WriteText(InstalledProgram(), "an older program");
    ASSERT_EQ(0, Install());
    EXPECT_EQ(ReadBytes(VellomarExePath()), ReadBytes(InstalledProgram()));
    char szValue[MAX_PATH] = "";
    GetPrivateProfileStringA("main", "PicturesPath", "", szValue, sizeof(szValue),
                             (DataFolder() + "\\config.cfg").c_str());
    EXPECT_STREQ("C:\\Pictures\\Kept", szValue);
    EXPECT_EQ("Vellomar", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", "<none>"));
}

TEST_F(InstallerTest, FinishPageRunsTheFirstChoiceOfPictures)
{
    // The wizard driven page by page: Next, I Agree, Install, then Finish
    // with the run box as it stands (ticked) starts "Vellomar.exe /install".
    CChildProcess setup;
    ASSERT_TRUE(setup.Start(SetupProgram(), "setup.exe"));
    HWND hWizard = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hWizard = setup.FindWindow("#32770")) != nullptr; }));
    CWizardPresser wizard(hWizard);
    for (const char* pszButton : {"&Next >", "I &Agree", "&Install"})
        ASSERT_TRUE(wizard.Press(pszButton)) << pszButton;
    HWND hRun = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hRun = FindControl(hWizard, "Choose the pictures folder now")) != nullptr; }));
    EXPECT_EQ(BST_CHECKED, SendMessageA(hRun, BM_GETCHECK, 0, 0)) << "ticked by default";
    EXPECT_EQ(0, PressUntilGone(setup, hWizard, "&Finish"));

    // The program it started: the settings dialog, and a data folder made.
    HWND hDialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hDialog = FindProgramWindow(InstalledProgram(), "#32770")) != nullptr; }));
    EXPECT_EQ("Vellomar", WindowText(hDialog));
    EXPECT_TRUE(FileExists(DataFolder()));
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hDialog, &dwProcessId);
    HANDLE hProgram = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, dwProcessId);
    ASSERT_NE(nullptr, hProgram);
    // Closed with its OK button; the program must be gone before the
    // uninstaller can remove it.
    ClickButton(hDialog, IDOK);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hProgram, 10000));
    TerminateProcess(hProgram, 1);
    CloseHandle(hProgram);
}

TEST_F(InstallerTest, UninstallWizardRemovesTheSettingsOnlyWhenTicked)
{
    for (bool bTick : {false, true})
    {
        SCOPED_TRACE(bTick ? "ticked" : "left as offered");
        ASSERT_EQ(0, Install());
        m_data.Configure("C:\\Pictures");

        CChildProcess uninstall; // ended by its handle if the test fails
        ASSERT_TRUE(StartUninstaller(uninstall, ""));
        HWND hWizard = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (hWizard = FindWizard(uninstall)) != nullptr; }));
        CWizardPresser wizard(hWizard);
        ASSERT_TRUE(wizard.Press("&Next >"));

        // The components page: the second entry is the settings, unticked.
        HWND hTree = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            hTree = FindWindowExA(InnerPage(hWizard), nullptr, "SysTreeView32", nullptr);
            return hTree != nullptr && IsWindowVisible(hTree);
        }));
        LPARAM hRoot = SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        LPARAM hData = SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_NEXT, hRoot);
        ASSERT_NE(0, hData);
        LRESULT offered = SendMessageA(hTree, TVM_GETITEMSTATE, hData, TVIS_STATEIMAGEMASK);
        LRESULT program = SendMessageA(hTree, TVM_GETITEMSTATE, hRoot, TVIS_STATEIMAGEMASK);
        EXPECT_NE(offered, program) << "the settings are not ticked like the program";
        if (bTick)
        {
            SendMessageA(hTree, TVM_SELECTITEM, TVGN_CARET, hData);
            PostMessageA(hTree, WM_KEYDOWN, VK_SPACE, 0);
            ASSERT_TRUE(WaitUntil(
                [&] { return SendMessageA(hTree, TVM_GETITEMSTATE, hData, TVIS_STATEIMAGEMASK) != offered; }));
        }
        ASSERT_TRUE(wizard.Press("&Uninstall"));
        ASSERT_EQ(0, PressUntilGone(uninstall, hWizard, "&Close"));
        EXPECT_TRUE(RemoveUninstallerLeftOver()) << "nothing else left in the folder";
        EXPECT_EQ(!bTick, FileExists(DataFolder() + "\\config.cfg"));
    }
}

namespace
{
// The installed settings dialog, open while a setup or uninstaller runs.
class CRunningProgram
{
public:
    CRunningProgram()
    {
        m_program.Start(InstalledProgram(), "Vellomar.exe /config");
        WaitUntil([&] { return (m_hDialog = m_program.FindWindow("#32770")) != nullptr; }, 15000);
    }
    ~CRunningProgram() { Close(); }
    bool IsShown() const { return m_hDialog != nullptr; }
    bool Close()
    {
        if (m_hDialog)
            ClickButton(m_hDialog, IDOK);
        m_hDialog = nullptr;
        return m_program.Wait(10000) == 0;
    }

private:
    CChildProcess m_program;
    HWND m_hDialog = nullptr;
};

} // namespace

TEST_F(InstallerTest, SilentRunsOverARunningProgramFailAndChangeNothing)
{
    ASSERT_EQ(0, Install());
    std::string strReadme = InstallFolder() + "\\README.txt";
    ASSERT_TRUE(DeleteFileA(strReadme.c_str())); // a setup that went on would put it back
    CRunningProgram running;
    ASSERT_TRUE(running.IsShown());

    EXPECT_EQ(2, Install()) << "the setup fails";
    EXPECT_FALSE(FileExists(strReadme)) << "and changed nothing";
    EXPECT_EQ(2, UninstallInPlace("/S")) << "the uninstaller fails";
    EXPECT_TRUE(FileExists(InstalledProgram())) << "and removed nothing";
    EXPECT_TRUE(FileExists(Shortcut()));
    EXPECT_EQ("Vellomar", RegistryText(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", "<none>"));

    ASSERT_TRUE(running.Close());
    EXPECT_EQ(0, Install()) << "once it is closed, the setup goes through";
    EXPECT_TRUE(FileExists(strReadme));
}

TEST_F(InstallerTest, SilentInstallWaitsOutAProgramFileHeldForAMoment)
{
    // As a virus scanner or the indexer holds a freshly written program:
    // let go after a second, the update goes through; held on, it fails.
    ASSERT_EQ(0, Install());
    for (DWORD dwHeldFor : {1000UL, static_cast<DWORD>(INFINITE)})
    {
        SCOPED_TRACE(dwHeldFor);
        CHeldFile held(InstalledProgram(), FILE_SHARE_READ, dwHeldFor);
        ASSERT_TRUE(held.Held());
        EXPECT_EQ(dwHeldFor == INFINITE ? 2 : 0, Install());
    }
}

TEST_F(InstallerTest, UninstallerOffersRetryUntilTheProgramIsClosed)
{
    ASSERT_EQ(0, Install());
    CRunningProgram running;
    ASSERT_TRUE(running.IsShown());
    CChildProcess uninstall;
    ASSERT_TRUE(StartUninstaller(uninstall, ""));

    HWND hBox = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hBox = uninstall.FindWindow("#32770")) != nullptr; }));
    EXPECT_TRUE(GetDlgItem(hBox, IDRETRY) && GetDlgItem(hBox, IDCANCEL)) << "Retry or Cancel";
    EXPECT_NE(std::string::npos, MessageBoxText(hBox).find("Vellomar is running from " + InstallFolder()));

    // Retry while it still runs asks again; after closing it, the wizard opens.
    ClickButton(hBox, IDRETRY);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hBox) && (hBox = uninstall.FindWindow("#32770")) != nullptr; }));
    EXPECT_NE(nullptr, GetDlgItem(hBox, IDRETRY)) << "asked again";
    ASSERT_TRUE(running.Close());
    ClickButton(hBox, IDRETRY);
    HWND hWizard = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hWizard = FindWizard(uninstall)) != nullptr; }))
        << "the wizard, once it is closed";
    EXPECT_NE(-1, PressUntilGone(uninstall, hWizard, "Cancel"));
    EXPECT_TRUE(FileExists(InstalledProgram())) << "cancelled: nothing removed";
}

TEST_F(InstallerTest, FolderPageRefusesAFolderThatCannotBeWritten)
{
    // Wine run as root writes everywhere, so the folder is made unwritable
    // for the setup's own probe: its probe file's name is taken by a folder.
    CTempDir dir;
    std::string strBlocked = dir / "Vellomar";
    MakeFolder(strBlocked);
    MakeFolder(strBlocked + "\\vellomar-write-check.tmp");
    CChildProcess setup;
    ASSERT_TRUE(setup.Start(SetupProgram(), "setup.exe"));
    HWND hWizard = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hWizard = setup.FindWindow("#32770")) != nullptr; }));
    CWizardPresser wizard(hWizard);
    ASSERT_TRUE(wizard.Press("&Next >"));
    ASSERT_TRUE(wizard.Press("I &Agree"));
    HWND hEdit = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        hEdit = FindWindowExA(InnerPage(hWizard), nullptr, "Edit", nullptr);
        return hEdit != nullptr && IsWindowVisible(hEdit);
    }));
    SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strBlocked.c_str()));
    ASSERT_TRUE(wizard.Press("&Install"));

    HWND hBox = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        hBox = setup.FindWindow("#32770");
        return hBox && hBox != hWizard;
    }));
    EXPECT_EQ("You cannot write to " + strBlocked + ".\r\nChoose a folder of your own.", MessageBoxText(hBox));
    ClickButton(hBox, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(hEdit) && !IsWindow(hBox); })) << "back on the folder page";
    EXPECT_FALSE(FileExists(InstallFolder())) << "nothing installed";
    PostMessageA(hWizard, WM_CLOSE, 0, 0);
    WaitUntil([&] {
        if (HWND hAsk = setup.FindWindow("#32770"); hAsk && hAsk != hWizard)
            ClickButton(hAsk, IDYES); // "Are you sure you want to quit?"
        return setup.Wait(0) != -1;
    });
}
