// A hidden window that pumps messages until the process is ended: while it
// runs, the prefix's desktop process stays up between test programs, so a
// test that shows a window does not pay for its start and end.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "Vellomar test keep-alive", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  hInstance, nullptr);
    if (!hWnd)
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
