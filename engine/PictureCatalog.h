#pragma once

#include <windows.h>

#include "platform/Array.h"
#include "platform/String.h"

// Appends the full path of every "*.jpg", "*.gif" and "*.bmp" file of the
// tree under lpszPath to g_arrPictures, depth-first: a folder's own JPEG,
// then GIF, then BMP matches in directory order, then each subfolder's tree.
// An entry whose name the ANSI code page cannot hold is listed by its short
// name, or left out (with its subtree) when it has none. Does not empty the
// list. An empty or missing path is reported to the user and adds nothing.
void ScanFolder(LPCSTR lpszPath);

// The same into any list: the program's own is g_arrPictures.
void ScanFolder(LPCSTR lpszPath, CStringArray* pPictures);
