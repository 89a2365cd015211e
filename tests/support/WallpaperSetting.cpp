#include "WallpaperSetting.h"

#include <windows.h>

std::string CurrentWallpaper()
{
    char szPath[MAX_PATH * 2] = "";
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(szPath), szPath, 0);
    return szPath;
}

void SetWallpaper(const std::string& strPath)
{
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(strPath.c_str()), SPIF_UPDATEINIFILE);
}
