#include "platform/FileException.h"

#include <cstring>

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{
}

void CFileException::SetFromOsError(LONG lOsError, LPCSTR lpszFileName)
{
    m_cause = OsErrorToCause(lOsError);
    m_lOsError = lOsError;
    m_strFileName = lpszFileName;
}

int CFileException::OsErrorToCause(LONG lOsError)
{
    switch (lOsError)
    {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY: // a folder that is missing or not a folder
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_GEN_FAILURE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;

    static const char* const s_apszFormats[] = {
        "No error occurred with %s.",
        "An unexpected error occurred while accessing %s.",
        "Cannot open %s: the file does not exist.",
        "Cannot open %s: the folder does not exist or the name is not valid.",
        "Cannot open %s: too many files are open.",
        "Cannot access %s: access is denied.",
        "Cannot access %s: the file handle is not valid.",
        "Cannot remove %s: it is the current folder.",
        "Cannot create %s: the folder is full.",
        "Cannot move within %s.",
        "A hardware error occurred while accessing %s.",
        "Cannot access %s: another program is using it.",
        "Cannot access %s: part of it is locked.",
        "Cannot write %s: the disk is full.",
        "Cannot read %s: the end of the file was reached unexpectedly.",
    };
    int nCause = (m_cause >= none && m_cause <= endOfFile) ? m_cause : genericException;
    CString strName = m_strFileName.IsEmpty() ? CString("an unnamed file") : m_strFileName;
    CString strText;
    strText.Format(s_apszFormats[nCause], static_cast<LPCSTR>(strName));
    lstrcpynA(lpszError, strText, static_cast<int>(nMaxError));
    return TRUE;
}
