// The repairs. Until each is written it reports that it did not repair (0), never success:
// the result view must not tell the user a problem was fixed.

#include "diaglib/exports/Engine.h"
#include "diaglib/exports/Trace.h"

bool HLM_DIAG_ENGINE::FixGraphicDrv(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixGraphicDeviceStatus(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixGraphicDWMService(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixGraphicResolution(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixGraphicColorbit(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixGraphic3DsamplePlay(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSoundDrv(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSoundDeviceStatus(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSoundService(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSoundVolumelevel(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSoundVolumeMute(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixNetworkDrv(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixNetworkDeviceStatus(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixNetworkConfig(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixNetworkService(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixNetworkPacketTransition(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemHddSpace(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemAntiVirusInstalled(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemFirewall(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemVirtualMemory(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemWindowsUpdate(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemTempInternetFile(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemKYVInstalled(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemDSVInstalled(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemSPVInstalled(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemPTWInstalled(TestResult*)
{
    return false;
}
bool HLM_DIAG_ENGINE::FixSystemPTWConfig(TestResult*)
{
    return false;
}

// The sound output has nothing that can be repaired from here: the repair only reports.
bool HLM_DIAG_ENGINE::FixSoundOutputDevice(TestResult*)
{
    diag::Trace(L"FixSoundOutputDevice");
    return true;
}
