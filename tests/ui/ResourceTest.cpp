// The resources of the built program, read back from its file: the dialogs'
// controls, what they say, and that they are laid out so a user can read
// every text at 96 and at 144 DPI.
#include "res/resource.h"
#include "ui/SettingsDlg.h"

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

// What a user sees of a control: which it is, what it says, and the state
// its style gives it.
struct ControlFacts
{
    int nId;
    const char* pszClass;
    const char* pszCaption;
    DWORD dwVisibleStyle; // WS_DISABLED, BS_DEFPUSHBUTTON, ES_READONLY, ... as they show
};

void ExpectControls(const std::vector<ControlFacts>& expected, const std::vector<ControlTemplate>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE(testing::Message() << "control " << i << " '" << expected[i].pszCaption << "'");
        EXPECT_EQ(expected[i].nId, actual[i].nId);
        EXPECT_EQ(expected[i].pszClass, actual[i].strClass);
        EXPECT_EQ(expected[i].pszCaption, actual[i].strCaption);
        EXPECT_EQ(expected[i].dwVisibleStyle, actual[i].dwStyle & expected[i].dwVisibleStyle) << std::hex
                                                                                               << actual[i].dwStyle;
    }
}

bool IsGroupBox(const ControlTemplate& c)
{
    return c.strClass == "Button" && (c.dwStyle & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Inside(const ControlTemplate& inner, const ControlTemplate& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

bool Overlap(const ControlTemplate& a, const ControlTemplate& b)
{
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

// Every control lies inside its dialog, and no two overlap, except a group
// box and the controls it frames.
void ExpectLaidOut(const DialogTemplate& dlg)
{
    for (size_t i = 0; i < dlg.controls.size(); ++i)
    {
        const ControlTemplate& c = dlg.controls[i];
        SCOPED_TRACE("'" + c.strCaption + "'");
        EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.cx <= dlg.cx && c.y + c.cy <= dlg.cy) << "inside the dialog";
        for (size_t j = i + 1; j < dlg.controls.size(); ++j)
        {
            const ControlTemplate& d = dlg.controls[j];
            bool bFramed = (IsGroupBox(c) && Inside(d, c)) || (IsGroupBox(d) && Inside(c, d));
            EXPECT_TRUE(bFramed || !Overlap(c, d)) << "overlaps '" << d.strCaption << "'";
        }
    }
}

// The dialog's font at a screen resolution, in a memory device context, with
// the dialog manager's base units for turning dialog units into pixels.
class CDialogFont
{
public:
    CDialogFont(const DialogTemplate& dlg, int nDpi) : m_hdc(CreateCompatibleDC(nullptr))
    {
        m_hFont = CreateFontA(-MulDiv(dlg.wPointSize, nDpi, 72), 0, 0, 0, dlg.wWeight, dlg.bItalic, 0, 0,
                              dlg.bCharSet, 0, 0, 0, 0, dlg.strFont.c_str());
        m_hOld = SelectObject(m_hdc, m_hFont);
        GetTextMetricsA(m_hdc, &m_tm);
        m_nBaseX = (TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
    }
    ~CDialogFont()
    {
        SelectObject(m_hdc, m_hOld);
        DeleteObject(m_hFont);
        DeleteDC(m_hdc);
    }
    int TextWidth(const std::string& strText) const
    {
        SIZE size = {};
        GetTextExtentPoint32A(m_hdc, strText.c_str(), static_cast<int>(strText.size()), &size);
        return size.cx;
    }
    int TextHeight() const { return m_tm.tmHeight; }
    int Width(int nDialogUnits) const { return MulDiv(nDialogUnits, m_nBaseX, 4); }
    int Height(int nDialogUnits) const { return MulDiv(nDialogUnits, m_tm.tmHeight, 8); }
    int DialogUnits(int nPixels) const { return MulDiv(nPixels, 4, m_nBaseX); }

private:
    HDC m_hdc;
    HFONT m_hFont;
    HGDIOBJ m_hOld;
    TEXTMETRICA m_tm = {};
    int m_nBaseX;
};

// Each text fits its control at a screen resolution, with the room a
// button's frame or a check box's square takes.
void ExpectTextsFit(const DialogTemplate& dlg, int nDpi)
{
    SCOPED_TRACE(testing::Message() << nDpi << " DPI");
    CDialogFont font(dlg, nDpi);
    const int nCheckRoom = MulDiv(13 + 4, nDpi, 96); // the square and its gap
    const int nButtonRoom = MulDiv(2 * 3, nDpi, 96); // the frame on both sides
    for (const ControlTemplate& c : dlg.controls)
    {
        DWORD dwType = c.dwStyle & (c.strClass == "Static" ? SS_TYPEMASK : BS_TYPEMASK);
        if (c.strCaption.empty() || (c.strClass == "Static" && dwType == SS_ICON))
            continue;
        SCOPED_TRACE("'" + c.strCaption + "'");
        int nRoom = font.Width(c.cx);
        if (c.strClass == "Button")
            nRoom -= (dwType == BS_AUTOCHECKBOX || dwType == BS_CHECKBOX) ? nCheckRoom : nButtonRoom;
        EXPECT_LE(font.TextWidth(c.strCaption), nRoom) << "wide enough";
        EXPECT_LE(font.TextHeight(), font.Height(c.cy)) << "tall enough";
    }
}

void ExpectHeader(const DialogTemplate& dlg, const char* pszCaption)
{
    EXPECT_EQ(pszCaption, dlg.strCaption);
    EXPECT_EQ(8, dlg.wPointSize);
    EXPECT_EQ("MS Sans Serif", dlg.strFont);
    EXPECT_EQ(static_cast<DWORD>(WS_SYSMENU), dlg.dwStyle & WS_SYSMENU) << "a system menu, for the About entry";
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
    ExpectHeader(dlg, "Vellomar");
    ExpectControls(
        {
            {1, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP},
            {-1, "Static", "Path to Pictures:", 0},
            {1000, "Edit", "", ES_READONLY | ES_AUTOHSCROLL},
            {-1, "Button", "", BS_GROUPBOX},
            {1001, "Button", "...", WS_TABSTOP},
            {3, "Button", "Refresh list", WS_TABSTOP},
            {4, "Button", "Change now", WS_DISABLED | WS_TABSTOP},
            {1002, "Static", "Files : 0", 0},
            {1003, "Static", "Scan time : O ms", 0},
            {-1, "Button", "Statics", BS_GROUPBOX},
            {1004, "Button", "Change wallpaper on windows startup", BS_AUTOCHECKBOX | WS_TABSTOP},
        },
        dlg.controls);
    ExpectLaidOut(dlg);
    // The figures as a scan writes them, at their widest for real libraries:
    // a six-digit count, and a scan of nearly three hours.
    DialogTemplate scanned = dlg;
    for (ControlTemplate& c : scanned.controls)
        if (c.nId == IDC_FILE_COUNT)
            c.strCaption = static_cast<LPCSTR>(CSettingsDlg::FileCountText(999999));
        else if (c.nId == IDC_SCAN_TIME)
            c.strCaption = static_cast<LPCSTR>(CSettingsDlg::ScanTimeText(9999990));
    for (int nDpi : {96, 144})
    {
        ExpectTextsFit(dlg, nDpi);
        ExpectTextsFit(scanned, nDpi);
    }
}

TEST_F(ProgramResources, AboutBoxTemplate)
{
    DialogTemplate dlg = ReadTemplate(m_hModule, IDD_ABOUTBOX);
    ExpectHeader(dlg, "About Vellomar");
    ExpectControls(
        {
            {-1, "Static", "#128", SS_ICON},
            {-1, "Static", "Vellomar ", SS_NOPREFIX},
            {-1, "Static", "(C) 2005 The Vellomar team", 0},
            {1, "Button", "OK", BS_DEFPUSHBUTTON | WS_GROUP},
            {1005, "Static", "Our  home page on Orlamine - nice software archive", 0},
            {1006, "Static", "Send us your feedback", 0},
            {-1, "Static", " Version 1.0        Release  date : 04.25.2005", SS_NOPREFIX},
        },
        dlg.controls);
    for (int nDpi : {96, 144})
        ExpectTextsFit(dlg, nDpi);
    // The links take their text's width as the box opens, which is what is
    // laid out on the screen (the template's feedback line reaches under OK).
    CDialogFont font(dlg, 96);
    for (ControlTemplate& c : dlg.controls)
        if (c.nId == IDC_HOMEPAGE_LINK || c.nId == IDC_FEEDBACK_LINK)
            c.cx = static_cast<short>(font.DialogUnits(font.TextWidth(c.strCaption)) + 1);
    ExpectLaidOut(dlg);
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

    // Addresses past 2 GB, which a 32-bit program needs for a 200 MP photo.
    std::vector<unsigned char> exe = ReadBytes(VellomarExePath());
    auto pHeader = reinterpret_cast<const IMAGE_FILE_HEADER*>(&exe.at(*reinterpret_cast<DWORD*>(&exe.at(0x3C)) + 4));
    EXPECT_TRUE(pHeader->Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) << pHeader->Characteristics;

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
