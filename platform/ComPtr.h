#pragma once

// Owner of one COM interface reference, or of none; releases it when the
// scope ends.
template <class T>
class CComPtr
{
public:
    CComPtr() = default;
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    ~CComPtr() { Release(); }

    void Release()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }
    // For the creating call's out-parameter; drops what was held first.
    T** Receive()
    {
        Release();
        return &m_p;
    }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }

private:
    T* m_p = nullptr;
};
