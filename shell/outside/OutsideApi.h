// The maker's outside libraries as this program calls them: the BIOS interface library
// (PAVI2.dll / PAVI3.dll) and the 64-bit helper (Korvex64.dll).
//
// Every function is cdecl. The release build is 32-bit, where a calling convention that does not
// match the library's corrupts the stack; tests run the 64-bit build, where the conventions are
// all one. So the convention is written here, once, and both the stand-ins (which define the
// functions) and the callers (which import them or bind them with GetProcAddress) use this
// header: a definition that disagrees with it fails to compile on i686.
#pragma once

#include <windows.h>

#ifdef HLM_BUILDING_PAVI
#define HLM_PAVI_API __declspec(dllexport)
#else
#define HLM_PAVI_API __declspec(dllimport)
#endif

#ifdef HLM_BUILDING_KORVEX
#define HLM_KORVEX_API __declspec(dllexport)
#else
#define HLM_KORVEX_API __declspec(dllimport)
#endif

// ---- BIOS interface library ----------------------------------------------------------------

// PAVI3.dll on Windows 7, PAVI2.dll on every other version.
constexpr const wchar_t* kPavi2DllName = L"PAVI2.dll";
constexpr const wchar_t* kPavi3DllName = L"PAVI3.dll";

// The in-and-out buffer of CallBIOSInterface, in bytes.
constexpr int kPaviBufferSize = 11;
// The model-name buffer, in UTF-16 units, terminator included.
constexpr int kPaviModelNameCapacity = 10;
// A byte 0 of this value in an answer means failure, whatever the result was.
constexpr unsigned char kPaviAnswerFailed = 0xFF;

// Command 11: the battery topic flag is bit kPaviBatteryTopicBit of byte 0.
constexpr int kPaviCmdBatteryTopic = 11;
constexpr unsigned char kPaviBatteryTopicBit = 0x08;
// Command 18: byte 0 of the answer is 0 when the radio switch is off, 1 or 2 when on.
constexpr int kPaviCmdRadioState = 0x12;
// Command 19: byte 0 in = kPaviRadioOnRequest; answer byte 0 = 1 when the radio was switched on.
constexpr int kPaviCmdRadioOn = 0x13;
constexpr unsigned char kPaviRadioOnRequest = 1;
// Command 93: byte 0 in = kPaviFactoryRestoreRequest; only the success of the call is read.
constexpr int kPaviCmdFactoryRestore = 0x5D;
constexpr unsigned char kPaviFactoryRestoreRequest = 0x83;

extern "C" {
// 0 = ready. Called before every other function.
HLM_PAVI_API int __cdecl InitBIOSInterface(void);
// PAVI2.dll only. Fills a buffer of kPaviModelNameCapacity units.
HLM_PAVI_API int __cdecl GetModelNameFromPaviW(wchar_t* buffer);
// PAVI3.dll only. capacity is kPaviModelNameCapacity; extra is not used by this program.
HLM_PAVI_API int __cdecl GetModelNameFromPaviExW(wchar_t* buffer, int capacity, int* extra);
// buffer: kPaviBufferSize bytes, in and out. 0 = success; the answer is in byte 0.
HLM_PAVI_API int __cdecl CallBIOSInterface(int command, unsigned char* buffer);
}

typedef int(__cdecl* PFN_InitBIOSInterface)(void);
typedef int(__cdecl* PFN_GetModelNameFromPaviW)(wchar_t* buffer);
typedef int(__cdecl* PFN_GetModelNameFromPaviExW)(wchar_t* buffer, int capacity, int* extra);
typedef int(__cdecl* PFN_CallBIOSInterface)(int command, unsigned char* buffer);

// ---- 64-bit helper library -----------------------------------------------------------------

constexpr const wchar_t* kKorvexDllName = L"Korvex64.dll";

extern "C" {
// CreateFileW and ShellExecuteW, argument for argument, but seeing the file system as a native
// program of the running Windows does (no WOW64 redirection of the system folder).
HLM_KORVEX_API HANDLE __cdecl DllCreateFile(LPCWSTR path, DWORD access, DWORD share,
                                            LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                                            DWORD flags, HANDLE templateFile);
HLM_KORVEX_API HINSTANCE __cdecl DllShellExecute(HWND hwnd, LPCWSTR verb, LPCWSTR file,
                                                 LPCWSTR parameters, LPCWSTR directory, INT show);
}

typedef HANDLE(__cdecl* PFN_DllCreateFile)(LPCWSTR path, DWORD access, DWORD share,
                                           LPSECURITY_ATTRIBUTES sa, DWORD disposition, DWORD flags,
                                           HANDLE templateFile);
typedef HINSTANCE(__cdecl* PFN_DllShellExecute)(HWND hwnd, LPCWSTR verb, LPCWSTR file,
                                                LPCWSTR parameters, LPCWSTR directory, INT show);
