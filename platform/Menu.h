#pragma once

#include <windows.h>

// A non-owning view of a menu handle: the system menu belongs to its window.
class CMenu
{
public:
    static CMenu FromHandle(HMENU hMenu) { return CMenu(hMenu); }

    BOOL IsValid() const { return m_hMenu != nullptr; }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }

private:
    explicit CMenu(HMENU hMenu) : m_hMenu(hMenu) {}
    HMENU m_hMenu;
};
