// The collectors and getters on a staged WMI: what each record holds after a collector ran,
// how texts are trimmed, cut and fitted into their fields, which video controller is shown,
// and the one WMI connection. The processor name before Vista comes from the prefix's real
// registry, saved and put back around each case.
//
// The records are the library's static storage, shared by every test of the program: each
// test stages everything it reads, and tests that need the records as the library is loaded
// (FreshLibrary.*) run in a process of their own.

#include "sysinfo/TavDLL.h"

#include "tests/diaglib/FakeWmi.h"
#include "tests/support/TestSupport.h"
#include "tests/sysinfo/TavFakes.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The texts the library must send, spelled out here on their own.
const wchar_t kBiosQuery[] = L"SELECT * FROM Win32_bios";
const wchar_t kSerialQuery[] = L"SELECT * FROM Win32_BIOS ";
const wchar_t kComputerQuery[] = L"SELECT * FROM Win32_ComputerSystem ";
const wchar_t kDiskQuery[] = L"SELECT * FROM Win32_LogicalDisk";
const wchar_t kMemoryQuery[] = L"SELECT * FROM Win32_PhysicalMemory ";
const wchar_t kOpticalQuery[] = L"SELECT * FROM Win32_CDROMDRIVE";
const wchar_t kOsQuery[] = L"SELECT * FROM Win32_OperatingSystem";
const wchar_t kProcessorQuery[] = L"SELECT * FROM Win32_Processor ";
const wchar_t kVideoQuery[] = L"SELECT * FROM Win32_VideoController";

// A machine as the collectors see it, installed while it lives.
struct Machine {
    explicit Machine(DWORD major = 6) : version(major) {}
    FakeWmi wmi;
    FakeVersion version;
    ScopedTavPorts ports{&wmi, nullptr, &version};
};

std::wstring Text(const wchar_t* text)
{
    return std::wstring(text);
}

std::wstring Text(const fw::CSharedString& text)
{
    return std::wstring(text.c_str());
}

// A string array as WMI hands it out (VT_ARRAY | VT_BSTR, lower bound 0).
WmiValue Strings(std::initializer_list<const wchar_t*> texts)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
    LONG index = 0;
    for (const wchar_t* text : texts) {
        BSTR element = SysAllocString(text);
        SafeArrayPutElement(array, &index, element);
        SysFreeString(element);
        ++index;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_ARRAY | VT_BSTR;
    value.parray = array;
    WmiValue copy(value);
    VariantClear(&value);
    return copy;
}

bool AllZero(const void* data, size_t bytes)
{
    const BYTE* p = static_cast<const BYTE*>(data);
    for (size_t i = 0; i < bytes; ++i) {
        if (p[i] != 0)
            return false;
    }
    return true;
}

// ---- BIOS, serial number, purchase date ----------------------------------------------------

TEST(BiosInfo, VersionIsCutToItsFirstPart)
{
    const struct {
        const wchar_t* reported;
        const wchar_t* shown;
    } cases[] = {
        {L"ABCD.E001.20090101", L"ABCD"},
        {L"XYZ123", L"XYZ1"},         // no full stop: the first 4 characters
        {L".ABCDEF", L".ABC"},        // a full stop first does not count
        {L"  P05AAJ.012", L"P05AAJ"}, // trimmed before it is cut
        {L"AB", L"AB"},
        {L"A.B", L"A"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        Machine machine;
        machine.wmi.AddQueryRow(kBiosQuery, {{L"Manufacturer", Bstr(L"Vantrel")},
                                             {L"SMBIOSBIOSVersion", Bstr(c.reported)}});
        EXPECT_EQ(DLLSetBiosInfo(), 1);
        EXPECT_EQ(Text(DLLGetBiosInfo()->version), c.shown);
    }
}

TEST(BiosInfo, TextsLoseLeadingBlanksAndTheLastInstanceWins)
{
    Machine machine;
    machine.wmi.AddQueryRow(kBiosQuery, {{L"Manufacturer", Bstr(L"First Maker")},
                                         {L"SMBIOSBIOSVersion", Bstr(L"FIRST.01")}});
    machine.wmi.AddQueryRow(kBiosQuery, {{L"Manufacturer", Bstr(L" \t Vantrel Inc. ")},
                                         {L"SMBIOSBIOSVersion", Bstr(L" \tQ1VER.100")}});
    machine.wmi.AddQueryRow(kSerialQuery, {{L"SerialNumber", Bstr(L"FIRST-SERIAL")}});
    machine.wmi.AddQueryRow(kSerialQuery, {{L"SerialNumber", Bstr(L"   ZX0123456789")}});

    EXPECT_EQ(DLLSetBiosInfo(), 1);
    EXPECT_EQ(Text(DLLGetBiosInfo()->manufacturer), L"Vantrel Inc. ");
    EXPECT_EQ(Text(DLLGetBiosInfo()->version), L"Q1VER");

    DLLSetSerialNumber();
    EXPECT_EQ(Text(DLLGetModelInfo()->serialNumber), L"ZX0123456789");
    EXPECT_EQ(Text(DLLGetSerialNumber()), L"ZX0123456789");
    // Each collector asks its own query, as WMI is asked on Windows.
    EXPECT_EQ(machine.wmi.Queries(), (std::vector<std::wstring>{kBiosQuery, kSerialQuery}));
}

TEST(UserDate, TheSecondOemStringIsKeptUntilAnotherSecondStringComes)
{
    {
        Machine machine;
        machine.wmi.AddQueryRow(
            kComputerQuery, {{L"OEMStringArray", Strings({L"Vantrel Corp.", L"  2009/01/15"})}});
        DLLSetUserDate();
    }
    EXPECT_EQ(Text(DLLGetUserDate()->userDate), L"2009/01/15");
    EXPECT_EQ(DLLGetUserDate(), DLLGetModelInfo());

    // Fewer than two strings, or no readable list at all: the date stays.
    const struct {
        const char* what;
        WmiRow row;
    } keeps[] = {
        {"no OEMStringArray (as under Wine)", {{L"Name", Bstr(L"NOTEBOOK")}}},
        {"one string", {{L"OEMStringArray", Strings({L"2010/02/02"})}}},
        {"an empty list", {{L"OEMStringArray", Strings({})}}},
        {"a null value", {{L"OEMStringArray", Null()}}},
        {"a single text", {{L"OEMStringArray", Bstr(L"2010/03/03")}}},
    };
    for (const auto& c : keeps) {
        SCOPED_TRACE(c.what);
        Machine machine;
        machine.wmi.AddQueryRow(kComputerQuery, c.row);
        DLLSetUserDate();
        EXPECT_EQ(Text(DLLGetUserDate()->userDate), L"2009/01/15");
    }
    EXPECT_TRUE(AllZero(DLLGetModelInfo()->unused, sizeof(MODELInfo::unused)));
}

// ---- disks, memory -------------------------------------------------------------------------

WmiRow Disk(const wchar_t* name, int type, const wchar_t* size)
{
    return {{L"DeviceID", Bstr(name)}, {L"DriveType", I4(type)}, {L"Size", Bstr(size)}};
}

TEST(Disks, OnlyLocalDisksAreListed)
{
    Machine machine;
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"A:", 2, L"1474560")); // removable
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"C:", 3, L"250056704000"));
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"Z:", 4, L"999999999"));  // network
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"E:", 5, L"4700000000")); // optical
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"D:", 3, L"9876543210"));
    DLLSetHddInfo();

    const LOGICALDISK* disks = DLLGetHddInfo();
    EXPECT_EQ(Text(disks[0].driveName), L"C:");
    EXPECT_EQ(disks[0].driveType, 3);
    EXPECT_EQ(disks[0].size, 250056704000.0);
    EXPECT_EQ(Text(disks[1].driveName), L"D:");
    EXPECT_EQ(disks[1].driveType, 3);
    EXPECT_EQ(disks[1].size, 9876543210.0);
    EXPECT_EQ(disks[2].driveName[0], L'\0');
}

TEST(Disks, ElevenLocalDisksKeepTheFirstTen)
{
    Machine machine;
    for (int i = 0; i < 11; ++i) {
        const wchar_t name[] = {wchar_t(L'C' + i), L':', L'\0'};
        machine.wmi.AddQueryRow(kDiskQuery, Disk(name, 3, std::to_wstring((i + 1) * 1000).c_str()));
    }
    DLLSetHddInfo();

    const LOGICALDISK* disks = DLLGetHddInfo();
    for (int i = 0; i < LOGICALDISK::kMaxDisks; ++i) {
        SCOPED_TRACE(i);
        const wchar_t name[] = {wchar_t(L'C' + i), L':', L'\0'};
        EXPECT_EQ(Text(disks[i].driveName), name);
        EXPECT_EQ(disks[i].size, (i + 1) * 1000.0);
    }
}

TEST(Disks, ADiskGoneSinceTheLastRunLeavesNoEntry)
{
    {
        Machine machine;
        machine.wmi.AddQueryRow(kDiskQuery, Disk(L"C:", 3, L"100"));
        machine.wmi.AddQueryRow(kDiskQuery, Disk(L"D:", 3, L"200"));
        machine.wmi.AddQueryRow(kDiskQuery, Disk(L"F:", 3, L"300"));
        DLLSetHddInfo();
    }
    Machine machine;
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"C:", 3, L"100"));
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"F:", 2, L"300")); // now a removable stick
    DLLSetHddInfo();
    EXPECT_EQ(Text(DLLGetHddInfo()[0].driveName), L"C:");
    EXPECT_EQ(DLLGetHddInfo()[1].driveName[0], L'\0');
}

TEST(Disks, AQueryWithoutAnswerLeavesTheListAsItWas)
{
    {
        Machine machine;
        machine.wmi.AddQueryRow(kDiskQuery, Disk(L"C:", 3, L"100"));
        machine.wmi.AddQueryRow(kDiskQuery, Disk(L"D:", 3, L"200"));
        DLLSetHddInfo();
    }
    LOGICALDISK before[LOGICALDISK::kMaxDisks];
    memcpy(before, DLLGetHddInfo(), sizeof(before));

    const struct {
        const char* what;
        bool fails;
    } cases[] = {{"no instance", false}, {"the query fails", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine;
        if (c.fails)
            machine.wmi.FailQuery(kDiskQuery);
        DLLSetHddInfo();
        EXPECT_EQ(memcmp(before, DLLGetHddInfo(), sizeof(before)), 0);
    }
}

TEST(Memory, CapacitiesAddUp)
{
    // In order: each case starts from what the one before left.
    const struct {
        const char* what;
        std::vector<const wchar_t*> capacities;
        double total;
    } cases[] = {
        {"two 1 GiB modules", {L"1073741824", L"1073741824"}, 2147483648.0},
        {"no module", {}, 0.0},
        {"beyond 32 bits", {L"4294967296", L"2147483648"}, 6442450944.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine;
        for (const wchar_t* capacity : c.capacities)
            machine.wmi.AddQueryRow(kMemoryQuery, {{L"Capacity", Bstr(capacity)}});
        DLLSetRamInfo();
        EXPECT_EQ(DLLGetRamInfo(), c.total);
    }
}

// ---- operating system, processor, optical drive -------------------------------------------

TEST(OsInfo, ArchitectureIsAddedFromVistaOn)
{
    const struct {
        DWORD major;
        const wchar_t* caption;
        const wchar_t* architecture; // null: WMI has no such property (XP)
        const wchar_t* shown;
    } cases[] = {
        {5, L"Microsoft Windows XP Professional", nullptr, L"Microsoft Windows XP Professional"},
        {5, L" Microsoft Windows XP Home Edition", L"32-bit", L"Microsoft Windows XP Home Edition"},
        {6, L"  Microsoft Windows 7 Home Premium ", L"64-bit",
         L"Microsoft Windows 7 Home Premium ,  64-bit"},
        {6, L"Microsoft Windows Vista Business", L" 32-bit",
         L"Microsoft Windows Vista Business,  32-bit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        Machine machine(c.major);
        WmiRow row = {{L"Caption", Bstr(c.caption)}};
        if (c.architecture)
            row.push_back({L"OSArchitecture", Bstr(c.architecture)});
        machine.wmi.AddQueryRow(kOsQuery, row);
        EXPECT_EQ(Text(DLLSetOSInfo()), c.shown);
        EXPECT_EQ(Text(DLLGetOSInfo()), c.shown);
    }
}

TEST(CpuInfo, FromVistaOnTheNameComesFromWmi)
{
    Machine machine(6);
    machine.wmi.AddQueryRow(
        kProcessorQuery, {{L"Name", Bstr(L"    Intel(R) Core(TM) i5 CPU       M 430  @ 2.27GHz")}});
    EXPECT_EQ(Text(DLLSetCpuInfo()), L"Intel(R) Core(TM) i5 CPU       M 430  @ 2.27GHz");
    EXPECT_EQ(Text(DLLGetCpuInfo()), L"Intel(R) Core(TM) i5 CPU       M 430  @ 2.27GHz");
}

TEST(OddInfo, DriveNameLosesItsLeadingBlanks)
{
    Machine machine;
    machine.wmi.AddQueryRow(kOpticalQuery, {{L"Name", Bstr(L"  HL-DT-ST DVDRAM GT30N")}});
    EXPECT_EQ(Text(DLLSetODDInfo()), L"HL-DT-ST DVDRAM GT30N");
    EXPECT_EQ(Text(DLLGetODDInfo()), L"HL-DT-ST DVDRAM GT30N");
}

// ---- graphics adapter ----------------------------------------------------------------------

TEST(GfxInfo, ChoosesTheControllerByWindowsAndAvailability)
{
    const struct {
        const char* what;
        DWORD major;
        std::vector<int> availability; // one entry per controller, in query order
        int shown;
    } cases[] = {
        {"integrated off, discrete running", 6, {8, 3}, 1},
        {"integrated off, discrete running, XP", 5, {8, 3}, 1},
        {"one controller, not running", 6, {8}, 0},
        {"one controller, not running, XP", 5, {8}, 0},
        {"none running", 6, {8, 8}, 0},
        {"none running, XP", 5, {8, 8}, 0},
        {"the last running one", 6, {3, 8, 3}, 2},
        {"the last running one, XP", 5, {3, 3, 8}, 1},
        {"the fifth still counts", 6, {8, 8, 8, 8, 3}, 4},
        {"a sixth is not considered", 6, {8, 8, 8, 8, 8, 3}, 0},
        {"a sixth is not considered, XP", 5, {8, 3, 8, 8, 8, 3}, 1},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ++run;
        // Names carry the case, so a record left from the case before cannot pass for this one.
        auto name = [run](size_t i) {
            return L"Display " + std::to_wstring(run) + L"." + std::to_wstring(i);
        };
        Machine machine(c.major);
        for (size_t i = 0; i < c.availability.size(); ++i) {
            machine.wmi.AddQueryRow(
                kVideoQuery,
                {{L"AdapterCompatibility", Bstr((L"Maker of " + name(i)).c_str())},
                 {L"Availability", I4(c.availability[i])},
                 {L"Name", Bstr(name(i).c_str())},
                 {L"DriverVersion", Bstr((L"8.17." + std::to_wstring(run * 10 + i)).c_str())},
                 {L"PNPDeviceID", Bstr(L"PCI\\VEN_8086&DEV_0046&SUBSYS_00000000&REV_02\\3&1")}});
        }
        const size_t shown = static_cast<size_t>(c.shown);
        EXPECT_EQ(Text(DLLSetGFXInfo()), name(shown));
        const DRIVERINFO* video = DLLGetVDriverInfo();
        EXPECT_EQ(Text(video->description), name(shown));
        EXPECT_EQ(Text(video->manufacturer), L"Maker of " + name(shown));
        EXPECT_EQ(Text(video->version), L"8.17." + std::to_wstring(run * 10 + shown));
    }
}

TEST(GfxInfo, NoControllerLeavesTheRecordAsItWas)
{
    {
        Machine machine;
        machine.wmi.AddQueryRow(kVideoQuery, {{L"AdapterCompatibility", Bstr(L"Vantrel")},
                                              {L"Availability", I4(3)},
                                              {L"Name", Bstr(L"Kept Display")},
                                              {L"DriverVersion", Bstr(L"1.2.3.4")}});
        DLLSetGFXInfo();
    }
    const DRIVERINFO before = *DLLGetVDriverInfo();
    Machine machine;
    EXPECT_EQ(Text(DLLSetGFXInfo()), L"");
    EXPECT_EQ(memcmp(&before, DLLGetVDriverInfo(), sizeof(before)), 0);
}

// Before Vista this maker's adapters take their version from the driver key; the device and
// class keys are written for the test (named after the process) and removed after it.
class GfxDriverKey : public ::testing::Test {
  protected:
    void SetUp() override
    {
        const std::wstring pid = std::to_wstring(GetCurrentProcessId());
        classKey_ = L"{HLMTEST-TAV-GFX-" + pid + L"}";
        atiDevice_ = L"PCI\\VEN_1002&DEV_68C1&SUBSYS_HLMTEST\\" + pid;
        otherDevice_ = L"PCI\\VEN_10DE&DEV_0A29&SUBSYS_HLMTEST\\" + pid;
        for (const std::wstring* device : {&atiDevice_, &otherDevice_}) {
            ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, (kEnum + *device).c_str(),
                                                L"Driver", (classKey_ + L"\\0000").c_str()));
        }
        ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE,
                                            (kClass + classKey_ + L"\\0000").c_str(),
                                            L"DriverVersion", L"8.712.3.0"));
    }
    void TearDown() override
    {
        for (const std::wstring* device : {&atiDevice_, &otherDevice_}) {
            EXPECT_TRUE(hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kEnum + *device).c_str()));
            // The instance key's parent was made for the test too.
            const std::wstring parent = kEnum + device->substr(0, device->rfind(L'\\'));
            EXPECT_TRUE(hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, parent.c_str()));
        }
        EXPECT_TRUE(hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, (kClass + classKey_).c_str()));
    }

    const std::wstring kEnum = L"SYSTEM\\CurrentControlSet\\Enum\\";
    const std::wstring kClass = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";
    std::wstring classKey_;
    std::wstring atiDevice_;
    std::wstring otherDevice_;
};

TEST_F(GfxDriverKey, OnXpTheAtiVersionComesFromTheDriverKey)
{
    const std::wstring pid = std::to_wstring(GetCurrentProcessId());
    const std::wstring missing = L"PCI\\VEN_1002&DEV_68C1&SUBSYS_NOKEY\\" + pid;
    const struct {
        const char* what;
        DWORD major;
        const std::wstring* device;
        const wchar_t* version;
    } cases[] = {
        {"ATI on XP", 5, &atiDevice_, L"8.712.3.0"},
        {"ATI on Windows 7", 6, &atiDevice_, L"6.14.10.7000"},
        {"another maker on XP", 5, &otherDevice_, L"6.14.10.7000"},
        {"ATI on XP without a device key", 5, &missing, L"6.14.10.7000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine(c.major);
        machine.wmi.AddQueryRow(kVideoQuery, {{L"AdapterCompatibility", Bstr(L"ATI")},
                                              {L"Availability", I4(3)},
                                              {L"Name", Bstr(L"ATI Mobility Radeon HD 5650")},
                                              {L"DriverVersion", Bstr(L"6.14.10.7000")},
                                              {L"PNPDeviceID", Bstr(c.device->c_str())}});
        DLLSetGFXInfo();
        EXPECT_EQ(Text(DLLGetVDriverInfo()->version), c.version);
    }
}

// ---- texts longer than their fields --------------------------------------------------------

TEST(OverLongTexts, BiosFieldsAreCutWithTheirTerminator)
{
    Machine machine;
    const std::wstring maker(200, L'#');
    machine.wmi.AddQueryRow(kBiosQuery, {{L"Manufacturer", Bstr(maker.c_str())},
                                         {L"SMBIOSBIOSVersion", Bstr(L"AB.1")}});
    DLLSetBiosInfo();
    const BIOSINFO* bios = DLLGetBiosInfo();
    EXPECT_EQ(Text(bios->manufacturer), std::wstring(29, L'#'));
    EXPECT_EQ(Text(bios->version), L"AB");
    // Nothing of the manufacturer ran on into the version field behind it.
    for (wchar_t ch : bios->version) {
        EXPECT_NE(ch, L'#');
    }

    Machine longVersion;
    longVersion.wmi.AddQueryRow(
        kBiosQuery, {{L"Manufacturer", Bstr(L"Vantrel")},
                     {L"SMBIOSBIOSVersion", Bstr((std::wstring(30, L'V') + L".1").c_str())}});
    DLLSetBiosInfo();
    EXPECT_EQ(Text(bios->version), std::wstring(19, L'V'));
    EXPECT_EQ(Text(bios->manufacturer), L"Vantrel");
}

TEST(OverLongTexts, ModelTextsStopAtTheirFields)
{
    Machine machine;
    const std::wstring serial(500, L'S');
    const std::wstring date(60, L'D');
    machine.wmi.AddQueryRow(kSerialQuery, {{L"SerialNumber", Bstr(serial.c_str())}});
    machine.wmi.AddQueryRow(kComputerQuery,
                            {{L"OEMStringArray", Strings({L"Vantrel", date.c_str()})}});
    DLLSetSerialNumber();
    DLLSetUserDate();
    const MODELInfo* model = DLLGetModelInfo();
    EXPECT_EQ(Text(model->serialNumber), std::wstring(99, L'S'));
    EXPECT_TRUE(AllZero(model->unused, sizeof(model->unused)));
    EXPECT_EQ(Text(model->userDate), std::wstring(19, L'D'));
}

TEST(OverLongTexts, DriveNameKeepsTwoCharacters)
{
    Machine machine;
    machine.wmi.AddQueryRow(kDiskQuery, Disk(L"ABCDE", 3, L"123456789"));
    DLLSetHddInfo();
    const LOGICALDISK& disk = DLLGetHddInfo()[0];
    EXPECT_EQ(Text(disk.driveName), L"AB");
    EXPECT_EQ(disk.driveType, 3);
    EXPECT_EQ(disk.size, 123456789.0);
}

TEST(OverLongTexts, VideoRecordFieldsAreCut)
{
    Machine machine;
    const std::wstring maker(300, L'M');
    const std::wstring name(300, L'N');
    const std::wstring version(80, L'V');
    machine.wmi.AddQueryRow(kVideoQuery, {{L"AdapterCompatibility", Bstr(maker.c_str())},
                                          {L"Availability", I4(3)},
                                          {L"Name", Bstr(name.c_str())},
                                          {L"DriverVersion", Bstr(version.c_str())}});
    EXPECT_EQ(Text(DLLSetGFXInfo()), std::wstring(99, L'N'));
    const DRIVERINFO* video = DLLGetVDriverInfo();
    EXPECT_EQ(Text(video->manufacturer), std::wstring(99, L'M'));
    EXPECT_EQ(Text(video->description), std::wstring(99, L'N'));
    EXPECT_EQ(Text(video->version), std::wstring(49, L'V'));
}

// ---- the WMI connection --------------------------------------------------------------------

void RunEveryCollector()
{
    DLLSetBiosInfo();
    DLLSetSerialNumber();
    DLLSetUserDate();
    DLLSetHddInfo();
    DLLSetRamInfo();
    DLLSetCpuInfo();
    DLLSetODDInfo();
    DLLSetOSInfo();
    DLLSetGFXInfo();
}
constexpr size_t kCollectors = 9;

// One row for every query, its texts marked with `tag`.
void StageEverything(FakeWmi& wmi, const std::wstring& tag)
{
    auto text = [&tag](const wchar_t* what) { return Bstr((tag + L" " + what).c_str()); };
    wmi.AddQueryRow(kBiosQuery,
                    {{L"Manufacturer", text(L"maker")}, {L"SMBIOSBIOSVersion", text(L"bios")}});
    wmi.AddQueryRow(kSerialQuery, {{L"SerialNumber", text(L"serial")}});
    wmi.AddQueryRow(kComputerQuery,
                    {{L"OEMStringArray", Strings({L"x", (tag + L" date").c_str()})}});
    wmi.AddQueryRow(kDiskQuery, Disk((tag.substr(0, 1) + L":").c_str(), 3, L"4096"));
    wmi.AddQueryRow(kMemoryQuery, {{L"Capacity", Bstr(L"536870912")}});
    wmi.AddQueryRow(kProcessorQuery, {{L"Name", text(L"processor")}});
    wmi.AddQueryRow(kOpticalQuery, {{L"Name", text(L"optical drive")}});
    wmi.AddQueryRow(kOsQuery,
                    {{L"Caption", text(L"Windows")}, {L"OSArchitecture", Bstr(L"64-bit")}});
    wmi.AddQueryRow(kVideoQuery, {{L"AdapterCompatibility", text(L"video maker")},
                                  {L"Availability", I4(3)},
                                  {L"Name", text(L"display")},
                                  {L"DriverVersion", text(L"video version")}});
}

// What the getters hand out, to compare before and after.
struct Records {
    Records()
        : bios(*DLLGetBiosInfo()), model(*DLLGetModelInfo()), memory(DLLGetRamInfo()),
          video(*DLLGetVDriverInfo()), os(Text(DLLGetOSInfo())), optical(Text(DLLGetODDInfo())),
          serial(Text(DLLGetSerialNumber())), processor(Text(DLLGetCpuInfo()))
    {
        memcpy(disks, DLLGetHddInfo(), sizeof(disks));
    }
    void ExpectSameAs(const Records& other) const
    {
        EXPECT_EQ(memcmp(&bios, &other.bios, sizeof(bios)), 0);
        EXPECT_EQ(memcmp(&model, &other.model, sizeof(model)), 0);
        EXPECT_EQ(memcmp(disks, other.disks, sizeof(disks)), 0);
        EXPECT_EQ(memory, other.memory);
        EXPECT_EQ(memcmp(&video, &other.video, sizeof(video)), 0);
        EXPECT_EQ(os, other.os);
        EXPECT_EQ(optical, other.optical);
        EXPECT_EQ(serial, other.serial);
        EXPECT_EQ(processor, other.processor);
    }

    BIOSINFO bios;
    MODELInfo model;
    LOGICALDISK disks[LOGICALDISK::kMaxDisks];
    double memory;
    DRIVERINFO video;
    std::wstring os, optical, serial, processor;
};

TEST(WmiConnection, CollectorsShareOneConnectionUntilCleanUp)
{
    Machine machine;
    StageEverything(machine.wmi, L"Shared");
    RunEveryCollector();
    EXPECT_EQ(machine.wmi.Namespaces(), std::vector<std::wstring>{L"ROOT\\CIMV2"});
    EXPECT_EQ(machine.wmi.OpenConnections(), 1);
    EXPECT_EQ(machine.wmi.Queries().size(), kCollectors);

    CleanUpWMI();
    EXPECT_EQ(machine.wmi.OpenConnections(), 0);
    CleanUpWMI(); // nothing left to close
    EXPECT_EQ(machine.wmi.OpenConnections(), 0);

    // A collector after the clean-up opens it again.
    DLLSetRamInfo();
    EXPECT_EQ(machine.wmi.Namespaces().size(), 2u);
    EXPECT_EQ(machine.wmi.OpenConnections(), 1);
    EXPECT_EQ(machine.wmi.Queries().back(), kMemoryQuery);
}

TEST(WmiConnection, WithoutAnAnswerEveryRecordStaysAsItWas)
{
    {
        Machine machine;
        StageEverything(machine.wmi, L"Before");
        RunEveryCollector();
    }
    const Records before;
    ASSERT_EQ(Text(DLLGetBiosInfo()->manufacturer), L"Before maker");

    {
        SCOPED_TRACE("no connection");
        Machine machine;
        StageEverything(machine.wmi, L"After");
        machine.wmi.FailConnect();
        RunEveryCollector();
        Records().ExpectSameAs(before);
        // Every collector tried again, and none kept anything open.
        EXPECT_EQ(machine.wmi.Namespaces().size(), kCollectors);
        EXPECT_EQ(machine.wmi.OpenConnections(), 0);

        // Once WMI answers, the next collector reads it.
        machine.wmi.FailConnect(false);
        DLLSetBiosInfo();
        EXPECT_EQ(Text(DLLGetBiosInfo()->manufacturer), L"After maker");
    }
    {
        Machine machine;
        StageEverything(machine.wmi, L"Before");
        DLLSetBiosInfo();
    }
    {
        SCOPED_TRACE("every query fails");
        Machine machine;
        StageEverything(machine.wmi, L"After");
        for (const wchar_t* query :
             {kBiosQuery, kSerialQuery, kComputerQuery, kDiskQuery, kMemoryQuery, kProcessorQuery,
              kOpticalQuery, kOsQuery, kVideoQuery})
            machine.wmi.FailQuery(query);
        RunEveryCollector();
        Records().ExpectSameAs(before);
    }
}

// ---- the processor name before Vista ----------------------------------------------------------

// The prefix's real processor key: its name is saved before each case and put back after.
class XpProcessorName : public ::testing::Test {
  protected:
    void SetUp() override
    {
        fw::RegKey key;
        hadName_ = key.Open(HKEY_LOCAL_MACHINE, kKey) == fw::RegResult::Ok &&
                   key.ReadString(kValue, savedName_, 4096) == fw::RegResult::Ok;
    }
    void TearDown() override
    {
        if (hadName_) {
            EXPECT_TRUE(
                hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, kKey, kValue, savedName_.c_str()));
        } else {
            fw::RegKey key;
            if (key.Open(HKEY_LOCAL_MACHINE, kKey, KEY_SET_VALUE) == fw::RegResult::Ok)
                key.DeleteValue(kValue);
        }
    }

    // The processor as Vista's WMI would name it, which XP must not use.
    static void StageWmiName(Machine& machine)
    {
        machine.wmi.AddQueryRow(kProcessorQuery, {{L"Name", Bstr(L"Processor from WMI")}});
    }

    static constexpr const wchar_t* kKey = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
    static constexpr const wchar_t* kValue = L"ProcessorNameString";
    bool hadName_ = false;
    fw::CSharedString savedName_;
};

TEST_F(XpProcessorName, ComesFromTheRegistryWithoutLeadingSpaces)
{
    const struct {
        const wchar_t* stored;
        const wchar_t* shown;
    } cases[] = {
        {L"          Intel(R) Core(TM)2 Duo CPU     T6600  @ 2.20GHz",
         L"Intel(R) Core(TM)2 Duo CPU     T6600  @ 2.20GHz"},
        {L"Intel(R) Atom(TM) CPU N270   @ 1.60GHz", L"Intel(R) Atom(TM) CPU N270   @ 1.60GHz"},
        {L"    ", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, kKey, kValue, c.stored));
        Machine machine(5);
        StageWmiName(machine);
        EXPECT_EQ(Text(DLLSetCpuInfo()), c.shown);
        EXPECT_EQ(Text(DLLGetCpuInfo()), c.shown);
        EXPECT_TRUE(machine.wmi.Queries().empty());
    }
}

TEST_F(XpProcessorName, AnUnreadableNameGivesAnEmptyText)
{
    const struct {
        const char* what;
        bool write;
        bool asNumber;
    } cases[] = {{"no value", false, false}, {"a number", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A name read before must not survive a failed read.
        ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, kKey, kValue, L"Earlier CPU"));
        {
            Machine machine(5);
            ASSERT_EQ(Text(DLLSetCpuInfo()), L"Earlier CPU");
        }
        fw::RegKey key;
        ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, kKey, KEY_SET_VALUE), fw::RegResult::Ok);
        key.DeleteValue(kValue);
        if (c.write) {
            ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, kKey, kValue, 0x1234));
        }
        Machine machine(5);
        StageWmiName(machine);
        EXPECT_EQ(Text(DLLSetCpuInfo()), L"");
        EXPECT_EQ(Text(DLLGetCpuInfo()), L"");
    }
}

// ---- the records as the library is loaded -----------------------------------------------------

// Runs in a process of its own (the test registration filters it), before any collector.
TEST(FreshLibrary, RecordsStartEmptyAndUnansweredQueriesKeepThemSo)
{
    auto expectEmpty = [] {
        EXPECT_TRUE(AllZero(DLLGetBiosInfo(), sizeof(BIOSINFO)));
        EXPECT_TRUE(AllZero(DLLGetModelInfo(), sizeof(MODELInfo)));
        EXPECT_TRUE(AllZero(DLLGetHddInfo(), sizeof(LOGICALDISK) * LOGICALDISK::kMaxDisks));
        EXPECT_EQ(DLLGetRamInfo(), 0.0);
        EXPECT_TRUE(AllZero(DLLGetVDriverInfo(), sizeof(DRIVERINFO)));
        EXPECT_EQ(Text(DLLGetOSInfo()), L"");
        EXPECT_EQ(Text(DLLGetODDInfo()), L"");
        EXPECT_EQ(Text(DLLGetSerialNumber()), L"");
        EXPECT_EQ(Text(DLLGetCpuInfo()), L"");
        EXPECT_TRUE(DLLGetADriverInfo()->IsEmpty());
        for (DRIVERINFO* record : {DLLGetWDriverInfo(), DLLGetNDriverInfo(), DLLGetBTDriverInfo(),
                                   DLLGetMDriverInfo()}) {
            EXPECT_TRUE(AllZero(record, sizeof(DRIVERINFO)));
        }
    };
    expectEmpty();

    // A machine without an optical drive (or any other instance), as Wine answers for it.
    Machine machine;
    EXPECT_EQ(Text(DLLSetODDInfo()), L"");
    EXPECT_EQ(Text(DLLSetOSInfo()), L"");
    EXPECT_EQ(Text(DLLSetCpuInfo()), L"");
    EXPECT_EQ(Text(DLLSetGFXInfo()), L"");
    DLLSetBiosInfo();
    DLLSetSerialNumber();
    DLLSetUserDate();
    DLLSetHddInfo();
    DLLSetRamInfo();
    expectEmpty();
}

} // namespace
