#include "engine/PictureCatalog.h"
#include "platform/FileFind.h"

#include "support/AnsiText.h"
#include "support/ImportPatch.h"
#include "support/MessageBoxCatcher.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace
{
std::vector<std::string> Paths(const CStringArray& list)
{
    std::vector<std::string> paths;
    for (int i = 0; i < list.GetSize(); ++i)
        paths.push_back(static_cast<LPCSTR>(list[i]));
    return paths;
}

std::string FolderOf(const std::string& strPath)
{
    return strPath.substr(0, strPath.rfind('\\'));
}

bool IsUnder(const std::string& strPath, const std::string& strFolder)
{
    return strPath.compare(0, strFolder.size() + 1, strFolder + "\\") == 0;
}

int TypeRank(const std::string& strPath)
{
    std::string strType = strPath.substr(strPath.size() - 3);
    CharLowerA(&strType[0]);
    return strType == "jpg" ? 0 : strType == "gif" ? 1 : strType == "bmp" ? 2 : 3; // 3: no picture
}

class PictureCatalogTest : public ::testing::Test
{
protected:
    void Scan(const std::string& strPath) { ScanFolder(strPath.c_str(), &m_list); }
    std::vector<std::string> Catalogue() const { return Paths(m_list); }

    CTempDir m_dir;
    CStringArray m_list;
};
} // namespace

TEST_F(PictureCatalogTest, ListsFolderPicturesByTypeThenSubfolders)
{
    for (const char* pszName : {"a.jpg", "b.bmp", "c.gif"})
        WriteText(m_dir / pszName, "x");
    MakeFolder(m_dir / "sub");
    WriteText(m_dir / "sub\\d.jpg", "x");

    Scan(m_dir.Path());
    std::vector<std::string> expected = {m_dir / "a.jpg", m_dir / "c.gif", m_dir / "b.bmp", m_dir / "sub\\d.jpg"};
    EXPECT_EQ(expected, Catalogue());
}

TEST_F(PictureCatalogTest, DeepTreeFollowsTheSearchOrderDepthFirst)
{
    const char* const kFiles[] = {"z.bmp",
                                  "m.jpg",
                                  "k.gif",
                                  "a.jpg",
                                  "notes.txt",
                                  "x.png",
                                  "y.tif",
                                  "p1\\one.gif",
                                  "p1\\two.jpg",
                                  "p1\\deep\\three.bmp",
                                  "p1\\deep\\four.jpg",
                                  "p2\\five.bmp",
                                  "p2\\six.JPG",
                                  "p0\\seven.gif"};
    for (const char* pszFolder : {"p1", "p1\\deep", "p2", "p0", "empty"})
        MakeFolder(m_dir / pszFolder);
    for (const char* pszFile : kFiles)
        WriteText(m_dir / pszFile, "x");

    Scan(m_dir.Path());
    std::vector<std::string> list = Catalogue();
    std::vector<std::string> pictures;
    for (const char* pszFile : kFiles)
        if (TypeRank(pszFile) < 3)
            pictures.push_back(m_dir / pszFile);
    EXPECT_TRUE(std::is_permutation(list.begin(), list.end(), pictures.begin(), pictures.end()))
        << "every picture once, nothing else";

    for (size_t i = 0; i < list.size(); ++i)
        for (size_t j = i + 1; j < list.size(); ++j)
        {
            SCOPED_TRACE(list[i] + " before " + list[j]);
            if (FolderOf(list[i]) == FolderOf(list[j]))
            {
                EXPECT_LE(TypeRank(list[i]), TypeRank(list[j])) << "JPEG, then GIF, then BMP in each folder";
            }
            EXPECT_FALSE(IsUnder(FolderOf(list[i]), FolderOf(list[j]))) << "a folder's files before its subfolders";
        }
    for (const char* pszFolder : {"p0", "p1", "p1\\deep", "p2"})
    {
        // Depth first: each subtree is one unbroken run of the list.
        auto under = [&](const std::string& strPath) { return IsUnder(strPath, m_dir / pszFolder); };
        auto first = std::find_if(list.begin(), list.end(), under);
        auto last = std::find_if(list.rbegin(), list.rend(), under).base();
        EXPECT_TRUE(std::all_of(first, last, under)) << pszFolder << " is scanned whole, then left";
    }
}

TEST_F(PictureCatalogTest, MatchesByNameOnly)
{
    WriteText(m_dir / "PHOTO.JPG", "not really a picture");
    WriteText(m_dir / "shot.png", "x");
    WriteText(m_dir / "scan.tif", "x");
    WriteText(m_dir / "hidden.gif", "x");
    SetFileAttributesA((m_dir / "hidden.gif").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(m_dir / "holiday.jpg");
    WriteText(m_dir / "holiday.jpg\\beach.bmp", "x");

    Scan(m_dir.Path());
    std::vector<std::string> expected = {m_dir / "PHOTO.JPG", m_dir / "hidden.gif", m_dir / "holiday.jpg\\beach.bmp"};
    EXPECT_EQ(expected, Catalogue());
}

TEST_F(PictureCatalogTest, RejectedPathsAreReportedAndAddNothing)
{
    m_list.Add("C:\\kept.jpg");
    std::string strMissing = m_dir / "no such folder";
    {
        CMessageBoxCatcher catcher;
        Scan("");
        Scan(strMissing);
        ASSERT_EQ(2u, catcher.Boxes().size());
        EXPECT_EQ("Path is unvalid : ", catcher.Boxes()[0].strText);
        EXPECT_EQ("Path is unvalid : " + strMissing, catcher.Boxes()[1].strText);
        EXPECT_EQ("engine_tests", catcher.Boxes()[0].strCaption) << "the program file's name";
        EXPECT_EQ(0u, catcher.Boxes()[0].nIcon);
        EXPECT_EQ(static_cast<UINT>(MB_OK), catcher.Boxes()[0].nButtons);
    }
    EXPECT_EQ(std::vector<std::string>{"C:\\kept.jpg"}, Catalogue());
}

TEST_F(PictureCatalogTest, FilePathPassesSilentlyAndFindsNothing)
{
    WriteText(m_dir / "a.jpg", "x");
    CMessageBoxCatcher catcher;
    Scan(m_dir / "a.jpg");
    EXPECT_TRUE(catcher.Boxes().empty());
    EXPECT_TRUE(Catalogue().empty());
}

TEST_F(PictureCatalogTest, ScansAppendWithoutEmptying)
{
    WriteText(m_dir / "a.jpg", "x");
    WriteText(m_dir / "b.gif", "x");
    Scan(m_dir.Path());
    Scan(m_dir.Path());
    std::vector<std::string> expected = {m_dir / "a.jpg", m_dir / "b.gif", m_dir / "a.jpg", m_dir / "b.gif"};
    EXPECT_EQ(expected, Catalogue());
}

TEST_F(PictureCatalogTest, NamesOutsideTheCodePageAreListedByShortName)
{
    std::wstring strCyrillic = L"\x0444\x043E\x0442\x043E";
    ASSERT_FALSE(HasAnsiForm(strCyrillic)) << "the test needs a code page without Cyrillic, not " << GetACP();
    std::wstring strRoot = Widen(m_dir.Path());
    ASSERT_TRUE(CreateDirectoryW((strRoot + L"\\" + strCyrillic).c_str(), nullptr));
    for (const std::wstring& strFile : {strCyrillic + L".jpg", strCyrillic + L"\\" + strCyrillic + L".gif"})
        ASSERT_TRUE(WriteTextW(strRoot + L"\\" + strFile, "x"));

    Scan(m_dir.Path());
    ASSERT_EQ(2u, Catalogue().size());
    for (const std::string& strPath : Catalogue())
    {
        EXPECT_EQ(std::string::npos, strPath.find('?')) << strPath;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(strPath.c_str())) << strPath << " names the file";
    }
}

TEST_F(PictureCatalogTest, PictureBeyondReachEvenByShortNameIsLeftOut)
{
    // Folders that are 8.3 names already have no shorter form: once the
    // picture's short path passes MAX_PATH, no ANSI call opens it.
    std::wstring strDeep = L"\\\\?\\" + Widen(m_dir.Path());
    for (WCHAR szShort[2 * MAX_PATH] = L""; lstrlenW(szShort) + strlen("\\far.jpg") < 4 + MAX_PATH;)
    {
        strDeep += L"\\dddddddd";
        ASSERT_TRUE(CreateDirectoryW(strDeep.c_str(), nullptr));
        ASSERT_NE(0u, GetShortPathNameW(strDeep.c_str(), szShort, 2 * MAX_PATH));
    }
    ASSERT_TRUE(WriteTextW(strDeep + L"\\far.jpg", "x"));
    WriteText(m_dir / "near.jpg", "x");

    Scan(m_dir.Path());
    EXPECT_EQ(std::vector<std::string>{m_dir / "near.jpg"}, Catalogue()) << "no empty or cut entry for far.jpg";
}

namespace
{
std::wstring g_strLastPattern;

// The system's search, with the pattern it was given kept: wine takes some
// forms that Windows refuses.
HANDLE WINAPI RecordingFindFirst(LPCWSTR pszPattern, LPWIN32_FIND_DATAW pData)
{
    static const auto pfnFindFirst = SystemFunction<decltype(&FindFirstFileW)>("kernel32.dll", "FindFirstFileW");
    CImportPatch::CountCall("FindFirstFileW");
    g_strLastPattern = pszPattern;
    return pfnFindFirst(pszPattern, pData);
}
} // namespace

TEST_F(PictureCatalogTest, FolderWhosePatternPassesMaxPathIsSearched)
{
    // A folder that an ANSI call takes while its search pattern passes
    // MAX_PATH, on a drive and on the rig's share: searched in the form
    // Windows takes past MAX_PATH (wine takes more), its picture is found.
    const std::string kShare = "\\\\vellomar-server\\share";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kShare.c_str())) << "run through scripts/test.sh";
    struct Case
    {
        std::string strRoot;     // as the search sees it
        std::string strLocal;    // the same folder on a drive, to make it
        std::string strLongForm; // the root as the search must name it
    } const cases[] = {{m_dir.Path(), m_dir.Path(), "\\\\?\\" + m_dir.Path()},
                       {kShare, "C:\\vellomar-share", "\\\\?\\UNC\\vellomar-server\\share"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.strRoot);
        const std::string strName(MAX_PATH - 4 - c.strRoot.size(), 'p');
        const std::string strFolder = c.strRoot + "\\" + strName;
        ASSERT_TRUE(CreateDirectoryW(Widen("\\\\?\\" + c.strLocal + "\\" + strName).c_str(), nullptr));
        ASSERT_TRUE(WriteTextW(Widen("\\\\?\\" + c.strLocal + "\\" + strName + "\\a.jpg"), "x"));
        CFileFind finder;
        CImportPatch recorder("kernel32.dll", "FindFirstFileW", reinterpret_cast<const void*>(&RecordingFindFirst));
        EXPECT_TRUE(finder.FindFile((strFolder + "\\*.jpg").c_str()) && !finder.FindNextFile() && !finder.IsDots());
        EXPECT_EQ(1, recorder.Calls());
        EXPECT_EQ(Widen(c.strLongForm + "\\" + strName + "\\*.jpg"), g_strLastPattern);
        RemoveTree(c.strLocal + "\\" + strName);
    }
}

TEST_F(PictureCatalogTest, NetworkShareIsListedFromItsRootWithOrWithoutASeparator)
{
    // The share the test rig serves from C:\vellomar-share.
    const std::string kShare = "\\\\vellomar-server\\share";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kShare.c_str())) << "run through scripts/test.sh";
    RemoveTree("C:\\vellomar-share\\pics");
    MakeFolder("C:\\vellomar-share\\pics");
    WriteText("C:\\vellomar-share\\pics\\a.jpg", "x");
    WriteText("C:\\vellomar-share\\b.gif", "x");
    for (const std::string& strRoot : {kShare, kShare + "\\"})
    {
        SCOPED_TRACE(strRoot);
        m_list.SetSize(0);
        Scan(strRoot);
        EXPECT_EQ((std::vector<std::string>{kShare + "\\b.gif", kShare + "\\pics\\a.jpg"}), Catalogue());
    }
    RemoveTree("C:\\vellomar-share\\pics");
    DeleteFileA("C:\\vellomar-share\\b.gif");
}
