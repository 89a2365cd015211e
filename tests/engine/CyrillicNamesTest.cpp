// A Russian user's pictures under code page 1251, which holds Cyrillic: the
// catalogue lists them by their own names, not by short ones.
#include "engine/PictureCatalog.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(CyrillicNames, AreListedByTheirOwnNames)
{
    ASSERT_EQ(1251u, GetACP()) << "run with LC_ALL=ru_RU.UTF-8 (a generated locale)";
    const char kPhoto[] = "\xF4\xEE\xF2\xEE";  // "фото"
    const char kSummer[] = "\xEB\xE5\xF2\xEE"; // "лето"
    CTempDir dir;
    MakeFolder(dir / kPhoto);
    std::string strPicture = dir / kPhoto + "\\" + kSummer + ".jpg";
    ASSERT_TRUE(WriteText(strPicture, "x"));

    CStringArray pictures;
    ScanFolder(dir.Path().c_str(), &pictures);
    ASSERT_EQ(1, pictures.GetSize());
    EXPECT_STREQ(strPicture.c_str(), pictures[0]) << "by its own name, not a short one";
}
