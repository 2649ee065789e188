// The WMI helpers of one build on the fake WMI: the value formatter, the multi-string search,
// the three device tables, ad-hoc queries and the faulty-device lookup. The device registry
// (HardwareID under Enum, the network connections' MediaSubType) is the real one of the test
// prefix; every key a test writes carries the process id, so the three builds' test programs
// can run side by side, and is removed again.

#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeWmi.h"
#include "tests/support/TestSupport.h"

#include "diaglib/devices/Wmi.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

using diagtest::Recorder;

// The texts the library must send, spelled out here on their own.
const wchar_t kNetworkQuery[] =
    L"SELECT * FROM win32_NetworkAdapter WHERE (PNPDeviceID >= \"PCI\" AND PNPDeviceID < "
    L"\"PCJ\") OR (PNPDeviceID >= \"SD\" AND PNPDeviceID < \"SE\")";
const wchar_t kErrorDeviceQuery[] =
    L"SELECT * FROM win32_pnpentity where ConfigManagerErrorCode <>0 ";
const wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
const wchar_t kNetworkClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

std::wstring Text(const fw::CSharedString& text)
{
    return std::wstring(text.c_str());
}

std::wstring Pid()
{
    return std::to_wstring(GetCurrentProcessId());
}

// A list as REG_MULTI_SZ stores it: each entry ends with a NUL, the list with one more.
std::wstring MultiSz(std::initializer_list<const wchar_t*> entries)
{
    std::wstring list;
    for (const wchar_t* entry : entries) {
        list += entry;
        list += L'\0';
    }
    list += L'\0';
    return list;
}

WmiValue ArrayOf(VARTYPE type)
{
    VARIANT array;
    VariantInit(&array);
    array.vt = VT_ARRAY | type;
    array.parray = SafeArrayCreateVector(type, 0, 2);
    WmiValue value(array);
    VariantClear(&array);
    return value;
}

WmiValue OfType(VARTYPE type)
{
    WmiValue value;
    value.put()->vt = type; // zero payload: null interfaces, 0 numbers
    return value;
}

// ---- Formatter --------------------------------------------------------------------------

TEST(WmiFormat, EachTypeIsWrittenAsTheRulesSay)
{
    VARIANT nullBstr; // COM treats a null BSTR as the empty string
    VariantInit(&nullBstr);
    nullBstr.vt = VT_BSTR;
    nullBstr.bstrVal = nullptr;

    const struct {
        const char* what;
        WmiValue value;
        const wchar_t* text;
    } cases[] = {
        {"null", Null(), L"<null>"},
        {"empty", Empty(), L"<conversion error>"},
        {"I2", I2(22), L"22 (0x16)"},
        {"I2 negative, printed unsigned", I2(-2), L"65534 (0xFFFE)"},
        {"UI1 0", UI1(0), L"0 (0x0)"},
        {"UI1 31", UI1(31), L"31 (0x1F)"},
        {"UI1 32", UI1(32), L"' ' (32, 0x20)"},
        {"UI1 65", UI1(65), L"'A' (65, 0x41)"},
        {"UI1 200", UI1(200), L"'\u00C8' (200, 0xC8)"},
        {"I4 0", I4(0), L"0 (0x0)"},
        {"I4 22", I4(22), L"22 (0x16)"},
        {"I4 negative", I4(-1), L"-1 (0xFFFFFFFF)"},
        {"R4", R4(1.5f), L"    1.5000"},
        {"R8", R8(-2.25), L"   -2.2500"},
        {"R8 wide", R8(123456.789), L"123456.7890"},
        {"BSTR", Bstr(L"PCI\\VEN_8086"), L"\"PCI\\VEN_8086\""},
        {"BSTR empty", Bstr(L""), L"\"\""},
        {"BSTR null", WmiValue(nullBstr), L"\"\""},
        {"BOOL true", Bool(true), L"TRUE"},
        {"BOOL false", Bool(false), L"FALSE"},
        {"UNKNOWN", OfType(VT_UNKNOWN), L""},
        {"DISPATCH", OfType(VT_DISPATCH), L""},
        {"array of I4", ArrayOf(VT_I4), L"<conversion error>"},
        {"array of BSTR", ArrayOf(VT_BSTR), L"<conversion error>"},
        {"UI4", OfType(VT_UI4), L"<conversion error>"},
        {"DATE", OfType(VT_DATE), L"<conversion error>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(FormatWmiValue(c.value.get())), c.text) << c.what;
}

// Real numbers too large for "%10.4f" in 31 characters keep their value in exponent form
// rather than being cut into a different number.
TEST(WmiFormat, NonStringFormsStayWithin31Characters)
{
    const struct {
        WmiValue value;
        double number; // 0 for integers
    } cases[] = {
        {R8(1e20), 1e20},   {R8(1e30), 1e30}, {R8(-1e300), -1e300}, {R4(3e38f), 3e38f},
        {I4(INT32_MIN), 0}, {UI1(255), 0},    {I2(-32768), 0},
    };
    for (const auto& c : cases) {
        const std::wstring text = Text(FormatWmiValue(c.value.get()));
        EXPECT_LE(text.size(), 31u) << text;
        if (c.number != 0) {
            const double back = wcstod(text.c_str(), nullptr);
            EXPECT_NEAR(back / c.number, 1.0, 1e-4) << text;
        }
    }
}

TEST(WmiFormat, StringsKeepTheirWholeLength)
{
    const std::wstring longText(5000, L'x');
    EXPECT_EQ(Text(FormatWmiValue(Bstr(longText.c_str()).get())), L"\"" + longText + L"\"");
}

// ---- Multi-string search ----------------------------------------------------------------

TEST(MultiString, SearchesAllEntriesAtOnceButNotAcrossThem)
{
    const struct {
        const char* what;
        std::wstring value;
        size_t characters; // 0: the whole value
        const wchar_t* marker;
        bool found;
    } cases[] = {
        {"marker in the first entry", MultiSz({L"PCI\\CC_0300", L"PCI\\VEN_1"}), 0, L"CC_03", true},
        {"marker in the last entry", MultiSz({L"PCI\\VEN_1", L"PCI\\CC_0300"}), 0, L"CC_03", true},
        {"marker split across two entries", MultiSz({L"PCI\\CC_0", L"3"}), 0, L"CC_03", false},
        {"entries joined by 0x7F", MultiSz({L"A", L"B"}), 0,
         L"A\x7F"
         L"B",
         true},
        {"closing pair is not joined", MultiSz({L"AB"}), 0, L"B\x7F", false},
        {"case-sensitive", MultiSz({L"PCI\\cc_0300"}), 0, L"CC_03", false},
        {"one terminator only", std::wstring(L"PCI\\CC_0300", 11) + L'\0', 0, L"CC_03", true},
        {"no terminators", L"PCI\\VEN_1&CC_0300", 0, L"CC_03", true},
        {"nothing past the given length", L"PCI\\VEN_1&CC_0300", 12, L"CC_03", false},
        {"empty value", L"", 0, L"CC_03", false},
        {"sound marker is not display's", MultiSz({L"HDAUDIO\\CC_0401"}), 0, L"CC_03", false},
    };
    for (const auto& c : cases) {
        const size_t characters = c.characters ? c.characters : c.value.size();
        EXPECT_EQ(MultiStringContains(c.value.c_str(), characters, c.marker), c.found) << c.what;
    }
}

// A value that fills its buffer to the last character, with no terminator behind it.
TEST(MultiString, ReadsNothingBeyondTheValue)
{
    std::vector<wchar_t> exact(250, L'A');
    exact[247] = L'C';
    exact[248] = L'C';
    exact[249] = L'_';
    EXPECT_TRUE(MultiStringContains(exact.data(), exact.size(), L"CC_"));
    EXPECT_FALSE(MultiStringContains(exact.data(), exact.size(), L"CC_0"));
}

// ---- Device tables ----------------------------------------------------------------------

class WmiTables : public testing::Test {
  protected:
    FakeWmi wmi_;
    ScopedWmi scoped_{wmi_};
};

TEST(FakeWmiInstall, ScopedWmiPutsBackThePreviousPort)
{
    diag::IWmiPort* const before = diag::CurrentPorts().wmi;
    {
        FakeWmi fake;
        ScopedWmi scoped(fake);
        EXPECT_EQ(diag::CurrentPorts().wmi, &fake);
    }
    EXPECT_EQ(diag::CurrentPorts().wmi, before);
}

TEST_F(WmiTables, ConnectToCimv2AndReleaseTheConnection)
{
    {
        CVideoControllerInfo video;
        CSoundDeviceInfo sound;
        CNetworkAdapter network;
        CCommonWmiData common;
        EXPECT_TRUE(video.Connect());
        EXPECT_TRUE(sound.Connect());
        EXPECT_TRUE(network.Connect());
        EXPECT_TRUE(common.Connect());
        EXPECT_TRUE(video.Connect()); // again: the first connection is given back
        EXPECT_EQ(wmi_.OpenConnections(), 4);
        video.Fill();
        sound.Fill();
    }
    EXPECT_EQ(wmi_.OpenConnections(), 0);
    for (const std::wstring& nameSpace : wmi_.Namespaces())
        EXPECT_EQ(nameSpace, L"\\\\.\\root\\cimv2");
    EXPECT_EQ(wmi_.Enumerations(),
              (std::vector<std::wstring>{L"Win32_VideoController", L"Win32_SoundDevice"}));
}

TEST_F(WmiTables, DeviceStateFromConfigManagerErrorCode)
{
    const struct {
        int32_t code;
        int32_t state;
    } cases[] = {
        {0, kDeviceWorking}, {22, kDeviceDisabled},  {10, kDeviceFaulty}, {1, kDeviceFaulty},
        {28, kDeviceFaulty}, {0x160, kDeviceFaulty}, // its text holds "0x16" too
    };
    for (const auto& c : cases) {
        const std::wstring id = L"PCI\\VEN_10DE&DEV_" + std::to_wstring(c.code);
        wmi_.AddInstance(L"Win32_VideoController", {{L"ConfigManagerErrorCode", I4(c.code)},
                                                    {L"PNPDeviceID", Bstr(id.c_str())}});
        wmi_.AddInstance(L"Win32_SoundDevice", {{L"ConfigManagerErrorCode", I4(c.code)},
                                                {L"PNPDeviceID", Bstr(id.c_str())}});
    }
    CVideoControllerInfo video;
    CSoundDeviceInfo sound;
    ASSERT_TRUE(video.Connect());
    ASSERT_TRUE(sound.Connect());
    ASSERT_EQ(video.Fill(), int(std::size(cases)));
    ASSERT_EQ(sound.Fill(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].code);
        EXPECT_EQ(video.State(i), cases[i].state);
        EXPECT_EQ(sound.State(i), cases[i].state);
        EXPECT_EQ(sound.ErrorCode(i), cases[i].code);
        EXPECT_EQ(Text(video.Record(i).pnpDeviceId),
                  L"PCI\\VEN_10DE&DEV_" + std::to_wstring(cases[i].code));
    }
}

// A device whose error code cannot be read cannot be examined, and that is never a device
// error: Wine's Win32_SoundDevice has no ConfigManagerErrorCode at all.
TEST_F(WmiTables, AnUnreadableErrorCodeMeansWorking)
{
    const struct {
        const char* what;
        WmiRow row;
    } cases[] = {
        {"missing", {{L"PNPDeviceID", Bstr(L"PCI\\A")}}},
        {"null", {{L"ConfigManagerErrorCode", Null()}}},
        {"empty", {{L"ConfigManagerErrorCode", Empty()}}},
        {"text", {{L"ConfigManagerErrorCode", Bstr(L"22")}}},
        {"array", {{L"ConfigManagerErrorCode", ArrayOf(VT_I4)}}},
    };
    for (const auto& c : cases) {
        wmi_.AddInstance(L"Win32_VideoController", c.row);
        wmi_.AddInstance(L"Win32_SoundDevice", c.row);
    }
    CVideoControllerInfo video;
    CSoundDeviceInfo sound;
    ASSERT_TRUE(video.Connect());
    ASSERT_TRUE(sound.Connect());
    ASSERT_EQ(video.Fill(), int(std::size(cases)));
    ASSERT_EQ(sound.Fill(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(cases[i].what);
        EXPECT_EQ(video.State(i), kDeviceWorking);
        EXPECT_EQ(sound.State(i), kDeviceWorking);
        EXPECT_EQ(sound.ErrorCode(i), 0);
    }
}

// The properties Wine's WMI gives these classes.
TEST_F(WmiTables, WineSchemasFillTheirRecords)
{
    wmi_.AddInstance(L"Win32_SoundDevice", {{L"DeviceID", Bstr(L"{wine-audio}")},
                                            {L"Manufacturer", Bstr(L"The Wine Project")},
                                            {L"Name", Bstr(L"Wine Audio Device")},
                                            {L"PNPDeviceID", Bstr(L"PCI\\VEN_8086&DEV_293E")},
                                            {L"ProductName", Bstr(L"Wine Audio Device")},
                                            {L"Status", Bstr(L"OK")},
                                            {L"StatusInfo", I4(3)}});
    wmi_.AddInstance(L"Win32_VideoController",
                     {{L"AdapterCompatibility", Bstr(L"(Standard display types)")},
                      {L"AdapterDACType", Bstr(L"Integrated RAMDAC")},
                      {L"AdapterRAM", I4(0x10000000)},
                      {L"Availability", I4(3)},
                      {L"Caption", Bstr(L"Wine Display")},
                      {L"ConfigManagerErrorCode", I4(0)},
                      {L"CurrentBitsPerPixel", I4(32)},
                      {L"Description", Bstr(L"Wine Display")},
                      {L"DeviceId", Bstr(L"VideoController1")},
                      {L"PNPDeviceID", Bstr(L"PCI\\VEN_0000&DEV_0000&SUBSYS_00000000&REV_00")}});

    CSoundDeviceInfo sound;
    ASSERT_TRUE(sound.Connect());
    ASSERT_EQ(sound.Fill(), 1);
    EXPECT_EQ(sound.State(0), kDeviceWorking);
    EXPECT_EQ(sound.ErrorCode(0), 0);
    EXPECT_EQ(Text(sound.Record(0).description), L"");
    EXPECT_EQ(Text(sound.Record(0).manufacturer), L"The Wine Project");
    EXPECT_EQ(Text(sound.Record(0).pnpDeviceId), L"PCI\\VEN_8086&DEV_293E");

    CVideoControllerInfo video;
    ASSERT_TRUE(video.Connect());
    ASSERT_EQ(video.Fill(), 1);
    EXPECT_EQ(video.State(0), kDeviceWorking);
    EXPECT_TRUE(video.HasAdapterRam(0));
    EXPECT_EQ(Text(video.Record(0).description), L"Wine Display");
    EXPECT_EQ(Text(video.Record(0).pnpDeviceId), L"PCI\\VEN_0000&DEV_0000&SUBSYS_00000000&REV_00");
}

// On Windows the four properties sit at positions 3, 8, 19 and 42 of the alphabetical list;
// here other properties sit there, so only reading by name gets the right values.
TEST_F(WmiTables, PropertiesAreReadByNameWhereverTheyAre)
{
    WmiRow video;
    for (int i = 0; i < 50; ++i)
        video.push_back({L"Decoy" + std::to_wstring(i), I4(10)});
    video.push_back({L"PNPDeviceID", Bstr(L"PCI\\VEN_1002&DEV_68E0")});
    video.push_back({L"Description", Bstr(L"Radeon")});
    video.push_back({L"ConfigManagerErrorCode", I4(22)});
    video.push_back({L"AdapterRAM", I4(512)});
    wmi_.AddInstance(L"Win32_VideoController", video);

    WmiRow sound;
    for (int i = 0; i < 20; ++i)
        sound.push_back({L"Decoy" + std::to_wstring(i), Bstr(L"decoy")});
    sound.push_back({L"PNPDeviceID", Bstr(L"HDAUDIO\\FUNC_01&VEN_10EC")});
    sound.push_back({L"Manufacturer", Bstr(L"Realtek")});
    sound.push_back({L"Description", Bstr(L"High Definition Audio")});
    sound.push_back({L"ConfigManagerErrorCode", I4(10)});
    wmi_.AddInstance(L"Win32_SoundDevice", sound);

    CVideoControllerInfo controllers;
    ASSERT_TRUE(controllers.Connect());
    ASSERT_EQ(controllers.Fill(), 1);
    EXPECT_EQ(controllers.State(0), kDeviceDisabled);
    EXPECT_TRUE(controllers.HasAdapterRam(0));
    EXPECT_EQ(Text(controllers.Record(0).description), L"Radeon");
    EXPECT_EQ(Text(controllers.Record(0).pnpDeviceId), L"PCI\\VEN_1002&DEV_68E0");

    CSoundDeviceInfo devices;
    ASSERT_TRUE(devices.Connect());
    ASSERT_EQ(devices.Fill(), 1);
    EXPECT_EQ(devices.ErrorCode(0), 10);
    EXPECT_EQ(devices.State(0), kDeviceFaulty);
    EXPECT_EQ(Text(devices.Record(0).description), L"High Definition Audio");
    EXPECT_EQ(Text(devices.Record(0).manufacturer), L"Realtek");
    EXPECT_EQ(Text(devices.Record(0).pnpDeviceId), L"HDAUDIO\\FUNC_01&VEN_10EC");
}

TEST_F(WmiTables, AdapterRamCountsWhenItHasAValue)
{
    const struct {
        const char* what;
        WmiRow row;
        bool hasRam;
    } cases[] = {
        {"number", {{L"AdapterRAM", I4(0x10000000)}}, true},
        {"zero is still a value", {{L"AdapterRAM", I4(0)}}, true},
        {"as text (uint64 under Wine)", {{L"AdapterRAM", Bstr(L"268435456")}}, true},
        {"null", {{L"AdapterRAM", Null()}}, false},
        {"empty", {{L"AdapterRAM", Empty()}}, false},
        {"absent", {{L"Description", Bstr(L"x")}}, false},
    };
    for (const auto& c : cases)
        wmi_.AddInstance(L"Win32_VideoController", c.row);
    CVideoControllerInfo video;
    ASSERT_TRUE(video.Connect());
    ASSERT_EQ(video.Fill(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        EXPECT_EQ(video.HasAdapterRam(i), cases[i].hasRam) << cases[i].what;
        EXPECT_EQ(video.Record(i).hasAdapterRam, cases[i].hasRam ? 1 : 0) << cases[i].what;
    }
}

// Every double quote goes, wherever it is; blanks stay (only the network table strips them).
// Values without a text (null, absent) leave the slot empty rather than "<null>".
TEST_F(WmiTables, TextsLoseTheirQuotes)
{
    wmi_.AddInstance(L"Win32_VideoController",
                     {{L"Description", Bstr(L"\"ACME\" Graphics \"Pro\"")},
                      {L"PNPDeviceID", Bstr(L"  PCI\\VEN_\"1\"")}});
    wmi_.AddInstance(L"Win32_VideoController", {{L"Description", Null()}, {L"PNPDeviceID", I4(5)}});
    wmi_.AddInstance(L"Win32_SoundDevice", {{L"Description", Bstr(L"\"\"")},
                                            {L"Manufacturer", Bstr(L"\"Realtek\"")},
                                            {L"PNPDeviceID", Null()}});

    CVideoControllerInfo video;
    ASSERT_TRUE(video.Connect());
    ASSERT_EQ(video.Fill(), 2);
    EXPECT_EQ(Text(video.Record(0).description), L"ACME Graphics Pro");
    EXPECT_EQ(Text(video.Record(0).pnpDeviceId), L"  PCI\\VEN_1");
    EXPECT_EQ(Text(video.Record(1).description), L"");
    EXPECT_EQ(Text(video.Record(1).pnpDeviceId), L"5 (0x5)"); // formatted, as any value

    CSoundDeviceInfo sound;
    ASSERT_TRUE(sound.Connect());
    ASSERT_EQ(sound.Fill(), 1);
    EXPECT_EQ(Text(sound.Record(0).description), L"");
    EXPECT_EQ(Text(sound.Record(0).manufacturer), L"Realtek");
    EXPECT_EQ(Text(sound.Record(0).pnpDeviceId), L"");
}

TEST_F(WmiTables, AtMostThirtyDevicesInEnumerationOrder)
{
    for (int i = 0; i < 31; ++i) {
        const std::wstring id = L"PCI\\DEV_" + std::to_wstring(i);
        wmi_.AddInstance(L"Win32_VideoController", {{L"PNPDeviceID", Bstr(id.c_str())}});
        wmi_.AddInstance(L"Win32_SoundDevice", {{L"PNPDeviceID", Bstr(id.c_str())}});
    }
    CVideoControllerInfo video;
    CSoundDeviceInfo sound;
    ASSERT_TRUE(video.Connect());
    ASSERT_TRUE(sound.Connect());
    ASSERT_EQ(video.Fill(), 30);
    ASSERT_EQ(sound.Fill(), 30);
    EXPECT_EQ(video.Count(), 30);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(Text(video.Record(i).pnpDeviceId), L"PCI\\DEV_" + std::to_wstring(i));
        EXPECT_EQ(Text(sound.Record(i).pnpDeviceId), L"PCI\\DEV_" + std::to_wstring(i));
    }
}

TEST_F(WmiTables, ASecondFillStartsAgainAtRecordZero)
{
    wmi_.AddInstance(L"Win32_VideoController",
                     {{L"Description", Bstr(L"one")}, {L"ConfigManagerErrorCode", I4(22)}});
    wmi_.AddInstance(L"Win32_VideoController",
                     {{L"Description", Bstr(L"two")}, {L"AdapterRAM", I4(1)}});
    CVideoControllerInfo video;
    ASSERT_TRUE(video.Connect());
    EXPECT_EQ(video.Fill(), 2);
    EXPECT_EQ(video.Fill(), 2);
    EXPECT_EQ(Text(video.Record(0).description), L"one");
    EXPECT_EQ(Text(video.Record(1).description), L"two");

    // Nothing of the first fill survives a fill that finds nothing.
    wmi_.FailEnumeration(L"Win32_VideoController");
    EXPECT_EQ(video.Fill(), 0);
    EXPECT_EQ(video.Count(), 0);
    EXPECT_EQ(Text(video.Record(0).description), L"");
    EXPECT_EQ(video.State(0), kDeviceWorking);
    EXPECT_FALSE(video.HasAdapterRam(1));
}

TEST_F(WmiTables, WithoutAConnectionNothingIsFilledAndNothingShown)
{
    Recorder recorder;
    wmi_.AddInstance(L"Win32_VideoController", {{L"Description", Bstr(L"x")}});
    wmi_.AddInstance(L"Win32_SoundDevice", {{L"Description", Bstr(L"x")}});
    wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(L"PCI\\X")}});
    wmi_.FailConnect();

    CVideoControllerInfo video;
    CSoundDeviceInfo sound;
    CNetworkAdapter network;
    EXPECT_FALSE(video.Connect());
    EXPECT_FALSE(sound.Connect());
    EXPECT_FALSE(network.Connect());
    EXPECT_EQ(video.Fill(), 0);
    EXPECT_EQ(sound.Fill(), 0);
    EXPECT_EQ(network.Fill(), 0);
    // Not connected at all: the fills do not even try.
    CVideoControllerInfo never;
    EXPECT_EQ(never.Fill(), 0);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(WmiTables, AFailedEnumerationFillsNothing)
{
    wmi_.AddInstance(L"Win32_SoundDevice", {{L"Description", Bstr(L"x")}});
    wmi_.FailEnumeration(L"Win32_SoundDevice");
    CSoundDeviceInfo sound;
    ASSERT_TRUE(sound.Connect());
    EXPECT_EQ(sound.Fill(), 0);
}

// ---- Network table ----------------------------------------------------------------------

// Connection keys of the network class written for one test, removed when it goes, and the
// class key with them when a test made it (a fresh Wine prefix has none). That key is only
// deleted when empty, so a test program of another build running alongside keeps its keys.
class ScratchConnections {
  public:
    ScratchConnections()
        : classKeyExisted_(hlmtest::RegKeyExists(HKEY_LOCAL_MACHINE, kNetworkClassKey))
    {
    }
    ~ScratchConnections()
    {
        for (const std::wstring& key : keys_)
            EXPECT_TRUE(hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, key.c_str()));
        if (!classKeyExisted_)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kNetworkClassKey);
    }

    // mediaSubType < 0 leaves the value out.
    void Add(const wchar_t* pnpInstanceId, int mediaSubType)
    {
        const std::wstring key = std::wstring(kNetworkClassKey) + L"\\{HLMTEST-" + Pid() + L"-" +
                                 std::to_wstring(keys_.size()) + L"}";
        keys_.push_back(key);
        const std::wstring connection = key + L"\\Connection";
        ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, connection.c_str(),
                                            L"PnpInstanceID", pnpInstanceId));
        if (mediaSubType >= 0) {
            ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, connection.c_str(),
                                               L"MediaSubType", DWORD(mediaSubType)));
        }
    }

  private:
    bool classKeyExisted_;
    std::vector<std::wstring> keys_;
};

class NetworkTable : public WmiTables {};

TEST_F(NetworkTable, AsksOnlyForAdaptersOnPciOrSd)
{
    const std::wstring usb = L"USB\\VID_0B95&PID_7720\\" + Pid();
    wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(L"PCI\\VEN_8086&DEV_10D3\\1")}});
    wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(L"SD\\VID_02D0&PID_4329\\2")}});
    // What a query without the condition would also return.
    wmi_.AddQueryRow(L"SELECT * FROM win32_NetworkAdapter", {{L"PNPDeviceID", Bstr(usb.c_str())}});

    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    ASSERT_EQ(network.Fill(), 2);
    EXPECT_EQ(wmi_.Queries(), std::vector<std::wstring>{kNetworkQuery});
    EXPECT_EQ(Text(network.Record(0).pnpDeviceId), L"PCI\\VEN_8086&DEV_10D3\\1");
    EXPECT_EQ(Text(network.Record(1).pnpDeviceId), L"SD\\VID_02D0&PID_4329\\2");
}

TEST_F(NetworkTable, TextsLoseQuotesAndLeadingBlanks)
{
    wmi_.AddQueryRow(kNetworkQuery, {{L"Description", Bstr(L" \t \"Intel\" PRO/1000  ")},
                                     {L"PNPDeviceID", Bstr(L"  PCI\\VEN_8086")}});
    wmi_.AddQueryRow(kNetworkQuery,
                     {{L"Description", Bstr(L"   ")}, {L"PNPDeviceID", Bstr(L"\" PCI\\B\"")}});
    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    ASSERT_EQ(network.Fill(), 2);
    EXPECT_EQ(Text(network.Record(0).description), L"Intel PRO/1000  ");
    EXPECT_EQ(Text(network.Record(0).pnpDeviceId), L"PCI\\VEN_8086");
    EXPECT_EQ(Text(network.Record(1).description), L"");
    EXPECT_EQ(Text(network.Record(1).pnpDeviceId), L"PCI\\B");
}

TEST_F(NetworkTable, ErrorCodeAndConnectionStatusAsRead)
{
    const struct {
        const char* what;
        WmiRow row;
        int32_t errorCode;
        int status;
    } cases[] = {
        {"disabled, disconnected",
         {{L"ConfigManagerErrorCode", I4(22)}, {L"NetConnectionStatus", I4(7)}},
         22,
         7},
        {"faulty", {{L"ConfigManagerErrorCode", I4(10)}, {L"NetConnectionStatus", I4(2)}}, 10, 2},
        {"working", {{L"ConfigManagerErrorCode", I4(0)}, {L"NetConnectionStatus", I4(2)}}, 0, 2},
        {"neither readable", {{L"ConfigManagerErrorCode", Null()}}, 0, 0},
        {"neither there", {{L"Description", Bstr(L"x")}}, 0, 0},
    };
    for (const auto& c : cases)
        wmi_.AddQueryRow(kNetworkQuery, c.row);
    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    ASSERT_EQ(network.Fill(), int(std::size(cases)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        EXPECT_EQ(network.ErrorCode(i), cases[i].errorCode) << cases[i].what;
        EXPECT_EQ(network.ConnectionStatus(i), cases[i].status) << cases[i].what;
    }
}

TEST_F(NetworkTable, AFailedQueryFillsNothingWithoutAMessage)
{
    Recorder recorder;
    wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(L"PCI\\X")}});
    wmi_.FailQuery(kNetworkQuery);
    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    EXPECT_EQ(network.Fill(), 0);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(NetworkTable, AtMostThirtyAdapters)
{
    for (int i = 0; i < 31; ++i) {
        const std::wstring id = L"PCI\\NIC_" + std::to_wstring(i);
        wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(id.c_str())}});
    }
    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    ASSERT_EQ(network.Fill(), 30);
    EXPECT_EQ(Text(network.Record(29).pnpDeviceId), L"PCI\\NIC_29");
}

// The connection key whose PnpInstanceID is the adapter's whole identifier, in any case.
TEST_F(NetworkTable, MediaSubTypeFromTheAdaptersConnectionKey)
{
    const std::wstring wired = L"PCI\\VEN_8086&DEV_10D3\\HLM" + Pid() + L"&0&00E5";
    const std::wstring wireless = L"PCI\\VEN_168C&DEV_002B\\HLM" + Pid() + L"&0&00E1";
    const std::wstring unknown = L"PCI\\VEN_10EC&DEV_8136\\HLM" + Pid() + L"&0&00E0";
    const std::wstring noValue = L"SD\\VID_02D0&PID_4329\\HLM" + Pid();
    const std::wstring prefix = L"PCI\\VEN_1814&DEV_3090\\HLM" + Pid();

    ScratchConnections connections;
    connections.Add(wired.c_str(), 1);
    std::wstring lowerWireless = wireless;
    for (wchar_t& ch : lowerWireless)
        ch = static_cast<wchar_t>(towlower(ch));
    connections.Add(lowerWireless.c_str(), 2);
    connections.Add(noValue.c_str(), -1);
    connections.Add(prefix.c_str(), 2);           // a shorter identifier is another device
    connections.Add((unknown + L"X").c_str(), 2); // so is a longer one

    for (const std::wstring* id : {&wired, &wireless, &unknown, &noValue})
        wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(id->c_str())}});
    const std::wstring longer = prefix + L"&0&00E2";
    wmi_.AddQueryRow(kNetworkQuery, {{L"PNPDeviceID", Bstr(longer.c_str())}});

    CNetworkAdapter network;
    ASSERT_TRUE(network.Connect());
    ASSERT_EQ(network.Fill(), 5);
    EXPECT_EQ(network.MediaSubType(0), 1);
    EXPECT_EQ(network.MediaSubType(1), 2);
    EXPECT_EQ(network.MediaSubType(2), 0);
    EXPECT_EQ(network.MediaSubType(3), 0);
    EXPECT_EQ(network.MediaSubType(4), 0);

    EXPECT_EQ(LookUpMediaSubType(wired.c_str()), 1);
    EXPECT_EQ(LookUpMediaSubType(L""), 0);
    EXPECT_EQ(LookUpMediaSubType(nullptr), 0);
}

// ---- Ad-hoc queries and the faulty-device lookup ----------------------------------------

TEST_F(WmiTables, AQueryThatCannotRunIsShownAndCountsAsEmpty)
{
    struct CountRows : diag::IWmiVisitor {
        int rows = 0;
        bool Visit(diag::IWmiObject&) override
        {
            ++rows;
            return true;
        }
    };
    wmi_.AddQueryRow(L"SELECT * FROM Win32_LogicalDisk", {{L"Name", Bstr(L"C:")}});
    wmi_.AddQueryRow(L"SELECT * FROM Win32_Broken", {{L"Name", Bstr(L"C:")}});
    wmi_.FailQuery(L"SELECT * FROM Win32_Broken");

    Recorder recorder;
    CCommonWmiData common;
    ASSERT_TRUE(common.Connect());
    CountRows good;
    EXPECT_TRUE(common.ExecQuery(L"SELECT * FROM Win32_LogicalDisk", good));
    EXPECT_EQ(good.rows, 1);
    EXPECT_TRUE(recorder.Messages().empty());

    CountRows broken;
    EXPECT_FALSE(common.ExecQuery(L"SELECT * FROM Win32_Broken", broken));
    EXPECT_EQ(broken.rows, 0);
    EXPECT_EQ(recorder.Messages(), std::vector<std::wstring>{L"ExecQuery() Error!!"});

    // A connection that failed cannot execute anything either.
    recorder.Clear();
    wmi_.FailConnect();
    CCommonWmiData unconnected;
    EXPECT_FALSE(unconnected.Connect());
    CountRows none;
    EXPECT_FALSE(unconnected.ExecQuery(L"SELECT * FROM Win32_LogicalDisk", none));
    EXPECT_EQ(none.rows, 0);
    EXPECT_EQ(recorder.Messages(), std::vector<std::wstring>{L"ExecQuery() Error!!"});
}

// Device keys under Enum\HLMTEST<pid>, removed when the object goes.
class ScratchDevices {
  public:
    ScratchDevices() : root_(std::wstring(kEnumKey) + L"HLMTEST" + Pid())
    {
        hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, root_.c_str()); // a crashed earlier run
    }
    ~ScratchDevices() { EXPECT_TRUE(hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, root_.c_str())); }

    // The DeviceID of a device of the scratch enumerator, e.g. HLMTEST42\DISPLAY\0.
    std::wstring Id(const wchar_t* device) const
    {
        return L"HLMTEST" + Pid() + L"\\" + device + L"\\0";
    }

    // A HardwareID value of any type and length.
    void SetHardwareIds(const std::wstring& id, DWORD type, const std::wstring& data)
    {
        SetHardwareIdBytes(id, type, data.data(), DWORD(data.size() * sizeof(wchar_t)));
    }
    void SetHardwareIdBytes(const std::wstring& id, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_TRUE(hlmtest::WriteRegRaw(HKEY_LOCAL_MACHINE, (kEnumKey + id).c_str(), L"HardwareID",
                                         type, data, bytes));
    }
    void AddDevice(const std::wstring& id, std::initializer_list<const wchar_t*> hardwareIds)
    {
        SetHardwareIds(id, REG_MULTI_SZ, MultiSz(hardwareIds));
    }

  private:
    std::wstring root_;
};

class ErrorDevices : public WmiTables {
  protected:
    void SetUp() override
    {
        // Windows lists the faulty devices in its own order: sound first here.
        devices_.AddDevice(
            sound_, {L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269", L"HDAUDIO\\FUNC_01&VEN_10EC&CC_0401"});
        devices_.AddDevice(display_,
                           {L"PCI\\VEN_8086&DEV_2A42&REV_07", L"PCI\\VEN_8086&DEV_2A42&CC_030000",
                            L"PCI\\VEN_8086&DEV_2A42&CC_0300"});
        devices_.AddDevice(network_, {L"PCI\\VEN_8086&DEV_10D3", L"PCI\\VEN_8086&CC_020000"});
    }

    void Report(const std::wstring& id)
    {
        wmi_.AddQueryRow(kErrorDeviceQuery,
                         {{L"ConfigManagerErrorCode", I4(28)}, {L"DeviceID", Bstr(id.c_str())}});
    }

    bool Find(int kind, std::wstring& id)
    {
        CCommonWmiData common;
        EXPECT_TRUE(common.Connect());
        fw::CSharedString found(L"left over from before");
        const bool result = FindErrorDevice(common, kind, found);
        id = Text(found);
        return result;
    }

    ScratchDevices devices_;
    const std::wstring sound_ = devices_.Id(L"SOUND");
    const std::wstring display_ = devices_.Id(L"DISPLAY");
    const std::wstring network_ = devices_.Id(L"NET");
};

TEST_F(ErrorDevices, EachKindFindsTheFirstDeviceWithItsClassCode)
{
    Report(sound_);
    Report(display_);
    Report(network_);
    const struct {
        int kind;
        bool found;
        const std::wstring& id;
    } cases[] = {
        {kDisplayDevice, true, display_}, // passes over the faulty sound device
        {kSoundDevice, true, sound_},
        {kNetworkDevice, true, network_},
        {2, false, network_}, // no marker: never found, the last device examined
    };
    for (const auto& c : cases) {
        Recorder recorder;
        std::wstring id;
        EXPECT_EQ(Find(c.kind, id), c.found) << c.kind;
        EXPECT_EQ(id, c.id) << c.kind;
        EXPECT_TRUE(recorder.Messages().empty());
    }
    for (const std::wstring& query : wmi_.Queries())
        EXPECT_EQ(query, kErrorDeviceQuery);
}

TEST_F(ErrorDevices, WithoutAMatchTheLastDeviceExaminedIsLeft)
{
    Report(display_);
    Report(sound_);
    std::wstring id;
    EXPECT_FALSE(Find(kNetworkDevice, id));
    EXPECT_EQ(id, sound_);
}

TEST_F(ErrorDevices, NoFaultyDeviceLeavesNothing)
{
    std::wstring id;
    EXPECT_FALSE(Find(kDisplayDevice, id));
    EXPECT_EQ(id, L"");
}

TEST_F(ErrorDevices, TheXpBuildTracesEachDeviceAndTheMatch)
{
    Report(sound_);
    Report(display_);
    Report(network_);
    Recorder recorder;
    std::wstring id;
    ASSERT_TRUE(Find(kDisplayDevice, id));
    std::vector<std::wstring> expected;
    if (diagtest::kXp)
        expected = {L"CheckDeviceIDClassCode", L"CheckDeviceIDClassCode", L"Device Found!!"};
    EXPECT_EQ(recorder.Traces(), expected);
}

// A device whose Enum key cannot be opened is passed over; the walk goes on.
TEST_F(ErrorDevices, AnUnreadableEnumKeyIsTracedAndPassedOver)
{
    const std::wstring gone = devices_.Id(L"GONE");
    Report(gone);
    Report(display_);
    Recorder recorder;
    std::wstring id;
    EXPECT_TRUE(Find(kDisplayDevice, id));
    EXPECT_EQ(id, display_);
    EXPECT_TRUE(recorder.Traced(L"Ret Error"));
}

TEST_F(ErrorDevices, OnlyAnUnreadableDeviceIsNotFound)
{
    const std::wstring gone = devices_.Id(L"GONE");
    Report(gone);
    Recorder recorder;
    std::wstring id;
    EXPECT_FALSE(Find(kDisplayDevice, id));
    EXPECT_EQ(id, gone);
    EXPECT_TRUE(recorder.Traced(L"Ret Error"));
}

// Wine cannot run this query (WBEM_E_FAILED): the user is told, nothing is found.
TEST_F(ErrorDevices, AFailedQueryIsShownAndFindsNothing)
{
    Report(display_);
    wmi_.FailQuery(kErrorDeviceQuery);
    Recorder recorder;
    std::wstring id;
    EXPECT_FALSE(Find(kDisplayDevice, id));
    EXPECT_EQ(id, L"");
    EXPECT_EQ(recorder.Messages(), std::vector<std::wstring>{L"ExecQuery() Error!!"});
}

TEST_F(ErrorDevices, AFailedConnectionIsShownAndFindsNothing)
{
    Report(display_);
    wmi_.FailConnect();
    Recorder recorder;
    CCommonWmiData common;
    EXPECT_FALSE(common.Connect());
    fw::CSharedString id(L"old");
    EXPECT_FALSE(FindErrorDevice(common, kDisplayDevice, id));
    EXPECT_TRUE(id.IsEmpty());
    EXPECT_EQ(recorder.Messages(), std::vector<std::wstring>{L"ExecQuery() Error!!"});
}

// HardwareID as other programs may have left it: at most 500 bytes are read, and a value
// without terminators, of another type or of an odd length must neither crash nor misread.
TEST_F(ErrorDevices, HardwareIdValuesOfEveryShape)
{
    // 500 bytes: 248 characters and the list's two terminators, the marker at its very end.
    std::wstring full(248, L'A');
    full.replace(243, 5, L"CC_03");
    full += std::wstring(2, L'\0');
    // 498 bytes without terminators (Wine adds one when it reads the value, Windows does not).
    std::wstring bare(249, L'A');
    bare.replace(244, 5, L"CC_03");
    std::wstring tooLong(251, L'A'); // 502 bytes, marker at the start
    tooLong.replace(0, 5, L"CC_03");
    const std::wstring odd = L"PCI\\CC_0300";

    const struct {
        const char* what;
        DWORD type;
        std::wstring data;
        DWORD bytes; // 0: all of data
        bool found;
    } cases[] = {
        {"list", REG_MULTI_SZ, MultiSz({L"PCI\\VEN_1", L"PCI\\CC_0300"}), 0, true},
        {"list without terminators", REG_MULTI_SZ, L"PCI\\VEN_1&CC_0300", 0, true},
        {"single string", REG_SZ, std::wstring(L"PCI\\CC_0300") + L'\0', 0, true},
        {"500 bytes", REG_MULTI_SZ, full, 0, true},
        {"498 bytes without terminators", REG_MULTI_SZ, bare, 0, true},
        {"more than 500 bytes", REG_MULTI_SZ, tooLong, 0, false},
        {"odd number of bytes", REG_MULTI_SZ, odd + L'X', DWORD(odd.size() * 2 + 1), true},
        {"marker split across entries", REG_MULTI_SZ, MultiSz({L"PCI\\CC_0", L"300"}), 0, false},
        {"marker in lower case", REG_MULTI_SZ, MultiSz({L"PCI\\cc_0300"}), 0, false},
        {"binary", REG_BINARY, MultiSz({L"PCI\\CC_0300"}), 0, false},
        {"empty", REG_MULTI_SZ, L"", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring id = devices_.Id(L"SHAPE");
        devices_.SetHardwareIdBytes(id, c.type, c.data.data(),
                                    c.bytes ? c.bytes : DWORD(c.data.size() * sizeof(wchar_t)));
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        wmi.AddQueryRow(kErrorDeviceQuery, {{L"DeviceID", Bstr(id.c_str())}});
        Recorder recorder;
        std::wstring found;
        EXPECT_EQ(Find(kDisplayDevice, found), c.found);
        EXPECT_EQ(found, id);
        EXPECT_FALSE(recorder.Traced(L"Ret Error"));
    }
}

// A device WMI lists without a DeviceID gives nothing to look up and does not count as read.
TEST_F(ErrorDevices, ADeviceWithoutDeviceIdIsSkipped)
{
    Report(display_);
    wmi_.AddQueryRow(kErrorDeviceQuery, {{L"ConfigManagerErrorCode", I4(28)}});
    wmi_.AddQueryRow(kErrorDeviceQuery, {{L"DeviceID", Null()}});
    std::wstring id;
    EXPECT_FALSE(Find(kNetworkDevice, id));
    EXPECT_EQ(id, display_);
}

} // namespace
