#pragma once
// The Win32 implementations of the ports, the ones the shipped library uses.

#include "diaglib/ports/Ports.h"
#include "diaglib/ports/SystemPorts.h"

namespace diag {

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

class RealAudioPort : public IAudioPort {
  public:
    HRESULT CreateDevices(IAudioDevices** devices) override;
};

class RealMixerPort : public IMixerPort {
  public:
    bool SpeakerMute(bool* muted) override;
    bool SpeakerVolume(DWORD* value, MixerStep* failedStep) override;
};

class RealSystemPort : public ISystemPort {
  public:
    bool PhysicalMemory(ULONGLONG* bytes) override;
    bool SecurityProviderHealth(DWORD provider, DWORD* health) override;
    bool ProcessNames(fw::CArray<fw::CSharedString>& names) override;
    bool InternetCacheFolder(fw::CSharedString& folder) override;
    bool DriveSpace(const wchar_t* root, ULONGLONG* total, ULONGLONG* free) override;
    double ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind) override;
};

} // namespace diag
