#pragma once
// The one WMI connection of the library, opened by the first collector that needs it and
// closed by CleanUpWMI.

#include <wbemidl.h>

#include "framework/Handles.h"

namespace tav {

struct WmiConnection {
    fw::ComPtr<IWbemLocator> locator;
    fw::ComPtr<IWbemServices> services;
    bool connected = false;
};

WmiConnection& Wmi();

} // namespace tav
