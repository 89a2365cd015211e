// The window framework's contracts that controls build on.
#include "platform/DataExchange.h"
#include "platform/Gdi.h"
#include "platform/ToolTipCtrl.h"
#include "platform/Wnd.h"

#include "support/HostWindow.h"
#include "support/UiScript.h"
#include "support/WindowLookup.h"

#include <gtest/gtest.h>

namespace
{
// A control that answers its reflected click in a WindowProc override,
// without a message map entry.
class CClickCounter : public CWnd
{
public:
    int m_nClicks = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_REFLECT_BASE + WM_COMMAND && HIWORD(wParam) == STN_CLICKED)
        {
            ++m_nClicks;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

WNDPROC g_pfnBeforeOuter = nullptr;
int g_nOuterCalls = 0;
LRESULT CALLBACK OuterSubclass(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_nOuterCalls;
    return CallWindowProcA(g_pfnBeforeOuter, hWnd, message, wParam, lParam);
}
} // namespace

TEST(Wnd, ReflectionGoesThroughTheControlsWindowProc)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("click", SS_NOTIFY, 10, 10, 100, 20, 7);
    CClickCounter control;
    ASSERT_TRUE(control.SubclassWindow(hStatic));
    SendMessageA(host.m_hWnd, WM_COMMAND, MAKEWPARAM(7, STN_CLICKED), reinterpret_cast<LPARAM>(hStatic));
    EXPECT_EQ(1, control.m_nClicks);
}

TEST(Wnd, UnsubclassingUnderALaterSubclassKeepsTheChainWhole)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("before", 0, 10, 10, 100, 20);
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(hStatic));
        g_pfnBeforeOuter = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hStatic, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSubclass)));
    } // the object goes while the later subclass is on top
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&OuterSubclass), GetWindowLongPtrA(hStatic, GWLP_WNDPROC));
    g_nOuterCalls = 0;
    SetWindowTextA(hStatic, "after");
    EXPECT_EQ("after", WindowText(hStatic)) << "the static's own procedure still answers";
    EXPECT_GT(g_nOuterCalls, 0);
    DestroyWindow(hStatic);
}

TEST(Wnd, ToolTipCreatedTwiceLeavesOneWindow)
{
    CHostWindow host;
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&host.m_wnd));
    EXPECT_FALSE(tip.Create(&host.m_wnd)) << "already bound";
    EXPECT_EQ(1u, ThreadWindowsOfClass(TOOLTIPS_CLASSA).size()) << "the second window is not left behind";
}

TEST(Gdi, ContextPutsBackEveryKindOfObjectItSelected)
{
    HDC hDC = CreateCompatibleDC(nullptr);
    HGDIOBJ hPen0 = GetCurrentObject(hDC, OBJ_PEN);
    HGDIOBJ hBrush0 = GetCurrentObject(hDC, OBJ_BRUSH);
    HGDIOBJ hFont0 = GetCurrentObject(hDC, OBJ_FONT);
    HPEN hPen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBRUSH hBrush = CreateSolidBrush(RGB(4, 5, 6));
    {
        CDC dc(hDC);
        dc.SelectObject(hPen);
        dc.SelectObject(hBrush);
        dc.SelectObject(GetStockObject(ANSI_VAR_FONT));
        dc.SelectObject(GetStockObject(WHITE_BRUSH)); // the first original is what goes back
    }
    EXPECT_EQ(hPen0, GetCurrentObject(hDC, OBJ_PEN));
    EXPECT_EQ(hBrush0, GetCurrentObject(hDC, OBJ_BRUSH));
    EXPECT_EQ(hFont0, GetCurrentObject(hDC, OBJ_FONT));
    DeleteDC(hDC);
    EXPECT_TRUE(DeleteObject(hPen)) << "no longer selected";
    EXPECT_TRUE(DeleteObject(hBrush));
}

TEST(DataExchange, TextComesBackWhole)
{
    CHostWindow host;
    const int kEdit = 200;
    HWND hEdit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 200, 20, host.m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEdit)), nullptr, nullptr);
    ASSERT_NE(nullptr, hEdit);
    const std::string kPath = "C:\\Pictures\\Zo\xEB";
    for (const std::string& strValue : {std::string(), std::string("x"), kPath, std::string(2000, 'p') + kPath})
    {
        SCOPED_TRACE(strValue.size());
        // Set by the program, then read back.
        CString strSet = strValue.c_str(), strRead = "stale";
        CDataExchange toControl(&host.m_wnd, FALSE), fromControl(&host.m_wnd, TRUE);
        DDX_Text(&toControl, kEdit, strSet);
        DDX_Text(&fromControl, kEdit, strRead);
        EXPECT_EQ(strValue, static_cast<LPCSTR>(strRead));

        // Typed by the user, a character at a time.
        SetWindowTextA(hEdit, "");
        for (char ch : strValue)
            SendMessageA(hEdit, WM_CHAR, static_cast<unsigned char>(ch), 0);
        strRead = "stale";
        DDX_Text(&fromControl, kEdit, strRead);
        EXPECT_EQ(strValue, static_cast<LPCSTR>(strRead));
    }
}
