#pragma once

#include <cstddef>

// How a JPEG's pixels must be turned to stand upright, by its Exif
// orientation tag: 1 for as stored, 2 to 8 for the turns and mirrors of the
// tag's table. Anything that is not a well-formed tag of a one- or
// three-component frame reads as 1, so that a damaged or unusual file is
// shown as before. No byte outside [pData, pData + nSize) is read, nor any
// byte of the tag's segment past that segment's end.
int ReadExifOrientation(const unsigned char* pData, size_t nSize);
