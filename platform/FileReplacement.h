#pragma once

#include <windows.h>

#include "platform/String.h"

#include <string>

class CFileException;

// A file's new content, written into a partial file beside it, which then
// takes the file's place in one step: the file holds either all of the new
// content or its old one. A partial file that is not committed goes with
// the object; those that killed runs left in the folder go on the way.
class CFileReplacement
{
public:
    CFileReplacement() = default;
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;
    ~CFileReplacement();

    // Makes the partial file for strPath and writes the bytes into it.
    BOOL Begin(const CString& strPath, const void* pData, UINT nSize, CFileException* pError);
    // The partial file, for changes made through its name before the commit.
    const CString& PartialPath() const { return m_strPartial; }
    // Puts the partial file in the target's place.
    BOOL Commit(CFileException* pError);
    // For a file the user keeps (settings): the new content reaches the disk
    // before it takes the target's name, carrying the target's attributes
    // and security and the archive bit. A target with other names (hard or
    // symbolic links) is written through in place instead, opened by no one
    // else meanwhile, so that every name keeps seeing it; a failure there
    // puts the old content back. Where a failure half way leaves the old
    // content only under BackupPathOf(target), it stays there for the
    // readers; a commit that succeeds removes it.
    BOOL CommitKeepingTarget(CFileException* pError);

private:
    void Discard();
    BOOL Fail(CFileException* pError);
    BOOL FailWithLastError(CFileException* pError);

    CString m_strPath;
    CString m_strPartial;
};

// Where a settings file's old content is kept while its replacement takes
// its name: the file's name with ".bak", which the sweep of partial files
// leaves alone.
std::wstring BackupPathOf(const std::wstring& strPath);

// Writes a file whole through a replacement, so that the target (perhaps
// the current wallpaper) is never left half written.
//
// FALSE on failure, with the cause in *pError naming the target, and no
// partial file left.
BOOL ReplaceFileWhole(const CString& strPath, const void* pData, UINT nSize, CFileException* pError);

// Removes the partial files in the folder (which ends in a backslash) that
// are older than any live write: "vlm" with up to four hex digits and ".tmp",
// by their long names.
void RemoveStalePartialFiles(const CString& strFolder);
