#pragma once

#include <windows.h>

// Draws a picture from g_arrPictures (after a fresh scan of the pictures
// folder when bRescan is set), converts it into g_strDataDir + "Tarnwick.bmp"
// unless its name ends in "bmp", and makes it the desktop wallpaper. Reports
// nothing itself; a picture that cannot be converted, and a bitmap that is
// gone since the scan, leave the wallpaper as it was.
void ChangeWallpaper(BOOL bRescan);

// The entry that a random value r in 0..RAND_MAX picks from nCount entries:
// floor(nCount * r / 32767), with r = 32767 taking the last entry.
int PictureIndexFor(int nCount, int nRandom);

// The same for lists longer than 32768, which one rand() cannot cover: two
// values of 15 bits each make a uniform 30-bit r, and the entry is
// floor(nCount * r / 2^30).
int WidePictureIndexFor(int nCount, int nRandomHigh, int nRandomLow);

// Draws an index with rand(): once for up to 32768 entries, twice above.
int DrawPictureIndex(int nCount);
