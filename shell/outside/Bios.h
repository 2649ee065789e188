#pragma once
// The program's way to the notebook firmware: the BIOS interface library of the running
// Windows generation (PAVI3.dll on Windows 7, PAVI2.dll otherwise), loaded from the program's
// folder for one use and freed when the session ends.

#include <windows.h>

#include "framework/Handles.h"
#include "shell/outside/OutsideApi.h"

class CBiosSession {
  public:
    // Loads the library for `osGeneration` (2 is Windows 7) and initialises the interface.
    explicit CBiosSession(int osGeneration);

    // False when the library could not be loaded (traced); every call then answers nothing.
    bool Loaded() const { return library_.IsValid(); }
    // Whether InitBIOSInterface answered 0 (a failure is traced). Model and battery readers
    // give up without it; the radio and restore callers go on regardless.
    bool Ready() const { return ready_; }

    // The model name (at most 9 characters, always terminated); empty when unavailable.
    void ReadModelName(wchar_t (&name)[kPaviModelNameCapacity]) const;
    // Sends `command` with byte 0 of the buffer set to `argument`; true on success (result 0
    // and byte 0 not 0xFF), with the answer in `answer`.
    bool Call(int command, unsigned char argument, unsigned char (&answer)[kPaviBufferSize]) const;

  private:
    fw::UniqueModule library_;
    bool windows7_;
    bool ready_ = false;
};
