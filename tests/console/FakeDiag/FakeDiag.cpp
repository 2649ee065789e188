// A diagnostic library for the console's tests: the 29 test exports, each answering what the
// test asked for, recording the order of the calls, and able to hang until released (at most
// for the time the test gave). Built under the names of the three real builds; the XP one lacks
// DllTestGraphicDeviceStatus, to show what the worker does with an export that is missing.

#include <windows.h>

#include <cstring>

#include "diaglib/exports/TestResult.h"

#define FAKE_API extern "C" __declspec(dllexport)

namespace {

constexpr int kMaxCalls = 256;
constexpr int kMaxTests = 29;

// Every test export, in the order of the task ids.
const char* const kTestNames[kMaxTests] = {
    "DllTestGraphicDrv",
    "DllTestGraphicDeviceStatus",
    "DllTestGraphicDWMService",
    "DllTestGraphicResolution",
    "DllTestGraphicColorbit",
    "DllTestGraphic3DsamplePlay",
    "DllTestSoundDrv",
    "DllTestSoundDeviceStatus",
    "DllTestSoundService",
    "DllTestSoundOutputDevice",
    "DllTestSoundVolumelevel",
    "DllTestSoundSamplePlay",
    "DllTestNetworkDrv",
    "DllTestNetworkDeviceStatus",
    "DllTestNetworkConfig",
    "DllTestNetworkService",
    "DllTestNetworkPhysicalConnection",
    "DllTestNetworkPacketTransition",
    "DllTestSystemHddSpace",
    "DllTestSystemAntiVirusInstalled",
    "DllTestSystemFirewall",
    "DllTestSystemVirtualMemory",
    "DllTestSystemWindowsUpdate",
    "DllTestSystemTempInternetFile",
    "DllTestSystemKYVInstalled",
    "DllTestSystemDSVInstalled",
    "DllTestSystemSPVInstalled",
    "DllTestSystemPTWInstalled",
    "DllTestSystemPTWConfig",
};

struct Answer {
    bool found = false;
    wchar_t detail[64] = {};
    DWORD hangMs = 0;
};

Answer g_answers[kMaxTests];
volatile LONG g_callCount = 0;
int g_calls[kMaxCalls];
volatile LONG g_inside = 0;
HANDLE g_release = nullptr; // manual reset; set ends every hang

int IndexOf(const char* name)
{
    for (int i = 0; i < kMaxTests; ++i) {
        if (std::strcmp(kTestNames[i], name) == 0)
            return i;
    }
    return -1;
}

bool RunTest(int index, TestResult* result)
{
    InterlockedIncrement(&g_inside);
    const LONG slot = InterlockedIncrement(&g_callCount) - 1;
    if (slot < kMaxCalls)
        g_calls[slot] = index;
    const Answer& answer = g_answers[index];
    if (answer.hangMs)
        WaitForSingleObject(g_release, answer.hangMs);
    bool clean = true;
    if (answer.found) {
        result->problemCode = index + 1;
        result->problemFound = 1;
        if (answer.detail[0]) {
            result->detail = answer.detail; // made by this library's own allocator
            result->detailValid = 1;
        }
        clean = false;
    }
    InterlockedDecrement(&g_inside);
    return clean;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    else if (reason == DLL_PROCESS_DETACH && g_release)
        CloseHandle(g_release);
    return TRUE;
}

// ---- what the tests set and read ---------------------------------------------------------------

FAKE_API void __cdecl FakeDiagReset()
{
    for (Answer& answer : g_answers)
        answer = Answer();
    InterlockedExchange(&g_callCount, 0);
    ResetEvent(g_release);
}

// The test named reports a problem (with `detail` as its device, when not empty).
FAKE_API bool __cdecl FakeDiagSetFound(const char* testName, const wchar_t* detail)
{
    const int index = IndexOf(testName);
    if (index < 0)
        return false;
    g_answers[index].found = true;
    lstrcpynW(g_answers[index].detail, detail ? detail : L"", 64);
    return true;
}

// The test named waits for FakeDiagReleaseHang, at most `ms`.
FAKE_API bool __cdecl FakeDiagSetHang(const char* testName, DWORD ms)
{
    const int index = IndexOf(testName);
    if (index < 0)
        return false;
    g_answers[index].hangMs = ms;
    return true;
}

FAKE_API void __cdecl FakeDiagReleaseHang()
{
    SetEvent(g_release);
}

FAKE_API int __cdecl FakeDiagCallCount()
{
    const LONG count = InterlockedCompareExchange(&g_callCount, 0, 0);
    return count < kMaxCalls ? count : kMaxCalls;
}

// The export name of call `i`, in call order.
FAKE_API const char* __cdecl FakeDiagCallName(int i)
{
    return i >= 0 && i < FakeDiagCallCount() ? kTestNames[g_calls[i]] : "";
}

// Tests running right now.
FAKE_API int __cdecl FakeDiagInside()
{
    return InterlockedCompareExchange(&g_inside, 0, 0);
}

// ---- the test exports ----------------------------------------------------------------------

#define FAKE_TEST(name, index)                                                                     \
    FAKE_API bool __cdecl name(TestResult* result)                                                 \
    {                                                                                              \
        return RunTest(index, result);                                                             \
    }

FAKE_TEST(DllTestGraphicDrv, 0)
#ifndef FAKE_LACKS_DEVICE_STATUS
FAKE_TEST(DllTestGraphicDeviceStatus, 1)
#endif
FAKE_TEST(DllTestGraphicDWMService, 2)
FAKE_TEST(DllTestGraphicResolution, 3)
FAKE_TEST(DllTestGraphicColorbit, 4)
FAKE_TEST(DllTestGraphic3DsamplePlay, 5)
FAKE_TEST(DllTestSoundDrv, 6)
FAKE_TEST(DllTestSoundDeviceStatus, 7)
FAKE_TEST(DllTestSoundService, 8)
FAKE_TEST(DllTestSoundOutputDevice, 9)
FAKE_TEST(DllTestSoundVolumelevel, 10)
FAKE_TEST(DllTestSoundSamplePlay, 11)
FAKE_TEST(DllTestNetworkDrv, 12)
FAKE_TEST(DllTestNetworkDeviceStatus, 13)
FAKE_TEST(DllTestNetworkConfig, 14)
FAKE_TEST(DllTestNetworkService, 15)
FAKE_TEST(DllTestNetworkPhysicalConnection, 16)
FAKE_TEST(DllTestNetworkPacketTransition, 17)
FAKE_TEST(DllTestSystemHddSpace, 18)
FAKE_TEST(DllTestSystemAntiVirusInstalled, 19)
FAKE_TEST(DllTestSystemFirewall, 20)
FAKE_TEST(DllTestSystemVirtualMemory, 21)
FAKE_TEST(DllTestSystemWindowsUpdate, 22)
FAKE_TEST(DllTestSystemTempInternetFile, 23)
FAKE_TEST(DllTestSystemKYVInstalled, 24)
FAKE_TEST(DllTestSystemDSVInstalled, 25)
FAKE_TEST(DllTestSystemSPVInstalled, 26)
FAKE_TEST(DllTestSystemPTWInstalled, 27)
FAKE_TEST(DllTestSystemPTWConfig, 28)
