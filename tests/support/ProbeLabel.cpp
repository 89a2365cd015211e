#include "ProbeLabel.h"

#include "WindowLookup.h"

#include <commctrl.h>
#include <gtest/gtest.h>

std::string TipTextFor(HWND hControl)
{
    for (HWND hTip : ThreadWindowsOfClass(TOOLTIPS_CLASSA))
    {
        char szText[512] = "";
        TOOLINFOA ti = {};
        ti.cbSize = sizeof(ti);
        ti.hwnd = hControl;
        ti.uId = 1;
        if (!SendMessageA(hTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)))
            continue;
        ti.lpszText = szText;
        SendMessageA(hTip, TTM_GETTEXTA, sizeof(szText), reinterpret_cast<LPARAM>(&ti));
        return szText;
    }
    return "<no tip>";
}

COLORREF LabelTextColour(HWND hParent, HWND hLabel)
{
    HDC hDC = CreateCompatibleDC(nullptr);
    SetTextColor(hDC, RGB(1, 2, 3));
    LRESULT lBrush =
        SendMessageA(hParent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hLabel));
    COLORREF color = GetTextColor(hDC);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), lBrush);
    EXPECT_EQ(TRANSPARENT, GetBkMode(hDC));
    DeleteDC(hDC);
    return color;
}
