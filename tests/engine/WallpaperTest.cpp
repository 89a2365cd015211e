#include "state/Globals.h"
#include "engine/Wallpaper.h"

#include "support/AnsiText.h"
#include "support/ChildProcess.h"
#include "support/DataFolderGuard.h"
#include "support/MessageBoxCatcher.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/WallpaperSetting.h"

#include <gtest/gtest.h>

namespace
{
class WallpaperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_strDataDir = (m_data.Path() + "\\").c_str();
        g_arrPictures.SetSize(0);
        SetWallpaper("C:\\before.bmp");
    }
    void TearDown() override
    {
        g_arrPictures.SetSize(0);
        g_strPicturesPath.Empty();
        SetWallpaper(m_strSaved);
    }
    std::string Converted() const { return m_data / "Tarnwick.bmp"; }

    std::string m_strSaved = CurrentWallpaper();
    CRegistryValueGuard m_guard{HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"};
    CMessageBoxCatcher m_boxes; // a box the test does not expect fails it instead of hanging
    CTempDir m_data;
    CTempDir m_pictures;
};
} // namespace

TEST(PictureIndex, CoversTheWholeListWithoutOverflow)
{
    struct Case
    {
        int nCount;
        int nRandom;
        int nIndex;
    } const cases[] = {
        {1, 0, 0},      {1, 32767, 0},          {1, 16000, 0},          {3, 0, 0},
        {3, 10922, 0},  {3, 10923, 1},          {3, 32766, 2},          {3, 32767, 2},
        {100000, 0, 0}, {100000, 32766, 99996}, {100000, 32767, 99999}, {32768, 32767, 32767},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "count " << c.nCount << ", r " << c.nRandom);
        EXPECT_EQ(c.nIndex, PictureIndexFor(c.nCount, c.nRandom));
    }
    for (int r = 0; r <= 32767; ++r)
        ASSERT_LT(PictureIndexFor(100000, r), 100000) << "r " << r;
}

TEST(PictureIndex, LongListsDrawFromTwoValuesAndReachEveryEntry)
{
    // Up to 32768 entries one rand() and the exact formula; above, two.
    const unsigned kSeed = 4242;
    for (int nCount : {1, 32767, 32768})
    {
        srand(kSeed);
        int nDrawn = DrawPictureIndex(nCount);
        srand(kSeed);
        EXPECT_EQ(PictureIndexFor(nCount, rand()), nDrawn) << "count " << nCount;
    }
    for (int nCount : {32769, 100000, 1 << 29})
    {
        srand(kSeed);
        int nDrawn = DrawPictureIndex(nCount);
        srand(kSeed);
        int nHigh = rand();
        EXPECT_EQ(WidePictureIndexFor(nCount, nHigh, rand()), nDrawn) << "count " << nCount;
        EXPECT_EQ(0, WidePictureIndexFor(nCount, 0, 0));
        EXPECT_EQ(nCount - 1, WidePictureIndexFor(nCount, 32767, 32767));
    }
    // For every entry of a 100,000 list, the smallest 30-bit value that
    // should pick it does.
    const long long kRange = 1LL << 30;
    const int kCount = 100000;
    for (int i = 0; i < kCount; ++i)
    {
        long long r = (i * kRange + kCount - 1) / kCount;
        ASSERT_EQ(i, WidePictureIndexFor(kCount, static_cast<int>(r >> 15), static_cast<int>(r & 32767)))
            << "entry " << i;
    }
}

TEST_F(WallpaperTest, EmptyListChangesNothing)
{
    ChangeWallpaper(FALSE);
    EXPECT_EQ("C:\\before.bmp", CurrentWallpaper());
    EXPECT_FALSE(FileExists(Converted()));
}

TEST_F(WallpaperTest, BmpIsSetUnderItsOwnPath)
{
    std::string strPicture = m_pictures / "sea.bmp";
    WriteBytes(strPicture, MakeBmp(16, 16));
    g_arrPictures.Add(strPicture.c_str());
    ChangeWallpaper(FALSE);
    EXPECT_EQ(strPicture, CurrentWallpaper());
    EXPECT_FALSE(FileExists(Converted()));
}

TEST_F(WallpaperTest, BmpGoneSinceTheScanLeavesTheWallpaperAlone)
{
    g_arrPictures.Add((m_pictures / "deleted.bmp").c_str());
    ChangeWallpaper(FALSE);
    EXPECT_EQ("C:\\before.bmp", CurrentWallpaper());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(WallpaperTest, OtherNamesAreConvertedIntoTheDataFolder)
{
    std::string strUpper = m_pictures / "SEA.BMP";
    WriteBytes(strUpper, MakeBmp(16, 16, RGB(200, 10, 10)));
    g_arrPictures.Add(strUpper.c_str());
    ChangeWallpaper(FALSE);
    EXPECT_EQ(Converted(), CurrentWallpaper()) << "letter case counts: .BMP is converted";
    EXPECT_TRUE(FileExists(Converted()));

    std::string strJpeg = m_pictures / "hill.jpg";
    CopyFileA(TestDataPath("small.jpg").c_str(), strJpeg.c_str(), FALSE);
    g_arrPictures.SetSize(0);
    g_arrPictures.Add(strJpeg.c_str());
    SetWallpaper("C:\\before.bmp");
    ChangeWallpaper(FALSE);
    EXPECT_EQ(Converted(), CurrentWallpaper());
    EXPECT_EQ(ReadBytes(strJpeg), ReadBytes(Converted()));
}

TEST_F(WallpaperTest, FailedConversionLeavesTheWallpaperAlone)
{
    // A picture deleted since the scan: its message shows, and neither the
    // converted file nor the desktop may point at something stale or missing.
    g_arrPictures.Add((m_pictures / "deleted.jpg").c_str());
    ChangeWallpaper(FALSE);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ("CPicture Error", m_boxes.Boxes()[0].strCaption);
    EXPECT_EQ("C:\\before.bmp", CurrentWallpaper());
    EXPECT_FALSE(FileExists(Converted()));

    WriteText(Converted(), "previous conversion");
    WriteText(m_pictures / "text.gif", "not a picture");
    g_arrPictures.SetSize(0);
    g_arrPictures.Add((m_pictures / "text.gif").c_str());
    ChangeWallpaper(FALSE);
    EXPECT_EQ("C:\\before.bmp", CurrentWallpaper());
    EXPECT_EQ(ReadBytes(Converted()).size(), 19u) << "the converted file keeps its content";
    EXPECT_EQ(1u, m_boxes.Boxes().size()) << "content that is no picture shows nothing";
}

TEST_F(WallpaperTest, LargeJpegIsConvertedIntact)
{
    g_arrPictures.Add(TestDataPath("large.jpg").c_str());
    ChangeWallpaper(FALSE);
    EXPECT_EQ(Converted(), CurrentWallpaper());
    EXPECT_TRUE(ReadBytes(Converted()) == ReadBytes(TestDataPath("large.jpg")));
}

TEST_F(WallpaperTest, RescanReplacesTheList)
{
    std::string strPicture = m_pictures / "only.bmp";
    WriteBytes(strPicture, MakeBmp(8, 8));
    g_arrPictures.Add("C:\\stale.bmp");
    g_arrPictures.Add("C:\\stale2.bmp");
    g_strPicturesPath = m_pictures.Path().c_str();
    ChangeWallpaper(TRUE);
    ASSERT_EQ(1, g_arrPictures.GetSize());
    EXPECT_EQ(strPicture, CurrentWallpaper());
}

TEST(SilentRun, ChangesTheWallpaperAndShowsNoWindow)
{
    CDataFolderGuard data;
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    CTempDir pictures;
    MakeFolder(pictures / "2005");
    CopyFileA(TestDataPath("small.gif").c_str(), (pictures / "2005\\party.gif").c_str(), FALSE);
    data.Configure(pictures.Path());
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");

    CChildProcess child;
    ASSERT_TRUE(child.Start(VellomarExePath(), "Vellomar.exe"));
    EXPECT_EQ(0, child.Wait(15000));
    std::string strConverted = DataFolder() + "\\Tarnwick.bmp";
    EXPECT_EQ(strConverted, RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"));
    EXPECT_EQ(ReadBytes(TestDataPath("small.gif")), ReadBytes(strConverted));
}

TEST(SilentRun, NameOutsideTheCodePageIsReachedByItsShortName)
{
    // Under a Western code page a Cyrillic name has no ANSI form; the
    // catalogue lists it by its short name instead of a "????" path.
    std::wstring strName = L"\x0444\x043E\x0442\x043E";
    ASSERT_FALSE(HasAnsiForm(strName)) << "the test needs a code page without Cyrillic, not " << GetACP();
    CDataFolderGuard data;
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    CTempDir pictures;
    std::wstring strFolder = Widen(pictures.Path()) + L"\\" + strName;
    ASSERT_TRUE(CreateDirectoryW(strFolder.c_str(), nullptr));
    ASSERT_TRUE(
        CopyFileW(Widen(TestDataPath("small.jpg")).c_str(), (strFolder + L"\\" + strName + L".jpg").c_str(), FALSE));
    data.Configure(pictures.Path());
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");

    EXPECT_STREQ("silent", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe"))) << "no box, no hang";
    std::string strConverted = DataFolder() + "\\Tarnwick.bmp";
    EXPECT_EQ(strConverted, RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"));
    EXPECT_EQ(ReadBytes(TestDataPath("small.jpg")), ReadBytes(strConverted));
}

TEST(SilentRun, TreeWithoutPicturesChangesNothing)
{
    CDataFolderGuard data;
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    CTempDir pictures;
    WriteText(pictures / "readme.txt", "no pictures here");
    data.Configure(pictures.Path());
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");

    EXPECT_EQ(0, RunVellomar("Vellomar.exe"));
    EXPECT_EQ("unchanged", RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"));
    EXPECT_FALSE(FileExists(DataFolder() + "\\Tarnwick.bmp"));
}
