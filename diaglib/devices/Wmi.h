#pragma once
// The WMI side of the device tests: the connection for ad-hoc queries, the three device
// tables, the value formatter and the lookup of a faulty device of one kind. Every object
// lives for one test or repair call; COM is initialised by the engine first.

#include <windows.h>

#include <cstdint>

#include "diaglib/ports/Ports.h"
#include "framework/SharedString.h"
#include "framework/Wnd.h"

// The device kinds the lookups and the device-enable routine take.
enum DeviceKind : int {
    kDisplayDevice = 0,
    kSoundDevice = 1,
    kNetworkDevice = 6,
};

// Device states condensed from ConfigManagerErrorCode.
enum DeviceState : int32_t {
    kDeviceWorking = 0,   // code 0
    kDeviceDisabled = 22, // code 22
    kDeviceFaulty = 255,  // any other code
};

// One WMI value as text, at most 31 characters except for strings: "<null>", "<conversion
// error>", "%hu (0x%hX)", "'%c' (%hu, 0x%hX)", "%d (0x%X)", "%10.4f", "\"text\"", "TRUE" /
// "FALSE", or nothing for an object reference.
fw::CSharedString FormatWmiValue(const VARIANT& value);

// Searches a REG_MULTI_SZ value of `characters` characters (terminators included) as one
// text: every zero inside it except the last two characters counts as 0x7F. Case-sensitive.
bool MultiStringContains(const wchar_t* value, size_t characters, const wchar_t* marker);

// One device of a table. The slots are shared by the three tables; each uses some of them.
struct DeviceRecord {
    fw::CSharedString description;  // Description
    int32_t number1 = 0;            // video: DeviceState; sound, network: ConfigManagerErrorCode
    fw::CSharedString pnpDeviceId;  // PNPDeviceID
    int16_t number2 = 0;            // sound: DeviceState; network: NetConnectionStatus
    fw::CSharedString manufacturer; // sound: Manufacturer
    int32_t hasAdapterRam = 0;      // video: 1 when AdapterRAM has a value
    int32_t mediaSubType = 0;       // network: MediaSubType of its connection, 0 when unknown
};

// A WMI connection to "\\.\root\cimv2" shared by the device tables and the ad-hoc queries.
class CWmiConnectionBase : public fw::CWnd {
  public:
    ~CWmiConnectionBase() override;
    // True when connected.
    bool Connect();

  protected:
    diag::IWmiConnection* connection_ = nullptr;
};

// Up to kMaxDevices records, filled in enumeration order; a second fill starts again at 0.
class CWmiDeviceTable : public CWmiConnectionBase {
  public:
    static constexpr int kMaxDevices = 30;
    int Count() const { return count_; }
    const DeviceRecord& Record(int index) const { return records_[index]; }
    // Whether the last fill could ask WMI at all: an empty table means "no such device" only
    // then, and "cannot examine" otherwise.
    bool Examined() const { return examined_; }

  protected:
    void Clear();
    DeviceRecord* Add(); // nullptr when the table is full

    DeviceRecord records_[kMaxDevices];
    int count_ = 0;
    bool examined_ = false;
};

// Win32_VideoController: description, state, PNP identifier, whether AdapterRAM is known.
class CVideoControllerInfo : public CWmiDeviceTable {
  public:
    int Fill();
    int32_t State(int index) const { return records_[index].number1; }
    bool HasAdapterRam(int index) const { return records_[index].hasAdapterRam == 1; }
};

// Win32_SoundDevice: description, error code, PNP identifier, state, manufacturer.
class CSoundDeviceInfo : public CWmiDeviceTable {
  public:
    int Fill();
    int32_t ErrorCode(int index) const { return records_[index].number1; }
    int32_t State(int index) const { return records_[index].number2; }

  private:
    fw::CSharedString spare1_;
    fw::CSharedString spare2_;
};

// win32_NetworkAdapter on PCI or SD: description, error code, PNP identifier, connection
// status, and the MediaSubType of the adapter's network connection.
class CNetworkAdapter : public CWmiDeviceTable {
  public:
    int Fill();
    int32_t ErrorCode(int index) const { return records_[index].number1; }
    int ConnectionStatus(int index) const { return records_[index].number2; }
    int32_t MediaSubType(int index) const { return records_[index].mediaSubType; }
};

// Ad-hoc WQL queries. A query that cannot be executed shows "ExecQuery() Error!!" and counts
// as empty.
class CCommonWmiData : public CWmiConnectionBase {
  public:
    bool ExecQuery(const wchar_t* wql, diag::IWmiVisitor& visitor);
};

// The first device WMI reports with an error code whose hardware identifiers carry the kind's
// class-code marker ("CC_03" display, "CC_0401" sound, "CC_02" network). `deviceId` receives
// the DeviceID last read: the match's, or the last device examined when none matched.
bool FindErrorDevice(CCommonWmiData& wmi, int kind, fw::CSharedString& deviceId);

// The MediaSubType of the network connection whose PnpInstanceID is `pnpDeviceId`, 0 when
// none is.
int32_t LookUpMediaSubType(const wchar_t* pnpDeviceId);
