#include "engine/UprightBitmap.h"

#include "platform/HeapBuffer.h"

#include <climits>
#include <cstring>

namespace
{
const int kFirstTransposed = 5; // 5 to 8 swap width and height
const int kOrientations = 8;
const LONGLONG kBandBytes = 1 << 20;
const LONGLONG kBitmapHeadersSize = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
const WORD kBitmapSignature = 0x4D42; // "BM", little-endian

// Bytes of one 24-bit row, padded to a multiple of four.
LONGLONG RowStride(LONGLONG nWidth)
{
    return (nWidth * 3 + 3) / 4 * 4;
}

void WriteBitmapHeaders(unsigned char* pOut, LONG nWidth, LONG nHeight, DWORD nTotal)
{
    BITMAPFILEHEADER file = {};
    file.bfType = kBitmapSignature;
    file.bfSize = nTotal;
    file.bfOffBits = static_cast<DWORD>(kBitmapHeadersSize);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = nWidth;
    header.biHeight = nHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = nTotal - file.bfOffBits;
    memcpy(pOut, &file, sizeof(file));
    memcpy(pOut + sizeof(file), &header, sizeof(header));
}

// Where in(x, y) of the stored picture lands in the upright one, with y
// counted from the top: out(ox, oy), stored bottom-up, is at byte
// ox * 3 + (nOutHeight - 1 - oy) * nOutStride. Each turn makes ox and oy
// run with x or y, forwards or backwards.
struct Placement
{
    int nXFromX, nXFromY, nYFromX, nYFromY; // +1, -1 or 0
};
const Placement kPlacements[] = {
    {1, 0, 0, 1},   // 1: as stored
    {-1, 0, 0, 1},  // 2: out(x, y) = in(W-1-x, y)
    {-1, 0, 0, -1}, // 3: in(W-1-x, H-1-y)
    {1, 0, 0, -1},  // 4: in(x, H-1-y)
    {0, 1, 1, 0},   // 5: in(y, x)
    {0, -1, 1, 0},  // 6: in(y, H-1-x)
    {0, -1, -1, 0}, // 7: in(W-1-y, H-1-x)
    {0, 1, -1, 0},  // 8: in(W-1-y, x)
};

// The stored picture's pixels, placed upright into bottom-up 24-bit rows
// padded to four bytes. Rows are read a band at a time, so that besides the
// picture only the output and one band are held.
BOOL CopyTurned(HBITMAP hBitmap, const BITMAP& info, int nOrientation, unsigned char* pPixels)
{
    const LONGLONG nWidth = info.bmWidth, nHeight = info.bmHeight;
    const bool bSwapsSides = nOrientation >= kFirstTransposed;
    const LONGLONG nOutWidth = bSwapsSides ? nHeight : nWidth, nOutHeight = bSwapsSides ? nWidth : nHeight;
    const LONGLONG nInStride = RowStride(nWidth), nOutStride = RowStride(nOutWidth);
    const LONGLONG nBandRows = nInStride >= kBandBytes ? 1 : kBandBytes / nInStride;
    CHeapBuffer band(static_cast<size_t>(nInStride * (nBandRows < nHeight ? nBandRows : nHeight)));
    HDC hDC = band.Get() ? ::CreateCompatibleDC(nullptr) : nullptr;
    if (!hDC)
        return FALSE;

    const Placement& place = kPlacements[nOrientation - 1];
    // Out position of in(0, 0): a backward axis starts at its far end.
    const LONGLONG nOx0 = (place.nXFromX < 0 || place.nXFromY < 0) ? nOutWidth - 1 : 0;
    const LONGLONG nOy0 = (place.nYFromX < 0 || place.nYFromY < 0) ? nOutHeight - 1 : 0;
    const ptrdiff_t nStepX = static_cast<ptrdiff_t>(3 * place.nXFromX - place.nYFromX * nOutStride);
    const ptrdiff_t nStepY = static_cast<ptrdiff_t>(3 * place.nXFromY - place.nYFromY * nOutStride);
    unsigned char* pOrigin = pPixels + 3 * nOx0 + (nOutHeight - 1 - nOy0) * nOutStride;

    BITMAPINFO bandInfo = {};
    bandInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bandInfo.bmiHeader.biWidth = info.bmWidth;
    bandInfo.bmiHeader.biHeight = info.bmHeight; // bottom-up: scan 0 is the last row
    bandInfo.bmiHeader.biPlanes = 1;
    bandInfo.bmiHeader.biBitCount = 24;
    bandInfo.bmiHeader.biCompression = BI_RGB;
    BOOL bRead = TRUE;
    for (LONGLONG nScan = 0; bRead && nScan < nHeight; nScan += nBandRows)
    {
        LONGLONG nRows = nHeight - nScan < nBandRows ? nHeight - nScan : nBandRows;
        bRead = ::GetDIBits(hDC, hBitmap, static_cast<UINT>(nScan), static_cast<UINT>(nRows), band.Get(), &bandInfo,
                            DIB_RGB_COLORS) == nRows;
        // Band line k is row y = H-1-(nScan+k) counted from the top. The
        // inner loop runs along the output's rows, so that it writes in runs.
        const LONGLONG nOuter = bSwapsSides ? nWidth : nRows, nInner = bSwapsSides ? nRows : nWidth;
        for (LONGLONG i = 0; bRead && i < nOuter; ++i)
        {
            for (LONGLONG j = 0; j < nInner; ++j)
            {
                const LONGLONG x = bSwapsSides ? i : j, k = bSwapsSides ? j : i;
                const unsigned char* pIn = band.Get() + 3 * x + k * nInStride;
                unsigned char* pPixel = pOrigin + x * nStepX + (nHeight - 1 - nScan - k) * nStepY;
                pPixel[0] = pIn[0];
                pPixel[1] = pIn[1];
                pPixel[2] = pIn[2];
            }
        }
    }
    ::DeleteDC(hDC);
    return bRead;
}
} // namespace

BOOL MakeUprightBitmap(HBITMAP hBitmap, int nOrientation, CHeapBuffer& bitmap, UINT& nSize)
{
    nSize = 0;
    BITMAP info = {};
    // The pixel size of the bitmap itself: the picture's own size follows
    // the display's DPI.
    if (nOrientation < 1 || nOrientation > kOrientations ||
        ::GetObjectA(hBitmap, sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return FALSE;
    const bool bSwapsSides = nOrientation >= kFirstTransposed;
    const LONGLONG nOutWidth = bSwapsSides ? info.bmHeight : info.bmWidth;
    const LONGLONG nOutHeight = bSwapsSides ? info.bmWidth : info.bmHeight;
    const LONGLONG nTotal = kBitmapHeadersSize + RowStride(nOutWidth) * nOutHeight;
    if (nTotal > INT_MAX)
        return FALSE;
    CHeapBuffer output(static_cast<size_t>(nTotal));
    if (!output.Get())
        return FALSE;
    unsigned char* pOut = output.Get();
    WriteBitmapHeaders(pOut, static_cast<LONG>(nOutWidth), static_cast<LONG>(nOutHeight),
                       static_cast<DWORD>(nTotal));
    memset(pOut + kBitmapHeadersSize, 0, static_cast<size_t>(nTotal - kBitmapHeadersSize)); // row padding
    if (!CopyTurned(hBitmap, info, nOrientation, pOut + kBitmapHeadersSize))
        return FALSE;
    bitmap.Swap(output);
    nSize = static_cast<UINT>(nTotal);
    return TRUE;
}
