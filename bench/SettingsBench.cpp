// Reading the pictures folder from a settings file of 1 MB whose key comes
// after many lines that a careless finder searches past their end: lines
// without "=", and lines that open with "[" and never close it.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "platform/ProfileFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
const size_t kFileBytes = 1000 * 1000; // under the reader's 1 MiB limit

std::string Utf16(const std::wstring& strText, bool bBigEndian)
{
    std::string strBytes(bBigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (wchar_t ch : strText)
    {
        char lo = static_cast<char>(ch & 0xFF), hi = static_cast<char>(ch >> 8);
        strBytes += bBigEndian ? hi : lo;
        strBytes += bBigEndian ? lo : hi;
    }
    return strBytes;
}

bool WriteAll(const std::string& strPath, const std::string& strBytes)
{
    HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD dwWritten = 0;
    WriteFile(hFile, strBytes.data(), static_cast<DWORD>(strBytes.size()), &dwWritten, nullptr);
    CloseHandle(hFile);
    return dwWritten == strBytes.size();
}
} // namespace

void RunSettingsBench(const std::string& strWorkFolder)
{
    const char* pszRounds = getenv("VELLOMAR_BENCH_ROUNDS");
    const int nRounds = pszRounds && atoi(pszRounds) > 0 ? atoi(pszRounds) : 3;
    printf("\n### Settings read (1 MB file, the key after the filler lines; median of %d)\n\n", nRounds);
    printf("| lines | form | reader | seconds |\n");
    printf("|---|---|---|---:|\n");
    const struct
    {
        const char* pszName;
        std::wstring strHead, strLine, strTail;
    } shapes[] = {
        {"without \"=\"", L"[main]\r\n", L"a line of filler text without an equals sign\r\n", L""},
        {"\"[\" without \"]\"", L"", L"[a line of filler text that opens a bracket\r\n", L"[main]\r\n"},
    };
    for (const auto& shape : shapes)
    {
        const std::wstring strKey = shape.strTail + L"PicturesPath=C:\\Pictures\\caf\u00e9\r\n";
        const struct
        {
            const char* pszForm;
            const char* pszReader;
            size_t nCharBytes;
            std::string (*pfnEncode)(const std::wstring&);
        } forms[] = {
            {"UTF-8 with its mark", "ours", 1,
             [](const std::wstring& s) {
                 std::string strBytes(WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr), 0);
                 WideCharToMultiByte(CP_UTF8, 0, s.c_str(), -1, &strBytes[0], static_cast<int>(strBytes.size()), nullptr,
                                     nullptr);
                 strBytes.pop_back();
                 return "\xEF\xBB\xBF" + strBytes;
             }},
            {"code page 1252", "ours", 1,
             [](const std::wstring& s) {
                 std::string strBytes;
                 for (wchar_t ch : s)
                     strBytes += static_cast<char>(ch);
                 return strBytes;
             }},
            {"UTF-16BE", "ours", 2, [](const std::wstring& s) { return Utf16(s, true); }},
            {"UTF-16LE", "the system's", 2, [](const std::wstring& s) { return Utf16(s, false); }},
        };
        for (const auto& form : forms)
        {
            std::wstring strText = shape.strHead;
            while ((strText.size() + shape.strLine.size() + strKey.size()) * form.nCharBytes < kFileBytes)
                strText += shape.strLine;
            strText += strKey;
            std::string strPath = strWorkFolder + "\\settings.cfg";
            bool bOk = WriteAll(strPath, form.pfnEncode(strText));
            std::vector<double> times;
            for (int nRound = 0; nRound < nRounds; ++nRound)
            {
                CProfileFile file(strPath.c_str(), nullptr);
                double t0 = Now();
                bOk &= file.ReadString(L"main", L"PicturesPath") == L"C:\\Pictures\\caf\u00e9";
                times.push_back(Now() - t0);
            }
            printf("| %s | %s%s | %s | %.3f |\n", shape.pszName, form.pszForm, bOk ? "" : " (failed)", form.pszReader,
                   Median(times));
        }
    }
}
