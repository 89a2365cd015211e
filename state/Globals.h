#pragma once

#include "platform/Array.h"
#include "platform/String.h"

// The three process-wide objects. Start-up fixes the data folder (a full path
// ending in a backslash) and reads the pictures folder; only the folder
// chooser changes the latter afterwards. Only the catalogue appends to the
// picture list; its callers alone empty it.
extern CString g_strDataDir;
extern CString g_strPicturesPath;
extern CStringArray g_arrPictures;
