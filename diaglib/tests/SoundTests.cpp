// The sound tests: driver, device state, audio services, output device, volume level, and the
// sample sound. They set problem codes 8 to 15 and leave in `detail` the device identifier the
// sound repairs work on.
//
// The device tests look at the "candidates": sound devices on the HD-audio bus or on PCI. A
// candidate whose manufacturer is Microsoft runs Windows' own class driver, which means the
// maker's driver is missing. Notebooks with a graphics chip carry a second HD-audio function
// for HDMI; when there are several candidates, the one behind the default output decides.

#include <windows.h>

#include <memory>

#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Engine.h"
#include "diaglib/exports/HelperScope.h"
#include "diaglib/exports/ProblemCodes.h"
#include "diaglib/exports/Trace.h"
#include "diaglib/ports/Ports.h"
#include "diaglib/tests/TestCommon.h"
#include "framework/Registry.h"

using diag::LibraryFolder;
using diag::LookUpFaultyDevice;
using diag::SetProblem;
using diag::ShortenToVendorDevice;

namespace {

constexpr bool kXpBuild = HLM_DIAG_GENERATION == 5;

constexpr DWORD kSamplePlayMs = 5300;
// DEVICE_STATE_ACTIVE | DEVICE_STATE_NOTPRESENT | DEVICE_STATE_UNPLUGGED.
constexpr DWORD kCaptureStates = 0x1 | 0x4 | 0x8;
// The XP mixer's volume runs from 0 to 65535; below a tenth is too quiet to hear.
constexpr DWORD kLowestMixerVolume = 6553;
constexpr float kLowestMasterLevel = 0.1f;

constexpr wchar_t kRenderKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\MMDevices\\Audio\\"
                                 L"Render\\";
// Registry value names and texts are at most this long.
constexpr DWORD kRegistryTextChars = 0x3FFF;

bool Contains(const fw::CSharedString& text, const wchar_t* part)
{
    return text.Find(part) >= 0;
}

bool IsHdAudio(const DeviceRecord& device)
{
    return Contains(device.pnpDeviceId, L"HDAUDIO");
}

bool IsCandidate(const DeviceRecord& device)
{
    return IsHdAudio(device) || Contains(device.pnpDeviceId, L"PCI");
}

bool HasGenericDriver(const DeviceRecord& device)
{
    return Contains(device.manufacturer, L"Microsoft");
}

// The audio function of an ATI/AMD, Intel or NVIDIA graphics chip (HDMI). The XP build looks
// for the function number as well.
bool IsGraphicsAudio(const DeviceRecord& device)
{
    static const wchar_t* const kVendors[] = {L"VEN_1002", L"VEN_8086", L"VEN_10DE"};
    static const wchar_t* const kXpVendors[] = {L"FUNC_01&VEN_1002", L"FUNC_01&VEN_8086",
                                                L"FUNC_01&VEN_10DE"};
    for (const wchar_t* vendor : kXpBuild ? kXpVendors : kVendors) {
        if (Contains(device.pnpDeviceId, vendor))
            return true;
    }
    return false;
}

bool IsBluetoothAudio(const DeviceRecord& device)
{
    return Contains(device.pnpDeviceId, L"BTWAUDIO") || Contains(device.pnpDeviceId, L"BTAUDIO") ||
           Contains(device.pnpDeviceId, L"BTDAUDIO");
}

struct Survey {
    int candidates = 0;
    bool candidateDisabled = false;
    int genericCandidates = 0;
    // The last candidate with the generic driver that is not a graphics chip's: the device
    // whose driver the repair should install. -1 when there is none.
    int remembered = -1;
};

Survey SurveyDevices(const CSoundDeviceInfo& devices)
{
    Survey survey;
    for (int i = 0; i < devices.Count(); ++i) {
        const DeviceRecord& device = devices.Record(i);
        if (!IsCandidate(device))
            continue;
        ++survey.candidates;
        if (devices.State(i) == kDeviceDisabled)
            survey.candidateDisabled = true;
        if (HasGenericDriver(device)) {
            ++survey.genericCandidates;
            if (!IsGraphicsAudio(device))
                survey.remembered = i;
        }
    }
    return survey;
}

void SetDeviceProblem(TestResult* result, ProblemCode code, const DeviceRecord& device)
{
    SetProblem(result, code);
    result->detail = device.pnpDeviceId;
    result->detailValid = 1;
}

struct CoTaskText {
    wchar_t* text = nullptr;
    ~CoTaskText() { CoTaskMemFree(text); }
};

// The Core Audio enumerator, its default render endpoint for the console role, and whether
// the capture endpoints could be enumerated. Each call gets its own and drops them again.
struct AudioSession {
    HRESULT created = E_FAIL;
    HRESULT endpointFound = E_FAIL;
    HRESULT captureListed = E_FAIL;
    std::unique_ptr<diag::IAudioDevices> devices;
    std::unique_ptr<diag::IAudioEndpoint> endpoint;

    // Stops at the first call that fails.
    void Open(bool listCapture)
    {
        diag::IAudioDevices* made = nullptr;
        created = diag::CurrentPorts().audio->CreateDevices(&made);
        devices.reset(made);
        if (FAILED(created) || !devices) {
            created = FAILED(created) ? created : E_POINTER;
            return;
        }
        diag::IAudioEndpoint* found = nullptr;
        endpointFound = devices->DefaultRenderEndpoint(&found);
        endpoint.reset(found);
        if (FAILED(endpointFound) || !endpoint) {
            endpointFound = FAILED(endpointFound) ? endpointFound : E_POINTER;
            return;
        }
        if (listCapture) {
            UINT count = 0;
            captureListed = devices->CaptureEndpoints(kCaptureStates, &count);
        }
    }
};

// The endpoint's properties key name: the identifier's part after the first "}.", so
// "{0.0.0.00000000}.{5f2c...}" names the key "{5f2c...}". Empty when the identifier has none.
fw::CSharedString EndpointKeyName(const fw::CSharedString& endpointId)
{
    const int separator = endpointId.Find(L"}.");
    return separator < 0 ? fw::CSharedString() : endpointId.Mid(separator + 2);
}

// The sound device behind the default render endpoint: the device whose PNP identifier one of
// the endpoint's registered properties names (the last such wins). -1 when there is no endpoint,
// no properties key, or no device named.
int DefaultEndpointDevice(const CSoundDeviceInfo& devices)
{
    AudioSession audio;
    audio.Open(false);
    if (FAILED(audio.endpointFound))
        return -1;
    CoTaskText id;
    if (FAILED(audio.endpoint->GetId(&id.text)) || !id.text)
        return -1;
    const fw::CSharedString endpointId(id.text);
    diag::Trace(endpointId.c_str());
    const fw::CSharedString keyName = EndpointKeyName(endpointId);
    if (keyName.IsEmpty())
        return -1;

    fw::CSharedString path(kRenderKey);
    path += keyName;
    path += L"\\Properties";
    fw::RegKey properties;
    // The endpoints are registered in the 64-bit view; a 32-bit library would otherwise read
    // the redirected one.
    if (properties.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ, fw::RegView::Force64) !=
        fw::RegResult::Ok)
        return -1;

    std::unique_ptr<wchar_t[]> name(new wchar_t[kRegistryTextChars + 1]);
    std::unique_ptr<wchar_t[]> text(new wchar_t[kRegistryTextChars + 1]);
    int match = -1;
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = kRegistryTextChars + 1;
        DWORD type = REG_NONE;
        DWORD bytes = kRegistryTextChars * sizeof(wchar_t);
        const LONG status = RegEnumValueW(properties.get(), index, name.get(), &nameChars, nullptr,
                                          &type, reinterpret_cast<BYTE*>(text.get()), &bytes);
        if (status == ERROR_MORE_DATA)
            continue; // longer than any device identifier we look for
        if (status != ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            continue;
        // The stored text need not end with a terminator.
        text[bytes / sizeof(wchar_t)] = L'\0';
        for (int i = 0; i < devices.Count(); ++i) {
            const fw::CSharedString& pnpId = devices.Record(i).pnpDeviceId;
            // A device without an identifier would match every text.
            if (!pnpId.IsEmpty() && wcsstr(text.get(), pnpId.c_str()))
                match = i;
        }
    }
    return match;
}

void TraceDrv(const wchar_t* outcome)
{
    diag::TraceOutcome(L"TestSoundDrv", outcome);
}

void TraceDeviceStatus(const wchar_t* outcome)
{
    diag::TraceOutcome(L"TestSoundDeviceStatus", outcome);
}

// Steps of TestSoundDrv with several candidates, when not all of them run the generic driver:
// the device behind the default output decides; without one, the first candidate in WMI's
// order that runs the generic driver.
void CheckDriverOfSeveral(const CSoundDeviceInfo& devices, TestResult* result)
{
    const int chosen = DefaultEndpointDevice(devices);
    if (chosen >= 0) {
        const DeviceRecord& device = devices.Record(chosen);
        if (IsHdAudio(device) && HasGenericDriver(device))
            SetDeviceProblem(result, ERROR_SND_DEVICE_ABNORMAL, device);
        return;
    }
    for (int i = 0; i < devices.Count(); ++i) {
        const DeviceRecord& device = devices.Record(i);
        if (!IsCandidate(device))
            continue;
        if (HasGenericDriver(device)) {
            SetDeviceProblem(result, ERROR_SND_DEVICE_ABNORMAL, device);
            return;
        }
        if (devices.State(i) == kDeviceFaulty)
            return;
    }
}

// XP: any sound device that is neither Bluetooth nor a graphics chip's audio function counts
// as the driver being there.
bool HasXpSoundDevice(const CSoundDeviceInfo& devices)
{
    for (int i = 0; i < devices.Count(); ++i) {
        const DeviceRecord& device = devices.Record(i);
        if (!IsBluetoothAudio(device) && !IsGraphicsAudio(device))
            return true;
    }
    return false;
}

bool TestSoundDeviceStatusXp(const CSoundDeviceInfo& devices, TestResult* result)
{
    if (devices.Count() >= 2)
        diag::Trace(L"Debug : Sound Device 2 more");
    for (int i = 0; i < devices.Count(); ++i) {
        diag::TraceFormat(L"Debug : Device Error Code %x", devices.ErrorCode(i));
        const int32_t state = devices.State(i);
        if (state == kDeviceWorking)
            continue;
        if (state == kDeviceDisabled) {
            SetProblem(result, ERROR_SND_DEVICE_NOTUSE);
        } else {
            SetDeviceProblem(result, ERROR_SND_DEVICE_ABNORMAL, devices.Record(i));
            ShortenToVendorDevice(result->detail);
        }
        break;
    }
    if (result->problemFound) {
        diag::Trace(L"TestSoundDeviceStatus Error Detected");
        return false;
    }
    diag::Trace(L"TestSoundDeviceStatus No Error");
    return true;
}

// XP's volume through the mixer: a muted speaker line first, then its volume. A mixer that
// cannot be read counts as full volume.
bool TestSoundVolumelevelXp(TestResult* result)
{
    diag::IMixerPort& mixer = *diag::CurrentPorts().mixer;
    bool muted = false;
    if (mixer.SpeakerMute(&muted) && muted) {
        SetProblem(result, ERROR_SND_MUTE);
        diag::Trace(L"DiagnosticXP::TestSoundVolumeMUTE ERROR");
        return false;
    }
    DWORD volume = 0;
    diag::MixerStep failedStep = diag::MixerStep::Open;
    if (!mixer.SpeakerVolume(&volume, &failedStep)) {
        switch (failedStep) {
        case diag::MixerStep::Open:
            diag::Trace(L"mixerOpen() failed ");
            break;
        case diag::MixerStep::LineInfo:
            diag::Trace(L"mixerGetLineInfo() failed 1");
            break;
        case diag::MixerStep::LineControls:
            diag::Trace(L"mixerGetLineControls() failed 2");
            break;
        case diag::MixerStep::ControlDetails:
            diag::Trace(L"mixerGetControlDetails() failed 3");
            break;
        }
        volume = 0xFFFF;
    }
    if (volume < kLowestMixerVolume) {
        SetProblem(result, ERROR_SND_LEVEL);
        diag::Trace(L"DiagnosticXP::TestSoundVolumelevel ERROR");
        return false;
    }
    diag::Trace(L"DiagnosticXP::TestSoundVolumelevel NO ERROR");
    return true;
}

} // namespace

bool HLM_DIAG_ENGINE::TestSoundDrv(TestResult* result)
{
    EnsureComInitialized();
    HelperScope<CSoundDeviceInfo> devices(soundInfo_);
    devices->Connect();
    const int count = devices->Fill();
    // WMI that cannot be asked says nothing about the driver.
    if (count == 0 && !devices->Examined()) {
        TraceDrv(L"WMI not available");
        return true;
    }

    if (kXpBuild) {
        if (HasXpSoundDevice(*devices)) {
            diag::Trace(L"TestSoundDrv No Error");
            return true;
        }
        SetProblem(result, ERROR_SND_DRV_NOTFOUND);
        diag::Trace(L"사운드 장치 드라이버가 설치되어 있지 않습니다");
        if (LookUpFaultyDevice(commonWmi_, kSoundDevice, result->detail))
            result->detailValid = 1;
        diag::Trace(L"TestSoundDrv Error Detected");
        return false;
    }

    if (count == 0) {
        // No sound device at all: look for one Windows reports as faulty, so the repair knows
        // which driver to install.
        SetProblem(result, ERROR_SND_DRV_NOTFOUND);
        if (LookUpFaultyDevice(commonWmi_, kSoundDevice, result->detail)) {
            diag::Trace(result->detail.c_str());
            result->detailValid = 1;
        }
        TraceDrv(L"ERROR_SND_DRV_NOTFOUND");
        return false;
    }

    const Survey survey = SurveyDevices(*devices);
    if (survey.candidates > 1) {
        diag::Trace(L"HDAUDIO multi");
        if (survey.genericCandidates == survey.candidates) {
            TraceDrv(L"ERROR_SND_DEVICE_ABNORMAL");
            SetProblem(result, ERROR_SND_DEVICE_ABNORMAL);
            if (survey.remembered >= 0) {
                TraceDrv(L"Device Info OK");
                result->detail = devices->Record(survey.remembered).pnpDeviceId;
                ShortenToVendorDevice(result->detail);
                result->detailValid = 1;
            } else {
                TraceDrv(L"Device Info FAIL");
            }
            return false;
        }
        if (survey.candidateDisabled)
            diag::Trace(L"HDAUDIO Disabled");
        CheckDriverOfSeveral(*devices, result);
    } else {
        bool anyHdAudio = false;
        for (int i = 0; i < count; ++i) {
            const DeviceRecord& device = devices->Record(i);
            if (!IsHdAudio(device))
                continue;
            anyHdAudio = true;
            if (HasGenericDriver(device)) {
                SetDeviceProblem(result, ERROR_SND_DEVICE_ABNORMAL, device);
                break;
            }
            const int32_t state = devices->State(i);
            if (state == kDeviceDisabled || state == kDeviceFaulty)
                break;
        }
        if (!anyHdAudio) {
            // Without the HD-audio bus driver the codec does not show at all.
            SetProblem(result, ERROR_SND_DRV_NOTFOUND);
            TraceDrv(L"ERROR_SND_DRV_NOTFOUND");
            if (LookUpFaultyDevice(commonWmi_, kSoundDevice, result->detail)) {
                result->detailValid = 1;
                TraceDrv(L"DeviceInfo OK");
            }
        }
    }

    ShortenToVendorDevice(result->detail);
    diag::Trace(result->detail.c_str());
    if (result->problemFound) {
        TraceDrv(L"Error Detected");
        return false;
    }
    TraceDrv(L"No Error");
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundDeviceStatus(TestResult* result)
{
    EnsureComInitialized();
    HelperScope<CSoundDeviceInfo> devices(soundInfo_);
    devices->Connect();
    const int count = devices->Fill();
    if (kXpBuild)
        return TestSoundDeviceStatusXp(*devices, result);

    // A faulty device: code 9 with the identifier the driver repair looks up.
    auto reportFaulty = [result](const DeviceRecord& device) {
        SetDeviceProblem(result, ERROR_SND_DEVICE_ABNORMAL, device);
        ShortenToVendorDevice(result->detail);
        diag::Trace(result->detail.c_str());
        TraceDeviceStatus(L"DeviceInfo OK");
    };

    const Survey survey = SurveyDevices(*devices);
    if (survey.candidates > 1) {
        diag::Trace(L"HDAUDIO multi");
        if (survey.candidateDisabled) {
            diag::Trace(L"HDAUDIO Disabled");
            SetProblem(result, ERROR_SND_DEVICE_NOTUSE);
            TraceDeviceStatus(L"Disabled");
        } else {
            const int chosen = DefaultEndpointDevice(*devices);
            if (chosen >= 0) {
                if (IsHdAudio(devices->Record(chosen)) && devices->State(chosen) == kDeviceFaulty)
                    reportFaulty(devices->Record(chosen));
            } else {
                for (int i = 0; i < count; ++i) {
                    const DeviceRecord& device = devices->Record(i);
                    if (!IsCandidate(device) || HasGenericDriver(device))
                        continue;
                    if (devices->State(i) == kDeviceFaulty) {
                        reportFaulty(device);
                        break;
                    }
                }
            }
        }
    } else {
        for (int i = 0; i < count; ++i) {
            const DeviceRecord& device = devices->Record(i);
            if (!IsHdAudio(device) || HasGenericDriver(device))
                continue;
            if (devices->State(i) == kDeviceDisabled) {
                SetProblem(result, ERROR_SND_DEVICE_NOTUSE);
                TraceDeviceStatus(L"Disabled");
                break;
            }
            if (devices->State(i) == kDeviceFaulty) {
                reportFaulty(device);
                break;
            }
        }
    }

    if (result->problemFound) {
        diag::Trace(L"TestSoundDeviceStatus FAIL");
        return false;
    }
    diag::Trace(L"TestSoundDeviceStatus - PASS");
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundService(TestResult* result)
{
    // Windows starts the audio service only after the endpoint builder, so that one first.
    if (!DetectServiceStatus(L"AudioEndpointBuilder")) {
        SetProblem(result, ERROR_SND_ENDPOINT_STOPPED);
        diag::Trace(L"오디오 엔드포인트 작성기 서비스가 중지되었습니다");
        return false;
    }
    if (!DetectServiceStatus(L"Audiosrv")) {
        SetProblem(result, ERROR_SND_AUDIOSRV_STOPPED);
        diag::Trace(L"오디오 서비스가 중지되었습니다");
        return false;
    }
    diag::Trace(L"TestSoundService NO ERROR");
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundOutputDevice(TestResult* result)
{
    EnsureComInitialized();
    AudioSession audio;
    audio.Open(true);
    // An enumerator that cannot be made has no output device to offer either.
    if (FAILED(audio.created) || FAILED(audio.endpointFound)) {
        SetProblem(result, ERROR_SND_NO_OUTPUT);
        diag::TraceOutcome(L"TestSoundOutputDevice", L"GetDefauiltAudioEndPoint Error");
        return false;
    }
    if (FAILED(audio.captureListed)) {
        SetProblem(result, ERROR_SND_NO_OUTPUT);
        diag::TraceOutcome(L"TestSoundOutputDevice", L"EnumAudioEndpoints Error");
        return false;
    }
    diag::TraceOutcome(L"TestSoundOutputDevice", L"No error");
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundVolumelevel(TestResult* result)
{
    if (kXpBuild)
        return TestSoundVolumelevelXp(result);

    EnsureComInitialized();
    AudioSession audio;
    audio.Open(true);
    // Without an endpoint there is no volume to judge; the output-device test reports that.
    if (FAILED(audio.created) || FAILED(audio.endpointFound) || FAILED(audio.captureListed))
        return true;
    diag::IAudioVolume* activated = nullptr;
    const HRESULT status = audio.endpoint->ActivateVolume(&activated);
    const std::unique_ptr<diag::IAudioVolume> volume(activated);
    if (FAILED(status) || !volume)
        return true;

    // A value that cannot be read counts as unmuted and as full volume.
    bool muted = false;
    if (FAILED(volume->GetMute(&muted)))
        muted = false;
    float level = 1.0f;
    if (FAILED(volume->GetMasterLevel(&level)))
        level = 1.0f;

    if (muted) {
        SetProblem(result, ERROR_SND_MUTE);
        diag::TraceOutcome(L"TestSoundVolumelevel", L"MUTE");
        return false;
    }
    if (level < kLowestMasterLevel) {
        SetProblem(result, ERROR_SND_LEVEL);
        diag::TraceOutcome(L"TestSoundVolumelevel", L"LEVEL ERROR");
        return false;
    }
    diag::TraceOutcome(L"TestSoundVolumelevel", L"No error");
    return true;
}

bool HLM_DIAG_ENGINE::TestSoundSamplePlay(TestResult*)
{
    fw::CSharedString path = LibraryFolder();
    path += L"\\Test.Wav";
    // SND_NODEFAULT: a missing file plays nothing rather than the system's default sound.
    PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
    Sleep(kSamplePlayMs);
    PlaySoundW(nullptr, nullptr, 0);
    return true;
}
