#pragma once

#include <windows.h>

#include "platform/String.h"

class CFileException;

// Writes a file whole: the bytes go to a partial file beside the target,
// which then takes the target's place, so the target (perhaps the current
// wallpaper) holds either all of them or its old content. The partial files
// that killed runs left behind in that folder are removed on the way.
//
// FALSE on failure, with the cause in *pError naming the target, and no
// partial file left.
BOOL ReplaceFileWhole(const CString& strPath, const void* pData, UINT nSize, CFileException* pError);

// Removes the partial files in the folder (which ends in a backslash) that
// are older than any live write: "vlm" with up to four hex digits and ".tmp",
// by their long names.
void RemoveStalePartialFiles(const CString& strFolder);
