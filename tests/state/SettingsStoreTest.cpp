#include "state/Globals.h"
#include "state/SettingsStore.h"

#include "support/AnsiText.h"
#include "support/EnvironmentOverride.h"
#include "support/ImportPatch.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <optional>

namespace
{
// Points the data folder at a fresh folder named as an accented profile
// is, which the code page holds: its path must reach the file calls exactly.
class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HasAnsiForm(L"Zo\u00eb")) << "the test needs a code page with \u00eb, not " << GetACP();
        MakeFolder(m_strData);
        g_strDataDir = m_strData.c_str();
    }
    void TearDown() override { g_strDataDir.Empty(); }

    std::string ConfigFile() const { return m_strData + "config.cfg"; }

    CTempDir m_dir;
    const std::string m_strData = m_dir / Encode(L"Zo\u00eb\\");
};

const char kValue[] = "Vellomar";

ULONGLONG FileIndex(HANDLE hFile)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    GetFileInformationByHandle(hFile, &info);
    return (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

ULONGLONG FileIndex(const std::string& strPath)
{
    HANDLE hFile = CreateFileA(strPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ULONGLONG nIndex = hFile == INVALID_HANDLE_VALUE ? 0 : FileIndex(hFile);
    CloseHandle(hFile);
    return nIndex;
}

// What a settings write does to the disk, in order: "flush copy", "flush
// settings" (the settings file itself), "archive" (set on the copy), "replace", "move".
std::vector<std::string> g_steps;
ULONGLONG g_nSettingsIndex = 0;
std::wstring g_strSettings;
DWORD g_dwReplaceError = 0;        // the replace fails so, as documented for one with a backup name
bool g_bMoveFails = false;         // and so does a move
bool g_bInPlaceWriteFails = false; // the first write into the settings file stops half way
DWORD g_dwReaderError = 0;         // what a reader opening the settings file met while it was written
DWORD g_dwReparseTag = 0;          // the settings file shown as a reparse point of this tag

BOOL WINAPI RecordFlush(HANDLE hFile)
{
    bool bSettings = FileIndex(hFile) == g_nSettingsIndex;
    g_steps.push_back(bSettings ? "flush settings" : "flush copy");
    HANDLE hReader = CreateFileW(g_strSettings.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    g_dwReaderError = bSettings && hReader == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    CloseHandle(hReader);
    return SystemFunction<decltype(&FlushFileBuffers)>("kernel32.dll", "FlushFileBuffers")(hFile);
}

BOOL WINAPI RecordAttributes(LPCWSTR pszPath, DWORD dwAttributes)
{
    g_steps.push_back(dwAttributes & FILE_ATTRIBUTE_ARCHIVE ? "archive" : "no archive");
    return SystemFunction<decltype(&SetFileAttributesW)>("kernel32.dll", "SetFileAttributesW")(pszPath, dwAttributes);
}

BOOL WINAPI RecordReplace(LPCWSTR pszReplaced, LPCWSTR pszReplacement, LPCWSTR pszBackup, DWORD dwFlags, LPVOID p1,
                          LPVOID p2)
{
    g_steps.push_back("replace");
    if (!g_dwReplaceError)
        return SystemFunction<decltype(&ReplaceFileW)>("kernel32.dll", "ReplaceFileW")(pszReplaced, pszReplacement,
                                                                                       pszBackup, dwFlags, p1, p2);
    if (g_dwReplaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) // the file went to the backup name first
        SystemFunction<decltype(&MoveFileExW)>("kernel32.dll", "MoveFileExW")(pszReplaced, pszBackup, 0);
    SetLastError(g_dwReplaceError);
    return FALSE;
}

BOOL WINAPI RecordMove(LPCWSTR pszFrom, LPCWSTR pszTo, DWORD dwFlags)
{
    g_steps.push_back("move");
    SetLastError(ERROR_WRITE_FAULT);
    return !g_bMoveFails &&
           SystemFunction<decltype(&MoveFileExW)>("kernel32.dll", "MoveFileExW")(pszFrom, pszTo, dwFlags);
}

BOOL WINAPI WriteFailingHalfWay(HANDLE hFile, LPCVOID pData, DWORD cbData, LPDWORD pcbWritten, LPOVERLAPPED pOverlapped)
{
    static const auto pfnWrite = SystemFunction<decltype(&WriteFile)>("kernel32.dll", "WriteFile");
    if (!g_bInPlaceWriteFails || FileIndex(hFile) != g_nSettingsIndex)
        return pfnWrite(hFile, pData, cbData, pcbWritten, pOverlapped);
    g_bInPlaceWriteFails = false;
    pfnWrite(hFile, pData, cbData / 2, pcbWritten, pOverlapped);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// The archive bit cleared by a backup program (wine reports it on every file); a reparse point (wine shows none).
DWORD WINAPI AttributesAsLeft(LPCWSTR pszPath)
{
    DWORD dwAttributes = SystemFunction<decltype(&GetFileAttributesW)>("kernel32.dll", "GetFileAttributesW")(pszPath);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && g_dwReparseTag && g_strSettings == pszPath)
        dwAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return dwAttributes == INVALID_FILE_ATTRIBUTES ? dwAttributes : dwAttributes & ~FILE_ATTRIBUTE_ARCHIVE;
}

BOOL WINAPI TagOfTheSettings(HANDLE hFile, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID pInfo, DWORD cbInfo)
{
    if (infoClass != FileAttributeTagInfo || !g_dwReparseTag)
        return SystemFunction<decltype(&GetFileInformationByHandleEx)>("kernel32.dll", "GetFileInformationByHandleEx")(
            hFile, infoClass, pInfo, cbInfo);
    *static_cast<FILE_ATTRIBUTE_TAG_INFO*>(pInfo) = {FILE_ATTRIBUTE_REPARSE_POINT, g_dwReparseTag};
    return TRUE;
}

DWORD WINAPI ShortModuleName(HMODULE hModule, LPWSTR pszPath, DWORD cchPath)
{
    WCHAR szLong[1000] = L"";
    static const auto pfnModuleName =
        SystemFunction<decltype(&GetModuleFileNameW)>("kernel32.dll", "GetModuleFileNameW");
    CImportPatch::CountCall("GetModuleFileNameW");
    pfnModuleName(hModule, szLong, 1000);
    return GetShortPathNameW(szLong, pszPath, cchPath);
}
} // namespace

TEST_F(SettingsStoreTest, EveryFormOfFileIsReadWithoutACopy)
{
    // The forms editors save, decoded in memory: a temporary folder that
    // must stay empty, and nothing beside the settings file.
    CTempDir temp;
    CEnvironmentOverride tempVar("TEMP", temp.Path()), tmpVar("TMP", temp.Path());
    const std::wstring kText = L"[other]\r\nnote=caf\u00e9\r\n[main]\r\nPicturesPath=C:\\Zo\u00eb\r\n";
    const DWORD kShareNothing = 0;
    struct Case
    {
        const char* pszName;
        std::string strBytes; // "" for no file
        std::wstring strExpected;
        DWORD dwHeldFor = 0; // ms another program holds the file without sharing it; INFINITE: throughout
    } const cases[] = {
        {"no file", "", L""},
        {"held a moment", Encode(kText), L"C:\\Zo\u00eb", 300},
        {"held throughout", Encode(kText), L"", INFINITE},
        {"another section only", "[other]\r\nPicturesPath=C:\\elsewhere\r\n", L""},
        {"UTF-16LE", Utf16Bytes(L"\xFEFF" + kText), L"C:\\Zo\u00eb"},
        {"UTF-16BE", Utf16Bytes(L"\xFEFF" + kText, true), L"C:\\Zo\u00eb"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + Encode(kText, CP_UTF8), L"C:\\Zo\u00eb"},
        {"UTF-8", Encode(kText, CP_UTF8), L"C:\\Zo\u00eb"},
        {"the code page", Encode(kText), L"C:\\Zo\u00eb"},
        {"UTF-8, CR, quoted", "\xEF\xBB\xBF[MAIN]\r PicturesPath = \"C:\\\xC3\xA9\" \r", L"C:\\\u00e9"},
        {"a lone UTF-8 mark", "\xEF\xBB\xBF", L""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        DeleteFileA(ConfigFile().c_str());
        ASSERT_TRUE(c.strBytes.empty() || WriteText(ConfigFile(), c.strBytes));
        {
            std::optional<CHeldFile> held;
            if (c.dwHeldFor)
            {
                ASSERT_TRUE(held.emplace(ConfigFile(), kShareNothing, c.dwHeldFor).Held());
            }
            EXPECT_EQ(Encode(c.strExpected), std::string(ReadPicturesPath()));
        }
        std::vector<unsigned char> bytes = ReadBytes(ConfigFile());
        EXPECT_TRUE(c.strBytes == std::string(bytes.begin(), bytes.end())) << "reading changes nothing";
        EXPECT_EQ(!c.strBytes.empty(), FileExists(ConfigFile())) << "reading makes no file";
    }
    EXPECT_EQ(std::vector<std::string>(), ListFolder(temp / "*"));
    EXPECT_EQ(std::vector<std::string>{"config.cfg"}, ListFolder(m_strData + "*"));
}

TEST_F(SettingsStoreTest, WritesKeepEveryLineOrChangeNothing)
{
    // What a write leaves, for the file as it was and the value written:
    // ASCII stays as it is, anything else becomes UTF-16 with its mark,
    // every other line kept; a file that cannot be kept whole is left alone.
    const std::wstring kOther = L"[first]\r\nkeep=caf\u00e9\r\n";
    const std::string kAscii = "[first]\r\nkeep=1\r\n[main]\r\nother=2\r\nPicturesPath=C:\\old\r\n";
    const std::string kZoe = Encode(L"D:\\Zo\u00eb");
    const DWORD kNoSharing = 0xFFFFFFFF;
    enum Outcome
    {
        kAsItWas,
        kUtf16,
        kRefused
    };
    enum Setting
    {
        kPlain,
        kHardLink,     // a second name in another folder
        kSymbolicLink, // reported as a reparse point, which wine never does
        kCloudFile,    // the same, of a cloud placeholder's tag
        kNothingMoved, // the replace moves nothing and fails
        kFileIsBackup, // the replace leaves the file as the backup and fails
        kBackupStays,  // and moving the backup back fails too
        kInPlaceFails, // a hard link whose write stops half way
    };
    const DWORD kShared = FILE_SHARE_READ | FILE_SHARE_WRITE;
    struct Case
    {
        const char* pszName;
        std::string strBefore; // "" for no file
        std::string strValue;
        Outcome outcome;
        const wchar_t* pszKept; // the other line's value afterwards, if any
        DWORD dwAttributes = 0;
        DWORD dwHeldSharing = kNoSharing; // another program's sharing while it holds the file
        DWORD dwHeldFor = INFINITE;       // ms it holds it
        Setting setting = kPlain;
    } const cases[] = {
        {"ASCII file, ASCII value", kAscii, "D:\\new", kAsItWas, L"1"},
        {"a drive root keeps its backslash", kAscii, "E:\\", kAsItWas, L"1"},
        {"a value past 511 bytes comes back whole", "", "C:\\" + std::string(600, 'p'), kAsItWas, nullptr},
        {"no file, ASCII value", "", "D:\\new", kAsItWas, nullptr},
        {"no file, other value", "", kZoe, kUtf16, nullptr},
        {"ASCII file, other value", kAscii, kZoe, kUtf16, L"1"},
        {"file of the code page, ASCII value", Encode(kOther), "D:\\new", kUtf16, L"caf\u00e9"},
        {"UTF-8 file with its mark", "\xEF\xBB\xBF[first]\r\nkeep=\xC5\x82\r\n", "D:\\new", kUtf16, L"\u0142"},
        {"UTF-16BE file", Utf16Bytes(L"\xFEFF" + kOther, true), "D:\\new", kUtf16, L"caf\u00e9"},
        {"a lone UTF-8 mark", "\xEF\xBB\xBF", "D:\\new", kUtf16, nullptr},
        {"UTF-16 file, other value again", Utf16Bytes(L"\xFEFF" + kOther + L"[main]\r\nPicturesPath=C:\\Zo\u00eb\r\n"),
         Encode(L"D:\\Zo\u00eb 2"), kUtf16, L"caf\u00e9"},
        {"read-only, ASCII value", kAscii, "D:\\new", kRefused, L"1", FILE_ATTRIBUTE_READONLY},
        {"hidden and system, other value", kAscii, kZoe, kUtf16, L"1", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"held without reading shared", Encode(kOther), "D:\\new", kRefused, nullptr, 0, FILE_SHARE_DELETE},
        {"held, cannot be replaced", Encode(kOther), "D:\\new", kRefused, nullptr, 0, kShared},
        {"held a moment", Encode(kOther), "D:\\new", kUtf16, L"caf\u00e9", 0, kShared, 300},
        {"hard link, shorter", kAscii, "D:\\n", kAsItWas, L"1", FILE_ATTRIBUTE_HIDDEN, kNoSharing, INFINITE, kHardLink},
        {"a symbolic link", kAscii, kZoe, kUtf16, L"1", 0, kNoSharing, INFINITE, kSymbolicLink},
        {"a cloud placeholder", kAscii, "D:\\new", kAsItWas, L"1", 0, kNoSharing, INFINITE, kCloudFile},
        {"the replace moves nothing", kAscii, "D:\\new", kRefused, nullptr, 0, kNoSharing, INFINITE, kNothingMoved},
        {"the file left as the backup", kAscii, "D:\\new", kRefused, nullptr, 0, kNoSharing, INFINITE, kFileIsBackup},
        {"the backup kept as the settings", kAscii, "D:\\new", kAsItWas, L"1", 0, kNoSharing, INFINITE, kBackupStays},
        {"a link's write fails", kAscii, kZoe, kRefused, nullptr, 0, kNoSharing, INFINITE, kInPlaceFails},
        {"too large to be settings", kAscii + "[notes]\r\nn=" + std::string(1 << 20, 'n'), kZoe, kRefused, nullptr},
    };
    const std::string strOtherName = m_dir / "sync.cfg";
    CImportPatch flush("kernel32.dll", "FlushFileBuffers", reinterpret_cast<const void*>(&RecordFlush));
    CImportPatch replace("kernel32.dll", "ReplaceFileW", reinterpret_cast<const void*>(&RecordReplace));
    CImportPatch move("kernel32.dll", "MoveFileExW", reinterpret_cast<const void*>(&RecordMove));
    CImportPatch attributes("kernel32.dll", "SetFileAttributesW", reinterpret_cast<const void*>(&RecordAttributes));
    CImportPatch tag("kernel32.dll", "GetFileInformationByHandleEx", reinterpret_cast<const void*>(&TagOfTheSettings));
    CImportPatch reported("kernel32.dll", "GetFileAttributesW", reinterpret_cast<const void*>(&AttributesAsLeft));
    ASSERT_TRUE(flush.Patched() && replace.Patched() && move.Patched() && attributes.Patched() && tag.Patched() &&
                reported.Patched());
    g_strSettings = Widen(ConfigFile());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SetFileAttributesA(ConfigFile().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(ConfigFile().c_str());
        DeleteFileA(strOtherName.c_str());
        if (!c.strBefore.empty())
        {
            ASSERT_TRUE(WriteText(ConfigFile(), c.strBefore));
            ASSERT_TRUE(SetFileAttributesA(ConfigFile().c_str(), c.dwAttributes | FILE_ATTRIBUTE_ARCHIVE));
        }
        bool bLinked = c.setting == kHardLink || c.setting == kInPlaceFails;
        if (bLinked)
        {
            ASSERT_TRUE(CreateHardLinkW(Widen(strOtherName).c_str(), Widen(ConfigFile()).c_str(), nullptr));
        }
        std::optional<CImportPatch> patch;
        if (c.setting == kInPlaceFails)
            patch.emplace("kernel32.dll", "WriteFile", reinterpret_cast<const void*>(&WriteFailingHalfWay));
        ASSERT_TRUE(!patch || patch->Patched());
        g_nSettingsIndex = FileIndex(ConfigFile());
        g_dwReparseTag = c.setting == kSymbolicLink ? IO_REPARSE_TAG_SYMLINK : c.setting == kCloudFile ? 0x9000101A : 0;
        g_dwReplaceError = c.setting == kNothingMoved ? ERROR_UNABLE_TO_MOVE_REPLACEMENT : 0;
        if (c.setting == kFileIsBackup || c.setting == kBackupStays)
            g_dwReplaceError = ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
        g_bMoveFails = c.setting == kBackupStays;
        g_bInPlaceWriteFails = c.setting == kInPlaceFails;
        g_steps.clear();
        std::optional<CHeldFile> held;
        if (c.dwHeldSharing != kNoSharing)
        {
            ASSERT_TRUE(held.emplace(ConfigFile(), c.dwHeldSharing, c.dwHeldFor).Held());
        }
        EXPECT_EQ(c.outcome != kRefused && c.setting != kBackupStays, WritePicturesPath(c.strValue.c_str()) != FALSE);
        held.reset();
        patch.reset();
        if (c.setting == kBackupStays)
        {
            EXPECT_STREQ("C:\\old", ReadPicturesPath()) << "the backup read as the settings";
            g_dwReplaceError = 0;
            g_bMoveFails = false;
            g_steps.clear();
            EXPECT_TRUE(WritePicturesPath(c.strValue.c_str())) << "the next save, from the backup's lines";
        }
        std::vector<unsigned char> bytes = ReadBytes(ConfigFile());
        std::string strAfter(bytes.begin(), bytes.end());
        if (bLinked)
        {
            EXPECT_TRUE(bytes == ReadBytes(strOtherName)) << "both names still lead to one file";
        }
        // The system's replace keeps the old file as the backup: a write that succeeds removes it.
        EXPECT_EQ(std::vector<std::string>{"config.cfg"}, ListFolder(m_strData + "*")) << "no copy or backup left";
        if (c.outcome == kRefused)
        {
            EXPECT_TRUE(c.strBefore == strAfter) << "the file is unchanged";
            continue;
        }
        // The copy, flushed and marked for backup, takes the file's name; a file of
        // several names is written in place, which no reader sees half done, then flushed.
        bool bInPlace = bLinked || c.setting == kSymbolicLink;
        std::vector<std::string> steps = {"flush copy", "archive", "replace"};
        if (c.strBefore.empty() || c.setting == kBackupStays)
            steps = {"flush copy", "move"};
        if (bInPlace)
            steps = {"flush copy", "flush settings"};
        EXPECT_EQ(steps, g_steps);
        EXPECT_EQ(bInPlace ? ERROR_SHARING_VIOLATION : 0u, g_dwReaderError);
        EXPECT_EQ(bInPlace, FileIndex(ConfigFile()) == g_nSettingsIndex) << "the same file, written in place";
        EXPECT_EQ(c.dwAttributes, GetFileAttributesA(ConfigFile().c_str()) & c.dwAttributes) << "attributes kept";
        EXPECT_EQ(c.strValue, std::string(ReadPicturesPath()));
        EXPECT_EQ(c.outcome == kUtf16, strAfter.compare(0, 2, "\xFF\xFE") == 0) << strAfter;
        if (c.pszKept)
        {
            WCHAR szKeep[16] = L"";
            GetPrivateProfileStringW(L"first", L"keep", L"", szKeep, 16, Widen(ConfigFile()).c_str());
            EXPECT_STREQ(c.pszKept, szKeep) << "the other line, decoded and kept";
        }
        if (c.strBefore == kAscii && c.outcome == kAsItWas)
        {
            EXPECT_EQ("[first]\r\nkeep=1\r\n[main]\r\nother=2\r\nPicturesPath=" + c.strValue + "\r\n", strAfter)
                << "byte for byte as the profile call writes it";
        }
        if (c.strBefore == "\xEF\xBB\xBF")
        {
            EXPECT_EQ(Utf16Bytes(L"\xFEFF[main]\r\nPicturesPath=D:\\new\r\n"), strAfter) << "no line left of the mark";
        }
    }
}

TEST_F(SettingsStoreTest, StoredFolderPastMaxPathIsReadInAFormThatOpens)
{
    // Typed or saved by an editor by its whole long path: used by its short
    // form where it has one, kept as stored where it does not exist.
    std::wstring strFolder = Widen(m_dir.Path());
    while (strFolder.size() <= MAX_PATH)
    {
        strFolder += L"\\" + std::wstring(40, L'f');
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + strFolder).c_str(), nullptr));
    }
    ASSERT_TRUE(WriteText(ConfigFile(), "\xEF\xBB\xBF[main]\r\nPicturesPath=" + Encode(strFolder, CP_UTF8) + "\r\n"));
    CString strRead = ReadPicturesPath();
    EXPECT_LT(strRead.GetLength(), MAX_PATH) << strRead;
    DWORD dwAttributes = GetFileAttributesA(strRead);
    EXPECT_TRUE(dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) << strRead;

    std::string strMissing = "C:\\" + std::string(300, 'm');
    ASSERT_TRUE(WriteText(ConfigFile(), "\xEF\xBB\xBF[main]\r\nPicturesPath=" + strMissing + "\r\n"));
    EXPECT_EQ(strMissing, std::string(ReadPicturesPath()));
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
        DeleteRegistryValue(HKEY_CURRENT_USER, kRunKey, kValue);
        SetAutostart(TRUE);
        EXPECT_GT(shortStart.Calls(), 0);
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
