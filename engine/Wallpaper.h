#pragma once

#include <windows.h>

#include <cstdlib>

// Draws a picture from g_arrPictures (after a fresh scan of the pictures
// folder when bRescan is set), converts it into g_strDataDir + "Tarnwick.bmp"
// unless its name ends in "bmp", and makes it the desktop wallpaper. Reports
// nothing itself; a picture that cannot be converted, and a bitmap that is
// gone since the scan, leave the wallpaper as it was.
void ChangeWallpaper(BOOL bRescan);

// Draws the index of one of nCount entries (at least one) from a random
// source of values in 0..32767: one value for up to 32768 entries, as the
// plain formula floor(nCount * r / 32767) with r = 32767 taking the last;
// two values above, which one value cannot cover, making a 30-bit r and
// floor(nCount * r / 2^30).
int DrawPictureIndex(int nCount, int (*pfnRandom)() = rand);
