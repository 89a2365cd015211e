#include "state/Globals.h"
#include "engine/Wallpaper.h"

#include "support/AnsiText.h"
#include "support/ChildProcess.h"
#include "support/DataFolderGuard.h"
#include "support/EnvironmentOverride.h"
#include "support/LogOnRun.h"
#include "support/MessageBoxCatcher.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/WallpaperSetting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

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

namespace
{
// A random source that plays back a script of values, over and over.
std::vector<int> g_script;
size_t g_nNext = 0;
int Scripted()
{
    return g_script[g_nNext++ % g_script.size()];
}
int Draw(int nCount, std::vector<int> script)
{
    g_script = std::move(script);
    g_nNext = 0;
    return DrawPictureIndex(nCount, &Scripted);
}
} // namespace

TEST(PictureIndex, TheLowestAndHighestValuesDrawTheFirstAndLastEntry)
{
    for (int nCount : {1, 2, 3, 32767, 32768, 32769, 100000, 1 << 29})
    {
        SCOPED_TRACE(testing::Message() << "count " << nCount);
        EXPECT_EQ(0, Draw(nCount, {0}));
        EXPECT_EQ(nCount - 1, Draw(nCount, {RAND_MAX}));
        for (int r : {1, 16383, 16384, RAND_MAX - 1})
        {
            int nIndex = Draw(nCount, {r});
            EXPECT_TRUE(nIndex >= 0 && nIndex < nCount) << "r " << r << " drew " << nIndex;
        }
    }
}

TEST(PictureIndex, EveryEntryCanBeDrawn)
{
    // Up to 32768 entries, every value of one draw; above, pairs of values
    // (the second stepped by 1024, which still moves within each gap).
    for (int nCount : {2, 3, 1000, 32768, 32769, 65536, 65537, 100000})
    {
        SCOPED_TRACE(testing::Message() << "count " << nCount);
        std::vector<bool> drawn(static_cast<size_t>(nCount));
        for (int r = 0; r <= RAND_MAX; ++r)
            for (int nLow = 0; nLow <= (nCount > 32768 ? RAND_MAX : 0); nLow += 1024)
                drawn[static_cast<size_t>(Draw(nCount, {r, nLow}))] = true;
        EXPECT_EQ(drawn.end(), std::find(drawn.begin(), drawn.end(), false))
            << "entry " << (std::find(drawn.begin(), drawn.end(), false) - drawn.begin()) << " is never drawn";
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

TEST_F(WallpaperTest, BmpTheDesktopCannotShowLeavesTheWallpaperAlone)
{
    // Each would leave a black desktop: gone since the scan, empty, cut to a
    // third, text, or held open by another program that shares no reading.
    std::vector<unsigned char> bmp = MakeBmp(32, 32);
    std::vector<unsigned char> cut(bmp.begin(), bmp.begin() + static_cast<long>(bmp.size() / 3));
    struct Case
    {
        const char* pszName;
        bool bWrite;
        std::vector<unsigned char> bytes;
        bool bLocked;
    } const cases[] = {
        {"deleted.bmp", false, {}, false},
        {"empty.bmp", true, {}, false},
        {"cut.bmp", true, cut, false},
        {"text.bmp", true, std::vector<unsigned char>(100, 'x'), false},
        {"locked.bmp", true, bmp, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        std::string strPicture = m_pictures / c.pszName;
        if (c.bWrite)
        {
            ASSERT_TRUE(WriteBytes(strPicture, c.bytes));
        }
        std::optional<CHeldFile> lock;
        if (c.bLocked)
        {
            ASSERT_TRUE(lock.emplace(strPicture, 0).Held());
        }
        g_arrPictures.SetSize(0);
        g_arrPictures.Add(strPicture.c_str());
        ChangeWallpaper(FALSE);
        lock.reset();
        EXPECT_EQ("C:\\before.bmp", CurrentWallpaper());
        EXPECT_TRUE(m_boxes.Boxes().empty());
    }
    // The same picture, released, is shown: the lock alone kept it off.
    ChangeWallpaper(FALSE);
    EXPECT_EQ(m_pictures / "locked.bmp", CurrentWallpaper());
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

TEST(SilentRun, ShowsThePictureOfAnyTree)
{
    // Trees whose one picture must be reached: in a subfolder; by a name the
    // Western code page cannot hold (its short name, not "????"); under a
    // folder that fits in MAX_PATH while the picture's path does not; and
    // with settings that an editor saved outside ASCII, read with no
    // temporary folder to be had.
    const std::wstring kPhoto = L"\x0444\x043E\x0442\x043E"; // "фото"
    ASSERT_FALSE(HasAnsiForm(kPhoto)) << "the test needs a code page without Cyrillic, not " << GetACP();
    struct Case
    {
        const char* pszName;
        std::wstring strFolder; // under the pictures folder
        std::wstring strFile;
        const char* pszSource;
        UINT nSettingsCodePage = 0; // 0: as the profile call writes them
    } const cases[] = {
        {"subfolder", L"2005", L"party.gif", "small.gif"},
        {"name outside the code page", kPhoto, kPhoto + L".jpg", "small.jpg"},
        {"path longer than MAX_PATH", L"", L"deep.jpg", "small.jpg"},
        {"settings in UTF-8, no TEMP", L"2006", L"a.jpg", "small.jpg", CP_UTF8},
        {"settings in the code page, no TEMP", L"2007", L"a.jpg", "small.jpg", GetACP()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        CTempDir pictures;
        std::wstring strFolder = Widen(pictures.Path()) + L"\\";
        strFolder += c.strFolder.empty() ? std::wstring(253 - strFolder.size(), L'd') : c.strFolder;
        ASSERT_TRUE(CreateDirectoryW(strFolder.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(Widen(TestDataPath(c.pszSource)).c_str(), (strFolder + L"\\" + c.strFile).c_str(), FALSE));
        if (!c.nSettingsCodePage)
        {
            ExpectLogOnRunShowsOneOf(pictures.Path(), {TestDataPath(c.pszSource)});
            continue;
        }
        CDataFolderGuard data;
        MakeFolder(DataFolder());
        std::wstring strSettings =
            L"[other]\r\nnote=caf\u00e9\r\n[main]\r\nPicturesPath=" + Widen(pictures.Path()) + L"\r\n";
        ASSERT_TRUE(WriteText(DataFolder() + "\\config.cfg", Encode(strSettings, c.nSettingsCodePage)));
        CEnvironmentOverride temp("TEMP", pictures / "missing"), tmp("TMP", pictures / "missing");
        ExpectLogOnRunShowsOneOf("", {TestDataPath(c.pszSource)});
    }
}

TEST(SilentRun, LogOnRunsDrawAtRandom)
{
    // Each run seeds rand() with the tick count; its first value moves by
    // 214013 / 65536 (3.27) a millisecond, modulo 32768, while one of 1,000
    // pictures spans under 33 values. Runs from 11 ms to 10 s apart (a
    // start under wine takes longer than 11 ms) cannot draw the same
    // picture twice in a row; for any gaps at all, taking each draw as
    // uniform, four runs show one picture with a chance of 1000^-3, one in
    // a billion.
    const int kPictures = 1000;
    const int kRuns = 4;
    CTempDir pictures;
    std::vector<unsigned char> bmp = MakeBmp(2, 2);
    for (int i = 0; i < kPictures; ++i)
        ASSERT_TRUE(WriteBytes(pictures / ("p" + std::to_string(i) + ".bmp"), bmp));
    CDataFolderGuard data;
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    data.Configure(pictures.Path());

    std::set<std::string> shown;
    for (int nRun = 0; nRun < kRuns; ++nRun)
    {
        SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");
        ASSERT_EQ(0, RunVellomar("Vellomar.exe"));
        std::string strShown = RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
        EXPECT_EQ(pictures.Path() + "\\", strShown.substr(0, pictures.Path().size() + 1)) << strShown;
        EXPECT_TRUE(FileExists(strShown)) << strShown << " is one of the pictures";
        shown.insert(strShown);
    }
    EXPECT_GT(shown.size(), 1u) << kRuns << " log-on runs all showed " << *shown.begin();
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
