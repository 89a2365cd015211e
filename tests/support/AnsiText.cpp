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
