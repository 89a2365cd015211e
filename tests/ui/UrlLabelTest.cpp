#include "ui/UrlLabel.h"

#include "support/ProbeLabel.h"

#include "support/HostWindow.h"
#include "support/MessageBoxCatcher.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"
#include "support/WindowLookup.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
const UINT_PTR kHoverTimer = 100; // the label's own timer, on its window
const COLORREF kLink = RGB(0, 0, 238);
const COLORREF kVisited = RGB(85, 26, 139);
const COLORREF kHover = RGB(255, 0, 0);

RECT ToolRect(HWND hTip, HWND hLabel)
{
    TOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = hLabel;
    ti.uId = 1;
    SendMessageA(hTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti));
    return ti.rect;
}

bool IsUnderlined(HWND hLabel)
{
    HFONT hFont = reinterpret_cast<HFONT>(SendMessageA(hLabel, WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    GetObjectA(hFont, sizeof(lf), &lf);
    return lf.lfUnderline != 0;
}

SIZE UnderlinedExtent(CProbeLabel& label, const char* pszText)
{
    HDC hDC = GetDC(label.m_hWnd);
    HGDIOBJ hOld = SelectObject(hDC, label.UnderlinedFont());
    SIZE size = {};
    GetTextExtentPoint32A(hDC, pszText, lstrlenA(pszText), &size);
    SelectObject(hDC, hOld);
    ReleaseDC(label.m_hWnd, hDC);
    return size;
}

void MovePointerTo(HWND hWnd, int x, int y)
{
    POINT pt = {x, y};
    ClientToScreen(hWnd, &pt);
    SetCursorPos(pt.x, pt.y);
}
} // namespace

TEST(UrlLabel, TakesItsTargetFromTheText)
{
    struct Case
    {
        const char* pszText;
        const char* pszTip;
    } const cases[] = {
        {"www.example.org", "Go to www.example.org"},
        {"WwW.Example.org", "Go to WwW.Example.org"},
        {"see www.example.org", "see www.example.org"},
        {"HTTP://Example.org/a", "Go to Example.org/a"},
        {"mailto:team@example.org", "E-mail team@example.org"},
        {"https://example.org", "https://example.org"},
        {"abc", "abc"},
    };
    CHostWindow host;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszText);
        HWND hStatic = host.AddStatic(c.pszText, 0, 10, 10, 300, 20);
        CProbeLabel label;
        ASSERT_TRUE(label.SubclassWindow(hStatic));
        EXPECT_EQ(c.pszTip, TipTextFor(hStatic));
        EXPECT_EQ(c.pszText, WindowText(hStatic)) << "the window text stays";
        EXPECT_TRUE(GetWindowLongA(hStatic, GWL_STYLE) & SS_NOTIFY);
        DestroyWindow(hStatic);
    }
}

TEST(UrlLabel, UrlSetBeforeAttachmentWins)
{
    CHostWindow host;
    CProbeLabel label;
    label.SetUrl("mailto:someone@example.org"); // no window yet: only stored
    HWND hStatic = host.AddStatic("www.other.example", 0, 10, 10, 300, 20);
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    EXPECT_EQ("E-mail someone@example.org", TipTextFor(hStatic));
    EXPECT_EQ("www.other.example", WindowText(hStatic));

    CProbeLabel blank;
    blank.SetUrl("http://example.org/blank");
    HWND hBlank = host.AddStatic("", 0, 10, 40, 300, 20, 101);
    ASSERT_TRUE(blank.SubclassWindow(hBlank));
    EXPECT_EQ("http://example.org/blank", WindowText(hBlank)) << "an empty text shows the URL";
}

TEST(UrlLabel, ColourFollowsHoverAndVisitedState)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("www.example.org", 0, 10, 10, 300, 20);
    CProbeLabel label;
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    EXPECT_EQ(kLink, LabelTextColour(host.m_hWnd, hStatic));
    label.SetVisited(TRUE);
    EXPECT_EQ(kVisited, LabelTextColour(host.m_hWnd, hStatic));

    MovePointerTo(host.m_hWnd, 450, 250); // away from the label
    SendMessageA(hStatic, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(kHover, LabelTextColour(host.m_hWnd, hStatic));
    label.SetVisited(FALSE);
    EXPECT_EQ(kHover, LabelTextColour(host.m_hWnd, hStatic)) << "hover wins over visited";
    EXPECT_TRUE(WaitUntil([&] { return !label.IsHot(); }, 5000)) << "the hover timer notices the pointer is outside";
    EXPECT_EQ(kLink, LabelTextColour(host.m_hWnd, hStatic));
}

TEST(UrlLabel, HoverUnderlinesUntilATickFindsThePointerOutside)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("www.example.org", 0, 10, 10, 300, 20);
    CProbeLabel label;
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    EXPECT_FALSE(IsUnderlined(hStatic));
    RECT rcClient;
    GetClientRect(hStatic, &rcClient);

    // Inside: the hover survives the ticks.
    MovePointerTo(hStatic, 1, 1);
    SendMessageA(hStatic, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_TRUE(IsUnderlined(hStatic));
    ASSERT_TRUE(WaitForTimerTicks(hStatic, kHoverTimer, 2));
    EXPECT_TRUE(label.IsHot());
    EXPECT_TRUE(IsUnderlined(hStatic));

    // The right edge counts as outside, and so does the bottom edge.
    for (POINT pt : {POINT{rcClient.right, 1}, POINT{1, rcClient.bottom}})
    {
        SCOPED_TRACE(testing::Message() << pt.x << "," << pt.y);
        MovePointerTo(hStatic, 1, 1);
        SendMessageA(hStatic, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        EXPECT_TRUE(label.IsHot());
        MovePointerTo(hStatic, pt.x, pt.y);
        EXPECT_TRUE(WaitUntil([&] { return !label.IsHot(); }, 5000));
        EXPECT_FALSE(IsUnderlined(hStatic));
    }
    EXPECT_FALSE(KillTimer(hStatic, kHoverTimer)) << "the timer runs only while hot";
}

TEST(UrlLabel, UnderlineModes)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("www.example.org", 0, 10, 10, 300, 20);
    CProbeLabel label;
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    MovePointerTo(host.m_hWnd, 450, 250);

    label.m_nSetFont = 0;
    label.SetUnderlineMode(CUrlLabel::UnderlineOnHover); // the current mode
    EXPECT_EQ(0, label.m_nSetFont) << "no font sent for the current mode";

    label.SetUnderlineMode(CUrlLabel::UnderlineAlways);
    EXPECT_EQ(1, label.m_nSetFont);
    EXPECT_TRUE(IsUnderlined(hStatic));
    SendMessageA(hStatic, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(kHover, LabelTextColour(host.m_hWnd, hStatic));
    EXPECT_TRUE(WaitUntil([&] { return LabelTextColour(host.m_hWnd, hStatic) == kLink; }, 5000)) << "the colour changes";
    EXPECT_EQ(1, label.m_nSetFont) << "the font never does";
    EXPECT_TRUE(IsUnderlined(hStatic));

    label.SetUnderlineMode(CUrlLabel::UnderlineNever);
    EXPECT_FALSE(IsUnderlined(hStatic));
    SendMessageA(hStatic, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_FALSE(IsUnderlined(hStatic)) << "never underlined, even over it";
    EXPECT_TRUE(WaitUntil([&] { return LabelTextColour(host.m_hWnd, hStatic) == kLink; }, 5000))
        << "the link colour once the pointer is found outside";
    EXPECT_FALSE(IsUnderlined(hStatic));
}

TEST(UrlLabel, TipAppearsWhileThePointerRestsOnIt)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("www.example.org", 0, 10, 10, 300, 20);
    CProbeLabel label;
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    ASSERT_FALSE(IsWindowVisible(label.TipWindow()));
    // The pointer rests on the label; the dialog's loop would relay the move.
    MovePointerTo(hStatic, 5, 5);
    MSG msg = {hStatic, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), GetTickCount(), {}};
    GetCursorPos(&msg.pt);
    label.PreTranslateMessage(&msg);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(label.TipWindow()) != FALSE; }, 3000));
    EXPECT_EQ("Go to www.example.org", WindowText(label.TipWindow()));
}

TEST(UrlLabel, FitsItsWindowToTheText)
{
    struct Case
    {
        const char* pszName;
        DWORD dwStyle;
        int nWidth;
        int nHeight;
    } const cases[] = {
        {"left", SS_LEFT, 301, 31},         {"right", SS_RIGHT, 301, 31},
        {"centre odd", SS_CENTER, 301, 31}, {"centre even", SS_CENTER, 300, 30},
        {"centre grows", SS_CENTER, 11, 5}, {"centre image", SS_CENTERIMAGE, 301, 31},
    };
    const char kText[] = "Send us your feedback";
    CHostWindow host;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const int x = 40;
        const int y = 50;
        HWND hStatic = host.AddStatic(kText, c.dwStyle, x, y, c.nWidth, c.nHeight);
        CProbeLabel label;
        ASSERT_TRUE(label.SubclassWindow(hStatic));
        SIZE text = UnderlinedExtent(label, kText);
        RECT rc = host.ChildRect(hStatic);

        // On each axis the window takes the text's extent (centred, within
        // the one pixel that an odd difference leaves), and the anchored
        // edge, or the centre, stays where it was.
        auto expectAxis = [](const char* pszAxis, int nText, int nLow, int nHigh, int nWas, int nWasSize, bool bCentred,
                             bool bFarAnchored) {
            SCOPED_TRACE(pszAxis);
            EXPECT_NEAR(nText, nHigh - nLow, bCentred ? 1 : 0);
            if (bCentred)
                EXPECT_EQ(2 * nWas + nWasSize, nLow + nHigh) << "the centre stays";
            else if (bFarAnchored)
                EXPECT_EQ(nWas + nWasSize, nHigh) << "the far edge stays";
            else
                EXPECT_EQ(nWas, nLow) << "the near edge stays";
        };
        expectAxis("width", text.cx, rc.left, rc.right, x, c.nWidth, c.dwStyle & SS_CENTER, c.dwStyle & SS_RIGHT);
        expectAxis("height", text.cy, rc.top, rc.bottom, y, c.nHeight, c.dwStyle & SS_CENTERIMAGE, false);
        DestroyWindow(hStatic);
    }
}

TEST(UrlLabel, SetUrlRefitsAndRetipsButKeepsTheToolRectangle)
{
    CHostWindow host;
    HWND hStatic = host.AddStatic("short", 0, 10, 10, 300, 20);
    CProbeLabel label;
    ASSERT_TRUE(label.SubclassWindow(hStatic));
    RECT rcTool = ToolRect(label.TipWindow(), hStatic);
    RECT rcBefore = host.ChildRect(hStatic);

    SetWindowTextA(hStatic, "a much longer text than before");
    label.SetUrl("http://example.org/new");
    RECT rcAfter = host.ChildRect(hStatic);
    EXPECT_EQ(UnderlinedExtent(label, "a much longer text than before").cx, rcAfter.right - rcAfter.left);
    EXPECT_GT(rcAfter.right, rcBefore.right);
    EXPECT_EQ("Go to example.org/new", TipTextFor(hStatic));
    EXPECT_EQ("a much longer text than before", WindowText(hStatic));
    RECT rcToolAfter = ToolRect(label.TipWindow(), hStatic);
    EXPECT_TRUE(EqualRect(&rcTool, &rcToolAfter));
}

// The image of a cursor: hot spot and mask and colour bits.
std::vector<BYTE> CursorImage(HCURSOR hCursor)
{
    std::vector<BYTE> image;
    ICONINFO info = {};
    if (!GetIconInfo(hCursor, &info))
        return image;
    image.push_back(static_cast<BYTE>(info.xHotspot));
    image.push_back(static_cast<BYTE>(info.yHotspot));
    for (HBITMAP hBitmap : {info.hbmMask, info.hbmColor})
    {
        if (!hBitmap)
            continue;
        BITMAP bm = {};
        GetObjectA(hBitmap, sizeof(bm), &bm);
        std::vector<BYTE> bits(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
        GetBitmapBits(hBitmap, static_cast<LONG>(bits.size()), bits.data());
        image.insert(image.end(), bits.begin(), bits.end());
        DeleteObject(hBitmap);
    }
    return image;
}

TEST(UrlLabel, OwnsItsCursorAndFonts)
{
    // The label's hand comes from the Windows folder's help program, read as
    // data. A stand-in with its own cursor 106 takes its place for the test;
    // a help program the prefix has is put back afterwards.
    char szWindows[MAX_PATH];
    GetWindowsDirectoryA(szWindows, MAX_PATH);
    std::string strHelp = std::string(szWindows) + "\\winhlp32.exe";
    std::string strSaved = strHelp + ".vellomar-test";
    std::string strStandIn = ProgramFolder() + "\\HandCursorModule.exe";
    bool bHadOne = FileExists(strHelp);
    ASSERT_TRUE(!bHadOne || MoveFileExA(strHelp.c_str(), strSaved.c_str(), MOVEFILE_REPLACE_EXISTING));
    struct HelpProgramRestore
    {
        std::string strPath, strSaved;
        bool bHadOne;
        ~HelpProgramRestore()
        {
            DeleteFileA(strPath.c_str());
            if (bHadOne)
                MoveFileA(strSaved.c_str(), strPath.c_str());
        }
    } restore{strHelp, strSaved, bHadOne};
    ASSERT_TRUE(CopyFileA(strStandIn.c_str(), strHelp.c_str(), TRUE));
    HMODULE hStandIn = LoadLibraryExA(strStandIn.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::vector<BYTE> standInHand = CursorImage(LoadCursorA(hStandIn, MAKEINTRESOURCEA(106)));
    FreeLibrary(hStandIn);
    std::vector<BYTE> systemHand = CursorImage(LoadCursorA(nullptr, IDC_HAND));
    ASSERT_FALSE(standInHand.empty());
    ASSERT_NE(standInHand, systemHand) << "the two sources must be told apart";

    CHostWindow host;
    HFONT hPlain = nullptr;
    HFONT hUnderlined = nullptr;
    HCURSOR hCursor = nullptr;
    {
        HWND hStatic = host.AddStatic("www.example.org", 0, 10, 10, 300, 20);
        CProbeLabel label;
        ASSERT_TRUE(label.SubclassWindow(hStatic));
        hCursor = label.Cursor();
        EXPECT_EQ(standInHand, CursorImage(hCursor)) << "cursor 106 of the help program";
        EXPECT_EQ(TRUE, SendMessageA(hStatic, WM_SETCURSOR, reinterpret_cast<WPARAM>(hStatic), HTCLIENT));
        EXPECT_EQ(hCursor, GetCursor());

        label.SetLinkCursor(nullptr);
        EXPECT_NE(nullptr, label.Cursor());
        ICONINFO info;
        EXPECT_FALSE(GetIconInfo(hCursor, &info)) << "the replaced cursor is destroyed";

        hCursor = label.Cursor();
        hPlain = label.PlainFont();
        hUnderlined = label.UnderlinedFont();
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(hPlain));
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(hUnderlined));
        DestroyWindow(hStatic);
    }
    EXPECT_EQ(0u, GetObjectType(hPlain)) << "both fonts deleted with the label";
    EXPECT_EQ(0u, GetObjectType(hUnderlined));
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(hCursor, &info)) << "and its cursor";
    DeleteFileA(strHelp.c_str());

    // Without the help program: a private copy of the system's hand, which
    // the label may destroy without harming the shared one.
    HWND hStatic = host.AddStatic("www.example.org", 0, 10, 10, 300, 20);
    {
        CProbeLabel bare;
        ASSERT_TRUE(bare.SubclassWindow(hStatic));
        hCursor = bare.Cursor();
        EXPECT_EQ(systemHand, CursorImage(hCursor));
        EXPECT_NE(LoadCursorA(nullptr, IDC_HAND), hCursor);
        EXPECT_EQ(TRUE, SendMessageA(hStatic, WM_SETCURSOR, reinterpret_cast<WPARAM>(hStatic), HTCLIENT));
        DestroyWindow(hStatic);
    }
    EXPECT_EQ(systemHand, CursorImage(LoadCursorA(nullptr, IDC_HAND)));
}

TEST(UrlLabel, ReportsFailureCodesInWordsAndOthersByNumber)
{
    struct Case
    {
        int nCode;
        const char* pszText;
    } const cases[] = {
        // A few of the shell's codes, in words; any other code by its number.
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {31, "There is no application associated\nwith the given filename extension."},
        {4, "Unknown Error (4) occurred."},
        {-5, "Unknown Error (-5) occurred."},
        {33, "Unknown Error (33) occurred."},
    };
    CProbeLabel label;
    CMessageBoxCatcher catcher;
    for (const Case& c : cases)
        label.ReportLaunchError(c.nCode);
    ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), catcher.Boxes().size());
    for (size_t i = 0; i < catcher.Boxes().size(); ++i)
    {
        SCOPED_TRACE(cases[i].nCode);
        EXPECT_EQ(std::string("Unable to open hyperlink:\n\n") + cases[i].pszText, catcher.Boxes()[i].strText);
        EXPECT_EQ("ui_tests", catcher.Boxes()[i].strCaption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), catcher.Boxes()[i].nIcon);
    }
}
