#pragma once
// A display whose current mode the test sets.

#include "diaglib/ports/Ports.h"

class FakeDisplay : public diag::IDisplayPort {
  public:
    bool readable = true;
    DWORD width = 1280;
    DWORD height = 800;
    DWORD bitsPerPixel = 32;

    bool CurrentMode(DEVMODEW* mode) override
    {
        if (!readable)
            return false;
        mode->dmPelsWidth = width;
        mode->dmPelsHeight = height;
        mode->dmBitsPerPel = bitsPerPixel;
        mode->dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        return true;
    }
};
