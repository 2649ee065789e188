// The driver searches on staged setup classes and devices: which sound, wireless, wired and
// Bluetooth devices are recorded, with which texts and driver versions. Driver versions and the
// network connections' media are read from the prefix's real registry: every key a test writes
// carries the process id and is removed after it.
//
// The records and the sound list are the library's static storage, shared by every test of the
// program; the sound list only grows, so tests compare it before and after.

#include "sysinfo/TavDLL.h"

#include "tests/support/TestSupport.h"
#include "tests/sysinfo/TavFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const GUID kMediaClass = {
    0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
const GUID kNetClass = {
    0x4d36e972, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
const GUID kBluetoothClass = {
    0xe0cbf06c, 0xcd8b, 0x4647, {0xbb, 0x8a, 0x26, 0x3b, 0x43, 0xf0, 0xf9, 0x74}};
const GUID kBtwClass = {
    0x95c7a0a0, 0x3094, 0x11d7, {0xa2, 0x02, 0x00, 0x50, 0x8b, 0x9d, 0x77, 0x76}};
// Second classes of the same names, as other drivers' installers sometimes register them.
const GUID kOtherMediaClass = {0x1a2b3c4d, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};
const GUID kOtherBluetoothClass = {0x1a2b3c4d, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};

const wchar_t kNetworkClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const wchar_t kDriverClassKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";

// Hardware ids of the kinds of device the searches tell apart. The PCI device ids are ones no
// other test of the prefix uses, since the network connections are matched by them.
const std::vector<std::wstring> kCodecIds = {
    L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269&SUBSYS_17AA21FA&REV_1002",
    L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269&SUBSYS_17AA21FA"};
const std::vector<std::wstring> kHdAudioControllerIds = {
    L"PCI\\VEN_8086&DEV_1C20&SUBSYS_21FA17AA&REV_04", L"PCI\\VEN_8086&DEV_1C20&CC_0403"};
const std::vector<std::wstring> kSoundCardIds = {L"PCI\\VEN_1274&DEV_5880&SUBSYS_80011274&REV_02",
                                                 L"PCI\\VEN_1274&DEV_5880&CC_0401"};
const std::vector<std::wstring> kUsbAudioIds = {L"USB\\VID_0D8C&PID_000C&REV_0100",
                                                L"USB\\VID_0D8C&PID_000C"};
const std::vector<std::wstring> kSdWirelessIds = {L"SD\\VID_02D0&PID_4329"};
const std::vector<std::wstring> kUsbBluetoothIds = {L"USB\\VID_0A5C&PID_217F&REV_0360",
                                                    L"USB\\VID_0A5C&PID_217F"};

// A PCI network card with this device id and class code.
std::vector<std::wstring> PciNet(const wchar_t* deviceId, const wchar_t* classCode)
{
    const std::wstring base = std::wstring(L"PCI\\VEN_8086&DEV_") + deviceId;
    return {base + L"&SUBSYS_13118086&REV_61", base + L"&CC_" + classCode};
}

std::wstring Pid()
{
    return std::to_wstring(GetCurrentProcessId());
}

std::wstring Text(const wchar_t* text)
{
    return std::wstring(text);
}

std::vector<DRIVERINFO> SoundList()
{
    std::vector<DRIVERINFO> list;
    for (const DRIVERINFO& record : *DLLGetADriverInfo())
        list.push_back(record);
    return list;
}

std::vector<std::wstring> Descriptions(const std::vector<DRIVERINFO>& records)
{
    std::vector<std::wstring> texts;
    for (const DRIVERINFO& record : records)
        texts.emplace_back(record.description);
    return texts;
}

bool Same(const DRIVERINFO& a, const DRIVERINFO& b)
{
    return memcmp(&a, &b, sizeof(a)) == 0;
}

// A machine as the driver searches see it, installed while it lives: the four class names
// resolve to one class each.
struct Machine {
    explicit Machine(DWORD major = 6) : version(major)
    {
        setup.AddClass(L"Media", kMediaClass);
        setup.AddClass(L"Net", kNetClass);
        setup.AddClass(L"BLUETOOTH", kBluetoothClass);
        setup.AddClass(L"BTW", kBtwClass);
    }
    FakeSetup setup;
    FakeVersion version;
    ScopedTavPorts ports{nullptr, &setup, &version};

    // The log of one search: 0 sound, 1 wireless, 2 network, 3 Bluetooth.
    std::vector<std::wstring> SearchLog(int search) const
    {
        std::vector<std::wstring> entries;
        int current = -1;
        for (const std::wstring& entry : setup.Log()) {
            if (entry.compare(0, 8, L"classes ") == 0)
                ++current;
            else if (current == search)
                entries.push_back(entry);
        }
        return entries;
    }
};

bool Mentions(const std::vector<std::wstring>& log, const std::wstring& name)
{
    for (const std::wstring& entry : log) {
        const size_t space = entry.find(L' ');
        if (space != std::wstring::npos && entry.substr(space + 1) == name)
            return true;
    }
    return false;
}

// Driver keys below the class key and network connections, written for one test and removed
// when it goes. The network class key is removed too when the test made it and it is empty
// again, so another program's connections survive.
class ScratchRegistry {
  public:
    ScratchRegistry()
        : driverClass_(L"{HLMTEST-TAV-" + Pid() + L"}"),
          networkClassExisted_(hlmtest::RegKeyExists(HKEY_LOCAL_MACHINE, kNetworkClassKey))
    {
    }
    ~ScratchRegistry()
    {
        EXPECT_TRUE(
            hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kDriverClassKey + driverClass_).c_str()));
        for (const std::wstring& key : connections_)
            EXPECT_TRUE(hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, key.c_str()));
        if (!networkClassExisted_)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kNetworkClassKey);
    }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // A driver key holding this DriverVersion (null: the key without it), named as a device's
    // driver property names it.
    std::wstring DriverKey(const wchar_t* version)
    {
        wchar_t instance[8];
        wsprintfW(instance, L"\\%04d", drivers_++);
        const std::wstring key = driverClass_ + instance;
        const std::wstring path = kDriverClassKey + key;
        if (version) {
            EXPECT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, path.c_str(), L"DriverVersion",
                                                version));
        } else {
            EXPECT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, path.c_str(),
                                                L"MatchingDeviceId", L"pci\\ven_0000"));
        }
        return key;
    }

    // A network connection of the device with this PnP instance id.
    void Connection(const std::wstring& pnpInstanceId, DWORD mediaSubType)
    {
        const std::wstring key = std::wstring(kNetworkClassKey) + L"\\{HLMTEST-TAV-" + Pid() +
                                 L"-" + std::to_wstring(connections_.size()) + L"}";
        connections_.push_back(key);
        const std::wstring connection = key + L"\\Connection";
        EXPECT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, connection.c_str(),
                                            L"PnpInstanceID", pnpInstanceId.c_str()));
        EXPECT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, connection.c_str(), L"MediaSubType",
                                           mediaSubType));
    }
    // The connection of a PCI card of this device id.
    void PciConnection(const wchar_t* deviceId, DWORD mediaSubType)
    {
        Connection(std::wstring(L"PCI\\VEN_8086&DEV_") + deviceId +
                       L"&SUBSYS_13118086&REV_61\\4&2B8E" + Pid(),
                   mediaSubType);
    }

  private:
    std::wstring driverClass_;
    bool networkClassExisted_;
    int drivers_ = 0;
    std::vector<std::wstring> connections_;
};

class DriverSearch : public ::testing::Test {
  protected:
    ScratchRegistry registry_;
};

// ---- sound ---------------------------------------------------------------------------------

TEST_F(DriverSearch, SoundListsCodecsAndAudioCardsOnly)
{
    struct Sound {
        const wchar_t* name;
        const std::vector<std::wstring>* ids;
        bool idsReadable;
        bool compatibleReadable;
    };
    const struct {
        const char* what;
        std::vector<Sound> devices;
        std::vector<std::wstring> appended;
    } cases[] = {
        {"an HD-audio codec beside its PCI controller",
         {{L"Codec 1", &kCodecIds, true, true},
          {L"Controller 1", &kHdAudioControllerIds, true, true}},
         {L"Codec 1"}},
        {"a PCI sound card", {{L"Card 2", &kSoundCardIds, true, true}}, {L"Card 2"}},
        {"only an HD-audio controller",
         {{L"Controller 3", &kHdAudioControllerIds, true, true}},
         {}},
        {"a codec before a USB headset: no fall-back",
         {{L"Codec 4", &kCodecIds, true, true}, {L"Headset 4", &kUsbAudioIds, true, true}},
         {L"Codec 4"}},
        {"two codecs in device order",
         {{L"Codec 5a", &kCodecIds, true, true}, {L"Codec 5b", &kCodecIds, true, true}},
         {L"Codec 5a", L"Codec 5b"}},
        {"ids that cannot be read",
         {{L"Codec 6a", &kCodecIds, false, true},
          {L"Codec 6b", &kCodecIds, true, false},
          {L"Headset 6", &kUsbAudioIds, true, false}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine;
        for (const Sound& sound : c.devices) {
            FakeDevice device = Device(sound.name, *sound.ids);
            device.hardwareIdsReadable = sound.idsReadable;
            device.compatibleIdsReadable = sound.compatibleReadable;
            machine.setup.AddDevice(kMediaClass, device);
        }
        const std::vector<DRIVERINFO> before = SoundList();
        DLLDriverInfo();
        std::vector<std::wstring> expected = Descriptions(before);
        expected.insert(expected.end(), c.appended.begin(), c.appended.end());
        EXPECT_EQ(Descriptions(SoundList()), expected);
    }
}

TEST_F(DriverSearch, ALoneOtherSoundDeviceGoesToTheHeadAsItsDriverDescribesIt)
{
    {
        Machine machine;
        machine.setup.AddDevice(kMediaClass, Device(L"Codec before the headset", kCodecIds));
        DLLDriverInfo();
    }
    const std::vector<DRIVERINFO> before = SoundList();

    Machine machine;
    FakeDevice headset = Device(L"Headset as the device names itself", kUsbAudioIds);
    headset.compatibleDriver =
        CompatibleDriver(L"USB Audio Device", L"(Generic USB Audio)", 6, 1, 7601, 41000);
    machine.setup.AddDevice(kMediaClass, headset);
    DLLDriverInfo();

    const std::vector<DRIVERINFO> after = SoundList();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(Text(after.front().description), L"USB Audio Device");
    EXPECT_EQ(Text(after.front().manufacturer), L"(Generic USB Audio)");
    EXPECT_EQ(Text(after.front().version), L"6.1.7601.41000");
    EXPECT_TRUE(Same(after.back(), before.back()));
}

TEST_F(DriverSearch, EveryCallListsTheSoundDevicesAgain)
{
    Machine machine;
    machine.setup.AddDevice(kMediaClass, Device(L"Codec listed twice", kCodecIds));
    const size_t before = SoundList().size();
    DLLDriverInfo();
    DLLDriverInfo();
    const std::vector<DRIVERINFO> after = SoundList();
    ASSERT_EQ(after.size(), before + 2);
    EXPECT_EQ(Text(after[before].description), L"Codec listed twice");
    EXPECT_TRUE(Same(after[before], after[before + 1]));
}

TEST_F(DriverSearch, SoundUsesOnlyTheFirstClassOfItsName)
{
    Machine machine;
    machine.setup.AddClass(L"Media", kOtherMediaClass);
    machine.setup.AddDevice(kOtherMediaClass, Device(L"Codec of the second class", kCodecIds));
    const size_t before = SoundList().size();
    DLLDriverInfo();
    EXPECT_EQ(SoundList().size(), before);
    EXPECT_EQ(machine.SearchLog(0).front(), L"list 1");
}

// ---- wireless LAN and wired network --------------------------------------------------------

TEST_F(DriverSearch, WirelessIsAnSdCardOrAPciCardOfMediumTwo)
{
    registry_.PciConnection(L"7E51", 2);
    registry_.PciConnection(L"7E52", 1);
    registry_.PciConnection(L"7E59", 2); // another card's connection
    const struct {
        const char* what;
        std::vector<std::pair<std::wstring, std::vector<std::wstring>>> devices;
        const wchar_t* found; // null: the record stays as it was
    } cases[] = {
        {"PCI card of class 0280 on a wireless medium",
         {{L"Wireless 1", PciNet(L"7E51", L"0280")}},
         L"Wireless 1"},
        {"PCI card of class 0280 on another medium",
         {{L"Wireless 2", PciNet(L"7E52", L"0280")}},
         nullptr},
        {"PCI card of class 0280 without a connection",
         {{L"Wireless 3", PciNet(L"7E53", L"0280")}},
         nullptr},
        {"SD card", {{L"Wireless 4", kSdWirelessIds}}, L"Wireless 4"},
        {"USB adapter", {{L"Wireless 5", {L"USB\\VID_0CF3&PID_9271&REV_0108"}}}, nullptr},
        {"the first of two",
         {{L"Wireless 6a", kSdWirelessIds}, {L"Wireless 6b", PciNet(L"7E51", L"0280")}},
         L"Wireless 6a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine;
        for (const auto& device : c.devices)
            machine.setup.AddDevice(kNetClass, Device(device.first, device.second));
        const DRIVERINFO before = *DLLGetWDriverInfo();
        DLLDriverInfo();
        if (c.found)
            EXPECT_EQ(Text(DLLGetWDriverInfo()->description), c.found);
        else
            EXPECT_TRUE(Same(*DLLGetWDriverInfo(), before));
    }
    // The walk ends at the first wireless device.
    Machine machine;
    machine.setup.AddDevice(kNetClass, Device(L"First", kSdWirelessIds));
    machine.setup.AddDevice(kNetClass, Device(L"Second", kSdWirelessIds));
    DLLDriverInfo();
    EXPECT_FALSE(Mentions(machine.SearchLog(1), L"Second"));
}

TEST_F(DriverSearch, AWirelessCardWithAWiredClassCodeIsNeverTheNetworkDevice)
{
    registry_.PciConnection(L"7E61", 2);
    registry_.PciConnection(L"7E62", 2);
    {
        Machine machine;
        machine.setup.AddDevice(kNetClass, Device(L"Wired before", PciNet(L"7E60", L"0200")));
        DLLDriverInfo();
        ASSERT_EQ(Text(DLLGetNDriverInfo()->description), L"Wired before");
    }
    {
        // The network search runs after the wireless one and has the last word.
        Machine machine;
        machine.setup.AddDevice(kNetClass,
                                Device(L"Wireless of class 0280", PciNet(L"7E61", L"0280")));
        machine.setup.AddDevice(kNetClass,
                                Device(L"Wireless of class 0200", PciNet(L"7E62", L"0200")));
        DLLDriverInfo();
        EXPECT_EQ(Text(DLLGetWDriverInfo()->description), L"Wireless of class 0200");
        EXPECT_EQ(Text(DLLGetNDriverInfo()->description), L"Wired before");
    }
}

TEST_F(DriverSearch, TheFirstOfTwoWiredAdaptersIsShownAndAThirdIsNeverExamined)
{
    registry_.PciConnection(L"7E72", 2);
    Machine machine;
    machine.setup.AddDevice(kNetClass, Device(L"USB Ethernet", {L"USB\\VID_0B95&PID_7720"}));
    machine.setup.AddDevice(kNetClass, Device(L"Wired A", PciNet(L"7E71", L"0200")));
    machine.setup.AddDevice(kNetClass, Device(L"Wireless W", PciNet(L"7E72", L"0200")));
    machine.setup.AddDevice(kNetClass, Device(L"Wired B", PciNet(L"7E73", L"0200")));
    machine.setup.AddDevice(kNetClass, Device(L"Wired C", PciNet(L"7E74", L"0200")));
    DLLDriverInfo();

    EXPECT_EQ(Text(DLLGetNDriverInfo()->description), L"Wired A");
    EXPECT_EQ(Text(DLLGetWDriverInfo()->description), L"Wireless W");
    const std::vector<std::wstring> network = machine.SearchLog(2);
    EXPECT_TRUE(Mentions(network, L"Wired B"));
    EXPECT_FALSE(Mentions(network, L"Wired C"));
}

// ---- Bluetooth -----------------------------------------------------------------------------

TEST_F(DriverSearch, BluetoothIsTheFirstUsbDeviceOfTheGenerationsClass)
{
    const struct {
        DWORD major;
        const wchar_t* className;
        GUID own;
        GUID other;
    } cases[] = {{6, L"BLUETOOTH", kBluetoothClass, kBtwClass},
                 {5, L"BTW", kBtwClass, kBluetoothClass}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.major);
        Machine machine(c.major);
        const std::wstring tag = std::to_wstring(c.major);
        machine.setup.AddDevice(c.other, Device(L"Other class " + tag, kUsbBluetoothIds));
        machine.setup.AddDevice(c.own, Device(L"Enumerator " + tag, {L"BTH\\MS_BTHBRB"}));
        machine.setup.AddDevice(c.own, Device(L"Radio " + tag, kUsbBluetoothIds));
        machine.setup.AddDevice(c.own, Device(L"Second radio " + tag, kUsbBluetoothIds));
        DLLDriverInfo();
        EXPECT_EQ(Text(DLLGetBTDriverInfo()->description), L"Radio " + tag);
        EXPECT_EQ(machine.setup.Log().back(), L"destroy Radio " + tag);
        EXPECT_NE(std::find(machine.setup.Log().begin(), machine.setup.Log().end(),
                            std::wstring(L"classes ") + c.className),
                  machine.setup.Log().end());
    }
}

TEST_F(DriverSearch, BluetoothSearchesEveryClassOfItsName)
{
    Machine machine;
    machine.setup.AddClass(L"BLUETOOTH", kOtherBluetoothClass);
    machine.setup.AddDevice(kOtherBluetoothClass,
                            Device(L"Radio of the second class", kUsbBluetoothIds));
    DLLDriverInfo();
    EXPECT_EQ(Text(DLLGetBTDriverInfo()->description), L"Radio of the second class");
    EXPECT_EQ(machine.SearchLog(3).front(), L"list 2");
}

TEST_F(DriverSearch, BluetoothLooksAtTheFirstSixteenOfManyClasses)
{
    Machine machine;
    // Seventeen classes of the name: the first sixteen are listed, the last never.
    for (int i = 1; i < 17; ++i) {
        GUID extra = kOtherBluetoothClass;
        extra.Data2 = static_cast<WORD>(0x100 + i);
        machine.setup.AddClass(L"BLUETOOTH", extra);
        if (i == 16)
            machine.setup.AddDevice(extra, Device(L"Radio of the last class", kUsbBluetoothIds));
        if (i == 15)
            machine.setup.AddDevice(extra, Device(L"Radio of the 16th class", kUsbBluetoothIds));
    }
    DLLDriverInfo();
    EXPECT_EQ(Text(DLLGetBTDriverInfo()->description), L"Radio of the 16th class");
    const std::vector<std::wstring>& log = machine.setup.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), L"list 16"), log.end());
}

// ---- what every search shares --------------------------------------------------------------

TEST_F(DriverSearch, AClassThatCannotBeListedEndsOnlyItsOwnSearch)
{
    enum Trouble { NoMedia, NoNet, NetListFails, NoBluetooth };
    const struct {
        const char* what;
        Trouble trouble;
    } cases[] = {{"no Media class", NoMedia},
                 {"no Net class", NoNet},
                 {"the Net list cannot be made", NetListFails},
                 {"no Bluetooth class", NoBluetooth}};
    registry_.PciConnection(L"7E80", 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring tag = std::to_wstring(static_cast<int>(c.trouble));
        // Built by hand: each case leaves one of the names out.
        FakeSetup setup;
        FakeVersion version(6);
        if (c.trouble != NoMedia)
            setup.AddClass(L"Media", kMediaClass);
        if (c.trouble != NoNet)
            setup.AddClass(L"Net", kNetClass);
        if (c.trouble == NetListFails)
            setup.FailDeviceList(kNetClass);
        if (c.trouble != NoBluetooth)
            setup.AddClass(L"BLUETOOTH", kBluetoothClass);
        setup.AddDevice(kMediaClass, Device(L"Codec " + tag, kCodecIds));
        setup.AddDevice(kNetClass, Device(L"Wireless " + tag, kSdWirelessIds));
        setup.AddDevice(kNetClass, Device(L"Wired " + tag, PciNet(L"7E80", L"0200")));
        setup.AddDevice(kBluetoothClass, Device(L"Radio " + tag, kUsbBluetoothIds));
        ScopedTavPorts ports(nullptr, &setup, &version);

        const bool net = c.trouble != NoNet && c.trouble != NetListFails;
        const std::vector<DRIVERINFO> soundBefore = SoundList();
        const DRIVERINFO wirelessBefore = *DLLGetWDriverInfo();
        const DRIVERINFO networkBefore = *DLLGetNDriverInfo();
        const DRIVERINFO bluetoothBefore = *DLLGetBTDriverInfo();
        DLLDriverInfo();

        const std::vector<DRIVERINFO> sound = SoundList();
        if (c.trouble == NoMedia) {
            EXPECT_EQ(sound.size(), soundBefore.size());
        } else {
            ASSERT_EQ(sound.size(), soundBefore.size() + 1);
            EXPECT_EQ(Text(sound.back().description), L"Codec " + tag);
        }
        if (net) {
            EXPECT_EQ(Text(DLLGetWDriverInfo()->description), L"Wireless " + tag);
            EXPECT_EQ(Text(DLLGetNDriverInfo()->description), L"Wired " + tag);
        } else {
            EXPECT_TRUE(Same(*DLLGetWDriverInfo(), wirelessBefore));
            EXPECT_TRUE(Same(*DLLGetNDriverInfo(), networkBefore));
        }
        if (c.trouble == NoBluetooth)
            EXPECT_TRUE(Same(*DLLGetBTDriverInfo(), bluetoothBefore));
        else
            EXPECT_EQ(Text(DLLGetBTDriverInfo()->description), L"Radio " + tag);
        EXPECT_EQ(setup.OpenLists(), 0);
    }
}

TEST_F(DriverSearch, DriverVersionComesFromTheDriverKey)
{
    enum Kind { Sound, Wireless, Network, Bluetooth };
    const std::wstring longest(49, L'9');
    const struct {
        const char* what;
        Kind kind;
        bool driverProperty;   // the device names a driver key
        const wchar_t* stored; // null: the key has no DriverVersion
        const wchar_t* shown;
    } cases[] = {
        {"sound", Sound, true, L"6.0.1.5919", L"6.0.1.5919"},
        {"sound, no version", Sound, true, nullptr, L" "},
        {"sound, no driver key", Sound, false, nullptr, L" "},
        {"sound, 49 characters", Sound, true, longest.c_str(), longest.c_str()},
        {"wireless", Wireless, true, L"5.100.82.112", L"5.100.82.112"},
        {"wireless, no version", Wireless, true, nullptr, L""},
        {"network", Network, true, L"7.31.1025.2010", L"7.31.1025.2010"},
        {"network, no version", Network, true, nullptr, L""},
        {"network, no driver key", Network, false, nullptr, L""},
        {"Bluetooth", Bluetooth, true, L"6.2.0.9000", L"6.2.0.9000"},
        {"Bluetooth, no version", Bluetooth, true, nullptr, L""},
    };
    registry_.PciConnection(L"7E90", 0);
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring name = L"Versioned " + std::to_wstring(++run);
        Machine machine;
        static const std::vector<std::wstring> kIds[] = {
            kCodecIds, kSdWirelessIds, PciNet(L"7E90", L"0200"), kUsbBluetoothIds};
        static const GUID kClasses[] = {kMediaClass, kNetClass, kNetClass, kBluetoothClass};
        FakeDevice device = Device(name, kIds[c.kind]);
        if (c.driverProperty)
            device.driverKey = registry_.DriverKey(c.stored);
        machine.setup.AddDevice(kClasses[c.kind], device);
        DLLDriverInfo();

        const DRIVERINFO* record = nullptr;
        std::vector<DRIVERINFO> sound;
        switch (c.kind) {
        case Sound:
            sound = SoundList();
            record = &sound.back();
            break;
        case Wireless:
            record = DLLGetWDriverInfo();
            break;
        case Network:
            record = DLLGetNDriverInfo();
            break;
        case Bluetooth:
            record = DLLGetBTDriverInfo();
            break;
        }
        EXPECT_EQ(Text(record->description), name);
        EXPECT_EQ(Text(record->manufacturer), L"Vantrel");
        EXPECT_EQ(Text(record->version), c.shown);
    }
}

TEST_F(DriverSearch, OverLongTextsAreCutTo99Characters)
{
    const std::wstring description(150, L'D');
    const std::wstring maker(150, L'M');
    registry_.PciConnection(L"7EA0", 0);
    Machine machine;
    FakeDevice codec = Device(description, kCodecIds);
    codec.manufacturer = maker;
    machine.setup.AddDevice(kMediaClass, codec);
    FakeDevice wired = Device(description, PciNet(L"7EA0", L"0200"));
    wired.manufacturer = maker;
    machine.setup.AddDevice(kNetClass, wired);
    DLLDriverInfo();

    for (const DRIVERINFO& record : {SoundList().back(), *DLLGetNDriverInfo()}) {
        EXPECT_EQ(Text(record.description), std::wstring(99, L'D'));
        EXPECT_EQ(Text(record.manufacturer), std::wstring(99, L'M'));
    }

    // The fall-back's texts come from its driver entry, up to 255 characters long.
    Machine headsetOnly;
    FakeDevice headset = Device(L"Headset", kUsbAudioIds);
    headset.compatibleDriver = CompatibleDriver(std::wstring(255, L'd').c_str(),
                                                std::wstring(255, L'm').c_str(), 1, 2, 3, 4);
    headsetOnly.setup.AddDevice(kMediaClass, headset);
    DLLDriverInfo();
    EXPECT_EQ(Text(SoundList().front().description), std::wstring(99, L'd'));
    EXPECT_EQ(Text(SoundList().front().manufacturer), std::wstring(99, L'm'));
    EXPECT_EQ(Text(SoundList().front().version), L"1.2.3.4");
}

TEST_F(DriverSearch, EachDevicesDriverListIsBuiltAndDestroyedAroundItsVisit)
{
    registry_.PciConnection(L"7EB1", 2);
    Machine machine;
    machine.setup.AddDevice(kMediaClass, Device(L"Codec", kCodecIds));
    FakeDevice headset = Device(L"Headset", kUsbAudioIds);
    headset.compatibleDriver = CompatibleDriver(L"USB Audio", L"Generic", 6, 1, 0, 0);
    machine.setup.AddDevice(kMediaClass, headset);
    machine.setup.AddDevice(kNetClass, Device(L"Wireless", PciNet(L"7EB1", L"0280")));
    machine.setup.AddDevice(kNetClass, Device(L"Wired", PciNet(L"7EB2", L"0200")));
    machine.setup.AddDevice(kBluetoothClass, Device(L"Radio", kUsbBluetoothIds));
    DLLDriverInfo();

    for (int search = 0; search < 4; ++search) {
        SCOPED_TRACE(search);
        const std::vector<std::wstring> log = machine.SearchLog(search);
        // Per device: its list is built first, and destroyed before the next device is read.
        std::wstring current;
        for (const std::wstring& entry : log) {
            if (entry.compare(0, 5, L"list ") == 0)
                continue;
            const std::wstring what = entry.substr(0, entry.find(L' '));
            const std::wstring name = entry.substr(entry.find(L' ') + 1);
            if (what == L"build") {
                EXPECT_EQ(current, L"") << "built before the last list was destroyed";
                current = name;
            } else {
                EXPECT_EQ(name, current) << "read outside its visit: " << entry;
                if (what == L"destroy")
                    current.clear();
            }
        }
        EXPECT_EQ(current, L"");
    }
    EXPECT_EQ(machine.setup.BuiltDriverLists(), 0);
    EXPECT_EQ(machine.setup.OpenLists(), 0);
}

TEST_F(DriverSearch, TheFourthRecordIsNeverFilled)
{
    registry_.PciConnection(L"7EC1", 2);
    Machine machine;
    machine.setup.AddDevice(kMediaClass, Device(L"Codec", kCodecIds));
    machine.setup.AddDevice(kNetClass, Device(L"Wireless", PciNet(L"7EC1", L"0280")));
    machine.setup.AddDevice(kNetClass, Device(L"Wired", PciNet(L"7EC2", L"0200")));
    machine.setup.AddDevice(kBluetoothClass, Device(L"Radio", kUsbBluetoothIds));
    DLLDriverInfo();
    const DRIVERINFO zero = {};
    EXPECT_TRUE(Same(*DLLGetMDriverInfo(), zero));
}

} // namespace
