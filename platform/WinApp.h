#pragma once

#include <windows.h>

#include "platform/String.h"

class CWnd;

// The application object: one static instance per program. The entry point
// fills m_hInstance and m_lpCmdLine, then calls InitInstance once; FALSE from
// it ends the process without a message loop.
class CWinApp
{
public:
    // With no name the application title is the program file's name without
    // its extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // The 3D look is the system's own since Windows 95; kept for callers that
    // ask for it before showing their first dialog.
    BOOL Enable3dControls();

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    CString m_strTitle;
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The application title: the name given to CWinApp, else the program file's
// name without its extension (also when no application object exists).
LPCSTR AfxGetAppName();

// The command-line tail the way the C runtime cuts it: a quoted program name
// is skipped through its closing quote, any other up to the first byte in
// 0x01..0x20; then every byte in 0x01..0x20 is skipped. Trailing blanks stay.
LPSTR AfxSkipProgramName(LPSTR lpszCommandLine);

// Runs the application object: called by the program's WinMain.
int AfxWinMain(HINSTANCE hInstance);
