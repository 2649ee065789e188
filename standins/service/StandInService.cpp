// A real Win32 service with nothing to do: it reports that it runs as soon as it is started
// and ends when the service control manager stops it. One program serves every service made
// on it (each runs in its own process), so it does not care which name it was started under.

#include <windows.h>

namespace {

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;

// The stop is noticed at once; the wait is only cut into steps so no wait of ours is endless.
constexpr DWORD kStopPollMs = 60000;
constexpr DWORD kStopHintMs = 2000;

void Report(DWORD state, DWORD exitCode = NO_ERROR)
{
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwCheckPoint = state == SERVICE_STOP_PENDING ? 1 : 0;
    status.dwWaitHint = state == SERVICE_STOP_PENDING ? kStopHintMs : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*)
{
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        Report(SERVICE_STOP_PENDING);
        SetEvent(stopEvent);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, wchar_t** argv)
{
    statusHandle = RegisterServiceCtrlHandlerExW(argc > 0 ? argv[0] : L"", &OnControl, nullptr);
    if (!statusHandle)
        return;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stopEvent) {
        Report(SERVICE_STOPPED, GetLastError());
        return;
    }
    Report(SERVICE_RUNNING);
    while (WaitForSingleObject(stopEvent, kStopPollMs) == WAIT_TIMEOUT) {
    }
    CloseHandle(stopEvent);
    stopEvent = nullptr;
    Report(SERVICE_STOPPED);
}

} // namespace

int wmain()
{
    // An own-process service: the control manager ignores the name in the table.
    wchar_t anyName[] = L"";
    const SERVICE_TABLE_ENTRYW services[] = {{anyName, &ServiceMain}, {nullptr, nullptr}};
    // Started by hand instead of by the control manager, it has nothing to do.
    return StartServiceCtrlDispatcherW(services) ? 0 : 1;
}
