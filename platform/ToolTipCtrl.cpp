#include "platform/ToolTipCtrl.h"

CToolTipCtrl::~CToolTipCtrl()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HWND hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (hWnd && !SubclassWindow(hWnd))
    {
        ::DestroyWindow(hWnd); // no object to own it
        return FALSE;
    }
    return hWnd != nullptr;
}

TOOLINFOA CToolTipCtrl::MakeToolInfo(CWnd* pWnd, LPCSTR lpszText, UINT_PTR nIDTool)
{
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = pWnd->m_hWnd;
    ti.uId = nIDTool;
    ti.hinst = ::GetModuleHandleA(nullptr);
    ti.lpszText = const_cast<LPSTR>(lpszText);
    return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TOOLINFOA ti = MakeToolInfo(pWnd, lpszText, nIDTool);
    // No TTF_SUBCLASS: the owner relays mouse messages from PreTranslateMessage.
    if (lpRectTool)
        ti.rect = *lpRectTool;
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOA ti = MakeToolInfo(pWnd, lpszText, nIDTool);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg)
{
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg));
}
