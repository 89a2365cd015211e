#pragma once

#include <string>

void RunScanBench(const std::string& strWorkFolder);
void RunConvertBench(const std::string& strDataFolder, const std::string& strWorkFolder);
void RunSilentBench(const std::string& strProgram, const std::string& strSilentTree, const std::string& strWorkFolder);
void RunSettingsBench(const std::string& strWorkFolder);
