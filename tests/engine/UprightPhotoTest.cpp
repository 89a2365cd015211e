// Photos that their camera marked as turned (the Exif orientation tag) are
// written upright as bitmaps; every other picture keeps the bytes it had.
#include "engine/ExifOrientation.h"
#include "engine/Picture.h"

#include "support/ChildProcess.h"
#include "support/DataFolderGuard.h"
#include "support/MessageBoxCatcher.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
using Bytes = std::vector<unsigned char>;

// The test picture, 65 x 33, is stored as four quadrants: red and green
// above, blue and white below, each side odd so that rows need padding
// whichever way the picture is turned.
const int kStoredWidth = 65;

Bytes Segment(unsigned char nMarker, const Bytes& body)
{
    size_t nLength = body.size() + 2;
    Bytes segment(4 + body.size());
    segment[0] = 0xFF;
    segment[1] = nMarker;
    segment[2] = static_cast<unsigned char>(nLength >> 8);
    segment[3] = static_cast<unsigned char>(nLength);
    std::copy(body.begin(), body.end(), segment.begin() + 4);
    return segment;
}

void Put(Bytes& bytes, size_t nOffset, unsigned nValue, int nSize, bool bBigEndian)
{
    if (bytes.size() < nOffset + nSize)
        bytes.resize(nOffset + nSize);
    for (int i = 0; i < nSize; ++i)
        bytes[nOffset + (bBigEndian ? nSize - 1 - i : i)] = static_cast<unsigned char>(nValue >> (8 * i));
}

// An IFD at nOffset of one entry, and the offset of the next IFD.
void PutIfd(Bytes& tiff, size_t nOffset, bool bBigEndian, unsigned nTag, unsigned nType, unsigned nCount,
            unsigned nValue, unsigned nNextIfd = 0)
{
    Put(tiff, nOffset, 1, 2, bBigEndian);
    Put(tiff, nOffset + 2, nTag, 2, bBigEndian);
    Put(tiff, nOffset + 4, nType, 2, bBigEndian);
    Put(tiff, nOffset + 6, nCount, 4, bBigEndian);
    Put(tiff, nOffset + 10, nValue, 2, bBigEndian);
    Put(tiff, nOffset + 14, nNextIfd, 4, bBigEndian);
}

Bytes TiffHeader(bool bBigEndian, unsigned nFirstIfd = 8)
{
    Bytes tiff = {static_cast<unsigned char>(bBigEndian ? 'M' : 'I'), static_cast<unsigned char>(bBigEndian ? 'M' : 'I')};
    Put(tiff, 2, 42, 2, bBigEndian);
    Put(tiff, 4, nFirstIfd, 4, bBigEndian);
    return tiff;
}

Bytes Exif(const Bytes& tiff, const char* pszName = "Exif")
{
    Bytes body(pszName, pszName + strlen(pszName));
    body.insert(body.end(), {0, 0});
    body.insert(body.end(), tiff.begin(), tiff.end());
    return Segment(0xE1, body);
}

// The usual tag: orientation, a SHORT, one value, in IFD0.
Bytes OrientationTiff(unsigned nValue, bool bBigEndian)
{
    Bytes tiff = TiffHeader(bBigEndian);
    PutIfd(tiff, 8, bBigEndian, 0x0112, 3, 1, nValue);
    return tiff;
}

// The photo with segments put in after its start (or after its first
// segment, ImageMagick's JFIF header).
Bytes Photo(const std::vector<Bytes>& segments, bool bAfterJfif = false)
{
    Bytes stored = ReadBytes(TestDataPath("quadrants.jpg"));
    size_t nAt = 2;
    if (bAfterJfif)
    {
        EXPECT_EQ(0xE0, stored[3]) << "the picture starts with its JFIF header";
        nAt += 2 + ((stored[4] << 8) | stored[5]);
    }
    Bytes photo(stored.begin(), stored.begin() + nAt);
    for (const Bytes& segment : segments)
        photo.insert(photo.end(), segment.begin(), segment.end());
    photo.insert(photo.end(), stored.begin() + nAt, stored.end());
    return photo;
}

// What a bitmap file shows, read back by the system's own loader: its size
// and the colour of each quadrant, "65x33 RGBW" for the picture as stored
// (top left, top right, bottom left, bottom right).
std::string Quadrants(const std::string& strPath)
{
    HBITMAP hBitmap =
        static_cast<HBITMAP>(LoadImageA(nullptr, strPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    BITMAP info = {};
    if (!hBitmap || !GetObjectA(hBitmap, sizeof(info), &info))
        return "no bitmap";
    std::string strSeen = std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight) + " ";
    HDC hDC = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hDC, hBitmap);
    for (int nQuadrant = 0; nQuadrant < 4; ++nQuadrant)
    {
        COLORREF colour = GetPixel(hDC, info.bmWidth * (1 + 2 * (nQuadrant % 2)) / 4,
                                   info.bmHeight * (1 + 2 * (nQuadrant / 2)) / 4);
        // Pure colours, far from the middle even after JPEG.
        strSeen += "?BG?R??W"[(GetRValue(colour) > 128) * 4 + (GetGValue(colour) > 128) * 2 + (GetBValue(colour) > 128)];
    }
    SelectObject(hDC, hOld);
    DeleteDC(hDC);
    DeleteObject(hBitmap);
    return strSeen;
}

// The upright picture of each tag value, as the Exif table defines it.
const char* const kUpright[] = {nullptr,      "65x33 RGBW", "65x33 GRWB", "65x33 WBGR", "65x33 BWRG",
                                "33x65 RBGW", "33x65 BRWG", "33x65 WGBR", "33x65 GWRB"};
} // namespace

TEST(UprightPhoto, TurnedPhotosAreWrittenUprightAndOthersAsTheyAre)
{
    Bytes xmp = Segment(0xE1, Bytes({'h', 't', 't', 'p', ':', '/', '/', 'n', 's', '.', 'a', 'd', 'o', 'b', 'e', '.',
                                     'c', 'o', 'm', '/', 'x', 'a', 'p', '/', '1', '.', '0', '/', 0, '<', 'x', '/', '>'}));
    struct Row
    {
        std::string strName;
        Bytes photo;
        int nUpright; // the orientation it is shown in, 1 for the stored bytes
    };
    std::vector<Row> rows;
    for (bool bBigEndian : {false, true})
        for (unsigned nValue = 1; nValue <= 8; ++nValue)
            rows.push_back({std::string(bBigEndian ? "MM " : "II ") + std::to_string(nValue),
                            Photo({Exif(OrientationTiff(nValue, bBigEndian))}), static_cast<int>(nValue)});
    rows.push_back({"after JFIF and XMP", Photo({xmp, Exif(OrientationTiff(6, true))}, true), 6});

    // A malformed tag leaves the photo as stored (every kind: the reader's table).
    rows.push_back({"value 9", Photo({Exif(OrientationTiff(9, true))}), 1});

    CTempDir dir;
    CMessageBoxCatcher catcher;
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.strName);
        std::string strPhoto = dir / "photo.jpg", strTarget = dir / "Tarnwick.bmp";
        ASSERT_TRUE(WriteBytes(strPhoto, row.photo));
        CPicture picture;
        ASSERT_TRUE(picture.LoadFile(strPhoto.c_str()));
        EXPECT_EQ(kStoredWidth, picture.m_nWidth) << "the size as stored";
        ASSERT_TRUE(picture.WriteBitmapFile(strTarget.c_str()));
        if (row.nUpright == 1)
            EXPECT_TRUE(ReadBytes(strTarget) == row.photo) << "the photo's own bytes";
        else
            EXPECT_EQ(kUpright[row.nUpright], Quadrants(strTarget));
    }
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST(UprightPhoto, LogOnRunAt144DpiSetsTheTurnedPhotoUpright)
{
    // The picture's own size follows the display's resolution; the turn
    // must follow its pixels.
    CTempDir dir;
    WriteBytes(dir / "portrait.jpg", Photo({Exif(OrientationTiff(6, false))}));
    CDataFolderGuard data;
    data.Configure(dir.Path());
    CRegistryValueGuard wallpaper(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    CRegistryValueGuard dpi(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    DWORD dwDpi = 144;
    ASSERT_TRUE(SetRegistryValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dwDpi, sizeof(dwDpi)));

    EXPECT_STREQ("silent", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe")));
    EXPECT_EQ(DataFolder() + "\\Tarnwick.bmp", RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"));
    EXPECT_EQ(kUpright[6], Quadrants(DataFolder() + "\\Tarnwick.bmp"));
}

namespace
{
// MinGW's GoogleTest catches no access violation: the program ends at once.
LONG WINAPI EndOnFault(EXCEPTION_POINTERS*)
{
    fprintf(stderr, "Failure: the orientation reader read past the data\n");
    return TerminateProcess(GetCurrentProcess(), 3); // never returns
}

// What the reader makes of a JPEG's head (its start, a frame of nComponents,
// the segments, and the start of its scan unless the data ends in the last
// segment) ending where a readable page of 4 KB does, the next unreadable.
int OrientationAtPageEnd(const std::vector<Bytes>& segments, unsigned char nComponents, bool bScan)
{
    Bytes jpeg = Segment(0xC0, Bytes(6 + 3 * nComponents, nComponents)); // precision and sizes do not matter
    jpeg.insert(jpeg.begin(), {0xFF, 0xD8});
    for (const Bytes& segment : segments)
        jpeg.insert(jpeg.end(), segment.begin(), segment.end());
    if (bScan)
        jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0, 2});
    const size_t kPage = 4096;
    auto pPages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD dwOld = 0;
    if (!pPages || !VirtualProtect(pPages + kPage, kPage, PAGE_NOACCESS, &dwOld))
        return -1;
    SetUnhandledExceptionFilter(&EndOnFault);
    int nOrientation = ReadExifOrientation(std::copy_backward(jpeg.begin(), jpeg.end(), pPages + kPage), jpeg.size());
    VirtualFree(pPages, 0, MEM_RELEASE);
    return nOrientation;
}
} // namespace

TEST(UprightPhoto, OrientationReaderKeepsToTheTagAndTheData)
{
    const Bytes tag6 = Exif(OrientationTiff(6, false));
    Bytes cut = OrientationTiff(6, false);
    cut.resize(8 + 2 + 9);                    // the segment ends inside the entry's value
    Bytes ifdPast = TiffHeader(false, 8 + 4); // IFD0 just past the segment, in the comment after it
    Bytes ifdBehind;
    PutIfd(ifdBehind, 0, false, 0x0112, 3, 1, 6);
    Bytes thumbnailOnly = TiffHeader(true);
    PutIfd(thumbnailOnly, 8, true, 0x0100, 3, 1, 65, 26); // IFD0 without the tag, IFD1 with it
    PutIfd(thumbnailOnly, 26, true, 0x0112, 3, 1, 6);
    Bytes asLong = TiffHeader(false), twoValues = asLong, noTag = asLong;
    PutIfd(asLong, 8, false, 0x0112, 4, 1, 6);
    PutIfd(twoValues, 8, false, 0x0112, 3, 2, 6);
    PutIfd(noTag, 8, false, 0x0100, 3, 1, 65);
    Bytes notFirst = OrientationTiff(6, false);
    notFirst.insert(notFirst.begin() + 10, noTag.begin() + 10, noTag.begin() + 22); // the width's entry first
    Bytes ifdPastData(noTag.begin(), noTag.begin() + 22);
    notFirst[8] = ifdPastData[8] = 2; // two entries; the data ends after the first
    Bytes otherOrder = OrientationTiff(6, false), otherMagic = OrientationTiff(6, true);
    otherOrder[1] = 'M';
    otherMagic[3] = 43;
    const struct
    {
        const char* pszName;
        int nExpected;
        std::vector<Bytes> segments;
        unsigned char nComponents = 3;
        bool bScan = true; // false: the data ends in the last segment
    } rows[] = {
        {"fill bytes before a marker", 6, {{0xFF, 0xFF}, tag6}},
        {"restart and TEM markers", 6, {{0xFF, 0xD0, 0xFF, 0x01}, tag6}},
        {"the tag not first", 6, {Exif(notFirst)}},
        {"a grey frame", 6, {tag6}, 1},
        {"a CMYK frame", 1, {tag6}, 4},
        {"value 0", 1, {Exif(OrientationTiff(0, false))}},
        {"segment cut short", 1, {Exif(cut)}, 3, false},
        {"IFD past the segment", 1, {Exif(ifdPast), Segment(0xFE, ifdBehind)}},
        {"tag in the thumbnail's IFD only", 1, {Exif(thumbnailOnly)}},
        {"tag of type LONG", 1, {Exif(asLong)}},
        {"a SHORT tag with two values", 1, {Exif(twoValues)}},
        {"byte order IM", 1, {Exif(otherOrder)}},
        {"TIFF magic 43", 1, {Exif(otherMagic)}},
        {"name misspelt", 1, {Exif(OrientationTiff(6, false), "Exit")}},
        {"a later Exif segment", 1, {Exif(noTag), tag6}},
        {"a segment past the data", 1, {Bytes(tag6.begin(), tag6.end() - 8)}, 3, false},
        {"an IFD past the data", 1, {Exif(ifdPastData)}, 3, false},
        {"a length cut by the data", 1, {{0xFF, 0xE1, 0}}, 3, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.nExpected, OrientationAtPageEnd(row.segments, row.nComponents, row.bScan)) << row.pszName;
}
