#pragma once

#include <windows.h>

#include "platform/String.h"

// Directory search over one pattern. FindNextFile moves to the next entry and
// says whether another one follows: the entry it moved to is valid even when
// it returns FALSE, so a loop processes the last entry too.
//
// Names come to us in the ANSI code page. One that the code page cannot hold
// (a Cyrillic name under 1252) is given by its short name when the volume
// keeps one; with neither, HasAnsiName is FALSE and the entry cannot be
// reached through an ANSI path at all.
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
    BOOL HasAnsiName() const { return m_bHaveCurrent && m_szName[0] != '\0'; }
    // The searched folder, a backslash, and the entry's name: its long name,
    // or its short name where only that one has an ANSI form.
    CString GetFilePath() const;

private:
    void TakeNext();

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    BOOL m_bHaveCurrent = FALSE;
    BOOL m_bHaveNext = FALSE;
    WIN32_FIND_DATAW m_next = {};
    DWORD m_dwAttributes = 0;
    char m_szName[2 * MAX_PATH] = ""; // empty when the entry has no ANSI name
    CString m_strRoot;
    BOOL m_bRootHasSeparator = FALSE; // a drive root ("C:\") keeps its backslash
};
