#pragma once

#include <string>

// The desktop wallpaper setting of the test prefix, through the system call.
std::string CurrentWallpaper();
void SetWallpaper(const std::string& strPath);
