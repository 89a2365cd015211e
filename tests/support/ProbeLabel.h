#pragma once

#include <windows.h>

#include "ui/UrlLabel.h"

#include <string>

// A link label with its insides open to the tests, counting the fonts it is
// sent.
class CProbeLabel : public CUrlLabel
{
public:
    using CUrlLabel::ReportLaunchError;
    HCURSOR Cursor() const { return m_hCursor; }
    HWND TipWindow() const { return m_tip.m_hWnd; }
    HFONT PlainFont() const { return m_fontPlain; }
    HFONT UnderlinedFont() const { return m_fontUnderlined; }
    BOOL IsHot() const { return m_bHot; }
    int m_nSetFont = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETFONT)
            ++m_nSetFont;
        return CUrlLabel::WindowProc(message, wParam, lParam);
    }
};

// The text of the tool tip that serves a control (tool id 1), whichever tip
// window of this thread it is; "<no tip>" when none does.
std::string TipTextFor(HWND hControl);

// The text colour a label sets when its parent is asked for colours, as at
// painting; it must paint no background of its own.
COLORREF LabelTextColour(HWND hParent, HWND hLabel);
