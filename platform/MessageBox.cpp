#include "platform/MessageBox.h"

#include "platform/WinApp.h"
#include "platform/Wnd.h"

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT /*nIDHelp: no help file ships*/)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWndOwner = pMainWnd ? pMainWnd->GetSafeHwnd() : nullptr;
    return ::MessageBoxA(hWndOwner, lpszText, AfxGetAppName(), nType);
}
