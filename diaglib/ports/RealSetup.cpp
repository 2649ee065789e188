// The setup API's device lists and property changes, for the device-enable routine.

#include <windows.h>

#include <setupapi.h>

#include <utility>

#include "diaglib/ports/DeviceInfoSet.h"
#include "diaglib/ports/RealPorts.h"
#include "framework/Handles.h"

namespace diag {

namespace {

class RealDeviceList : public IDeviceList, private IndexedDeviceSet {
  public:
    using IndexedDeviceSet::IndexedDeviceSet;

    DWORD Count() override { return DeviceCount(); }

    bool Description(DWORD index, BYTE* buffer, DWORD bytes, DWORD* required) override
    {
        *required = 0;
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        return SetupDiGetDeviceRegistryPropertyW(Set(), &device, SPDRP_DEVICEDESC, nullptr,
                                                 buffer, bytes, required) != FALSE;
    }

    bool InstanceId(DWORD index, wchar_t* buffer, DWORD characters) override
    {
        if (characters == 0)
            return false;
        buffer[0] = L'\0';
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        if (!SetupDiGetDeviceInstanceIdW(Set(), &device, buffer, characters, nullptr)) {
            buffer[0] = L'\0';
            return false;
        }
        buffer[characters - 1] = L'\0';
        return true;
    }

    bool CallEnable(DWORD index, DWORD scope, DWORD profile) override
    {
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        SP_PROPCHANGE_PARAMS change = {};
        change.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        change.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        change.StateChange = DICS_ENABLE;
        change.Scope = scope;
        change.HwProfile = profile;
        if (!SetupDiSetClassInstallParamsW(Set(), &device, &change.ClassInstallHeader,
                                           sizeof(change)))
            return false;
        return SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, Set(), &device) != FALSE;
    }

    bool ApplyState(DWORD index) override
    {
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        return SetupDiChangeState(Set(), &device) != FALSE;
    }

    bool InstallFlags(DWORD index, DWORD* flags) override
    {
        *flags = 0;
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        SP_DEVINSTALL_PARAMS_W parameters = {};
        parameters.cbSize = sizeof(parameters);
        if (!SetupDiGetDeviceInstallParamsW(Set(), &device, &parameters))
            return false;
        *flags = parameters.Flags;
        return true;
    }
};

} // namespace

bool RealSetupPort::ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                                       DWORD* required)
{
    *required = 0;
    return SetupDiClassGuidsFromNameW(className, guids, capacity, required) != FALSE;
}

IDeviceList* RealSetupPort::PresentDevices(const GUID* classes, DWORD count)
{
    // One list for all the classes: each class's present devices are added to it in turn. A
    // class that cannot be listed adds nothing; the others still count.
    UniqueDeviceInfoSet set(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    if (!set)
        return nullptr;
    for (DWORD i = 0; i < count; ++i)
        SetupDiGetClassDevsExW(&classes[i], nullptr, nullptr, DIGCF_PRESENT, set.get(), nullptr,
                               nullptr);
    return new RealDeviceList(std::move(set));
}

} // namespace diag
