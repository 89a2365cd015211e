#pragma once

#include <windows.h>

// Owner of one kernel handle (a file's, say), closed when it goes.
class CScopedHandle
{
public:
    explicit CScopedHandle(HANDLE hHandle = INVALID_HANDLE_VALUE) : m_hHandle(hHandle) {}
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    ~CScopedHandle() { Close(); }

    HANDLE Get() const { return m_hHandle; }
    bool IsValid() const { return m_hHandle != INVALID_HANDLE_VALUE && m_hHandle != nullptr; }
    void Reset(HANDLE hHandle)
    {
        Close();
        m_hHandle = hHandle;
    }
    HANDLE Release()
    {
        HANDLE hHandle = m_hHandle;
        m_hHandle = INVALID_HANDLE_VALUE;
        return hHandle;
    }
    void Close()
    {
        if (IsValid())
            ::CloseHandle(m_hHandle);
        m_hHandle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_hHandle;
};
