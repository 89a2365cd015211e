#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <string>

TEST(CommandLine, TailFollowsTheRuntimeRule)
{
    struct Case
    {
        const char* pszCommandLine;
        const char* pszTail;
    } const cases[] = {
        {"Vellomar.exe", ""},
        {"Vellomar.exe /config", "/config"},
        {"Vellomar.exe   /config", "/config"},
        {"Vellomar.exe /config ", "/config "},
        {"\"C:\\Program Files\\Vellomar\\Vellomar.exe\" /c", "/c"},
        {"\"C:\\Program Files\\Vellomar\\Vellomar.exe\"/c", "/c"},
        {"C:\\Program Files\\Vellomar\\Vellomar.exe", "Files\\Vellomar\\Vellomar.exe"},
        {"\"unterminated /config", ""},
        {"prog.exe\t\t/install", "/install"},
        {"", ""},
        {"  /config", "/config"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszCommandLine);
        std::string strLine = c.pszCommandLine;
        EXPECT_STREQ(c.pszTail, AfxSkipProgramName(&strLine[0]));
    }
}
