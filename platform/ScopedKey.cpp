#include "platform/ScopedKey.h"

void CScopedKey::Take(HKEY hKey)
{
    Close();
    m_hKey = hKey;
}

LONG CScopedKey::TakeIfOpened(LONG lResult, HKEY hKey)
{
    if (lResult == ERROR_SUCCESS)
        Take(hKey);
    return lResult;
}

LONG CScopedKey::Open(HKEY hParent, LPCSTR lpszSubKey, REGSAM samDesired)
{
    HKEY hKey = nullptr;
    LONG lResult = ::RegOpenKeyExA(hParent, lpszSubKey, 0, samDesired, &hKey);
    return TakeIfOpened(lResult, hKey);
}

LONG CScopedKey::Open(HKEY hParent, LPCWSTR lpszSubKey, REGSAM samDesired)
{
    HKEY hKey = nullptr;
    LONG lResult = ::RegOpenKeyExW(hParent, lpszSubKey, 0, samDesired, &hKey);
    return TakeIfOpened(lResult, hKey);
}

LONG CScopedKey::Create(HKEY hParent, LPCSTR lpszSubKey)
{
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    LONG lResult = ::RegCreateKeyExA(hParent, lpszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                     &hKey, &dwDisposition);
    return TakeIfOpened(lResult, hKey);
}

LONG CScopedKey::Close()
{
    if (!m_hKey)
        return ERROR_SUCCESS;
    LONG lResult = ::RegCloseKey(m_hKey);
    m_hKey = nullptr;
    return lResult;
}

LONG CScopedKey::SetStringValue(LPCWSTR lpszName, LPCWSTR lpszValue)
{
    return ::RegSetValueExW(m_hKey, lpszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                            static_cast<DWORD>((::lstrlenW(lpszValue) + 1) * sizeof(WCHAR)));
}
