#pragma once
// The paging-file setting under "Memory Management". Not in the XP build, whose
// virtual-memory test reads the setting its own way.

#include "framework/Wnd.h"

#if HLM_DIAG_GENERATION != 5

enum PagingMode : int {
    kNoPagingFile = 0,
    kFixedPagingFile = 1,
    kSystemManagedPagingFile = 2,
};

class CVirtualMemInfo : public fw::CWnd {
  public:
    // The first "PagingFiles" entry: mode and sizes in MB. False when the key cannot be opened
    // (nothing is read then).
    bool Read(int* mode, int* initialMb, int* maximumMb);
    // Makes the paging file system-managed on any drive ("?:\pagefile.sys"). True when written.
    bool SetSystemManaged();
};

#endif
