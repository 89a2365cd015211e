#include "ui/SettingsDlg.h"

#include "state/Globals.h"
#include "state/SettingsStore.h"
#include "engine/PictureCatalog.h"
#include "engine/Wallpaper.h"
#include "platform/Gdi.h"
#include "platform/AnsiPath.h"
#include "platform/MessageBox.h"
#include "platform/WinApp.h"
#include "platform/ResourceHandle.h"
#include "res/resource.h"
#include "ui/AboutBox.h"

#include <shlobj.h>

#include <string>

namespace
{
const UINT kCommandMask = 0xFFF0;
const double kSecondsPerTick = 0.001;
const WCHAR kUnusableText[] = L"Vellomar cannot use this folder:\r\n\r\n";
const WCHAR kUnusableReason[] =
    L"\r\n\r\nIts path is too long, or its name cannot be passed to programs on this version of Windows. "
    L"Please choose another folder.";
const char kNotSavedText[] = "Vellomar could not save your choice of folder, so it would be lost at the next "
                             "log-on. Check that you may write to your application-data folder.\r\n\r\n";
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
    // The chosen item's display name, which is not used: room for MAX_PATH
    // characters of up to three bytes each under UTF-8.
    char szFolder[3 * MAX_PATH] = "";
    BROWSEINFOA bi = {};
    bi.hwndOwner = m_hWnd;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = szFolder;
    bi.lpszTitle = "Select folder";
    bi.ulFlags = BIF_DONTGOBELOWDOMAIN;
    LPITEMIDLIST pidl = ::SHBrowseForFolderA(&bi);
    if (!pidl)
        return;
    // A choice with no file-system path (Control Panel, a phone) counts as
    // cancelled: storing the text left behind would wipe the user's folder.
    LPWSTR pszWide = nullptr;
    BOOL bFileSystem = SUCCEEDED(::SHGetNameFromIDList(pidl, SIGDN_FILESYSPATH, &pszWide));
    ::CoTaskMemFree(pidl);
    if (!bFileSystem)
        return;
    // A folder whose name the code page cannot hold is kept by its short
    // form; one without that either cannot be used, and the user is told.
    CString strFolder;
    BOOL bUsable = AnsiPathFromWide(pszWide, strFolder);
    if (!bUsable)
        ShowUnusableFolder(pszWide);
    ::CoTaskMemFree(pszWide);
    if (!bUsable)
        return;

    CString strStored = g_strPicturesPath;
    g_strPicturesPath = strFolder;
    if (!WritePicturesPath(g_strPicturesPath))
    {
        // Unsaved, the choice would be gone at the next log-on: the dialog
        // keeps showing what is stored.
        g_strPicturesPath = strStored;
        AfxMessageBox(CString(kNotSavedText) + strFolder, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_strPath = g_strPicturesPath;
    UpdateData(FALSE);
    OnRefreshList();
}

void CSettingsDlg::ShowUnusableFolder(LPCWSTR pszFolder)
{
    // The name has no ANSI form, so the box is the wide one.
    std::wstring strText = kUnusableText;
    strText += pszFolder;
    strText += kUnusableReason;
    WCHAR szCaption[MAX_PATH] = L"";
    ::MultiByteToWideChar(CP_ACP, 0, AfxGetAppName(), -1, szCaption, MAX_PATH);
    ::MessageBoxW(m_hWnd, strText.c_str(), szCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CSettingsDlg::OnAutostart()
{
    UpdateData(TRUE); // the automatic box has already toggled itself
    SetAutostart(m_bAutostart ? TRUE : FALSE);
    // A refused write must not leave the box claiming what the Run key lacks.
    m_bAutostart = QueryAutostart() ? 1 : 0;
    UpdateData(FALSE);
}
