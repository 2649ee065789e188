// The WMI connection, the three device tables, ad-hoc queries, the faulty-device lookup and
// the network connection's MediaSubType.
//
// Properties are read by name. WMI lists a class's properties alphabetically, but which
// properties a class has differs between Windows versions and WMI implementations (Wine's
// Win32_VideoController has 23 and its Win32_SoundDevice lacks ConfigManagerErrorCode and
// Description), so a position in that list names different properties on different machines.
//
// A property that is missing, null or of a type we cannot read means the device cannot be
// examined, and the tests never report a problem for that: an unreadable ConfigManagerErrorCode
// counts as code 0 (device working), an unreadable text as empty.

#include <windows.h>

#include <oleauto.h>

#include <cwctype>

#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Trace.h"
#include "framework/Registry.h"

namespace {

constexpr bool kXpBuild = HLM_DIAG_GENERATION == 5;

constexpr wchar_t kNamespace[] = L"\\\\.\\root\\cimv2";

// Only adapters on the PCI bus or SD: a USB stick or a virtual adapter is not the notebook's.
constexpr wchar_t kNetworkAdapterQuery[] =
    L"SELECT * FROM win32_NetworkAdapter WHERE (PNPDeviceID >= \"PCI\" AND PNPDeviceID < "
    L"\"PCJ\") OR (PNPDeviceID >= \"SD\" AND PNPDeviceID < \"SE\")";

constexpr wchar_t kErrorDeviceQuery[] =
    L"SELECT * FROM win32_pnpentity where ConfigManagerErrorCode <>0 ";

constexpr wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
constexpr wchar_t kNetworkClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

// The HardwareID list is read into this many bytes at most.
constexpr DWORD kHardwareIdBytes = 500;
// PnpInstanceID is read into 255 bytes at most: 126 characters and the terminator.
constexpr int kPnpInstanceIdChars = 255 / sizeof(wchar_t);

class Variant {
  public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

template <class Body> class VisitorOf : public diag::IWmiVisitor {
  public:
    explicit VisitorOf(Body body) : body_(body) {}
    bool Visit(diag::IWmiObject& object) override { return body_(object); }

  private:
    Body body_;
};

template <class Body> VisitorOf<Body> MakeVisitor(Body body)
{
    return VisitorOf<Body>(body);
}

// The property's value as the formatter writes it, double quotes removed; empty when the
// property is missing or has no value (its formatted "<null>" would otherwise end up in a
// registry path or a device identifier).
fw::CSharedString ReadText(diag::IWmiObject& object, const wchar_t* name)
{
    Variant value;
    if (!object.Get(name, value.get()) || (*value).vt == VT_NULL || (*value).vt == VT_EMPTY)
        return fw::CSharedString();
    const fw::CSharedString formatted = FormatWmiValue(*value);
    fw::CSharedString text;
    wchar_t* out = text.GetBuffer(formatted.GetLength());
    int length = 0;
    for (const wchar_t* in = formatted.c_str(); *in; ++in) {
        if (*in != L'"')
            out[length++] = *in;
    }
    text.ReleaseBuffer(length);
    return text;
}

fw::CSharedString WithoutLeadingSpace(const fw::CSharedString& text)
{
    int first = 0;
    while (first < text.GetLength() && iswspace(text[first]))
        ++first;
    return text.Mid(first);
}

// Whether the property exists and holds a value (of whatever type).
bool HasValue(diag::IWmiObject& object, const wchar_t* name)
{
    Variant value;
    return object.Get(name, value.get()) && (*value).vt != VT_NULL && (*value).vt != VT_EMPTY;
}

// An integer property; false when it is missing, null or not an integer.
bool ReadInteger(diag::IWmiObject& object, const wchar_t* name, int32_t* number)
{
    Variant value;
    if (!object.Get(name, value.get()))
        return false;
    const VARIANT& v = *value;
    switch (v.vt) {
    case VT_I1:
        *number = v.cVal;
        return true;
    case VT_UI1:
        *number = v.bVal;
        return true;
    case VT_I2:
        *number = v.iVal;
        return true;
    case VT_UI2:
        *number = v.uiVal;
        return true;
    case VT_I4:
        *number = v.lVal;
        return true;
    case VT_UI4:
        *number = static_cast<int32_t>(v.ulVal);
        return true;
    case VT_INT:
        *number = v.intVal;
        return true;
    case VT_UINT:
        *number = static_cast<int32_t>(v.uintVal);
        return true;
    default:
        return false;
    }
}

// ConfigManagerErrorCode, 0 (working) when it cannot be read: see the top of the file.
int32_t ReadErrorCode(diag::IWmiObject& object)
{
    int32_t code = 0;
    if (!ReadInteger(object, L"ConfigManagerErrorCode", &code))
        return 0;
    return code;
}

// The condensed device state. The formatter writes code 0 as "0 (0x0)" and code 22 as
// "22 (0x16)"; deciding on the number gives the same states without reading, say, code 0x160
// as disabled because its text holds "0x16".
int32_t StateOf(int32_t errorCode)
{
    if (errorCode == 0)
        return kDeviceWorking;
    if (errorCode == 22)
        return kDeviceDisabled;
    return kDeviceFaulty;
}

const wchar_t* ClassCodeMarker(int kind)
{
    switch (kind) {
    case kDisplayDevice:
        return L"CC_03";
    case kSoundDevice:
        return L"CC_0401";
    case kNetworkDevice:
        return L"CC_02";
    default:
        return nullptr;
    }
}

// Whether the device's HardwareID list in its Enum key carries the marker.
bool HardwareIdsCarry(const fw::CSharedString& deviceId, const wchar_t* marker)
{
    fw::CSharedString path(kEnumKey);
    path += deviceId;
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ) != fw::RegResult::Ok) {
        diag::Trace(L"Ret Error");
        return false;
    }
    wchar_t ids[kHardwareIdBytes / sizeof(wchar_t)];
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(ids);
    // A list longer than the buffer (ERROR_MORE_DATA) leaves the buffer's contents undefined,
    // so it is not searched at all.
    if (RegQueryValueExW(key.get(), L"HardwareID", nullptr, &type, reinterpret_cast<BYTE*>(ids),
                         &bytes) != ERROR_SUCCESS ||
        (type != REG_MULTI_SZ && type != REG_SZ))
        return false;
    // The stored length is trusted only as far as the buffer: the terminators may be missing
    // and an odd byte is no character.
    return MultiStringContains(ids, bytes / sizeof(wchar_t), marker);
}

} // namespace

// ---- Connection -------------------------------------------------------------------------

CWmiConnectionBase::~CWmiConnectionBase()
{
    delete connection_;
}

bool CWmiConnectionBase::Connect()
{
    delete connection_;
    connection_ = diag::CurrentPorts().wmi->Connect(kNamespace);
    return connection_ != nullptr;
}

// ---- Device tables ----------------------------------------------------------------------

void CWmiDeviceTable::Clear()
{
    for (int i = 0; i < count_; ++i)
        records_[i] = DeviceRecord();
    count_ = 0;
    examined_ = false;
}

DeviceRecord* CWmiDeviceTable::Add()
{
    if (count_ >= kMaxDevices)
        return nullptr;
    return &records_[count_++];
}

int CVideoControllerInfo::Fill()
{
    Clear();
    if (!connection_)
        return 0;
    auto visitor = MakeVisitor([this](diag::IWmiObject& controller) {
        DeviceRecord* record = Add();
        if (!record)
            return false;
        record->description = ReadText(controller, L"Description");
        record->number1 = StateOf(ReadErrorCode(controller));
        record->pnpDeviceId = ReadText(controller, L"PNPDeviceID");
        record->hasAdapterRam = HasValue(controller, L"AdapterRAM") ? 1 : 0;
        return true;
    });
    examined_ = connection_->EnumerateInstances(L"Win32_VideoController", visitor);
    return count_;
}

int CSoundDeviceInfo::Fill()
{
    Clear();
    if (!connection_)
        return 0;
    auto visitor = MakeVisitor([this](diag::IWmiObject& device) {
        DeviceRecord* record = Add();
        if (!record)
            return false;
        const int32_t errorCode = ReadErrorCode(device);
        record->description = ReadText(device, L"Description");
        record->number1 = errorCode;
        record->pnpDeviceId = ReadText(device, L"PNPDeviceID");
        record->number2 = static_cast<int16_t>(StateOf(errorCode));
        record->manufacturer = ReadText(device, L"Manufacturer");
        return true;
    });
    examined_ = connection_->EnumerateInstances(L"Win32_SoundDevice", visitor);
    return count_;
}

int CNetworkAdapter::Fill()
{
    Clear();
    if (!connection_)
        return 0;
    auto visitor = MakeVisitor([this](diag::IWmiObject& adapter) {
        DeviceRecord* record = Add();
        if (!record)
            return false;
        // Some drivers pad their descriptions with blanks in front.
        record->description = WithoutLeadingSpace(ReadText(adapter, L"Description"));
        record->number1 = ReadErrorCode(adapter);
        record->pnpDeviceId = WithoutLeadingSpace(ReadText(adapter, L"PNPDeviceID"));
        int32_t status = 0;
        if (ReadInteger(adapter, L"NetConnectionStatus", &status))
            record->number2 = static_cast<int16_t>(status);
        return true;
    });
    // A failed query fills nothing and shows nothing; Examined() tells the tests it failed.
    if (!connection_->ExecQuery(kNetworkAdapterQuery, visitor)) {
        Clear();
        return 0;
    }
    examined_ = true;
    for (int i = 0; i < count_; ++i)
        records_[i].mediaSubType = LookUpMediaSubType(records_[i].pnpDeviceId.c_str());
    return count_;
}

// ---- Ad-hoc queries ---------------------------------------------------------------------

bool CCommonWmiData::ExecQuery(const wchar_t* wql, diag::IWmiVisitor& visitor)
{
    // Without a connection the query cannot be executed either.
    if (!connection_ || !connection_->ExecQuery(wql, visitor)) {
        diag::ShowMessage(L"ExecQuery() Error!!");
        return false;
    }
    return true;
}

bool FindErrorDevice(CCommonWmiData& wmi, int kind, fw::CSharedString& deviceId)
{
    deviceId.Empty();
    const wchar_t* marker = ClassCodeMarker(kind);
    bool found = false;
    auto visitor = MakeVisitor([&](diag::IWmiObject& device) {
        const fw::CSharedString id = ReadText(device, L"DeviceID");
        if (id.IsEmpty())
            return true; // nothing to look up
        deviceId = id;
        if (kXpBuild)
            diag::Trace(L"CheckDeviceIDClassCode");
        if (!marker || !HardwareIdsCarry(id, marker))
            return true;
        if (kXpBuild)
            diag::Trace(L"Device Found!!");
        found = true;
        return false;
    });
    if (!wmi.ExecQuery(kErrorDeviceQuery, visitor))
        return false;
    return found;
}

int32_t LookUpMediaSubType(const wchar_t* pnpDeviceId)
{
    // An adapter without an identifier must not match a connection without one.
    if (!pnpDeviceId || !*pnpDeviceId)
        return 0;
    fw::RegKey network;
    if (network.Open(HKEY_LOCAL_MACHINE, kNetworkClassKey, KEY_READ) != fw::RegResult::Ok)
        return 0;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD chars = 256;
        const LONG status =
            RegEnumKeyExW(network.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue; // not a connection's key name
        if (status != ERROR_SUCCESS)
            break;
        fw::CSharedString path(name);
        path += L"\\Connection";
        fw::RegKey connection;
        wchar_t instanceId[kPnpInstanceIdChars];
        if (connection.Open(network.get(), path.c_str(), KEY_READ) != fw::RegResult::Ok ||
            connection.ReadString(L"PnpInstanceID", instanceId, kPnpInstanceIdChars) !=
                fw::RegResult::Ok)
            continue;
        // Device identifiers are case-insensitive; the registry and WMI need not spell
        // them alike.
        if (fw::CSharedString(instanceId).CompareNoCase(pnpDeviceId) != 0)
            continue;
        DWORD mediaSubType = 0;
        if (connection.ReadDword(L"MediaSubType", mediaSubType) != fw::RegResult::Ok)
            return 0;
        return static_cast<int32_t>(mediaSubType);
    }
    return 0;
}
