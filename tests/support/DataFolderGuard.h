#pragma once

#include <string>

// Moves the user's Vellomar data folder of the test prefix aside for one
// test and puts it back afterwards; the test starts with no data folder.
class CDataFolderGuard
{
public:
    CDataFolderGuard();
    CDataFolderGuard(const CDataFolderGuard&) = delete;
    CDataFolderGuard& operator=(const CDataFolderGuard&) = delete;
    ~CDataFolderGuard();

    // Creates the data folder with "PicturesPath" set in its settings file.
    void Configure(const std::string& strPicturesPath) const;

private:
    std::string m_strFolder;
    std::string m_strSaved;
    bool m_bMoved = false;
};
