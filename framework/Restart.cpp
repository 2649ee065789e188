#include "framework/Restart.h"

#include "framework/Handles.h"

namespace fw {

namespace {

class WindowsRestart : public IRestartPort {
  public:
    bool RestartWindows(UINT flags, DWORD reason) override
    {
        // ExitWindowsEx fails with ERROR_PRIVILEGE_NOT_HELD unless the privilege is enabled.
        UniqueHandle token;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                             token.put())) {
            TOKEN_PRIVILEGES privileges = {};
            privileges.PrivilegeCount = 1;
            privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
            if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
                AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
        }
        return ExitWindowsEx(flags, reason) != FALSE;
    }
};

WindowsRestart realRestart;
IRestartPort* installed = nullptr;

} // namespace

IRestartPort& RestartPort()
{
    return installed ? *installed : realRestart;
}

void InstallRestartPort(IRestartPort* port)
{
    installed = port;
}

} // namespace fw
