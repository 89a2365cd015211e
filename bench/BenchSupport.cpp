#include "BenchSupport.h"

#include "engine/Picture.h"

#include <malloc.h>

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <cstdlib>

double Now()
{
    static LARGE_INTEGER s_frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(s_frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

size_t HeapBytesInUse()
{
    _HEAPINFO info = {};
    size_t nUsed = 0;
    while (_heapwalk(&info) == _HEAPOK)
        if (info._useflag == _USEDENTRY)
            nUsed += info._size;
    return nUsed;
}

namespace
{
const char* const kExtensions[] = {".jpg", ".jpg", ".jpg", ".gif", ".bmp", ".JPG", ".png", ".txt"};

struct TreeMaker
{
    unsigned nState;
    int nLeft;
    int nMade = 0;

    unsigned Next()
    {
        nState = nState * 1103515245u + 12345u;
        return (nState >> 8) & 0xFFFFFF;
    }

    void Fill(const std::string& strFolder, int nDepth, int nMaxDepth)
    {
        CreateDirectoryA(strFolder.c_str(), nullptr);
        int nHere = 10 + static_cast<int>(Next() % 191);
        for (int i = 0; i < nHere && nLeft > 0; ++i, --nLeft)
        {
            char szName[64];
            snprintf(szName, sizeof(szName), "\\photo_%05d%s", nMade, kExtensions[Next() % 8]);
            HANDLE hFile = CreateFileA((strFolder + szName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(hFile);
            ++nMade;
        }
        if (nDepth < nMaxDepth)
        {
            int nSub = 2 + static_cast<int>(Next() % 4);
            for (int i = 0; i < nSub && nLeft > 0; ++i)
                Fill(strFolder + "\\album " + std::to_string(nDepth) + "-" + std::to_string(i), nDepth + 1, nMaxDepth);
        }
    }
};
} // namespace

int MakeTree(const std::string& strRoot, int nFiles, unsigned nSeed)
{
    TreeMaker maker{nSeed, nFiles};
    CreateDirectoryA(strRoot.c_str(), nullptr);
    for (int nBranch = 0; maker.nLeft > 0; ++nBranch)
        maker.Fill(strRoot + "\\branch " + std::to_string(nBranch), 1, 3 + nBranch % 3);
    return maker.nMade;
}

// The photo with an Exif segment right after its start marker that says
// "turn 90 degrees clockwise", as a phone held upright writes it.
bool WriteTurned(const std::string& strSource, const std::string& strTarget)
{
    static const unsigned char kExif[] = {
        0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,                  // APP1, 34 bytes, its name
        'I', 'I', 42, 0, 8, 0, 0, 0,                                        // TIFF header, IFD0 at 8
        1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0,          // orientation 6
    };
    HANDLE hIn = CreateFileA(strSource.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hIn == INVALID_HANDLE_VALUE)
        return false;
    std::vector<BYTE> bytes(GetFileSize(hIn, nullptr));
    DWORD dwRead = 0;
    ReadFile(hIn, bytes.data(), static_cast<DWORD>(bytes.size()), &dwRead, nullptr);
    CloseHandle(hIn);
    if (dwRead < 2)
        return false;
    bytes.insert(bytes.begin() + 2, std::begin(kExif), std::end(kExif));
    HANDLE hOut = CreateFileA(strTarget.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD dwWritten = 0;
    WriteFile(hOut, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
    CloseHandle(hOut);
    return dwWritten == bytes.size();
}

bool Convert(const std::string& strSource, const std::string& strTarget)
{
    CPicture picture;
    return picture.LoadFile(strSource.c_str()) && picture.WriteBitmapFile(strTarget.c_str());
}
