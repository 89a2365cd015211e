#pragma once

#include <windows.h>

class CHeapBuffer;

// A bitmap's pixels turned upright by a photo's Exif orientation (2 to 8),
// as a whole 24-bit bitmap file in memory. FALSE when it cannot be made
// (memory, a size past 2 GB, a handle that is no bitmap); bitmap and nSize
// are then left empty.
BOOL MakeUprightBitmap(HBITMAP hBitmap, int nOrientation, CHeapBuffer& bitmap, UINT& nSize);
