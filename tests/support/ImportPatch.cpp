#include "ImportPatch.h"

#include <map>

namespace
{
std::map<std::string, int> g_calls; // by function name
} // namespace

void CImportPatch::CountCall(const char* pszFunction)
{
    ++g_calls[pszFunction];
}

int CImportPatch::Calls() const
{
    return g_calls[m_strFunction];
}

CImportPatch::CImportPatch(const char* pszModule, const char* pszFunction, const void* pfnReplacement)
    : m_strFunction(pszFunction)
{
    g_calls[m_strFunction] = 0;
    BYTE* pBase = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
    auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* pDescriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + imports.VirtualAddress);
    for (; imports.VirtualAddress && pDescriptor->Name; ++pDescriptor)
    {
        if (lstrcmpiA(reinterpret_cast<const char*>(pBase + pDescriptor->Name), pszModule) != 0)
            continue;
        auto* pName = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDescriptor->OriginalFirstThunk);
        auto* pSlot = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pDescriptor->FirstThunk);
        for (; pName->u1.AddressOfData; ++pName, ++pSlot)
        {
            if (IMAGE_SNAP_BY_ORDINAL(pName->u1.Ordinal))
                continue;
            auto* pByName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(pBase + pName->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(pByName->Name), pszFunction) != 0)
                continue;
            m_ppSlot = reinterpret_cast<const void**>(&pSlot->u1.Function);
            m_pfnOriginal = *m_ppSlot;
            Write(pfnReplacement);
            return;
        }
    }
}

CImportPatch::~CImportPatch()
{
    if (m_ppSlot)
        Write(m_pfnOriginal);
}

void CImportPatch::Write(const void* pfn)
{
    DWORD dwOld = 0;
    VirtualProtect(m_ppSlot, sizeof(*m_ppSlot), PAGE_READWRITE, &dwOld);
    *m_ppSlot = pfn;
    VirtualProtect(m_ppSlot, sizeof(*m_ppSlot), dwOld, &dwOld);
}

DWORD WINAPI NoShortPathName(LPCWSTR, LPWSTR, DWORD)
{
    CImportPatch::CountCall("GetShortPathNameW");
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}
