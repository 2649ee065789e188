#pragma once
// The library's exports as the behaviour tests call them: linked in, not loaded.

#include "diaglib/exports/TestResult.h"

extern "C" {
bool DllTestGraphicDrv(TestResult*);
bool DllTestGraphicDeviceStatus(TestResult*);
bool DllTestGraphicDWMService(TestResult*);
bool DllTestGraphicResolution(TestResult*);
bool DllTestGraphicColorbit(TestResult*);
bool DllTestGraphic3DsamplePlay(TestResult*);
bool DllTestSoundDrv(TestResult*);
bool DllTestSoundDeviceStatus(TestResult*);
bool DllTestSoundVolumelevel(TestResult*);
bool DllTestSoundSamplePlay(TestResult*);
bool DllTestNetworkDrv(TestResult*);
bool DllTestNetworkDeviceStatus(TestResult*);
bool DllTestNetworkConfig(TestResult*);
bool DllTestNetworkService(TestResult*);
bool DllTestNetworkPhysicalConnection(TestResult*);
bool DllTestNetworkPacketTransition(TestResult*);
bool DllTestSystemHddSpace(TestResult*);
bool DllTestSystemAntiVirusInstalled(TestResult*);
bool DllTestSystemFirewall(TestResult*);
bool DllTestSystemVirtualMemory(TestResult*);
bool DllTestSystemWindowsUpdate(TestResult*);
bool DllTestSystemTempInternetFile(TestResult*);
bool DllTestSystemKYVInstalled(TestResult*);
bool DllTestSystemDSVInstalled(TestResult*);
bool DllTestSystemPTWInstalled(TestResult*);
bool DllTestSystemPTWConfig(TestResult*);
bool PlaceholderRepair(TestResult*);
bool DllFixGraphicDrv(TestResult*);
bool DllFixGraphicDWMService(TestResult*);
bool DllFixSystemPTWConfig(TestResult*);
double DllGetUpdateStringArray(int32_t* count, fw::CSharedString* lines, int32_t kind);
#if HLM_DIAG_GENERATION == 5
bool PlaceholderSoundTest(TestResult*);
bool DllFixSoundVolumeMute(TestResult*);
#else
bool DllTestSoundService(TestResult*);
bool DllTestSoundOutputDevice(TestResult*);
bool DllTestSystemSPVInstalled(TestResult*);
bool DllFixSoundOutputDevice(TestResult*);
bool DllFixGraphic3DsamplePlay(TestResult*);
#endif
}
