#pragma once

#include <windows.h>

#include <string>

// Text in the system's ANSI code page, where a character may take two bytes
// and a trail byte may equal a separator: "表" is 0x95 0x5C in code page 932.
// These scans step over whole characters, so a trail byte never matches.
// Positions are byte offsets; a start must fall on a character.

// The first ch at or after nStart, or -1.
int MbcsFind(LPCSTR psz, int nLength, int nStart, char ch);
// The first pszSub at or after nStart, or -1 (an empty pszSub is found at nStart).
int MbcsFindText(LPCSTR psz, int nLength, int nStart, LPCSTR pszSub);
// The last ch, or -1.
int MbcsReverseFind(LPCSTR psz, int nLength, char ch);

// Converts to the ANSI code page without best-fit substitutes, so that the
// result names the same file. FALSE, with an empty output, when a character
// has no exact form there (under UTF-8, a broken name such as an unpaired
// surrogate) or the output does not fit.
BOOL MbcsFromWide(LPCWSTR pszWide, LPSTR pszOut, int cbOut);

// Text of nBytes bytes (-1: up to its zero byte) in a code page, widened;
// empty where it does not decode (with MB_ERR_INVALID_CHARS).
std::wstring WideFromBytes(LPCSTR psz, int nBytes, UINT nCodePage, DWORD dwFlags = 0);
