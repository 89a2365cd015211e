#include "platform/ProfileText.h"

#include <cwctype>

namespace
{
// The reader counts Ctrl+Z, an old end-of-file mark, as a blank.
bool IsBlank(WCHAR ch)
{
    return iswspace(ch) || ch == L'\x1A';
}

bool IsLineEnd(WCHAR ch)
{
    return ch == L'\r' || ch == L'\n';
}

// [nBegin, nEnd) without the blanks at either end.
void Trim(const std::wstring& str, size_t& nBegin, size_t& nEnd)
{
    while (nBegin < nEnd && IsBlank(str[nBegin]))
        ++nBegin;
    while (nEnd > nBegin && IsBlank(str[nEnd - 1]))
        --nEnd;
}

std::wstring Trimmed(LPCWSTR psz)
{
    std::wstring str(psz);
    size_t nBegin = 0, nEnd = str.size();
    Trim(str, nBegin, nEnd);
    return str.substr(nBegin, nEnd - nBegin);
}

bool IsSameName(const std::wstring& strText, size_t nBegin, size_t nEnd, const std::wstring& strName)
{
    return ::CompareStringOrdinal(strText.c_str() + nBegin, static_cast<int>(nEnd - nBegin), strName.c_str(),
                                  static_cast<int>(strName.size()), TRUE) == CSTR_EQUAL;
}
} // namespace

BOOL FindProfileValue(const std::wstring& strText, LPCWSTR pszSection, LPCWSTR pszKey, std::wstring& strValue)
{
    strValue.clear();
    const std::wstring strSection = Trimmed(pszSection), strKey = Trimmed(pszKey);
    // Lines before the first header belong to the section without a name.
    bool bInSection = strSection.empty();
    for (size_t nNext = 0; nNext < strText.size();)
    {
        size_t nBegin = nNext, nEnd = nBegin;
        while (nEnd < strText.size() && !IsLineEnd(strText[nEnd]))
            ++nEnd;
        nNext = nEnd;
        while (nNext < strText.size() && IsLineEnd(strText[nNext]))
            ++nNext;
        Trim(strText, nBegin, nEnd);
        if (nBegin == nEnd)
            continue;

        // Both searches stay within the line, so that each line is looked
        // at once whatever the lines before it hold.
        size_t nClose = nEnd - 1;
        if (strText[nBegin] == L'[')
            while (nClose > nBegin && strText[nClose] != L']')
                --nClose;
        if (strText[nBegin] == L'[' && nClose > nBegin)
        {
            // Only the first section of the name is searched.
            if (bInSection)
                return FALSE;
            size_t nNameBegin = nBegin + 1;
            Trim(strText, nNameBegin, nClose);
            bInSection = IsSameName(strText, nNameBegin, nClose, strSection);
            continue;
        }
        if (!bInSection)
            continue;
        size_t nEquals = nBegin;
        while (nEquals < nEnd && strText[nEquals] != L'=')
            ++nEquals;
        size_t nNameEnd = nEquals;
        size_t nNameBegin = nBegin;
        Trim(strText, nNameBegin, nNameEnd);
        if (!IsSameName(strText, nNameBegin, nNameEnd, strKey))
            continue;
        // The first line of the key decides, even one without a value.
        if (nEquals >= nEnd)
            return FALSE;
        size_t nValueBegin = nEquals + 1;
        Trim(strText, nValueBegin, nEnd);
        if (nEnd - nValueBegin >= 2 && (strText[nValueBegin] == L'"' || strText[nValueBegin] == L'\'') &&
            strText[nEnd - 1] == strText[nValueBegin])
        {
            ++nValueBegin;
            --nEnd;
        }
        strValue = strText.substr(nValueBegin, nEnd - nValueBegin);
        return TRUE;
    }
    return FALSE;
}
