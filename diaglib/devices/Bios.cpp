#include "diaglib/devices/Bios.h"

namespace diag {

bool CallBios(int command, BYTE argument, BYTE (&answer)[kPaviBufferSize], bool& initialised)
{
    initialised = InitBIOSInterface() == 0;
    ZeroMemory(answer, sizeof(answer));
    answer[0] = argument;
    return CallBIOSInterface(command, answer) == 0 && answer[0] != kPaviAnswerFailed;
}

} // namespace diag
