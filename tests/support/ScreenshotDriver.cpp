// Opens Vellomar's settings dialog (and, with "about", its About box; "about-focus":
// with the focus moved on as by Tab) for a screenshot: prints the window's screen
// rectangle once it is shown, waits for a line on standard input, then closes the program.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
struct Search
{
    DWORD dwProcessId;
    const char* pszCaption;
    HWND hFound;
};

BOOL CALLBACK Match(HWND hWnd, LPARAM lParam)
{
    Search* pSearch = reinterpret_cast<Search*>(lParam);
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    char szCaption[128] = "";
    GetWindowTextA(hWnd, szCaption, sizeof(szCaption));
    if (dwProcessId == pSearch->dwProcessId && IsWindowVisible(hWnd) && strcmp(szCaption, pSearch->pszCaption) == 0)
    {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD dwProcessId, const char* pszCaption)
{
    for (int i = 0; i < 500; ++i)
    {
        Search search = {dwProcessId, pszCaption, nullptr};
        EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
        if (search.hFound)
            return search.hFound;
        Sleep(20);
    }
    return nullptr;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::string strCommand = std::string("\"") + argv[1] + "\" /config";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 1;
    HWND hDialog = WaitForWindow(pi.dwProcessId, "Vellomar");
    HWND hShown = hDialog;
    if (hDialog && strncmp(argv[2], "about", 5) == 0)
    {
        PostMessageA(hDialog, WM_SYSCOMMAND, 0x0010, 0);
        hShown = WaitForWindow(pi.dwProcessId, "About Vellomar");
        if (hShown && strcmp(argv[2], "about-focus") == 0)
            PostMessageA(hShown, WM_NEXTDLGCTL, 0, FALSE);
    }
    if (!hShown)
    {
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    Sleep(500); // let it paint
    RECT rc;
    GetWindowRect(hShown, &rc);
    printf("%ldx%ld+%ld+%ld\n", rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top);
    fflush(stdout);
    char szLine[16];
    fgets(szLine, sizeof(szLine), stdin);
    if (hShown != hDialog)
        PostMessageA(hShown, WM_CLOSE, 0, 0);
    Sleep(200);
    PostMessageA(hDialog, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    return 0;
}
