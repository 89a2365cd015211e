// The resources of the built program, read back from its file and compared
// field by field with what the dialogs promise.
#include "res/resource.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct ControlTemplate
{
    int nId;
    std::string strClass; // a class name, or "#<ordinal>"
    std::string strCaption;
    short x, y, cx, cy;
    DWORD dwStyle;
};

struct DialogTemplate
{
    bool bExtended;
    DWORD dwStyle;
    DWORD dwExStyle;
    short x, y, cx, cy;
    std::string strCaption;
    WORD wPointSize;
    std::string strFont;
    WORD wWeight;
    BYTE bItalic;
    BYTE bCharSet;
    std::vector<ControlTemplate> controls;
};

class TemplateReader
{
public:
    explicit TemplateReader(const BYTE* p) : m_p(p), m_pStart(p) {}
    WORD Word()
    {
        WORD w;
        memcpy(&w, m_p, 2);
        m_p += 2;
        return w;
    }
    DWORD Dword()
    {
        DWORD d;
        memcpy(&d, m_p, 4);
        m_p += 4;
        return d;
    }
    BYTE Byte() { return *m_p++; }
    short Short() { return static_cast<short>(Word()); }
    std::string String()
    {
        std::string str;
        for (WORD w = Word(); w; w = Word())
            str += static_cast<char>(w);
        return str;
    }
    std::string StringOrOrdinal()
    {
        WORD w;
        memcpy(&w, m_p, 2);
        if (w == 0xFFFF)
        {
            Word();
            return "#" + std::to_string(Word());
        }
        return String();
    }
    void AlignDword() { m_p = m_pStart + ((m_p - m_pStart + 3) & ~3); }

private:
    const BYTE* m_p;
    const BYTE* m_pStart;
};

// Class names match without regard to case; the compiler may store the
// predefined ones as ordinals.
std::string ClassName(const std::string& strClass)
{
    if (strClass == "#128")
        return "Button";
    if (strClass == "#129")
        return "Edit";
    if (strClass == "#130")
        return "Static";
    for (const char* pszName : {"Button", "Edit", "Static"})
        if (lstrcmpiA(strClass.c_str(), pszName) == 0)
            return pszName;
    return strClass;
}

DialogTemplate ReadTemplate(HMODULE hModule, int nId)
{
    DialogTemplate dlg = {};
    HRSRC hRes = FindResourceA(hModule, MAKEINTRESOURCEA(nId), MAKEINTRESOURCEA(5));
    if (!hRes)
        return dlg;
    TemplateReader r(static_cast<const BYTE*>(LockResource(LoadResource(hModule, hRes))));
    WORD wFirst = r.Word();
    WORD wSecond = r.Word();
    dlg.bExtended = wFirst == 1 && wSecond == 0xFFFF;
    WORD nItems;
    if (dlg.bExtended)
    {
        r.Dword(); // help id
        dlg.dwExStyle = r.Dword();
        dlg.dwStyle = r.Dword();
    }
    else
    {
        dlg.dwStyle = MAKELONG(wFirst, wSecond);
        dlg.dwExStyle = r.Dword();
    }
    nItems = r.Word();
    dlg.x = r.Short();
    dlg.y = r.Short();
    dlg.cx = r.Short();
    dlg.cy = r.Short();
    r.StringOrOrdinal(); // menu
    r.StringOrOrdinal(); // class
    dlg.strCaption = r.String();
    if (dlg.dwStyle & DS_SETFONT)
    {
        dlg.wPointSize = r.Word();
        if (dlg.bExtended)
        {
            dlg.wWeight = r.Word();
            dlg.bItalic = r.Byte();
            dlg.bCharSet = r.Byte();
        }
        dlg.strFont = r.String();
    }
    for (WORD i = 0; i < nItems; ++i)
    {
        r.AlignDword();
        ControlTemplate c = {};
        if (dlg.bExtended)
        {
            r.Dword(); // help id
            r.Dword(); // extended style
            c.dwStyle = r.Dword();
        }
        else
        {
            c.dwStyle = r.Dword();
            r.Dword();
        }
        c.x = r.Short();
        c.y = r.Short();
        c.cx = r.Short();
        c.cy = r.Short();
        c.nId = dlg.bExtended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
        c.strClass = ClassName(r.StringOrOrdinal());
        c.strCaption = r.StringOrOrdinal();
        WORD nExtra = r.Word();
        for (WORD b = 0; b < nExtra; ++b)
            r.Byte();
        dlg.controls.push_back(c);
    }
    return dlg;
}

void ExpectControls(const std::vector<ControlTemplate>& expected, const std::vector<ControlTemplate>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE(testing::Message() << "control " << i << " '" << expected[i].strCaption << "'");
        EXPECT_EQ(expected[i].nId, actual[i].nId);
        EXPECT_EQ(expected[i].strClass, actual[i].strClass);
        EXPECT_EQ(expected[i].strCaption, actual[i].strCaption);
        EXPECT_EQ(expected[i].x, actual[i].x);
        EXPECT_EQ(expected[i].y, actual[i].y);
        EXPECT_EQ(expected[i].cx, actual[i].cx);
        EXPECT_EQ(expected[i].cy, actual[i].cy);
        EXPECT_EQ(expected[i].dwStyle, actual[i].dwStyle) << std::hex << actual[i].dwStyle;
    }
}

void ExpectHeader(const DialogTemplate& expected, const DialogTemplate& actual)
{
    EXPECT_EQ(expected.bExtended, actual.bExtended);
    EXPECT_EQ(expected.dwStyle, actual.dwStyle) << std::hex << actual.dwStyle;
    EXPECT_EQ(expected.dwExStyle, actual.dwExStyle) << std::hex << actual.dwExStyle;
    EXPECT_EQ(expected.x, actual.x);
    EXPECT_EQ(expected.y, actual.y);
    EXPECT_EQ(expected.cx, actual.cx);
    EXPECT_EQ(expected.cy, actual.cy);
    EXPECT_EQ(expected.strCaption, actual.strCaption);
    EXPECT_EQ(expected.wPointSize, actual.wPointSize);
    EXPECT_EQ(expected.strFont, actual.strFont);
    EXPECT_EQ(expected.wWeight, actual.wWeight);
    EXPECT_EQ(expected.bItalic, actual.bItalic);
    EXPECT_EQ(expected.bCharSet, actual.bCharSet);
}

class ProgramResources : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hModule = LoadLibraryExA(VellomarExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, m_hModule);
    }
    void TearDown() override { FreeLibrary(m_hModule); }
    HMODULE m_hModule = nullptr;
};
} // namespace

TEST_F(ProgramResources, SettingsDialogTemplate)
{
    DialogTemplate dlg = ReadTemplate(m_hModule, IDD_SETTINGS);
    ExpectHeader({true, 0x90C800C0, 0x00040000, 0, 0, 320, 113, "Vellomar", 8, "MS Sans Serif", 0, 0, 1, {}}, dlg);
    ExpectControls(
        {
            {1, "Button", "OK", 255, 84, 50, 14, 0x50010001},
            {-1, "Static", "Path to Pictures:", 14, 18, 147, 8, 0x50020000},
            {1000, "Edit", "", 15, 30, 271, 12, 0x50810880},
            {-1, "Button", "", 7, 7, 306, 99, 0x50000007},
            {1001, "Button", "...", 289, 30, 16, 12, 0x50010040},
            {3, "Button", "Refresh list", 255, 67, 50, 14, 0x50010001},
            {4, "Button", "Change now", 255, 50, 50, 14, 0x58010001},
            {1002, "Static", "Files : 0", 81, 59, 123, 8, 0x50020000},
            {1003, "Static", "Scan time : O ms", 81, 71, 123, 8, 0x50020000},
            {-1, "Button", "Statics", 15, 47, 209, 40, 0x50000007},
            {1004, "Button", "Change wallpaper on windows startup", 15, 92, 204, 8, 0x50010003},
        },
        dlg.controls);
}

TEST_F(ProgramResources, AboutBoxTemplate)
{
    DialogTemplate dlg = ReadTemplate(m_hModule, IDD_ABOUTBOX);
    // A standard template has no weight, italic or character-set fields.
    ExpectHeader({false, 0x80C800C0, 0, 0, 0, 235, 100, "About Vellomar", 8, "MS Sans Serif", 0, 0, 0, {}}, dlg);
    ASSERT_EQ(7u, dlg.controls.size());
    ExpectControls(
        {
            {-1, "Static", "#128", 14, 15, 21, 20, 0x50000003},
            {-1, "Static", "Vellomar ", 89, 14, 57, 8, 0x50020080},
            {-1, "Static", "(C) 2005 The Vellomar team", 67, 42, 119, 8, 0x50020000},
            {1, "Button", "OK", 178, 79, 50, 14, 0x50030001},
            {1005, "Static", "Our  home page on Orlamine - nice software archive", 48, 57, 180, 10, 0x50020000},
            {1006, "Static", "Send us your feedback", 48, 70, 180, 10, 0x50020000},
            {-1, "Static", " Version 1.0        Release  date : 04.25.2005", 64, 29, 144, 9, 0x50020080},
        },
        dlg.controls);
}

TEST_F(ProgramResources, IconsStringAndVersion)
{
    struct IconImage
    {
        BYTE width, height, colors;
        WORD bitCount;
    };
    auto icons = [&](int nId) {
        std::vector<IconImage> images;
        HRSRC hRes = FindResourceA(m_hModule, MAKEINTRESOURCEA(nId), MAKEINTRESOURCEA(14));
        if (!hRes)
            return images;
        const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(m_hModule, hRes)));
        WORD nCount;
        memcpy(&nCount, p + 4, 2);
        for (WORD i = 0; i < nCount; ++i)
        {
            const BYTE* e = p + 6 + 14 * i;
            IconImage image = {e[0], e[1], e[2], 0};
            memcpy(&image.bitCount, e + 6, 2);
            images.push_back(image);
        }
        return images;
    };
    std::vector<IconImage> app = icons(IDI_APPLICATION_ICON);
    ASSERT_EQ(2u, app.size());
    EXPECT_EQ(32, app[0].width);
    EXPECT_EQ(16, app[1].width);
    for (const IconImage& image : app)
    {
        EXPECT_EQ(image.width, image.height);
        EXPECT_EQ(16, image.colors);
        EXPECT_EQ(4, image.bitCount);
    }
    std::vector<IconImage> folder = icons(IDI_FOLDER_ICON);
    ASSERT_EQ(1u, folder.size());
    EXPECT_EQ(32, folder[0].width);
    EXPECT_EQ(4, folder[0].bitCount);

    char szText[64] = "";
    EXPECT_EQ(18, LoadStringA(m_hModule, IDS_ABOUTBOX, szText, sizeof(szText)));
    EXPECT_STREQ("&About Vellomar...", szText);

    DWORD dwHandle = 0;
    DWORD dwSize = GetFileVersionInfoSizeA(VellomarExePath().c_str(), &dwHandle);
    ASSERT_GT(dwSize, 0u);
    std::vector<BYTE> info(dwSize);
    ASSERT_TRUE(GetFileVersionInfoA(VellomarExePath().c_str(), 0, dwSize, info.data()));
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT cb = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&pFixed), &cb));
    EXPECT_EQ(MAKELONG(0, 1), pFixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), pFixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(0, 1), pFixed->dwProductVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), pFixed->dwProductVersionLS);
    char* pszName = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&pszName), &cb));
    EXPECT_STREQ("Vellomar", pszName);

    HRSRC hManifest = FindResourceA(m_hModule, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, hManifest);
    std::string strManifest(static_cast<const char*>(LockResource(LoadResource(m_hModule, hManifest))),
                            SizeofResource(m_hModule, hManifest));
    for (const char* pszPart : {
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
             "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>", // Windows 7
             "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>", // 8
             "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>", // 8.1
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>", // 10 and 11
             ">true</dpiAware>",
         })
        EXPECT_NE(std::string::npos, strManifest.find(pszPart)) << pszPart;
}
