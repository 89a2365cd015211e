#include "platform/String.h"

#include <gtest/gtest.h>

TEST(String, ConcatenatesAndCompares)
{
    CString strA = "C:\\Pictures";
    CString strB = strA + "\\" + CString("a.jpg");
    EXPECT_STREQ("C:\\Pictures\\a.jpg", strB);
    EXPECT_EQ(17, strB.GetLength());
    strB += 'x';
    strB += strB; // appending itself must not read freed storage
    EXPECT_STREQ("C:\\Pictures\\a.jpgxC:\\Pictures\\a.jpgx", strB);
    EXPECT_TRUE(CString("abc") == "abc");
    EXPECT_TRUE(CString("abc") != "abd");
    EXPECT_GT(0, CString("abc").Compare("abd"));
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_STREQ("", CString());
}

TEST(String, CutsClampedToTheString)
{
    CString str = "photo.BMP";
    EXPECT_STREQ("BMP", str.Right(3));
    EXPECT_STREQ("photo.BMP", str.Right(20));
    EXPECT_STREQ("", str.Right(-1));
    EXPECT_STREQ("ph", str.Left(2));
    EXPECT_STREQ("photo.BMP", str.Left(99));
    EXPECT_STREQ("", str.Left(-5));
    EXPECT_STREQ(".BMP", str.Mid(5));
    EXPECT_STREQ("ot", str.Mid(2, 2));
    EXPECT_STREQ("", str.Mid(40));
    EXPECT_STREQ("ab", CString("ab").Right(3)) << "shorter than three characters";

    CString strSelf = "abcdef";
    strSelf = strSelf.Mid(2); // source inside our own buffer
    EXPECT_STREQ("cdef", strSelf);
}

TEST(String, DeletesFindsAndResizes)
{
    CString str = "C:\\Tools\\prog.exe";
    EXPECT_EQ(8, str.ReverseFind('\\'));
    EXPECT_EQ(-1, str.ReverseFind('/'));
    EXPECT_EQ(3, str.Find("Tools"));
    EXPECT_EQ(-1, str.Find("tools"));
    EXPECT_EQ(9, str.Delete(0, 8));
    EXPECT_STREQ("\\prog.exe", str);
    EXPECT_EQ(9, str.Delete(50, 2)) << "past the end deletes nothing";
    EXPECT_EQ(5, str.Delete(5, 100));
    EXPECT_STREQ("\\prog", str);
    str.Empty();
    EXPECT_EQ(0, str.GetLength());
}

TEST(String, FormatsWithPrintfRules)
{
    CString str;
    EXPECT_TRUE(str.Format("Files : %i", 1234));
    EXPECT_STREQ("Files : 1234", str);
    str.Format("Scan time : %.2f sec.", 750 * 0.001);
    EXPECT_STREQ("Scan time : 0.75 sec.", str);
    str.Format("Unknown Error (%d) occurred.", -7);
    EXPECT_STREQ("Unknown Error (-7) occurred.", str);
    CString strLong(std::string(5000, 'x').c_str());
    str.Format("[%s]", static_cast<LPCSTR>(strLong));
    EXPECT_EQ(5002, str.GetLength());
}

TEST(String, BufferRoundTrip)
{
    CString str = "keep";
    LPSTR pBuffer = str.GetBuffer(260);
    EXPECT_STREQ("keep", pBuffer) << "GetBuffer keeps the content";
    lstrcpyA(pBuffer, "C:\\Data\\Roaming");
    str.ReleaseBuffer();
    EXPECT_STREQ("C:\\Data\\Roaming", str);
    EXPECT_EQ(15, str.GetLength());
    pBuffer = str.GetBuffer(10);
    str.ReleaseBuffer(2);
    EXPECT_STREQ("C:", str);
}

TEST(String, LoadsStringResources)
{
    CString str;
    EXPECT_TRUE(str.LoadString(101));
    EXPECT_STREQ("&About Vellomar...", str);
    EXPECT_FALSE(str.LoadString(4711));
    EXPECT_TRUE(str.IsEmpty());
}

TEST(String, MovesAndCopiesAreIndependent)
{
    CString strA = "one";
    CString strB = strA;
    strB += "two";
    EXPECT_STREQ("one", strA);
    CString strC = std::move(strB);
    EXPECT_STREQ("onetwo", strC);
    EXPECT_TRUE(strB.IsEmpty());
}
