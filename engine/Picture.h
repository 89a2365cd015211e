#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include "platform/String.h"

class CFileException;

// A picture loaded through the system's picture object, written back out in
// the form the picture object saves itself in (for a JPEG or GIF, its
// original bytes). Failures the user must know of are shown in "CPicture
// Error" boxes; callers get TRUE or FALSE.
class CPicture
{
public:
    CPicture() = default;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;
    virtual ~CPicture();

    // Empties the object first; TRUE exactly when a picture is then held.
    BOOL LoadFile(CString strPath);
    BOOL LoadFromMemory(const void* pData, int nSize);
    // Writes the held picture's saved form whole, or for a photo that its
    // camera marked as turned, an upright bitmap: on any failure the target
    // keeps its old content.
    BOOL WriteBitmapFile(CString strPath);
    void ReleasePicture();

    IPicture* m_pPicture = nullptr;
    int m_nHeight = 0;            // pixels at 96 per inch
    unsigned int m_nDataSize = 0; // bytes of the file last opened, 0 when the open failed
    int m_nWidth = 0;             // pixels at 96 per inch
    int m_nOrientation = 0;       // the file's Exif orientation, 1 to 8; 0 while no picture is held

private:
    BOOL WriteWhole(const CString& strPath, const void* pData, UINT nSize);
    static void ShowError(LPCSTR lpszText);
    static void ShowFileError(const CFileException& error);
};
