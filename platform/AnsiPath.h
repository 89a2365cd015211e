#pragma once

#include <windows.h>

#include "platform/String.h"

// Paths that the system reports as wide text (profile folders, the program's
// own path, a picked folder, a directory entry), turned into a name that the
// ANSI calls open. An account named "Michał" on a Western system, or a tree
// deeper than MAX_PATH, has no such name by plain conversion.
//
// The exact conversion when there is one and it fits in MAX_PATH - 1
// characters (the most an ANSI call takes), else the short 8.3 form of the
// path, converted exactly, when the volume keeps short names. FALSE, with an
// empty result, when neither exists: then no ANSI call can reach the path.
BOOL AnsiPathFromWide(LPCWSTR pszWide, CString& strPath);

// The most wide characters that a path handled here may have.
const int kMaxWidePath = 32767;

// The program file's full path, wide and unshortened, as Windows reports it.
// FALSE, with an empty result, when it does not fit cchPath characters.
BOOL ProgramWidePath(LPWSTR pszPath, DWORD cchPath);
// The program file's path in a form that the ANSI calls open, or empty.
CString ProgramAnsiPath();
