#pragma once

#include <windows.h>

#include "platform/String.h"

// Opens a web address: first through the shell, and when the shell refuses,
// through the command the registry names for opening web pages, with the
// address put in place of its "%1". The result follows ShellExecute and
// WinExec: above 32 is success, 0 to 32 an error code.
LONG OpenUrl(LPCSTR lpszUrl, int nShowCmd);

// The words that explain a failed result of OpenUrl to the user.
CString LaunchErrorText(int nCode);
