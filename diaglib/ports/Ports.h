#pragma once
// The machine inputs the tests read that a test run cannot stage on demand: WMI, the setup
// API's device list and state changes, the display mode and the firewall. Each is an interface
// with the real Win32 implementation, which the library uses, and fakes that the library's own
// tests install before they call into it. Registry, files and services are used directly.

#include <windows.h>

#include "diaglib/ports/WmiPort.h"

namespace diag {

// ---- Setup API -------------------------------------------------------------------------

// The present devices of a set of setup classes, addressed by index.
class IDeviceList {
  public:
    virtual ~IDeviceList() = default;
    virtual DWORD Count() = 0;
    // The device description (SPDRP_DEVICEDESC) into `buffer` of `bytes`; `required`
    // receives the size the property needs. False when it cannot be read.
    virtual bool Description(DWORD index, BYTE* buffer, DWORD bytes, DWORD* required) = 0;
    // The device instance identifier; false when it cannot be read.
    virtual bool InstanceId(DWORD index, wchar_t* buffer, DWORD characters) = 0;
    // Asks the class installer to carry out DIF_PROPERTYCHANGE "enable" with `scope`
    // (DICS_FLAG_GLOBAL or DICS_FLAG_CONFIGSPECIFIC) for hardware profile `profile`.
    virtual bool CallEnable(DWORD index, DWORD scope, DWORD profile) = 0;
    // Applies the requested change to the device's state (SetupDiChangeState).
    virtual bool ApplyState(DWORD index) = 0;
    // The device's install flags (SP_DEVINSTALL_PARAMS::Flags); false when unreadable.
    virtual bool InstallFlags(DWORD index, DWORD* flags) = 0;
};

class ISetupPort {
  public:
    virtual ~ISetupPort() = default;
    // The class identifiers of a setup class name, as SetupDiClassGuidsFromNameW: false with
    // ERROR_INSUFFICIENT_BUFFER as last error when `capacity` is too small (`required` tells).
    virtual bool ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                                    DWORD* required) = 0;
    // The present devices of these classes; nullptr when the list cannot be made. The caller
    // owns the list.
    virtual IDeviceList* PresentDevices(const GUID* classes, DWORD count) = 0;
};

// ---- Display ---------------------------------------------------------------------------

class IDisplayPort {
  public:
    virtual ~IDisplayPort() = default;
    // The primary display's current mode (EnumDisplaySettingsW with ENUM_CURRENT_SETTINGS);
    // `mode->dmSize` is set by the caller.
    virtual bool CurrentMode(DEVMODEW* mode) = 0;
};

// ---- Firewall --------------------------------------------------------------------------

// The current Windows Firewall profile.
class IFirewallProfile {
  public:
    virtual ~IFirewallProfile() = default;
    virtual HRESULT GetEnabled(bool* enabled) = 0;
    virtual HRESULT SetEnabled(bool enabled) = 0;
};

// The steps to the current profile, so the library can say which one failed.
enum class FirewallStep { CreateManager, LocalPolicy, CurrentProfile };

class IFirewallPort {
  public:
    virtual ~IFirewallPort() = default;
    // The firewall manager's local policy's current profile. On failure the status of the
    // step that failed, that step in `failedStep`, and no profile. The caller owns the profile.
    virtual HRESULT CurrentProfile(IFirewallProfile** profile, FirewallStep* failedStep) = 0;
};

// ---- Core Audio ------------------------------------------------------------------------

// The endpoint-volume interface of one endpoint.
class IAudioVolume {
  public:
    virtual ~IAudioVolume() = default;
    virtual HRESULT GetMute(bool* muted) = 0;
    // The master volume as a scalar from 0.0 to 1.0.
    virtual HRESULT GetMasterLevel(float* level) = 0;
};

class IAudioEndpoint {
  public:
    virtual ~IAudioEndpoint() = default;
    // The endpoint's identifier ("{0.0.0.00000000}.{...}"), allocated with CoTaskMemAlloc;
    // the caller frees it.
    virtual HRESULT GetId(wchar_t** id) = 0;
    // Activates the endpoint-volume interface (all contexts). The caller owns the volume.
    virtual HRESULT ActivateVolume(IAudioVolume** volume) = 0;
};

// The multimedia device enumerator.
class IAudioDevices {
  public:
    virtual ~IAudioDevices() = default;
    // The default render endpoint for the console role. The caller owns the endpoint.
    virtual HRESULT DefaultRenderEndpoint(IAudioEndpoint** endpoint) = 0;
    // Enumerates the capture endpoints in the states of `stateMask` (DEVICE_STATE_*);
    // `count` receives how many there are.
    virtual HRESULT CaptureEndpoints(DWORD stateMask, UINT* count) = 0;
};

class IAudioPort {
  public:
    virtual ~IAudioPort() = default;
    // Creates the device enumerator; on failure the status and no enumerator. The caller owns
    // the enumerator. COM is initialised by the engine first.
    virtual HRESULT CreateDevices(IAudioDevices** devices) = 0;
};

// ---- Multimedia mixer (the XP build's volume) ------------------------------------------

// The mixer calls in the order they are made, so the library can say which one failed.
enum class MixerStep { Open, LineInfo, LineControls, ControlDetails };

class IMixerPort {
  public:
    virtual ~IMixerPort() = default;
    // The mute control of mixer 0's speakers destination line. False when any step fails.
    virtual bool SpeakerMute(bool* muted) = 0;
    // The volume control of mixer 0's speakers destination line: one channel's unsigned value
    // (0 to 65535). False when a step fails, that step in `failedStep`.
    virtual bool SpeakerVolume(DWORD* value, MixerStep* failedStep) = 0;
};

// ---- System tests --------------------------------------------------------------------

class ISystemPort; // diaglib/ports/SystemPorts.h

// ---- Choosing them ---------------------------------------------------------------------

struct Ports {
    IWmiPort* wmi = nullptr;
    ISetupPort* setup = nullptr;
    IDisplayPort* display = nullptr;
    IFirewallPort* firewall = nullptr;
    IAudioPort* audio = nullptr;
    IMixerPort* mixer = nullptr;
    ISystemPort* system = nullptr;
};

// The ports in use: the real ones unless a test installed others.
const Ports& CurrentPorts();
// For the library's tests: members left null keep the real port. Not exported.
void InstallPorts(const Ports& ports);

} // namespace diag
