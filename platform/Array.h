#pragma once

#include <windows.h>

#include <cstdlib>
#include <new>
#include <utility>

// Growable array of values. Appending grows the storage geometrically, so a
// long series of Add calls costs amortised O(1) per element.
template <class TYPE>
class CArray
{
public:
    CArray() = default;
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    ~CArray() { SetSize(0); }

    int GetSize() const { return m_nSize; }

    // SetSize(0) destroys the elements and gives the storage back. The growth
    // step, when given (>= 0), is the fixed number of slots added per
    // reallocation; -1 keeps the current one, 0 means geometric growth.
    void SetSize(int nNewSize, int nGrowBy = -1)
    {
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize <= 0)
        {
            DestroyRange(0, m_nSize);
            free(m_pData);
            m_pData = nullptr;
            m_nSize = m_nMaxSize = 0;
            return;
        }
        if (nNewSize > m_nMaxSize)
            Grow(nNewSize);
        if (nNewSize > m_nSize)
        {
            for (int i = m_nSize; i < nNewSize; ++i)
                new (&m_pData[i]) TYPE();
        }
        else
        {
            DestroyRange(nNewSize, m_nSize);
        }
        m_nSize = nNewSize;
    }

    int Add(const TYPE& newElement)
    {
        TYPE copy(newElement); // the element may live inside this array
        return Add(std::move(copy));
    }

    int Add(TYPE&& newElement)
    {
        if (m_nSize == m_nMaxSize)
            Grow(m_nSize + 1);
        new (&m_pData[m_nSize]) TYPE(std::move(newElement));
        return m_nSize++;
    }

    const TYPE& operator[](int nIndex) const { return m_pData[nIndex]; }
    TYPE& operator[](int nIndex) { return m_pData[nIndex]; }

private:
    void DestroyRange(int nFirst, int nEnd)
    {
        for (int i = nFirst; i < nEnd; ++i)
            m_pData[i].~TYPE();
    }

    // Elements are moved into the new block; TYPE must be nothrow movable.
    void Grow(int nMinSize)
    {
        int nNewMax = m_nGrowBy > 0 ? m_nMaxSize + m_nGrowBy : m_nMaxSize + m_nMaxSize / 2;
        if (nNewMax < 4)
            nNewMax = 4;
        if (nNewMax < nMinSize)
            nNewMax = nMinSize;
        TYPE* pNew = static_cast<TYPE*>(malloc(sizeof(TYPE) * static_cast<size_t>(nNewMax)));
        if (!pNew)
            ::FatalAppExitA(0, "Out of memory.");
        for (int i = 0; i < m_nSize; ++i)
        {
            new (&pNew[i]) TYPE(std::move(m_pData[i]));
            m_pData[i].~TYPE();
        }
        free(m_pData);
        m_pData = pNew;
        m_nMaxSize = nNewMax;
    }

    TYPE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;
};

class CString;
typedef CArray<CString> CStringArray;
