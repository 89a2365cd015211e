// The About box opened for real from the settings dialog's system menu.
#include "state/Globals.h"
#include "platform/WinApp.h"
#include "res/resource.h"
#include "ui/SettingsDlg.h"

#include "support/ProbeLabel.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"
#include "support/WindowLookup.h"

#include "support/AnsiText.h"
#include "support/ImportPatch.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

namespace
{
POINT Centre(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

std::vector<std::string> g_opened; // what the links handed to the shell

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR pszFile, LPCSTR, LPCSTR, INT)
{
    g_opened.push_back(pszFile);
    return reinterpret_cast<HINSTANCE>(42);
}

WNDPROC g_pfnLinkProc = nullptr;

LRESULT CALLBACK FocusCuesHidden(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_QUERYUISTATE ? UISF_HIDEFOCUS : CallWindowProcA(g_pfnLinkProc, hWnd, message, wParam, lParam);
}

// Pixels of a label's top row that are not the dialog's background.
long MarkedTopPixels(HWND hLabel)
{
    RECT rc;
    GetClientRect(hLabel, &rc);
    std::vector<COLORREF> pixels = PaintedPixels(hLabel);
    return std::count_if(pixels.begin(), pixels.begin() + rc.right,
                         [](COLORREF c) { return c != GetSysColor(COLOR_BTNFACE); });
}

class AboutBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_strDataDir = (m_data.Path() + "\\").c_str();
        g_strPicturesPath.Empty();
        m_app.m_pMainWnd = &m_dlg; // as start-up makes it
    }

    CUiScript::Step Opened()
    {
        return [this] { return m_dlg.m_hWnd && IsWindowVisible(m_dlg.m_hWnd); };
    }
    CUiScript::Step OpenAbout()
    {
        return [this] {
            PostMessageA(m_dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            return true;
        };
    }
    CUiScript::Step AboutShown()
    {
        return [this] { return (m_hAbout = FindThreadWindow("#32770", "About Vellomar")) != nullptr; };
    }
    CUiScript::Step AboutGone()
    {
        return [this] { return !IsWindow(m_hAbout); };
    }
    // Clicks the feedback link as the mouse would.
    CUiScript::Step ClickFeedbackLink()
    {
        return [this] {
            HWND hLink = GetDlgItem(m_hAbout, IDC_FEEDBACK_LINK);
            PostMessageA(hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            PostMessageA(hLink, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            return true;
        };
    }
    CUiScript::Step CloseSettings()
    {
        return [this] {
            ClickButton(m_dlg.m_hWnd, IDOK);
            return true;
        };
    }

    CTempDir m_data;
    CWinApp m_app;
    CSettingsDlg m_dlg;
    HWND m_hAbout = nullptr;
};
} // namespace

TEST_F(AboutBoxTest, OpensCentredOverTheSettingsWithWorkingTips)
{
    CUiScript script;
    script.Then(Opened())
        .Then(OpenAbout())
        .Then(AboutShown())
        .Then([&] {
            POINT ptAbout = Centre(m_hAbout);
            POINT ptDialog = Centre(m_dlg.m_hWnd);
            EXPECT_NEAR(ptDialog.x, ptAbout.x, 1);
            EXPECT_NEAR(ptDialog.y, ptAbout.y, 1);
            EXPECT_EQ(GetDlgItem(m_hAbout, IDOK), GetFocus());
            EXPECT_FALSE(IsWindowEnabled(m_dlg.m_hWnd)) << "the settings wait while the box is open";
            EXPECT_EQ(m_dlg.m_hWnd, GetWindow(m_hAbout, GW_OWNER));

            EXPECT_EQ("Send us your feedback", WindowText(GetDlgItem(m_hAbout, IDC_FEEDBACK_LINK)));
            EXPECT_EQ("Our  home page on Orlamine - nice software archive",
                      WindowText(GetDlgItem(m_hAbout, IDC_HOMEPAGE_LINK)));
            for (int nId : {IDC_FEEDBACK_LINK, IDC_HOMEPAGE_LINK})
            {
                std::string strTip = TipTextFor(GetDlgItem(m_hAbout, nId));
                EXPECT_EQ(0u, strTip.find("Go to ")) << strTip;
                EXPECT_GT(strTip.size(), 6u);
            }
            EXPECT_NE(TipTextFor(GetDlgItem(m_hAbout, IDC_FEEDBACK_LINK)),
                      TipTextFor(GetDlgItem(m_hAbout, IDC_HOMEPAGE_LINK)));
            return true;
        })
        .Then([&] {
            // Esc closes the box, although the settings dialog ignores it.
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            return true;
        })
        .Then(AboutGone())
        .Then([&] {
            EXPECT_TRUE(IsWindowVisible(m_dlg.m_hWnd));
            EXPECT_TRUE(IsWindowEnabled(m_dlg.m_hWnd));
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            return true;
        })
        .Then([&] {
            // A timer tick comes only once the queue is empty: the dialog's
            // own loop has had the Esc by now.
            EXPECT_TRUE(IsWindowVisible(m_dlg.m_hWnd));
            ClickButton(m_dlg.m_hWnd, IDOK);
            return true;
        });
    script.Start();
    EXPECT_EQ(IDOK, m_dlg.DoModal());
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.StepsDone();
    EXPECT_EQ(nullptr, m_app.m_pMainWnd) << "cleared when the main dialog's window went";
}

TEST_F(AboutBoxTest, VisitedStateLastsOneShowing)
{
    CRegistryValueGuard http(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "");
    SetRegistryString(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "",
                      "\"" + ProgramFolder() + "\\Recorder.exe\" \"%1\"");
    std::string strLog = ProgramFolder() + "\\Recorder.log";
    DeleteFileA(strLog.c_str());

    CUiScript script;
    script.Then(Opened())
        .Then(OpenAbout())
        .Then(AboutShown())
        .Then([&] {
            EXPECT_EQ(RGB(0, 0, 238), LabelTextColour(m_hAbout, GetDlgItem(m_hAbout, IDC_FEEDBACK_LINK)));
            return true;
        })
        .Then(ClickFeedbackLink())
        .Then([&] { return FileExists(strLog); })
        .Then([&] {
            EXPECT_EQ(RGB(85, 26, 139), LabelTextColour(m_hAbout, GetDlgItem(m_hAbout, IDC_FEEDBACK_LINK)));
            EXPECT_EQ(RGB(0, 0, 238), LabelTextColour(m_hAbout, GetDlgItem(m_hAbout, IDC_HOMEPAGE_LINK)));
            ClickButton(m_hAbout, IDOK);
            return true;
        })
        .Then(AboutGone())
        .Then(OpenAbout())
        .Then(AboutShown())
        .Then([&] {
            EXPECT_EQ(RGB(0, 0, 238), LabelTextColour(m_hAbout, GetDlgItem(m_hAbout, IDC_FEEDBACK_LINK)))
                << "a new box, new labels";
            PostMessageA(m_hAbout, WM_CLOSE, 0, 0);
            return true;
        })
        .Then(AboutGone())
        .Then(CloseSettings());
    script.Start();
    EXPECT_EQ(IDOK, m_dlg.DoModal());
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.StepsDone();
    std::vector<unsigned char> log = ReadBytes(strLog);
    EXPECT_NE(std::string::npos, std::string(log.begin(), log.end()).find("http://")) << "the feedback address";
    DeleteFileA(strLog.c_str());
}

TEST_F(AboutBoxTest, LinkErrorBoxIsOwnedByTheAboutBox)
{
    // Neither the shell nor the registered page command can open the link.
    CRegistryValueGuard http{HKEY_CLASSES_ROOT, "http\\shell\\open\\command", ""};
    CRegistryValueGuard htm{HKEY_CLASSES_ROOT, ".htm", ""};
    SetRegistryString(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", "C:\\nowhere\\browser.exe %1");
    SetRegistryString(HKEY_CLASSES_ROOT, ".htm", "", "VellomarTestNoSuchClass");

    HWND hBox = nullptr;
    CUiScript script;
    script.Then(Opened())
        .Then(OpenAbout())
        .Then(AboutShown())
        .Then(ClickFeedbackLink())
        .Then([&] { return (hBox = FindMessageBox()) != nullptr; })
        .Then([&] {
            EXPECT_EQ(m_hAbout, GetWindow(hBox, GW_OWNER));
            EXPECT_FALSE(IsWindowEnabled(m_hAbout)) << "the link cannot be clicked again under its own box";
            ClickButton(hBox, IDOK);
            return true;
        })
        .Then([&] { return !IsWindow(hBox) && IsWindowEnabled(m_hAbout); })
        .Then([&] {
            ClickButton(m_hAbout, IDOK);
            return true;
        })
        .Then(AboutGone())
        .Then(CloseSettings());
    script.Start();
    m_dlg.DoModal();
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.StepsDone();
}

TEST_F(AboutBoxTest, ReopeningManyTimesLeavesNoFontsBehind)
{
    // Each showing makes two labels with two fonts each; all must be gone
    // when the box closes. Fonts still alive would be found as font objects.
    std::vector<HGDIOBJ> fonts;
    int nShown = 0;
    CUiScript script(30000);
    script.Then(Opened());
    for (int i = 0; i < 10; ++i)
    {
        script.Then(OpenAbout())
            .Then(AboutShown())
            .Then([&] {
                for (int nId : {IDC_FEEDBACK_LINK, IDC_HOMEPAGE_LINK})
                {
                    HWND hLink = GetDlgItem(m_hAbout, nId);
                    fonts.push_back(reinterpret_cast<HGDIOBJ>(SendMessageA(hLink, WM_GETFONT, 0, 0))); // plain
                    SendMessageA(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)); // hover: the underlined font
                    fonts.push_back(reinterpret_cast<HGDIOBJ>(SendMessageA(hLink, WM_GETFONT, 0, 0)));
                }
                ++nShown;
                ClickButton(m_hAbout, IDOK);
                return true;
            })
            .Then(AboutGone());
    }
    script.Then([&] {
        ClickButton(m_dlg.m_hWnd, IDOK);
        return true;
    });
    script.Start();
    m_dlg.DoModal();
    EXPECT_EQ(10, nShown);
    ASSERT_EQ(40u, fonts.size());
    for (size_t i = 0; i < fonts.size(); i += 2)
        EXPECT_NE(fonts[i], fonts[i + 1]) << "a plain and an underlined font per label";
    for (HGDIOBJ hFont : fonts)
        EXPECT_EQ(0u, GetObjectType(hFont));
}

TEST_F(AboutBoxTest, LinksWorkByKeyboardAndForScreenReaders)
{
    CImportPatch open("shell32.dll", "ShellExecuteA", reinterpret_cast<const void*>(&RecordOpen));
    ASSERT_TRUE(open.Patched());
    g_opened.clear();
    const std::string kHome = "http://orlamine.example.net/software/vellomar.html";
    const std::string kFeedback = "http://vellomar.example.org/feedback.html";
    // Each key, and where the focus is then: Enter and Space open the link
    // and leave the box open.
    const struct
    {
        BYTE nKey;
        int nFocus;
        bool bShift = false;
    } keys[] = {{VK_TAB, IDC_HOMEPAGE_LINK},    {VK_RETURN, IDC_HOMEPAGE_LINK}, {VK_SPACE, IDC_HOMEPAGE_LINK},
                {VK_TAB, IDC_FEEDBACK_LINK},    {VK_RETURN, IDC_FEEDBACK_LINK}, {VK_SPACE, IDC_FEEDBACK_LINK},
                {VK_TAB, IDOK},                 {VK_TAB, IDC_FEEDBACK_LINK, true}};
    CUiScript script;
    script.Then(Opened()).Then(OpenAbout()).Then(AboutShown());
    for (const auto& key : keys)
        script
            .Then([&] {
                keybd_event(VK_SHIFT, 0, key.bShift ? 0 : KEYEVENTF_KEYUP, 0);
                keybd_event(key.nKey, 0, 0, 0);
                keybd_event(key.nKey, 0, KEYEVENTF_KEYUP, 0);
                keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
                return true;
            })
            .Then([&] {
                EXPECT_EQ(GetDlgItem(m_hAbout, key.nFocus), GetFocus()) << "after key " << int(key.nKey);
                return IsWindow(m_hAbout);
            });
    script.Then([&] {
        EXPECT_EQ(std::vector<std::string>({kHome, kHome, kFeedback, kFeedback}), g_opened);
        // The focus cue, on the focused link's edge while cues are shown
        // (wine's state); gone once they are hidden, which wine keeps no
        // state for: the link's query answers so.
        HWND hLink = GetFocus();
        EXPECT_GT(MarkedTopPixels(hLink), 0);
        g_pfnLinkProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hLink, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FocusCuesHidden)));
        SendMessageA(hLink, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        EXPECT_EQ(0, MarkedTopPixels(hLink));
        SetWindowLongPtrA(hLink, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnLinkProc));

        // What a screen reader is told, in this process.
        CoInitialize(nullptr);
        for (int nId : {IDC_FEEDBACK_LINK, IDC_HOMEPAGE_LINK})
        {
            IAccessible* pLink = nullptr;
            HWND hLink = GetDlgItem(m_hAbout, nId);
            EXPECT_EQ(S_OK, AccessibleObjectFromWindow(hLink, OBJID_CLIENT, IID_IAccessible,
                                                       reinterpret_cast<void**>(&pLink)));
            if (!pLink)
                continue;
            VARIANT self = {}, role = {};
            self.vt = VT_I4;
            BSTR name = nullptr, value = nullptr;
            EXPECT_EQ(S_OK, pLink->get_accRole(self, &role));
            EXPECT_EQ(ROLE_SYSTEM_LINK, role.lVal);
            EXPECT_EQ(S_OK, pLink->get_accName(self, &name));
            EXPECT_EQ(S_OK, pLink->get_accValue(self, &value));
            EXPECT_EQ(WindowText(hLink) + " " + (nId == IDC_HOMEPAGE_LINK ? kHome : kFeedback),
                      Encode(name ? name : L"") + " " + Encode(value ? value : L""));
            EXPECT_EQ(S_OK, pLink->accDoDefaultAction(self));
            SysFreeString(name);
            SysFreeString(value);
            pLink->Release();
        }
        CoUninitialize();
        return true;
    });
    script.Then([&] {
        EXPECT_EQ(std::vector<std::string>({kHome, kHome, kFeedback, kFeedback, kFeedback, kHome}), g_opened);
        ClickButton(m_hAbout, IDOK);
        return true;
    });
    script.Then(AboutGone()).Then(CloseSettings());
    script.Start();
    EXPECT_EQ(IDOK, m_dlg.DoModal());
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.StepsDone();
}
