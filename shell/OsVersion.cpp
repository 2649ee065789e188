#include "shell/OsVersion.h"

namespace {

struct Version {
    DWORD major = 0;
    DWORD minor = 0;
};

// RtlGetVersion answers the same on every Windows from XP on, whatever the manifest names.
Version QueryVersion()
{
    Version version;
    RTL_OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion"));
    if (rtlGetVersion && rtlGetVersion(&info) == 0) {
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
    }
    return version;
}

// Read when the module loads; the version does not change while we run.
const Version current = QueryVersion();

} // namespace

DWORD WindowsMajorVersion()
{
    return current.major;
}
DWORD WindowsMinorVersion()
{
    return current.minor;
}

int OSGenerationFor(DWORD major, DWORD minor)
{
    if (major < 6)
        return 0;
    return minor == 1 ? 2 : 1;
}

int GetOSGeneration()
{
    return OSGenerationFor(current.major, current.minor);
}
