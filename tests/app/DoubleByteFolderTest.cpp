// A Japanese user's pictures under code page 932, end to end: the log-on run
// and the dialog's refresh over a folder whose name ends in a 0x5C trail byte.
#include "state/Globals.h"
#include "res/resource.h"
#include "ui/SettingsDlg.h"

#include "support/ChildProcess.h"
#include "support/DataFolderGuard.h"
#include "support/MessageBoxCatcher.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"
#include "support/WallpaperSetting.h"
#include "support/WindowLookup.h"

#include <gtest/gtest.h>

namespace
{
const char kDaihyo[] = "\x91\xE3\x95\x5C"; // "代表"

class DoubleByteFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8 (a generated locale)";
        MakeFolder(m_pictures / kDaihyo);
        CopyFileA(TestDataPath("small.jpg").c_str(), (m_pictures / kDaihyo + "\\a.jpg").c_str(), FALSE);
        CopyFileA(TestDataPath("small.gif").c_str(), (m_pictures / kDaihyo + "\\b.gif").c_str(), FALSE);
    }

    CTempDir m_pictures;
};
} // namespace

TEST_F(DoubleByteFolder, LogOnRunSetsThePicture)
{
    CDataFolderGuard data;
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    DeleteFileA((m_pictures / kDaihyo + "\\b.gif").c_str());
    data.Configure(m_pictures.Path());
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");

    EXPECT_STREQ("silent", RunModeName(RunAndObserve(VellomarExePath(), "Vellomar.exe"))) << "no box, no hang";
    std::string strConverted = DataFolder() + "\\Tarnwick.bmp";
    EXPECT_EQ(strConverted, CurrentWallpaper());
    EXPECT_EQ(ReadBytes(TestDataPath("small.jpg")), ReadBytes(strConverted));
}

TEST_F(DoubleByteFolder, RefreshCountsItsPictures)
{
    CTempDir data;
    g_strDataDir = (data.Path() + "\\").c_str();
    g_strPicturesPath = m_pictures.Path().c_str();
    CSettingsDlg dlg(nullptr);
    CMessageBoxCatcher catcher;
    CUiScript script;
    script.Then([&] { return dlg.m_hWnd && IsWindowVisible(dlg.m_hWnd); })
        .Then([&] {
            PostMessageA(GetDlgItem(dlg.m_hWnd, IDC_REFRESH_LIST), BM_CLICK, 0, 0);
            return true;
        })
        .Then([&] { return WindowText(GetDlgItem(dlg.m_hWnd, IDC_FILE_COUNT)) == "Files : 2"; })
        .Then([&] {
            ClickButton(dlg.m_hWnd, IDOK);
            return true;
        });
    script.Start();
    dlg.DoModal();
    EXPECT_TRUE(script.Finished()) << "stopped at step " << script.StepsDone();
    EXPECT_TRUE(catcher.Boxes().empty());
    for (int i = 0; i < g_arrPictures.GetSize(); ++i)
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(g_arrPictures[i])) << g_arrPictures[i];
    g_arrPictures.SetSize(0);
    g_strPicturesPath.Empty();
}
