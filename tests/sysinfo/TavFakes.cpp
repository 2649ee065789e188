#include "tests/sysinfo/TavFakes.h"

#include <cwchar>
#include <utility>

#include "sysinfo/TavDLL.h"

namespace {

// What SetupDiGetDeviceRegistryPropertyW would store: a REG_MULTI_SZ or a REG_SZ.
std::wstring MultiSz(const std::vector<std::wstring>& strings)
{
    std::wstring data;
    for (const std::wstring& text : strings) {
        data += text;
        data += L'\0';
    }
    data += L'\0';
    return data;
}

} // namespace

FakeDevice Device(const std::wstring& name, std::vector<std::wstring> hardwareIds)
{
    FakeDevice device;
    device.name = name;
    device.hardwareIds = std::move(hardwareIds);
    device.compatibleIds = {L"GENERIC_DEVICE"};
    device.description = name;
    device.manufacturer = std::wstring(L"Vantrel");
    return device;
}

SP_DRVINFO_DATA_W CompatibleDriver(const wchar_t* description, const wchar_t* maker, WORD major,
                                   WORD minor, WORD build, WORD revision)
{
    SP_DRVINFO_DATA_W driver = {};
    driver.cbSize = sizeof(driver);
    driver.DriverType = SPDIT_COMPATDRIVER;
    lstrcpynW(driver.Description, description, LINE_LEN);
    lstrcpynW(driver.MfgName, maker, LINE_LEN);
    lstrcpynW(driver.ProviderName, maker, LINE_LEN);
    driver.DriverVersion = (DWORDLONG(major) << 48) | (DWORDLONG(minor) << 32) |
                           (DWORDLONG(build) << 16) | DWORDLONG(revision);
    return driver;
}

// The devices of one PresentDevices call, in the order of the classes asked for.
class FakeSetup::Devices : public tav::IDriverDevices {
  public:
    Devices(FakeSetup& setup, std::vector<const FakeDevice*> devices)
        : setup_(setup), devices_(std::move(devices)), built_(devices_.size(), false)
    {
        ++setup_.openLists_;
    }
    ~Devices() override
    {
        // Destroying the device list also destroys the driver lists still built for it.
        for (bool built : built_)
            setup_.builtDriverLists_ -= built ? 1 : 0;
        --setup_.openLists_;
    }

    DWORD Count() override { return static_cast<DWORD>(devices_.size()); }

    bool Property(DWORD index, DWORD property, BYTE* buffer, DWORD bytes) override
    {
        if (index >= devices_.size())
            return false;
        const FakeDevice& device = *devices_[index];
        std::wstring data;
        switch (property) {
        case SPDRP_HARDWAREID:
            Log(L"hardware", device);
            if (!device.hardwareIdsReadable)
                return false;
            data = MultiSz(device.hardwareIds);
            break;
        case SPDRP_COMPATIBLEIDS:
            Log(L"compatible", device);
            if (!device.compatibleIdsReadable)
                return false;
            data = MultiSz(device.compatibleIds);
            break;
        case SPDRP_DEVICEDESC:
            Log(L"description", device);
            if (!device.description)
                return false;
            data = *device.description + L'\0';
            break;
        case SPDRP_MFG:
            Log(L"manufacturer", device);
            if (!device.manufacturer)
                return false;
            data = *device.manufacturer + L'\0';
            break;
        case SPDRP_DRIVER:
            Log(L"driver", device);
            if (!device.driverKey)
                return false;
            data = *device.driverKey + L'\0';
            break;
        default:
            Log(L"unexpected property", device);
            return false;
        }
        // As the setup API: a buffer too small takes nothing (ERROR_INSUFFICIENT_BUFFER).
        const size_t needed = data.size() * sizeof(wchar_t);
        if (needed > bytes)
            return false;
        memcpy(buffer, data.data(), needed);
        return true;
    }

    bool BuildCompatibleDrivers(DWORD index) override
    {
        if (index >= devices_.size())
            return false;
        Log(L"build", *devices_[index]);
        if (!built_[index]) {
            built_[index] = true;
            ++setup_.builtDriverLists_;
        }
        return true;
    }

    bool FirstCompatibleDriver(DWORD index, SP_DRVINFO_DATA_W* driver) override
    {
        if (index >= devices_.size())
            return false;
        const FakeDevice& device = *devices_[index];
        Log(L"first", device);
        // Only a list that was built has entries.
        if (!built_[index] || !device.compatibleDriver)
            return false;
        *driver = *device.compatibleDriver;
        return true;
    }

    void DestroyCompatibleDrivers(DWORD index) override
    {
        if (index >= devices_.size())
            return;
        Log(L"destroy", *devices_[index]);
        if (built_[index]) {
            built_[index] = false;
            --setup_.builtDriverLists_;
        }
    }

  private:
    void Log(const wchar_t* what, const FakeDevice& device)
    {
        setup_.log_.push_back(std::wstring(what) + L" " + device.name);
    }

    FakeSetup& setup_;
    std::vector<const FakeDevice*> devices_;
    std::vector<bool> built_;
};

void FakeSetup::AddClass(const wchar_t* className, const GUID& guid)
{
    classes_.emplace_back(className, guid);
}

void FakeSetup::AddDevice(const GUID& classGuid, FakeDevice device)
{
    devices_.emplace_back(classGuid, std::move(device));
}

void FakeSetup::FailDeviceList(const GUID& classGuid)
{
    failedLists_.push_back(classGuid);
}

bool FakeSetup::Examined(const std::wstring& name) const
{
    for (const std::wstring& entry : log_) {
        const size_t space = entry.find(L' ');
        if (space != std::wstring::npos && entry.compare(space + 1, std::wstring::npos, name) == 0)
            return true;
    }
    return false;
}

bool FakeSetup::ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                                   DWORD* required)
{
    log_.push_back(std::wstring(L"classes ") + className);
    DWORD found = 0;
    for (const auto& entry : classes_) {
        if (_wcsicmp(entry.first.c_str(), className) != 0)
            continue;
        if (found < capacity)
            guids[found] = entry.second;
        ++found;
    }
    *required = found;
    // As the setup API: a buffer too small for all of them is an error, with the count.
    if (found > capacity) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    return true;
}

tav::IDriverDevices* FakeSetup::PresentDevices(const GUID* classes, DWORD count)
{
    log_.push_back(L"list " + std::to_wstring(count));
    std::vector<const FakeDevice*> listed;
    for (DWORD i = 0; i < count; ++i) {
        for (const GUID& failed : failedLists_) {
            if (IsEqualGUID(failed, classes[i]))
                return nullptr;
        }
        for (const auto& entry : devices_) {
            if (IsEqualGUID(entry.first, classes[i]))
                listed.push_back(&entry.second);
        }
    }
    return new Devices(*this, std::move(listed));
}

ScopedTavPorts::ScopedTavPorts(diag::IWmiPort* wmi, tav::ISetupPort* setup,
                               tav::IVersionPort* version)
    : previous_(tav::CurrentPorts())
{
    // A connection still open belongs to the WMI installed before: the next collector is to
    // connect through this one.
    CleanUpWMI();
    tav::Ports ports;
    ports.wmi = wmi;
    ports.setup = setup;
    ports.version = version;
    tav::InstallPorts(ports);
}

ScopedTavPorts::~ScopedTavPorts()
{
    CleanUpWMI();
    tav::InstallPorts(previous_);
}
