#include "engine/Wallpaper.h"

#include "state/Globals.h"
#include "engine/Picture.h"
#include "engine/PictureCatalog.h"
#include "platform/File.h"

#include <mbstring.h>

#include <cstdlib>

namespace
{
const char kConvertedFileName[] = "Tarnwick.bmp";
const int kRandMax = 32767;
const int kRandBits = 15;
const int kSingleDrawLimit = kRandMax + 1; // one rand() reaches this many entries

const WORD kBitmapSignature = 0x4D42; // "BM", little-endian
const UINT kBitmapHeadersSize = 54;    // the file header and the smallest info header

// Whether the desktop can show the file: it opens for reading, starts with a
// bitmap file header and is as long as that header says. Anything else
// (empty, cut short, text, held without read sharing) would leave a black
// desktop behind.
BOOL IsShowableBitmap(LPCSTR lpszPath)
{
    CFile file;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary))
        return FALSE;
    ULONGLONG nLength = file.GetLength();
    BITMAPFILEHEADER header = {};
    if (nLength < kBitmapHeadersSize || file.Read(&header, sizeof(header)) != sizeof(header) ||
        header.bfType != kBitmapSignature)
        return FALSE;
    return header.bfSize != 0 ? nLength >= header.bfSize : nLength > header.bfOffBits;
}

BOOL EndsInBmp(const CString& strPath)
{
    // Byte for byte: ".BMP" is converted like any other picture.
    return _mbscmp(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(strPath.Right(3))),
                   reinterpret_cast<const unsigned char*>("bmp")) == 0;
}
} // namespace

int DrawPictureIndex(int nCount, int (*pfnRandom)())
{
    if (nCount <= kSingleDrawLimit)
    {
        long long nIndex = static_cast<long long>(nCount) * (pfnRandom() & kRandMax) / kRandMax;
        return nIndex >= nCount ? nCount - 1 : static_cast<int>(nIndex);
    }
    long long nHigh = pfnRandom() & kRandMax;
    long long nRandom = (nHigh << kRandBits) | (pfnRandom() & kRandMax);
    return static_cast<int>((static_cast<long long>(nCount) * nRandom) >> (2 * kRandBits));
}

void ChangeWallpaper(BOOL bRescan)
{
    if (bRescan)
    {
        g_arrPictures.SetSize(0);
        ScanFolder(g_strPicturesPath);
    }
    int nCount = g_arrPictures.GetSize();
    if (nCount == 0)
        return;

    CString strPath = g_arrPictures[DrawPictureIndex(nCount)];
    if (EndsInBmp(strPath))
    {
        // Deleted or damaged since the scan: the desktop keeps what it shows.
        if (!IsShowableBitmap(strPath))
            return;
    }
    else
    {
        // Without a data folder there is nowhere to put the copy (the
        // current folder, at log-on the system's, is no place for it).
        if (g_strDataDir.IsEmpty())
            return;
        CPicture picture;
        BOOL bLoaded = picture.LoadFile(strPath);
        strPath = g_strDataDir + kConvertedFileName;
        // A failed conversion must not point the desktop at a stale or
        // missing file: the wallpaper stays as it is.
        if (!bLoaded || !picture.WriteBitmapFile(strPath))
            return;
    }
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<LPSTR>(static_cast<LPCSTR>(strPath)),
                            SPIF_UPDATEINIFILE);
}
