// Paths under UTF-8 as the ANSI code page: every well-formed name converts
// exactly; a broken one (an unpaired surrogate) must not turn into U+FFFD,
// which names another file. Wine cannot make a file with such a name, so
// the conversion itself is checked.
#include "engine/PictureCatalog.h"
#include "platform/AnsiPath.h"
#include "platform/FileFind.h"
#include "platform/Mbcs.h"
#include "state/Globals.h"
#include "state/SettingsStore.h"

#include "support/AnsiText.h"
#include "support/DataFolderGuard.h"
#include "support/ImportPatch.h"
#include "support/LogOnRun.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

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

namespace
{
// The system's own ANSI code page, which earlier versions of the program
// wrote their settings in: this process's is UTF-8.
UINT SystemCodePage()
{
    DWORD dwCodePage = 0;
    GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                   reinterpret_cast<LPWSTR>(&dwCodePage), sizeof(dwCodePage) / sizeof(WCHAR));
    return dwCodePage;
}

class Utf8Settings : public ::testing::Test
{
protected:
    void SetUp() override { g_strDataDir = (m_data.Path() + "\\").c_str(); }
    void TearDown() override { g_strDataDir.Empty(); }

    std::wstring Folder(const std::wstring& strName) const
    {
        std::wstring strFolder = Widen(m_pictures.Path()) + L"\\" + strName;
        CreateDirectoryW(strFolder.c_str(), nullptr);
        return strFolder;
    }

    CTempDir m_data;
    CTempDir m_pictures;
};
} // namespace

namespace
{
// A volume that keeps no short names (an exFAT stick), which wine cannot make.
HANDLE WINAPI FindFirstWithoutShortName(LPCWSTR pszPattern, LPWIN32_FIND_DATAW pData)
{
    static const auto pfnFindFirst = SystemFunction<decltype(&FindFirstFileW)>("kernel32.dll", "FindFirstFileW");
    CImportPatch::CountCall("FindFirstFileW");
    HANDLE hFind = pfnFindFirst(pszPattern, pData);
    pData->cAlternateFileName[0] = L'\0';
    return hFind;
}
BOOL WINAPI FindNextWithoutShortName(HANDLE hFind, LPWIN32_FIND_DATAW pData)
{
    static const auto pfnFindNext = SystemFunction<decltype(&FindNextFileW)>("kernel32.dll", "FindNextFileW");
    CImportPatch::CountCall("FindNextFileW");
    BOOL bFound = pfnFindNext(hFind, pData);
    pData->cAlternateFileName[0] = L'\0';
    return bFound;
}
} // namespace

TEST(Utf8CodePage, PolishChineseAndEmojiNamesAreListedByTheirLongNames)
{
    CImportPatch findFirst("kernel32.dll", "FindFirstFileW", reinterpret_cast<const void*>(&FindFirstWithoutShortName));
    CImportPatch findNext("kernel32.dll", "FindNextFileW", reinterpret_cast<const void*>(&FindNextWithoutShortName));
    ASSERT_TRUE(findFirst.Patched() && findNext.Patched());
    // Each picture under its own name, in folders of such names, and under a
    // Chinese folder as long as MAX_PATH lets its picture's path be (well
    // over MAX_PATH bytes; in three levels, as Linux keeps a name in 255
    // bytes): none by a short form, none under a cut folder.
    CTempDir dir;
    const std::wstring strRoot = Widen(dir.Path());
    const size_t nChars = (MAX_PATH - 1 - strlen("\\\\\\\\12345678.jpg") - strRoot.size()) / 3;
    const std::wstring kChinese(nChars, L'\u5199');
    const std::wstring kNames[] = {L"Zdj\u0119cie \u0142\u0105ka", L"\u738b\u4f1f", L"\U0001F600 emoji",
                                   L"\u0141\u00f3d\u017a \U0001F600",
                                   kChinese + L"\\" + kChinese + L"\\" + kChinese};
    std::vector<std::string> expected;
    for (const std::wstring& strName : kNames)
    {
        std::wstring strFolder = strRoot + L"\\" + strName;
        for (size_t nLevel = strRoot.size() + 1; (nLevel = strFolder.find(L'\\', nLevel + 1)) != std::wstring::npos;)
            CreateDirectoryW((L"\\\\?\\" + strFolder.substr(0, nLevel)).c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + strFolder).c_str(), nullptr));
        ASSERT_TRUE(WriteTextW(L"\\\\?\\" + strFolder + L"\\" + strName.substr(0, 8) + L".jpg", "x"));
        expected.push_back(Encode(strFolder + L"\\" + strName.substr(0, 8) + L".jpg", CP_UTF8));
    }
    CStringArray list;
    ScanFolder(dir.Path().c_str(), &list);
    std::vector<std::string> listed;
    for (int i = 0; i < list.GetSize(); ++i)
        listed.push_back(static_cast<LPCSTR>(list[i]));
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, listed);
    size_t nLongest = 0;
    for (const std::string& strPath : listed)
        nLongest = std::max(nLongest, strPath.size());
    EXPECT_GT(nLongest, static_cast<size_t>(MAX_PATH)) << "a path past MAX_PATH bytes, listed whole";
    EXPECT_TRUE(findFirst.Calls() > 0 && findNext.Calls() > 0) << "searched as on such a volume";
}

TEST_F(Utf8Settings, EarlierSettingsInTheSystemCodePageAreFound)
{
    // A folder named in the system's code page, as an earlier version wrote
    // it: "Zoë" under 1252, "表示" under 932 (its 表 ends in the byte 0x5C).
    UINT nSystem = SystemCodePage();
    ASSERT_TRUE(nSystem == 1252 || nSystem == 932) << nSystem;
    std::wstring strFolder = Folder(nSystem == 932 ? L"\u8868\u793a" : L"Zo\u00eb");
    std::string strFile = "[other]\r\nnote=" + Encode(L"caf\u00e9", nSystem) + "\r\n[main]\r\nPicturesPath=" +
                          Encode(strFolder, nSystem) + "\r\n";
    ASSERT_TRUE(WriteText(m_data / "config.cfg", strFile));
    EXPECT_EQ(Encode(strFolder, CP_UTF8), std::string(ReadPicturesPath()));
    std::vector<unsigned char> bytes = ReadBytes(m_data / "config.cfg");
    EXPECT_EQ(strFile, std::string(bytes.begin(), bytes.end())) << "reading changes nothing";
}

TEST_F(Utf8Settings, BytesBothDecodingsReadTakeTheFolderThatExists)
{
    // "Zo" + C3 AB is "Zoë" in UTF-8 and "ZoÃ«" in 1252.
    if (SystemCodePage() != 1252)
        GTEST_SKIP() << "the bytes decode so under 1252 only";
    for (const std::wstring& strName : {std::wstring(L"Zo\u00eb"), std::wstring(L"Zo\u00c3\u00ab")})
    {
        SCOPED_TRACE(Encode(strName, CP_UTF8));
        std::wstring strFolder = Folder(strName);
        std::wstring strStored = Widen(m_pictures.Path()) + L"\\Zo";
        ASSERT_TRUE(WriteText(m_data / "config.cfg", "[main]\r\nPicturesPath=" + Encode(strStored, 1252) + "\xC3\xAB\r\n"));
        EXPECT_EQ(Encode(strFolder, CP_UTF8), std::string(ReadPicturesPath()));
        RemoveDirectoryW(strFolder.c_str());
    }
}

TEST_F(Utf8Settings, ChoiceIsReadByTheBuildThatRunsUnderTheSystemCodePage)
{
    // A choice named outside any legacy code page, saved into a file of an
    // earlier version: the program copy that runs as on Windows before
    // 10 1903 finds it and shows its picture, and the other lines stay.
    std::wstring strFolder = Folder(L"Zdj\u0119cie \u738b\u4f1f \U0001F600");
    ASSERT_TRUE(CopyFileW(Widen(TestDataPath("small.jpg")).c_str(), (strFolder + L"\\a.jpg").c_str(), FALSE));
    CDataFolderGuard data;
    data.Configure("C:\\old");
    std::string strConfig = DataFolder() + "\\config.cfg";
    WritePrivateProfileStringW(L"other", L"note", L"caf\u00e9", Widen(strConfig).c_str());
    ASSERT_FALSE(ReadBytes(strConfig).empty());
    g_strDataDir = (DataFolder() + "\\").c_str();

    ASSERT_TRUE(WritePicturesPath(Encode(strFolder, CP_UTF8).c_str()));
    std::vector<unsigned char> bytes = ReadBytes(strConfig);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_TRUE(bytes[0] == 0xFF && bytes[1] == 0xFE) << "UTF-16 with its byte-order mark";
    WCHAR szNote[16] = L"";
    GetPrivateProfileStringW(L"other", L"note", L"", szNote, 16, Widen(strConfig).c_str());
    EXPECT_STREQ(L"caf\u00e9", szNote) << "other lines survive";
    for (const char* pszProgram : {"VellomarLegacy.exe", "Vellomar.exe"})
    {
        SCOPED_TRACE(pszProgram);
        ExpectLogOnRunShowsOneOf("", {TestDataPath("small.jpg")}, ProgramFolder() + "\\" + pszProgram);
    }
}
