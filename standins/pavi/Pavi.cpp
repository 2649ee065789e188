// Stand-in for the BIOS interface library. Built twice from this file: PAVI2.dll
// (PAVI_GENERATION=2, model name through GetModelNameFromPaviW) and PAVI3.dll
// (PAVI_GENERATION=3, GetModelNameFromPaviExW).
//
// The firmware is simulated by a few registry values (FirmwareState.h). They are read on every
// call, so a test or the notebook setup can change the notebook between two calls.
#include "framework/Handles.h"
#include "shell/outside/OutsideApi.h"
#include "standins/pavi/FirmwareState.h"

#include <string>

#if PAVI_GENERATION != 2 && PAVI_GENERATION != 3
#error "Build with PAVI_GENERATION=2 or 3"
#endif

namespace {

// What a call rejects with: an unknown command, a request byte it does not know, no buffer.
constexpr int kRejected = -1;

// Initialised to what a missing value reads as.
struct FirmwareState {
    wchar_t modelName[kPaviModelNameCapacity] = {}; // at most 9 characters, always terminated
    DWORD radioSwitch = 1;
    bool batteryTopic = false;
    int initResult = 0;
    int callResult = 0;
    bool answerFF = false;
};

DWORD ReadDword(HKEY key, const wchar_t* name, DWORD fallback)
{
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return fallback;
    return value;
}

// A longer name is cut, as the firmware's fixed field would cut it, and never refused.
void ReadModelName(HKEY key, wchar_t (&name)[kPaviModelNameCapacity])
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, pavi_state::kModelName, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return;
    // One unit more than asked for: registry strings need not be terminated.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, pavi_state::kModelName, nullptr, &type,
                         reinterpret_cast<BYTE*>(&text[0]), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return;
    lstrcpynW(name, text.c_str(), kPaviModelNameCapacity);
}

// A missing key or value reads as the notebook's ordinary state: radio on, nothing else set.
FirmwareState ReadFirmwareState()
{
    FirmwareState state;
    fw::UniqueKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, 0,
                      KEY_QUERY_VALUE | pavi_state::kView, key.put()) != ERROR_SUCCESS)
        return state;
    ReadModelName(key.get(), state.modelName);
    state.radioSwitch = ReadDword(key.get(), pavi_state::kRadioSwitch, state.radioSwitch);
    state.batteryTopic = ReadDword(key.get(), pavi_state::kBatteryTopic, 0) != 0;
    state.initResult = static_cast<int>(ReadDword(key.get(), pavi_state::kInitResult, 0));
    state.callResult = static_cast<int>(ReadDword(key.get(), pavi_state::kCallResult, 0));
    state.answerFF = ReadDword(key.get(), pavi_state::kAnswerFF, 0) != 0;
    return state;
}

bool WriteDword(const wchar_t* name, DWORD value)
{
    fw::UniqueKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, 0, nullptr, 0,
                        KEY_SET_VALUE | pavi_state::kView, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

int CopyModelName(wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return kRejected;
    FirmwareState state = ReadFirmwareState();
    lstrcpynW(buffer, state.modelName,
              capacity < kPaviModelNameCapacity ? capacity : kPaviModelNameCapacity);
    return lstrlenW(buffer);
}

} // namespace

extern "C" {

HLM_PAVI_API int __cdecl InitBIOSInterface(void)
{
    return ReadFirmwareState().initResult;
}

#if PAVI_GENERATION == 2
HLM_PAVI_API int __cdecl GetModelNameFromPaviW(wchar_t* buffer)
{
    return CopyModelName(buffer, kPaviModelNameCapacity) < 0 ? kRejected : 0;
}
#else
HLM_PAVI_API int __cdecl GetModelNameFromPaviExW(wchar_t* buffer, int capacity, int* extra)
{
    int length = CopyModelName(buffer, capacity);
    if (length < 0)
        return kRejected;
    if (extra)
        *extra = length;
    return 0;
}
#endif

// The answer goes to byte 0; the other ten bytes are left as the caller passed them. The state
// changes (radio on, factory restore recorded) happen only on a call that succeeds, so a test
// that makes the firmware fail sees nothing changed.
HLM_PAVI_API int __cdecl CallBIOSInterface(int command, unsigned char* buffer)
{
    if (!buffer)
        return kRejected;
    FirmwareState state = ReadFirmwareState();
    const bool succeeds = state.callResult == 0 && !state.answerFF;
    unsigned char answer = 0;
    switch (command) {
    case kPaviCmdBatteryTopic:
        answer = state.batteryTopic ? kPaviBatteryTopicBit : 0;
        break;
    case kPaviCmdRadioState:
        answer = static_cast<unsigned char>(state.radioSwitch);
        break;
    case kPaviCmdRadioOn:
        if (buffer[0] != kPaviRadioOnRequest) {
            buffer[0] = kPaviAnswerFailed;
            return kRejected;
        }
        if (succeeds && !WriteDword(pavi_state::kRadioSwitch, 1))
            return kRejected;
        answer = 1;
        break;
    case kPaviCmdFactoryRestore:
        if (buffer[0] != kPaviFactoryRestoreRequest) {
            buffer[0] = kPaviAnswerFailed;
            return kRejected;
        }
        if (succeeds && !WriteDword(pavi_state::kFactoryRestoreRequested, 1))
            return kRejected;
        answer = 0;
        break;
    default:
        buffer[0] = kPaviAnswerFailed;
        return kRejected;
    }
    buffer[0] = state.answerFF ? kPaviAnswerFailed : answer;
    return state.callResult;
}

} // extern "C"

// Callers bind these with the typedefs of OutsideApi.h: a typedef that disagrees with the
// definition (on i686, its calling convention) fails to compile here.
namespace {
[[maybe_unused]] constexpr PFN_InitBIOSInterface kInitType = &InitBIOSInterface;
#if PAVI_GENERATION == 2
[[maybe_unused]] constexpr PFN_GetModelNameFromPaviW kModelNameType = &GetModelNameFromPaviW;
#else
[[maybe_unused]] constexpr PFN_GetModelNameFromPaviExW kModelNameType = &GetModelNameFromPaviExW;
#endif
[[maybe_unused]] constexpr PFN_CallBIOSInterface kCallType = &CallBIOSInterface;
} // namespace
