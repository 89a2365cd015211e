#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Steps run one after another from a thread timer, so they execute inside
// whatever modal loop the code under test runs (its dialogs, message boxes,
// the folder chooser). A step returns true when it is done; it is polled
// until then. A tick comes only once the thread's queue is empty, so what
// earlier steps posted (clicks, keys) has been handled when the next runs. Past the time limit every window of the thread is asked to
// close, so a test fails instead of hanging.
class CUiScript
{
public:
    typedef std::function<bool()> Step;

    explicit CUiScript(DWORD dwTimeoutMs = 20000);
    CUiScript(const CUiScript&) = delete;
    CUiScript& operator=(const CUiScript&) = delete;
    ~CUiScript();

    CUiScript& Then(Step step);
    void Start();
    bool Finished() const { return m_nNext >= m_steps.size(); }
    bool TimedOut() const { return m_bTimedOut; }
    size_t StepsDone() const { return m_nNext; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    std::vector<Step> m_steps;
    size_t m_nNext = 0;
    bool m_bRunning = false;
    bool m_bTimedOut = false;
    DWORD m_dwStart = 0;
    DWORD m_dwTimeout;
    UINT_PTR m_nTimer = 0;
};

// Pumps this thread's messages for a while (timers and posted clicks run).
void PumpMessages(DWORD dwMs);

// Pumps messages until the condition holds or the time is up; says which.
bool WaitUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs = 30000);

// Pumps messages until a window's timer has fired n times (or the time is
// up); says which. For what must still hold after the timer has looked.
bool WaitForTimerTicks(HWND hWnd, UINT_PTR nTimerId, int nTicks, DWORD dwTimeoutMs = 10000);
