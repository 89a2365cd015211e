#include "platform/ProfileText.h"

#include "support/AnsiText.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(ProfileText, FindsWhatTheSystemReaderFinds)
{
    // Each text goes through the system's reader (as a UTF-16LE file) and
    // through ours: the answers must agree, "-" where there is no value.
    const wchar_t* const texts[] = {
        L"[main]\r\nPicturesPath=C:\\a\r\n",
        L"[MAIN]\npicturespath=C:\\a\n",
        L"[main]\rPicturesPath=C:\\a\rPicturesPath=C:\\b",
        L"  [main]  \r\n \t PicturesPath \t= \t C:\\a b \t\r\n",
        L"[ main ]\r\nPicturesPath=C:\\a\r\n",
        L"[main] x\r\nPicturesPath=C:\\a\r\n",
        L"[main\r\nPicturesPath=C:\\a\r\n",
        L"[main]\r\nPicturesPath=\"C:\\a b\"\r\n",
        L"[main]\r\nPicturesPath='C:\\a'\r\n",
        L"[main]\r\nPicturesPath=\"C:\\a\r\n",
        L"[main]\r\nPicturesPath=\"\r\n",
        L"[main]\r\nPicturesPath=\"\"\r\n",
        L"[main]\r\nPicturesPath=\r\n",
        L"[main]\r\nPicturesPath = a = b\r\n",
        L"[main]\r\nPicturesPath\r\nPicturesPath=C:\\b\r\n",
        L"[main]\r\nPicturesPath=C:\\a\r\nPicturesPath=C:\\b\r\n",
        L"[main]\r\nother=1\r\n[Main]\r\nPicturesPath=C:\\b\r\n",
        L"[main]\r\n[other]\r\nPicturesPath=C:\\o\r\n[main]\r\nPicturesPath=C:\\b\r\n",
        L"PicturesPath=C:\\top\r\n[main]\r\nPicturesPath=C:\\b\r\n",
        L"PicturesPath=C:\\top\r\n",
        L"[main]\r\n;PicturesPath=C:\\c\r\n# x=y\r\nPicturesPath=C:\\b\r\n",
        L"[other]\r\nPicturesPath=C:\\o\r\n",
        L"\r\n\r\n[main]\r\n\r\nPicturesPath=C:\\Zo\u00eb \u738b\x1A\r\n",
    };
    CTempDir dir;
    int nRow = 0;
    for (const wchar_t* pszText : texts)
    {
        // A file of its own for each: the reader caches files by name and time.
        SCOPED_TRACE("row " + std::to_string(++nRow));
        const std::wstring strText(pszText), strFile = Widen(dir / ("profile" + std::to_string(nRow) + ".ini"));
        ASSERT_TRUE(WriteTextW(strFile, Utf16Bytes(L"\xFEFF" + strText)));
        WCHAR szSystem[64] = L"";
        GetPrivateProfileStringW(L"main", L"PicturesPath", L"-", szSystem, 64, strFile.c_str());
        std::wstring strOurs;
        if (!FindProfileValue(strText, L"main", L"PicturesPath", strOurs))
            strOurs = L"-";
        EXPECT_EQ(std::wstring(szSystem), strOurs);
    }
}
