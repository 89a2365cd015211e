#pragma once

#include <windows.h>

// The module whose resources the program uses: the running executable.
HINSTANCE AfxGetResourceHandle();

// The module that holds a given resource; the executable is the only one, so
// this is the executable whenever it has the resource, else NULL.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
