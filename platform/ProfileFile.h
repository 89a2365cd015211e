#pragma once

#include <windows.h>

#include "platform/String.h"

#include <string>

// A settings file in the profile format that every build reads alike: one
// running under the system's legacy ANSI code page and one running under
// UTF-8 (which takes a file without a byte-order mark as UTF-8).
//
// Reading never changes the file. A file with a UTF-16LE byte-order mark is
// read by the profile calls as it is; one without is decoded as UTF-8 where
// its bytes are valid UTF-8, else in the system's ANSI code page, and its
// UTF-16 copy is read by the same calls, so their own rules parse the value.
//
// Writing leaves a file of ASCII as it is while the value is ASCII too; any
// other write first turns the file, whole and atomically, into UTF-16LE with
// a byte-order mark, which both builds read exactly.
class CProfileFile
{
public:
    // Where both decodings are possible, the one whose value of the key
    // asked for pfnPrefer accepts wins (say, the one naming an existing
    // folder); without a preference, UTF-8.
    CProfileFile(LPCSTR lpszPath, BOOL (*pfnPrefer)(LPCWSTR pszValue));

    // The value whole, or empty when the file, the section or the key is
    // missing or the file cannot be read.
    std::wstring ReadString(LPCWSTR pszSection, LPCWSTR pszKey) const;
    // FALSE when the file could not be read, converted or written; the
    // file then keeps its content.
    BOOL WriteString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue) const;

private:
    enum Contents
    {
        kMissing,
        kUnreadable,
        kUtf16,
        kAscii,
        kOtherBytes
    };
    Contents ReadBytes(std::string& strBytes) const;
    // The text of a file of other bytes in the decoding that wins for the key.
    std::wstring DecodeFor(const std::string& strBytes, LPCWSTR pszSection, LPCWSTR pszKey) const;

    CString m_strFile;
    std::wstring m_strPath; // the same, wide, for the profile calls
    BOOL (*m_pfnPrefer)(LPCWSTR);
};
