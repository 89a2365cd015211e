#include "state/Globals.h"
#include "state/SettingsStore.h"

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

TEST_F(SettingsStoreTest, LongValueReadsBackAsFirst511Bytes)
{
    std::string strLong(600, 'p');
    strLong[0] = 'C';
    ASSERT_TRUE(WritePicturesPath(strLong.c_str()));
    CString strRead = ReadPicturesPath();
    EXPECT_EQ(511, strRead.GetLength());
    EXPECT_EQ(strLong.substr(0, 511), std::string(strRead));
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
