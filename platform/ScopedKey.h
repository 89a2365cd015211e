#pragma once

#include <windows.h>

// Owner of one open registry key, or of none; closes it on destruction.
class CScopedKey
{
public:
    CScopedKey() = default;
    CScopedKey(const CScopedKey&) = delete;
    CScopedKey& operator=(const CScopedKey&) = delete;
    ~CScopedKey() { Close(); }

    // On failure the key held before stays held.
    LONG Open(HKEY hParent, LPCSTR lpszSubKey, REGSAM samDesired);
    LONG Open(HKEY hParent, LPCWSTR lpszSubKey, REGSAM samDesired);
    LONG Create(HKEY hParent, LPCSTR lpszSubKey);
    LONG Close();

    // Wide, so that text the ANSI code page cannot hold is stored as it is.
    LONG SetStringValue(LPCWSTR lpszName, LPCWSTR lpszValue);

    HKEY Get() const { return m_hKey; }
    operator HKEY() const { return m_hKey; }

private:
    void Take(HKEY hKey);
    // Takes a newly opened key when the platform call succeeded; its result.
    LONG TakeIfOpened(LONG lResult, HKEY hKey);

    HKEY m_hKey = nullptr;
};
