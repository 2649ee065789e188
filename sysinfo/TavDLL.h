#pragma once
// The system-information library's exports, as HLMMain calls them: standard calling convention,
// no arguments, C++ names; HLMMain links the library through its import library.
//
// Use: run the collectors (DLLSet...), close the WMI connection with CleanUpWMI, then read the
// results with the getters (DLLGet...). Records are the library's own static storage and stay
// valid for the life of the process. Texts are zero-terminated and cut to fit their fields.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "framework/List.h"
#include "framework/SharedString.h"

#ifdef HLM_BUILDING_TAVDLL
#define TAVDLL_API __declspec(dllexport)
#else
#define TAVDLL_API __declspec(dllimport)
#endif

struct BIOSINFO {
    wchar_t manufacturer[30];
    wchar_t version[20];
};

// Returned by both DLLGetModelInfo and DLLGetUserDate.
struct MODELInfo {
    wchar_t serialNumber[100];
    wchar_t unused[100]; // never filled
    wchar_t userDate[20];
};

// One local disk; an empty drive name ends the library's array of kMaxDisks.
struct LOGICALDISK {
    static constexpr int kMaxDisks = 10;
    wchar_t driveName[3]; // "C:"
    int32_t driveType;    // always 3, local disk
    double size;          // bytes
};

struct DRIVERINFO {
    wchar_t manufacturer[100];
    wchar_t description[120];
    wchar_t version[50];
};

// HLMMain and the library must agree on these in both builds.
static_assert(sizeof(BIOSINFO) == 100 && sizeof(MODELInfo) == 440, "record layout");
static_assert(offsetof(LOGICALDISK, driveType) == 8 && offsetof(LOGICALDISK, size) == 16 &&
                  sizeof(LOGICALDISK) == 24,
              "disk record layout");
static_assert(sizeof(DRIVERINFO) == 540, "driver record layout");

using DriverInfoList = fw::CList<DRIVERINFO>;

// ---- collectors ------------------------------------------------------------------------

// BIOS manufacturer and version (cut to its first part); always 1.
TAVDLL_API int __stdcall DLLSetBiosInfo();
TAVDLL_API void __stdcall DLLSetSerialNumber();
// The purchase date the maker writes into the second OEM string.
TAVDLL_API void __stdcall DLLSetUserDate();
TAVDLL_API void __stdcall DLLSetHddInfo();
TAVDLL_API void __stdcall DLLSetRamInfo();
// The returned texts stay valid until the same collector runs again.
TAVDLL_API const wchar_t* __stdcall DLLSetCpuInfo();
TAVDLL_API const wchar_t* __stdcall DLLSetODDInfo();
TAVDLL_API const wchar_t* __stdcall DLLSetOSInfo();
// Also fills the video driver record; returns its description.
TAVDLL_API const wchar_t* __stdcall DLLSetGFXInfo();
// Closes the WMI connection the collectors opened; a later collector opens it again.
TAVDLL_API void __stdcall CleanUpWMI();

// ---- getters ---------------------------------------------------------------------------

TAVDLL_API BIOSINFO* __stdcall DLLGetBiosInfo();
TAVDLL_API MODELInfo* __stdcall DLLGetModelInfo();
TAVDLL_API MODELInfo* __stdcall DLLGetUserDate();
// The first of LOGICALDISK::kMaxDisks entries.
TAVDLL_API LOGICALDISK* __stdcall DLLGetHddInfo();
TAVDLL_API double __stdcall DLLGetRamInfo();
TAVDLL_API fw::CSharedString __stdcall DLLGetOSInfo();
TAVDLL_API fw::CSharedString __stdcall DLLGetODDInfo();
TAVDLL_API fw::CSharedString __stdcall DLLGetSerialNumber();
TAVDLL_API fw::CSharedString __stdcall DLLGetCpuInfo();
TAVDLL_API DRIVERINFO* __stdcall DLLGetVDriverInfo();

// ---- drivers ---------------------------------------------------------------------------

// Finds the sound, wireless LAN, wired network and Bluetooth devices through the setup API
// and records their drivers. Every call appends the sound devices it finds to the sound list.
TAVDLL_API void __stdcall DLLDriverInfo();
TAVDLL_API DriverInfoList* __stdcall DLLGetADriverInfo();
TAVDLL_API DRIVERINFO* __stdcall DLLGetWDriverInfo();
TAVDLL_API DRIVERINFO* __stdcall DLLGetNDriverInfo();
TAVDLL_API DRIVERINFO* __stdcall DLLGetBTDriverInfo();
// A record no search fills; all zero.
TAVDLL_API DRIVERINFO* __stdcall DLLGetMDriverInfo();
