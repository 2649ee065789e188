#pragma once
// How a page starts another program: resolved path in, the common message when it is missing.

#include <windows.h>

// Message 0x20002717 "This program has been changed, moved or uninstalled."
constexpr DWORD kMsgProgramMissing = 0x20002717;

// Starts `path` with verb "open" the way the pages do: an empty path shows the missing-program
// box owned by `owner` (caption "Helmora") in `language`; from Vista on the start goes through
// the 64-bit helper library so the native system and program folders are reached.
void StartProgram(HWND owner, const wchar_t* path, int osGeneration, LANGID language);
