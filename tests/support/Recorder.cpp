// Stands in for a web browser: appends the exact command line it was started
// with (as UTF-8) to "Recorder.log" beside itself, one line per start. Wide
// calls, so that it works from a folder the code page cannot name.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int main()
{
    wchar_t szLog[MAX_PATH * 2];
    DWORD dwLength = ::GetModuleFileNameW(nullptr, szLog, MAX_PATH * 2);
    wchar_t* pSlash = wcsrchr(szLog, L'\\');
    if (!dwLength || !pSlash)
        return 1;
    wcscpy(pSlash + 1, L"Recorder.log");
    char szLine[4096];
    if (!::WideCharToMultiByte(CP_UTF8, 0, ::GetCommandLineW(), -1, szLine, sizeof(szLine), nullptr, nullptr))
        return 1;
    FILE* pFile = _wfopen(szLog, L"ab");
    if (!pFile)
        return 1;
    fprintf(pFile, "%s\n", szLine);
    fclose(pFile);
    return 0;
}
