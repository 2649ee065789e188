// The library's entry point, its one WMI connection and the helpers the collectors share.

#include "sysinfo/TavDLL.h"

#include <objbase.h>

#include <cwctype>
#include <memory>

#include "sysinfo/SysInfo.h"
#include "sysinfo/SysInfoPorts.h"

namespace tav {

namespace {

// Opened by the first collector that needs it, closed by CleanUpWMI. The collectors run on the
// program's window thread only, one after another.
struct WmiConnection {
    std::unique_ptr<diag::IWmiConnection> services;
    bool connected = false;
};
WmiConnection wmi;

void Connect()
{
    // The program's window thread may have joined an apartment already; whatever these answer,
    // the connection below works in the apartment the thread is in, or fails and is tried again
    // by the next collector.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    wmi.services.reset(CurrentPorts().wmi->Connect(L"ROOT\\CIMV2"));
    wmi.connected = wmi.services != nullptr;
}

} // namespace

bool QueryWmi(const wchar_t* wql, diag::IWmiVisitor& visitor)
{
    if (!wmi.connected)
        Connect();
    return wmi.connected && wmi.services->ExecQuery(wql, visitor);
}

void CopyText(wchar_t* field, size_t capacity, const wchar_t* source)
{
    if (capacity == 0)
        return;
    size_t i = 0;
    if (source) {
        for (; i + 1 < capacity && source[i]; ++i)
            field[i] = source[i];
    }
    field[i] = L'\0';
}

const wchar_t* SkipLeadingSpace(const wchar_t* text)
{
    if (!text)
        return L"";
    while (*text && iswspace(*text))
        ++text;
    return text;
}

void Trace(const wchar_t* format, ...)
{
    wchar_t line[1025];
    va_list args;
    va_start(args, format);
    wvsprintfW(line, format, args);
    va_end(args);
    OutputDebugStringW(line);
}

DWORD MajorVersion()
{
    return CurrentPorts().version->MajorVersion();
}

} // namespace tav

void __stdcall CleanUpWMI()
{
    if (!tav::wmi.connected)
        return;
    tav::wmi.services.reset();
    tav::wmi.connected = false;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    // The library keeps nothing per thread.
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    return TRUE;
}
