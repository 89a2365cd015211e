#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Wall-clock seconds from the performance counter.
double Now();
double Median(std::vector<double> values);

// Bytes of the C runtime heap in use, from a walk over its blocks.
size_t HeapBytesInUse();

// A generated folder tree: nFiles files, 10 to 200 per folder, 3 to 5
// levels deep, mostly pictures (empty files: the scan reads names only).
// Returns the number of files made.
int MakeTree(const std::string& strRoot, int nFiles, unsigned nSeed);

// The JPEG with an Exif segment that says "turn 90 degrees clockwise" put
// right after its start marker, written to strTarget.
bool WriteTurned(const std::string& strSource, const std::string& strTarget);

// One conversion as the program makes it: LoadFile, then WriteBitmapFile.
bool Convert(const std::string& strSource, const std::string& strTarget);
