#include "UiScript.h"

#include "WindowLookup.h"

namespace
{
CUiScript* g_pActiveScript = nullptr;
const UINT kTickMs = 15;
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

bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs)
{
    for (DWORD dwStart = ::GetTickCount(); ::GetTickCount() - dwStart < dwTimeoutMs;)
    {
        if (condition())
            return true;
        PumpMessages(20);
    }
    return condition();
}

namespace
{
struct TimerWatch
{
    HWND hWnd;
    UINT_PTR nTimerId;
    int nTicks;
};
thread_local TimerWatch* t_pWatch = nullptr;

LRESULT CALLBACK CountTicks(int nCode, WPARAM wParam, LPARAM lParam)
{
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (nCode == HC_ACTION && wParam == PM_REMOVE && t_pWatch && pMsg->message == WM_TIMER &&
        pMsg->hwnd == t_pWatch->hWnd && pMsg->wParam == t_pWatch->nTimerId)
        ++t_pWatch->nTicks;
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
} // namespace

bool WaitForTimerTicks(HWND hWnd, UINT_PTR nTimerId, int nTicks, DWORD dwTimeoutMs)
{
    TimerWatch watch = {hWnd, nTimerId, 0};
    t_pWatch = &watch;
    HHOOK hHook = ::SetWindowsHookExA(WH_GETMESSAGE, &CountTicks, nullptr, ::GetCurrentThreadId());
    bool bDone = WaitUntil([&] { return watch.nTicks >= nTicks; }, dwTimeoutMs);
    ::UnhookWindowsHookEx(hHook);
    t_pWatch = nullptr;
    return bDone;
}
