#pragma once
// Reading a service's configuration and state through the service control manager.

#include <windows.h>

namespace diag {

// The steps of a service query in the order they run; the one that failed tells the caller
// which of its traces to write.
enum class ServiceQueryStep : int {
    OpenManager,
    OpenService,
    ConfigBuffer,
    QueryConfig,
    StatusBuffer,
    QueryStatus,
};
constexpr int kServiceQuerySteps = 6;

// What a caller traces when a step fails, one text a step in the order of ServiceQueryStep.
using ServiceStepTraces = const wchar_t* const[kServiceQuerySteps];

// True when the service `serviceName` starts with Windows (SERVICE_AUTO_START) and runs now.
// A check that cannot be made counts as in order: the failed step's text from `stepTraces`
// goes to `trace`. A configuration larger than 4096 bytes fails the configuration query. No
// handle stays open.
bool ServiceStartsAndRuns(const wchar_t* serviceName, const ServiceStepTraces& stepTraces,
                          void (*trace)(const wchar_t* text));

} // namespace diag
