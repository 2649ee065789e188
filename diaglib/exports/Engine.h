#pragma once
// The library's engine: one object per loaded library carrying every test and repair as an
// ordinary operation, named after its export without the "Dll" prefix. It is a window object
// that never creates a window. The class is named after the build's Windows generation, and
// so are the traces.

#include <windows.h>

#include <cstdint>

#include "diaglib/exports/TestResult.h"
#include "framework/Wnd.h"

#if HLM_DIAG_GENERATION == 7
#define HLM_DIAG_ENGINE DiagnosticsWin7
#elif HLM_DIAG_GENERATION == 6
#define HLM_DIAG_ENGINE DiagnosticsVista
#elif HLM_DIAG_GENERATION == 5
#define HLM_DIAG_ENGINE DiagnosticsXP
#else
#error "HLM_DIAG_GENERATION must be 7, 6 or 5"
#endif

class CVideoControllerInfo;
class CSoundDeviceInfo;
class CNetworkAdapter;
class CVirtualMemInfo;
class CCommonWmiData;

class HLM_DIAG_ENGINE : public fw::CWnd {
  public:
    HLM_DIAG_ENGINE();
    ~HLM_DIAG_ENGINE() override;

    // Display tests.
    bool TestGraphicDrv(TestResult* result);
    bool TestGraphicDeviceStatus(TestResult* result);
    bool TestGraphicDWMService(TestResult* result);
    bool TestGraphicResolution(TestResult* result);
    bool TestGraphicColorbit(TestResult* result);
    bool TestGraphic3DsamplePlay(TestResult* result);

    // Sound, network and system tests.
    bool TestSoundDrv(TestResult* result);
    bool TestSoundDeviceStatus(TestResult* result);
    bool TestSoundService(TestResult* result);
    bool TestSoundOutputDevice(TestResult* result);
    bool TestSoundVolumelevel(TestResult* result);
    bool TestSoundSamplePlay(TestResult* result);
    bool TestNetworkDrv(TestResult* result);
    bool TestNetworkDeviceStatus(TestResult* result);
    bool TestNetworkConfig(TestResult* result);
    bool TestNetworkService(TestResult* result);
    bool TestNetworkPhysicalConnection(TestResult* result);
    bool TestSystemHddSpace(TestResult* result);
    bool TestSystemAntiVirusInstalled(TestResult* result);
    bool TestSystemFirewall(TestResult* result);
    bool TestSystemVirtualMemory(TestResult* result);
    bool TestSystemWindowsUpdate(TestResult* result);
    bool TestSystemTempInternetFile(TestResult* result);
    bool TestSystemKYVInstalled(TestResult* result);
    bool TestSystemDSVInstalled(TestResult* result);
    bool TestSystemSPVInstalled(TestResult* result);
    bool TestSystemPTWInstalled(TestResult* result);
    bool TestSystemPTWConfig(TestResult* result);

    // Repairs.
    bool FixGraphicDrv(TestResult* result);
    bool FixGraphicDeviceStatus(TestResult* result);
    bool FixGraphicDWMService(TestResult* result);
    bool FixGraphicResolution(TestResult* result);
    bool FixGraphicColorbit(TestResult* result);
    bool FixGraphic3DsamplePlay(TestResult* result);
    bool FixSoundDrv(TestResult* result);
    bool FixSoundDeviceStatus(TestResult* result);
    bool FixSoundService(TestResult* result);
    bool FixSoundOutputDevice(TestResult* result);
    bool FixSoundVolumelevel(TestResult* result);
    bool FixSoundVolumeMute(TestResult* result);
    bool FixNetworkDrv(TestResult* result);
    bool FixNetworkDeviceStatus(TestResult* result);
    bool FixNetworkConfig(TestResult* result);
    bool FixNetworkService(TestResult* result);
    bool FixNetworkPacketTransition(TestResult* result);
    bool FixSystemHddSpace(TestResult* result);
    bool FixSystemAntiVirusInstalled(TestResult* result);
    bool FixSystemFirewall(TestResult* result);
    bool FixSystemVirtualMemory(TestResult* result);
    bool FixSystemWindowsUpdate(TestResult* result);
    bool FixSystemTempInternetFile(TestResult* result);
    bool FixSystemKYVInstalled(TestResult* result);
    bool FixSystemDSVInstalled(TestResult* result);
    bool FixSystemSPVInstalled(TestResult* result);
    bool FixSystemPTWInstalled(TestResult* result);
    bool FixSystemPTWConfig(TestResult* result);

    // Shared helpers.
    // True when the service starts automatically and is running; a check that cannot be
    // made counts as in order.
    bool DetectServiceStatus(const wchar_t* serviceName);
    // Initialises COM (single-threaded) and its process-wide security once per loaded
    // library; a failed attempt is traced and never repeated.
    void EnsureComInitialized();
    bool ComReady() const { return comReady_; }

  private:
    bool comReady_ = false;
    uint32_t comWords_[2] = {}; // cleared again on destruction once COM was set up
    // The helper object of the test that is running; none outlives its call.
    CVideoControllerInfo* videoInfo_ = nullptr;
    CSoundDeviceInfo* soundInfo_ = nullptr;
    CNetworkAdapter* networkInfo_ = nullptr;
#if HLM_DIAG_GENERATION != 5
    CVirtualMemInfo* virtualMemInfo_ = nullptr;
#endif
    CCommonWmiData* commonWmi_ = nullptr;
};

namespace diag {

// The engine object of this library.
HLM_DIAG_ENGINE& Engine();

// The engine's class name as the traces spell it ("DiagnosticsWin7", ...).
extern const wchar_t kEngineName[];

} // namespace diag
