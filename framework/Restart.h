#pragma once
// Restarting Windows, behind a port: the one real implementation enables the shutdown
// privilege and reboots at once. Tests install a recording fake, because under Wine a real
// restart ends every process of the prefix, the test runner's included.

#include <windows.h>

namespace fw {

class IRestartPort {
  public:
    virtual ~IRestartPort() = default;
    // Reboots with `flags` (EWX_*) and `reason` (SHTDN_REASON_*); false when Windows refused.
    virtual bool RestartWindows(UINT flags, DWORD reason) = 0;
};

// The port in use: the real one unless a test installed another.
IRestartPort& RestartPort();
// For tests: installs `port` (not owned); nullptr puts the real one back.
void InstallRestartPort(IRestartPort* port);

} // namespace fw
