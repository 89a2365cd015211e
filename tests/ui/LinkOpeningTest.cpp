// A click on a link, with the test prefix's web handlers pointed at a
// recorder program that writes down the command line it was started with.
#include "ui/UrlLabel.h"

#include "support/ChildProcess.h"
#include "support/HostWindow.h"
#include "support/MessageBoxCatcher.h"
#include "support/ProbeLabel.h"
#include "support/RegistryValues.h"
#include "support/TestFiles.h"
#include "support/UiScript.h"

#include <gtest/gtest.h>

namespace
{
const char kUrl[] = "http://example.org/vellomar";
const char kPageClass[] = "VellomarTestPage";

class LinkOpeningTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DeleteFileA(Log().c_str());
        m_hStatic = m_host.AddStatic("Send us your feedback", 0, 10, 10, 300, 20, 1006);
        m_label.SetUrl(kUrl);
        m_label.SubclassWindow(m_hStatic);
    }
    void TearDown() override
    {
        HKEY hClasses = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "", 0, KEY_ALL_ACCESS, &hClasses) == ERROR_SUCCESS)
        {
            RegDeleteTreeA(hClasses, kPageClass);
            RegCloseKey(hClasses);
        }
        DeleteFileA(Log().c_str());
    }

    static std::string Recorder() { return ProgramFolder() + "\\Recorder.exe"; }
    static std::string Log() { return ProgramFolder() + "\\Recorder.log"; }

    void SetShellCommand(const std::string& strCommand)
    {
        SetRegistryString(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", strCommand);
    }
    void SetPageCommand(const std::string& strCommand)
    {
        SetRegistryString(HKEY_CLASSES_ROOT, ".htm", "", kPageClass);
        SetRegistryString(HKEY_CLASSES_ROOT, std::string(kPageClass) + "\\shell\\open\\command", "", strCommand);
    }

    // Clicks the label as the mouse would, and returns once the click is
    // handled (a failure's box included) and the browser, if one was
    // started, has written its lines.
    std::vector<std::string> ClickAndRecord(size_t nLines)
    {
        SendMessageA(m_hStatic, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(m_hStatic, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        std::vector<std::string> lines;
        WaitUntil(
            [&] {
                lines.clear();
                std::vector<unsigned char> bytes = ReadBytes(Log());
                std::string strLog(bytes.begin(), bytes.end());
                for (size_t pos = 0, end; (end = strLog.find('\n', pos)) != std::string::npos; pos = end + 1)
                    lines.push_back(strLog.substr(pos, end - pos));
                return lines.size() >= nLines;
            },
            5000);
        return lines;
    }

    CRegistryValueGuard m_http{HKEY_CLASSES_ROOT, "http\\shell\\open\\command", ""};
    CRegistryValueGuard m_htm{HKEY_CLASSES_ROOT, ".htm", ""};
    CHostWindow m_host{400, 100};
    HWND m_hStatic = nullptr;
    CProbeLabel m_label;
};
} // namespace

TEST_F(LinkOpeningTest, ShellOpensTheUrlAndTheLinkIsVisited)
{
    SetShellCommand("\"" + Recorder() + "\" \"%1\"");
    SetPageCommand("\"" + Recorder() + "\" -fallback \"%1\"");
    CMessageBoxCatcher catcher;
    std::vector<std::string> lines = ClickAndRecord(1);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find(kUrl)) << lines[0];
    EXPECT_EQ(std::string::npos, lines[0].find("-fallback")) << "the web-page command is not used";
    EXPECT_TRUE(m_label.IsVisited());
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST_F(LinkOpeningTest, RefusedShellFallsBackToTheWebPageCommand)
{
    SetShellCommand("\"C:\\no such folder\\browser.exe\" \"%1\"");
    struct Case
    {
        std::string strCommand;
        std::string strStarted;
    } const cases[] = {
        {"\"" + Recorder() + "\" \"%1\"", "\"" + Recorder() + "\"  " + kUrl},
        {"\"" + Recorder() + "\" %1 -extra", "\"" + Recorder() + "\"  " + kUrl},
        {"\"" + Recorder() + "\" -page", "\"" + Recorder() + "\" -page " + kUrl},
    };
    CMessageBoxCatcher catcher;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.strCommand);
        DeleteFileA(Log().c_str());
        SetPageCommand(c.strCommand);
        std::vector<std::string> lines = ClickAndRecord(1);
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ(c.strStarted, lines[0]);
        EXPECT_TRUE(m_label.IsVisited());
    }
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST_F(LinkOpeningTest, FailureIsReportedAndClearsTheVisitedState)
{
    SetShellCommand("\"C:\\no such folder\\browser.exe\" \"%1\"");
    SetPageCommand("\"C:\\no such folder\\other.exe\" \"%1\"");
    m_label.SetVisited(TRUE);
    CMessageBoxCatcher catcher;
    CStartedProcesses started;
    ASSERT_TRUE(started.Counting());
    ClickAndRecord(0);
    ASSERT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ("Unable to open hyperlink:\n\nThe specified file was not found.", catcher.Boxes()[0].strText);
    EXPECT_FALSE(m_label.IsVisited());

    // No web-page class at all: the shell's own code is reported.
    DeleteRegistryValue(HKEY_CLASSES_ROOT, ".htm", "");
    ClickAndRecord(0);
    ASSERT_EQ(2u, catcher.Boxes().size());
    EXPECT_EQ("Unable to open hyperlink:\n\nThe specified file was not found.", catcher.Boxes()[1].strText);
    EXPECT_EQ(0u, started.Count()) << "nothing was started";
}

TEST_F(LinkOpeningTest, CommandThatWouldOverflowIsNotStarted)
{
    // 500 characters of command plus the URL exceed the 520-byte buffer:
    // no cut-off command is started, the shell's code stands.
    SetShellCommand("\"C:\\no such folder\\browser.exe\" \"%1\"");
    SetPageCommand("\"" + Recorder() + "\" " + std::string(250 - Recorder().size(), 'a'));
    CMessageBoxCatcher catcher;
    m_label.SetUrl(("http://example.org/" + std::string(300, 'p')).c_str());
    CStartedProcesses started;
    ASSERT_TRUE(started.Counting());
    ClickAndRecord(0);
    EXPECT_EQ(0u, started.Count()) << "no cut-off command was started";
    ASSERT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ("Unable to open hyperlink:\n\nThe specified file was not found.", catcher.Boxes()[0].strText);
}
