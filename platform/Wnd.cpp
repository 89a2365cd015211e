#include "platform/Wnd.h"

#include "platform/Gdi.h"

#include <unordered_map>

namespace
{
// Where a window's previous procedure is kept when another subclass sits
// above ours as the object goes: our procedure stays in the chain and
// forwards to it.
const char kSuperProperty[] = "Vellomar.SuperProc";

// Window handle to bound object. One user-interface thread uses it.
std::unordered_map<HWND, CWnd*>& HandleMap()
{
    static std::unordered_map<HWND, CWnd*> s_map;
    return s_map;
}
} // namespace

CWnd::~CWnd()
{
    // The window may outlive its object (a control of a dialog closed
    // later): give it back its own procedure rather than destroy it.
    if (m_hWnd)
        UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto it = HandleMap().find(hWnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    HandleMap()[hWnd] = this;
}

void CWnd::Detach()
{
    if (m_hWnd)
        HandleMap().erase(m_hWnd);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd))
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
    return TRUE;
}

void CWnd::SubclassCreatingWindow(HWND hWnd)
{
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc)));
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd && m_pfnSuper)
    {
        // Only our own procedure may be taken off the top; restoring under
        // a later subclass would cut that one out of the chain.
        WNDPROC pfnTop = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
        if (pfnTop == &CWnd::AfxWndProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            ::SetPropA(hWnd, kSuperProperty, reinterpret_cast<HANDLE>(m_pfnSuper));
    }
    Detach();
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(MSG* pMsg, HWND hWndStop)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

CString CWnd::GetWindowText() const
{
    CString strText;
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    if (nLength > 0)
    {
        ::GetWindowTextA(m_hWnd, strText.GetBuffer(nLength), nLength + 1);
        strText.ReleaseBuffer();
    }
    return strText;
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    BOOL bHandled = OnWndMsg(message, wParam, lParam, &lResult);
    if (message >= WM_REFLECT_BASE && message < WM_REFLECT_BASE + WM_USER)
        m_bReflectionHandled = bHandled; // a reflection is ours alone: no default
    else if (!bHandled)
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd)
    {
        WNDPROC pfnSuper = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kSuperProperty));
        if (message == WM_NCDESTROY)
            ::RemovePropA(hWnd, kSuperProperty);
        return pfnSuper ? ::CallWindowProcA(pfnSuper, hWnd, message, wParam, lParam)
                        : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }

    CurrentMessage saved = pWnd->m_current;
    pWnd->m_current = {message, wParam, lParam};
    LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
    {
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
    }
    else
    {
        pWnd->m_current = saved;
    }
    return lResult;
}

BOOL CWnd::ReflectChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild || pChild == this)
        return FALSE;
    // Through WindowProc, so a control's override sees its reflections too;
    // one that answers without the base counts as having handled it.
    pChild->m_bReflectionHandled = TRUE;
    *pResult = pChild->WindowProc(WM_REFLECT_BASE + message, wParam, lParam);
    return pChild->m_bReflectionHandled;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if ((message == WM_COMMAND || message == WM_CTLCOLORSTATIC) && lParam &&
        ReflectChildNotify(reinterpret_cast<HWND>(lParam), message, wParam, lParam, pResult))
        return TRUE;

    BOOL bCommand = message == WM_COMMAND || message == WM_REFLECT_BASE + WM_COMMAND;
    UINT nCode = bCommand ? HIWORD(wParam) : 0;
    // A reflected notification is the control's own: its id is not compared.
    UINT nID = message == WM_COMMAND ? LOWORD(wParam) : 0;
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            if (pEntry->nMessage == message && pEntry->nCode == nCode && pEntry->nID == nID)
                return DispatchEntry(pEntry, wParam, lParam, pResult);
        }
    }
    return FALSE;
}

BOOL CWnd::DispatchEntry(const AFX_MSGMAP_ENTRY* pEntry, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    AFX_PMSG pfn = pEntry->pfn;
    *pResult = 0;
    switch (pEntry->nSig)
    {
    case AfxSig_v_v:
        (this->*pfn)();
        return TRUE;
    case AfxSig_v_u_l:
        (this->*reinterpret_cast<void (CWnd::*)(UINT, LPARAM)>(pfn))(static_cast<UINT>(wParam), lParam);
        return TRUE;
    case AfxSig_h_v:
        *pResult = reinterpret_cast<LRESULT>((this->*reinterpret_cast<HCURSOR (CWnd::*)()>(pfn))());
        return TRUE;
    case AfxSig_br_dc_u:
    {
        CDC dc(reinterpret_cast<HDC>(wParam));
        HBRUSH hBrush = (this->*reinterpret_cast<HBRUSH (CWnd::*)(CDC*, UINT)>(pfn))(&dc, CTLCOLOR_STATIC);
        *pResult = reinterpret_cast<LRESULT>(hBrush);
        return hBrush != nullptr; // no brush: the parent colours the control
    }
    case AfxSig_b_w_u_u:
        *pResult = (this->*reinterpret_cast<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(pfn))(
            FromHandlePermanent(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case AfxSig_v_u_pt:
        (this->*reinterpret_cast<void (CWnd::*)(UINT, CPoint)>(pfn))(static_cast<UINT>(wParam),
                                                                     CPoint(static_cast<DWORD>(lParam)));
        return TRUE;
    case AfxSig_v_up:
        (this->*reinterpret_cast<void (CWnd::*)(UINT_PTR)>(pfn))(static_cast<UINT_PTR>(wParam));
        return TRUE;
    case AfxSig_b_dc:
    {
        CDC dc(reinterpret_cast<HDC>(wParam));
        *pResult = (this->*reinterpret_cast<BOOL (CWnd::*)(CDC*)>(pfn))(&dc);
        return TRUE;
    }
    case AfxSig_u_msg:
        *pResult = (this->*reinterpret_cast<UINT (CWnd::*)(const MSG*)>(pfn))(reinterpret_cast<const MSG*>(lParam));
        return TRUE;
    case AfxSig_v_u_u_u:
        (this->*reinterpret_cast<void (CWnd::*)(UINT, UINT, UINT)>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam),
                                                                          HIWORD(lParam));
        return TRUE;
    case AfxSig_l_w_l:
        *pResult = (this->*reinterpret_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY s_entries[] = {{0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP s_map = {nullptr, s_entries};
    return &s_map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}
