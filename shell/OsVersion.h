#pragma once
// Which Windows this is. Several pages, the font face and the diagnostic library build depend
// on it.

#include <windows.h>

// The running Windows' version, as Windows reports it to any program.
DWORD WindowsMajorVersion();
DWORD WindowsMinorVersion();

// 0 before Vista (XP), 2 for Windows 7 (6.1), 1 for every other 6.x and later (Vista).
int GetOSGeneration();
int OSGenerationFor(DWORD major, DWORD minor);
