// Switching on every present device of one kind, as Device Manager's "Enable" does: for each
// device the class installer is asked for DIF_PROPERTYCHANGE "enable", first for all hardware
// profiles, then for the current one. The device repairs run it and then test again.

#include "diaglib/devices/DeviceEnable.h"

#include <windows.h>

#include <setupapi.h>

#include <cwchar>
#include <memory>
#include <new>

#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Trace.h"
#include "diaglib/ports/Ports.h"

namespace {

constexpr bool kXpBuild = HLM_DIAG_GENERATION == 5;

constexpr DWORD kInitialGuidCapacity = 16;
// A class name maps to a handful of classes; a port asking for more is not believed.
constexpr DWORD kMaxGuids = 4096;
constexpr DWORD kDescriptionBytes = 1000;
// Device instance identifiers are at most 200 characters (MAX_DEVICE_ID_LEN).
constexpr DWORD kInstanceIdChars = 256;
constexpr DWORD kRestartFlags = DI_NEEDRESTART | DI_NEEDREBOOT;

constexpr int kRestartNotNeeded = 0;
constexpr int kEnableFailed = 1;
constexpr int kRestartNeeded = 6;

struct ClassNames {
    const wchar_t* names[2];
    int count;
};

// The setup classes a kind's devices are in, tried in this order; none for an unknown kind.
ClassNames ClassNamesOf(int kind)
{
    switch (kind) {
    case kDisplayDevice:
        return {{L"DISPLAY", nullptr}, 1};
    case kSoundDevice:
        // Depending on the driver a sound device is registered under one or the other.
        return {{L"HDAUDIO", L"MEDIA"}, 2};
    case kNetworkDevice:
        return {{L"NET", nullptr}, 1};
    default:
        return {{nullptr, nullptr}, 0};
    }
}

// The class identifiers of a setup class name; the list grows once when the port says it is
// too small. Zero identifiers when the name resolves to none or cannot be resolved.
DWORD ResolveClassName(diag::ISetupPort& setup, const wchar_t* name, std::unique_ptr<GUID[]>& guids)
{
    DWORD capacity = kInitialGuidCapacity;
    guids.reset(new (std::nothrow) GUID[capacity]);
    if (!guids)
        return 0;
    DWORD required = 0;
    SetLastError(ERROR_SUCCESS);
    bool resolved = setup.ClassGuidsFromName(name, guids.get(), capacity, &required);
    if (!resolved && GetLastError() == ERROR_INSUFFICIENT_BUFFER && required > capacity &&
        required <= kMaxGuids) {
        capacity = required;
        guids.reset(new (std::nothrow) GUID[capacity]);
        if (!guids)
            return 0;
        required = 0;
        resolved = setup.ClassGuidsFromName(name, guids.get(), capacity, &required);
    }
    if (!resolved)
        return 0;
    return required < capacity ? required : capacity;
}

void SetRestartRequest(int* restartRequest, int value)
{
    if (restartRequest)
        *restartRequest = value;
}

bool Contains(const wchar_t* text, const wchar_t* part)
{
    return std::wcsstr(text, part) != nullptr;
}

// Switches on the devices of one list. True when the last device handled counts as enabled;
// false for an empty list. `restartNeeded` stays set once any device asked for a restart, so
// a later device that needs none does not drop the request.
bool EnableDevices(diag::IDeviceList& devices, int kind, bool& restartNeeded, int* restartRequest)
{
    bool lastEnabled = false;
    const DWORD count = devices.Count();
    for (DWORD index = 0; index < count; ++index) {
        diag::Trace(L"DumpDeviceClassEnable");

        // The description only tells whether the device answers at all.
        BYTE description[kDescriptionBytes];
        DWORD required = 0;
        if (!devices.Description(index, description, sizeof(description), &required)) {
            diag::Trace(L"DumpDeviceClassEnable -> SetupDiDeviceRegistryPro retVal=0");
            if (required == 0) {
                diag::Trace(L"DumpDeviceClassEnable -> SetupDiDeviceRegistryPro reqSize=0");
                lastEnabled = false;
                continue;
            }
        }

        wchar_t instanceId[kInstanceIdChars] = {};
        if (devices.InstanceId(index, instanceId, kInstanceIdChars)) {
            instanceId[kInstanceIdChars - 1] = L'\0';
            diag::Trace(instanceId);
        } else {
            instanceId[0] = L'\0';
        }

        // Only the notebook's own network adapters, on PCI or SD, are switched on; virtual
        // adapters, USB sticks and the like are left as the user set them.
        if (kind == kNetworkDevice && !Contains(instanceId, L"PCI") &&
            !Contains(instanceId, L"SD")) {
            lastEnabled = true;
            continue;
        }
        // XP lists software sound devices (ROOT\...) in the MEDIA class; they are not switched.
        if (kXpBuild && kind == kSoundDevice && Contains(instanceId, L"ROOT")) {
            lastEnabled = true;
            continue;
        }

        // The state is changed only when the class installer accepted the change: it may
        // refuse for a reason of its own, and going round it would leave the driver unaware.
        if (devices.CallEnable(index, DICS_FLAG_GLOBAL, 0) && devices.ApplyState(index))
            diag::Trace(L"SetupDiChange Success:");
        else
            diag::Trace(L"SetupDiChagse Fail");

        if (devices.CallEnable(index, DICS_FLAG_CONFIGSPECIFIC, 0)) {
            DWORD flags = 0;
            if (devices.InstallFlags(index, &flags) && (flags & kRestartFlags) != 0)
                restartNeeded = true;
            SetRestartRequest(restartRequest, restartNeeded ? kRestartNeeded : kRestartNotNeeded);
            lastEnabled = true;
        } else {
            diag::Trace(L"Fail to change driver to Enable status");
            SetRestartRequest(restartRequest, kEnableFailed);
            lastEnabled = false;
        }
    }
    return lastEnabled;
}

} // namespace

bool EnableDeviceClass(int kind, int* restartRequest)
{
    const ClassNames classes = ClassNamesOf(kind);
    if (classes.count == 0)
        return false;
    SetRestartRequest(restartRequest, kRestartNotNeeded);

    diag::ISetupPort& setup = *diag::CurrentPorts().setup;
    bool restartNeeded = false;
    bool succeeded = false;
    for (int i = 0; i < classes.count && !succeeded; ++i) {
        std::unique_ptr<GUID[]> guids;
        const DWORD guidCount = ResolveClassName(setup, classes.names[i], guids);
        if (guidCount == 0) {
            diag::Trace(L"numGuids == 0");
            continue;
        }
        // A class with no present devices has switched nothing on, so it has not succeeded
        // and the next class name is tried: the sound devices may all be in the second one.
        const std::unique_ptr<diag::IDeviceList> devices(
            setup.PresentDevices(guids.get(), guidCount));
        if (devices)
            succeeded = EnableDevices(*devices, kind, restartNeeded, restartRequest);
    }
    return succeeded;
}
