#pragma once

#include <windows.h>

// Another program (a virus scanner, an indexer, a sync client, another run
// of ours replacing the file) may hold a file for a moment. Calls that meet
// it are tried again for about a second, in short steps, before their
// failure counts.
const int kHeldFileTries = 20;
const DWORD kHeldFileStepMs = 50;

// Whether an error means that another program has the file open: a sharing
// or lock violation, and with bAccessDenied also the access denial that a
// rename onto an open file meets.
inline BOOL IsHeldElsewhere(DWORD dwError, BOOL bAccessDenied)
{
    return dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION ||
           (bAccessDenied && (dwError == ERROR_ACCESS_DENIED || dwError == ERROR_UNABLE_TO_REMOVE_REPLACED));
}

// Calls attempt() (TRUE on success, the cause in GetLastError otherwise)
// until it succeeds, fails for another reason, or the tries run out; the
// last error is the last attempt's.
template <typename Attempt>
BOOL RetryWhileHeld(Attempt attempt, BOOL bAccessDenied)
{
    for (int nTry = 1;; ++nTry)
    {
        if (attempt())
            return TRUE;
        DWORD dwError = ::GetLastError();
        if (nTry >= kHeldFileTries || !IsHeldElsewhere(dwError, bAccessDenied))
            return FALSE;
        ::Sleep(kHeldFileStepMs);
    }
}
