#include "ChildProcess.h"

#include "TestFiles.h"
#include "res/resource.h"
#include "WindowLookup.h"

#include <vector>

CChildProcess::~CChildProcess()
{
    if (m_info.hProcess)
    {
        if (Wait(0) == -1)
            Terminate();
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
    }
}

bool CChildProcess::Start(const std::string& strProgram, const std::string& strCommandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    std::vector<char> commandLine(strCommandLine.begin(), strCommandLine.end());
    commandLine.push_back('\0');
    return ::CreateProcessA(strProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &m_info) != FALSE;
}

bool CChildProcess::Start(const std::wstring& strProgram, const std::wstring& strCommandLine)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    std::vector<wchar_t> commandLine(strCommandLine.begin(), strCommandLine.end());
    commandLine.push_back(L'\0');
    return ::CreateProcessW(strProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &m_info) != FALSE;
}

long CChildProcess::Wait(DWORD dwMs)
{
    if (::WaitForSingleObject(m_info.hProcess, dwMs) != WAIT_OBJECT_0)
        return -1;
    DWORD dwExit = 0;
    ::GetExitCodeProcess(m_info.hProcess, &dwExit);
    return static_cast<long>(dwExit);
}

void CChildProcess::Terminate()
{
    ::TerminateProcess(m_info.hProcess, 99);
    ::WaitForSingleObject(m_info.hProcess, 5000);
}

namespace
{
struct WindowSearch
{
    DWORD dwProcessId;
    LPCSTR lpszClass;
    HWND hFound;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    WindowSearch* pSearch = reinterpret_cast<WindowSearch*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    char szClass[128] = "";
    ::GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (dwProcessId == pSearch->dwProcessId && ::IsWindowVisible(hWnd) && lstrcmpA(szClass, pSearch->lpszClass) == 0)
    {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND CChildProcess::FindWindow(LPCSTR lpszClass) const
{
    WindowSearch search = {m_info.dwProcessId, lpszClass, nullptr};
    ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

long RunVellomar(const std::string& strCommandLine, DWORD dwTimeoutMs)
{
    CChildProcess child;
    if (!child.Start(VellomarExePath(), strCommandLine))
        return -2;
    return child.Wait(dwTimeoutMs);
}

const char* RunModeName(RunMode mode)
{
    return mode == RunMode::Silent ? "silent" : mode == RunMode::Dialog ? "dialog" : "failed";
}

RunMode RunAndObserve(const std::string& strProgram, const std::string& strCommandLine)
{
    CChildProcess child;
    if (!child.Start(strProgram, strCommandLine))
        return RunMode::Failed;
    DWORD dwStart = ::GetTickCount();
    while (::GetTickCount() - dwStart < 15000)
    {
        long nExit = child.Wait(20);
        if (nExit != -1)
            return nExit == 0 ? RunMode::Silent : RunMode::Failed;
        // The settings dialog, not a message box with the same caption.
        HWND hDialog = child.FindWindow("#32770");
        if (hDialog && WindowText(hDialog) == "Vellomar" && ::GetDlgItem(hDialog, IDC_BROWSE))
        {
            ClickButton(hDialog, IDOK);
            return child.Wait(10000) == 0 ? RunMode::Dialog : RunMode::Failed;
        }
    }
    return RunMode::Failed;
}

namespace
{
DWORD JobProcessTotal(HANDLE hJob)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!QueryInformationJobObject(hJob, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
        return 0;
    return info.TotalProcesses;
}
} // namespace

CStartedProcesses::CStartedProcesses()
{
    // The test process may already belong to a job from an earlier counter;
    // it keeps counting there.
    static HANDLE s_hJob = nullptr;
    if (!s_hJob)
    {
        HANDLE hJob = CreateJobObjectA(nullptr, nullptr);
        if (hJob && AssignProcessToJobObject(hJob, GetCurrentProcess()))
            s_hJob = hJob;
        else if (hJob)
            CloseHandle(hJob);
    }
    m_hJob = s_hJob;
    m_bCounting = m_hJob != nullptr;
    m_nAtStart = m_bCounting ? JobProcessTotal(m_hJob) : 0;
}

DWORD CStartedProcesses::Count() const
{
    return m_bCounting ? JobProcessTotal(m_hJob) - m_nAtStart : 0;
}
