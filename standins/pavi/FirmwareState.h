// Where the BIOS interface stand-in keeps the simulated notebook's firmware state. The tests and
// the notebook setup write these values; the stand-in reads them on every call.
//
// The key is always opened with KEY_WOW64_64KEY, so the 32- and 64-bit builds of the stand-in and
// of whoever writes the state see the same values.
#pragma once

#include <windows.h>

namespace pavi_state {

// Under HKEY_LOCAL_MACHINE.
constexpr const wchar_t* kKeyPath = L"SOFTWARE\\Vantrel\\PaviStandIn";
constexpr REGSAM kView = KEY_WOW64_64KEY;

// Every value is optional; the comment gives what a missing value reads as.
constexpr const wchar_t* kModelName = L"ModelName";       // REG_SZ, at most 9 characters; ""
constexpr const wchar_t* kRadioSwitch = L"RadioSwitch";   // DWORD 0 off, 1 or 2 on; 1
constexpr const wchar_t* kBatteryTopic = L"BatteryTopic"; // DWORD, nonzero = flag set; 0
constexpr const wchar_t* kInitResult = L"InitResult";     // DWORD InitBIOSInterface returns; 0
constexpr const wchar_t* kCallResult = L"CallResult";     // DWORD CallBIOSInterface returns; 0
constexpr const wchar_t* kAnswerFF = L"AnswerFF";         // DWORD, nonzero = byte 0 is 0xFF; 0

// Written by the stand-in, only by a call that succeeds (CallResult 0, AnswerFF 0): command 19
// sets RadioSwitch to 1, command 93 with request byte 0x83 sets this value to DWORD 1.
constexpr const wchar_t* kFactoryRestoreRequested = L"FactoryRestoreRequested";

} // namespace pavi_state
