// The sound tests of one build on the fake WMI, fake Core Audio and fake mixer, with the real
// registry (the default endpoint's properties, a faulty device's Enum key) and real services.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeAudio.h"
#include "tests/diaglib/FakeWmi.h"
#include "tests/diaglib/TestService.h"

#include "diaglib/exports/Engine.h"
#include "diaglib/exports/ProblemCodes.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using diagtest::Recorder;

const wchar_t kErrorDevices[] = L"SELECT * FROM win32_pnpentity where ConfigManagerErrorCode <>0 ";

// A Realtek codec, the HDMI function of an Intel graphics chip, an HD-audio controller seen
// only on PCI (its bus driver missing), a Bluetooth headset and a USB headset.
const wchar_t kCodec[] = L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269&SUBSYS_17AA2155&REV_1002\\4&2DB8E9D0&0&0001";
const wchar_t kCodecShort[] = L"VEN_10EC&DEV_0269";
const wchar_t kHdmi[] = L"HDAUDIO\\FUNC_01&VEN_8086&DEV_2805&SUBSYS_80860101&REV_1000\\4&2DB8E9D0&0&0301";
const wchar_t kHdmiShort[] = L"VEN_8086&DEV_2805";
const wchar_t kNvidiaHdmi[] = L"HDAUDIO\\FUNC_01&VEN_10DE&DEV_0015&SUBSYS_10DE0101&REV_1001\\5&1&0&0001";
const wchar_t kPciController[] = L"PCI\\VEN_8086&DEV_293E&SUBSYS_20F217AA&REV_03\\3&21436425&0&D8";
const wchar_t kBluetooth[] = L"BTHENUM\\{0000110B-0000-1000-8000-00805F9B34FB}_BTAUDIO\\7&1&0";
const wchar_t kUsbHeadset[] = L"USB\\VID_046D&PID_0A44&MI_00\\6&1&0&0000";

// What Core Audio answers when there is no such endpoint.
const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

const wchar_t kMicrosoft[] = L"Microsoft";
const wchar_t kRealtek[] = L"Realtek";

std::wstring Engine(const wchar_t* rest)
{
    return std::wstring(diag::kEngineName) + rest;
}

std::wstring Text(const fw::CSharedString& text)
{
    return std::wstring(text.c_str());
}

struct Device {
    const wchar_t* pnpId;
    const wchar_t* manufacturer;
    int32_t errorCode; // ConfigManagerErrorCode: 0 working, 22 disabled, others faulty
};

void StageDevices(FakeWmi& wmi, const std::vector<Device>& devices)
{
    for (const Device& device : devices) {
        wmi.AddInstance(L"Win32_SoundDevice", {{L"Description", Bstr(L"High Definition Audio Device")},
                                               {L"ConfigManagerErrorCode", I4(device.errorCode)},
                                               {L"PNPDeviceID", Bstr(device.pnpId)},
                                               {L"Manufacturer", Bstr(device.manufacturer)}});
    }
}

// Which device the default endpoint's registered properties name: an index into the case's
// devices, or none of them.
constexpr int kNoEndpoint = -1;   // no endpoint at all
constexpr int kNamesNothing = -2; // an endpoint whose properties name no device

class SoundFixture : public testing::Test {
  protected:
    SoundFixture() : scoped_(Ports()) {}
    ~SoundFixture() override { RemoveEndpointKey(); }

    diag::Ports Ports()
    {
        diag::Ports ports;
        ports.wmi = &wmi_;
        ports.audio = &audio_;
        ports.mixer = &mixer_;
        return ports;
    }

    void Stage(const std::vector<Device>& devices) { StageDevices(wmi_, devices); }

    // The endpoint's Properties key as Windows registers it: the device's identifier in the
    // value that names the device, beside values that name nothing.
    void RegisterEndpointFor(const wchar_t* pnpId)
    {
        audio_.endpointId = L"{0.0.0.00000000}." + keyName_;
        fw::RegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, PropertiesPath().c_str(), KEY_READ | KEY_WRITE,
                             fw::RegView::Force64),
                  fw::RegResult::Ok);
        ASSERT_EQ(key.WriteString(L"{a45c254e-df1c-4efd-8020-67d146a850e0},2", L"Speakers"),
                  fw::RegResult::Ok);
        ASSERT_EQ(key.WriteString(L"{b3f8fa53-0004-438e-9003-51a46e139bfc},2",
                                  (std::wstring(L"{1}.") + pnpId).c_str()),
                  fw::RegResult::Ok);
        ASSERT_EQ(key.WriteDword(L"{b3f8fa53-0004-438e-9003-51a46e139bfc},6", 1),
                  fw::RegResult::Ok);
    }

    void StageEndpoint(int endpoint, const std::vector<Device>& devices)
    {
        if (endpoint == kNoEndpoint)
            audio_.endpointStatus = kNotFound;
        else if (endpoint == kNamesNothing)
            RegisterEndpointFor(L"SWD\\MMDEVAPI\\NOTHING");
        else
            RegisterEndpointFor(devices[endpoint].pnpId);
    }

    std::wstring PropertiesPath() const
    {
        return L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\MMDevices\\Audio\\Render\\" +
               keyName_ + L"\\Properties";
    }

    void RemoveEndpointKey()
    {
        fw::DeleteKeyTree(HKEY_LOCAL_MACHINE,
                          (L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\MMDevices\\Audio\\"
                           L"Render\\" +
                           keyName_)
                              .c_str(),
                          fw::RegView::Force64);
    }

    FakeWmi wmi_;
    FakeAudio audio_;
    FakeMixer mixer_;
    diagtest::ScopedPorts scoped_;
    // An endpoint of this test program's own, so the three builds' runs do not meet.
    const std::wstring keyName_ =
        L"{6a2f1c7e-0000-4000-8000-" + std::to_wstring(100000000000 + GetCurrentProcessId()) + L"}";
};

// ---- Driver and device state (Windows 7 and Vista) ------------------------------------

class SoundDevices : public SoundFixture {
  protected:
    void SetUp() override
    {
        if (diagtest::kXp)
            GTEST_SKIP() << "the XP build has rules of its own (XpSoundDevices)";
    }
};

struct DeviceCase {
    const char* label;
    std::vector<Device> devices;
    int endpoint; // index, kNoEndpoint or kNamesNothing
    ProblemCode code;
    const wchar_t* detail;
};

void ExpectOutcome(const DeviceCase& c, bool returned, const TestResult& record)
{
    EXPECT_EQ(record.problemCode, c.code);
    EXPECT_EQ(record.problemFound, c.code ? 1 : 0);
    EXPECT_EQ(returned, c.code == NO_PROBLEM);
    EXPECT_EQ(Text(record.detail), c.detail);
    EXPECT_EQ(record.detailValid, *c.detail ? 1 : 0);
    EXPECT_EQ(record.categoryTag, kTagSound);
}

TEST_F(SoundDevices, TheDriverTestLooksForWindowsOwnDriverOnTheDeviceInUse)
{
    const DeviceCase cases[] = {
        {"one codec on the generic driver", {{kCodec, kMicrosoft, 0}}, kNoEndpoint,
         ERROR_SND_DEVICE_ABNORMAL, kCodecShort},
        {"one codec on the maker's driver", {{kCodec, kRealtek, 0}}, kNoEndpoint, NO_PROBLEM, L""},
        {"a disabled codec on the maker's driver", {{kCodec, kRealtek, 22}, {kUsbHeadset, kMicrosoft, 0}},
         kNoEndpoint, NO_PROBLEM, L""},
        {"a generic USB headset is no candidate", {{kUsbHeadset, kMicrosoft, 0}, {kCodec, kRealtek, 0}},
         kNoEndpoint, NO_PROBLEM, L""},
        // Every candidate generic: the graphics chip's function is never the one remembered,
        // wherever it stands.
        {"codec and HDMI both generic", {{kCodec, kMicrosoft, 0}, {kHdmi, kMicrosoft, 0}},
         kNoEndpoint, ERROR_SND_DEVICE_ABNORMAL, kCodecShort},
        {"HDMI and codec both generic", {{kHdmi, kMicrosoft, 0}, {kCodec, kMicrosoft, 0}},
         kNoEndpoint, ERROR_SND_DEVICE_ABNORMAL, kCodecShort},
        {"two graphics functions, both generic", {{kHdmi, kMicrosoft, 0}, {kNvidiaHdmi, kMicrosoft, 0}},
         kNoEndpoint, ERROR_SND_DEVICE_ABNORMAL, L""},
        // Several candidates, not all generic: the device behind the default output decides.
        {"default output on the codec", {{kHdmi, kMicrosoft, 0}, {kCodec, kRealtek, 0}}, 1,
         NO_PROBLEM, L""},
        {"default output on the generic HDMI", {{kCodec, kRealtek, 0}, {kHdmi, kMicrosoft, 0}}, 1,
         ERROR_SND_DEVICE_ABNORMAL, kHdmiShort},
        {"default output on a generic PCI function", {{kPciController, kMicrosoft, 0}, {kCodec, kRealtek, 0}},
         0, NO_PROBLEM, L""},
        // Without a default-endpoint device: the first generic candidate, unless a faulty one
        // comes first.
        {"no endpoint, generic HDMI first", {{kHdmi, kMicrosoft, 0}, {kCodec, kRealtek, 0}},
         kNoEndpoint, ERROR_SND_DEVICE_ABNORMAL, kHdmiShort},
        {"no endpoint, faulty codec first", {{kCodec, kRealtek, 10}, {kHdmi, kMicrosoft, 0}},
         kNoEndpoint, NO_PROBLEM, L""},
        {"endpoint naming no device", {{kHdmi, kMicrosoft, 0}, {kCodec, kRealtek, 0}},
         kNamesNothing, ERROR_SND_DEVICE_ABNORMAL, kHdmiShort},
        // The HD-audio controller without its bus driver: the codec does not show at all.
        {"only the controller on PCI", {{kPciController, kRealtek, 0}}, kNoEndpoint,
         ERROR_SND_DRV_NOTFOUND, L""},
        {"only a USB headset", {{kUsbHeadset, kRealtek, 0}}, kNoEndpoint, ERROR_SND_DRV_NOTFOUND,
         L""},
    };
    for (const DeviceCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        diag::Ports ports;
        ports.wmi = &wmi;
        diagtest::ScopedPorts scoped(ports);
        // A fresh WMI per case; the endpoint is staged on the fixture's fakes.
        audio_.endpointStatus = S_OK;
        RemoveEndpointKey();
        StageDevices(wmi, c.devices);
        StageEndpoint(c.endpoint, c.devices);
        Recorder recorder;
        TestResult record;
        const bool returned = DllTestSoundDrv(&record);
        ExpectOutcome(c, returned, record);
        EXPECT_EQ(recorder.Traced(Engine(L"::TestSoundDrv - Error Detected")) ||
                      recorder.Traced(Engine(L"::TestSoundDrv - ERROR_SND_DEVICE_ABNORMAL")) ||
                      recorder.Traced(Engine(L"::TestSoundDrv - ERROR_SND_DRV_NOTFOUND")),
                  c.code != NO_PROBLEM);
        EXPECT_EQ(recorder.Traced(Engine(L"::TestSoundDrv - No Error")), c.code == NO_PROBLEM);
        EXPECT_EQ(audio_.Alive(), 0);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST_F(SoundDevices, AllCandidatesGenericIsReportedWithoutAskingForTheEndpoint)
{
    Stage({{kCodec, kMicrosoft, 0}, {kHdmi, kMicrosoft, 0}});
    Recorder recorder;
    TestResult record;
    EXPECT_FALSE(DllTestSoundDrv(&record));
    EXPECT_EQ(audio_.enumeratorsMade, 0);
    EXPECT_TRUE(recorder.Traced(L"HDAUDIO multi"));
    EXPECT_TRUE(recorder.Traced(Engine(L"::TestSoundDrv - ERROR_SND_DEVICE_ABNORMAL")));
    EXPECT_TRUE(recorder.Traced(Engine(L"::TestSoundDrv - Device Info OK")));
}

// The endpoint's properties are read in the 64-bit view; the last value naming a device wins.
TEST_F(SoundDevices, TheLastPropertyNamingADeviceDecides)
{
    Stage({{kCodec, kRealtek, 0}, {kHdmi, kMicrosoft, 0}});
    RegisterEndpointFor(kCodec);
    fw::RegKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, PropertiesPath().c_str(), KEY_READ | KEY_WRITE,
                       fw::RegView::Force64),
              fw::RegResult::Ok);
    // Value names sort after the codec's, so the registry lists this one later.
    ASSERT_EQ(key.WriteString(L"{ffffffff-0000-0000-0000-000000000000},1", kHdmi),
              fw::RegResult::Ok);
    Recorder recorder;
    TestResult record;
    EXPECT_FALSE(DllTestSoundDrv(&record));
    EXPECT_EQ(Text(record.detail), kHdmiShort);
    EXPECT_TRUE(recorder.Traced(audio_.endpointId));
}

TEST_F(SoundDevices, AnEndpointIdentifierWithoutItsKeyPartNamesNoDevice)
{
    Stage({{kHdmi, kMicrosoft, 0}, {kCodec, kRealtek, 0}});
    RegisterEndpointFor(kCodec);
    const struct {
        const char* label;
        std::wstring id;
        HRESULT idStatus;
    } cases[] = {
        {"no separator", keyName_, S_OK},
        {"separator at the end", L"{0.0.0.00000000}.", S_OK},
        {"identifier unreadable", audio_.endpointId, E_OUTOFMEMORY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        audio_.endpointId = c.id;
        audio_.idStatus = c.idStatus;
        TestResult record;
        // No default-endpoint device: the walk finds the generic HDMI function first.
        EXPECT_FALSE(DllTestSoundDrv(&record));
        EXPECT_EQ(Text(record.detail), kHdmiShort);
    }
}

TEST_F(SoundDevices, NoSoundDeviceLooksUpTheFaultyOne)
{
    // A device Windows reports with an error, its Enum key carrying the audio class code.
    const std::wstring id = L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0662&SUBSYS_HLM" +
                            std::to_wstring(GetCurrentProcessId()) + L"\\4&1&0&0001";
    const std::wstring enumKey = L"SYSTEM\\CurrentControlSet\\Enum\\" + id;
    {
        fw::RegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, enumKey.c_str()), fw::RegResult::Ok);
        fw::CArray<fw::CSharedString> ids;
        ids.Add(fw::CSharedString(L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0662"));
        ids.Add(fw::CSharedString(L"HDAUDIO\\FUNC_01&VEN_10EC&CC_0401"));
        ASSERT_EQ(key.WriteMultiString(L"HardwareID", ids), fw::RegResult::Ok);
    }
    wmi_.AddQueryRow(kErrorDevices, {{L"DeviceID", Bstr(id.c_str())}});
    Recorder recorder;
    TestResult record;
    EXPECT_FALSE(DllTestSoundDrv(&record));
    fw::DeleteKeyTree(HKEY_LOCAL_MACHINE, enumKey.c_str());
    EXPECT_EQ(record.problemCode, ERROR_SND_DRV_NOTFOUND);
    EXPECT_EQ(Text(record.detail), L"VEN_10EC&DEV_0662");
    EXPECT_EQ(record.detailValid, 1);
    EXPECT_TRUE(recorder.Traced(Engine(L"::TestSoundDrv - ERROR_SND_DRV_NOTFOUND")));
}

TEST_F(SoundDevices, WmiThatCannotBeAskedIsNoProblem)
{
    for (const bool failConnect : {true, false}) {
        FakeWmi wmi;
        if (failConnect)
            wmi.FailConnect();
        else
            wmi.FailEnumeration(L"Win32_SoundDevice");
        diag::Ports ports;
        ports.wmi = &wmi;
        diagtest::ScopedPorts scoped(ports);
        Recorder recorder;
        TestResult driver;
        TestResult state;
        EXPECT_TRUE(DllTestSoundDrv(&driver));
        EXPECT_TRUE(DllTestSoundDeviceStatus(&state));
        EXPECT_EQ(driver.problemFound + state.problemFound, 0);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

TEST_F(SoundDevices, TheStateTestReportsTheDisabledOrFaultyDevice)
{
    const DeviceCase cases[] = {
        {"nothing at all", {}, kNoEndpoint, NO_PROBLEM, L""},
        {"one working codec", {{kCodec, kRealtek, 0}}, kNoEndpoint, NO_PROBLEM, L""},
        {"one disabled codec", {{kCodec, kRealtek, 22}}, kNoEndpoint, ERROR_SND_DEVICE_NOTUSE, L""},
        {"one faulty codec", {{kCodec, kRealtek, 10}}, kNoEndpoint, ERROR_SND_DEVICE_ABNORMAL,
         kCodecShort},
        // The generic driver is the driver test's business.
        {"one faulty generic codec", {{kCodec, kMicrosoft, 10}}, kNoEndpoint, NO_PROBLEM, L""},
        {"a faulty controller on PCI only", {{kPciController, kRealtek, 10}}, kNoEndpoint,
         NO_PROBLEM, L""},
        // Several candidates.
        {"disabled HDMI beside the codec", {{kCodec, kRealtek, 0}, {kHdmi, kRealtek, 22}}, 0,
         ERROR_SND_DEVICE_NOTUSE, L""},
        {"default output on the faulty codec", {{kHdmi, kRealtek, 0}, {kCodec, kRealtek, 28}}, 1,
         ERROR_SND_DEVICE_ABNORMAL, kCodecShort},
        {"default output on the working HDMI", {{kHdmi, kRealtek, 0}, {kCodec, kRealtek, 28}}, 0,
         NO_PROBLEM, L""},
        {"no endpoint: first faulty non-generic", {{kHdmi, kMicrosoft, 10}, {kCodec, kRealtek, 28}},
         kNoEndpoint, ERROR_SND_DEVICE_ABNORMAL, kCodecShort},
        {"endpoint naming no device", {{kHdmi, kRealtek, 0}, {kCodec, kRealtek, 28}},
         kNamesNothing, ERROR_SND_DEVICE_ABNORMAL, kCodecShort},
    };
    for (const DeviceCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        diag::Ports ports;
        ports.wmi = &wmi;
        diagtest::ScopedPorts scoped(ports);
        audio_.endpointStatus = S_OK;
        RemoveEndpointKey();
        StageDevices(wmi, c.devices);
        StageEndpoint(c.endpoint, c.devices);
        Recorder recorder;
        TestResult record;
        const bool returned = DllTestSoundDeviceStatus(&record);
        ExpectOutcome(c, returned, record);
        EXPECT_EQ(recorder.Traced(L"TestSoundDeviceStatus FAIL"), c.code != NO_PROBLEM);
        EXPECT_EQ(recorder.Traced(L"TestSoundDeviceStatus - PASS"), c.code == NO_PROBLEM);
        EXPECT_EQ(recorder.Traced(Engine(L"::TestSoundDeviceStatus - Disabled")),
                  c.code == ERROR_SND_DEVICE_NOTUSE);
        EXPECT_EQ(audio_.Alive(), 0);
    }
}

TEST_F(SoundDevices, ADisabledCandidateIsReportedBeforeTheEndpointIsConsulted)
{
    Stage({{kCodec, kRealtek, 22}, {kHdmi, kRealtek, 0}});
    Recorder recorder;
    TestResult record;
    EXPECT_FALSE(DllTestSoundDeviceStatus(&record));
    EXPECT_EQ(record.problemCode, ERROR_SND_DEVICE_NOTUSE);
    EXPECT_EQ(audio_.enumeratorsMade, 0);
    EXPECT_TRUE(recorder.Traced(L"HDAUDIO multi"));
    EXPECT_TRUE(recorder.Traced(L"HDAUDIO Disabled"));
}

// ---- Driver and device state (XP) ------------------------------------------------------

class XpSoundDevices : public SoundFixture {
  protected:
    void SetUp() override
    {
        if (!diagtest::kXp)
            GTEST_SKIP() << "XP build only";
    }
};

TEST_F(XpSoundDevices, TheDriverIsMissingWhenOnlyBluetoothOrGraphicsAudioRemains)
{
    const struct {
        const char* label;
        std::vector<Device> devices;
        bool passes;
    } cases[] = {
        {"no device", {}, false},
        {"Bluetooth only", {{kBluetooth, kMicrosoft, 0}}, false},
        {"graphics function only", {{kHdmi, kRealtek, 0}}, false},
        {"Bluetooth and graphics", {{kBluetooth, kMicrosoft, 0}, {kNvidiaHdmi, kRealtek, 0}}, false},
        {"codec and Bluetooth", {{kBluetooth, kMicrosoft, 0}, {kCodec, kRealtek, 0}}, true},
        // XP knows no generic-driver rule.
        {"codec on Microsoft's driver", {{kCodec, kMicrosoft, 0}}, true},
        {"a USB headset", {{kUsbHeadset, kMicrosoft, 0}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        diag::Ports ports;
        ports.wmi = &wmi;
        diagtest::ScopedPorts scoped(ports);
        StageDevices(wmi, c.devices);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSoundDrv(&record), c.passes);
        EXPECT_EQ(record.problemCode, c.passes ? NO_PROBLEM : ERROR_SND_DRV_NOTFOUND);
        EXPECT_EQ(recorder.Traced(L"TestSoundDrv Error Detected"), !c.passes);
        EXPECT_EQ(recorder.Traced(L"TestSoundDrv No Error"), c.passes);
        EXPECT_EQ(audio_.enumeratorsMade, 0);
    }
}

TEST_F(XpSoundDevices, TheStateTestReportsTheFirstDeviceInError)
{
    const struct {
        const char* label;
        std::vector<Device> devices;
        ProblemCode code;
        const wchar_t* detail;
        const wchar_t* lastCodeTraced;
    } cases[] = {
        {"working", {{kCodec, kRealtek, 0}}, NO_PROBLEM, L"", L"Debug : Device Error Code 0"},
        {"disabled", {{kCodec, kRealtek, 22}}, ERROR_SND_DEVICE_NOTUSE, L"",
         L"Debug : Device Error Code 16"},
        {"faulty", {{kCodec, kRealtek, 28}}, ERROR_SND_DEVICE_ABNORMAL, kCodecShort,
         L"Debug : Device Error Code 1c"},
        {"faulty after working", {{kHdmi, kRealtek, 0}, {kCodec, kMicrosoft, 10}},
         ERROR_SND_DEVICE_ABNORMAL, kCodecShort, L"Debug : Device Error Code a"},
        {"disabled before faulty", {{kHdmi, kRealtek, 22}, {kCodec, kRealtek, 10}},
         ERROR_SND_DEVICE_NOTUSE, L"", L"Debug : Device Error Code 16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        diag::Ports ports;
        ports.wmi = &wmi;
        diagtest::ScopedPorts scoped(ports);
        StageDevices(wmi, c.devices);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSoundDeviceStatus(&record), c.code == NO_PROBLEM);
        EXPECT_EQ(record.problemCode, c.code);
        EXPECT_EQ(Text(record.detail), c.detail);
        EXPECT_EQ(recorder.Traced(L"Debug : Sound Device 2 more"), c.devices.size() > 1);
        EXPECT_TRUE(recorder.Traced(c.lastCodeTraced));
        EXPECT_EQ(recorder.Traced(L"TestSoundDeviceStatus Error Detected"), c.code != NO_PROBLEM);
        EXPECT_EQ(recorder.Traced(L"TestSoundDeviceStatus No Error"), c.code == NO_PROBLEM);
    }
}

// ---- Volume ------------------------------------------------------------------------------

class SoundVolume : public SoundFixture {};

TEST_F(SoundVolume, MuteComesBeforeTheLevelAndATenthIsEnough)
{
    if (diagtest::kXp)
        GTEST_SKIP() << "XP reads the mixer (XpVolume)";
    const struct {
        bool muted;
        float level;
        ProblemCode code;
        const wchar_t* trace;
    } cases[] = {
        {true, 1.0f, ERROR_SND_MUTE, L"::TestSoundVolumelevel - MUTE"},
        {true, 0.0f, ERROR_SND_MUTE, L"::TestSoundVolumelevel - MUTE"},
        {false, 0.09f, ERROR_SND_LEVEL, L"::TestSoundVolumelevel - LEVEL ERROR"},
        {false, 0.0f, ERROR_SND_LEVEL, L"::TestSoundVolumelevel - LEVEL ERROR"},
        {false, 0.1f, NO_PROBLEM, L"::TestSoundVolumelevel - No error"},
        {false, 1.0f, NO_PROBLEM, L"::TestSoundVolumelevel - No error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "muted " << c.muted << ", level " << c.level);
        audio_.muted = c.muted;
        audio_.level = c.level;
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSoundVolumelevel(&record), c.code == NO_PROBLEM);
        EXPECT_EQ(record.problemCode, c.code);
        EXPECT_EQ(record.problemFound, c.code ? 1 : 0);
        EXPECT_EQ(recorder.Traces(), std::vector<std::wstring>{Engine(c.trace)});
        EXPECT_EQ(audio_.captureStateMask, 13u);
        EXPECT_EQ(audio_.Alive(), 0);
    }
}

TEST_F(SoundVolume, CoreAudioThatCannotBeAskedReportsNothing)
{
    if (diagtest::kXp)
        GTEST_SKIP() << "XP reads the mixer (XpVolume)";
    // Each case also mutes the output, which must then go unnoticed.
    const struct {
        const char* label;
        HRESULT FakeAudio::*status;
        bool traced;
    } cases[] = {
        {"no enumerator", &FakeAudio::createStatus, false},
        {"no default endpoint", &FakeAudio::endpointStatus, false},
        {"capture endpoints not listed", &FakeAudio::captureStatus, false},
        {"volume not activated", &FakeAudio::activateStatus, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeAudio audio;
        audio.muted = true;
        audio.*c.status = E_NOTIMPL;
        diag::Ports ports;
        ports.audio = &audio;
        diagtest::ScopedPorts scoped(ports);
        Recorder recorder;
        TestResult record;
        EXPECT_TRUE(DllTestSoundVolumelevel(&record));
        EXPECT_EQ(record.problemFound, 0);
        EXPECT_TRUE(recorder.Traces().empty());
        EXPECT_EQ(audio.Alive(), 0);
    }
    // Values that cannot be read count as unmuted at full volume.
    audio_.muteStatus = E_FAIL;
    audio_.muted = true;
    audio_.levelStatus = E_FAIL;
    audio_.level = 0.0f;
    TestResult record;
    EXPECT_TRUE(DllTestSoundVolumelevel(&record));
}

class XpVolume : public SoundFixture {
  protected:
    void SetUp() override
    {
        if (!diagtest::kXp)
            GTEST_SKIP() << "XP build only";
    }
};

TEST_F(XpVolume, TheMixersSpeakerLineIsMutedOrTooQuiet)
{
    const struct {
        bool muted;
        DWORD volume;
        ProblemCode code;
        const wchar_t* trace;
    } cases[] = {
        {true, 0xFFFF, ERROR_SND_MUTE, L"DiagnosticXP::TestSoundVolumeMUTE ERROR"},
        {true, 0, ERROR_SND_MUTE, L"DiagnosticXP::TestSoundVolumeMUTE ERROR"},
        {false, 6552, ERROR_SND_LEVEL, L"DiagnosticXP::TestSoundVolumelevel ERROR"},
        {false, 0, ERROR_SND_LEVEL, L"DiagnosticXP::TestSoundVolumelevel ERROR"},
        {false, 6553, NO_PROBLEM, L"DiagnosticXP::TestSoundVolumelevel NO ERROR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "muted " << c.muted << ", volume " << c.volume);
        mixer_.muted = c.muted;
        mixer_.volume = c.volume;
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSoundVolumelevel(&record), c.code == NO_PROBLEM);
        EXPECT_EQ(record.problemCode, c.code);
        EXPECT_EQ(recorder.Traces(), std::vector<std::wstring>{c.trace});
        EXPECT_EQ(audio_.enumeratorsMade, 0);
    }
}

TEST_F(XpVolume, AMixerThatCannotBeReadCountsAsFullVolume)
{
    const struct {
        diag::MixerStep step;
        const wchar_t* trace;
    } cases[] = {
        {diag::MixerStep::Open, L"mixerOpen() failed "},
        {diag::MixerStep::LineInfo, L"mixerGetLineInfo() failed 1"},
        {diag::MixerStep::LineControls, L"mixerGetLineControls() failed 2"},
        {diag::MixerStep::ControlDetails, L"mixerGetControlDetails() failed 3"},
    };
    mixer_.muteReadable = false;
    mixer_.volumeReadable = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.step));
        mixer_.failingStep = c.step;
        Recorder recorder;
        TestResult record;
        EXPECT_TRUE(DllTestSoundVolumelevel(&record));
        EXPECT_EQ(record.problemFound, 0);
        EXPECT_EQ(recorder.Traces(),
                  (std::vector<std::wstring>{c.trace, L"DiagnosticXP::TestSoundVolumelevel NO ERROR"}));
    }
}

// ---- Output device and services (Windows 7 and Vista; placeholders in XP) ----------------

#if HLM_DIAG_GENERATION != 5

TEST_F(SoundVolume, TheOutputDeviceIsMissingWhenCoreAudioHasNone)
{
    const struct {
        const char* label;
        HRESULT FakeAudio::*status;
        const wchar_t* trace;
    } cases[] = {
        {"no enumerator", &FakeAudio::createStatus,
         L"::TestSoundOutputDevice - GetDefauiltAudioEndPoint Error"},
        {"no default endpoint", &FakeAudio::endpointStatus,
         L"::TestSoundOutputDevice - GetDefauiltAudioEndPoint Error"},
        {"capture endpoints not listed", &FakeAudio::captureStatus,
         L"::TestSoundOutputDevice - EnumAudioEndpoints Error"},
        {"all there", nullptr, L"::TestSoundOutputDevice - No error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeAudio audio;
        if (c.status)
            audio.*c.status = kNotFound;
        diag::Ports ports;
        ports.audio = &audio;
        diagtest::ScopedPorts scoped(ports);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSoundOutputDevice(&record), c.status == nullptr);
        EXPECT_EQ(record.problemCode, c.status ? ERROR_SND_NO_OUTPUT : NO_PROBLEM);
        EXPECT_EQ(record.problemFound, c.status ? 1 : 0);
        EXPECT_EQ(recorder.Traces(), std::vector<std::wstring>{Engine(c.trace)});
        EXPECT_EQ(audio.Alive(), 0);
    }
}

// The audio services, made for the test on the stand-in service program under their Windows
// names (Wine has neither).
TEST(SoundServices, TheEndpointBuilderIsExaminedFirst)
{
    const struct {
        const char* label;
        bool builderRuns, audioRuns;
        ProblemCode code;
    } cases[] = {
        {"both stopped", false, false, ERROR_SND_ENDPOINT_STOPPED},
        {"endpoint builder stopped", false, true, ERROR_SND_ENDPOINT_STOPPED},
        {"audio service stopped", true, false, ERROR_SND_AUDIOSRV_STOPPED},
        {"both running", true, true, NO_PROBLEM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        diagtest::TestService builder(SERVICE_AUTO_START, std::wstring(), L"AudioEndpointBuilder");
        diagtest::TestService audio(SERVICE_AUTO_START, std::wstring(), L"Audiosrv");
        ASSERT_TRUE(builder.Created()) << "a service AudioEndpointBuilder exists already";
        ASSERT_TRUE(audio.Created()) << "a service Audiosrv exists already";
        if (c.builderRuns) {
            ASSERT_TRUE(builder.Start());
        }
        if (c.audioRuns) {
            ASSERT_TRUE(audio.Start());
        }
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSoundService(&record), c.code == NO_PROBLEM);
        EXPECT_EQ(record.problemCode, c.code);
        EXPECT_EQ(record.problemFound, c.code ? 1 : 0);
        EXPECT_EQ(recorder.Traced(L"오디오 엔드포인트 작성기 서비스가 중지되었습니다"),
                  c.code == ERROR_SND_ENDPOINT_STOPPED);
        EXPECT_EQ(recorder.Traced(L"오디오 서비스가 중지되었습니다"),
                  c.code == ERROR_SND_AUDIOSRV_STOPPED);
        EXPECT_EQ(recorder.Traced(L"TestSoundService NO ERROR"), c.code == NO_PROBLEM);
    }
    // Without the services the check cannot be made, which is no problem.
    TestResult record;
    EXPECT_TRUE(DllTestSoundService(&record));
}

#endif

// ---- The sample sound and the real machine ------------------------------------------------

TEST(SampleSound, TheToneBesideTheLibraryIsAPcmWave)
{
    const std::wstring path = hlmtest::BinDir() + L"\\Test.Wav";
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_TRUE(file) << "Test.Wav is not in the bin folder";
    char header[36] = {};
    const size_t read = fread(header, 1, sizeof(header), file);
    fclose(file);
    ASSERT_EQ(read, sizeof(header));
    EXPECT_EQ(std::string(header, 4), "RIFF");
    EXPECT_EQ(std::string(header + 8, 8), "WAVEfmt ");
    EXPECT_EQ(header[20], 1); // PCM
}

// The same code in every build: one build's run is enough for a test that waits 5.3 s. The
// sample plays through the real multimedia system, which under Wine may have no device.
TEST(SampleSound, PlaysForFiveSecondsAndWritesNothing)
{
    if (!diagtest::kWin7)
        GTEST_SKIP() << "run by the Windows 7 build's tests";
    TestResult record;
    const DWORD start = GetTickCount();
    EXPECT_TRUE(DllTestSoundSamplePlay(&record));
    const DWORD took = GetTickCount() - start;
    // The tick count moves in steps of up to 16 ms, so a 5300 ms wait may read a little less.
    EXPECT_GE(took, 5250u);
    EXPECT_LT(took, 8000u);
    EXPECT_EQ(record.problemFound, 0);
    EXPECT_EQ(record.problemCode, 0);
    EXPECT_EQ(record.categoryTag, kTagSound);
    std::printf("DllTestSoundSamplePlay: %lu ms\n", static_cast<unsigned long>(took));
}

// Wine's own WMI, Core Audio, mixer and service manager: nothing may hang, and nothing that
// cannot be examined may be reported. Wine has no audio services and no endpoint unless ALSA
// offers a device.
TEST(RealSoundMachine, EveryTestAnswersQuicklyWithoutAFalseProblem)
{
    struct Export {
        const char* name;
        bool (*call)(TestResult*);
        bool mustPass;
    };
    const Export exports[] = {
        {"DllTestSoundDrv", DllTestSoundDrv, false},
        {"DllTestSoundDeviceStatus", DllTestSoundDeviceStatus, true},
#if HLM_DIAG_GENERATION != 5
        {"DllTestSoundService", DllTestSoundService, true},
        // A machine without an endpoint has no output device: that one is a true finding.
        {"DllTestSoundOutputDevice", DllTestSoundOutputDevice, false},
#endif
        {"DllTestSoundVolumelevel", DllTestSoundVolumelevel, true},
    };
    for (const Export& e : exports) {
        SCOPED_TRACE(e.name);
        Recorder recorder;
        TestResult record;
        const DWORD start = GetTickCount();
        const bool passed = e.call(&record);
        const DWORD took = GetTickCount() - start;
        EXPECT_LT(took, 5000u);
        EXPECT_EQ(passed, record.problemFound == 0);
        if (e.mustPass) {
            EXPECT_TRUE(passed) << "problem " << record.problemCode;
        }
        std::printf("%s: %lu ms, problem %d\n", e.name, static_cast<unsigned long>(took),
                    record.problemCode);
    }
}

} // namespace
