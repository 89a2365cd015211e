#include "platform/ResourceHandle.h"

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType)
{
    HINSTANCE hModule = AfxGetResourceHandle();
    return ::FindResourceA(hModule, lpszName, lpszType) ? hModule : nullptr;
}
