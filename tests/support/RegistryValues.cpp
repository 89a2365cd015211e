#include "RegistryValues.h"

#include "AnsiText.h"

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kDesktopKey[] = "Control Panel\\Desktop";

bool SetRegistryValue(HKEY hRoot, const std::string& strKey, const std::string& strValue, DWORD dwType,
                      const void* pData, DWORD cbData)
{
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(hRoot, strKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG lResult = ::RegSetValueExA(hKey, strValue.empty() ? nullptr : strValue.c_str(), 0, dwType,
                                    static_cast<const BYTE*>(pData), cbData);
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

bool SetRegistryString(HKEY hRoot, const std::string& strKey, const std::string& strValue, const std::string& strData)
{
    return SetRegistryValue(hRoot, strKey, strValue, REG_SZ, strData.c_str(), static_cast<DWORD>(strData.size() + 1));
}

bool ReadRegistryValue(HKEY hRoot, const std::string& strKey, const std::string& strValue, DWORD* pdwType,
                       std::vector<BYTE>* pData)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD cbData = 0;
    LPCSTR lpszName = strValue.empty() ? nullptr : strValue.c_str();
    LONG lResult = ::RegQueryValueExA(hKey, lpszName, nullptr, pdwType, nullptr, &cbData);
    if (lResult == ERROR_SUCCESS && pData)
    {
        pData->resize(cbData);
        lResult = ::RegQueryValueExA(hKey, lpszName, nullptr, pdwType, pData->data(), &cbData);
        pData->resize(cbData);
    }
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

void DeleteRegistryValue(HKEY hRoot, const std::string& strKey, const std::string& strValue)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(hRoot, strKey.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueA(hKey, strValue.empty() ? nullptr : strValue.c_str());
    ::RegCloseKey(hKey);
}

CRegistryValueGuard::CRegistryValueGuard(HKEY hRoot, const std::string& strKey, const std::string& strValue)
    : m_hRoot(hRoot), m_strKey(strKey), m_strValue(strValue)
{
    m_bExisted = ReadRegistryValue(hRoot, strKey, strValue, &m_dwType, &m_data);
}

CRegistryValueGuard::~CRegistryValueGuard()
{
    if (m_bExisted)
        SetRegistryValue(m_hRoot, m_strKey, m_strValue, m_dwType, m_data.data(), static_cast<DWORD>(m_data.size()));
    else
        DeleteRegistryValue(m_hRoot, m_strKey, m_strValue);
}

std::string RegistryText(HKEY hRoot, const std::string& strKey, const std::string& strValue,
                         const std::string& strMissing)
{
    std::vector<BYTE> data;
    if (!ReadRegistryValue(hRoot, strKey, strValue, nullptr, &data))
        return strMissing;
    data.push_back(0);
    return reinterpret_cast<const char*>(data.data());
}

std::wstring RegistryWideText(HKEY hRoot, const std::string& strKey, const std::string& strValue,
                              const std::wstring& strMissing)
{
    std::wstring strKeyWide = Widen(strKey), strValueWide = Widen(strValue);
    DWORD cbData = 0;
    if (RegGetValueW(hRoot, strKeyWide.c_str(), strValueWide.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &cbData) !=
        ERROR_SUCCESS)
        return strMissing;
    std::wstring strText(cbData / sizeof(wchar_t), L'\0');
    if (RegGetValueW(hRoot, strKeyWide.c_str(), strValueWide.c_str(), RRF_RT_REG_SZ, nullptr, &strText[0], &cbData) !=
        ERROR_SUCCESS)
        return strMissing;
    strText.resize(wcslen(strText.c_str()));
    return strText;
}
