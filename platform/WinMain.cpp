// The program's entry point; compiled into the executable only, so that test
// programs, which bring their own main, can link the framework.
#include "platform/WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    // The runtime's lpCmdLine is not used: the tail is derived from the
    // process command line by the framework's own rule.
    return AfxWinMain(hInstance);
}
