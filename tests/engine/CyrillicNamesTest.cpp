// A Russian user's pictures under code page 1251, which holds Cyrillic: the
// catalogue lists them by their own names, not by short ones.
#include "engine/PictureCatalog.h"

#include "support/AnsiText.h"
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
    EXPECT_STREQ(strPicture.c_str(), pictures[0]);
    WIN32_FIND_DATAW entry;
    HANDLE hFind = FindFirstFileW(Widen(static_cast<LPCSTR>(pictures[0])).c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFind) << "the listed path opens";
    FindClose(hFind);
    EXPECT_STREQ(L"\x043B\x0435\x0442\x043E.jpg", entry.cFileName) << "and names the file by its own name";
}
