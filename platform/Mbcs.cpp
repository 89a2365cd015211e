#include "platform/Mbcs.h"

#include <cstring>

namespace
{
// The code page is fixed for the life of the process.
BOOL IsDoubleByteCodePage()
{
    static const BOOL s_bDoubleByte = [] {
        CPINFO info = {};
        return ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    }();
    return s_bDoubleByte;
}

// Bytes taken by the character at psz (1 or 2); a lead byte cut off by the
// end of the text counts alone.
int CharSize(LPCSTR psz, int nLeft)
{
    return nLeft > 1 && IsDoubleByteCodePage() && ::IsDBCSLeadByte(static_cast<BYTE>(*psz)) ? 2 : 1;
}
} // namespace

int MbcsFind(LPCSTR psz, int nLength, int nStart, char ch)
{
    if (nStart < 0)
        return -1;
    for (int i = nStart; i < nLength; i += CharSize(psz + i, nLength - i))
        if (psz[i] == ch)
            return i;
    return -1;
}

int MbcsFindText(LPCSTR psz, int nLength, int nStart, LPCSTR pszSub)
{
    if (nStart < 0 || nStart > nLength)
        return -1;
    int nSub = static_cast<int>(strlen(pszSub));
    for (int i = nStart; i + nSub <= nLength; i += CharSize(psz + i, nLength - i))
        if (memcmp(psz + i, pszSub, static_cast<size_t>(nSub)) == 0)
            return i;
    return -1;
}

int MbcsReverseFind(LPCSTR psz, int nLength, char ch)
{
    // Forwards, since only a walk from the start knows where characters begin.
    int nHit = -1;
    for (int i = 0; i < nLength; i += CharSize(psz + i, nLength - i))
        if (psz[i] == ch)
            nHit = i;
    return nHit;
}

BOOL MbcsFromWide(LPCWSTR pszWide, LPSTR pszOut, int cbOut)
{
    if (cbOut <= 0)
        return FALSE;
    // UTF-8 as the ANSI code page holds every well-formed name; a broken
    // one (an unpaired surrogate) must fail rather than turn into U+FFFD,
    // which names another file.
    BOOL bUtf8 = ::GetACP() == CP_UTF8;
    BOOL bUsedDefault = FALSE;
    int nWritten = ::WideCharToMultiByte(bUtf8 ? CP_UTF8 : CP_ACP, bUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                                         pszWide, -1, pszOut, cbOut, nullptr, bUtf8 ? nullptr : &bUsedDefault);
    if (nWritten == 0 || bUsedDefault)
    {
        pszOut[0] = '\0';
        return FALSE;
    }
    return TRUE;
}

std::wstring WideFromBytes(LPCSTR psz, int nBytes, UINT nCodePage, DWORD dwFlags)
{
    int nChars = ::MultiByteToWideChar(nCodePage, dwFlags, psz, nBytes, nullptr, 0);
    std::wstring str(static_cast<size_t>(nChars > 0 ? nChars : 0), L'\0');
    if (nChars > 0)
        ::MultiByteToWideChar(nCodePage, dwFlags, psz, nBytes, &str[0], nChars);
    if (nBytes < 0 && !str.empty())
        str.pop_back(); // the terminator
    return str;
}
