// The whole silent run as a process, and the share of its phases measured
// by running the same operations in this process.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "state/Globals.h"
#include "state/SettingsStore.h"
#include "engine/Picture.h"
#include "engine/PictureCatalog.h"

#include <shlobj.h>

#include <cstdio>

void RunSilentBench(const std::string& strProgram, const std::string& strSilentTree, const std::string& strWorkFolder)
{
    char szAppData[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData);
    std::string strData = std::string(szAppData) + "\\Vellomar\\";
    CreateDirectoryA(strData.c_str(), nullptr);
    g_strDataDir = strData.c_str();
    WritePicturesPath(strSilentTree.c_str());

    std::vector<double> whole;
    for (int nRound = 0; nRound < 5; ++nRound)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        std::string strCommand = "\"" + strProgram + "\"";
        double t0 = Now();
        if (!CreateProcessA(strProgram.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        WaitForSingleObject(pi.hProcess, INFINITE);
        whole.push_back(Now() - t0);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }

    std::vector<double> settings, scan, load, write, wallpaper;
    for (int nRound = 0; nRound < 5; ++nRound)
    {
        double t0 = Now();
        g_strPicturesPath = ReadPicturesPath();
        double t1 = Now();
        g_arrPictures.SetSize(0);
        ScanFolder(g_strPicturesPath);
        double t2 = Now();
        CPicture picture;
        picture.LoadFile(g_arrPictures[0]);
        double t3 = Now();
        CString strTarget = g_strDataDir + "Tarnwick.bmp";
        picture.WriteBitmapFile(strTarget);
        double t4 = Now();
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<LPSTR>(static_cast<LPCSTR>(strTarget)),
                              SPIF_UPDATEINIFILE);
        double t5 = Now();
        settings.push_back(t1 - t0);
        scan.push_back(t2 - t1);
        load.push_back(t3 - t2);
        write.push_back(t4 - t3);
        wallpaper.push_back(t5 - t4);
    }
    double dWhole = Median(whole);
    double dPhases[] = {Median(settings), Median(scan), Median(load), Median(write), Median(wallpaper)};
    double dSum = 0;
    for (double d : dPhases)
        dSum += d;
    const char* const kNames[] = {"settings file", "scan", "load (decode)", "write", "wallpaper call"};

    printf("\n### Silent run (%d pictures, each a 12 MP JPEG; median of 5)\n\n", g_arrPictures.GetSize());
    printf("| phase | seconds | share |\n|---|---:|---:|\n");
    printf("| process start-up and exit | %.3f | %.0f %% |\n", dWhole - dSum, 100 * (dWhole - dSum) / dWhole);
    for (int i = 0; i < 5; ++i)
        printf("| %s | %.3f | %.0f %% |\n", kNames[i], dPhases[i], 100 * dPhases[i] / dWhole);
    printf("| whole run | %.3f | 100 %% |\n", dWhole);
    (void)strWorkFolder;
}
