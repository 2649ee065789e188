// The setup API's device lists and property changes, for the device-enable routine.

#include <windows.h>

#include <setupapi.h>

#include <utility>

#include "diaglib/ports/RealPorts.h"
#include "framework/Handles.h"

namespace diag {

namespace {

struct DeviceInfoSetTraits {
    using Handle = HDEVINFO;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { SetupDiDestroyDeviceInfoList(handle); }
};
using UniqueDeviceInfoSet = fw::UniqueResource<DeviceInfoSetTraits>;

class RealDeviceList : public IDeviceList {
  public:
    explicit RealDeviceList(UniqueDeviceInfoSet set) : set_(std::move(set))
    {
        // Counted once: the list is a snapshot, addressed by index from here on.
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof(device);
        while (SetupDiEnumDeviceInfo(set_.get(), count_, &device))
            ++count_;
    }

    DWORD Count() override { return count_; }

    bool Description(DWORD index, BYTE* buffer, DWORD bytes, DWORD* required) override
    {
        *required = 0;
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        return SetupDiGetDeviceRegistryPropertyW(set_.get(), &device, SPDRP_DEVICEDESC, nullptr,
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
        if (!SetupDiGetDeviceInstanceIdW(set_.get(), &device, buffer, characters, nullptr)) {
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
        if (!SetupDiSetClassInstallParamsW(set_.get(), &device, &change.ClassInstallHeader,
                                           sizeof(change)))
            return false;
        return SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set_.get(), &device) != FALSE;
    }

    bool ApplyState(DWORD index) override
    {
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        return SetupDiChangeState(set_.get(), &device) != FALSE;
    }

    bool InstallFlags(DWORD index, DWORD* flags) override
    {
        *flags = 0;
        SP_DEVINFO_DATA device;
        if (!Device(index, device))
            return false;
        SP_DEVINSTALL_PARAMS_W parameters = {};
        parameters.cbSize = sizeof(parameters);
        if (!SetupDiGetDeviceInstallParamsW(set_.get(), &device, &parameters))
            return false;
        *flags = parameters.Flags;
        return true;
    }

  private:
    bool Device(DWORD index, SP_DEVINFO_DATA& device) const
    {
        device = {};
        device.cbSize = sizeof(device);
        return index < count_ && SetupDiEnumDeviceInfo(set_.get(), index, &device) != FALSE;
    }

    UniqueDeviceInfoSet set_;
    DWORD count_ = 0;
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
