#pragma once

#include <windows.h>

#include "platform/String.h"

// Directory search over one pattern. FindNextFile moves to the next entry and
// says whether another one follows: the entry it moved to is valid even when
// it returns FALSE, so a loop processes the last entry too.
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
    // The searched folder, a backslash, and the entry's long name.
    CString GetFilePath() const;

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    BOOL m_bHaveCurrent = FALSE;
    BOOL m_bHaveNext = FALSE;
    WIN32_FIND_DATAA m_current = {};
    WIN32_FIND_DATAA m_next = {};
    CString m_strRoot;
};
