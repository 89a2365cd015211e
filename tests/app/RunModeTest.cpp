// The built program run as a process: which mode each command line selects,
// and what start-up leaves behind.
#include "support/ChildProcess.h"
#include "support/AnsiText.h"
#include "support/DataFolderGuard.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"

#include <gtest/gtest.h>

namespace
{
std::string WallpaperSetting()
{
    return RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
}

struct TailCase
{
    const char* pszTail;
    RunMode withUsableFolder;
};

const TailCase kTails[] = {
    {"", RunMode::Silent},           {" /c", RunMode::Dialog},     {" /config", RunMode::Dialog},
    {" /install", RunMode::Dialog},  {" /C", RunMode::Silent},     {" /Config", RunMode::Silent},
    {" -c", RunMode::Silent},        {" config", RunMode::Silent}, {" /config ", RunMode::Silent},
    {"   /config", RunMode::Dialog}, {"\t/c", RunMode::Dialog},
};
} // namespace

class RunModeTest : public ::testing::Test
{
protected:
    CDataFolderGuard m_data;
    CRegistryValueGuard m_wallpaper{HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"};
    CTempDir m_pictures;
};

TEST_F(RunModeTest, UsableFolderRunsSilentUnlessTheTailIsASwitch)
{
    // One BMP: a silent run makes it the wallpaper under its own path.
    std::string strPicture = m_pictures / "only.bmp";
    WriteBytes(strPicture, MakeBmp(8, 8));
    m_data.Configure(m_pictures.Path());

    for (const TailCase& c : kTails)
    {
        SCOPED_TRACE(std::string("tail '") + c.pszTail + "'");
        SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");
        RunMode mode = RunAndObserve(VellomarExePath(), "Vellomar.exe" + std::string(c.pszTail));
        EXPECT_STREQ(RunModeName(c.withUsableFolder), RunModeName(mode));
        EXPECT_EQ(c.withUsableFolder == RunMode::Silent ? strPicture : "unchanged", WallpaperSetting());
    }
}

TEST_F(RunModeTest, MissingOrEmptyFolderAlwaysOpensTheDialog)
{
    // Whatever the tail: the log-on start (none), another word, and a switch.
    for (const std::string& strStored : {std::string(), m_pictures / "gone"})
    {
        m_data.Configure(strStored);
        for (const char* pszTail : {"", " config", " /c"})
        {
            SCOPED_TRACE(std::string("tail '") + pszTail + "', stored '" + strStored + "'");
            EXPECT_STREQ("dialog", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe" + std::string(pszTail))));
        }
    }
}

TEST_F(RunModeTest, PictureFileAsFolderPassesTheStartupTest)
{
    // Start-up asks only whether the path exists: a file selects the silent
    // mode, whose scan then finds nothing and changes nothing.
    std::string strFile = m_pictures / "file.bmp";
    WriteBytes(strFile, MakeBmp(4, 4));
    m_data.Configure(strFile);
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");
    EXPECT_STREQ("silent", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe")));
    EXPECT_EQ("unchanged", WallpaperSetting());
}

TEST_F(RunModeTest, UnquotedPathWithABlankIsALogOnStart)
{
    // The Run value holds the bare path: the text after the blank becomes
    // the tail, which is no switch.
    CTempDir programs;
    std::string strFolder = programs / "Program Files";
    MakeFolder(strFolder);
    std::string strProgram = strFolder + "\\Vellomar.exe";
    ASSERT_TRUE(CopyFileA(VellomarExePath().c_str(), strProgram.c_str(), FALSE));
    std::string strPicture = m_pictures / "only.bmp";
    WriteBytes(strPicture, MakeBmp(8, 8));

    m_data.Configure(m_pictures.Path());
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");
    EXPECT_STREQ("silent", RunModeName(RunAndObserve(strProgram, strProgram)));
    EXPECT_EQ(strPicture, WallpaperSetting());

    m_data.Configure("");
    EXPECT_STREQ("dialog", RunModeName(RunAndObserve(strProgram, strProgram)));
}

TEST(DataFolder, TooLongForItsPartialFilesIsTakenByItsShortForm)
{
    // An application-data folder that leaves "\Vellomar\" within MAX_PATH
    // but not its partial files' names: the log-on run converts a JPEG in
    // the folder's short form.
    const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    CRegistryValueGuard appDataValue(HKEY_CURRENT_USER, kShellFolders, "AppData");
    CRegistryValueGuard wallpaper(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    CTempDir root, pictures;
    const std::string strAppData = root / std::string(MAX_PATH - 14 - 5 - root.Path().size(), 'a');
    const std::wstring strData = L"\\\\?\\" + Widen(strAppData) + L"\\Vellomar";
    ASSERT_TRUE(CreateDirectoryW(Widen("\\\\?\\" + strAppData).c_str(), nullptr) &&
                CreateDirectoryW(strData.c_str(), nullptr));
    ASSERT_TRUE(WriteTextW(strData + L"\\config.cfg", "[main]\r\nPicturesPath=" + pictures.Path() + "\r\n"));
    ASSERT_TRUE(CopyFileA(TestDataPath("small.jpg").c_str(), (pictures / "a.jpg").c_str(), FALSE));
    SetRegistryString(HKEY_CURRENT_USER, kShellFolders, "AppData", strAppData);

    EXPECT_STREQ("silent", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe")));
    std::string strShown = RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    EXPECT_LT(strShown.size(), strAppData.size()) << strShown;
    EXPECT_TRUE(ReadBytes(strShown) == ReadBytes(pictures / "a.jpg")) << "the converted copy, whole";
}

TEST_F(RunModeTest, OnlyInstallCreatesTheDataFolder)
{
    ASSERT_FALSE(FileExists(DataFolder()));
    EXPECT_STREQ("dialog", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe /config")));
    EXPECT_FALSE(FileExists(DataFolder()));
    EXPECT_STREQ("dialog", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe")));
    EXPECT_FALSE(FileExists(DataFolder()));
    EXPECT_STREQ("dialog", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe /install")));
    EXPECT_TRUE(FileExists(DataFolder()));
    EXPECT_FALSE(FileExists(DataFolder() + "\\config.cfg")) << "a first installation has no settings yet";
}
