#pragma once

#include <windows.h>

#include "platform/Wnd.h"

// A plain top-level window bound to a framework object, so that its
// statics' colour requests and clicks are reflected to them, as in a dialog.
class CHostWindow
{
public:
    CHostWindow(int nWidth = 500, int nHeight = 300);
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;
    ~CHostWindow();

    // A static child with the dialog font, as a template would make it.
    HWND AddStatic(const char* pszText, DWORD dwStyle, int x, int y, int cx, int cy, int nId = 100);

    // Window rectangle of a child in this window's client coordinates.
    RECT ChildRect(HWND hChild) const;

    HWND m_hWnd;
    CWnd m_wnd;
};
