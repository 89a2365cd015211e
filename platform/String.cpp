#include "platform/String.h"

#include "platform/Mbcs.h"
#include "platform/ResourceHandle.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CString::CString(LPCSTR psz)
{
    if (psz)
        Assign(psz, static_cast<int>(strlen(psz)));
}

CString::CString(LPCSTR pch, int nLength)
{
    if (pch && nLength > 0)
        Assign(pch, nLength);
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
    {
        Reserve(nRepeat, FALSE);
        memset(m_pData->Chars(), ch, nRepeat);
        m_pData->nLength = nRepeat;
        m_pData->Chars()[nRepeat] = '\0';
    }
}

CString::CString(const CString& other)
{
    Assign(other, other.GetLength());
}

CString::CString(CString&& other) noexcept : m_pData(other.m_pData)
{
    other.m_pData = nullptr;
}

CString::~CString()
{
    free(m_pData);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other, other.GetLength());
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other)
    {
        free(m_pData);
        m_pData = other.m_pData;
        other.m_pData = nullptr;
    }
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    Assign(psz, psz ? static_cast<int>(strlen(psz)) : 0);
    return *this;
}

void CString::Empty()
{
    free(m_pData);
    m_pData = nullptr;
}

char CString::GetAt(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetLength()) ? m_pData->Chars()[nIndex] : '\0';
}

CString::Data* CString::Allocate(int nAlloc)
{
    Data* pData = static_cast<Data*>(malloc(sizeof(Data) + nAlloc + 1));
    if (!pData)
        ::FatalAppExitA(0, "Out of memory."); // no string, no way on: end as the runtime would
    pData->nLength = 0;
    pData->nAlloc = nAlloc;
    pData->Chars()[0] = '\0';
    return pData;
}

void CString::Reserve(int nAlloc, BOOL bGrowGeometric)
{
    if (m_pData && m_pData->nAlloc >= nAlloc)
        return;
    if (bGrowGeometric && m_pData && nAlloc < m_pData->nAlloc * 2)
        nAlloc = m_pData->nAlloc * 2;
    Data* pNew = Allocate(nAlloc);
    if (m_pData)
    {
        memcpy(pNew->Chars(), m_pData->Chars(), m_pData->nLength + 1);
        pNew->nLength = m_pData->nLength;
        free(m_pData);
    }
    m_pData = pNew;
}

void CString::Assign(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
    {
        Empty();
        return;
    }
    // The source may live inside our own buffer (s = s.Mid(1)).
    Data* pNew = Allocate(nLength);
    memcpy(pNew->Chars(), pch, nLength);
    pNew->Chars()[nLength] = '\0';
    pNew->nLength = nLength;
    free(m_pData);
    m_pData = pNew;
}

void CString::Append(LPCSTR pch, int nLength)
{
    if (nLength <= 0)
        return;
    int nOld = GetLength();
    if (m_pData && pch >= m_pData->Chars() && pch <= m_pData->Chars() + nOld)
    {
        CString copy(pch, nLength);
        Append(copy, nLength);
        return;
    }
    Reserve(nOld + nLength, TRUE);
    memcpy(m_pData->Chars() + nOld, pch, nLength);
    m_pData->nLength = nOld + nLength;
    m_pData->Chars()[m_pData->nLength] = '\0';
}

CString& CString::operator+=(const CString& other)
{
    Append(other, other.GetLength());
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz)
        Append(psz, static_cast<int>(strlen(psz)));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

static CString Concat(LPCSTR pchLeft, int nLeft, LPCSTR pchRight, int nRight)
{
    CString result;
    LPSTR pBuffer = result.GetBuffer(nLeft + nRight);
    memcpy(pBuffer, pchLeft, nLeft);
    memcpy(pBuffer + nLeft, pchRight, nRight);
    result.ReleaseBuffer(nLeft + nRight);
    return result;
}

CString operator+(const CString& lhs, const CString& rhs)
{
    return Concat(lhs, lhs.GetLength(), rhs, rhs.GetLength());
}

CString operator+(const CString& lhs, LPCSTR rhs)
{
    return Concat(lhs, lhs.GetLength(), rhs ? rhs : "", rhs ? static_cast<int>(strlen(rhs)) : 0);
}

CString operator+(LPCSTR lhs, const CString& rhs)
{
    return Concat(lhs ? lhs : "", lhs ? static_cast<int>(strlen(lhs)) : 0, rhs, rhs.GetLength());
}

int CString::Compare(LPCSTR psz) const
{
    return strcmp(*this, psz ? psz : "");
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(*this, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return CString(static_cast<LPCSTR>(*this) + GetLength() - nCount, nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(static_cast<LPCSTR>(*this) + nFirst, nCount);
}

int CString::Delete(int nIndex, int nCount)
{
    int nLength = GetLength();
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < nLength)
    {
        if (nCount > nLength - nIndex)
            nCount = nLength - nIndex;
        char* pch = m_pData->Chars();
        memmove(pch + nIndex, pch + nIndex + nCount, nLength - nIndex - nCount + 1);
        m_pData->nLength = nLength - nCount;
    }
    return GetLength();
}

int CString::Find(char ch, int nStart) const
{
    return MbcsFind(*this, GetLength(), nStart, ch);
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    return pszSub ? MbcsFindText(*this, GetLength(), nStart, pszSub) : -1;
}

int CString::ReverseFind(char ch) const
{
    return MbcsReverseFind(*this, GetLength(), ch);
}

BOOL CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    BOOL bResult = FormatV(pszFormat, args);
    va_end(args);
    return bResult;
}

BOOL CString::FormatV(LPCSTR pszFormat, va_list args)
{
    va_list argsCopy;
    va_copy(argsCopy, args);
    int nLength = vsnprintf(nullptr, 0, pszFormat, argsCopy);
    va_end(argsCopy);
    if (nLength < 0)
    {
        Empty();
        return FALSE;
    }
    LPSTR pBuffer = GetBuffer(nLength);
    vsnprintf(pBuffer, nLength + 1, pszFormat, args);
    ReleaseBuffer(nLength);
    return TRUE;
}

BOOL CString::LoadString(UINT nID)
{
    // String resources live in blocks of 16; the block's id is nID / 16 + 1.
    HINSTANCE hModule = AfxFindResourceHandle(MAKEINTRESOURCEA(nID / 16 + 1), RT_STRING);
    char szBuffer[1024];
    int nLength = ::LoadStringA(hModule, nID, szBuffer, sizeof(szBuffer));
    Assign(szBuffer, nLength);
    return nLength > 0;
}

LPSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength < GetLength())
        nMinLength = GetLength();
    Reserve(nMinLength, FALSE);
    return m_pData->Chars();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (!m_pData)
        return;
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_pData->Chars(), m_pData->nAlloc));
    if (nNewLength > m_pData->nAlloc)
        nNewLength = m_pData->nAlloc;
    m_pData->nLength = nNewLength;
    m_pData->Chars()[nNewLength] = '\0';
    if (nNewLength == 0)
        Empty();
}
