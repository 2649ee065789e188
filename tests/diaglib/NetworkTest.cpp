// The network tests of one build: the adapters on the fake WMI, their connections' MediaSubType
// and the faulty devices' Enum keys in the real registry, the wireless switch through the BIOS
// stand-in and its firmware state, and the wireless services as real services. The last test
// runs the exports against Wine's own WMI, services and the stand-in, and times them.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeWmi.h"
#include "tests/diaglib/TestService.h"

#include "diaglib/exports/Engine.h"
#include "diaglib/exports/ProblemCodes.h"
#include "standins/pavi/FirmwareState.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using diagtest::Recorder;

const wchar_t kAdapterQuery[] =
    L"SELECT * FROM win32_NetworkAdapter WHERE (PNPDeviceID >= \"PCI\" AND PNPDeviceID < "
    L"\"PCJ\") OR (PNPDeviceID >= \"SD\" AND PNPDeviceID < \"SE\")";
const wchar_t kErrorDeviceQuery[] =
    L"SELECT * FROM win32_pnpentity where ConfigManagerErrorCode <>0 ";
const wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";
const wchar_t kNetworkClassKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

constexpr int32_t kWireless = 2;

std::wstring Text(const fw::CSharedString& text)
{
    return std::wstring(text.c_str());
}

std::wstring Pid()
{
    return std::to_wstring(GetCurrentProcessId());
}

std::wstring Engine(const std::wstring& rest)
{
    return std::wstring(diag::kEngineName) + rest;
}

bool TracedPrefix(const Recorder& recorder, const std::wstring& prefix)
{
    for (const std::wstring& trace : recorder.Traces()) {
        if (trace.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

bool HasHangul(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](wchar_t c) { return c >= 0xAC00 && c <= 0xD7A3; });
}

// The adapters of the tables: identifiers of this test program's own, so the registry keys
// staged for them meet no other program's.
enum Nic { kWiredIntel, kWiredRealtek, kWifiIntel, kWifiAtheros, kNicCount };

const wchar_t* const kVendorDevice[kNicCount] = {L"VEN_8086&DEV_10D3", L"VEN_10EC&DEV_8136",
                                                 L"VEN_8086&DEV_4232", L"VEN_168C&DEV_002B"};

std::wstring PciId(Nic nic)
{
    return std::wstring(L"PCI\\") + kVendorDevice[nic] + L"&SUBSYS_HLM" + Pid() +
           L"&REV_01\\4&1A2B3C&0&00E1";
}

struct Adapter {
    Nic nic;
    int32_t errorCode;
    int32_t mediaSubType; // written to the adapter's connection key when not 0
    int32_t status;       // NetConnectionStatus: 2 connected, 7 media disconnected
};

// The adapters on the fake WMI, their connection keys and the faulty devices' Enum keys, all
// removed again when the test goes. The class key goes with them when the test made it; it is
// deleted only when empty, so another program's keys keep it alive.
class NetworkMachine : public testing::Test {
  protected:
    NetworkMachine()
        : scoped_(wmi_), classKeyExisted_(hlmtest::RegKeyExists(HKEY_LOCAL_MACHINE,
                                                                 kNetworkClassKey))
    {
    }
    ~NetworkMachine() override
    {
        for (const std::wstring& key : keys_)
            hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, key.c_str());
        if (!classKeyExisted_)
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kNetworkClassKey);
    }

    void Stage(FakeWmi& wmi, const std::vector<Adapter>& adapters)
    {
        for (const Adapter& a : adapters) {
            const std::wstring id = PciId(a.nic);
            wmi.AddQueryRow(kAdapterQuery, {{L"Description", Bstr(L"Network adapter")},
                                            {L"ConfigManagerErrorCode", I4(a.errorCode)},
                                            {L"PNPDeviceID", Bstr(id.c_str())},
                                            {L"NetConnectionStatus", I4(a.status)}});
            if (a.mediaSubType != 0)
                AddConnection(id, a.mediaSubType);
        }
    }

    void AddConnection(const std::wstring& pnpId, int32_t mediaSubType)
    {
        const std::wstring key = std::wstring(kNetworkClassKey) + L"\\{HLMNET-" + Pid() + L"-" +
                                 std::to_wstring(keys_.size()) + L"}";
        keys_.push_back(key);
        const std::wstring connection = key + L"\\Connection";
        ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, connection.c_str(),
                                            L"PnpInstanceID", pnpId.c_str()));
        ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, connection.c_str(),
                                           L"MediaSubType", DWORD(mediaSubType)));
    }

    // A device WMI reports with an error code, its hardware identifiers in its Enum key.
    void AddFaultyDevice(FakeWmi& wmi, const std::wstring& deviceId, const wchar_t* hardwareId)
    {
        wmi.AddQueryRow(kErrorDeviceQuery, {{L"DeviceID", Bstr(deviceId.c_str())}});
        // The key below the enumerator ("PCI\VEN_...&SUBSYS_HLM<pid>...") is this program's
        // own; the enumerator's key is shared.
        const std::wstring path = std::wstring(kEnumKey) + deviceId;
        const size_t enumerator = path.find(L'\\', std::wcslen(kEnumKey));
        keys_.push_back(path.substr(0, path.find(L'\\', enumerator + 1)));
        std::wstring ids = std::wstring(hardwareId) + L'\0' + L"PCI\\OTHER" + L'\0' + L'\0';
        ASSERT_TRUE(hlmtest::WriteRegRaw(HKEY_LOCAL_MACHINE, path.c_str(), L"HardwareID",
                                         REG_MULTI_SZ, ids.data(),
                                         DWORD(ids.size() * sizeof(wchar_t))));
    }

    // No test may leave a message box waiting for a click.
    Recorder boxes_;
    FakeWmi wmi_;
    ScopedWmi scoped_;

  private:
    bool classKeyExisted_;
    std::vector<std::wstring> keys_;
};

// ---- driver -----------------------------------------------------------------------------

TEST_F(NetworkMachine, WithoutAnAdapterTheFaultyNetworkDeviceIsLookedUp)
{
    const std::wstring wifi = PciId(kWifiIntel);
    const std::wstring sound = L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269&SUBSYS_HLM" + Pid() + L"\\4&1";
    const struct {
        const char* label;
        bool adapterPresent;
        bool soundFaulty, networkFaulty, lookupFails;
        const wchar_t* detail;
    } cases[] = {
        {"an adapter on PCI", true, true, true, false, L""},
        {"a faulty network device after a faulty sound device", false, true, true, false,
         L"VEN_8086&DEV_4232"},
        // The sound device's identifier would have the driver repair install a sound driver.
        {"only a faulty sound device", false, true, false, false, L""},
        {"nothing faulty", false, false, false, false, L""},
        {"the lookup cannot be run", false, false, false, true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        if (c.adapterPresent)
            Stage(wmi, {{kWiredIntel, 0, 0, 2}});
        if (c.soundFaulty)
            AddFaultyDevice(wmi, sound, L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269&CC_0401");
        if (c.networkFaulty)
            AddFaultyDevice(wmi, wifi, L"PCI\\VEN_8086&DEV_4232&CC_0280");
        if (c.lookupFails)
            wmi.FailQuery(kErrorDeviceQuery);

        Recorder recorder;
        TestResult record;
        record.detailValid = 0;
        EXPECT_EQ(DllTestNetworkDrv(&record), c.adapterPresent);
        EXPECT_EQ(record.categoryTag, 8);
        EXPECT_EQ(record.problemCode, c.adapterPresent ? 0 : ERROR_NET_DRV_NOTFOUND);
        EXPECT_EQ(record.problemFound, c.adapterPresent ? 0 : 1);
        EXPECT_EQ(Text(record.detail), c.detail);
        EXPECT_EQ(record.detailValid, *c.detail ? 1 : 0);
        if (c.adapterPresent) {
            EXPECT_TRUE(recorder.Traced(diagtest::kXp ? L"TestNetworkDrv NO ERROR"
                                                      : Engine(L"::TestNetworkDrv - No Error")));
            EXPECT_TRUE(wmi.Queries() == std::vector<std::wstring>{kAdapterQuery});
        } else {
            EXPECT_TRUE(recorder.Traced(diagtest::kXp
                                            ? L"TestNetworkDrv Error Detected"
                                            : Engine(L"::TestNetworkDrv - ERROR_NET_DRV_NOTFOUND")));
            if (*c.detail) {
                EXPECT_TRUE(recorder.Traced(c.detail));
            }
        }
        EXPECT_EQ(recorder.Messages().size(), c.lookupFails ? 1u : 0u);
        EXPECT_EQ(wmi.OpenConnections(), 0);
    }
}

// ---- device state -----------------------------------------------------------------------

TEST_F(NetworkMachine, WiredAdaptersAreExaminedBeforeWirelessOnes)
{
    const struct {
        const char* label;
        std::vector<Adapter> adapters;
        int32_t code;
        const wchar_t* detail;
    } cases[] = {
        {"wired disabled, wireless error 10: the wireless one is not examined",
         {{kWiredIntel, 22, 0, 2}, {kWifiIntel, 10, kWireless, 2}},
         ERROR_NET_DEVICE_NOTUSE,
         L""},
        {"the same with the wireless adapter listed first",
         {{kWifiIntel, 10, kWireless, 2}, {kWiredIntel, 22, 0, 2}},
         ERROR_NET_DEVICE_NOTUSE,
         L""},
        {"wireless only, one with error 28",
         {{kWifiIntel, 0, kWireless, 2}, {kWifiAtheros, 28, kWireless, 2}},
         ERROR_NET_DEVICE_ABNORMAL,
         L"VEN_168C&DEV_002B"},
        {"wired in order, wireless error 28",
         {{kWiredIntel, 0, 0, 2}, {kWifiAtheros, 28, kWireless, 2}},
         ERROR_NET_DEVICE_ABNORMAL,
         L"VEN_168C&DEV_002B"},
        // MediaSubType 1 is no wireless connection.
        {"a later disabled adapter takes the code, the faulty one's identifier stays",
         {{kWiredIntel, 10, 0, 2}, {kWiredRealtek, 22, 1, 2}},
         ERROR_NET_DEVICE_NOTUSE,
         L"VEN_8086&DEV_10D3"},
        {"the last faulty adapter's identifier is kept",
         {{kWiredIntel, 31, 0, 2}, {kWiredRealtek, 43, 0, 2}},
         ERROR_NET_DEVICE_ABNORMAL,
         L"VEN_10EC&DEV_8136"},
        {"all in order", {{kWiredIntel, 0, 0, 7}, {kWifiIntel, 0, kWireless, 2}}, 0, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        Stage(wmi, c.adapters);
        Recorder recorder;
        TestResult record;
        record.detailValid = 0;
        EXPECT_EQ(DllTestNetworkDeviceStatus(&record), c.code == 0);
        EXPECT_EQ(record.problemCode, c.code);
        EXPECT_EQ(record.problemFound, c.code ? 1 : 0);
        EXPECT_EQ(Text(record.detail), c.detail);
        EXPECT_EQ(record.detailValid, *c.detail ? 1 : 0);
        if (*c.detail) {
            EXPECT_TRUE(recorder.Traced(c.detail));
        }

        std::wstring outcome = c.code == ERROR_NET_DEVICE_NOTUSE     ? L"ERROR_NET_DEVICE_NOTUSE"
                               : c.code == ERROR_NET_DEVICE_ABNORMAL ? L"ERROR_NET_DEVICE_ABNORMAL"
                                                                     : L"";
        if (diagtest::kXp)
            outcome = c.code ? L"TestNetworkDeviceStatus - " + outcome : L"NO ERROR";
        else
            outcome = Engine(L"::TestNetworkDeviceStatus - ") + (c.code ? outcome : L"No Error");
        EXPECT_TRUE(recorder.Traced(outcome));
    }
}

TEST_F(NetworkMachine, WmiThatCannotBeAskedReportsNothing)
{
    const struct {
        const char* label;
        bool failConnect, failQuery;
    } cases[] = {{"no connection", true, false},
                 {"the adapter query fails", false, true},
                 {"no adapter at all", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        wmi.FailConnect(c.failConnect);
        if (c.failQuery)
            wmi.FailQuery(kAdapterQuery);
        Recorder recorder;
        TestResult status, connection;
        EXPECT_TRUE(DllTestNetworkDeviceStatus(&status));
        EXPECT_TRUE(DllTestNetworkPhysicalConnection(&connection));
        EXPECT_EQ(status.problemFound + connection.problemFound, 0);
        EXPECT_TRUE(recorder.Traces().empty());

        if (c.failConnect || c.failQuery) {
            TestResult driver;
            EXPECT_TRUE(DllTestNetworkDrv(&driver));
            EXPECT_EQ(driver.problemFound, 0);
            EXPECT_TRUE(recorder.Traced(Engine(L"::TestNetworkDrv - WMI not available")));
            EXPECT_TRUE(recorder.Messages().empty());
        }
    }
}

// ---- physical connection ----------------------------------------------------------------

TEST_F(NetworkMachine, OneConnectedAdapterIsEnough)
{
    const struct {
        const char* label;
        std::vector<Adapter> adapters;
        bool passes;
    } cases[] = {
        {"wired unplugged, wireless connected",
         {{kWiredIntel, 0, 0, 7}, {kWifiIntel, 0, kWireless, 2}},
         true},
        {"wired connected, wireless out of reach",
         {{kWiredIntel, 0, 0, 2}, {kWifiIntel, 0, kWireless, 7}},
         true},
        {"both disconnected", {{kWiredIntel, 0, 0, 7}, {kWifiIntel, 0, kWireless, 7}}, false},
        {"a lone wireless adapter out of reach", {{kWifiIntel, 0, kWireless, 7}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        ScopedWmi scoped(wmi);
        Stage(wmi, c.adapters);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestNetworkPhysicalConnection(&record), c.passes);
        EXPECT_EQ(record.problemCode, c.passes ? 0 : ERROR_NET_CABLE_DISCONNECT);
        EXPECT_EQ(record.problemFound, c.passes ? 0 : 1);
        if (diagtest::kXp) {
            EXPECT_EQ(recorder.Traced(L"TestNetworkPhysicalConnection NO ERROR"), c.passes);
            EXPECT_EQ(TracedPrefix(recorder, L"TestNetworkPhysicalConnection ERROR : "), !c.passes);
        } else {
            EXPECT_EQ(recorder.Traced(Engine(L"::TestNetworkPhysicalConnection - No Error")),
                      c.passes);
            EXPECT_EQ(recorder.Traced(
                          Engine(L"::TestNetworkPhysicalConnection - ERROR_NET_CABLE_DISCONNECT")),
                      !c.passes);
        }
    }
}

// ---- wireless switch --------------------------------------------------------------------

class WirelessSwitch : public testing::Test {
  protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, fw::RegView::Force64);
    }
    static void Set(const wchar_t* name, DWORD value)
    {
        ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, name, value,
                                           fw::RegView::Force64));
    }
};

TEST_F(WirelessSwitch, OnlyASwitchReadAsOffIsAProblem)
{
    const std::wstring kFail = L"DetectWLANButton : CallBIOSInterfase fail";
    const std::wstring kOn = L"DetectWLANButton : Error Not Detected";
    const std::wstring kPassed = L"TestNetworkConfig No Error";
    const struct {
        const char* label;
        DWORD radio, callResult, answerFF, initResult;
        bool passes;
        std::vector<std::wstring> traces; // the Windows 7 and Vista builds'
    } cases[] = {
        {"off", 0, 0, 0, 0, false, {L"DetectWLANButton : OFF!!"}},
        {"on", 1, 0, 0, 0, true, {kOn, kPassed}},
        {"on, second variant", 2, 0, 0, 0, true, {kOn, kPassed}},
        {"an unknown answer", 5, 0, 0, 0, true, {L"DetectWLANButton : Undefined Value", kPassed}},
        {"an answer of 0xFF", 0xFF, 0, 0, 0, true, {kFail, kPassed}},
        // The buffer keeps its zero when the firmware fails: not to be read as "off".
        {"off, but the call fails", 0, 1, 0, 0, true, {kFail, kPassed}},
        {"off, but the firmware answers 0xFF", 0, 0, 1, 0, true, {kFail, kPassed}},
        {"off, the interface not ready", 0, 0, 0, 1, false,
         {L"PAVI Init failed !", L"DetectWLANButton : OFF!!"}},
        {"on, the interface not ready", 1, 0, 0, 1, true, {L"PAVI Init failed !", kOn, kPassed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Clear();
        Set(pavi_state::kRadioSwitch, c.radio);
        Set(pavi_state::kCallResult, c.callResult);
        Set(pavi_state::kAnswerFF, c.answerFF);
        Set(pavi_state::kInitResult, c.initResult);
        Recorder recorder;
        TestResult record;
        record.detailValid = 0;
        EXPECT_EQ(DllTestNetworkConfig(&record), c.passes);
        EXPECT_EQ(record.categoryTag, 8);
        EXPECT_EQ(record.problemCode, c.passes ? 0 : ERROR_NET_WLAN_OFF);
        EXPECT_EQ(record.problemFound, c.passes ? 0 : 1);
        EXPECT_TRUE(record.detail.IsEmpty());
        EXPECT_EQ(record.detailValid, 0);

        // XP says the same and one Korean line more.
        std::vector<std::wstring> english;
        int korean = 0;
        for (const std::wstring& trace : recorder.Traces()) {
            if (HasHangul(trace))
                ++korean;
            else
                english.push_back(trace);
        }
        EXPECT_EQ(english, c.traces);
        EXPECT_EQ(korean, diagtest::kXp ? 1 : 0);
    }
}

// ---- wireless service -------------------------------------------------------------------

// The build's wireless service made on the stand-in service program under the name Windows
// gives it: "Wlansvc" (WLAN AutoConfig), on XP "WZCSVC" (Wireless Zero Configuration).
TEST(WirelessService, MustStartWithWindowsAndRun)
{
    const wchar_t* name = diagtest::kXp ? L"WZCSVC" : L"Wlansvc";
    const std::wstring stopped = diagtest::kXp ? L"TestNetworkService ERROR : Wireless Zero Configuration"
                                               : L"TestNetworkService ERROR : WLAN AutoConfig";
    for (const auto& c : diagtest::kServiceStates) {
        SCOPED_TRACE(c.label);
        diagtest::TestService service(c.startType, std::wstring(), name);
        ASSERT_TRUE(service.Created()) << "the service exists already";
        if (c.running) {
            ASSERT_TRUE(service.Start());
        }
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestNetworkService(&record), c.inOrder);
        EXPECT_EQ(record.categoryTag, 8);
        EXPECT_EQ(record.problemCode, c.inOrder ? 0 : ERROR_NET_WLANSVC_STOPPED);
        EXPECT_EQ(record.problemFound, c.inOrder ? 0 : 1);
        EXPECT_EQ(recorder.Traced(L"TestNetworkService NO ERROR"), c.inOrder);
        EXPECT_EQ(TracedPrefix(recorder, stopped), !c.inOrder);
    }
}

// Where the service does not exist (Wine, a notebook without wireless LAN) nothing can be
// checked, which is no problem; the other generation's service is not looked at.
TEST(WirelessService, AMissingServiceIsInOrder)
{
    const wchar_t* other = diagtest::kXp ? L"Wlansvc" : L"WZCSVC";
    diagtest::TestService stoppedOther(SERVICE_AUTO_START, std::wstring(), other);
    ASSERT_TRUE(stoppedOther.Created());

    Recorder recorder;
    TestResult record;
    EXPECT_TRUE(DllTestNetworkService(&record));
    EXPECT_EQ(record.problemFound, 0);
    EXPECT_TRUE(recorder.Traced(L"TestNetworkService NO ERROR"));
    EXPECT_TRUE(recorder.Traced(diagtest::kXp ? L"DiagnosticsXP::TestNetworkService - schService NUL"
                                              : Engine(L"::DetectServiceStatus -  schService NUL")));
}

// ---- on Wine's own machine --------------------------------------------------------------

double MedianMilliseconds(bool (*test)(TestResult*), bool* passedEveryTime)
{
    constexpr int kRuns = 5;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    *passedEveryTime = true;
    for (int run = 0; run < kRuns; ++run) {
        TestResult record;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const bool passed = test(&record);
        QueryPerformanceCounter(&end);
        *passedEveryTime = *passedEveryTime && passed && record.problemFound == 0;
        times.push_back(1000.0 * double(end.QuadPart - start.QuadPart) /
                        double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

// The real WMI, the real service control manager and the BIOS stand-in in its ordinary state
// (no firmware values: radio on). Wine has no wireless service and lists every network
// interface as a working adapter on PCI, none of them "media disconnected".
TEST(RealMachine, NothingIsReportedAndNothingHangs)
{
    hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, fw::RegView::Force64);
    const struct {
        const char* name;
        bool (*test)(TestResult*);
    } exports[] = {
        {"DllTestNetworkDrv", DllTestNetworkDrv},
        {"DllTestNetworkDeviceStatus", DllTestNetworkDeviceStatus},
        {"DllTestNetworkConfig", DllTestNetworkConfig},
        {"DllTestNetworkService", DllTestNetworkService},
        {"DllTestNetworkPhysicalConnection", DllTestNetworkPhysicalConnection},
    };
    Recorder recorder;
    for (const auto& e : exports) {
        bool passed = false;
        const double median = MedianMilliseconds(e.test, &passed);
        EXPECT_TRUE(passed) << e.name;
        std::printf("[timing] %s: median %.1f ms of 5 calls\n", e.name, median);
        std::fflush(stdout);
    }
    EXPECT_TRUE(recorder.Messages().empty());
}

} // namespace
