// Stands in for a web browser: appends the exact command line it was started
// with to "Recorder.log" beside itself, one line per start.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main()
{
    char szLog[MAX_PATH];
    DWORD dwLength = ::GetModuleFileNameA(nullptr, szLog, MAX_PATH);
    char* pSlash = strrchr(szLog, '\\');
    if (!dwLength || !pSlash)
        return 1;
    strcpy(pSlash + 1, "Recorder.log");
    FILE* pFile = fopen(szLog, "ab");
    if (!pFile)
        return 1;
    fprintf(pFile, "%s\n", ::GetCommandLineA());
    fclose(pFile);
    return 0;
}
