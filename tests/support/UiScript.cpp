#include "UiScript.h"

#include <algorithm>

#include "platform/Wnd.h"

namespace
{
CUiScript* g_pActiveScript = nullptr;
const UINT kTickMs = 15;
const int kMessageTextId = 0xFFFF;
} // namespace

CUiScript::CUiScript(DWORD dwTimeoutMs) : m_dwTimeout(dwTimeoutMs)
{
}

CUiScript::~CUiScript()
{
    if (m_nTimer)
        ::KillTimer(nullptr, m_nTimer);
    if (g_pActiveScript == this)
        g_pActiveScript = nullptr;
}

CUiScript& CUiScript::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

void CUiScript::Start()
{
    g_pActiveScript = this;
    m_dwStart = ::GetTickCount();
    m_nTimer = ::SetTimer(nullptr, 0, kTickMs, &CUiScript::OnTick);
}

void CALLBACK CUiScript::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pActiveScript)
        g_pActiveScript->Tick();
}

void CUiScript::Tick()
{
    if (m_bRunning)
        return; // a step's own modal loop ticking: wait for it to return
    if (Finished())
    {
        ::KillTimer(nullptr, m_nTimer);
        m_nTimer = 0;
        return;
    }
    if (::GetTickCount() - m_dwStart > m_dwTimeout)
    {
        m_bTimedOut = true;
        for (HWND hWnd : ThreadWindows())
            ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        return;
    }
    m_bRunning = true;
    bool bDone = m_steps[m_nNext]();
    m_bRunning = false;
    if (bDone)
        ++m_nNext;
}

void PumpMessages(DWORD dwMs)
{
    DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < dwMs)
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

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
