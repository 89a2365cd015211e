#include "engine/Picture.h"

#include "platform/ComPtr.h"
#include "platform/File.h"
#include "platform/FileFind.h"
#include "platform/HeapBuffer.h"
#include "platform/MessageBox.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace
{
const char kMemoryError[] = "Can not allocate enough memory\t";
const char kNoInterfaceError[] = "IPicture interface is not supported\t";
const UINT kErrorTextSize = 255;
const int kHimetricPerInch = 2540;
const int kPixelsPerInch = 96;
const DWORD kStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
const char kTemporaryPrefix[] = "vlm";
const char kTemporaryPattern[] = "vlm*.tmp";
// A write takes well under a second; a partial file older than this was
// left by a run that was killed, and no live run still needs it.
const ULONGLONG kStaleTemporaryAge = 10ULL * 60 * 10000000; // 10 minutes in 100 ns units

ULONGLONG AsNumber(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes the partial files that killed runs left in the folder (which ends
// in a backslash).
void RemoveStaleTemporaries(const CString& strFolder)
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    CFileFind finder;
    if (!finder.FindFile(strFolder + kTemporaryPattern))
        return;
    BOOL bMore;
    do
    {
        bMore = finder.FindNextFile();
        WIN32_FILE_ATTRIBUTE_DATA data;
        CString strPath = finder.GetFilePath();
        if (finder.HasAnsiName() && ::GetFileAttributesExA(strPath, GetFileExInfoStandard, &data) &&
            AsNumber(data.ftLastWriteTime) + kStaleTemporaryAge < AsNumber(now))
            ::DeleteFileA(strPath); // one still open elsewhere stays
    } while (bMore);
}

// The folder of a path with its backslash ("C:\\" for "C:\\x.bmp").
CString FolderOf(const CString& strPath)
{
    int nSlash = strPath.ReverseFind('\\');
    return nSlash >= 0 ? strPath.Left(nSlash + 1) : CString(".\\");
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
                bResult = LoadFromMemory(buffer.Get(), static_cast<int>(nLength));
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
        m_nHeight = m_nWidth = 0;
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
    return ReplaceFile(strPath, buffer.Get(), nGot);
}

BOOL CPicture::ReplaceFile(const CString& strPath, const void* pData, UINT nSize)
{
    // The target may be the current wallpaper: write beside it and replace
    // it only once every byte is down, so a failed write (a full disk)
    // leaves its previous content, never a cut-off picture.
    CString strFolder = FolderOf(strPath);
    RemoveStaleTemporaries(strFolder);
    CFile file;
    CFileException error;
    char szPartial[MAX_PATH] = "";
    BOOL bResult = FALSE;
    if (!::GetTempFileNameA(strFolder, kTemporaryPrefix, 0, szPartial))
        error.SetFromOsError(static_cast<LONG>(::GetLastError()), strPath);
    else if (file.Open(szPartial, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, &error))
    {
        bResult = file.Write(pData, nSize, &error);
        file.Close();
        if (bResult && !::MoveFileExA(szPartial, strPath, MOVEFILE_REPLACE_EXISTING))
        {
            error.SetFromOsError(static_cast<LONG>(::GetLastError()), strPath);
            bResult = FALSE;
        }
    }
    if (!bResult)
    {
        if (szPartial[0])
            ::DeleteFileA(szPartial);
        error.m_strFileName = strPath; // the user knows the target, not our partial file
        ShowFileError(error);
    }
    return bResult;
}
