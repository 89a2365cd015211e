#pragma once

#include <string>

void RunScanBench(const std::string& strWorkFolder);
void RunConvertBench(const std::string& strDataFolder, const std::string& strWorkFolder);
void RunSilentBench(const std::string& strProgram, const std::string& strSilentTree, const std::string& strWorkFolder);
void RunSettingsBench(const std::string& strWorkFolder);
// The phone photos are in the work folder's "photos", made by scripts/make-big-photos.py.
void RunBigPhotoBench(const std::string& strWorkFolder);
// The child of the big-photo benchmark: one conversion, then its peak memory.
int RunPeakChild(const std::string& strSource, const std::string& strTarget);
