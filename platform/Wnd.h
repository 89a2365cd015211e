#pragma once

#include <windows.h>

#include "platform/Geometry.h"
#include "platform/Menu.h"
#include "platform/MessageMap.h"
#include "platform/String.h"

class CDC;

// A window object bound to one system window. Binding subclasses the window:
// its messages then run through this object's message map, and Default()
// hands the current message to the procedure the window had before.
class CWnd
{
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or NULL: a lookup, never a new object.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binds the object to an existing window and routes its messages here.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    virtual BOOL DestroyWindow();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Offers a queued message to PreTranslateMessage of the bound windows from
    // its target up through the parents, stopping after hWndStop.
    static BOOL WalkPreTranslateTree(MSG* pMsg, HWND hWndStop = nullptr);

    // Wrappers over the system calls, for the bound window.
    void SetWindowText(LPCSTR lpszText) { ::SetWindowTextA(m_hWnd, lpszText); }
    CString GetWindowText() const;
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    CMenu GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;

protected:
    // Passes the message being handled to the window's previous procedure.
    LRESULT Default();

    virtual void PreSubclassWindow() {}
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when the map handled the message; *pResult is then its result.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A child's notification offered to the child's own map first.
    BOOL ReflectChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called after the window has received its last message.
    virtual void PostNcDestroy() {}

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Binds the object to a window that is being created; used by CDialog's
    // creation hook so that even the first messages reach the map.
    void SubclassCreatingWindow(HWND hWnd);
    void Attach(HWND hWnd);

    WNDPROC m_pfnSuper = nullptr;
    BOOL m_bReflectionHandled = FALSE; // set by WindowProc for a reflected notification

private:
    struct CurrentMessage
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL DispatchEntry(const AFX_MSGMAP_ENTRY* pEntry, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void Detach();

    CurrentMessage m_current = {};
};
