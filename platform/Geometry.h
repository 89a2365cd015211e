#pragma once

#include <windows.h>

// Value types over the system's POINT, SIZE and RECT.
struct CPoint : POINT
{
    CPoint() { x = y = 0; }
    CPoint(int nX, int nY)
    {
        x = nX;
        y = nY;
    }
    // A point packed in a message's LPARAM or in GetMessagePos: two signed 16-bit halves.
    explicit CPoint(DWORD dwPacked)
    {
        x = static_cast<short>(LOWORD(dwPacked));
        y = static_cast<short>(HIWORD(dwPacked));
    }
};

struct CSize : SIZE
{
    CSize() { cx = cy = 0; }
    CSize(int nCX, int nCY)
    {
        cx = nCX;
        cy = nCY;
    }
};

struct CRect : RECT
{
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& rc) : RECT(rc) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
