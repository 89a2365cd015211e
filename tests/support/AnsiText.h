#pragma once

#include <windows.h>

#include <string>

// A name in the ANSI code page, widened; and whether a wide name has an exact
// ANSI form (no best-fit look-alike).
std::wstring Widen(const std::string& strAnsi);
bool HasAnsiForm(const std::wstring& strWide);
