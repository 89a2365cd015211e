#pragma once

#include <windows.h>

#include <string>

// A child process started with an exact command line.
class CChildProcess
{
public:
    CChildProcess() = default;
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;
    ~CChildProcess();

    bool Start(const std::string& strProgram, const std::string& strCommandLine);
    // For programs in folders the ANSI code page cannot name.
    bool Start(const std::wstring& strProgram, const std::wstring& strCommandLine);
    // The exit code, or -1 when the process is still running after dwMs.
    long Wait(DWORD dwMs);
    void Terminate();
    DWORD Id() const { return m_info.dwProcessId; }
    // A visible top-level window of the process with this class, or NULL.
    HWND FindWindow(LPCSTR lpszClass) const;

private:
    PROCESS_INFORMATION m_info = {};
};

// Starts the built program with exactly this command line (program name
// included) and waits for its end; -1 when it did not end in time.
long RunVellomar(const std::string& strCommandLine, DWORD dwTimeoutMs = 15000);

enum class RunMode
{
    Silent, // ended by itself with exit code 0 and showed no window
    Dialog, // showed the settings dialog, which was closed with OK
    Failed  // crashed, failed, showed something else or hung
};
const char* RunModeName(RunMode mode);

// Runs a program with an exact command line and tells which mode it ran in.
RunMode RunAndObserve(const std::string& strProgram, const std::string& strCommandLine);

// Counts the processes that this process starts from now on, however they
// are started (the shell, CreateProcess): the test process and its children
// join a job, whose count goes up as each CreateProcess returns, so a
// process started by mistake is seen even before it does anything.
class CStartedProcesses
{
public:
    CStartedProcesses();
    CStartedProcesses(const CStartedProcesses&) = delete;
    CStartedProcesses& operator=(const CStartedProcesses&) = delete;

    bool Counting() const { return m_bCounting; }
    DWORD Count() const;

private:
    HANDLE m_hJob = nullptr; // the process's one job, kept for its life
    bool m_bCounting = false;
    DWORD m_nAtStart = 0;
};
