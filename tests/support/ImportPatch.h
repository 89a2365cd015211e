#pragma once

#include <windows.h>

#include <string>

// Points the test program's own import of a system function at another one
// while it lives: the product's code linked into the test then calls the
// replacement. For what wine cannot make, such as a volume that keeps no
// short names.
class CImportPatch
{
public:
    CImportPatch(const char* pszModule, const char* pszFunction, const void* pfnReplacement);
    CImportPatch(const CImportPatch&) = delete;
    CImportPatch& operator=(const CImportPatch&) = delete;
    ~CImportPatch();

    bool Patched() const { return m_ppSlot != nullptr; }
    // Called by each replacement, so that a test can require that the
    // product really went through it.
    static void CountCall(const char* pszFunction);
    // The calls of this function counted since the patch was made.
    int Calls() const;

private:
    void Write(const void* pfn);

    std::string m_strFunction;

    const void** m_ppSlot = nullptr;
    const void* m_pfnOriginal = nullptr;
};

// The system's own function, for a replacement that calls on to it: the
// program's import of it may be replaced.
template <typename T>
T SystemFunction(const char* pszModule, const char* pszName)
{
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(pszModule), pszName)));
}

// GetShortPathNameW on a volume that keeps no short names (exFAT, ReFS).
DWORD WINAPI NoShortPathName(LPCWSTR pszLong, LPWSTR pszShort, DWORD cchShort);
