#include "engine/Picture.h"

#include "support/MessageBoxCatcher.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
// The bytes a picture object saves for a file, taken from a plain memory
// stream: what the converted file must hold.
std::vector<unsigned char> SavedForm(const std::string& strPath)
{
    std::vector<unsigned char> file = ReadBytes(strPath);
    std::vector<unsigned char> saved;
    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE, file.size());
    memcpy(GlobalLock(hGlobal), file.data(), file.size());
    GlobalUnlock(hGlobal);
    IStream* pIn = nullptr;
    CreateStreamOnHGlobal(hGlobal, TRUE, &pIn);
    IPicture* pPicture = nullptr;
    if (SUCCEEDED(OleLoadPicture(pIn, static_cast<LONG>(file.size()), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&pPicture))))
    {
        IStream* pOut = nullptr;
        CreateStreamOnHGlobal(nullptr, TRUE, &pOut);
        LONG cb = 0;
        pPicture->SaveAsFile(pOut, TRUE, &cb);
        HGLOBAL hOut = nullptr;
        GetHGlobalFromStream(pOut, &hOut);
        const unsigned char* pBytes = static_cast<const unsigned char*>(GlobalLock(hOut));
        saved.assign(pBytes, pBytes + cb);
        GlobalUnlock(hOut);
        pOut->Release();
        pPicture->Release();
    }
    pIn->Release();
    return saved;
}

void ExpectEmpty(const CPicture& picture)
{
    EXPECT_EQ(nullptr, picture.m_pPicture);
    EXPECT_EQ(0, picture.m_nHeight);
    EXPECT_EQ(0, picture.m_nWidth);
}
} // namespace

TEST(Picture, UnopenableFileShowsTheFileErrorText)
{
    // A long name, which the text must hold whole.
    CTempDir dir;
    std::string strMissing = dir / (std::string(MAX_PATH - 10 - dir.Path().size(), 'g') + ".jpg");
    CMessageBoxCatcher catcher;
    CPicture picture;
    EXPECT_FALSE(picture.LoadFile(strMissing.c_str()));
    ExpectEmpty(picture);
    EXPECT_EQ(0u, picture.m_nDataSize);
    ASSERT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ("CPicture Error", catcher.Boxes()[0].strCaption);
    EXPECT_EQ("Cannot open " + strMissing + ": the file does not exist.", catcher.Boxes()[0].strText);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), catcher.Boxes()[0].nIcon);
    EXPECT_EQ(static_cast<UINT>(MB_OK), catcher.Boxes()[0].nButtons);
}

TEST(Picture, ContentFailuresAreSilent)
{
    CTempDir dir;
    WriteText(dir / "empty.jpg", "");
    WriteText(dir / "text.jpg", "This is a text file, named like a JPEG.");
    CMessageBoxCatcher catcher;
    CPicture picture;
    EXPECT_FALSE(picture.LoadFile((dir / "empty.jpg").c_str()));
    EXPECT_EQ(0u, picture.m_nDataSize);
    ExpectEmpty(picture);
    EXPECT_FALSE(picture.LoadFile((dir / "text.jpg").c_str()));
    EXPECT_EQ(39u, picture.m_nDataSize) << "the file's length";
    ExpectEmpty(picture);
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST(Picture, SizeInPixelsAt96PerInch)
{
    CPicture picture;
    ASSERT_TRUE(picture.LoadFile(TestDataPath("photo96.jpg").c_str()));
    EXPECT_EQ(96, picture.m_nWidth);
    EXPECT_EQ(96, picture.m_nHeight);
    EXPECT_EQ(ReadBytes(TestDataPath("photo96.jpg")).size(), picture.m_nDataSize);

    CTempDir dir;
    WriteBytes(dir / "wide.bmp", MakeBmp(150, 20));
    ASSERT_TRUE(picture.LoadFile((dir / "wide.bmp").c_str()));
    EXPECT_EQ(150, picture.m_nWidth);
    EXPECT_EQ(20, picture.m_nHeight);
}

TEST(Picture, SecondLoadReplacesOrEmpties)
{
    CTempDir dir;
    WriteText(dir / "bad.gif", "GIF? no.");
    CPicture picture;
    ASSERT_TRUE(picture.LoadFile(TestDataPath("small.jpg").c_str()));
    EXPECT_EQ(64, picture.m_nWidth);
    ASSERT_TRUE(picture.LoadFile(TestDataPath("small.gif").c_str()));
    EXPECT_EQ(40, picture.m_nWidth);
    EXPECT_EQ(30, picture.m_nHeight);
    EXPECT_FALSE(picture.LoadFile((dir / "bad.gif").c_str()));
    ExpectEmpty(picture);
    picture.ReleasePicture(); // on an empty object: nothing at all
    ExpectEmpty(picture);
}

TEST(Picture, WritesExactlyTheSavedForm)
{
    CTempDir dir;
    WriteBytes(dir / "photo.bmp", MakeBmp(200, 150)); // about 90 KB
    for (const std::string& strSource :
         {TestDataPath("small.jpg"), TestDataPath("small.gif"), TestDataPath("large.jpg"), dir / "photo.bmp"})
    {
        SCOPED_TRACE(strSource);
        CPicture picture;
        ASSERT_TRUE(picture.LoadFile(strSource.c_str()));
        std::string strTarget = dir / "Tarnwick.bmp";
        ASSERT_TRUE(picture.WriteBitmapFile(strTarget.c_str()));
        std::vector<unsigned char> written = ReadBytes(strTarget);
        EXPECT_TRUE(written == SavedForm(strSource)) << "written " << written.size() << " bytes";
        if (strSource.find(".jpg") != std::string::npos || strSource.find(".gif") != std::string::npos)
        {
            EXPECT_TRUE(written == ReadBytes(strSource)) << "a JPEG or GIF saves its original bytes";
        }
    }
    EXPECT_GT(ReadBytes(TestDataPath("large.jpg")).size(), 2000000u) << "the large case must be large";
}

TEST(Picture, EmptyObjectWritesNothing)
{
    CTempDir dir;
    WriteText(dir / "Tarnwick.bmp", "previous");
    CMessageBoxCatcher catcher;
    CPicture picture;
    EXPECT_FALSE(picture.WriteBitmapFile((dir / "Tarnwick.bmp").c_str()));
    EXPECT_FALSE(picture.WriteBitmapFile((dir / "new.bmp").c_str()));
    EXPECT_EQ(ReadBytes(dir / "Tarnwick.bmp"), std::vector<unsigned char>({'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_FALSE(FileExists(dir / "new.bmp"));
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST(Picture, UnwritableTargetShowsTheFileErrorText)
{
    CTempDir dir;
    MakeFolder(dir / "folder.bmp");
    CPicture picture;
    ASSERT_TRUE(picture.LoadFile(TestDataPath("small.jpg").c_str()));

    CMessageBoxCatcher catcher;
    std::string strNoFolder = dir / "missing\\Tarnwick.bmp";
    EXPECT_FALSE(picture.WriteBitmapFile(strNoFolder.c_str()));
    EXPECT_FALSE(picture.WriteBitmapFile((dir / "folder.bmp").c_str())) << "a target that cannot be opened for writing";
    ASSERT_EQ(2u, catcher.Boxes().size());
    EXPECT_EQ("CPicture Error", catcher.Boxes()[0].strCaption);
    EXPECT_EQ("Cannot open " + strNoFolder + ": the folder does not exist or the name is not valid.",
              catcher.Boxes()[0].strText);
    EXPECT_EQ("Cannot access " + dir / "folder.bmp" + ": access is denied.", catcher.Boxes()[1].strText);
    EXPECT_NE(nullptr, picture.m_pPicture) << "a failed write keeps the picture";

    EXPECT_TRUE(ListFolder(dir.Path() + "\\*.tmp").empty()) << "no partial file is left beside the targets";
}

TEST(Picture, ReplacesTheTargetWholeAndLeavesNoPartialFile)
{
    CTempDir dir;
    std::string strTarget = dir / "Tarnwick.bmp";
    WriteText(strTarget, "the previous wallpaper");
    // A partial file a killed run left an hour ago goes; one a run beside
    // us is writing right now stays, so does one dated in the future (a
    // clock put back), and so do the user's own files that only look alike
    // ("vlmnotes.tmpx" matches "vlm*.tmp" by its short name).
    const long long kHour = 3600LL * 10000000;
    struct Aged
    {
        const char* pszName;
        long long nAge; // in 100 ns units
    } const files[] = {
        {"vlm1A2B.tmp", kHour}, {"vlmnotes.tmpx", kHour}, {"vlm1A.tmpx", kHour},
        {"vlm12345.tmp", kHour}, {"vlm5E6F.tmp", -kHour}, {"vlm3C4D.tmp", 0},
    };
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    for (const Aged& file : files)
    {
        WriteText(dir / file.pszName, "partial");
        ULARGE_INTEGER time = {{now.dwLowDateTime, now.dwHighDateTime}};
        time.QuadPart -= static_cast<ULONGLONG>(file.nAge);
        FILETIME written = {time.LowPart, time.HighPart};
        HANDLE hFile = CreateFileA((dir / file.pszName).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(SetFileTime(hFile, nullptr, nullptr, &written));
        CloseHandle(hFile);
    }

    CPicture picture;
    ASSERT_TRUE(picture.LoadFile(TestDataPath("small.gif").c_str()));
    ASSERT_TRUE(picture.WriteBitmapFile(strTarget.c_str()));
    EXPECT_EQ(ReadBytes(TestDataPath("small.gif")), ReadBytes(strTarget));
    std::vector<std::string> names = ListFolder(dir.Path() + "\\*");
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Tarnwick.bmp", "vlm12345.tmp", "vlm1A.tmpx", "vlm3C4D.tmp", "vlm5E6F.tmp",
                                         "vlmnotes.tmpx"}),
              names)
        << "the target, the live and future partial files and the look-alikes";
}
