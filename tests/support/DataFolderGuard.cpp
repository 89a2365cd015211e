#include "DataFolderGuard.h"

#include "TestFiles.h"

#include <windows.h>

CDataFolderGuard::CDataFolderGuard() : m_strFolder(DataFolder()), m_strSaved(DataFolder() + ".saved-by-test")
{
    RemoveTree(m_strSaved);
    m_bMoved = ::MoveFileA(m_strFolder.c_str(), m_strSaved.c_str()) != FALSE;
}

CDataFolderGuard::~CDataFolderGuard()
{
    RemoveTree(m_strFolder);
    if (m_bMoved)
        ::MoveFileA(m_strSaved.c_str(), m_strFolder.c_str());
}

void CDataFolderGuard::Configure(const std::string& strPicturesPath) const
{
    MakeFolder(m_strFolder);
    ::WritePrivateProfileStringA("main", "PicturesPath", strPicturesPath.c_str(),
                                 (m_strFolder + "\\config.cfg").c_str());
}
