#include "engine/ExifOrientation.h"

#include <cstring>

namespace
{
const int kAsStored = 1;
const int kLastOrientation = 8;

const unsigned char kMarker = 0xFF;
const unsigned char kStartOfImage = 0xD8;
const unsigned char kStartOfScan = 0xDA;
const unsigned char kEndOfImage = 0xD9;
const unsigned char kApp1 = 0xE1;
// Markers that stand alone, without a length: TEM and the restart markers.
const unsigned char kTem = 0x01;
const unsigned char kFirstRestart = 0xD0;
const unsigned char kLastRestart = 0xD7;
// SOF0 to SOF15 are frame headers, but for DHT, JPG and DAC among them.
const unsigned char kFirstFrame = 0xC0;
const unsigned char kLastFrame = 0xCF;
const unsigned char kHuffmanTables = 0xC4;
const unsigned char kJpgExtension = 0xC8;
const unsigned char kArithmeticConditioning = 0xCC;
const size_t kFrameComponentsOffset = 5; // precision, height and width come first

const char kExifName[] = "Exif\0"; // with the array's own terminator: "Exif\0\0"
const size_t kExifNameSize = sizeof(kExifName);
const unsigned kTiffMagic = 42;
const size_t kTiffHeaderSize = 8;
const size_t kIfdEntrySize = 12;
const unsigned kOrientationTag = 0x0112;
const unsigned kTypeShort = 3;

// Bytes of one segment, read in the TIFF header's byte order. Every read is
// checked against the segment: a read past it fails.
class CTiffReader
{
public:
    CTiffReader(const unsigned char* pData, size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    bool ReadHeader(size_t& nFirstIfd)
    {
        if (m_nSize < kTiffHeaderSize)
            return false;
        if (memcmp(m_pData, "II", 2) == 0)
            m_bBigEndian = false;
        else if (memcmp(m_pData, "MM", 2) == 0)
            m_bBigEndian = true;
        else
            return false;
        unsigned nMagic = 0, nOffset = 0;
        if (!Read16(2, nMagic) || nMagic != kTiffMagic || !Read32(4, nOffset))
            return false;
        nFirstIfd = nOffset;
        return true;
    }

    bool Read16(size_t nOffset, unsigned& nValue) const
    {
        if (nOffset > m_nSize || m_nSize - nOffset < 2)
            return false;
        const unsigned char* p = m_pData + nOffset;
        nValue = m_bBigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
        return true;
    }

    bool Read32(size_t nOffset, unsigned& nValue) const
    {
        unsigned nFirst = 0, nSecond = 0;
        if (!Read16(nOffset, nFirst) || !Read16(nOffset + 2, nSecond))
            return false;
        nValue = m_bBigEndian ? (nFirst << 16) | nSecond : (nSecond << 16) | nFirst;
        return true;
    }

private:
    const unsigned char* m_pData;
    size_t m_nSize;
    bool m_bBigEndian = false;
};

// The orientation in an Exif segment's TIFF data: IFD0 only, never IFD1
// (the thumbnail's).
int OrientationInTiff(const unsigned char* pTiff, size_t nSize)
{
    CTiffReader reader(pTiff, nSize);
    size_t nIfd = 0;
    unsigned nEntries = 0;
    if (!reader.ReadHeader(nIfd) || !reader.Read16(nIfd, nEntries))
        return kAsStored;
    for (unsigned i = 0; i < nEntries; ++i)
    {
        size_t nEntry = nIfd + 2 + i * kIfdEntrySize;
        unsigned nTag = 0, nType = 0, nCount = 0, nValue = 0;
        if (!reader.Read16(nEntry, nTag) || !reader.Read16(nEntry + 2, nType) || !reader.Read32(nEntry + 4, nCount) ||
            !reader.Read16(nEntry + 8, nValue))
            return kAsStored;
        if (nTag != kOrientationTag)
            continue;
        bool bValid = nType == kTypeShort && nCount == 1 && nValue >= 1 && nValue <= kLastOrientation;
        return bValid ? static_cast<int>(nValue) : kAsStored;
    }
    return kAsStored;
}

bool IsFrameHeader(unsigned char nMarker)
{
    return nMarker >= kFirstFrame && nMarker <= kLastFrame && nMarker != kHuffmanTables &&
           nMarker != kJpgExtension && nMarker != kArithmeticConditioning;
}
} // namespace

int ReadExifOrientation(const unsigned char* pData, size_t nSize)
{
    if (nSize < 2 || pData[0] != kMarker || pData[1] != kStartOfImage)
        return kAsStored;
    int nOrientation = kAsStored;
    bool bExifSeen = false;
    int nComponents = 0;
    for (size_t nPos = 2; nPos + 1 < nSize;)
    {
        if (pData[nPos] != kMarker)
            return kAsStored; // not a marker where one must be
        unsigned char nMarker = pData[nPos + 1];
        if (nMarker == kMarker)
        {
            ++nPos; // fill byte
            continue;
        }
        nPos += 2;
        if (nMarker == kTem || (nMarker >= kFirstRestart && nMarker <= kLastRestart))
            continue;
        if (nMarker == kStartOfScan || nMarker == kEndOfImage)
            break;
        if (nSize - nPos < 2)
            return kAsStored;
        size_t nLength = (pData[nPos] << 8) | pData[nPos + 1]; // counts its own two bytes
        if (nLength < 2 || nLength > nSize - nPos)
            return kAsStored;
        const unsigned char* pBody = pData + nPos + 2;
        size_t nBody = nLength - 2;
        if (nMarker == kApp1 && !bExifSeen && nBody >= kExifNameSize &&
            memcmp(pBody, kExifName, kExifNameSize) == 0)
        {
            bExifSeen = true;
            nOrientation = OrientationInTiff(pBody + kExifNameSize, nBody - kExifNameSize);
        }
        else if (IsFrameHeader(nMarker) && nComponents == 0 && nBody > kFrameComponentsOffset)
        {
            nComponents = pBody[kFrameComponentsOffset];
        }
        nPos += nLength;
    }
    // Only grey and colour frames are turned: others (CMYK) are left to the
    // loader, as before.
    return nComponents == 1 || nComponents == 3 ? nOrientation : kAsStored;
}
