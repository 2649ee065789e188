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

// ---- the repair exports ------------------------------------------------------------------------
// Named like the tests, with DllFix for DllTest. Each answers what the test set (0 unless told)
// and records the last call, with the problem code of the record it was handed.

namespace {

int g_repairAnswers[kMaxTests];
volatile LONG g_repairCallCount = 0;
int g_lastRepair = -1;
int32_t g_lastRepairCode = 0;

int RepairIndexOf(const char* name)
{
    if (!name || std::strncmp(name, "DllFix", 6) != 0)
        return -1;
    for (int i = 0; i < kMaxTests; ++i) {
        if (std::strcmp(kTestNames[i] + 7, name + 6) == 0)
            return i;
    }
    return -1;
}

bool RunRepair(int index, TestResult* result)
{
    InterlockedIncrement(&g_repairCallCount);
    g_lastRepair = index;
    g_lastRepairCode = result ? result->problemCode : -1;
    return g_repairAnswers[index] != 0;
}

} // namespace

FAKE_API void __cdecl FakeDiagResetRepairs()
{
    for (int& answer : g_repairAnswers)
        answer = 0;
    InterlockedExchange(&g_repairCallCount, 0);
    g_lastRepair = -1;
    g_lastRepairCode = 0;
}

// The repair named ("DllFixSoundService") answers `answer` from now on.
FAKE_API bool __cdecl FakeDiagSetRepairAnswer(const char* repairName, int answer)
{
    const int index = RepairIndexOf(repairName);
    if (index < 0)
        return false;
    g_repairAnswers[index] = answer;
    return true;
}

FAKE_API int __cdecl FakeDiagRepairCallCount()
{
    return InterlockedCompareExchange(&g_repairCallCount, 0, 0);
}

// The export name of the last repair called ("" before any), and the problem code it was given.
FAKE_API const char* __cdecl FakeDiagLastRepairName()
{
    static char name[64];
    if (g_lastRepair < 0)
        return "";
    lstrcpynA(name, "DllFix", 64);
    lstrcatA(name, kTestNames[g_lastRepair] + 7);
    return name;
}

FAKE_API int __cdecl FakeDiagLastRepairCode()
{
    return g_lastRepairCode;
}

#define FAKE_REPAIR(name, index)                                                                   \
    FAKE_API bool __cdecl name(TestResult* result)                                                 \
    {                                                                                              \
        return RunRepair(index, result);                                                           \
    }

FAKE_REPAIR(DllFixGraphicDrv, 0)
FAKE_REPAIR(DllFixGraphicDeviceStatus, 1)
FAKE_REPAIR(DllFixGraphicDWMService, 2)
FAKE_REPAIR(DllFixGraphicResolution, 3)
FAKE_REPAIR(DllFixGraphicColorbit, 4)
FAKE_REPAIR(DllFixGraphic3DsamplePlay, 5)
FAKE_REPAIR(DllFixSoundDrv, 6)
FAKE_REPAIR(DllFixSoundDeviceStatus, 7)
FAKE_REPAIR(DllFixSoundService, 8)
FAKE_REPAIR(DllFixSoundOutputDevice, 9)
FAKE_REPAIR(DllFixSoundVolumelevel, 10)
FAKE_REPAIR(DllFixSoundSamplePlay, 11)
FAKE_REPAIR(DllFixNetworkDrv, 12)
FAKE_REPAIR(DllFixNetworkDeviceStatus, 13)
FAKE_REPAIR(DllFixNetworkConfig, 14)
FAKE_REPAIR(DllFixNetworkService, 15)
FAKE_REPAIR(DllFixNetworkPhysicalConnection, 16)
FAKE_REPAIR(DllFixNetworkPacketTransition, 17)
FAKE_REPAIR(DllFixSystemHddSpace, 18)
FAKE_REPAIR(DllFixSystemAntiVirusInstalled, 19)
FAKE_REPAIR(DllFixSystemFirewall, 20)
FAKE_REPAIR(DllFixSystemVirtualMemory, 21)
FAKE_REPAIR(DllFixSystemWindowsUpdate, 22)
FAKE_REPAIR(DllFixSystemTempInternetFile, 23)
FAKE_REPAIR(DllFixSystemKYVInstalled, 24)
FAKE_REPAIR(DllFixSystemDSVInstalled, 25)
FAKE_REPAIR(DllFixSystemSPVInstalled, 26)
FAKE_REPAIR(DllFixSystemPTWInstalled, 27)
FAKE_REPAIR(DllFixSystemPTWConfig, 28)
