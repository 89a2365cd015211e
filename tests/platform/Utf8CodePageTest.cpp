// Paths under UTF-8 as the ANSI code page: every well-formed name converts
// exactly; a broken one (an unpaired surrogate) must not turn into U+FFFD,
// which names another file. Wine cannot make a file with such a name, so
// the conversion itself is checked.
#include "platform/AnsiPath.h"
#include "platform/FileFind.h"
#include "platform/Mbcs.h"

#include "support/AnsiText.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(Utf8CodePage, NamesConvertExactlyAndABrokenOneIsRefused)
{
    ASSERT_EQ(static_cast<UINT>(CP_UTF8), GetACP()) << "the manifest's code page";
    CTempDir dir;
    std::wstring strFolder = Widen(dir.Path()) + L"\\Micha\u0142 \u738b\u4f1f";
    ASSERT_TRUE(CreateDirectoryW(strFolder.c_str(), nullptr));
    ASSERT_TRUE(WriteTextW(strFolder + L"\\zdj\u0119cie.jpg", "x"));

    CString strPath;
    ASSERT_TRUE(AnsiPathFromWide(strFolder.c_str(), strPath));
    EXPECT_EQ(dir.Path() + "\\Micha\xC5\x82 \xE7\x8E\x8B\xE4\xBC\x9F", std::string(strPath)) << "its long name, in UTF-8";
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(strPath + "\\*.jpg"));
    finder.FindNextFile();
    EXPECT_EQ(std::string(strPath) + "\\zdj\xC4\x99" "cie.jpg", std::string(finder.GetFilePath()));
    EXPECT_TRUE(FileExists(std::string(finder.GetFilePath())));

    char szOut[64] = "unchanged";
    EXPECT_FALSE(MbcsFromWide(L"bad\xD800.jpg", szOut, sizeof(szOut)));
    EXPECT_STREQ("", szOut);
}
