#pragma once

#include <windows.h>

#include "platform/WinApp.h"

// The application object: chooses the run mode once and runs it. It always
// returns FALSE from InitInstance, so the process ends when the mode is done.
class CChangerApp : public CWinApp
{
public:
    CChangerApp() = default;
    ~CChangerApp() override = default;

    BOOL InitInstance() override;

private:
    typedef HRESULT(WINAPI* PFNGETFOLDERPATH)(HWND, int, HANDLE, DWORD, LPWSTR);

    void SettleDataFolder(const CString& strRunMode);
    static BOOL IsDialogSwitch(const CString& strRunMode);

    PFNGETFOLDERPATH m_pfnGetFolderPath = nullptr;
    HMODULE m_hShellLib = nullptr; // stays loaded until the process ends
};
