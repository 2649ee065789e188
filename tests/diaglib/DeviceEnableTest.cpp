// The device-enable routine on the fake setup API: which classes each kind looks in, how the
// class list grows, which devices are left alone, the two enable requests and their outcome,
// and the restart request. Then the real setup port, read only: under Wine changing a
// device's state ends the calling process.

#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeSetup.h"

#include "diaglib/devices/DeviceEnable.h"
#include "diaglib/devices/Wmi.h"
#include "diaglib/ports/RealPorts.h"

#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using diagtest::Recorder;
using Calls = std::vector<std::wstring>;

const wchar_t kDisplayId[] = L"PCI\\VEN_8086&DEV_2A42&SUBSYS_02121028&REV_07\\3&21436425&0&10";
const wchar_t kSoundId[] = L"HDAUDIO\\FUNC_01&VEN_10EC&DEV_0269&SUBSYS_10250347\\4&2F1AA0&0&0001";
const wchar_t kLegacySoundId[] = L"ROOT\\LEGACY_AUDIO\\0000";
const wchar_t kWiredId[] = L"PCI\\VEN_10EC&DEV_8168&SUBSYS_03471025&REV_03\\4&3A2B1C&0&00E4";
const wchar_t kSdioId[] = L"SD\\VID_02D0&PID_4329\\5&1D0C&0&0";
const wchar_t kUsbId[] = L"USB\\VID_0BDA&PID_8176\\00E04C000001";
const wchar_t kMiniportId[] = L"ROOT\\MS_PPPOEMINIPORT\\0000";
// The setup class of display adapters.
const GUID kDisplayClass = {
    0x4d36e968, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

FakeDevice Device(const wchar_t* instanceId)
{
    FakeDevice device;
    device.instanceId = instanceId;
    return device;
}

// What the routine asks of the setup API for one device it switches on.
Calls EnableCalls(const std::wstring& id)
{
    return {L"Description " + id, L"CallEnable " + id + L" global 0", L"ApplyState " + id,
            L"CallEnable " + id + L" config 0"};
}

class DeviceEnable : public testing::Test {
  protected:
    DeviceEnable() : scoped_(setup_) {}
    ~DeviceEnable() override { EXPECT_EQ(setup_.liveLists, 0) << "a device list was not freed"; }

    // Runs the routine; `restart` is set to a value it must overwrite.
    bool Enable(int kind)
    {
        restart_ = -1;
        return EnableDeviceClass(kind, &restart_);
    }

    // The calls made for the devices, without the class look-ups.
    Calls DeviceCalls() const
    {
        Calls calls;
        for (const std::wstring& call : setup_.calls) {
            if (call.rfind(L"ClassGuidsFromName", 0) != 0 &&
                call.rfind(L"PresentDevices", 0) != 0 && call.rfind(L"InstallFlags", 0) != 0)
                calls.push_back(call);
        }
        return calls;
    }

    FakeSetup setup_;
    ScopedSetupPort scoped_;
    Recorder recorder_;
    int restart_ = -1;
};

struct KindCase {
    int kind;
    Calls lookups;
};

TEST_F(DeviceEnable, EachKindLooksInItsOwnClassesAndNoOtherKindInAny)
{
    const KindCase cases[] = {
        {kDisplayDevice, {L"ClassGuidsFromName DISPLAY 16"}},
        {kSoundDevice, {L"ClassGuidsFromName HDAUDIO 16", L"ClassGuidsFromName MEDIA 16"}},
        {kNetworkDevice, {L"ClassGuidsFromName NET 16"}},
        {2, {}},
        {7, {}},
        {-1, {}},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.kind);
        setup_.calls.clear();
        recorder_.Clear();
        // No class resolves: every name is tried and reported, and nothing succeeds.
        EXPECT_FALSE(Enable(c.kind));
        EXPECT_EQ(setup_.calls, c.lookups);
        EXPECT_EQ(recorder_.Traces(), Calls(c.lookups.size(), L"numGuids == 0"));
    }
}

TEST_F(DeviceEnable, AClassListLongerThanSixteenIsAskedForAgainAtItsSize)
{
    setup_.AddClass(L"DISPLAY", 20);
    // The device is in the class's last identifier, so only the whole list finds it.
    setup_.AddDevice(setup_.Guids(L"DISPLAY").back(), Device(kDisplayId));

    EXPECT_TRUE(Enable(kDisplayDevice));
    EXPECT_EQ(setup_.calls[0], L"ClassGuidsFromName DISPLAY 16");
    EXPECT_EQ(setup_.calls[1], L"ClassGuidsFromName DISPLAY 20");
    EXPECT_EQ(setup_.calls[2], L"PresentDevices 20");
    EXPECT_EQ(setup_.Touched(), Calls{kDisplayId});
}

TEST_F(DeviceEnable, SwitchesADeviceOnGloballyThenForTheCurrentProfile)
{
    setup_.AddDevice(setup_.AddClass(L"DISPLAY"), Device(kDisplayId));

    EXPECT_TRUE(Enable(kDisplayDevice));
    EXPECT_EQ(restart_, 0);
    EXPECT_EQ(DeviceCalls(), EnableCalls(kDisplayId));
    EXPECT_EQ(recorder_.Traces(),
              (Calls{L"DumpDeviceClassEnable", kDisplayId, L"SetupDiChange Success:"}));
}

struct GlobalCase {
    const char* label;
    bool installerAccepts;
    bool stateApplies;
    const wchar_t* trace;
};

TEST_F(DeviceEnable, AFailedGlobalChangeIsTracedAndTheCurrentProfileDecides)
{
    const GlobalCase cases[] = {
        // The state is applied only after the class installer accepted the change.
        {"installer refuses", false, true, L"SetupDiChagse Fail"},
        {"state not applied", true, false, L"SetupDiChagse Fail"},
        {"both work", true, true, L"SetupDiChange Success:"},
    };
    for (const GlobalCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSetup setup;
        ScopedSetupPort scoped(setup);
        FakeDevice device = Device(kDisplayId);
        device.globalEnableWorks = c.installerAccepts;
        device.applyStateWorks = c.stateApplies;
        setup.AddDevice(setup.AddClass(L"DISPLAY"), device);
        recorder_.Clear();

        EXPECT_TRUE(Enable(kDisplayDevice));
        EXPECT_TRUE(recorder_.Traced(c.trace));
        EXPECT_EQ(setup.Touched(), Calls{kDisplayId});
        const bool applied =
            std::find(setup.calls.begin(), setup.calls.end(),
                      std::wstring(L"ApplyState ") + kDisplayId) != setup.calls.end();
        EXPECT_EQ(applied, c.installerAccepts);
        EXPECT_EQ(setup.liveLists, 0);
    }
}

struct RestartCase {
    DWORD flags;
    int restart;
};

TEST_F(DeviceEnable, AskingForARestartOrRebootGivesSix)
{
    const RestartCase cases[] = {
        {0, 0},
        {DI_NEEDRESTART, 6},
        {DI_NEEDREBOOT, 6},
        {DI_NEEDRESTART | DI_NEEDREBOOT, 6},
        {DI_PROPERTIES_CHANGE, 0},
    };
    for (const RestartCase& c : cases) {
        SCOPED_TRACE(c.flags);
        FakeSetup setup;
        ScopedSetupPort scoped(setup);
        FakeDevice device = Device(kDisplayId);
        device.installFlags = c.flags;
        setup.AddDevice(setup.AddClass(L"DISPLAY"), device);

        EXPECT_TRUE(Enable(kDisplayDevice));
        EXPECT_EQ(restart_, c.restart);
        EXPECT_EQ(setup.liveLists, 0);
    }
}

TEST_F(DeviceEnable, UnreadableInstallFlagsAskForNoRestart)
{
    FakeDevice device = Device(kDisplayId);
    device.installFlagsReadable = false;
    setup_.AddDevice(setup_.AddClass(L"DISPLAY"), device);

    EXPECT_TRUE(Enable(kDisplayDevice));
    EXPECT_EQ(restart_, 0);
}

TEST_F(DeviceEnable, ARestartAskedForByOneDeviceIsNotDroppedByTheNext)
{
    const GUID display = setup_.AddClass(L"DISPLAY");
    FakeDevice first = Device(kDisplayId);
    first.installFlags = DI_NEEDREBOOT;
    setup_.AddDevice(display, first);
    setup_.AddDevice(display, Device(L"PCI\\VEN_10DE&DEV_0A74\\4&1F2B&0&0008"));

    EXPECT_TRUE(Enable(kDisplayDevice));
    EXPECT_EQ(restart_, 6);
}

TEST_F(DeviceEnable, AFailedChangeForTheCurrentProfileGivesOneAndFails)
{
    FakeDevice device = Device(kDisplayId);
    device.configEnableWorks = false;
    device.installFlags = DI_NEEDREBOOT;
    setup_.AddDevice(setup_.AddClass(L"DISPLAY"), device);

    EXPECT_FALSE(Enable(kDisplayDevice));
    EXPECT_EQ(restart_, 1);
    EXPECT_EQ(recorder_.Traces(),
              (Calls{L"DumpDeviceClassEnable", kDisplayId, L"SetupDiChange Success:",
                     L"Fail to change driver to Enable status"}));
}

struct LastDeviceCase {
    const char* label;
    bool firstWorks;
    bool lastWorks;
    bool succeeds;
    int restart;
};

TEST_F(DeviceEnable, TheLastDeviceHandledDecidesTheClass)
{
    const LastDeviceCase cases[] = {
        {"first fails", false, true, true, 0},
        {"last fails", true, false, false, 1},
    };
    for (const LastDeviceCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSetup setup;
        ScopedSetupPort scoped(setup);
        const GUID display = setup.AddClass(L"DISPLAY");
        FakeDevice first = Device(kDisplayId);
        first.configEnableWorks = c.firstWorks;
        FakeDevice last = Device(L"PCI\\VEN_10DE&DEV_0A74\\4&1F2B&0&0008");
        last.configEnableWorks = c.lastWorks;
        setup.AddDevice(display, first);
        setup.AddDevice(display, last);

        EXPECT_EQ(Enable(kDisplayDevice), c.succeeds);
        EXPECT_EQ(restart_, c.restart);
        EXPECT_EQ(setup.Touched().size(), 2u);
        EXPECT_EQ(setup.liveLists, 0);
    }
}

struct DescriptionCase {
    const char* label;
    bool readable;
    DWORD reportedSize;
    std::wstring description;
    Calls traces;
    bool touched;
};

TEST_F(DeviceEnable, ADeviceWithoutADescriptionIsLeftAloneAndCountsAsNotEnabled)
{
    const DescriptionCase cases[] = {
        {"no description and no size",
         false,
         0,
         L"",
         {L"DumpDeviceClassEnable", L"DumpDeviceClassEnable -> SetupDiDeviceRegistryPro retVal=0",
          L"DumpDeviceClassEnable -> SetupDiDeviceRegistryPro reqSize=0"},
         false},
        // A description that does not fit the 1000-byte buffer still shows the device answers.
        {"description longer than the buffer",
         true,
         0,
         std::wstring(600, L'd'),
         {L"DumpDeviceClassEnable", L"DumpDeviceClassEnable -> SetupDiDeviceRegistryPro retVal=0",
          kDisplayId, L"SetupDiChange Success:"},
         true},
        {"unreadable but a size reported",
         false,
         64,
         L"",
         {L"DumpDeviceClassEnable", L"DumpDeviceClassEnable -> SetupDiDeviceRegistryPro retVal=0",
          kDisplayId, L"SetupDiChange Success:"},
         true},
    };
    for (const DescriptionCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSetup setup;
        ScopedSetupPort scoped(setup);
        FakeDevice device = Device(kDisplayId);
        device.descriptionReadable = c.readable;
        device.descriptionSize = c.reportedSize;
        device.description = c.description;
        setup.AddDevice(setup.AddClass(L"DISPLAY"), device);
        recorder_.Clear();

        EXPECT_EQ(Enable(kDisplayDevice), c.touched);
        EXPECT_EQ(recorder_.Traces(), c.traces);
        EXPECT_EQ(!setup.Touched().empty(), c.touched);
        EXPECT_EQ(setup.liveLists, 0);
    }
}

TEST_F(DeviceEnable, ADeviceWithoutADescriptionAfterAnEnabledOneFailsTheClass)
{
    const GUID display = setup_.AddClass(L"DISPLAY");
    setup_.AddDevice(display, Device(kDisplayId));
    FakeDevice silent = Device(L"PCI\\VEN_10DE&DEV_0A74\\4&1F2B&0&0008");
    silent.descriptionReadable = false;
    setup_.AddDevice(display, silent);

    EXPECT_FALSE(Enable(kDisplayDevice));
    EXPECT_EQ(setup_.Touched(), Calls{kDisplayId});
}

TEST_F(DeviceEnable, OnlyNetworkAdaptersOnPciOrSdAreSwitchedOn)
{
    const GUID net = setup_.AddClass(L"NET");
    FakeDevice wired = Device(kWiredId);
    wired.configEnableWorks = false;
    setup_.AddDevice(net, wired);
    setup_.AddDevice(net, Device(kSdioId));
    setup_.AddDevice(net, Device(kMiniportId));
    setup_.AddDevice(net, Device(kUsbId));

    // The last device is a USB adapter: left alone, it counts as enabled, and so the class
    // succeeds although the wired adapter could not be switched on.
    EXPECT_TRUE(Enable(kNetworkDevice));
    EXPECT_EQ(setup_.Touched(), (Calls{kWiredId, kSdioId}));
    EXPECT_EQ(restart_, 0);
}

TEST_F(DeviceEnable, ANetworkAdapterWithoutAnIdentifierIsLeftAlone)
{
    FakeDevice unknown = Device(kWiredId);
    unknown.instanceIdReadable = false;
    setup_.AddDevice(setup_.AddClass(L"NET"), unknown);

    EXPECT_TRUE(Enable(kNetworkDevice));
    EXPECT_TRUE(setup_.Touched().empty());
}

TEST_F(DeviceEnable, TheXpBuildLeavesSoftwareSoundDevicesAlone)
{
    const GUID media = setup_.AddClass(L"MEDIA");
    setup_.AddDevice(media, Device(kSoundId));
    setup_.AddDevice(media, Device(kLegacySoundId));

    EXPECT_TRUE(Enable(kSoundDevice));
    const Calls expected = diagtest::kXp ? Calls{kSoundId} : Calls{kSoundId, kLegacySoundId};
    EXPECT_EQ(setup_.Touched(), expected);
}

TEST_F(DeviceEnable, RootDevicesOfOtherKindsAreSwitchedOnInEveryBuild)
{
    const GUID display = setup_.AddClass(L"DISPLAY");
    setup_.AddDevice(display, Device(L"ROOT\\BASICDISPLAY\\0000"));

    EXPECT_TRUE(Enable(kDisplayDevice));
    EXPECT_EQ(setup_.Touched(), Calls{L"ROOT\\BASICDISPLAY\\0000"});
}

TEST_F(DeviceEnable, SoundStopsAtTheFirstClassThatSucceeds)
{
    setup_.AddDevice(setup_.AddClass(L"HDAUDIO"), Device(kSoundId));
    setup_.AddDevice(setup_.AddClass(L"MEDIA"), Device(L"PCI\\VEN_1102&DEV_0007\\4&1&0&00E0"));

    EXPECT_TRUE(Enable(kSoundDevice));
    EXPECT_EQ(setup_.Touched(), Calls{kSoundId});
    for (const std::wstring& call : setup_.calls)
        EXPECT_NE(call, L"ClassGuidsFromName MEDIA 16");
}

struct SecondClassCase {
    const char* label;
    bool firstClassHasDevice;
    bool firstDeviceWorks;
};

TEST_F(DeviceEnable, SoundTriesTheSecondClassWhenTheFirstSwitchedNothingOn)
{
    const SecondClassCase cases[] = {
        {"first class empty", false, true},
        {"first class device fails", true, false},
    };
    for (const SecondClassCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeSetup setup;
        ScopedSetupPort scoped(setup);
        const GUID hdaudio = setup.AddClass(L"HDAUDIO");
        if (c.firstClassHasDevice) {
            FakeDevice device = Device(kSoundId);
            device.configEnableWorks = c.firstDeviceWorks;
            setup.AddDevice(hdaudio, device);
        }
        const wchar_t* other = L"PCI\\VEN_1102&DEV_0007\\4&1&0&00E0";
        setup.AddDevice(setup.AddClass(L"MEDIA"), Device(other));

        EXPECT_TRUE(Enable(kSoundDevice));
        EXPECT_EQ(restart_, 0);
        const Calls touched = setup.Touched();
        ASSERT_FALSE(touched.empty());
        EXPECT_EQ(touched.back(), other);
        EXPECT_EQ(setup.liveLists, 0);
    }
}

TEST_F(DeviceEnable, AClassWithoutDevicesOrWithoutAListDoesNotSucceed)
{
    setup_.AddClass(L"DISPLAY");
    EXPECT_FALSE(Enable(kDisplayDevice));
    EXPECT_EQ(restart_, 0);

    setup_.AddDevice(setup_.AddClass(L"NET"), Device(kWiredId));
    setup_.listFails = true;
    EXPECT_FALSE(Enable(kNetworkDevice));
    EXPECT_TRUE(setup_.Touched().empty());
}

TEST_F(DeviceEnable, TakesNoRestartRequestWhenGivenNoPlaceForIt)
{
    setup_.AddDevice(setup_.AddClass(L"DISPLAY"), Device(kDisplayId));
    EXPECT_TRUE(EnableDeviceClass(kDisplayDevice, nullptr));
}

// ---- The real setup API, read only ------------------------------------------------------

TEST(RealSetupPort, ResolvesTheDisplayClassAfterSayingHowMuchRoomItNeeds)
{
    diag::RealSetupPort setup;
    GUID none[1] = {};
    DWORD required = 0;
    SetLastError(ERROR_SUCCESS);
    ASSERT_FALSE(setup.ClassGuidsFromName(L"DISPLAY", none, 0, &required));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GE(required, 1u);

    std::vector<GUID> guids(required);
    DWORD count = 0;
    ASSERT_TRUE(setup.ClassGuidsFromName(L"DISPLAY", guids.data(), required, &count));
    EXPECT_EQ(count, required);
    EXPECT_TRUE(IsEqualGUID(guids[0], kDisplayClass));
}

TEST(RealSetupPort, AnUnknownClassNameResolvesToNoClass)
{
    diag::RealSetupPort setup;
    GUID guids[16] = {};
    DWORD required = 99;
    EXPECT_TRUE(setup.ClassGuidsFromName(L"HLMNOSUCHCLASS", guids, 16, &required));
    EXPECT_EQ(required, 0u);
}

TEST(RealSetupPort, ListsTheDisplayDevicesWithTheirIdentifiers)
{
    diag::RealSetupPort setup;
    const std::unique_ptr<diag::IDeviceList> devices(setup.PresentDevices(&kDisplayClass, 1));
    ASSERT_TRUE(devices);
    // Wine has one display adapter, whatever the display.
    ASSERT_GE(devices->Count(), 1u);
    for (DWORD i = 0; i < devices->Count(); ++i) {
        SCOPED_TRACE(i);
        wchar_t id[256] = {};
        EXPECT_TRUE(devices->InstanceId(i, id, 256));
        EXPECT_NE(id[0], L'\0');
        BYTE description[1000];
        DWORD required = 0;
        devices->Description(i, description, sizeof(description), &required);
        DWORD flags = 0;
        EXPECT_TRUE(devices->InstallFlags(i, &flags));
    }
    // Past the end nothing is read, and nothing is changed.
    wchar_t id[256] = {};
    EXPECT_FALSE(devices->InstanceId(devices->Count(), id, 256));
    DWORD flags = 0;
    EXPECT_FALSE(devices->InstallFlags(devices->Count(), &flags));
}

TEST(RealSetupPort, AnEmptyClassListGivesAnEmptyDeviceList)
{
    diag::RealSetupPort setup;
    const std::unique_ptr<diag::IDeviceList> devices(setup.PresentDevices(nullptr, 0));
    ASSERT_TRUE(devices);
    EXPECT_EQ(devices->Count(), 0u);
}

} // namespace
