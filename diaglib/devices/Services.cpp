// The service check the tests share: is a service set to start with Windows and running now?
// A check that cannot be made counts as in order, so a test never reports a problem only
// because the service control manager would not answer.

#include <windows.h>

#include "diaglib/exports/Engine.h"
#include "diaglib/exports/Trace.h"
#include "framework/Handles.h"

namespace {

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { CloseServiceHandle(handle); }
};
using UniqueServiceHandle = fw::UniqueResource<ServiceHandleTraits>;

struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { LocalFree(handle); }
};
using UniqueLocalMemory = fw::UniqueResource<LocalMemoryTraits>;

// The configuration buffer's size: enough for any service the tests look at; a larger
// configuration fails the query and counts as in order.
constexpr DWORD kConfigBytes = 4096;

void TraceServiceStep(const wchar_t* outcome)
{
    diag::TraceFormat(L"%ls::DetectServiceStatus - %ls", diag::kEngineName, outcome);
}

} // namespace

bool HLM_DIAG_ENGINE::DetectServiceStatus(const wchar_t* serviceName)
{
    const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        TraceServiceStep(L"   NULL");
        return true;
    }
    UniqueServiceHandle service;
    if (serviceName)
        service.reset(OpenServiceW(manager.get(), serviceName, SERVICE_ALL_ACCESS));
    if (!service) {
        TraceServiceStep(L" schService NUL");
        return true;
    }

    const UniqueLocalMemory configMemory(LocalAlloc(LPTR, kConfigBytes));
    if (!configMemory) {
        TraceServiceStep(L"  lpqscBuf NUL");
        return true;
    }
    auto* config = static_cast<QUERY_SERVICE_CONFIGW*>(configMemory.get());
    DWORD needed = 0;
    if (!QueryServiceConfigW(service.get(), config, kConfigBytes, &needed)) {
        TraceServiceStep(L"  QueryServiceConfig Fail");
        return true;
    }

    const UniqueLocalMemory statusMemory(LocalAlloc(LPTR, sizeof(SERVICE_STATUS)));
    if (!statusMemory) {
        TraceServiceStep(L"  lpqscBuf2 NULL");
        return true;
    }
    auto* status = static_cast<SERVICE_STATUS*>(statusMemory.get());
    if (!QueryServiceStatus(service.get(), status)) {
        TraceServiceStep(L"  QueryServiceStatus Fail");
        return true;
    }

    // A running service that would not come back after a restart is not in order either.
    return config->dwStartType == SERVICE_AUTO_START && status->dwCurrentState == SERVICE_RUNNING;
}
