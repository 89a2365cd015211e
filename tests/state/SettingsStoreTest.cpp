#include "state/Globals.h"
#include "state/SettingsStore.h"

#include "support/AnsiText.h"
#include "support/ImportPatch.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace
{
// Points the data folder at a fresh temporary folder for one test.
class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { g_strDataDir = (m_dir.Path() + "\\").c_str(); }
    void TearDown() override { g_strDataDir.Empty(); }

    std::string ConfigFile() const { return m_dir / "config.cfg"; }

    CTempDir m_dir;
};

const char kValue[] = "Vellomar";

DWORD WINAPI ShortModuleName(HMODULE hModule, LPWSTR pszPath, DWORD cchPath)
{
    WCHAR szLong[1000] = L"";
    static const auto pfnModuleName =
        SystemFunction<decltype(&GetModuleFileNameW)>("kernel32.dll", "GetModuleFileNameW");
    pfnModuleName(hModule, szLong, 1000);
    return GetShortPathNameW(szLong, pszPath, cchPath);
}
} // namespace

TEST_F(SettingsStoreTest, MissingFileReadsAsEmpty)
{
    EXPECT_STREQ("", ReadPicturesPath());
    WriteText(ConfigFile(), "[other]\r\nPicturesPath=C:\\elsewhere\r\n");
    EXPECT_STREQ("", ReadPicturesPath()) << "only section main counts";
}

TEST_F(SettingsStoreTest, WriteThenReadKeepsOtherLines)
{
    WriteText(ConfigFile(), "[first]\r\nkeep=1\r\n[main]\r\nother=2\r\nPicturesPath=C:\\old\r\n");
    EXPECT_TRUE(WritePicturesPath("D:\\Pictures\\Holiday 2005"));
    EXPECT_STREQ("D:\\Pictures\\Holiday 2005", ReadPicturesPath());

    char szValue[64];
    GetPrivateProfileStringA("first", "keep", "", szValue, sizeof(szValue), ConfigFile().c_str());
    EXPECT_STREQ("1", szValue);
    GetPrivateProfileStringA("main", "other", "", szValue, sizeof(szValue), ConfigFile().c_str());
    EXPECT_STREQ("2", szValue);

    EXPECT_TRUE(WritePicturesPath("E:\\"));
    EXPECT_STREQ("E:\\", ReadPicturesPath()) << "a drive root keeps its backslash";
}

TEST_F(SettingsStoreTest, LongValueReadsBackWhole)
{
    std::string strLong(600, 'p');
    strLong[0] = 'C';
    ASSERT_TRUE(WritePicturesPath(strLong.c_str()));
    EXPECT_EQ(strLong, std::string(ReadPicturesPath()));
}

TEST_F(SettingsStoreTest, FilesStayReadableByEveryBuild)
{
    // What a write leaves, for the file as it was and the value written:
    // ASCII stays as it is, anything else becomes UTF-16 with its mark,
    // every other line kept.
    const std::string kOther = "[first]\r\nkeep=caf\xE9\r\n";
    struct Case
    {
        const char* pszName;
        std::string strBefore; // "" for no file
        const char* pszValue;
        bool bUtf16;
        const wchar_t* pszKept; // the other line's value afterwards, if any
    } const cases[] = {
        {"ASCII file, ASCII value", "[first]\r\nkeep=1\r\n[main]\r\nPicturesPath=C:\\old\r\n", "D:\\new", false, L"1"},
        {"no file, ASCII value", "", "D:\\new", false, nullptr},
        {"no file, other value", "", "D:\\Zo\xEB", true, nullptr},
        {"ASCII file, other value", "[main]\r\nPicturesPath=C:\\old\r\n", "D:\\Zo\xEB", true, nullptr},
        {"file of 1252, ASCII value", kOther, "D:\\new", true, L"caf\u00e9"},
        {"UTF-8 file with its mark", "\xEF\xBB\xBF[first]\r\nkeep=\xC5\x82\r\n", "D:\\new", true, L"\u0142"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        DeleteFileA(ConfigFile().c_str());
        if (!c.strBefore.empty())
        {
            ASSERT_TRUE(WriteText(ConfigFile(), c.strBefore));
        }
        ASSERT_TRUE(WritePicturesPath(c.pszValue));
        EXPECT_STREQ(c.pszValue, ReadPicturesPath());
        std::vector<unsigned char> bytes = ReadBytes(ConfigFile());
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(c.bUtf16, bytes[0] == 0xFF && bytes[1] == 0xFE);
        if (c.pszKept)
        {
            WCHAR szKeep[16] = L"";
            GetPrivateProfileStringW(L"first", L"keep", L"", szKeep, 16, Widen(ConfigFile()).c_str());
            EXPECT_STREQ(c.pszKept, szKeep) << "the other line, decoded and kept";
        }
        if (!c.bUtf16 && !c.strBefore.empty())
        {
            EXPECT_EQ("[first]\r\nkeep=1\r\n[main]\r\nPicturesPath=D:\\new\r\n", std::string(bytes.begin(), bytes.end()))
                << "byte for byte as the profile call writes it";
        }
    }
}

TEST_F(SettingsStoreTest, FileThatCannotBeReadIsNeverReplaced)
{
    // Held by another program that shares no reading, and one too large to
    // be settings (over 1 MiB of notes): neither may be converted, which
    // would lose what could not be read.
    const std::string kSmall = "[main]\r\nPicturesPath=C:\\Zo\xEB\r\n";
    const std::string kLarge = kSmall + "[notes]\r\nn=" + std::string(1 << 20, 'n') + "\r\n";
    for (const std::string& strBefore : {kSmall, kLarge})
    {
        SCOPED_TRACE(strBefore.size());
        ASSERT_TRUE(WriteText(ConfigFile(), strBefore));
        HANDLE hLock = strBefore == kSmall ? CreateFileA(ConfigFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                         0, nullptr)
                                           : INVALID_HANDLE_VALUE;
        EXPECT_FALSE(WritePicturesPath("D:\\Zo\xEB new"));
        if (hLock != INVALID_HANDLE_VALUE)
            CloseHandle(hLock);
        std::vector<unsigned char> bytes = ReadBytes(ConfigFile());
        EXPECT_TRUE(strBefore == std::string(bytes.begin(), bytes.end())) << "the file is unchanged";
    }
}

TEST_F(SettingsStoreTest, WriteCreatesAMissingDataFolder)
{
    // A folder chosen before any "/install" run must not be lost.
    std::string strData = m_dir / "Vellomar";
    g_strDataDir = (strData + "\\").c_str();
    ASSERT_FALSE(FileExists(strData));
    EXPECT_TRUE(WritePicturesPath("C:\\Pictures"));
    EXPECT_TRUE(FileExists(strData + "\\config.cfg"));
    EXPECT_STREQ("C:\\Pictures", ReadPicturesPath());
}

TEST_F(SettingsStoreTest, WriteFailsWhenTheDataFolderCannotBeMade)
{
    // Only the last level is created, as "/install" does.
    std::string strData = m_dir / "missing\\Vellomar";
    g_strDataDir = (strData + "\\").c_str();
    EXPECT_FALSE(WritePicturesPath("C:\\Pictures"));
    EXPECT_FALSE(FileExists(m_dir / "missing"));
    EXPECT_STREQ("", ReadPicturesPath());
}

TEST(Autostart, SwitchesTheRunValue)
{
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kRunKey, kValue);
    DeleteRegistryValue(HKEY_CURRENT_USER, kRunKey, kValue);
    EXPECT_FALSE(QueryAutostart());

    SetAutostart(FALSE); // absent: nothing to do, nothing shown
    EXPECT_FALSE(QueryAutostart());

    SetRegistryString(HKEY_CURRENT_USER, kRunKey, kValue, "C:\\old place\\Vellomar.exe");
    SetAutostart(TRUE);
    EXPECT_TRUE(QueryAutostart());
    DWORD dwType = 0;
    ASSERT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, kValue, &dwType, nullptr));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dwType);
    // Quoted: Windows would start an unquoted path with blanks from its
    // first prefix that names a file.
    wchar_t szProgram[1000];
    GetModuleFileNameW(nullptr, szProgram, 1000);
    std::wstring strQuoted = L"\"" + std::wstring(szProgram) + L"\"";
    EXPECT_EQ(strQuoted, RegistryWideText(HKEY_CURRENT_USER, kRunKey, kValue));

    SetAutostart(TRUE); // twice: still one value with the same data
    EXPECT_EQ(strQuoted, RegistryWideText(HKEY_CURRENT_USER, kRunKey, kValue));

    {
        // Started by its short path (wine always reports the long one).
        CImportPatch shortStart("kernel32.dll", "GetModuleFileNameW", reinterpret_cast<const void*>(&ShortModuleName));
        ASSERT_TRUE(shortStart.Patched());
        SetAutostart(TRUE);
    }
    WCHAR szShort[1000] = L"";
    ASSERT_TRUE(GetShortPathNameW(szProgram, szShort, 1000) && std::wstring(szShort) != szProgram);
    EXPECT_EQ(strQuoted, RegistryWideText(HKEY_CURRENT_USER, kRunKey, kValue)) << "the long path, which the uninstaller knows";

    SetAutostart(FALSE);
    EXPECT_FALSE(QueryAutostart());
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, kValue, nullptr, nullptr));
}

TEST(Autostart, AnyReadableValueCountsAsOn)
{
    CRegistryValueGuard guard(HKEY_CURRENT_USER, kRunKey, kValue);
    DWORD dwValue = 1;
    SetRegistryValue(HKEY_CURRENT_USER, kRunKey, kValue, REG_DWORD, &dwValue, sizeof(dwValue));
    EXPECT_TRUE(QueryAutostart());

    std::string strLong(1000, 'x'); // 1001 bytes with its terminator: too long to read
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, kValue, strLong);
    EXPECT_FALSE(QueryAutostart());

    std::string strFits(999, 'x');
    SetRegistryString(HKEY_CURRENT_USER, kRunKey, kValue, strFits);
    EXPECT_TRUE(QueryAutostart());
}
