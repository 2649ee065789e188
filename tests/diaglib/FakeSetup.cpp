#include "tests/diaglib/FakeSetup.h"

#include <setupapi.h>

#include <cstring>
#include <cwchar>
#include <utility>

namespace {

class FakeDeviceList : public diag::IDeviceList {
  public:
    FakeDeviceList(std::vector<FakeDevice> devices, std::vector<std::wstring>& calls,
                   int& liveLists)
        : devices_(std::move(devices)), calls_(calls), liveLists_(liveLists)
    {
        ++liveLists_;
    }
    ~FakeDeviceList() override { --liveLists_; }

    DWORD Count() override { return static_cast<DWORD>(devices_.size()); }

    bool Description(DWORD index, BYTE* buffer, DWORD bytes, DWORD* required) override
    {
        *required = 0;
        if (index >= devices_.size())
            return false;
        const FakeDevice& device = devices_[index];
        calls_.push_back(L"Description " + device.instanceId);
        if (!device.descriptionReadable) {
            *required = device.descriptionSize;
            SetLastError(device.descriptionSize ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_DATA);
            return false;
        }
        // As the setup API: the text with its terminator, or the size it needs.
        const DWORD size = static_cast<DWORD>((device.description.size() + 1) * sizeof(wchar_t));
        *required = size;
        if (bytes < size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return false;
        }
        std::memcpy(buffer, device.description.c_str(), size);
        return true;
    }

    bool InstanceId(DWORD index, wchar_t* buffer, DWORD characters) override
    {
        if (index >= devices_.size())
            return false;
        const FakeDevice& device = devices_[index];
        if (!device.instanceIdReadable || characters < device.instanceId.size() + 1)
            return false;
        std::wmemcpy(buffer, device.instanceId.c_str(), device.instanceId.size() + 1);
        return true;
    }

    bool CallEnable(DWORD index, DWORD scope, DWORD profile) override
    {
        if (index >= devices_.size())
            return false;
        const FakeDevice& device = devices_[index];
        const bool global = scope == DICS_FLAG_GLOBAL;
        calls_.push_back(L"CallEnable " + device.instanceId + (global ? L" global " : L" config ") +
                         std::to_wstring(profile));
        return global ? device.globalEnableWorks : device.configEnableWorks;
    }

    bool ApplyState(DWORD index) override
    {
        if (index >= devices_.size())
            return false;
        calls_.push_back(L"ApplyState " + devices_[index].instanceId);
        return devices_[index].applyStateWorks;
    }

    bool InstallFlags(DWORD index, DWORD* flags) override
    {
        *flags = 0;
        if (index >= devices_.size())
            return false;
        const FakeDevice& device = devices_[index];
        calls_.push_back(L"InstallFlags " + device.instanceId);
        if (!device.installFlagsReadable)
            return false;
        *flags = device.installFlags;
        return true;
    }

  private:
    std::vector<FakeDevice> devices_;
    std::vector<std::wstring>& calls_;
    int& liveLists_;
};

} // namespace

GUID FakeSetup::AddClass(const std::wstring& name, int guidCount)
{
    SetupClass setupClass{name, {}};
    for (int i = 0; i < guidCount; ++i) {
        GUID guid = {0x7e57c1a5, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
        guid.Data2 = static_cast<unsigned short>(nextGuid_ >> 16);
        guid.Data3 = static_cast<unsigned short>(nextGuid_);
        ++nextGuid_;
        setupClass.guids.push_back(guid);
    }
    classes_.push_back(setupClass);
    return setupClass.guids.empty() ? GUID{} : setupClass.guids.front();
}

std::vector<GUID> FakeSetup::Guids(const std::wstring& name) const
{
    for (const SetupClass& setupClass : classes_) {
        if (setupClass.name == name)
            return setupClass.guids;
    }
    return {};
}

void FakeSetup::AddDevice(const GUID& classGuid, const FakeDevice& device)
{
    devices_.push_back({classGuid, device});
}

std::vector<std::wstring> FakeSetup::Touched() const
{
    std::vector<std::wstring> touched;
    for (const std::wstring& call : calls) {
        std::wstring id;
        if (call.rfind(L"CallEnable ", 0) == 0)
            id = call.substr(11, call.find(L' ', 11) - 11);
        else if (call.rfind(L"ApplyState ", 0) == 0)
            id = call.substr(11);
        else
            continue;
        bool seen = false;
        for (const std::wstring& known : touched)
            seen = seen || known == id;
        if (!seen)
            touched.push_back(id);
    }
    return touched;
}

bool FakeSetup::ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                                   DWORD* required)
{
    calls.push_back(L"ClassGuidsFromName " + std::wstring(className) + L" " +
                    std::to_wstring(capacity));
    *required = 0;
    for (const SetupClass& setupClass : classes_) {
        if (_wcsicmp(setupClass.name.c_str(), className) != 0)
            continue;
        const DWORD count = static_cast<DWORD>(setupClass.guids.size());
        *required = count;
        if (capacity < count) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return false;
        }
        for (DWORD i = 0; i < count; ++i)
            guids[i] = setupClass.guids[i];
        return true;
    }
    // An unknown name resolves, as in the setup API, to no identifiers at all.
    return true;
}

diag::IDeviceList* FakeSetup::PresentDevices(const GUID* classes, DWORD count)
{
    calls.push_back(L"PresentDevices " + std::to_wstring(count));
    if (listFails)
        return nullptr;
    std::vector<FakeDevice> present;
    for (DWORD i = 0; i < count; ++i) {
        for (const ClassDevice& entry : devices_) {
            if (IsEqualGUID(entry.classGuid, classes[i]))
                present.push_back(entry.device);
        }
    }
    return new FakeDeviceList(std::move(present), calls, liveLists);
}

ScopedSetupPort::ScopedSetupPort(diag::ISetupPort& port) : previous_(diag::CurrentPorts())
{
    diag::Ports replacement;
    replacement.setup = &port;
    diag::InstallPorts(replacement);
}

ScopedSetupPort::~ScopedSetupPort()
{
    // Every member of the saved set is filled, so this puts back all of them.
    diag::InstallPorts(previous_);
}
