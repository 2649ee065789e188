// The display tests: driver present, device state, desktop window manager service, screen
// resolution, colour depth, and the 3D sample program. They set problem codes 1 to 6 and
// leave in `detail` the device identifier the display repairs work on.

#include <windows.h>

#include <shellapi.h>

#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Engine.h"
#include "diaglib/exports/HelperScope.h"
#include "diaglib/exports/ProblemCodes.h"
#include "diaglib/exports/Trace.h"
#include "diaglib/ports/Ports.h"
#include "diaglib/tests/TestCommon.h"
#include "framework/Handles.h"
#include "framework/Registry.h"

using diag::LibraryFolder;
using diag::ReportFaultyDeviceOfKind;
using diag::SetProblem;
using diag::ShortenToVendorDevice;

namespace {

constexpr bool kXpBuild = HLM_DIAG_GENERATION == 5;
constexpr DWORD kSamplePlayTimeoutMs = 15000;

bool ReadCurrentMode(DEVMODEW& mode)
{
    mode = {};
    mode.dmSize = sizeof(mode);
    return diag::CurrentPorts().display->CurrentMode(&mode);
}

// The "Mfg" value of the device's Enum key; empty when the key or value cannot be read.
fw::CSharedString ReadManufacturerEntry(const fw::CSharedString& pnpDeviceId)
{
    fw::CSharedString path(L"SYSTEM\\CurrentControlSet\\Enum\\");
    path += pnpDeviceId;
    fw::RegKey key;
    fw::CSharedString mfg;
    if (key.Open(HKEY_LOCAL_MACHINE, path.c_str()) != fw::RegResult::Ok ||
        key.ReadString(L"Mfg", mfg, 256 / sizeof(wchar_t) - 1) != fw::RegResult::Ok)
        mfg.Empty();
    return mfg;
}

} // namespace

bool HLM_DIAG_ENGINE::TestGraphicDrv(TestResult* result)
{
    EnsureComInitialized();
    result->detail.Empty();
    result->problemFound = 0;
    if (kXpBuild)
        result->detailValid = 0;

    HelperScope<CVideoControllerInfo> controllers(videoInfo_);
    controllers->Connect();
    if (controllers->Fill() > 0) {
        diag::TraceFormat(L"%ls::TestGraphicDrv No Error", diag::kEngineName);
        return true;
    }
    // WMI that cannot be asked says nothing about the driver: no problem is reported for a
    // check that could not be made.
    if (!controllers->Examined()) {
        diag::TraceFormat(L"%ls::TestGraphicDrv - WMI not available", diag::kEngineName);
        return true;
    }

    // WMI knows no display adapter: look for a display device Windows reports as faulty, so
    // the repair knows which driver to install.
    ReportFaultyDeviceOfKind(commonWmi_, kDisplayDevice, ERROR_GRP_DRV_NOTFOUND, result);
    diag::TraceFormat(L"%ls::TestGraphicDrv Error Detected", diag::kEngineName);
    return false;
}

bool HLM_DIAG_ENGINE::TestGraphicDeviceStatus(TestResult* result)
{
    EnsureComInitialized();
    result->detail.Empty();
    result->problemFound = 0;

    HelperScope<CVideoControllerInfo> controllers(videoInfo_);
    controllers->Connect();
    const int count = controllers->Fill();
    if (count == 0)
        return true;

    // The adapter that reports its memory is the one in use; without any, the first.
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
        if (controllers->HasAdapterRam(i)) {
            chosen = i;
            break;
        }
    }
    const DeviceRecord& controller = controllers->Record(chosen);
    switch (controllers->State(chosen)) {
    case kDeviceDisabled:
        SetProblem(result, ERROR_GRP_DEVICE_NOTUSE);
        result->detail = controller.pnpDeviceId;
        result->detailValid = 1;
        break;
    case kDeviceWorking:
        if (!kXpBuild) {
            const fw::CSharedString mfg = ReadManufacturerEntry(controller.pnpDeviceId);
            diag::TraceFormat(L"Mfg : %ls", mfg.c_str());
            if (mfg.Find(L"%std%") >= 0) {
                // Windows' standard display driver: the maker's driver is missing.
                SetProblem(result, ERROR_GRP_DRV_NOTFOUND);
                result->detail = controller.pnpDeviceId;
                ShortenToVendorDevice(result->detail);
                result->detailValid = 1;
                diag::TraceFormat(L"status %ls", result->detail.c_str());
            }
        }
        break;
    default:
        SetProblem(result, ERROR_GRP_DEVICE_ABNORMAL);
        result->detail = controller.pnpDeviceId;
        ShortenToVendorDevice(result->detail);
        result->detailValid = 1;
        diag::Trace(result->detail.c_str());
        break;
    }

    if (result->problemFound) {
        if (kXpBuild)
            diag::Trace(L"TestGraphicDeviceStatus Error Detected");
        else
            diag::TraceFormat(L"%ls::TestGraphicDeviceStatus Error Detected", diag::kEngineName);
        return false;
    }
    if (kXpBuild)
        diag::Trace(L"TestGraphicDeviceStatus  No Error");
    else
        diag::TraceFormat(L"%ls::TestGraphicDeviceStatus No Error", diag::kEngineName);
    diag::Trace(controllers->Record(0).pnpDeviceId.c_str());
    return true;
}

bool HLM_DIAG_ENGINE::TestGraphicDWMService(TestResult* result)
{
    if (DetectServiceStatus(L"UxSms")) {
        diag::Trace(L"TestGraphicDWMService NO ERROR");
        return true;
    }
    SetProblem(result, ERROR_GRP_DWM_STOPPED);
    diag::Trace(L"데스크톱 창 관리자 세션 관리자 서비스가 중지되었습니다");
    return false;
}

bool HLM_DIAG_ENGINE::TestGraphicResolution(TestResult* result)
{
    DEVMODEW mode;
    if (!ReadCurrentMode(mode)) {
        diag::Trace(L"TestGraphicResolution Read Current Setting FAIL!!");
        return true;
    }
    const bool tooSmall = (mode.dmPelsWidth == 640 && mode.dmPelsHeight == 480) ||
                          (mode.dmPelsWidth == 800 && mode.dmPelsHeight == 600);
    if (!tooSmall)
        return true;
    SetProblem(result, ERROR_GRP_RESOLUTION);
    diag::Trace(kXpBuild ? L"TestGraphicResolution Error" : L"TestGraphicResolution ERROR");
    return false;
}

bool HLM_DIAG_ENGINE::TestGraphicColorbit(TestResult* result)
{
    DEVMODEW mode;
    if (!ReadCurrentMode(mode)) {
        diag::Trace(L"TestGraphicColorbit Read Current Setting FAIL!!");
        return true;
    }
    diag::TraceFormat(L"%d", static_cast<int>(mode.dmBitsPerPel));
    const DWORD fewest = kXpBuild ? 16 : 32;
    if (mode.dmBitsPerPel >= fewest)
        return true;
    SetProblem(result, ERROR_GRP_COLORBIT);
    diag::Trace(L"TestGraphicColorbit ERROR");
    return false;
}

bool HLM_DIAG_ENGINE::TestGraphic3DsamplePlay(TestResult*)
{
    fw::CSharedString folder = LibraryFolder();
    if (!folder.IsEmpty())
        folder += L'\\';
    SHELLEXECUTEINFOW run = {};
    run.cbSize = sizeof(run);
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    fw::CSharedString path(folder);
    path += L"HLM3dTest.exe";
    run.lpVerb = L"open";
    run.lpFile = path.c_str();
    run.lpDirectory = folder.c_str();
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&run) || !run.hProcess)
        return true;
    fw::UniqueHandle process(run.hProcess);
    // The sample ends by itself; one that hangs is ended so the diagnosis goes on.
    if (WaitForSingleObject(process.get(), kSamplePlayTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.get(), 1);
    return true;
}
