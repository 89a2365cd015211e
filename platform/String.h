#pragma once

#include <windows.h>

// Counted single-byte string with value semantics.
//
// One pointer wide: an empty string holds no storage at all, a non-empty one
// points at a single heap block (header, then the bytes and their terminator).
// That keeps large path lists compact.
class CString
{
public:
    CString() = default;
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    CString(char ch, int nRepeat = 1);
    CString(const CString& other);
    CString(CString&& other) noexcept;
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(LPCSTR psz);

    int GetLength() const { return m_pData ? m_pData->nLength : 0; }
    BOOL IsEmpty() const { return GetLength() == 0; }
    void Empty();

    operator LPCSTR() const { return m_pData ? m_pData->Chars() : ""; }
    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }

    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);
    friend CString operator+(const CString& lhs, const CString& rhs);
    friend CString operator+(const CString& lhs, LPCSTR rhs);
    friend CString operator+(LPCSTR lhs, const CString& rhs);

    // Byte-wise comparison.
    int Compare(LPCSTR psz) const;

    // Counts are clamped to the string, as callers cutting paths expect.
    // The searches step over double-byte characters: a trail byte is never
    // taken for the character searched.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    int Delete(int nIndex, int nCount = 1);
    int Find(char ch, int nStart = 0) const;
    int Find(LPCSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    // printf rules. Returns FALSE (and leaves the string empty) on a bad format.
    BOOL Format(LPCSTR pszFormat, ...);
    BOOL FormatV(LPCSTR pszFormat, va_list args);

    // Loads a string resource from the module that holds it; FALSE when absent.
    BOOL LoadString(UINT nID);

    // Writable buffer of at least nMinLength bytes plus a terminator.
    // ReleaseBuffer(-1) takes the length up to the first zero byte.
    LPSTR GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    struct Data
    {
        int nLength;
        int nAlloc; // bytes available for characters, terminator excluded
        char* Chars() { return reinterpret_cast<char*>(this + 1); }
    };

    static Data* Allocate(int nAlloc);
    void Assign(LPCSTR pch, int nLength);
    void Append(LPCSTR pch, int nLength);
    void Reserve(int nAlloc, BOOL bGrowGeometric);

    Data* m_pData = nullptr;
};

inline bool operator==(const CString& lhs, LPCSTR rhs)
{
    return lhs.Compare(rhs) == 0;
}
inline bool operator==(LPCSTR lhs, const CString& rhs)
{
    return rhs.Compare(lhs) == 0;
}
inline bool operator==(const CString& lhs, const CString& rhs)
{
    return lhs.Compare(rhs) == 0;
}
inline bool operator!=(const CString& lhs, LPCSTR rhs)
{
    return lhs.Compare(rhs) != 0;
}
inline bool operator!=(LPCSTR lhs, const CString& rhs)
{
    return rhs.Compare(lhs) != 0;
}
inline bool operator!=(const CString& lhs, const CString& rhs)
{
    return lhs.Compare(rhs) != 0;
}
inline bool operator<(const CString& lhs, const CString& rhs)
{
    return lhs.Compare(rhs) < 0;
}
