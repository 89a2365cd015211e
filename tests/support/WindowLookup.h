#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Visible top-level windows of this thread.
HWND FindThreadWindow(LPCSTR lpszClass, LPCSTR lpszCaption);
std::vector<HWND> ThreadWindows(bool bVisibleOnly = true);
// Top-level windows of this thread of one class, shown or hidden.
std::vector<HWND> ThreadWindowsOfClass(LPCSTR lpszClass);

// A message box of this thread (a dialog no framework object is bound to,
// with the system's message text control), or NULL.
HWND FindMessageBox();
std::string WindowText(HWND hWnd);
std::string MessageBoxText(HWND hBox);
void ClickButton(HWND hDialog, int nButtonId);

// A visible top-level window of this class, of a process that runs this
// program file: for a process started by another one (a setup's finish page).
HWND FindProgramWindow(const std::string& strProgram, LPCSTR lpszClass);
// A visible control with this text anywhere inside a window.
HWND FindControl(HWND hParent, const char* pszText);
