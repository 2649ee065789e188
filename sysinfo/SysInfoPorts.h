#pragma once
// What the system-information library reads from the machine that a test cannot stage on
// demand: WMI, the setup API's device lists, and the Windows version. Each is an interface with
// the real implementation, which the library uses, and fakes the library's own tests install.
// The registry is used directly.

#include <windows.h>

#include <setupapi.h>

#include "diaglib/ports/WmiPort.h"

namespace tav {

// The present devices of a set of setup classes, addressed by index in device order.
class IDriverDevices {
  public:
    virtual ~IDriverDevices() = default;
    virtual DWORD Count() = 0;
    // A registry property of the device (SPDRP_HARDWAREID, SPDRP_COMPATIBLEIDS,
    // SPDRP_DEVICEDESC, SPDRP_MFG, SPDRP_DRIVER) into `buffer` of `bytes`. False when it
    // cannot be read; the buffer is then untouched.
    virtual bool Property(DWORD index, DWORD property, BYTE* buffer, DWORD bytes) = 0;
    // Builds the device's list of compatible drivers; false when it cannot be built.
    virtual bool BuildCompatibleDrivers(DWORD index) = 0;
    // The first entry of the list built for the device; false when there is none.
    virtual bool FirstCompatibleDriver(DWORD index, SP_DRVINFO_DATA_W* driver) = 0;
    virtual void DestroyCompatibleDrivers(DWORD index) = 0;
};

class ISetupPort {
  public:
    virtual ~ISetupPort() = default;
    // The class identifiers of a setup class name on the local machine, as
    // SetupDiClassGuidsFromNameW: `required` tells how many there are, even when `capacity` is
    // too small. False when the name cannot be looked up.
    virtual bool ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                                    DWORD* required) = 0;
    // The present devices of these classes; nullptr when the list cannot be made. The caller
    // owns the list.
    virtual IDriverDevices* PresentDevices(const GUID* classes, DWORD count) = 0;
};

class IVersionPort {
  public:
    virtual ~IVersionPort() = default;
    // The major version of the running Windows (5 for XP, 6 for Vista and 7).
    virtual DWORD MajorVersion() = 0;
};

struct Ports {
    diag::IWmiPort* wmi = nullptr;
    ISetupPort* setup = nullptr;
    IVersionPort* version = nullptr;
};

// The ports in use: the real ones unless a test installed others.
const Ports& CurrentPorts();
// For the library's tests: members left null keep the port in use. Not exported.
void InstallPorts(const Ports& ports);

} // namespace tav
