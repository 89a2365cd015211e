#pragma once

#include "platform/Button.h"
#include "platform/Dialog.h"

// The settings dialog, the program's only main window. Every change is saved
// the moment it is made; closing saves and undoes nothing.
class CSettingsDlg : public CDialog
{
public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);

    // The scan's figures as the dialog shows them.
    static CString FileCountText(int nCount);
    static CString ScanTimeText(DWORD dwElapsedMs);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnRefreshList();
    void OnChangeNow();
    void OnBrowse();
    void OnAutostart();

    DECLARE_MESSAGE_MAP()

    CButton m_btnBrowse;
    CString m_strPath;
    BOOL m_bAutostart = 0;
    HICON m_hIcon; // shared resource icon: never destroyed

private:
    void AddAboutEntry();
    void ShowUnusableFolder(LPCWSTR pszFolder);
};
