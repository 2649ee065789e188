// The collectors: the machine's facts read through WMI (the processor before Vista through the
// registry) into the library's records, and the getters that hand them out.

#include <windows.h>

#include <oleauto.h>

#include <cwchar>

#include "framework/Registry.h"
#include "sysinfo/SysInfo.h"
#include "sysinfo/TavDLL.h"

namespace tav {

namespace {

// ---- the records -----------------------------------------------------------------------

BIOSINFO bios;
MODELInfo model;
LOGICALDISK disks[LOGICALDISK::kMaxDisks];
double memoryTotal = 0;
DRIVERINFO video;
fw::CSharedString osText;
fw::CSharedString opticalDriveText;
fw::CSharedString serialNumberText;
fw::CSharedString processorText;
fw::CSharedString userDateText;

constexpr int kMaxVideoControllers = 5;
constexpr int kFullPower = 3; // Win32_VideoController.Availability: running at full power

struct VideoController {
    wchar_t manufacturer[100];
    wchar_t name[100];
    wchar_t driverVersion[50];
    int32_t availability;
    fw::CSharedString pnpDeviceId;
};
VideoController controllers[kMaxVideoControllers];

// ---- reading properties ----------------------------------------------------------------

// One property's value for the length of a read.
class Property {
  public:
    Property(diag::IWmiObject& object, const wchar_t* name)
    {
        VariantInit(&value_);
        read_ = object.Get(name, &value_);
    }
    ~Property() { VariantClear(&value_); }
    Property(const Property&) = delete;
    Property& operator=(const Property&) = delete;

    // A string's text, or empty for a missing or null property.
    const wchar_t* Text() const
    {
        return read_ && value_.vt == VT_BSTR && value_.bstrVal ? value_.bstrVal : L"";
    }
    // The same without its leading white space.
    const wchar_t* Trimmed() const { return SkipLeadingSpace(Text()); }

    // A number: uint64 values come as decimal text, the others as integers; 0 when neither.
    double Number() const
    {
        if (!read_)
            return 0;
        if (value_.vt == VT_BSTR)
            return value_.bstrVal ? wcstod(value_.bstrVal, nullptr) : 0;
        VARIANT converted;
        VariantInit(&converted);
        double number = 0;
        if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value_), 0, VT_R8)))
            number = converted.dblVal;
        VariantClear(&converted);
        return number;
    }
    int32_t Integer() const { return static_cast<int32_t>(Number()); }

    const VARIANT& Value() const { return value_; }

  private:
    VARIANT value_;
    bool read_ = false;
};

// The version cut to its first part: before its first full stop when that is not the first
// character, otherwise its first 4 characters.
fw::CSharedString CutBiosVersion(const wchar_t* version)
{
    const wchar_t* stop = wcschr(version, L'.');
    if (stop && stop != version)
        return fw::CSharedString(version, static_cast<int>(stop - version));
    return fw::CSharedString(version, static_cast<int>(wcsnlen(version, 4)));
}

// The second OEM string (the purchase date the maker writes there); false when the array has
// fewer than two strings or cannot be read.
bool ReadSecondOemString(const Property& strings, fw::CSharedString& text)
{
    const VARIANT& value = strings.Value();
    if (value.vt != (VT_ARRAY | VT_BSTR) || !value.parray)
        return false;
    LONG lower = 0;
    LONG upper = 0;
    if (FAILED(SafeArrayGetLBound(value.parray, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(value.parray, 1, &upper)) || upper < 1 || lower > 1)
        return false;
    BSTR* elements = nullptr;
    if (FAILED(SafeArrayAccessData(value.parray, reinterpret_cast<void**>(&elements))))
        return false;
    text = SkipLeadingSpace(elements[1 - lower]);
    SafeArrayUnaccessData(value.parray);
    return true;
}

// The driver version of a display adapter as its driver key records it; false when any step
// fails.
bool RegistryDriverVersion(const fw::CSharedString& pnpDeviceId, wchar_t (&version)[50])
{
    fw::CSharedString enumKey(L"SYSTEM\\CurrentControlSet\\Enum\\");
    enumKey += pnpDeviceId;
    fw::RegKey device;
    wchar_t driver[128];
    if (device.Open(HKEY_LOCAL_MACHINE, enumKey.c_str()) != fw::RegResult::Ok ||
        device.ReadString(L"Driver", driver, 128) != fw::RegResult::Ok)
        return false;
    fw::CSharedString classKey;
    classKey.Format(L"SYSTEM\\CurrentControlSet\\Control\\Class\\%s", driver);
    fw::RegKey driverKey;
    wchar_t text[128];
    if (driverKey.Open(HKEY_LOCAL_MACHINE, classKey.c_str()) != fw::RegResult::Ok ||
        driverKey.ReadString(L"DriverVersion", text, 128) != fw::RegResult::Ok)
        return false;
    CopyText(version, text);
    return true;
}

// Which of `count` controllers the video record shows.
int ChooseController(int count, int active)
{
    if (MajorVersion() < 6)
        return active >= 0 ? active : 0;
    return count == 1 || active < 0 ? 0 : active;
}

} // namespace

} // namespace tav

using tav::Property;

// ---- collectors ------------------------------------------------------------------------

int __stdcall DLLSetBiosInfo()
{
    tav::QueryWmi(L"SELECT * FROM Win32_bios", [](diag::IWmiObject& row) {
        tav::CopyText(tav::bios.manufacturer, Property(row, L"Manufacturer").Trimmed());
        const fw::CSharedString version =
            tav::CutBiosVersion(Property(row, L"SMBIOSBIOSVersion").Trimmed());
        tav::CopyText(tav::bios.version, version.c_str());
        return true;
    });
    return 1;
}

void __stdcall DLLSetSerialNumber()
{
    tav::QueryWmi(L"SELECT * FROM Win32_BIOS ", [](diag::IWmiObject& row) {
        tav::serialNumberText = Property(row, L"SerialNumber").Trimmed();
        tav::CopyText(tav::model.serialNumber, tav::serialNumberText.c_str());
        return true;
    });
}

void __stdcall DLLSetUserDate()
{
    tav::QueryWmi(L"SELECT * FROM Win32_ComputerSystem ", [](diag::IWmiObject& row) {
        fw::CSharedString date;
        if (!tav::ReadSecondOemString(Property(row, L"OEMStringArray"), date))
            return false; // fewer than two strings: the date stays as it was
        tav::userDateText = date;
        tav::CopyText(tav::model.userDate, date.c_str());
        return true;
    });
}

void __stdcall DLLSetHddInfo()
{
    int filled = 0;
    int seen = 0;
    tav::QueryWmi(L"SELECT * FROM Win32_LogicalDisk", [&filled, &seen](diag::IWmiObject& row) {
        ++seen;
        if (Property(row, L"DriveType").Integer() != 3)
            return true;
        LOGICALDISK& disk = tav::disks[filled++];
        disk.driveType = 3;
        tav::CopyText(disk.driveName, Property(row, L"DeviceID").Text());
        disk.size = Property(row, L"Size").Number();
        return filled < LOGICALDISK::kMaxDisks;
    });
    // A disk gone since the last run leaves no entry behind; a query that failed or answered
    // nothing leaves the list as it was.
    if (seen > 0) {
        for (int i = filled; i < LOGICALDISK::kMaxDisks; ++i)
            tav::disks[i] = {};
    }
}

void __stdcall DLLSetRamInfo()
{
    double total = 0;
    if (tav::QueryWmi(L"SELECT * FROM Win32_PhysicalMemory ", [&total](diag::IWmiObject& row) {
            total += Property(row, L"Capacity").Number();
            return true;
        }))
        tav::memoryTotal = total;
}

const wchar_t* __stdcall DLLSetCpuInfo()
{
    if (tav::MajorVersion() >= 6) {
        tav::QueryWmi(L"SELECT * FROM Win32_Processor ", [](diag::IWmiObject& row) {
            tav::processorText = Property(row, L"Name").Trimmed();
            return true;
        });
        return tav::processorText.c_str();
    }
    // XP's WMI leaves the brand string out; the processor description in the registry has it.
    tav::processorText.Empty();
    fw::RegKey processor;
    if (processor.Open(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                       KEY_ALL_ACCESS) != fw::RegResult::Ok) {
        OutputDebugStringW(L"Open Registry Key Fail!!");
        return tav::processorText.c_str();
    }
    wchar_t name[128];
    if (processor.ReadString(L"ProcessorNameString", name, 128) != fw::RegResult::Ok) {
        OutputDebugStringW(L"Read CPU Name String Error!");
        return tav::processorText.c_str();
    }
    const wchar_t* start = name;
    while (*start == L' ')
        ++start;
    tav::processorText = start;
    return tav::processorText.c_str();
}

const wchar_t* __stdcall DLLSetODDInfo()
{
    tav::QueryWmi(L"SELECT * FROM Win32_CDROMDRIVE", [](diag::IWmiObject& row) {
        tav::opticalDriveText = Property(row, L"Name").Trimmed();
        return true;
    });
    return tav::opticalDriveText.c_str();
}

const wchar_t* __stdcall DLLSetOSInfo()
{
    tav::QueryWmi(L"SELECT * FROM Win32_OperatingSystem", [](diag::IWmiObject& row) {
        fw::CSharedString text(Property(row, L"Caption").Trimmed());
        if (tav::MajorVersion() >= 6) {
            text += L",  ";
            text += Property(row, L"OSArchitecture").Trimmed();
        }
        tav::osText = text;
        return true;
    });
    return tav::osText.c_str();
}

const wchar_t* __stdcall DLLSetGFXInfo()
{
    int count = 0;
    int active = -1;
    tav::QueryWmi(L"SELECT * FROM Win32_VideoController", [&](diag::IWmiObject& row) {
        tav::VideoController& controller = tav::controllers[count];
        tav::CopyText(controller.manufacturer, Property(row, L"AdapterCompatibility").Text());
        controller.availability = Property(row, L"Availability").Integer();
        tav::Trace(L"Aail = %d", controller.availability);
        tav::CopyText(controller.name, Property(row, L"Name").Text());
        tav::CopyText(controller.driverVersion, Property(row, L"DriverVersion").Text());
        controller.pnpDeviceId = Property(row, L"PNPDeviceID").Text();
        if (controller.availability == tav::kFullPower)
            active = count;
        return ++count < tav::kMaxVideoControllers;
    });
    if (count == 0)
        return L"";

    const tav::VideoController& chosen = tav::controllers[tav::ChooseController(count, active)];
    tav::CopyText(tav::video.manufacturer, chosen.manufacturer);
    tav::CopyText(tav::video.description, chosen.name);
    tav::CopyText(tav::video.version, chosen.driverVersion);
    // Before Vista, WMI reports this maker's adapters with the version of a component rather
    // than of the driver package; the driver key has the right one.
    if (tav::MajorVersion() < 6 && chosen.pnpDeviceId.Find(L"VEN_1002") >= 0)
        tav::RegistryDriverVersion(chosen.pnpDeviceId, tav::video.version);
    return tav::video.description;
}

// ---- getters ---------------------------------------------------------------------------

BIOSINFO* __stdcall DLLGetBiosInfo()
{
    return &tav::bios;
}

MODELInfo* __stdcall DLLGetModelInfo()
{
    return &tav::model;
}

MODELInfo* __stdcall DLLGetUserDate()
{
    return &tav::model;
}

LOGICALDISK* __stdcall DLLGetHddInfo()
{
    return tav::disks;
}

double __stdcall DLLGetRamInfo()
{
    return tav::memoryTotal;
}

fw::CSharedString __stdcall DLLGetOSInfo()
{
    return tav::osText;
}

fw::CSharedString __stdcall DLLGetODDInfo()
{
    return tav::opticalDriveText;
}

fw::CSharedString __stdcall DLLGetSerialNumber()
{
    return tav::serialNumberText;
}

fw::CSharedString __stdcall DLLGetCpuInfo()
{
    return tav::processorText;
}

DRIVERINFO* __stdcall DLLGetVDriverInfo()
{
    return &tav::video;
}
