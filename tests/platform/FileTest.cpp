#include "platform/File.h"
#include "platform/FileFind.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(File, ReadsWritesAndReportsCauses)
{
    CTempDir dir;
    std::string strPath = dir / "data.bin";
    {
        CFile file;
        CFileException error;
        ASSERT_TRUE(file.Open(strPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, &error));
        EXPECT_TRUE(file.Write("hello", 5, &error));
    }
    CFile file;
    ASSERT_TRUE(file.Open(strPath.c_str(), CFile::modeRead | CFile::typeBinary));
    EXPECT_EQ(5u, file.GetLength());
    char buffer[8] = {};
    EXPECT_EQ(5u, file.Read(buffer, sizeof(buffer)));
    EXPECT_STREQ("hello", buffer);
    EXPECT_EQ(0u, file.Read(buffer, sizeof(buffer))) << "at the end";
    file.Close();

    CFileException missing;
    EXPECT_FALSE(file.Open((dir / "missing.jpg").c_str(), CFile::modeRead, &missing));
    EXPECT_EQ(CFileException::fileNotFound, missing.m_cause);
    char szText[255];
    ASSERT_TRUE(missing.GetErrorMessage(szText, sizeof(szText)));
    EXPECT_EQ("Cannot open " + (dir / "missing.jpg") + ": the file does not exist.", std::string(szText));

    CFileException badPath;
    EXPECT_FALSE(file.Open((dir / "no\\such\\out.bmp").c_str(), CFile::modeCreate | CFile::modeWrite, &badPath));
    EXPECT_EQ(CFileException::badPath, badPath.m_cause);

    MakeFolder(dir / "folder.bmp");
    CFileException denied;
    EXPECT_FALSE(file.Open((dir / "folder.bmp").c_str(), CFile::modeCreate | CFile::modeWrite, &denied));
    EXPECT_EQ(CFileException::accessDenied, denied.m_cause);

    CFile holder;
    ASSERT_TRUE(holder.Open(strPath.c_str(), CFile::modeRead | CFile::shareExclusive));
    CFileException shared;
    EXPECT_FALSE(file.Open(strPath.c_str(), CFile::modeRead, &shared));
    EXPECT_EQ(CFileException::sharingViolation, shared.m_cause);
    holder.Close();

    char szShort[12];
    missing.GetErrorMessage(szShort, sizeof(szShort));
    EXPECT_EQ(11u, strlen(szShort)) << "cut to the buffer, terminator included";
}

TEST(FileFind, NextFileReportsTheLastEntryToo)
{
    CTempDir dir;
    WriteText(dir / "one.txt", "1");
    WriteText(dir / "two.txt", "2");
    MakeFolder(dir / "sub");

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((dir.Path() + "\\*.txt").c_str()));
    std::vector<std::string> names;
    BOOL bMore;
    do
    {
        bMore = finder.FindNextFile();
        names.push_back(static_cast<LPCSTR>(finder.GetFilePath()));
        EXPECT_FALSE(finder.IsDots());
        EXPECT_FALSE(finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY));
    } while (bMore);
    finder.Close();
    ASSERT_EQ(2u, names.size());
    EXPECT_TRUE((names[0] == dir / "one.txt" && names[1] == dir / "two.txt") ||
                (names[1] == dir / "one.txt" && names[0] == dir / "two.txt"));

    ASSERT_TRUE(finder.FindFile((dir.Path() + "\\*.*").c_str()));
    int nDots = 0;
    int nFolders = 0;
    do
    {
        bMore = finder.FindNextFile();
        nDots += finder.IsDots();
        nFolders += finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) && !finder.IsDots();
    } while (bMore);
    EXPECT_EQ(2, nDots);
    EXPECT_EQ(1, nFolders);

    EXPECT_FALSE(finder.FindFile((dir.Path() + "\\*.none").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
}
