// The machine as the system tests see it on Windows. The security centre's library is loaded by
// name for each question: XP has none, and neither has Wine, and an import would stop this
// library from loading there.

#include <windows.h>

#include <shlobj.h>
#include <wtsapi32.h>

#include "diaglib/ports/RealPorts.h"
#include "diaglib/repairs/UpdateCatalog.h"
#include "framework/Handles.h"

namespace diag {

namespace {

using PFN_WscGetSecurityProviderHealth = HRESULT(WINAPI*)(DWORD providers, DWORD* health);

struct WtsMemoryTraits {
    using Handle = PWTS_PROCESS_INFOW;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { WTSFreeMemory(handle); }
};
using UniqueWtsProcesses = fw::UniqueResource<WtsMemoryTraits>;

} // namespace

bool RealSystemPort::PhysicalMemory(ULONGLONG* bytes)
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return false;
    *bytes = status.ullTotalPhys;
    return true;
}

bool RealSystemPort::SecurityProviderHealth(DWORD provider, DWORD* health)
{
    const fw::UniqueModule wsc(LoadLibraryW(L"wscapi.dll"));
    if (!wsc)
        return false;
    const auto query = reinterpret_cast<PFN_WscGetSecurityProviderHealth>(
        GetProcAddress(wsc.get(), "WscGetSecurityProviderHealth"));
    if (!query)
        return false;
    DWORD answer = 0;
    if (FAILED(query(provider, &answer)))
        return false;
    *health = answer;
    return true;
}

bool RealSystemPort::ProcessNames(fw::CArray<fw::CSharedString>& names)
{
    PWTS_PROCESS_INFOW raw = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &raw, &count))
        return false;
    const UniqueWtsProcesses processes(raw);
    for (DWORD i = 0; i < count; ++i) {
        if (raw[i].pProcessName)
            names.Add(fw::CSharedString(raw[i].pProcessName));
    }
    return true;
}

bool RealSystemPort::InternetCacheFolder(fw::CSharedString& folder)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, path)))
        return false;
    folder = path;
    return true;
}

bool RealSystemPort::DriveSpace(const wchar_t* root, ULONGLONG* total, ULONGLONG* free)
{
    ULARGE_INTEGER available = {};
    ULARGE_INTEGER size = {};
    ULARGE_INTEGER unused = {};
    if (!GetDiskFreeSpaceExW(root, &available, &size, &unused))
        return false;
    *total = size.QuadPart;
    *free = unused.QuadPart;
    return true;
}

double RealSystemPort::ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind)
{
    return diag::ReadUpdateCatalog(count, lines, kind);
}

} // namespace diag
