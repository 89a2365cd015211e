#pragma once

#include <windows.h>

#include "platform/Geometry.h"

class CWnd;

// Owner of one GDI object; deletes it on destruction.
class CGdiObject
{
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() { DeleteObject(); }

    BOOL DeleteObject();

    HGDIOBJ m_hObject = nullptr;
};

class CFont : public CGdiObject
{
public:
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

// A device context. This base is a non-owning view of a handle; CPaintDC and
// CClientDC own theirs. Any object selected through SelectObject is selected
// back out when the context object goes away.
class CDC
{
public:
    explicit CDC(HDC hDC = nullptr) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() { RestoreSelection(); }

    HDC GetSafeHdc() const { return m_hDC; }
    COLORREF SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
    int SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    // Returns the object that was selected before, or NULL.
    HGDIOBJ SelectObject(HGDIOBJ hObject);
    HGDIOBJ SelectObject(const CGdiObject* pObject) { return SelectObject(pObject->m_hObject); }
    CSize GetTextExtent(LPCSTR lpszString, int nCount) const;
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    HDC m_hDC;

protected:
    void RestoreSelection();

private:
    // What the context held first of each kind that can be selected.
    enum
    {
        kSlotFont,
        kSlotPen,
        kSlotBrush,
        kSlotBitmap,
        kSlotCount
    };
    HGDIOBJ m_hOriginal[kSlotCount] = {};
};

class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
