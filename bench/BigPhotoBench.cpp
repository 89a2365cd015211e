// Phone photos of 48, 108 and 200 MP, untagged and tagged as turned: the
// seconds of LoadFile + WriteBitmapFile in alternating runs, and the peak
// memory of one conversion in a process of its own, where nothing else the
// benchmark did counts.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "engine/Picture.h"

#include <psapi.h>

#include <cstdio>

namespace
{
const int kRounds = 7;

// Runs "vellomar_bench --peak SOURCE TARGET" and reads the two figures it
// prints; FALSE when the child failed or printed none.
bool MeasurePeak(const std::string& strSelf, const std::string& strSource, const std::string& strTarget,
                 double& dWorkingSetMb, double& dPagefileMb)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!CreatePipe(&hRead, &hWrite, &inherit, 0))
        return false;
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = hWrite;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string strCommand = "\"" + strSelf + "\" --peak \"" + strSource + "\" \"" + strTarget + "\"";
    PROCESS_INFORMATION process = {};
    BOOL bStarted =
        CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(hWrite);
    std::string strOutput;
    char szChunk[256];
    DWORD dwRead = 0;
    while (bStarted && ReadFile(hRead, szChunk, sizeof(szChunk), &dwRead, nullptr) && dwRead > 0)
        strOutput.append(szChunk, dwRead);
    CloseHandle(hRead);
    DWORD dwExit = 1;
    if (bStarted)
    {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &dwExit);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return dwExit == 0 && sscanf(strOutput.c_str(), "%lf %lf", &dWorkingSetMb, &dPagefileMb) == 2;
}
} // namespace

int RunPeakChild(const std::string& strSource, const std::string& strTarget)
{
    if (!Convert(strSource, strTarget))
        return 1;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return 1;
    printf("%.0f %.0f\n", counters.PeakWorkingSetSize / 1048576.0, counters.PeakPagefileUsage / 1048576.0);
    return 0;
}

void RunBigPhotoBench(const std::string& strWorkFolder)
{
    char szSelf[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, szSelf, MAX_PATH);
    const std::string strSelf = szSelf;
    printf("\n### Phone photos (untagged against tagged with orientation 6; alternating, median of %d; peak memory "
           "of one conversion in a process of its own, MB)\n\n",
           kRounds);
    printf("| photo | untagged s | turned s | ratio | bitmap MB | peak working set MB untagged / turned | peak "
           "pagefile MB untagged / turned |\n");
    printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const char* pszName : {"48mp.jpg", "108mp.jpg", "200mp.jpg"})
    {
        std::string strSource = strWorkFolder + "\\photos\\" + pszName;
        std::string strTurned = strWorkFolder + "\\turned-" + pszName;
        std::string strTarget = strWorkFolder + "\\Tarnwick.bmp";
        if (GetFileAttributesA(strSource.c_str()) == INVALID_FILE_ATTRIBUTES)
        {
            printf("| %s | not made (scripts/make-big-photos.py into the work folder's photos) | | | | | |\n", pszName);
            continue;
        }
        bool bOk = WriteTurned(strSource, strTurned);
        double dWorkingSet[2] = {}, dPagefile[2] = {};
        bOk &= MeasurePeak(strSelf, strSource, strTarget, dWorkingSet[0], dPagefile[0]);
        bOk &= MeasurePeak(strSelf, strTurned, strTarget, dWorkingSet[1], dPagefile[1]);
        std::vector<double> untagged, turned;
        for (int nRound = 0; nRound < kRounds; ++nRound)
        {
            double t0 = Now();
            bOk &= Convert(strSource, strTarget);
            double t1 = Now();
            bOk &= Convert(strTurned, strTarget);
            double t2 = Now();
            untagged.push_back(t1 - t0);
            turned.push_back(t2 - t1);
        }
        WIN32_FILE_ATTRIBUTE_DATA attributes = {};
        GetFileAttributesExA(strTarget.c_str(), GetFileExInfoStandard, &attributes);
        printf("| %s%s | %.2f | %.2f | %.2f x | %.0f | %.0f / %.0f | %.0f / %.0f |\n", pszName, bOk ? "" : " (failed)",
               Median(untagged), Median(turned), Median(turned) / Median(untagged), attributes.nFileSizeLow / 1048576.0,
               dWorkingSet[0], dWorkingSet[1], dPagefile[0], dPagefile[1]);
        DeleteFileA(strTurned.c_str());
    }
}
