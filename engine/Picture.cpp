#include "engine/Picture.h"

#include "engine/ExifOrientation.h"
#include "engine/UprightBitmap.h"

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
    short nType = PICTYPE_UNINITIALIZED;
    OLE_HANDLE hHandle = 0;
    if (m_nOrientation > kAsStored && SUCCEEDED(m_pPicture->get_Type(&nType)) && nType == PICTYPE_BITMAP &&
        SUCCEEDED(m_pPicture->get_Handle(&hHandle)))
    {
        CHeapBuffer bitmap(0);
        UINT nSize = 0;
        if (MakeUprightBitmap(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(hHandle)), m_nOrientation, bitmap, nSize))
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
