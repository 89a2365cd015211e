#pragma once

#include <windows.h>

#include <string>

// Finds a key's value in the text of a profile file by the rules of the
// system's profile reader, for the forms of file that the reader cannot
// take as they are: section and key names compared without case, the first
// section of the name and the first key in it, blanks around names and
// values trimmed, one pair of enclosing quotes removed, CR LF, LF and CR
// line ends alike, lines before any section in a section of their own.
//
// TRUE with the value when the section holds the key with an "=", else FALSE
// with an empty value.
BOOL FindProfileValue(const std::wstring& strText, LPCWSTR pszSection, LPCWSTR pszKey, std::wstring& strValue);
