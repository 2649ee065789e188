#pragma once
// Where programs are: the system folder's tools, the maker's programs under Program Files, and
// our own folder. Built into the program and into the diagnostic library alike.

#include <windows.h>

#include "framework/SharedString.h"

// "\MdSched.exe" -> "C:\Windows\system32\MdSched.exe" when it can be opened, else empty.
fw::CSharedString CheckWinutilExistence(const wchar_t* relativePath);
// "\Vantrel\Manuvo\RunManual.exe" -> its full path below the 64-bit program folder, or below
// the 32-bit one on 64-bit Windows, when it can be opened; else empty.
fw::CSharedString CheckProgramInstallation(const wchar_t* relativePath);
// The running program's folder with a trailing backslash (a build folder named Debug or
// Release counts as its parent); empty when Windows cannot tell.
fw::CSharedString GetAppFolder();
// The same for a folder path given, for tests of the rule.
fw::CSharedString AppFolderOf(const wchar_t* modulePath);

// Loads one of our own libraries from the program's folder, never through the search path: an
// elevated program must not pick up a library planted elsewhere. nullptr when it cannot.
HMODULE LoadLibraryBesideProgram(const wchar_t* fileName);

// The box every caller shows when the 64-bit helper library cannot be loaded; call it right
// after the failed load, while the last error is still the load's.
void ReportHelperMissing(HWND owner);

// Opens `path` through the 64-bit helper library as the callers' existence test; shows the
// helper's load failure in a box. False when the file cannot be opened or the helper is missing.
bool HelperCanOpen(const wchar_t* path);
