#pragma once

#include <windows.h>

#include "platform/DataExchange.h"
#include "platform/Wnd.h"

// A modal dialog on a dialog template resource. DoModal runs the framework's
// own message loop, so PreTranslateMessage sees every message before the
// dialog manager's keyboard navigation.
class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // IDOK or IDCANCEL (or the value given to EndDialog); -1 when the
    // template is missing or the window cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void PostNcDestroy() override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    HWND FindOwner() const;
    // Pumps messages until the dialog ends or goes.
    void RunModalLoop();
    void CenterOver(HWND hWndOwner);
    static INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK CreationHook(int nCode, WPARAM wParam, LPARAM lParam);

    BOOL m_bModalRunning = FALSE;
    int m_nModalResult = -1;
};
