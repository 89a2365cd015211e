// Run under code page 932, where the trail byte of some characters is 0x5C,
// the backslash: "表" is 0x95 0x5C, so "代表" ends in a byte that a byte-wise
// scan takes for a separator.
#include "platform/FileFind.h"
#include "platform/String.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace
{
const char kDaihyo[] = "\x91\xE3\x95\x5C";  // "代表"
const char kShashin[] = "\x8E\xCA\x90\x5E"; // "写真": no 0x5C byte

class DoubleByteText : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(932u, GetACP()) << "run with LC_ALL=ja_JP.UTF-8 (a generated locale)"; }
};
} // namespace

TEST_F(DoubleByteText, SearchesNeverStopOnATrailByte)
{
    const std::string strDaihyo = std::string("C:\\pics\\") + kDaihyo;
    struct Case
    {
        std::string strText;
        int nReverseSlash;
        int nFirstSlashFrom8;
        int nSlashX;
    } const cases[] = {
        {strDaihyo, 7, -1, -1},
        {strDaihyo + "\\x", 12, 12, 12},
        {std::string(kDaihyo) + "x", -1, -1, -1},
        {std::string("C:\\pics\\") + kShashin, 7, -1, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.strText);
        CString str = c.strText.c_str();
        EXPECT_EQ(c.nReverseSlash, str.ReverseFind('\\'));
        EXPECT_EQ(c.nFirstSlashFrom8, str.Find('\\', 8));
        EXPECT_EQ(c.nSlashX, str.Find("\\x"));
    }
}

TEST_F(DoubleByteText, DirectorySearchJoinsFolderAndNameAtTheSeparator)
{
    CTempDir dir;
    std::string strFolder = dir / kDaihyo;
    MakeFolder(strFolder);
    WriteText(strFolder + "\\a.jpg", "x");

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((strFolder + "\\*.jpg").c_str()));
    finder.FindNextFile();
    EXPECT_STREQ((strFolder + "\\a.jpg").c_str(), finder.GetFilePath());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(finder.GetFilePath()));
}
