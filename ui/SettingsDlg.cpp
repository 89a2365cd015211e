#include "ui/SettingsDlg.h"

#include "state/Globals.h"
#include "state/SettingsStore.h"
#include "engine/PictureCatalog.h"
#include "engine/Wallpaper.h"
#include "platform/Gdi.h"
#include "platform/AnsiPath.h"
#include "platform/ResourceHandle.h"
#include "res/resource.h"
#include "ui/AboutBox.h"

#include <shlobj.h>

namespace
{
const UINT kCommandMask = 0xFFF0;
const double kSecondsPerTick = 0.001;
} // namespace

CSettingsDlg::CSettingsDlg(CWnd* pParent)
    : CDialog(IDD_SETTINGS, pParent),
      m_hIcon(::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_APPLICATION_ICON), RT_GROUP_ICON),
                          MAKEINTRESOURCEA(IDI_APPLICATION_ICON)))
{
}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BROWSE, m_btnBrowse);
    DDX_Text(pDX, IDC_PATH, m_strPath);
    DDX_Check(pDX, IDC_AUTOSTART, m_bAutostart);
}

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_REFRESH_LIST, OnRefreshList)
    ON_BN_CLICKED(IDC_CHANGE_NOW, OnChangeNow)
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_AUTOSTART, OnAutostart)
END_MESSAGE_MAP()

void CSettingsDlg::AddAboutEntry()
{
    CMenu menu = GetSystemMenu(FALSE);
    if (!menu.IsValid())
        return;
    CString strAbout;
    strAbout.LoadString(IDS_ABOUTBOX);
    if (strAbout.IsEmpty())
        return;
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, IDM_ABOUTBOX, strAbout);
}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AddAboutEntry();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_btnBrowse.SetIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FOLDER_ICON)));

    m_strPath = g_strPicturesPath;
    m_bAutostart = QueryAutostart() ? 1 : 0;
    UpdateData(FALSE);
    return TRUE; // focus to the first tab stop, OK
}

BOOL CSettingsDlg::PreTranslateMessage(MSG* pMsg)
{
    // Esc never closes the settings: every change is already saved.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

void CSettingsDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & kCommandMask) == IDM_ABOUTBOX)
    {
        CAboutBox dlgAbout;
        dlgAbout.DoModal();
    }
    else
    {
        Default();
    }
}

void CSettingsDlg::OnPaint()
{
    if (!IsIconic())
    {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    GetClientRect(rect);
    int x = (rect.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSettingsDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

CString CSettingsDlg::FileCountText(int nCount)
{
    CString strText;
    strText.Format("Files : %i", nCount);
    return strText;
}

CString CSettingsDlg::ScanTimeText(DWORD dwElapsedMs)
{
    CString strText;
    strText.Format("Scan time : %.2f sec.", dwElapsedMs * kSecondsPerTick);
    return strText;
}

void CSettingsDlg::OnRefreshList()
{
    HCURSOR hPrevious = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    DWORD dwStart = ::GetTickCount();

    g_arrPictures.SetSize(0);
    ScanFolder(g_strPicturesPath);

    DWORD dwElapsed = ::GetTickCount() - dwStart;
    int nCount = g_arrPictures.GetSize();
    ::EnableWindow(GetDlgItem(IDC_CHANGE_NOW), nCount > 0);

    ::SetWindowTextA(GetDlgItem(IDC_FILE_COUNT), FileCountText(nCount));
    ::SetWindowTextA(GetDlgItem(IDC_SCAN_TIME), ScanTimeText(dwElapsed));

    ::SetCursor(hPrevious);
}

void CSettingsDlg::OnChangeNow()
{
    ChangeWallpaper(FALSE);
}

void CSettingsDlg::OnBrowse()
{
    char szFolder[MAX_PATH] = "";
    BROWSEINFOA bi = {};
    bi.hwndOwner = m_hWnd;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = szFolder;
    bi.lpszTitle = "Select folder";
    bi.ulFlags = BIF_DONTGOBELOWDOMAIN;
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    if (!pidl)
        return;
    // A choice with no file-system path (Control Panel, a phone), or with
    // one that no ANSI call can open, counts as cancelled: storing the text
    // left behind would wipe the user's folder. A folder whose name the code
    // page cannot hold (one under the profile of "Michał") is kept by its
    // short form.
    WCHAR szWide[MAX_PATH] = L"";
    CString strFolder;
    BOOL bUsable = ::SHGetPathFromIDListW(pidl, szWide) && AnsiPathFromWide(szWide, strFolder);
    ::CoTaskMemFree(pidl);
    if (!bUsable)
        return;

    g_strPicturesPath = strFolder;
    WritePicturesPath(g_strPicturesPath);
    m_strPath = g_strPicturesPath;
    UpdateData(FALSE);
    OnRefreshList();
}

void CSettingsDlg::OnAutostart()
{
    UpdateData(TRUE); // the automatic box has already toggled itself
    SetAutostart(m_bAutostart ? TRUE : FALSE);
    // A refused write must not leave the box claiming what the Run key lacks.
    m_bAutostart = QueryAutostart() ? 1 : 0;
    UpdateData(FALSE);
}
