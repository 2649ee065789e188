#pragma once
// The machine inputs the tests read that a test run cannot stage on demand: WMI, the setup
// API's device list and state changes, the display mode and the firewall. Each is an interface
// with the real Win32 implementation, which the library uses, and fakes that the library's own
// tests install before they call into it. Registry, files and services are used directly.

#include <windows.h>

namespace diag {

// ---- WMI -------------------------------------------------------------------------------

// One object WMI returned, its properties read by name.
class IWmiObject {
  public:
    virtual ~IWmiObject() = default;
    // Copies the property's value into `value` (initialised by the caller, cleared by the
    // caller). False when the class has no such property or it cannot be read.
    virtual bool Get(const wchar_t* property, VARIANT* value) = 0;
};

// Receives the objects of an enumeration or query in order; returning false stops it.
class IWmiVisitor {
  public:
    virtual bool Visit(IWmiObject& object) = 0;

  protected:
    ~IWmiVisitor() = default;
};

class IWmiConnection {
  public:
    virtual ~IWmiConnection() = default;
    // Every instance of the class (a shallow instance enumeration), each fetched again by its
    // "__RELPATH". False when the enumeration cannot be started.
    virtual bool EnumerateInstances(const wchar_t* className, IWmiVisitor& visitor) = 0;
    // A WQL query run return-immediately and forward-only, its rows fetched one at a time.
    // False when the query cannot be executed.
    virtual bool ExecQuery(const wchar_t* wql, IWmiVisitor& visitor) = 0;
};

class IWmiPort {
  public:
    virtual ~IWmiPort() = default;
    // A connection to the namespace, through the WMI locator with no user, password, locale,
    // authority or context; nullptr when it fails. The caller owns the connection.
    virtual IWmiConnection* Connect(const wchar_t* nameSpace) = 0;
};

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

// ---- Choosing them ---------------------------------------------------------------------

struct Ports {
    IWmiPort* wmi = nullptr;
    ISetupPort* setup = nullptr;
    IDisplayPort* display = nullptr;
    IFirewallPort* firewall = nullptr;
};

// The ports in use: the real ones unless a test installed others.
const Ports& CurrentPorts();
// For the library's tests: members left null keep the real port. Not exported.
void InstallPorts(const Ports& ports);

} // namespace diag
