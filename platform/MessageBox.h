#pragma once

#include <windows.h>

// The window that owns a message box: the main window's last active popup
// (an About box over the settings, say), so that the box disables the window
// the user is working in; NULL with no main window.
HWND AfxGetMessageBoxOwner();

// A modal message box captioned with the application title. Returns the
// button pressed.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// A modal message box with its own caption and language, owned as above.
int AfxMessageBoxEx(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType, WORD wLanguageId);
