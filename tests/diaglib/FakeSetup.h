#pragma once
// A setup API the test fills: class names with their class identifiers, and the present
// devices of each class with what reading and switching them gives. Every call the library
// makes is written to a log, so a test can see which devices were touched and how.

#include <windows.h>

#include <string>
#include <vector>

#include "diaglib/ports/Ports.h"

struct FakeDevice {
    std::wstring instanceId;
    std::wstring description = L"Device";
    // An unreadable description reports `descriptionSize` as the size it needs (0: none).
    bool descriptionReadable = true;
    DWORD descriptionSize = 0;
    bool instanceIdReadable = true;
    // DIF_PROPERTYCHANGE through the class installer, per scope, and SetupDiChangeState.
    bool globalEnableWorks = true;
    bool applyStateWorks = true;
    bool configEnableWorks = true;
    // SP_DEVINSTALL_PARAMS::Flags after the change (DI_NEEDRESTART, DI_NEEDREBOOT).
    DWORD installFlags = 0;
    bool installFlagsReadable = true;
};

class FakeSetup : public diag::ISetupPort {
  public:
    // A class name resolving to `guidCount` new class identifiers; returns the first.
    GUID AddClass(const std::wstring& name, int guidCount = 1);
    // All identifiers of a class added before.
    std::vector<GUID> Guids(const std::wstring& name) const;
    // A present device of the class with that identifier.
    void AddDevice(const GUID& classGuid, const FakeDevice& device);
    // PresentDevices fails (no list at all).
    bool listFails = false;

    // "ClassGuidsFromName DISPLAY 16", "PresentDevices 2", "Description PCI\X",
    // "CallEnable PCI\X global 0", "CallEnable PCI\X config 0", "ApplyState PCI\X",
    // "InstallFlags PCI\X".
    std::vector<std::wstring> calls;
    // The identifiers of the devices whose state was touched (CallEnable or ApplyState).
    std::vector<std::wstring> Touched() const;
    // How many device lists are alive (the library must delete each one it gets).
    int liveLists = 0;

    bool ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                            DWORD* required) override;
    diag::IDeviceList* PresentDevices(const GUID* classes, DWORD count) override;

  private:
    struct SetupClass {
        std::wstring name;
        std::vector<GUID> guids;
    };
    struct ClassDevice {
        GUID classGuid;
        FakeDevice device;
    };
    std::vector<SetupClass> classes_;
    std::vector<ClassDevice> devices_;
    unsigned nextGuid_ = 1;
};

// Installs a setup port for the life of the object, then puts back the ports used before.
class ScopedSetupPort {
  public:
    explicit ScopedSetupPort(diag::ISetupPort& port);
    ~ScopedSetupPort();
    ScopedSetupPort(const ScopedSetupPort&) = delete;
    ScopedSetupPort& operator=(const ScopedSetupPort&) = delete;

  private:
    diag::Ports previous_;
};
