// Runs the benchmarks: vellomar_bench <work folder> <data folder> <program> <silent tree>
// [scan|convert|photos|silent|settings]...
#include "Benchmarks.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "--peak") == 0)
        return RunPeakChild(argv[2], argv[3]);
    if (argc < 5)
    {
        fprintf(stderr,
                "usage: vellomar_bench WORK DATA PROGRAM SILENT_TREE [scan|convert|photos|silent|settings]...\n");
        return 2;
    }
    auto wanted = [&](const char* pszName) {
        if (argc == 5)
            return true;
        for (int i = 5; i < argc; ++i)
            if (strcmp(argv[i], pszName) == 0)
                return true;
        return false;
    };
    if (wanted("scan"))
        RunScanBench(argv[1]);
    if (wanted("convert"))
        RunConvertBench(argv[2], argv[1]);
    if (wanted("photos"))
        RunBigPhotoBench(argv[1]);
    if (wanted("silent"))
        RunSilentBench(argv[3], argv[4], argv[1]);
    if (wanted("settings"))
        RunSettingsBench(argv[1]);
    fflush(stdout);
    return 0;
}
