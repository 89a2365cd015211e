#include "ui/UrlLabel.h"

#include "ui/LinkAccessible.h"
#include "ui/LinkOpening.h"

#include "platform/MessageBox.h"

#include <mbstring.h>

#include <cstring>

namespace
{
const WCHAR kHelpProgram[] = L"\\winhlp32.exe";
const UINT kHoverPollMs = 100;
const int kLeaveRepaintSlack = 10; // pixels below the client area repainted on leaving
const UINT_PTR kToolId = 1;
const int kHandCursorId = 106;
const char kWebScheme[] = "http://";
const char kMailScheme[] = "mailto:";
const int kSchemeLength = 7; // both schemes above

// The keys that open a focused link, as they open the system's link control.
bool IsOpeningKey(WPARAM nKey)
{
    return nKey == VK_RETURN || nKey == VK_SPACE;
}

BOOL StartsWithNoCase(const CString& strText, LPCSTR lpszPrefix)
{
    CString strHead = strText.Left(static_cast<int>(strlen(lpszPrefix)));
    return _mbsicmp(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(strHead)),
                    reinterpret_cast<const unsigned char*>(lpszPrefix)) == 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CUrlLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_MESSAGE_VOID(WM_SETFOCUS, OnFocusOrCuesChanged)
    ON_MESSAGE_VOID(WM_KILLFOCUS, OnFocusOrCuesChanged)
    ON_MESSAGE_VOID(WM_UPDATEUISTATE, OnFocusOrCuesChanged)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CUrlLabel::~CUrlLabel()
{
    m_fontUnderlined.DeleteObject();
    if (m_hCursor)
        ::DestroyCursor(m_hCursor);
}

void CUrlLabel::PreSubclassWindow()
{
    // Clicks reported, and reached by Tab: the templates give neither.
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(GetStyle() | SS_NOTIFY | WS_TABSTOP));

    CString strText = GetWindowText();
    if (m_strUrl.IsEmpty())
    {
        m_strUrl = strText;
        if (StartsWithNoCase(m_strUrl, "www."))
            m_strUrl = "http://" + m_strUrl;
    }
    if (strText.IsEmpty())
        SetWindowText(m_strUrl);

    HGDIOBJ hFont = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    if (!hFont)
        hFont = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!hFont)
        hFont = ::GetStockObject(ANSI_VAR_FONT);
    // With no font anywhere, an all-zero description asks the system for
    // its default font, so the link still gets both fonts.
    LOGFONTA lf = {};
    if (hFont)
        ::GetObjectA(hFont, sizeof(lf), &lf);
    m_fontPlain.CreateFontIndirect(&lf);
    lf.lfUnderline = TRUE;
    m_fontUnderlined.CreateFontIndirect(&lf);

    FitToText();
    LoadDefaultCursor();
    SetUnderlineMode(UnderlineOnHover);
    BuildTipText(m_strUrl);

    CRect rect;
    GetClientRect(rect);
    m_tip.Create(this, 0);
    m_tip.AddTool(this, m_strTipText, rect, kToolId);

    CStatic::PreSubclassWindow();
}

BOOL CUrlLabel::DestroyWindow()
{
    KillTimer(m_nTimerId);
    return CStatic::DestroyWindow();
}

BOOL CUrlLabel::PreTranslateMessage(MSG* pMsg)
{
    m_tip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CUrlLabel::SetUrl(CString strUrl)
{
    m_strUrl = strUrl;
    if (m_hWnd && ::IsWindow(m_hWnd))
    {
        FitToText();
        BuildTipText(m_strUrl);
        m_tip.UpdateTipText(m_strTipText, this, kToolId);
    }
}

void CUrlLabel::SetVisited(BOOL bVisited)
{
    m_bVisited = bVisited;
    if (m_hWnd && ::IsWindow(m_hWnd))
        Invalidate(TRUE);
}

void CUrlLabel::SetLinkCursor(HCURSOR hCursor)
{
    if (m_hCursor)
        ::DestroyCursor(m_hCursor);
    m_hCursor = hCursor;
    if (!m_hCursor)
        LoadDefaultCursor();
}

void CUrlLabel::SetUnderlineMode(int nMode)
{
    if (nMode == m_nUnderlineMode)
        return;
    if (m_hWnd && ::IsWindow(m_hWnd))
    {
        HFONT hFont = nMode == UnderlineAlways ? static_cast<HFONT>(m_fontUnderlined) : static_cast<HFONT>(m_fontPlain);
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
        Invalidate(TRUE);
    }
    m_nUnderlineMode = nMode;
}

void CUrlLabel::FitToText()
{
    if (!m_hWnd || !::IsWindow(m_hWnd) || !m_bAutoSize)
        return;

    CRect rcWindow;
    CRect rcClient;
    GetWindowRect(rcWindow);
    GetClientRect(rcClient);
    ClientToScreen(rcClient);
    HWND hWndParent = GetParent();
    if (hWndParent)
    {
        ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<LPPOINT>(&rcWindow), 2);
        ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<LPPOINT>(&rcClient), 2);
    }

    // Measured in the underlined font, the wider of the two.
    CString strText = GetWindowText();
    CSize extent;
    {
        CClientDC dc(this);
        HGDIOBJ hOldFont = dc.SelectObject(&m_fontUnderlined);
        extent = dc.GetTextExtent(strText, strText.GetLength());
        if (hOldFont)
            dc.SelectObject(hOldFont);
    }

    int nNewWidth = extent.cx + (rcWindow.Width() - rcClient.Width());
    int nNewHeight = extent.cy + (rcWindow.Height() - rcClient.Height());
    DWORD dwStyle = GetStyle();

    if (dwStyle & SS_CENTERIMAGE)
    {
        int d = (rcWindow.Height() - nNewHeight) / 2;
        rcWindow.top += d;
        rcWindow.bottom -= d;
    }
    else
    {
        rcWindow.bottom = rcWindow.top + nNewHeight;
    }

    if (dwStyle & SS_CENTER)
    {
        int d = (rcWindow.Width() - nNewWidth) / 2;
        rcWindow.left += d;
        rcWindow.right -= d;
    }
    else if (dwStyle & SS_RIGHT)
    {
        rcWindow.left = rcWindow.right - nNewWidth;
    }
    else
    {
        rcWindow.right = rcWindow.left + nNewWidth;
    }

    SetWindowPos(nullptr, rcWindow.left, rcWindow.top, rcWindow.Width(), rcWindow.Height(), SWP_NOZORDER);
}

COLORREF CUrlLabel::TextColour() const
{
    // Asked at each paint: a child sees no WM_SYSCOLORCHANGE. Fixed colours
    // may stand on a theme's background of nearly the same colour.
    HIGHCONTRASTA highContrast = {};
    highContrast.cbSize = sizeof(highContrast);
    if (::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(highContrast), &highContrast, 0) &&
        (highContrast.dwFlags & HCF_HIGHCONTRASTON))
        return ::GetSysColor(COLOR_HOTLIGHT);
    return m_bHot ? m_crHover : m_bVisited ? m_crVisited : m_crLink;
}

HBRUSH CUrlLabel::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(TextColour());
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CUrlLabel::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_hCursor)
        return FALSE;
    ::SetCursor(m_hCursor);
    return TRUE;
}

void CUrlLabel::OnMouseMove(UINT, CPoint)
{
    if (!m_bHot)
    {
        m_bHot = TRUE;
        if (m_nUnderlineMode == UnderlineOnHover)
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_fontUnderlined)), TRUE);
        Invalidate(TRUE);
        SetTimer(m_nTimerId, kHoverPollMs);
    }
    Default();
}

void CUrlLabel::OnTimer(UINT_PTR)
{
    // The control never captures the mouse: each tick asks where it is.
    CPoint point(static_cast<DWORD>(::GetMessagePos()));
    ScreenToClient(&point);
    CRect rect;
    GetClientRect(rect);
    if (!rect.PtInRect(point))
    {
        m_bHot = FALSE;
        KillTimer(m_nTimerId);
        if (m_nUnderlineMode != UnderlineAlways)
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_fontPlain)), TRUE);
        rect.bottom += kLeaveRepaintSlack;
        InvalidateRect(rect, TRUE);
    }
    Default();
}

BOOL CUrlLabel::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(rect);
    pDC->FillSolidRect(rect, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void CUrlLabel::OnPaint()
{
    // Painted whole: the focus rectangle is drawn over the static's own
    // painting, and a part of an earlier one must never stay.
    Invalidate(TRUE);
    Default();
    if (::GetFocus() != m_hWnd || (SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS))
        return;
    // On the text's edge: the window stays fitted to the text.
    CRect rect;
    GetClientRect(rect);
    CClientDC dc(this);
    ::DrawFocusRect(dc.GetSafeHdc(), rect);
}

UINT CUrlLabel::OnGetDlgCode(const MSG* pMsg)
{
    UINT nCode = static_cast<UINT>(Default());
    // Enter and Space are the link's, not the default button's; Tab, Esc
    // and the arrows stay with the dialog.
    if (pMsg && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR) && IsOpeningKey(pMsg->wParam))
        nCode |= DLGC_WANTMESSAGE;
    return nCode;
}

void CUrlLabel::OnKeyDown(UINT nChar, UINT, UINT nFlags)
{
    // A key held down opens the link once.
    if (IsOpeningKey(nChar) && !(nFlags & KF_REPEAT))
        OnClicked();
    else
        Default();
}

void CUrlLabel::OnFocusOrCuesChanged()
{
    Default();
    Invalidate(TRUE);
}

LRESULT CUrlLabel::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    // Compared as 32 bits: the 64-bit system may sign-extend the id.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return Default();
    CLinkAccessible* pAccessible = CLinkAccessible::Create(m_hWnd);
    if (!pAccessible)
        return Default();
    LRESULT lResult = ::LresultFromObject(IID_IAccessible, wParam, pAccessible);
    pAccessible->Release();
    return lResult;
}

void CUrlLabel::LoadDefaultCursor()
{
    if (m_hCursor)
        return;
    // The help program's hand, read as a data file: that works for a 32-bit
    // file in a 64-bit process too, and runs none of its code. (Wine finds
    // no resources in a module mapped as an image resource, so the flag
    // for that is left out.)
    WCHAR szModule[MAX_PATH] = L"";
    UINT nWindows = ::GetWindowsDirectoryW(szModule, MAX_PATH);
    HMODULE hModule = nullptr;
    if (nWindows > 0 && nWindows + lstrlenW(kHelpProgram) < MAX_PATH)
        hModule = ::LoadLibraryExW(lstrcatW(szModule, kHelpProgram), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hModule)
    {
        HCURSOR hHand = ::LoadCursorA(hModule, MAKEINTRESOURCEA(kHandCursorId));
        if (hHand)
            m_hCursor = static_cast<HCURSOR>(::CopyIcon(hHand)); // ours, unlike the module's
        ::FreeLibrary(hModule);
    }
    // Systems without the help program have a hand of their own; a copy,
    // since the label destroys the cursor it holds.
    if (!m_hCursor)
        m_hCursor = static_cast<HCURSOR>(::CopyIcon(::LoadCursorA(nullptr, IDC_HAND)));
}

void CUrlLabel::BuildTipText(LPCSTR lpszUrl)
{
    m_strTipText.Empty();
    CString strUrl = lpszUrl;
    if (!m_bTipPrefixes)
        m_strTipText = strUrl;
    else if (StartsWithNoCase(strUrl, kWebScheme))
        m_strTipText = "Go to " + strUrl.Mid(kSchemeLength);
    else if (StartsWithNoCase(strUrl, kMailScheme))
        m_strTipText = "E-mail " + strUrl.Mid(kSchemeLength);
    else
        m_strTipText = strUrl;
}

void CUrlLabel::OnClicked()
{
    m_bHot = FALSE; // the hover timer ends itself once the pointer is outside
    LONG nResult = LaunchUrl(m_strUrl, SW_SHOW);
    m_bVisited = nResult > 32;
    if (nResult > 32)
    {
        SetVisited(TRUE);
    }
    else
    {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ReportLaunchError(static_cast<int>(nResult));
    }
}

LONG CUrlLabel::LaunchUrl(LPCSTR lpszUrl, int nShowCmd)
{
    SetLinkCursor(nullptr);
    return OpenUrl(lpszUrl, nShowCmd);
}

void CUrlLabel::ReportLaunchError(int nCode)
{
    AfxMessageBox("Unable to open hyperlink:\n\n" + LaunchErrorText(nCode), MB_OK | MB_ICONEXCLAMATION, 0);
}
