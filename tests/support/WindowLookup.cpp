#include "WindowLookup.h"

#include "platform/Wnd.h"

#include <algorithm>

namespace
{
const int kMessageTextId = 0xFFFF;

struct TextSearch
{
    const char* pszText;
    HWND hFound;
};

BOOL CALLBACK MatchChildText(HWND hWnd, LPARAM lParam)
{
    TextSearch* pSearch = reinterpret_cast<TextSearch*>(lParam);
    if (IsWindowVisible(hWnd) && WindowText(hWnd) == pSearch->pszText)
    {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchCaption(HWND hWnd, LPARAM lParam)
{
    TextSearch* pSearch = reinterpret_cast<TextSearch*>(lParam);
    if (IsWindowVisible(hWnd) && WindowText(hWnd).rfind(pSearch->pszText, 0) == 0)
    {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

static BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> ThreadWindows(bool bVisibleOnly)
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    if (bVisibleOnly)
        windows.erase(std::remove_if(windows.begin(), windows.end(), [](HWND h) { return !::IsWindowVisible(h); }),
                      windows.end());
    return windows;
}

std::vector<HWND> ThreadWindowsOfClass(LPCSTR lpszClass)
{
    std::vector<HWND> windows;
    for (HWND hWnd : ThreadWindows(false))
    {
        char szClass[64] = "";
        ::GetClassNameA(hWnd, szClass, sizeof(szClass));
        if (::lstrcmpiA(szClass, lpszClass) == 0)
            windows.push_back(hWnd);
    }
    return windows;
}

std::string WindowText(HWND hWnd)
{
    char szText[4096] = "";
    ::GetWindowTextA(hWnd, szText, sizeof(szText));
    return szText;
}

HWND FindThreadWindow(LPCSTR lpszClass, LPCSTR lpszCaption)
{
    for (HWND hWnd : ThreadWindows())
    {
        char szClass[256] = "";
        ::GetClassNameA(hWnd, szClass, sizeof(szClass));
        if (lpszClass && lstrcmpA(szClass, lpszClass) != 0)
            continue;
        if (lpszCaption && WindowText(hWnd) != lpszCaption)
            continue;
        return hWnd;
    }
    return nullptr;
}

static bool IsMessageBox(HWND hWnd)
{
    char szClass[64] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    return lstrcmpA(szClass, "#32770") == 0 && ::IsWindowVisible(hWnd) && !CWnd::FromHandlePermanent(hWnd) &&
           ::GetDlgItem(hWnd, kMessageTextId) != nullptr;
}

HWND FindMessageBox()
{
    for (HWND hWnd : ThreadWindows())
        if (IsMessageBox(hWnd))
            return hWnd;
    return nullptr;
}

std::string MessageBoxText(HWND hBox)
{
    char szText[4096] = "";
    ::GetDlgItemTextA(hBox, kMessageTextId, szText, sizeof(szText));
    return szText;
}

void ClickButton(HWND hDialog, int nButtonId)
{
    HWND hButton = ::GetDlgItem(hDialog, nButtonId);
    if (hButton)
        ::PostMessageA(hButton, BM_CLICK, 0, 0);
}

HWND FindTopWindow(const char* pszCaption)
{
    TextSearch search = {pszCaption, nullptr};
    EnumWindows(&MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

HWND FindControl(HWND hParent, const char* pszText)
{
    TextSearch search = {pszText, nullptr};
    EnumChildWindows(hParent, &MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}
