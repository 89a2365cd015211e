#pragma once

#include <windows.h>

#include "platform/String.h"

// Directory search over one pattern. FindNextFile moves to the next entry and
// says whether another one follows: the entry it moved to is valid even when
// it returns FALSE, so a loop processes the last entry too.
//
// Paths come to us in the ANSI code page, as names the ANSI calls open. An
// entry whose name the code page cannot hold (a Cyrillic name under 1252), or
// whose full path is longer than those calls take, is given by its short
// name or the short form of its whole path when the volume keeps them; with
// neither, HasAnsiPath is FALSE and the entry cannot be reached through an
// ANSI path at all.
class CFileFind
{
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind();

    BOOL FindFile(LPCSTR pstrName = nullptr);
    BOOL FindNextFile();
    void Close();

    BOOL IsDots() const;
    BOOL MatchesMask(DWORD dwMask) const;
    BOOL HasAnsiPath() const { return m_bHaveCurrent && !Path().IsEmpty(); }
    // The searched folder, a backslash, and the entry's long name; else the
    // folder and its short name; else the short form of the whole path.
    // Empty when the entry has no ANSI path.
    CString GetFilePath() const { return m_bHaveCurrent ? Path() : CString(); }

private:
    BOOL SetRoot(LPCWSTR pszPattern);
    void TakeNext();
    // The entry's path, made on first use: a scan skips most entries unread.
    const CString& Path() const;
    BOOL JoinIfFits(LPCWSTR pszName) const;

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    BOOL m_bHaveCurrent = FALSE;
    BOOL m_bHaveNext = FALSE;
    WIN32_FIND_DATAW m_next = {};
    WIN32_FIND_DATAW m_current = {};
    DWORD m_dwAttributes = 0;
    BOOL m_bDots = FALSE;
    mutable BOOL m_bPathMade = FALSE;
    mutable CString m_strPath; // empty when the entry has no ANSI path
    CString m_strRoot;
    int m_nRootWide = 0; // the root's length in wide characters
    BOOL m_bRootHasSeparator = FALSE; // a drive root ("C:\") keeps its backslash
};
