#pragma once

#include <windows.h>

// A modal message box captioned with the application title, owned by the
// main window when there is one. Returns the button pressed.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
