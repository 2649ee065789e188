#include "sysinfo/TavDLL.h"

#include "sysinfo/WmiConnection.h"

namespace tav {

namespace {
// One per loaded library; the collectors run on the program's window thread only.
WmiConnection connection;
} // namespace

WmiConnection& Wmi()
{
    return connection;
}

} // namespace tav

void __stdcall CleanUpWMI()
{
    tav::WmiConnection& wmi = tav::Wmi();
    if (!wmi.connected)
        return;
    wmi.services.reset();
    wmi.locator.reset();
    wmi.connected = false;
}
