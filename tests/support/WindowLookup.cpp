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

struct ProgramSearch
{
    const std::string* pstrProgram;
    LPCSTR lpszClass;
    HWND hFound;
};

bool IsProcessOf(DWORD dwProcessId, const std::string& strProgram)
{
    HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId);
    if (!hProcess)
        return false;
    char szImage[MAX_PATH * 2] = "";
    DWORD cchImage = sizeof(szImage);
    bool bMatch = ::QueryFullProcessImageNameA(hProcess, 0, szImage, &cchImage) &&
                  lstrcmpiA(szImage, strProgram.c_str()) == 0;
    ::CloseHandle(hProcess);
    return bMatch;
}

BOOL CALLBACK MatchProgramWindow(HWND hWnd, LPARAM lParam)
{
    ProgramSearch* pSearch = reinterpret_cast<ProgramSearch*>(lParam);
    char szClass[128] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (IsWindowVisible(hWnd) && lstrcmpA(szClass, pSearch->lpszClass) == 0 &&
        IsProcessOf(dwProcessId, *pSearch->pstrProgram))
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

HWND FindProgramWindow(const std::string& strProgram, LPCSTR lpszClass)
{
    ProgramSearch search = {&strProgram, lpszClass, nullptr};
    EnumWindows(&MatchProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

HWND FindControl(HWND hParent, const char* pszText)
{
    TextSearch search = {pszText, nullptr};
    EnumChildWindows(hParent, &MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}
