#include "engine/Wallpaper.h"

#include "app/Globals.h"
#include "engine/Picture.h"
#include "engine/PictureCatalog.h"

#include <mbstring.h>

#include <cstdlib>

namespace
{
const char kConvertedFileName[] = "Tarnwick.bmp";
const int kRandMax = 32767;

BOOL EndsInBmp(const CString& strPath)
{
    // Byte for byte: ".BMP" is converted like any other picture.
    return _mbscmp(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(strPath.Right(3))),
                   reinterpret_cast<const unsigned char*>("bmp")) == 0;
}
} // namespace

int PictureIndexFor(int nCount, int nRandom)
{
    long long nIndex = static_cast<long long>(nCount) * nRandom / kRandMax;
    return nIndex >= nCount ? nCount - 1 : static_cast<int>(nIndex);
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

    CString strPath = g_arrPictures[PictureIndexFor(nCount, rand())];
    if (!EndsInBmp(strPath))
    {
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
