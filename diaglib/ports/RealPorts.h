#pragma once
// The Win32 implementations of the ports, the ones the shipped library uses.

#include "diaglib/ports/Ports.h"

namespace diag {

class RealWmiPort : public IWmiPort {
  public:
    IWmiConnection* Connect(const wchar_t* nameSpace) override;
};

class RealSetupPort : public ISetupPort {
  public:
    bool ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                            DWORD* required) override;
    IDeviceList* PresentDevices(const GUID* classes, DWORD count) override;
};

class RealDisplayPort : public IDisplayPort {
  public:
    bool CurrentMode(DEVMODEW* mode) override;
};

class RealFirewallPort : public IFirewallPort {
  public:
    HRESULT CurrentProfile(IFirewallProfile** profile, FirewallStep* failedStep) override;
};

} // namespace diag
