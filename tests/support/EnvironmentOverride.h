#pragma once

#include <windows.h>

#include <string>

// An environment variable of this process, and so of the programs it
// starts, set for one scope and then put back (or removed) as it was.
class CEnvironmentOverride
{
public:
    CEnvironmentOverride(const char* pszName, const std::string& strValue)
        : m_strName(pszName), m_strOld(32767, '\0'), m_bHad(::GetEnvironmentVariableA(pszName, &m_strOld[0], 32767) > 0)
    {
        m_strOld.resize(m_strOld.find('\0'));
        ::SetEnvironmentVariableA(pszName, strValue.c_str());
    }
    CEnvironmentOverride(const CEnvironmentOverride&) = delete;
    CEnvironmentOverride& operator=(const CEnvironmentOverride&) = delete;
    ~CEnvironmentOverride() { ::SetEnvironmentVariableA(m_strName.c_str(), m_bHad ? m_strOld.c_str() : nullptr); }

private:
    std::string m_strName, m_strOld;
    bool m_bHad;
};
