#pragma once

#include <cstdlib>

// A malloc'ed block of bytes, freed when the scope ends. Get() is null when
// the allocation failed.
class CHeapBuffer
{
public:
    explicit CHeapBuffer(size_t nSize) : m_p(static_cast<unsigned char*>(malloc(nSize ? nSize : 1))) {}
    CHeapBuffer(const CHeapBuffer&) = delete;
    CHeapBuffer& operator=(const CHeapBuffer&) = delete;
    ~CHeapBuffer() { free(m_p); }

    unsigned char* Get() const { return m_p; }
    void Swap(CHeapBuffer& other)
    {
        unsigned char* p = m_p;
        m_p = other.m_p;
        other.m_p = p;
    }

private:
    unsigned char* m_p;
};
