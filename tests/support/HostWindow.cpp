#include "HostWindow.h"

#include <gtest/gtest.h>

CHostWindow::CHostWindow(int nWidth, int nHeight)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VellomarTestHost";
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassA(&wc); // fails harmlessly when already registered
    m_hWnd = CreateWindowExA(0, "VellomarTestHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, nWidth, nHeight, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    m_wnd.SubclassWindow(m_hWnd);
}

CHostWindow::~CHostWindow()
{
    DestroyWindow(m_hWnd);
}

HWND CHostWindow::AddStatic(const char* pszText, DWORD dwStyle, int x, int y, int cx, int cy, int nId)
{
    HWND hStatic =
        CreateWindowExA(0, "STATIC", pszText, WS_CHILD | WS_VISIBLE | dwStyle, x, y, cx, cy, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(hStatic, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return hStatic;
}

RECT CHostWindow::ChildRect(HWND hChild) const
{
    RECT rc;
    GetWindowRect(hChild, &rc);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}
