#include "sysinfo/TavDLL.h"

#include "sysinfo/WmiConnection.h"

namespace tav {

WmiConnection& Wmi()
{
    static WmiConnection connection;
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
