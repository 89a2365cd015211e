// ScanFolder against a bare four-pass FindFirstFileA walk of the same tree,
// in alternating runs, and the heap the catalogue takes for its paths.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "engine/PictureCatalog.h"

#include <cstdio>

namespace
{
const char* const kPatterns[] = {"\\*.jpg", "\\*.gif", "\\*.bmp"};

void BareWalk(const std::string& strFolder, std::vector<std::string>* pPaths)
{
    WIN32_FIND_DATAA data;
    for (const char* pszPattern : kPatterns)
    {
        HANDLE hFind = FindFirstFileA((strFolder + pszPattern).c_str(), &data);
        if (hFind == INVALID_HANDLE_VALUE)
            continue;
        do
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                pPaths->push_back(strFolder + "\\" + data.cFileName);
        while (FindNextFileA(hFind, &data));
        FindClose(hFind);
    }
    HANDLE hFind = FindFirstFileA((strFolder + "\\*.*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        std::string strName = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strName != "." && strName != "..")
            BareWalk(strFolder + "\\" + strName, pPaths);
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
}
} // namespace

void RunScanBench(const std::string& strWorkFolder)
{
    printf("\n### Scan (ScanFolder vs bare FindFirstFileA walk, same tree, alternating, median of 5)\n\n");
    printf("| files | pictures | ScanFolder s | bare walk s | ratio | list heap bytes | path bytes | heap/paths |\n");
    printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (int nFiles : {10000, 100000})
    {
        std::string strRoot = strWorkFolder + "\\scan-" + std::to_string(nFiles);
        if (GetFileAttributesA((strRoot + "\\done").c_str()) == INVALID_FILE_ATTRIBUTES)
        {
            MakeTree(strRoot, nFiles, 1234u + static_cast<unsigned>(nFiles));
            CloseHandle(
                CreateFileA((strRoot + "\\done").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }

        std::vector<double> scanTimes;
        std::vector<double> bareTimes;
        size_t nBare = 0;
        CStringArray pictures;
        for (int nRound = 0; nRound < 6; ++nRound) // round 0 warms the caches
        {
            pictures.SetSize(0);
            double t0 = Now();
            ScanFolder(strRoot.c_str(), &pictures);
            double t1 = Now();
            std::vector<std::string> paths;
            BareWalk(strRoot, &paths);
            double t2 = Now();
            nBare = paths.size();
            if (nRound > 0)
            {
                scanTimes.push_back(t1 - t0);
                bareTimes.push_back(t2 - t1);
            }
        }

        pictures.SetSize(0);
        size_t nBefore = HeapBytesInUse();
        ScanFolder(strRoot.c_str(), &pictures);
        size_t nAfter = HeapBytesInUse();
        size_t nPathBytes = 0;
        for (int i = 0; i < pictures.GetSize(); ++i)
            nPathBytes += static_cast<size_t>(pictures[i].GetLength()) + 1;
        if (static_cast<size_t>(pictures.GetSize()) != nBare)
            printf("(!) the two walks disagree: %d vs %zu\n", pictures.GetSize(), nBare);

        double dScan = Median(scanTimes);
        double dBare = Median(bareTimes);
        printf("| %d | %d | %.3f | %.3f | %.2f x | %zu | %zu | %.2f x |\n", nFiles, pictures.GetSize(), dScan, dBare,
               dScan / dBare, nAfter - nBefore, nPathBytes,
               static_cast<double>(nAfter - nBefore) / static_cast<double>(nPathBytes));
        pictures.SetSize(0);
    }
}
