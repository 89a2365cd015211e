#pragma once

#include <string>
#include <vector>

#include "TestFiles.h"

// Runs the built program's log-on job over a pictures folder, with the data
// folder and the wallpaper setting put back afterwards: it must end silently
// (exit code 0, no window) and leave the wallpaper on the converted copy, in
// the data folder, of one of the pictures given. With no folder, over the
// settings the data folder holds already.
void ExpectLogOnRunShowsOneOf(const std::string& strPicturesFolder, const std::vector<std::string>& pictures,
                              const std::string& strProgram = VellomarExePath());
