#include "platform/Gdi.h"

#include "platform/Wnd.h"

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL bResult = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return bResult;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont)
{
    DeleteObject();
    m_hObject = ::CreateFontIndirectA(lpLogFont);
    return m_hObject != nullptr;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    COLORREF crOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, crOld);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    int nSlot;
    switch (::GetObjectType(hObject))
    {
    case OBJ_FONT:
        nSlot = kSlotFont;
        break;
    case OBJ_PEN:
    case OBJ_EXTPEN:
        nSlot = kSlotPen;
        break;
    case OBJ_BRUSH:
        nSlot = kSlotBrush;
        break;
    case OBJ_BITMAP:
        nSlot = kSlotBitmap;
        break;
    default: // a region is copied into the context, not selected
        return ::SelectObject(m_hDC, hObject);
    }
    HGDIOBJ hOld = ::SelectObject(m_hDC, hObject);
    // Remember what the context held first, to put it back at the end.
    if (hOld && !m_hOriginal[nSlot])
        m_hOriginal[nSlot] = hOld;
    return hOld;
}

void CDC::RestoreSelection()
{
    for (HGDIOBJ& hOriginal : m_hOriginal)
    {
        if (hOriginal)
            ::SelectObject(m_hDC, hOriginal);
        hOriginal = nullptr;
    }
}

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const
{
    SIZE size = {};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    RestoreSelection();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC()
{
    RestoreSelection();
    ::ReleaseDC(m_hWnd, m_hDC);
}
