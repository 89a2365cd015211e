#include "LogOnRun.h"

#include "ChildProcess.h"
#include "DataFolderGuard.h"
#include "RegistryValues.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

void ExpectLogOnRunShowsOneOf(const std::string& strPicturesFolder, const std::vector<std::string>& pictures,
                              const std::string& strProgram)
{
    std::optional<CDataFolderGuard> data;
    if (!strPicturesFolder.empty())
        data.emplace().Configure(strPicturesFolder);
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper");
    SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper", "unchanged");

    EXPECT_STREQ("silent", RunModeName(RunAndObserve(strProgram, "Vellomar.exe"))) << "no box, no hang";
    std::string strConverted = DataFolder() + "\\Tarnwick.bmp";
    EXPECT_EQ(strConverted, RegistryText(HKEY_CURRENT_USER, kDesktopKey, "Wallpaper"));
    std::vector<unsigned char> shown = ReadBytes(strConverted);
    EXPECT_TRUE(std::any_of(pictures.begin(), pictures.end(),
                            [&](const std::string& strPicture) { return ReadBytes(strPicture) == shown; }))
        << "the wallpaper is one of the pictures, whole";
}
