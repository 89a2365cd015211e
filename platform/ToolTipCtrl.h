#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/Wnd.h"

// A tool tip window, owned: it is destroyed with this object.
class CToolTipCtrl : public CWnd
{
public:
    ~CToolTipCtrl() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    BOOL AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool);
    void UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool);
    void RelayEvent(LPMSG lpMsg);

private:
    static TOOLINFOA MakeToolInfo(CWnd* pWnd, LPCSTR lpszText, UINT_PTR nIDTool);
};
