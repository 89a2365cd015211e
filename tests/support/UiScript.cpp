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
