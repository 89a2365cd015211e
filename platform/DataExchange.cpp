#include "platform/DataExchange.h"

#include "platform/Wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd)
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate)
    {
        int nLength = ::GetWindowTextLengthA(hWndControl);
        CString strText;
        if (nLength > 0)
        {
            ::GetWindowTextA(hWndControl, strText.GetBuffer(nLength), nLength + 1);
            strText.ReleaseBuffer();
        }
        value = strText;
    }
    else
    {
        ::SetWindowTextA(hWndControl, value);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hWndControl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hWndControl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}
