// The Win32 implementations of the library's ports and the choice between them and a test's.

#include <windows.h>

#include <setupapi.h>

#include <utility>

#include "diaglib/ports/DeviceInfoSet.h"
#include "framework/Handles.h"
#include "shell/OsVersion.h"
#include "sysinfo/SysInfoPorts.h"

namespace tav {

namespace {

class RealDriverDevices : public IDriverDevices, private diag::IndexedDeviceSet {
  public:
    using IndexedDeviceSet::IndexedDeviceSet;

    DWORD Count() override { return DeviceCount(); }

    bool Property(DWORD index, DWORD property, BYTE* buffer, DWORD bytes) override
    {
        SP_DEVINFO_DATA device;
        return Device(index, device) &&
               SetupDiGetDeviceRegistryPropertyW(Set(), &device, property, nullptr, buffer,
                                                 bytes, nullptr);
    }

    bool BuildCompatibleDrivers(DWORD index) override
    {
        SP_DEVINFO_DATA device;
        return Device(index, device) &&
               SetupDiBuildDriverInfoList(Set(), &device, SPDIT_COMPATDRIVER);
    }

    bool FirstCompatibleDriver(DWORD index, SP_DRVINFO_DATA_W* driver) override
    {
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        *driver = {};
        driver->cbSize = sizeof(*driver);
        return SetupDiEnumDriverInfoW(Set(), &device, SPDIT_COMPATDRIVER, 0, driver) != FALSE;
    }

    void DestroyCompatibleDrivers(DWORD index) override
    {
        SP_DEVINFO_DATA device;
        if (Device(index, device))
            SetupDiDestroyDriverInfoList(Set(), &device, SPDIT_COMPATDRIVER);
    }
};

class RealSetupPort : public ISetupPort {
  public:
    bool ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                            DWORD* required) override
    {
        *required = 0;
        return SetupDiClassGuidsFromNameExW(className, guids, capacity, required, L"", nullptr) !=
               FALSE;
    }

    IDriverDevices* PresentDevices(const GUID* classes, DWORD count) override
    {
        // One list for all the classes: each class's present devices are added to it in turn.
        diag::UniqueDeviceInfoSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
        if (!set)
            return nullptr;
        bool listed = false;
        for (DWORD i = 0; i < count; ++i)
            listed |= SetupDiGetClassDevsExW(&classes[i], nullptr, nullptr, DIGCF_PRESENT,
                                             set.get(), nullptr, nullptr) != INVALID_HANDLE_VALUE;
        if (!listed)
            return nullptr;
        return new RealDriverDevices(std::move(set));
    }
};

class RealVersionPort : public IVersionPort {
  public:
    DWORD MajorVersion() override { return WindowsMajorVersion(); }
};

// Objects without state, set up before any code of the library runs.
diag::RealWmiPort realWmi(true);
RealSetupPort realSetup;
RealVersionPort realVersion;
Ports installed = {&realWmi, &realSetup, &realVersion};

} // namespace

const Ports& CurrentPorts()
{
    return installed;
}

void InstallPorts(const Ports& replacements)
{
    if (replacements.wmi)
        installed.wmi = replacements.wmi;
    if (replacements.setup)
        installed.setup = replacements.setup;
    if (replacements.version)
        installed.version = replacements.version;
}

} // namespace tav
