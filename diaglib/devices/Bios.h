#pragma once
// The notebook firmware, reached through the BIOS interface library this DLL imports.

#include <windows.h>

#include "shell/outside/OutsideApi.h"

namespace diag {

// Initialises the BIOS interface and sends `command` with byte 0 of the buffer set to
// `argument`. `answer` receives the whole buffer. `initialised` tells whether the interface
// said it was ready (the callers trace it but go on). Returns whether the call succeeded.
bool CallBios(int command, BYTE argument, BYTE (&answer)[kPaviBufferSize], bool& initialised);

} // namespace diag
