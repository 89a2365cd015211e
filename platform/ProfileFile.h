#pragma once

#include <windows.h>

#include "platform/String.h"

#include <string>

class CScopedHandle;

// A settings file in the profile format, in whatever form a user's editor
// saved it, read alike by a build running under the system's legacy ANSI
// code page and one running under UTF-8.
//
// Reading needs nothing but the file and never changes it. Files of ASCII
// and files with a UTF-16LE byte-order mark go to the profile calls as they
// are, as every earlier build read them. Every other form is decoded in
// memory (UTF-16BE by its mark; UTF-8 by its mark, or where the bytes are
// valid UTF-8; else the system's ANSI code page) and its value found by
// the profile reader's own rules.
//
// Writing keeps every other line. A file of ASCII stays as it is while the
// value is ASCII too; any other write turns the whole text into UTF-16LE
// with its mark, which both builds read exactly. The write goes into a copy
// beside the file that, flushed, then takes its place with the file's
// attributes, so a failure leaves the file as it was; a file with other
// names (links) is written through in place instead. While a replace that
// failed half way has left the old file only under its backup name, that
// is read as the file. A file that is read-only, unreadable or too large is
// never replaced. Opens and replaces that meet another program holding the
// file wait for it a moment.
class CProfileFile
{
public:
    // Where both decodings of bytes are possible, the one whose value of the
    // key asked for pfnPrefer accepts wins (say, the one naming an existing
    // folder); without a preference, UTF-8.
    CProfileFile(LPCSTR lpszPath, BOOL (*pfnPrefer)(LPCWSTR pszValue));

    // The value whole, or empty when the file, the section or the key is
    // missing or the file cannot be read.
    std::wstring ReadString(LPCWSTR pszSection, LPCWSTR pszKey) const;
    // FALSE when the file could not be read, kept or written; the file then
    // keeps its content.
    BOOL WriteString(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszValue) const;

private:
    enum Form
    {
        kMissing,
        kUnreadable,
        kAscii,
        kUtf16LE,
        kUtf16BE,
        kUtf8Marked,
        kOtherBytes
    };
    // With pHold, the file stays open in it (sharing reads and writes) for
    // as long as the caller keeps it; pstrFrom gets the path read, which is
    // the backup's while only that holds the settings.
    Form ReadBytes(std::string& strBytes, CScopedHandle* pHold = nullptr, std::wstring* pstrFrom = nullptr) const;
    // The text of a file that the profile calls cannot take as it is, in the
    // decoding that wins for the key.
    std::wstring Decode(Form form, const std::string& strBytes, LPCWSTR pszSection, LPCWSTR pszKey) const;

    CString m_strFile;
    std::wstring m_strPath; // the same, wide, for the wide calls
    BOOL (*m_pfnPrefer)(LPCWSTR);
};
