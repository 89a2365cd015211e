#pragma once

#include <windows.h>

#include <string>
#include <vector>

// An environment variable of this process (and so of the programs it
// starts) set for one scope, put back as it was afterwards.
class CEnvironmentOverride
{
public:
    CEnvironmentOverride(const char* pszName, const std::string& strValue) : m_strName(pszName)
    {
        DWORD nSize = ::GetEnvironmentVariableA(pszName, nullptr, 0);
        std::vector<char> old(nSize + 1, '\0');
        m_bHadValue = nSize > 0 && ::GetEnvironmentVariableA(pszName, old.data(), nSize + 1) < nSize + 1;
        m_strOld = old.data();
        ::SetEnvironmentVariableA(pszName, strValue.c_str());
    }
    CEnvironmentOverride(const CEnvironmentOverride&) = delete;
    CEnvironmentOverride& operator=(const CEnvironmentOverride&) = delete;
    ~CEnvironmentOverride() { ::SetEnvironmentVariableA(m_strName.c_str(), m_bHadValue ? m_strOld.c_str() : nullptr); }

private:
    std::string m_strName;
    std::string m_strOld;
    bool m_bHadValue = false;
};
