#include "diaglib/ports/RealPorts.h"

bool diag::RealDisplayPort::CurrentMode(DEVMODEW* mode)
{
    return EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, mode) != FALSE;
}
