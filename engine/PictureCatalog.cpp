#include "engine/PictureCatalog.h"

#include "state/Globals.h"
#include "platform/FileFind.h"
#include "platform/Mbcs.h"
#include "platform/MessageBox.h"

namespace
{
const char* const kPicturePatterns[] = {"\\*.jpg", "\\*.gif", "\\*.bmp"};
const char kAllEntries[] = "\\*.*";

// The folder and a pattern that starts with a backslash. A folder that ends
// in one already (a drive or share root) takes no second: "\\server\share\\*.jpg"
// finds nothing. By character, since a double-byte trail byte may be 0x5C.
CString Pattern(const CString& strFolder, LPCSTR lpszPattern)
{
    int nLength = strFolder.GetLength();
    BOOL bEndsInSeparator = nLength > 0 && MbcsReverseFind(strFolder, nLength, '\\') == nLength - 1;
    return strFolder + (bEndsInSeparator ? lpszPattern + 1 : lpszPattern);
}
} // namespace

void ScanFolder(LPCSTR lpszPath)
{
    ScanFolder(lpszPath, &g_arrPictures);
}

void ScanFolder(LPCSTR lpszPath, CStringArray* pPictures)
{
    CString strPath = lpszPath;
    if (strPath.IsEmpty() || ::GetFileAttributesA(strPath) == INVALID_FILE_ATTRIBUTES)
    {
        AfxMessageBox(CString("Path is unvalid : ") + strPath, MB_OK, 0);
        return;
    }

    CFileFind finder;
    for (LPCSTR lpszPattern : kPicturePatterns)
    {
        if (!finder.FindFile(Pattern(strPath, lpszPattern)))
            continue;
        BOOL bMore;
        do
        {
            // The entry moved to is valid even when no further one follows.
            bMore = finder.FindNextFile();
            if (finder.IsDots() || finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) || !finder.HasAnsiPath())
                continue;
            pPictures->Add(finder.GetFilePath());
        } while (bMore);
    }

    if (!finder.FindFile(Pattern(strPath, kAllEntries)))
        return;
    BOOL bMore;
    do
    {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || !finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) || !finder.HasAnsiPath())
            continue;
        CString strFolder = finder.GetFilePath();
        // Gone since the search listed it: skip it without a word.
        if (::GetFileAttributesA(strFolder) == INVALID_FILE_ATTRIBUTES)
            continue;
        ScanFolder(strFolder, pPictures); // this level's search stays open meanwhile
    } while (bMore);
}
