#include "engine/Picture.h"

#include "engine/ExifOrientation.h"

#include "platform/ComPtr.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileReplacement.h"
#include "platform/HeapBuffer.h"
#include "platform/MessageBox.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace
{
const char kMemoryError[] = "Can not allocate enough memory\t";
const char kNoInterfaceError[] = "IPicture interface is not supported\t";
// The cause and the file named in it: a path of MAX_PATH characters takes
// up to three bytes each under UTF-8.
const UINT kErrorTextSize = 3 * MAX_PATH + 256;
const int kHimetricPerInch = 2540;
const int kPixelsPerInch = 96;
const DWORD kStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;

const int kAsStored = 1;
const int kFirstTransposed = 5; // 5 to 8 swap width and height
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

CPicture::~CPicture()
{
    ReleasePicture();
}

void CPicture::ReleasePicture()
{
    if (!m_pPicture)
        return;
    m_pPicture->Release();
    m_pPicture = nullptr;
    m_nHeight = 0;
    m_nDataSize = 0;
    m_nWidth = 0;
    m_nOrientation = 0;
}

void CPicture::ShowFileError(const CFileException& error)
{
    char szError[kErrorTextSize];
    error.GetErrorMessage(szError, kErrorTextSize, nullptr);
    ShowError(szError);
}

void CPicture::ShowError(LPCSTR lpszText)
{
    AfxMessageBoxEx(lpszText, "CPicture Error", MB_ICONERROR | MB_OK, MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL));
}

BOOL CPicture::LoadFile(CString strPath)
{
    CFile file;
    CFileException error;
    if (m_pPicture)
        ReleasePicture();

    BOOL bResult = FALSE;
    unsigned int nLength = 0;
    if (file.Open(strPath, CFile::modeRead | CFile::typeBinary, &error))
    {
        ULONGLONG nFileLength = file.GetLength();
        nLength = static_cast<unsigned int>(nFileLength);
        // Byte counts are 32-bit and the picture loader takes a signed one.
        BOOL bFits = nFileLength <= static_cast<ULONGLONG>(INT_MAX);
        CHeapBuffer buffer(bFits ? nLength : 0);
        if (!bFits || !buffer.Get())
        {
            ShowError(kMemoryError);
        }
        else
        {
            UINT nRead = file.Read(buffer.Get(), nLength);
            // A short read (the file changed under us) would hand the loader
            // uninitialised bytes: treat it like a failed read.
            if (nRead > 0 && nRead == nLength)
            {
                bResult = LoadFromMemory(buffer.Get(), static_cast<int>(nLength));
                m_nOrientation = ReadExifOrientation(buffer.Get(), nLength);
            }
        }
        file.Close();
    }
    else
    {
        ShowFileError(error);
        nLength = 0;
    }

    m_nDataSize = nLength;
    if (m_pPicture)
    {
        OLE_YSIZE_HIMETRIC nHeight = 0;
        OLE_XSIZE_HIMETRIC nWidth = 0;
        m_pPicture->get_Height(&nHeight);
        m_pPicture->get_Width(&nWidth);
        m_nHeight = ::MulDiv(nHeight, kPixelsPerInch, kHimetricPerInch);
        m_nWidth = ::MulDiv(nWidth, kPixelsPerInch, kHimetricPerInch);
    }
    else
    {
        m_nHeight = m_nWidth = m_nOrientation = 0;
        bResult = FALSE;
    }
    return bResult;
}

BOOL CPicture::LoadFromMemory(const void* pData, int nSize)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(nSize > 0 ? nSize : 0));
    if (!hGlobal)
    {
        ShowError(kMemoryError);
        return FALSE;
    }
    void* pBlock = ::GlobalLock(hGlobal);
    if (!pBlock)
    {
        ::GlobalFree(hGlobal);
        ShowError(kMemoryError);
        return FALSE;
    }
    memcpy(pBlock, pData, static_cast<size_t>(nSize));
    ::GlobalUnlock(hGlobal);

    IStream* pStream = nullptr;
    if (::CreateStreamOnHGlobal(hGlobal, TRUE, &pStream) != S_OK)
    {
        ::GlobalFree(hGlobal); // no stream took it over
        return FALSE;
    }

    HRESULT hr = ::OleLoadPicture(pStream, nSize, FALSE, IID_IPicture, reinterpret_cast<void**>(&m_pPicture));
    pStream->Release();
    if (FAILED(hr))
        m_pPicture = nullptr;
    if (hr == E_NOINTERFACE)
    {
        ShowError(kNoInterfaceError);
        return FALSE;
    }
    return TRUE;
}

BOOL CPicture::WriteBitmapFile(CString strPath)
{
    if (!m_pPicture)
        return FALSE;

    // The picture would save the photo's own bytes, which leave the turn to
    // the desktop's decoder, and not every one applies it.
    if (m_nOrientation > kAsStored)
    {
        CHeapBuffer bitmap(0);
        UINT nSize = 0;
        if (MakeUprightBitmap(bitmap, nSize))
            return WriteWhole(strPath, bitmap.Get(), nSize);
    }

    // The picture saves itself into a stream of a compound file in memory.
    CComPtr<ILockBytes> lockBytes;
    CComPtr<IStorage> storage;
    CComPtr<IStream> stream;
    HRESULT hr = ::CreateILockBytesOnHGlobal(nullptr, TRUE, lockBytes.Receive());
    if (SUCCEEDED(hr))
        hr = ::StgCreateDocfileOnILockBytes(lockBytes.Get(), kStorageMode, 0, storage.Receive());
    if (SUCCEEDED(hr))
        hr = storage->CreateStream(L"PICTURE", kStorageMode, 0, 0, stream.Receive());
    LONG cb = 0;
    if (SUCCEEDED(hr))
        hr = m_pPicture->SaveAsFile(stream.Get(), TRUE, &cb);
    if (FAILED(hr) || cb < 0)
        return FALSE;

    // The saved bytes are read back from the stream itself: the compound
    // file's own sectors may follow them in the image, so its tail is not
    // the picture.
    CHeapBuffer buffer(static_cast<size_t>(cb));
    if (!buffer.Get())
    {
        lockBytes.Release();
        ShowError(kMemoryError);
        return FALSE;
    }
    ULONG nGot = 0;
    LARGE_INTEGER start = {};
    hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    if (SUCCEEDED(hr))
        hr = stream->Read(buffer.Get(), static_cast<ULONG>(cb), &nGot);
    stream.Release();
    storage.Release();
    lockBytes->Flush();
    if (FAILED(hr) || nGot != static_cast<ULONG>(cb))
        return FALSE;
    return WriteWhole(strPath, buffer.Get(), nGot);
}

BOOL CPicture::WriteWhole(const CString& strPath, const void* pData, UINT nSize)
{
    CFileException error;
    if (ReplaceFileWhole(strPath, pData, nSize, &error))
        return TRUE;
    ShowFileError(error);
    return FALSE;
}

BOOL CPicture::MakeUprightBitmap(CHeapBuffer& bitmap, UINT& nSize) const
{
    nSize = 0;
    short nType = PICTYPE_UNINITIALIZED;
    OLE_HANDLE hHandle = 0;
    BITMAP info = {};
    if (FAILED(m_pPicture->get_Type(&nType)) || nType != PICTYPE_BITMAP ||
        FAILED(m_pPicture->get_Handle(&hHandle)))
        return FALSE;
    // The pixel size of the bitmap itself: the picture's own size follows
    // the display's DPI.
    HBITMAP hBitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(hHandle));
    if (::GetObjectA(hBitmap, sizeof(info), &info) != sizeof(info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return FALSE;
    const bool bSwapsSides = m_nOrientation >= kFirstTransposed;
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
    if (!CopyTurned(hBitmap, info, m_nOrientation, pOut + kBitmapHeadersSize))
        return FALSE;
    bitmap.Swap(output);
    nSize = static_cast<UINT>(nTotal);
    return TRUE;
}
