// A hidden window that pumps messages until the process is ended: while it
// runs, the prefix's desktop process stays up between test programs, so a
// test that shows a window does not pay for its start and end. With a path
// argument it creates that file once its window, and so the desktop, is up:
// a test started before then would start the desktop itself, and the
// desktop would hold that test's output open.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "Vellomar test keep-alive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  hInstance, nullptr);
    if (!hWnd)
        return 1;
    if (lpCmdLine && *lpCmdLine)
        ::CloseHandle(::CreateFileA(lpCmdLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
