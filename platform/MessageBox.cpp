#include "platform/MessageBox.h"

#include "platform/WinApp.h"
#include "platform/Wnd.h"

HWND AfxGetMessageBoxOwner()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hMainWnd = pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr;
    return hMainWnd ? ::GetLastActivePopup(hMainWnd) : nullptr;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp: no help file ships*/)
{
    return ::MessageBoxA(AfxGetMessageBoxOwner(), lpszText, AfxGetAppName(), nType);
}

int AfxMessageBoxEx(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType, WORD wLanguageId)
{
    return ::MessageBoxExA(AfxGetMessageBoxOwner(), lpszText, lpszCaption, nType, wLanguageId);
}
