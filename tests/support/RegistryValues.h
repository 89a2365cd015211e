#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Saves one registry value (or its absence) and puts it back when the guard
// goes, so tests leave the test prefix as they found it.
class CRegistryValueGuard
{
public:
    CRegistryValueGuard(HKEY hRoot, const std::string& strKey, const std::string& strValue);
    CRegistryValueGuard(const CRegistryValueGuard&) = delete;
    CRegistryValueGuard& operator=(const CRegistryValueGuard&) = delete;
    ~CRegistryValueGuard();

private:
    HKEY m_hRoot;
    std::string m_strKey;
    std::string m_strValue;
    bool m_bExisted = false;
    DWORD m_dwType = 0;
    std::vector<BYTE> m_data;
};

// Direct access for tests: set, read and delete values of any type.
bool SetRegistryValue(HKEY hRoot, const std::string& strKey, const std::string& strValue, DWORD dwType,
                      const void* pData, DWORD cbData);
bool SetRegistryString(HKEY hRoot, const std::string& strKey, const std::string& strValue, const std::string& strData);
bool ReadRegistryValue(HKEY hRoot, const std::string& strKey, const std::string& strValue, DWORD* pdwType,
                       std::vector<BYTE>* pData);
void DeleteRegistryValue(HKEY hRoot, const std::string& strKey, const std::string& strValue);
// A value's data as text, or strMissing when the value cannot be read.
std::string RegistryText(HKEY hRoot, const std::string& strKey, const std::string& strValue,
                         const std::string& strMissing = "");

// A string value read as wide text (what the code page cannot hold kept), or
// strMissing.
std::wstring RegistryWideText(HKEY hRoot, const std::string& strKey, const std::string& strValue,
                              const std::wstring& strMissing = L"");

extern const char kRunKey[];
extern const char kDesktopKey[];
