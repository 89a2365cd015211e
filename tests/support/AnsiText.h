#pragma once

#include <windows.h>

#include <string>

// A name in the ANSI code page, widened; and whether a wide name has an exact
// ANSI form (no best-fit look-alike).
std::wstring Widen(const std::string& strAnsi);
bool HasAnsiForm(const std::wstring& strWide);
// Wide text in a code page's bytes (CP_ACP: this process's).
std::string Encode(const std::wstring& str, UINT nCodePage = CP_ACP);
// Wide text as the bytes of a file in UTF-16, big-endian where asked; the
// text carries its own mark, if any.
std::string Utf16Bytes(const std::wstring& str, bool bBigEndian = false);
