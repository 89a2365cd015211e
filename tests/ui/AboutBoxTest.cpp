// The About box opened for real from the settings dialog's system menu.
#include "state/Globals.h"
#include "platform/ComPtr.h"
#include "platform/WinApp.h"
#include "res/resource.h"
#include "ui/SettingsDlg.h"

#include "support/AnsiText.h"
#include "support/ImportPatch.h"
#include "support/ProbeLabel.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"
#include "support/WindowLookup.h"

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
WNDPROC g_pfnLinkProc = nullptr;

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR, LPCSTR pszFile, LPCSTR, LPCSTR, INT)
{
    g_opened.push_back(pszFile);
    return reinterpret_cast<HINSTANCE>(42);
}

// Wine keeps no keyboard-cue state: the link is told the cues are hidden.
LRESULT CALLBACK FocusCuesHidden(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_QUERYUISTATE ? UISF_HIDEFOCUS : CallWindowProcA(g_pfnLinkProc, hWnd, message, wParam, lParam);
}

BOOL WINAPI HighContrastOn(UINT nAction, UINT, PVOID pParam, UINT)
{
    if (nAction == SPI_GETHIGHCONTRAST) // all that the links ask while it stands
        static_cast<HIGHCONTRASTA*>(pParam)->dwFlags = HCF_HIGHCONTRASTON;
    return nAction == SPI_GETHIGHCONTRAST;
}

// The window's client pixels as painted now, row by row from the top.
std::vector<COLORREF> PaintedPixels(HWND hWnd, int nRows = 1 << 16)
{
    UpdateWindow(hWnd);
    RECT rc;
    GetClientRect(hWnd, &rc);
    std::vector<COLORREF> pixels;
    HDC hDC = GetDC(hWnd);
    for (int i = 0; i < rc.right * std::min<int>(rc.bottom, nRows); ++i)
        pixels.push_back(GetPixel(hDC, i % rc.right, i / rc.right));
    ReleaseDC(hWnd, hDC);
    return pixels;
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

TEST_F(AboutBoxTest, LinksOpenByMouseAndKeyboardForEveryUserAndStayVisitedForOneShowing)
{
    CImportPatch open("shell32.dll", "ShellExecuteA", reinterpret_cast<const void*>(&RecordOpen));
    ASSERT_TRUE(open.Patched());
    g_opened.clear();
    const std::string kHome = "http://orlamine.example.net/software/vellomar.html";
    const std::string kFeedback = "http://vellomar.example.org/feedback.html";
    // The home page, feedback or OK by its letter.
    auto link = [&](char c) {
        return GetDlgItem(m_hAbout, c == 'h' ? IDC_HOMEPAGE_LINK : c == 'f' ? IDC_FEEDBACK_LINK : IDOK);
    };
    // Keys as their codes ('<' for Shift+Tab), and the focus after each:
    // Enter and Space open a link and leave the box open.
    const std::string kKeys = "\t\r \t\r \t<", kFocus = "hhhfffof";
    CUiScript script;
    script.Then(Opened()).Then(OpenAbout()).Then(AboutShown()).Then([&] {
        EXPECT_EQ(RGB(0, 0, 238), LabelTextColour(m_hAbout, link('f')));
        return true;
    });
    script.Then(ClickFeedbackLink()).Then([&] {
        EXPECT_EQ(RGB(85, 26, 139), LabelTextColour(m_hAbout, link('f')));
        EXPECT_EQ(RGB(0, 0, 238), LabelTextColour(m_hAbout, link('h')));
        return true;
    });
    for (size_t i = 0; i < kKeys.size(); ++i)
        script
            .Then([&, i] {
                BYTE nKey = kKeys[i] == '<' ? VK_TAB : kKeys[i];
                keybd_event(VK_SHIFT, 0, kKeys[i] == '<' ? 0 : KEYEVENTF_KEYUP, 0);
                keybd_event(nKey, 0, 0, 0);
                keybd_event(nKey, 0, KEYEVENTF_KEYUP, 0);
                keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
                return true;
            })
            .Then([&, i] {
                EXPECT_EQ(link(kFocus[i]), GetFocus()) << "after key " << i;
                return IsWindow(m_hAbout);
            });
    script.Then([&] {
        // The focus rectangle in the focused link's top row while cues show.
        HWND hFocused = GetFocus();
        auto marked = [&] {
            std::vector<COLORREF> top = PaintedPixels(hFocused, 1);
            return top.size() - std::count(top.begin(), top.end(), GetSysColor(COLOR_BTNFACE));
        };
        EXPECT_GT(marked(), 0u);
        g_pfnLinkProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hFocused, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FocusCuesHidden)));
        SendMessageA(hFocused, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
        EXPECT_EQ(0u, marked());
        SetWindowLongPtrA(hFocused, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnLinkProc));

        // In high contrast, visited or hovered, the text in the system's link colour.
        CImportPatch contrast("user32.dll", "SystemParametersInfoA", reinterpret_cast<const void*>(&HighContrastOn));
        SendMessageA(hFocused, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        std::vector<COLORREF> pixels = PaintedPixels(hFocused);
        EXPECT_GT(std::count(pixels.begin(), pixels.end(), GetSysColor(COLOR_HOTLIGHT)), 0);
        EXPECT_EQ(GetSysColor(COLOR_HOTLIGHT), LabelTextColour(m_hAbout, link('h')));
        return contrast.Patched();
    });
    script.Then([&] {
        // What a screen reader is told (wine gives it in this process).
        CoInitialize(nullptr);
        for (char c : {'f', 'h'})
        {
            CComPtr<IAccessible> object;
            VARIANT self = {}, role = {};
            self.vt = VT_I4;
            BSTR name = nullptr, value = nullptr;
            if (AccessibleObjectFromWindow(link(c), OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(object.Receive())) ||
                object->get_accRole(self, &role) || object->get_accName(self, &name) ||
                object->get_accValue(self, &value) || object->accDoDefaultAction(self))
                ADD_FAILURE() << "link " << c;
            EXPECT_EQ(std::to_string(ROLE_SYSTEM_LINK) + WindowText(link(c)) + (c == 'h' ? kHome : kFeedback),
                      std::to_string(role.lVal) + Encode(name ? name : L"") + Encode(value ? value : L""));
            SysFreeString(name);
            SysFreeString(value);
        }
        CoUninitialize();
        return true;
    });
    script.Then([&] {
        EXPECT_EQ(decltype(g_opened)({kFeedback, kHome, kHome, kFeedback, kFeedback, kFeedback, kHome}), g_opened);
        ClickButton(m_hAbout, IDOK);
        return true;
    });
    script.Then(AboutGone()).Then(OpenAbout()).Then(AboutShown()).Then([&] {
        EXPECT_EQ(RGB(0, 0, 238), LabelTextColour(m_hAbout, link('f'))) << "a new box, new labels";
        PostMessageA(m_hAbout, WM_CLOSE, 0, 0);
        return true;
    });
    script.Then(AboutGone()).Then(CloseSettings());
    script.Start();
    EXPECT_EQ(IDOK, m_dlg.DoModal());
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.StepsDone();
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
