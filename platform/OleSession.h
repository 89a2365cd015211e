#pragma once

#include <ole2.h>

// OLE, and with it COM in a single-threaded apartment, initialised on this
// thread for the life of the object. The shell's folder chooser and link
// opening need it: shell extensions (cloud drives, phones) run inside them.
class COleSession
{
public:
    COleSession() : m_hr(::OleInitialize(nullptr)) {}
    COleSession(const COleSession&) = delete;
    COleSession& operator=(const COleSession&) = delete;
    ~COleSession()
    {
        if (SUCCEEDED(m_hr))
            ::OleUninitialize();
    }

    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};
