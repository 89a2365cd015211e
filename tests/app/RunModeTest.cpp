// The built program run as a process: which mode each command line selects,
// and what start-up leaves behind.
#include "support/DataFolderGuard.h"
#include "support/ProcessRunner.h"
#include "support/RegistryValueGuard.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"

#include <gtest/gtest.h>

namespace
{
enum class Mode
{
    Silent,
    Dialog,
    Hung
};

const char* ModeName(Mode mode)
{
    return mode == Mode::Silent ? "silent" : mode == Mode::Dialog ? "dialog" : "hung";
}

// Runs the program with an exact command line. A settings window that shows
// up is closed with its OK button: that run was the dialog mode.
Mode RunAndObserve(const std::string& strProgram, const std::string& strCommandLine)
{
    CChildProcess child;
    if (!child.Start(strProgram, strCommandLine))
        return Mode::Hung;
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < 15000)
    {
        if (child.Wait(20) != -1)
            return Mode::Silent;
        HWND hDialog = child.FindWindow("#32770");
        if (hDialog && WindowText(hDialog) == "Vellomar")
        {
            ClickButton(hDialog, IDOK);
            return child.Wait(10000) == -1 ? Mode::Hung : Mode::Dialog;
        }
    }
    return Mode::Hung;
}

std::string WallpaperSetting()
{
    std::vector<BYTE> data;
    if (!ReadRegistryValue(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", nullptr, &data) || data.empty())
        return "";
    return reinterpret_cast<const char*>(data.data());
}

struct TailCase
{
    const char* pszTail;
    Mode withUsableFolder;
};

const TailCase kTails[] = {
    {"", Mode::Silent},         {" /c", Mode::Dialog},      {" /config", Mode::Dialog},
    {" /install", Mode::Dialog}, {" /C", Mode::Silent},      {" /Config", Mode::Silent},
    {" -c", Mode::Silent},       {" config", Mode::Silent},  {" /config ", Mode::Silent},
    {"   /config", Mode::Dialog}, {"\t/c", Mode::Dialog},
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
        Mode mode = RunAndObserve(VellomarExePath(), "Vellomar.exe" + std::string(c.pszTail));
        EXPECT_STREQ(ModeName(c.withUsableFolder), ModeName(mode));
        EXPECT_EQ(c.withUsableFolder == Mode::Silent ? strPicture : "unchanged", WallpaperSetting());
    }
}

TEST_F(RunModeTest, MissingOrEmptyFolderAlwaysOpensTheDialog)
{
    for (const std::string& strStored : {std::string(), m_pictures / "gone"})
    {
        m_data.Configure(strStored);
        for (const TailCase& c : kTails)
        {
            SCOPED_TRACE(std::string("tail '") + c.pszTail + "', stored '" + strStored + "'");
            EXPECT_STREQ("dialog", ModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe" + std::string(c.pszTail))));
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
    EXPECT_STREQ("silent", ModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe")));
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
    EXPECT_STREQ("silent", ModeName(RunAndObserve(strProgram, strProgram)));
    EXPECT_EQ(strPicture, WallpaperSetting());

    m_data.Configure("");
    EXPECT_STREQ("dialog", ModeName(RunAndObserve(strProgram, strProgram)));
}

TEST_F(RunModeTest, OnlyInstallCreatesTheDataFolder)
{
    ASSERT_FALSE(FileExists(DataFolder()));
    EXPECT_STREQ("dialog", ModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe /config")));
    EXPECT_FALSE(FileExists(DataFolder()));
    EXPECT_STREQ("dialog", ModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe")));
    EXPECT_FALSE(FileExists(DataFolder()));
    EXPECT_STREQ("dialog", ModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe /install")));
    EXPECT_TRUE(FileExists(DataFolder()));
    EXPECT_FALSE(FileExists(DataFolder() + "\\config.cfg")) << "a first installation has no settings yet";
}
