#pragma once

#include <windows.h>

#include "platform/String.h"

// The two pieces of persistent state: the pictures folder in "config.cfg" of
// the data folder, and the autostart value in the user's Run key. Every
// operation is silent and reads or writes at once; nothing is cached.

CString ReadPicturesPath();

// Creates the data folder (its last level) when it is missing, so that a
// folder chosen before any "/install" run is not lost. Returns the platform's
// result of the write.
BOOL WritePicturesPath(LPCSTR lpszPath);

BOOL QueryAutostart();
void SetAutostart(BOOL bEnable);
