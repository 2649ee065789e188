// The network tests: driver present, device state, the wireless LAN switch, the wireless LAN
// service and the physical connection. They set problem codes 17 to 22 and leave in `detail`
// the device identifier the network repairs work on.

#include <windows.h>

#include "diaglib/devices/Bios.h"
#include "diaglib/devices/Services.h"
#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Engine.h"
#include "diaglib/exports/HelperScope.h"
#include "diaglib/exports/ProblemCodes.h"
#include "diaglib/exports/Trace.h"
#include "diaglib/tests/TestCommon.h"

using diag::ReportFaultyDeviceOfKind;
using diag::SetProblem;
using diag::ShortenToVendorDevice;

namespace {

constexpr bool kXpBuild = HLM_DIAG_GENERATION == 5;

// ConfigManagerErrorCode of a device the user switched off.
constexpr int32_t kErrorCodeDisabled = 22;
// NetConnectionStatus "media disconnected": no cable, or no wireless network in reach.
constexpr int kMediaDisconnected = 7;
// MediaSubType of a wireless connection; every other value, 0 included, is wired.
constexpr int32_t kMediaSubTypeWireless = 2;

// Byte 0 of the answer to the radio-state command.
constexpr BYTE kRadioOff = 0;
constexpr BYTE kRadioOn = 1;
constexpr BYTE kRadioOnOtherVariant = 2;

// XP's wireless service.
constexpr wchar_t kWirelessZeroConfiguration[] = L"WZCSVC";

bool IsWireless(const CNetworkAdapter& adapters, int index)
{
    return adapters.MediaSubType(index) == kMediaSubTypeWireless;
}

// One pass over the wired or the wireless adapters. Every faulty adapter of the pass is noted:
// a later one overwrites the code, and `detail` keeps the last one that reported an error
// other than "disabled" (the driver repair needs its identifier; enabling needs none).
void ExamineAdapters(const CNetworkAdapter& adapters, bool wireless, TestResult* result)
{
    for (int i = 0; i < adapters.Count(); ++i) {
        if (IsWireless(adapters, i) != wireless)
            continue;
        const int32_t errorCode = adapters.ErrorCode(i);
        if (errorCode == 0)
            continue;
        if (errorCode == kErrorCodeDisabled) {
            SetProblem(result, ERROR_NET_DEVICE_NOTUSE);
            continue;
        }
        SetProblem(result, ERROR_NET_DEVICE_ABNORMAL);
        result->detail = adapters.Record(i).pnpDeviceId;
        ShortenToVendorDevice(result->detail);
        result->detailValid = 1;
        diag::Trace(result->detail.c_str());
    }
}

void TraceXpServiceStep(const wchar_t* outcome)
{
    diag::TraceOutcome(L"TestNetworkService", outcome);
}

// XP's Wireless Zero Configuration, asked with the network test's own step traces. The rule
// is DetectServiceStatus's: in order only when it starts with Windows and runs now, and a
// check that cannot be made counts as in order (on a notebook without a wireless adapter the
// service may well not exist).
bool WirelessZeroConfigurationInOrder()
{
    static const diag::ServiceStepTraces kStepTraces = {
        L"schSCManager NULL",       // OpenManager
        L"schService NUL",          // OpenService
        L"lpqscBuf NUL",            // ConfigBuffer
        L"QueryServiceConfig Fail", // QueryConfig
        L"lpqscBuf2 NULL",          // StatusBuffer
        L"QueryServiceStatus Fail", // QueryStatus
    };
    return diag::ServiceStartsAndRuns(kWirelessZeroConfiguration, kStepTraces, TraceXpServiceStep);
}

} // namespace

bool HLM_DIAG_ENGINE::TestNetworkDrv(TestResult* result)
{
    EnsureComInitialized();
    result->detail.Empty();
    result->problemFound = 0;
    result->problemCode = 0;

    bool present = false;
    bool examined = false;
    {
        HelperScope<CNetworkAdapter> adapters(networkInfo_);
        adapters->Connect();
        present = adapters->Fill() > 0;
        examined = adapters->Examined();
    }
    if (present) {
        if (kXpBuild)
            diag::Trace(L"TestNetworkDrv NO ERROR");
        else
            diag::TraceOutcome(L"TestNetworkDrv", L"No Error");
        return true;
    }
    // WMI that cannot be asked says nothing about the driver: no problem is reported for a
    // check that could not be made.
    if (!examined) {
        diag::TraceOutcome(L"TestNetworkDrv", L"WMI not available");
        return true;
    }

    // No adapter on PCI or SD: look for a network device Windows reports as faulty, so the
    // repair knows which driver to install.
    ReportFaultyDeviceOfKind(commonWmi_, kNetworkDevice, ERROR_NET_DRV_NOTFOUND, result);
    diag::Trace(result->detail.c_str());
    if (kXpBuild)
        diag::Trace(L"TestNetworkDrv Error Detected");
    else
        diag::TraceOutcome(L"TestNetworkDrv", L"ERROR_NET_DRV_NOTFOUND");
    return false;
}

bool HLM_DIAG_ENGINE::TestNetworkDeviceStatus(TestResult* result)
{
    EnsureComInitialized();
    result->detail.Empty();
    result->problemFound = 0;
    result->problemCode = 0;

    {
        HelperScope<CNetworkAdapter> adapters(networkInfo_);
        adapters->Connect();
        if (adapters->Fill() == 0)
            return true;
        // The wired adapters come first; the wireless ones are looked at only when every
        // wired one is in order.
        ExamineAdapters(*adapters, false, result);
        if (!result->problemFound)
            ExamineAdapters(*adapters, true, result);
    }
    ShortenToVendorDevice(result->detail);

    if (!result->problemFound) {
        if (kXpBuild)
            diag::Trace(L"NO ERROR");
        else
            diag::TraceOutcome(L"TestNetworkDeviceStatus", L"No Error");
        return true;
    }
    const wchar_t* outcome = result->problemCode == ERROR_NET_DEVICE_NOTUSE
                                 ? L"ERROR_NET_DEVICE_NOTUSE"
                                 : L"ERROR_NET_DEVICE_ABNORMAL";
    if (kXpBuild)
        diag::TraceFormat(L"TestNetworkDeviceStatus - %ls", outcome);
    else
        diag::TraceOutcome(L"TestNetworkDeviceStatus", outcome);
    return false;
}

// The wireless LAN switch, read from the firmware.
bool HLM_DIAG_ENGINE::TestNetworkConfig(TestResult* result)
{
    result->detail.Empty();
    result->problemFound = 0;

    // An interface that says it is not ready may still answer: the call is made anyway.
    BYTE answer[kPaviBufferSize];
    bool initialised = false;
    const bool answered = diag::CallBios(kPaviCmdRadioState, 0, answer, initialised);
    if (!initialised)
        diag::Trace(L"PAVI Init failed !");

    if (!answered) {
        // A failed call, or the firmware's 0xFF "no answer".
        diag::Trace(L"DetectWLANButton : CallBIOSInterfase fail");
    } else if (answer[0] == kRadioOff) {
        diag::Trace(L"DetectWLANButton : OFF!!");
        if (kXpBuild)
            diag::Trace(L"무선랜 버튼이 꺼져 있습니다");
        SetProblem(result, ERROR_NET_WLAN_OFF);
        return false;
    } else if (answer[0] == kRadioOn || answer[0] == kRadioOnOtherVariant) {
        diag::Trace(L"DetectWLANButton : Error Not Detected");
    } else {
        diag::Trace(L"DetectWLANButton : Undefined Value");
    }

    diag::Trace(L"TestNetworkConfig No Error");
    if (kXpBuild)
        diag::Trace(L"무선랜 버튼에 문제가 없습니다");
    result->problemFound = 0;
    return true;
}

bool HLM_DIAG_ENGINE::TestNetworkService(TestResult* result)
{
    if (kXpBuild) {
        if (WirelessZeroConfigurationInOrder()) {
            diag::Trace(L"TestNetworkService NO ERROR");
            return true;
        }
        SetProblem(result, ERROR_NET_WLANSVC_STOPPED);
        diag::Trace(L"TestNetworkService ERROR : Wireless Zero Configuration 서비스가 중지되었습니다");
        return false;
    }
    if (DetectServiceStatus(L"Wlansvc")) {
        diag::Trace(L"TestNetworkService NO ERROR");
        return true;
    }
    SetProblem(result, ERROR_NET_WLANSVC_STOPPED);
    diag::Trace(L"TestNetworkService ERROR : WLAN AutoConfig 서비스가 중지되었습니다");
    return false;
}

// One connected adapter, wired or wireless, is enough: the problem is only that none is.
bool HLM_DIAG_ENGINE::TestNetworkPhysicalConnection(TestResult* result)
{
    EnsureComInitialized();
    result->detail.Empty();
    result->problemFound = 0;

    int count = 0;
    int disconnected = 0;
    {
        HelperScope<CNetworkAdapter> adapters(networkInfo_);
        adapters->Connect();
        count = adapters->Fill();
        for (int i = 0; i < count; ++i) {
            if (adapters->ConnectionStatus(i) == kMediaDisconnected)
                ++disconnected;
        }
    }
    if (count == 0)
        return true;

    if (disconnected == count) {
        SetProblem(result, ERROR_NET_CABLE_DISCONNECT);
        if (kXpBuild)
            diag::Trace(L"TestNetworkPhysicalConnection ERROR : 케이블이 연결되어 있지 않거나 "
                        L"무선 신호가 끊어졌습니다");
        else
            diag::TraceOutcome(L"TestNetworkPhysicalConnection", L"ERROR_NET_CABLE_DISCONNECT");
        return false;
    }
    if (kXpBuild)
        diag::Trace(L"TestNetworkPhysicalConnection NO ERROR");
    else
        diag::TraceOutcome(L"TestNetworkPhysicalConnection", L"No Error");
    return true;
}
