// The driver searches: the sound, wireless LAN, wired network and Bluetooth devices found
// through the setup API, each recorded with its description, manufacturer and driver version.

#include <windows.h>

#include <setupapi.h>

#include <cwchar>
#include <memory>

#include "framework/Registry.h"
#include "sysinfo/SysInfo.h"
#include "sysinfo/SysInfoPorts.h"
#include "sysinfo/TavDLL.h"

namespace tav {

namespace {

DriverInfoList soundDrivers;
DRIVERINFO wirelessDriver;
DRIVERINFO networkDriver;
DRIVERINFO bluetoothDriver;
DRIVERINFO unusedDriver; // no search fills it

constexpr int kMaxClassGuids = 16;
constexpr DWORD kIdBufferBytes = 8192;
constexpr DWORD kMediumWireless = 2;

// The present devices of a setup class name (its first class only, or all of them), or
// nullptr when Windows does not know the name or cannot list them.
std::unique_ptr<IDriverDevices> DevicesOfClass(const wchar_t* className, bool everyClass)
{
    ISetupPort& setup = *CurrentPorts().setup;
    GUID guids[kMaxClassGuids] = {};
    DWORD found = 0;
    if (!setup.ClassGuidsFromName(className, guids, kMaxClassGuids, &found)) {
        if (found <= kMaxClassGuids)
            return nullptr;
        // More classes than a search looks at: ask again with room for all, keep the first.
        std::unique_ptr<GUID[]> all(new GUID[found]);
        if (!setup.ClassGuidsFromName(className, all.get(), found, &found) || found == 0)
            return nullptr;
        for (int i = 0; i < kMaxClassGuids; ++i)
            guids[i] = all[i];
    }
    if (found == 0)
        return nullptr;
    const DWORD used = everyClass ? (found < kMaxClassGuids ? found : kMaxClassGuids) : 1;
    return std::unique_ptr<IDriverDevices>(setup.PresentDevices(guids, used));
}

// A device's list of strings property (hardware or compatible ids), the strings joined by
// `separator` (none when null); false when it cannot be read.
bool ReadIds(IDriverDevices& devices, DWORD index, DWORD property, const wchar_t* separator,
             fw::CSharedString& joined)
{
    constexpr DWORD kChars = kIdBufferBytes / sizeof(wchar_t);
    wchar_t buffer[kChars + 2] = {}; // two terminators past the end, whatever was stored
    if (!devices.Property(index, property, reinterpret_cast<BYTE*>(buffer), kIdBufferBytes))
        return false;
    joined.Empty();
    for (const wchar_t* id = buffer; *id; id += wcslen(id) + 1) {
        if (separator && !joined.IsEmpty())
            joined += separator;
        joined += id;
    }
    return true;
}

// A text property of the device into `field` of `capacity` characters, cut to fit; false when
// it cannot be read.
bool ReadText(IDriverDevices& devices, DWORD index, DWORD property, wchar_t* field,
              size_t capacity)
{
    wchar_t text[512] = {};
    if (!devices.Property(index, property, reinterpret_cast<BYTE*>(text), sizeof(text) - 2))
        return false;
    CopyText(field, capacity, text);
    return true;
}

// A record takes at most 99 characters of description and manufacturer, whatever its fields
// could hold.
constexpr size_t kNameCapacity = 100;

// Description, manufacturer and driver version of a device. `missingVersion` stands for a
// version the driver key does not have.
DRIVERINFO ReadFields(IDriverDevices& devices, DWORD index, const wchar_t* missingVersion)
{
    DRIVERINFO record = {};
    ReadText(devices, index, SPDRP_DEVICEDESC, record.description, kNameCapacity);
    ReadText(devices, index, SPDRP_MFG, record.manufacturer, kNameCapacity);
    CopyText(record.version, missingVersion);
    wchar_t driverKey[256] = {};
    if (!ReadText(devices, index, SPDRP_DRIVER, driverKey, 256))
        return record;
    fw::CSharedString path(L"SYSTEM\\CURRENTCONTROLSET\\CONTROL\\CLASS\\");
    path += driverKey;
    fw::RegKey key;
    wchar_t version[50];
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str()) == fw::RegResult::Ok &&
        key.ReadString(L"DriverVersion", version, 50) == fw::RegResult::Ok)
        CopyText(record.version, version);
    return record;
}

// The first four characters after the first "DEV_" (the PCI device id); empty when there is
// no such part.
fw::CSharedString PciDeviceId(const wchar_t* ids)
{
    const wchar_t* dev = wcsstr(ids, L"DEV_");
    if (!dev)
        return fw::CSharedString();
    return fw::CSharedString(dev + 4, static_cast<int>(wcsnlen(dev + 4, 4)));
}

// The MediaSubType of the network connection whose device has the same PCI device id as these
// hardware ids (2 is a wireless adapter); 0 when none has.
DWORD MediumOf(const fw::CSharedString& ids)
{
    const fw::CSharedString deviceId = PciDeviceId(ids.c_str());
    Trace(L"buffer : %s", ids.c_str());
    Trace(L"iIndex: %d", ids.Find(L"DEV_"));
    Trace(L"lstrcpyn : %s", deviceId.c_str());
    Trace(L"sDevId: %s", deviceId.c_str());
    if (deviceId.IsEmpty())
        return 0;
    const wchar_t* const kConnections =
        L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
    fw::RegKey connections;
    if (connections.Open(HKEY_LOCAL_MACHINE, kConnections) != fw::RegResult::Ok)
        return 0;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        const LONG status =
            RegEnumKeyExW(connections.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return 0;
        fw::CSharedString path(name);
        path += L"\\Connection";
        fw::RegKey connection;
        wchar_t instance[127];
        if (connection.Open(connections.get(), path.c_str()) != fw::RegResult::Ok ||
            connection.ReadString(L"PnpInstanceID", instance, 127) != fw::RegResult::Ok)
            continue;
        if (PciDeviceId(instance).Compare(deviceId) != 0)
            continue;
        DWORD medium = 0;
        connection.ReadDword(L"MediaSubType", medium);
        return medium;
    }
}

// Walks a device list, building each device's compatible-driver list around the visit;
// `visit` returns false to stop.
template <typename F> void WalkDevices(IDriverDevices& devices, F visit)
{
    const DWORD count = devices.Count();
    for (DWORD i = 0; i < count; ++i) {
        devices.BuildCompatibleDrivers(i);
        const bool goOn = visit(i);
        devices.DestroyCompatibleDrivers(i);
        if (!goOn)
            return;
    }
}

// A sound device that is neither on PCI nor HD audio, recorded as its best driver describes
// it; the device's own description and driver key when there is no such driver.
DRIVERINFO FallBackRecord(IDriverDevices& devices, DWORD index)
{
    SP_DRVINFO_DATA_W driver;
    if (!devices.FirstCompatibleDriver(index, &driver))
        return ReadFields(devices, index, L" ");
    DRIVERINFO record = {};
    CopyText(record.description, kNameCapacity, driver.Description);
    CopyText(record.manufacturer, kNameCapacity, driver.MfgName);
    const DWORDLONG v = driver.DriverVersion;
    wchar_t version[64];
    wsprintfW(version, L"%d.%d.%d.%d", static_cast<int>((v >> 48) & 0xFFFF),
              static_cast<int>((v >> 32) & 0xFFFF), static_cast<int>((v >> 16) & 0xFFFF),
              static_cast<int>(v & 0xFFFF));
    CopyText(record.version, version);
    return record;
}

void FindSoundDrivers()
{
    std::unique_ptr<IDriverDevices> devices = DevicesOfClass(L"Media", false);
    if (!devices)
        return;
    bool counted = false;
    bool haveFallBack = false;
    DRIVERINFO fallBack = {};
    WalkDevices(*devices, [&](DWORD i) {
        fw::CSharedString compatible;
        fw::CSharedString ids;
        if (!ReadIds(*devices, i, SPDRP_COMPATIBLEIDS, nullptr, compatible) ||
            !ReadIds(*devices, i, SPDRP_HARDWAREID, nullptr, ids))
            return true;
        bool counts;
        if (ids.Find(L"PCI") >= 0) {
            // A PCI sound device is the audio controller itself only with its class code; an
            // HD-audio controller (0403) is not what plays the sound.
            counts = ids.Find(L"CC_0401") >= 0;
        } else if (ids.Find(L"HDAUDIO") >= 0) {
            counts = true;
        } else {
            OutputDebugStringW(L"Alternative");
            fallBack = FallBackRecord(*devices, i);
            haveFallBack = true;
            return true;
        }
        if (counts) {
            soundDrivers.AddTail(ReadFields(*devices, i, L" "));
            counted = true;
        }
        return true;
    });
    if (!counted && haveFallBack)
        soundDrivers.AddHead(fallBack);
}

void FindWirelessDriver()
{
    std::unique_ptr<IDriverDevices> devices = DevicesOfClass(L"Net", false);
    if (!devices)
        return;
    WalkDevices(*devices, [&](DWORD i) {
        fw::CSharedString ids;
        if (!ReadIds(*devices, i, SPDRP_HARDWAREID, L" ", ids))
            return true;
        bool found = false;
        if (ids.Find(L"PCI") < 0 && ids.Find(L"SD") >= 0) {
            Trace(L"SD \uC788\uC74C %s", ids.c_str());
            found = true;
        } else if (ids.Find(L"PCI") >= 0 && ids.Find(L"CC_0280") >= 0 &&
                   MediumOf(ids) == kMediumWireless) {
            OutputDebugStringW(L"PCI \uC788\uC74C");
            found = true;
        }
        if (!found)
            return true;
        wirelessDriver = ReadFields(*devices, i, L"");
        OutputDebugStringW(L"WLAN : CC_0280 Detected ");
        return false;
    });
}

void FindNetworkDriver()
{
    std::unique_ptr<IDriverDevices> devices = DevicesOfClass(L"Net", false);
    if (!devices)
        return;
    int wired = 0;
    DRIVERINFO first = {};
    WalkDevices(*devices, [&](DWORD i) {
        fw::CSharedString ids;
        if (!ReadIds(*devices, i, SPDRP_HARDWAREID, L" ", ids) || ids.Find(L"PCI") < 0 ||
            ids.Find(L"CC_0200") < 0)
            return true;
        if (MediumOf(ids) == kMediumWireless) {
            // A wireless adapter that reports a wired class code.
            Trace(L"WLAN Driver Detected %s", ids.c_str());
            wirelessDriver = ReadFields(*devices, i, L"");
            return true;
        }
        if (++wired == 1) {
            Trace(L"Network Driver Detected %s", ids.c_str());
            first = ReadFields(*devices, i, L"");
        }
        return wired < 2;
    });
    if (wired > 0) {
        networkDriver = first;
        OutputDebugStringW(L"NET : CC_0200 Detected ");
    }
}

void FindBluetoothDriver()
{
    std::unique_ptr<IDriverDevices> devices =
        DevicesOfClass(MajorVersion() >= 6 ? L"BLUETOOTH" : L"BTW", true);
    if (!devices)
        return;
    WalkDevices(*devices, [&](DWORD i) {
        fw::CSharedString ids;
        if (!ReadIds(*devices, i, SPDRP_HARDWAREID, L" ", ids) || ids.Find(L"USB") < 0)
            return true;
        bluetoothDriver = ReadFields(*devices, i, L"");
        return false;
    });
}

} // namespace

} // namespace tav

void __stdcall DLLDriverInfo()
{
    OutputDebugStringW(L"GetDriverInfo(Sound))");
    tav::FindSoundDrivers();
    OutputDebugStringW(L"GetDriverInfo(Wireless)");
    tav::FindWirelessDriver();
    OutputDebugStringW(L"GetDriverInfo(Network)");
    tav::FindNetworkDriver();
    OutputDebugStringW(L"BTDriver Info");
    tav::FindBluetoothDriver();
}

DriverInfoList* __stdcall DLLGetADriverInfo()
{
    return &tav::soundDrivers;
}

DRIVERINFO* __stdcall DLLGetWDriverInfo()
{
    return &tav::wirelessDriver;
}

DRIVERINFO* __stdcall DLLGetNDriverInfo()
{
    return &tav::networkDriver;
}

DRIVERINFO* __stdcall DLLGetBTDriverInfo()
{
    return &tav::bluetoothDriver;
}

DRIVERINFO* __stdcall DLLGetMDriverInfo()
{
    return &tav::unusedDriver;
}
