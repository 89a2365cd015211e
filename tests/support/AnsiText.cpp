#include "AnsiText.h"

std::wstring Widen(const std::string& strAnsi)
{
    std::wstring strWide(strAnsi.size() + 1, L'\0');
    int nLength = MultiByteToWideChar(CP_ACP, 0, strAnsi.c_str(), -1, &strWide[0], static_cast<int>(strWide.size()));
    strWide.resize(nLength > 0 ? nLength - 1 : 0);
    return strWide;
}

bool HasAnsiForm(const std::wstring& strWide)
{
    char szAnsi[2 * MAX_PATH];
    BOOL bUsedDefault = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strWide.c_str(), -1, szAnsi, sizeof(szAnsi), nullptr,
                               &bUsedDefault) > 0 &&
           !bUsedDefault;
}

std::string Encode(const std::wstring& str, UINT nCodePage)
{
    std::string strOut(str.size() * 4 + 1, '\0');
    int n = WideCharToMultiByte(nCodePage, 0, str.c_str(), -1, &strOut[0], static_cast<int>(strOut.size()), nullptr,
                                nullptr);
    strOut.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return strOut;
}

std::string Utf16Bytes(const std::wstring& str, bool bBigEndian)
{
    std::string strOut;
    for (wchar_t ch : str)
    {
        char low = static_cast<char>(ch & 0xFF), high = static_cast<char>(ch >> 8);
        strOut += bBigEndian ? high : low;
        strOut += bBigEndian ? low : high;
    }
    return strOut;
}
