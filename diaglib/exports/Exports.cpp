// The plain-function surface of the diagnostic library. Every export takes the program's
// result record and answers an 8-bit boolean; names are exported undecorated through the
// build's .def file, which also gives one body several names where the builds share a
// placeholder.
//
// Test exports write the record's defaults before the test runs; repair exports write
// nothing. The framework this library is written against switches its module state around
// every export; ours keeps no per-module state, so there is nothing to switch.

#include "diaglib/exports/Engine.h"
#include "diaglib/exports/ProblemCodes.h"
#include "diaglib/exports/Trace.h"
#include "diaglib/repairs/UpdateCatalog.h"

namespace {

using Operation = bool (HLM_DIAG_ENGINE::*)(TestResult*);

void WriteDefaults(TestResult* result, int32_t categoryTag)
{
    result->categoryTag = categoryTag;
    result->problemCode = NO_PROBLEM;
    result->problemFound = 0;
    result->detail.Empty();
}

bool RunTest(TestResult* result, int32_t categoryTag, Operation test)
{
    WriteDefaults(result, categoryTag);
    return (diag::Engine().*test)(result);
}

bool RunRepair(TestResult* result, Operation repair)
{
    return (diag::Engine().*repair)(result);
}

} // namespace

extern "C" {

// A test that has nothing to examine in this build: the defaults and "no problem".
bool DllTestNetworkPacketTransition(TestResult* result)
{
    WriteDefaults(result, kTagNetwork);
    return true;
}

// A repair that has nothing to do in this build.
bool PlaceholderRepair(TestResult*)
{
    return true;
}

bool DllTestGraphicDrv(TestResult* r)
{
    return RunTest(r, kTagDisplay, &HLM_DIAG_ENGINE::TestGraphicDrv);
}
bool DllTestGraphicDeviceStatus(TestResult* r)
{
    return RunTest(r, kTagDisplay, &HLM_DIAG_ENGINE::TestGraphicDeviceStatus);
}
bool DllTestGraphicDWMService(TestResult* r)
{
#if HLM_DIAG_GENERATION == 5
    WriteDefaults(r, kTagDisplay);
    diag::Trace(L"XP NOT SUPPORT");
    return true;
#else
    return RunTest(r, kTagDisplay, &HLM_DIAG_ENGINE::TestGraphicDWMService);
#endif
}
bool DllTestGraphicResolution(TestResult* r)
{
    return RunTest(r, kTagDisplay, &HLM_DIAG_ENGINE::TestGraphicResolution);
}
bool DllTestGraphicColorbit(TestResult* r)
{
    return RunTest(r, kTagDisplay, &HLM_DIAG_ENGINE::TestGraphicColorbit);
}
bool DllTestGraphic3DsamplePlay(TestResult* r)
{
    return RunTest(r, kTagDisplay, &HLM_DIAG_ENGINE::TestGraphic3DsamplePlay);
}

bool DllTestSoundDrv(TestResult* r)
{
    return RunTest(r, kTagSound, &HLM_DIAG_ENGINE::TestSoundDrv);
}
bool DllTestSoundDeviceStatus(TestResult* r)
{
    return RunTest(r, kTagSound, &HLM_DIAG_ENGINE::TestSoundDeviceStatus);
}
#if HLM_DIAG_GENERATION == 5
// XP has no audio services and no endpoints: both tests are this one placeholder.
bool PlaceholderSoundTest(TestResult* r)
{
    WriteDefaults(r, kTagSound);
    return true;
}
#else
bool DllTestSoundService(TestResult* r)
{
    return RunTest(r, kTagSound, &HLM_DIAG_ENGINE::TestSoundService);
}
bool DllTestSoundOutputDevice(TestResult* r)
{
    return RunTest(r, kTagSound, &HLM_DIAG_ENGINE::TestSoundOutputDevice);
}
#endif
bool DllTestSoundVolumelevel(TestResult* r)
{
    return RunTest(r, kTagSound, &HLM_DIAG_ENGINE::TestSoundVolumelevel);
}
bool DllTestSoundSamplePlay(TestResult* r)
{
    return RunTest(r, kTagSound, &HLM_DIAG_ENGINE::TestSoundSamplePlay);
}

bool DllTestNetworkDrv(TestResult* r)
{
    return RunTest(r, kTagNetwork, &HLM_DIAG_ENGINE::TestNetworkDrv);
}
bool DllTestNetworkDeviceStatus(TestResult* r)
{
    return RunTest(r, kTagNetwork, &HLM_DIAG_ENGINE::TestNetworkDeviceStatus);
}
bool DllTestNetworkConfig(TestResult* r)
{
    return RunTest(r, kTagNetwork, &HLM_DIAG_ENGINE::TestNetworkConfig);
}
bool DllTestNetworkService(TestResult* r)
{
    return RunTest(r, kTagNetwork, &HLM_DIAG_ENGINE::TestNetworkService);
}
bool DllTestNetworkPhysicalConnection(TestResult* r)
{
    return RunTest(r, kTagNetwork, &HLM_DIAG_ENGINE::TestNetworkPhysicalConnection);
}

bool DllTestSystemHddSpace(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemHddSpace);
}
bool DllTestSystemAntiVirusInstalled(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemAntiVirusInstalled);
}
bool DllTestSystemFirewall(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemFirewall);
}
bool DllTestSystemVirtualMemory(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemVirtualMemory);
}
bool DllTestSystemWindowsUpdate(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemWindowsUpdate);
}
bool DllTestSystemTempInternetFile(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemTempInternetFile);
}
bool DllTestSystemKYVInstalled(TestResult* r)
{
#if HLM_DIAG_GENERATION == 5
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemKYVInstalled);
#else
    // The keyboard utility exists only for XP notebooks.
    WriteDefaults(r, kTagSystem);
    return true;
#endif
}
bool DllTestSystemDSVInstalled(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemDSVInstalled);
}
#if HLM_DIAG_GENERATION != 5
bool DllTestSystemSPVInstalled(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemSPVInstalled);
}
#endif
bool DllTestSystemPTWInstalled(TestResult* r)
{
    return RunTest(r, kTagSystem, &HLM_DIAG_ENGINE::TestSystemPTWInstalled);
}
// The update page stores the update tool's version in categoryTag before this call, so the
// tag is the one default this export does not write.
bool DllTestSystemPTWConfig(TestResult* r)
{
    const int32_t version = r->categoryTag;
    WriteDefaults(r, version);
    return diag::Engine().TestSystemPTWConfig(r);
}

bool DllFixGraphicDrv(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixGraphicDrv);
}
bool DllFixGraphicDeviceStatus(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixGraphicDeviceStatus);
}
bool DllFixGraphicDWMService(TestResult* r)
{
#if HLM_DIAG_GENERATION == 5
    (void)r;
    diag::Trace(L"XP NOT SUPPORT");
    return true;
#else
    return RunRepair(r, &HLM_DIAG_ENGINE::FixGraphicDWMService);
#endif
}
bool DllFixGraphicResolution(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixGraphicResolution);
}
bool DllFixGraphicColorbit(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixGraphicColorbit);
}
bool DllFixSoundDrv(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSoundDrv);
}
bool DllFixSoundDeviceStatus(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSoundDeviceStatus);
}
bool DllFixSoundVolumelevel(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSoundVolumelevel);
}
#if HLM_DIAG_GENERATION == 5
bool DllFixSoundVolumeMute(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSoundVolumeMute);
}
#else
bool DllFixGraphic3DsamplePlay(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixGraphic3DsamplePlay);
}
bool DllFixSoundService(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSoundService);
}
bool DllFixSoundOutputDevice(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSoundOutputDevice);
}
#endif
bool DllFixNetworkDrv(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixNetworkDrv);
}
bool DllFixNetworkDeviceStatus(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixNetworkDeviceStatus);
}
bool DllFixNetworkConfig(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixNetworkConfig);
}
bool DllFixNetworkService(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixNetworkService);
}
bool DllFixNetworkPacketTransition(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixNetworkPacketTransition);
}
bool DllFixSystemHddSpace(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemHddSpace);
}
bool DllFixSystemAntiVirusInstalled(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemAntiVirusInstalled);
}
bool DllFixSystemFirewall(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemFirewall);
}
bool DllFixSystemVirtualMemory(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemVirtualMemory);
}
bool DllFixSystemWindowsUpdate(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemWindowsUpdate);
}
bool DllFixSystemTempInternetFile(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemTempInternetFile);
}
#if HLM_DIAG_GENERATION == 5
bool DllFixSystemKYVInstalled(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemKYVInstalled);
}
#endif
bool DllFixSystemDSVInstalled(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemDSVInstalled);
}
bool DllFixSystemSPVInstalled(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemSPVInstalled);
}
bool DllFixSystemPTWInstalled(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemPTWInstalled);
}
bool DllFixSystemPTWConfig(TestResult* r)
{
    return RunRepair(r, &HLM_DIAG_ENGINE::FixSystemPTWConfig);
}

} // extern "C"

extern "C" {

double DllGetUpdateStringArray(int32_t* count, fw::CSharedString* lines, int32_t kind)
{
    return diag::ReadUpdateCatalog(count, lines, kind);
}

} // extern "C"
