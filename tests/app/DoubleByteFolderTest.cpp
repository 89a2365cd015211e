// A Japanese user's pictures under code page 932: the catalogue and the
// log-on run over a folder whose name ends in a 0x5C trail byte.
#include "engine/PictureCatalog.h"

#include "support/LogOnRun.h"
#include "support/TestFiles.h"

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

TEST_F(DoubleByteFolder, LogOnRunShowsOneOfItsPictures)
{
    ExpectLogOnRunShowsOneOf(m_pictures.Path(), {TestDataPath("small.jpg"), TestDataPath("small.gif")});
}

TEST_F(DoubleByteFolder, CatalogueListsBothPicturesByPathsThatOpen)
{
    CStringArray list;
    ScanFolder(m_pictures.Path().c_str(), &list);
    ASSERT_EQ(2, list.GetSize());
    for (int i = 0; i < list.GetSize(); ++i)
        EXPECT_TRUE(FileExists(static_cast<LPCSTR>(list[i]))) << list[i];
}
