#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

// A shell item to choose in the folder chooser: a file-system folder by its
// path, or a virtual folder by its id list.
class CShellItem
{
public:
    explicit CShellItem(const std::wstring& strPath) : m_strPath(strPath), m_pidl(ILCreateFromPathW(strPath.c_str())) {}
    explicit CShellItem(int nFolder) { SHGetSpecialFolderLocation(nullptr, nFolder, &m_pidl); }
    CShellItem(const CShellItem&) = delete;
    CShellItem& operator=(const CShellItem&) = delete;
    ~CShellItem() { CoTaskMemFree(m_pidl); }

    const std::wstring& Path() const { return m_strPath; } // empty for a virtual folder
    LPCITEMIDLIST Pidl() const { return m_pidl; }
    std::wstring DisplayName() const
    {
        SHFILEINFOW info = {};
        SHGetFileInfoW(reinterpret_cast<LPCWSTR>(m_pidl), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME);
        return info.szDisplayName;
    }

private:
    std::wstring m_strPath;
    LPITEMIDLIST m_pidl = nullptr;
};
