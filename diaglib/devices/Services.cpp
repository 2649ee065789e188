// The service check the tests share: is a service set to start with Windows and running now?
// A check that cannot be made counts as in order, so a test never reports a problem only
// because the service control manager would not answer.

#include "diaglib/devices/Services.h"

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

// The configuration buffer's size: enough for any service the tests look at; a larger
// configuration fails the query and counts as in order.
constexpr DWORD kConfigBytes = 4096;

// Opens the service (none: the open fails) and reads how it starts and its current state.
// False, with `failedStep` set, when a step fails; every handle is closed again on return.
bool QueryServiceStartAndState(const wchar_t* serviceName, DWORD& startType, DWORD& currentState,
                               diag::ServiceQueryStep& failedStep)
{
    using diag::ServiceQueryStep;
    const UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        failedStep = ServiceQueryStep::OpenManager;
        return false;
    }
    UniqueServiceHandle service;
    if (serviceName)
        service.reset(OpenServiceW(manager.get(), serviceName, SERVICE_ALL_ACCESS));
    if (!service) {
        failedStep = ServiceQueryStep::OpenService;
        return false;
    }

    const fw::UniqueLocalMemory configMemory(LocalAlloc(LPTR, kConfigBytes));
    if (!configMemory) {
        failedStep = ServiceQueryStep::ConfigBuffer;
        return false;
    }
    auto* config = static_cast<QUERY_SERVICE_CONFIGW*>(configMemory.get());
    DWORD needed = 0;
    if (!QueryServiceConfigW(service.get(), config, kConfigBytes, &needed)) {
        failedStep = ServiceQueryStep::QueryConfig;
        return false;
    }

    const fw::UniqueLocalMemory statusMemory(LocalAlloc(LPTR, sizeof(SERVICE_STATUS)));
    if (!statusMemory) {
        failedStep = ServiceQueryStep::StatusBuffer;
        return false;
    }
    auto* status = static_cast<SERVICE_STATUS*>(statusMemory.get());
    if (!QueryServiceStatus(service.get(), status)) {
        failedStep = ServiceQueryStep::QueryStatus;
        return false;
    }

    startType = config->dwStartType;
    currentState = status->dwCurrentState;
    return true;
}

void TraceServiceStep(const wchar_t* outcome)
{
    diag::TraceFormat(L"%ls::DetectServiceStatus - %ls", diag::kEngineName, outcome);
}

} // namespace

namespace diag {

bool ServiceStartsAndRuns(const wchar_t* serviceName, const ServiceStepTraces& stepTraces,
                          void (*trace)(const wchar_t* text))
{
    DWORD startType = 0;
    DWORD currentState = 0;
    ServiceQueryStep failedStep = ServiceQueryStep::OpenManager;
    if (!QueryServiceStartAndState(serviceName, startType, currentState, failedStep)) {
        trace(stepTraces[static_cast<int>(failedStep)]);
        return true;
    }
    // A running service that would not come back after a restart is not in order either.
    return startType == SERVICE_AUTO_START && currentState == SERVICE_RUNNING;
}

} // namespace diag

bool HLM_DIAG_ENGINE::DetectServiceStatus(const wchar_t* serviceName)
{
    static const diag::ServiceStepTraces kStepTraces = {
        L"   NULL",                   // OpenManager
        L" schService NUL",           // OpenService
        L"  lpqscBuf NUL",            // ConfigBuffer
        L"  QueryServiceConfig Fail", // QueryConfig
        L"  lpqscBuf2 NULL",          // StatusBuffer
        L"  QueryServiceStatus Fail", // QueryStatus
    };
    return diag::ServiceStartsAndRuns(serviceName, kStepTraces, TraceServiceStep);
}
