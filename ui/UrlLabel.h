#pragma once

#include "platform/Gdi.h"
#include "platform/Static.h"
#include "platform/ToolTipCtrl.h"

// A static text turned hyperlink: link, visited and hover colours (the
// system's link colour in high contrast), underline on hover (or always, or
// never), a hand cursor, a tool tip naming the target, a window fitted to
// its text, and a click that opens the URL. It is a tab stop that Enter and
// Space open as a click does, shows a focus rectangle on its text's edge
// while keyboard cues are shown, and tells screen readers it is a link.
class CUrlLabel : public CStatic
{
public:
    enum UnderlineMode
    {
        UnderlineOnHover = -1,
        UnderlineNever = 0,
        UnderlineAlways = 1
    };

    CUrlLabel() = default;
    ~CUrlLabel() override;

    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Keeps the window text; refits the window and updates the tip's text.
    void SetUrl(CString strUrl);
    void SetVisited(BOOL bVisited);
    // Takes ownership of the cursor; NULL loads the default hand cursor.
    void SetLinkCursor(HCURSOR hCursor);
    void SetUnderlineMode(int nMode);
    void FitToText();

    const CString& GetUrl() const { return m_strUrl; }
    BOOL IsVisited() const { return m_bVisited; }

protected:
    void PreSubclassWindow() override;

    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnClicked();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    UINT OnGetDlgCode(const MSG* pMsg);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnFocusOrCuesChanged();
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    COLORREF TextColour() const;

    void LoadDefaultCursor();
    void BuildTipText(LPCSTR lpszUrl);
    LONG LaunchUrl(LPCSTR lpszUrl, int nShowCmd);
    void ReportLaunchError(int nCode);

    DECLARE_MESSAGE_MAP()

    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
    static constexpr COLORREF kHoverColour = RGB(255, 0, 0);
    static constexpr UINT_PTR kHoverTimerId = 100;

    COLORREF m_crLink = kLinkColour;
    COLORREF m_crVisited = kVisitedColour;
    COLORREF m_crHover = kHoverColour;
    BOOL m_bHot = FALSE;
    BOOL m_bVisited = FALSE;
    int m_nUnderlineMode = UnderlineOnHover;
    BOOL m_bAutoSize = TRUE;
    CString m_strUrl;
    CString m_strTipText;
    BOOL m_bTipPrefixes = TRUE;
    CFont m_fontUnderlined;
    CFont m_fontPlain;
    HCURSOR m_hCursor = nullptr;
    CToolTipCtrl m_tip;
    UINT_PTR m_nTimerId = kHoverTimerId;
};
