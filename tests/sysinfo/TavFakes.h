#pragma once
// The system-information library's ports as its tests stage them: the setup API's classes and
// devices, the Windows version, and a scope that installs them (with a staged WMI) and puts
// the ports used before back when it goes.
//
//     FakeSetup setup;
//     setup.AddClass(L"Net", kNetClass);
//     FakeDevice card = Device(L"Wired", {L"PCI\\VEN_10EC&DEV_8136&CC_0200"});
//     setup.AddDevice(kNetClass, card);
//     FakeVersion version(6);
//     ScopedTavPorts ports(nullptr, &setup, &version);
//
// The setup fake keeps a log of what the library asked of each device ("build <name>",
// "hardware <name>", "destroy <name>", ...), so a test can see which devices a search looked
// at and that each device's driver list was built and destroyed around its visit.

#include <windows.h>

#include <setupapi.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sysinfo/SysInfoPorts.h"

struct FakeDevice {
    std::wstring name; // names the device in the log
    std::vector<std::wstring> hardwareIds;
    std::vector<std::wstring> compatibleIds;
    bool hardwareIdsReadable = true;
    bool compatibleIdsReadable = true;
    // Left empty: the device has no such property.
    std::optional<std::wstring> description;
    std::optional<std::wstring> manufacturer;
    std::optional<std::wstring> driverKey;
    // The first entry of the device's compatible-driver list; none when empty.
    std::optional<SP_DRVINFO_DATA_W> compatibleDriver;
};

// A present device with these hardware ids, one compatible id, its name as description and
// "Vantrel" as manufacturer, and no driver key.
FakeDevice Device(const std::wstring& name, std::vector<std::wstring> hardwareIds);

// A compatible-driver entry as the setup API fills it.
SP_DRVINFO_DATA_W CompatibleDriver(const wchar_t* description, const wchar_t* maker, WORD major,
                                   WORD minor, WORD build, WORD revision);

class FakeSetup : public tav::ISetupPort {
  public:
    // One more class identifier for the class name (names match case-insensitively, as the
    // setup API's do).
    void AddClass(const wchar_t* className, const GUID& guid);
    // One more present device of the class, listed after those added before.
    void AddDevice(const GUID& classGuid, FakeDevice device);
    // PresentDevices of a list that includes this class answers nullptr.
    void FailDeviceList(const GUID& classGuid);

    // What was asked, in order: "classes <name>", "list <number of classes>", and per device
    // "build", "hardware", "compatible", "description", "manufacturer", "driver", "first",
    // "destroy" followed by the device's name.
    const std::vector<std::wstring>& Log() const { return log_; }
    // Whether any entry of the log names this device.
    bool Examined(const std::wstring& name) const;
    // Device lists handed out and not yet deleted; driver lists built and not yet destroyed.
    int OpenLists() const { return openLists_; }
    int BuiltDriverLists() const { return builtDriverLists_; }

    bool ClassGuidsFromName(const wchar_t* className, GUID* guids, DWORD capacity,
                            DWORD* required) override;
    tav::IDriverDevices* PresentDevices(const GUID* classes, DWORD count) override;

  private:
    class Devices;

    std::vector<std::pair<std::wstring, GUID>> classes_;
    std::vector<std::pair<GUID, FakeDevice>> devices_;
    std::vector<GUID> failedLists_;
    std::vector<std::wstring> log_;
    int openLists_ = 0;
    int builtDriverLists_ = 0;
};

class FakeVersion : public tav::IVersionPort {
  public:
    explicit FakeVersion(DWORD major) : major_(major) {}
    DWORD MajorVersion() override { return major_; }
    void Set(DWORD major) { major_ = major; }

  private:
    DWORD major_;
};

// Installs the given ports (null keeps the port in use) while it lives. It closes the library's
// WMI connection when it comes, so the next collector connects through the staged WMI, and when
// it goes, since the connection belongs to the staged WMI; then it puts the previous ports back.
class ScopedTavPorts {
  public:
    ScopedTavPorts(diag::IWmiPort* wmi, tav::ISetupPort* setup, tav::IVersionPort* version);
    ~ScopedTavPorts();
    ScopedTavPorts(const ScopedTavPorts&) = delete;
    ScopedTavPorts& operator=(const ScopedTavPorts&) = delete;

  private:
    tav::Ports previous_;
};
