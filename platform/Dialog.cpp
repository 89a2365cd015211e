#include "platform/Dialog.h"

#include "platform/ResourceHandle.h"
#include "platform/WinApp.h"

namespace
{
// The creation bridge: the dialog object waiting for its window. Each
// DoModal installs a hook of its own that binds the object as soon as the
// system creates that window, so a dialog opened while another one is being
// created (from its WM_INITDIALOG) disturbs neither hook.
thread_local CDialog* t_pDialogInit = nullptr;
} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

LRESULT CALLBACK CDialog::CreationHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && t_pDialogInit)
    {
        // The first window created is the dialog itself; its controls follow.
        CDialog* pDialog = t_pDialogInit;
        t_pDialogInit = nullptr;
        pDialog->SubclassCreatingWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    // Everything reaches the map through the subclassed window procedure;
    // what falls through to here takes the dialog manager's defaults.
    return FALSE;
}

HWND CDialog::FindOwner() const
{
    HWND hWndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hWndOwner)
    {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd && pMainWnd != this)
            hWndOwner = pMainWnd->m_hWnd;
    }
    return hWndOwner ? ::GetAncestor(hWndOwner, GA_ROOT) : nullptr;
}

void CDialog::CenterOver(HWND hWndOwner)
{
    CRect rcDialog;
    GetWindowRect(rcDialog);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    HMONITOR hMonitor = ::MonitorFromWindow(hWndOwner ? hWndOwner : m_hWnd, MONITOR_DEFAULTTOPRIMARY);
    ::GetMonitorInfoA(hMonitor, &monitor);
    CRect rcWork = monitor.rcWork;

    CRect rcArea = rcWork;
    if (hWndOwner && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner))
        ::GetWindowRect(hWndOwner, &rcArea);

    int x = rcArea.left + (rcArea.Width() - rcDialog.Width()) / 2;
    int y = rcArea.top + (rcArea.Height() - rcDialog.Height()) / 2;
    // Keep the whole dialog on the screen when the owner sits near an edge.
    if (x + rcDialog.Width() > rcWork.right)
        x = rcWork.right - rcDialog.Width();
    if (y + rcDialog.Height() > rcWork.bottom)
        y = rcWork.bottom - rcDialog.Height();
    if (x < rcWork.left)
        x = rcWork.left;
    if (y < rcWork.top)
        y = rcWork.top;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInstance = AfxFindResourceHandle(MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HRSRC hResource = hInstance ? ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG) : nullptr;
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const DLGTEMPLATE* pTemplate = hTemplate ? static_cast<const DLGTEMPLATE*>(::LockResource(hTemplate)) : nullptr;
    if (!pTemplate)
        return -1;

    HWND hWndOwner = FindOwner();
    BOOL bEnableOwner = hWndOwner && ::IsWindowEnabled(hWndOwner);
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, FALSE);

    m_bModalRunning = TRUE;
    m_nModalResult = -1;
    t_pDialogInit = this;
    HHOOK hCreationHook = ::SetWindowsHookExA(WH_CBT, &CDialog::CreationHook, nullptr, ::GetCurrentThreadId());
    HWND hWnd = ::CreateDialogIndirectParamA(hInstance, pTemplate, hWndOwner, &CDialog::AfxDlgProc, 0);
    if (hCreationHook)
        ::UnhookWindowsHookEx(hCreationHook);
    t_pDialogInit = nullptr;

    if (hWnd && m_hWnd != hWnd)
    {
        // Created but never bound (the hook could not be set): a window no
        // object answers for would stay up with dead buttons.
        ::DestroyWindow(hWnd);
        hWnd = nullptr;
        m_nModalResult = -1;
    }
    if (hWnd)
    {
        if (m_bModalRunning && !::IsWindowVisible(hWnd))
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }

    // Re-enable the owner before the dialog goes, so activation returns to it.
    if (bEnableOwner)
        ::EnableWindow(hWndOwner, TRUE);
    if (m_hWnd)
    {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (m_bModalRunning && m_hWnd)
    {
        BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
        if (bGot <= 0)
        {
            if (bGot == 0) // the quit request belongs to the outer loop
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!WalkPreTranslateTree(&msg, m_hWnd))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bModalRunning = FALSE;
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0); // wake the loop
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation (Tab, Enter, Esc, mnemonics) for this dialog.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_INITDIALOG)
    {
        CenterOver(FindOwner());
        *pResult = OnInitDialog();
        return TRUE;
    }
    if (CWnd::OnWndMsg(message, wParam, lParam, pResult))
        return TRUE;
    // OK and Cancel: the buttons, Enter and Esc, and the dialog manager's
    // answer to the close box, Alt+F4 and the system menu's Close.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    {
        if (LOWORD(wParam) == IDOK)
        {
            OnOK();
            *pResult = 0;
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL)
        {
            OnCancel();
            *pResult = 0;
            return TRUE;
        }
    }
    return FALSE;
}

void CDialog::PostNcDestroy()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
}
