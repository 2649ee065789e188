#pragma once
// One diagnosis task and the message the worker reports its progress with.

#include <windows.h>

#include <cstdint>

#include "diaglib/exports/TestResult.h"

// One test of the diagnostic library as the console runs it. Copied by value; the string inside
// the result is reference counted.
struct DiagTask {
    uint32_t taskId = 0;            // 1000-1005 display, 2000-2005 sound, 3000-3005 network,
                                    // 4000-4010 system
    int32_t category = 0;           // 1 display, 2 sound, 3 network, 4 system
    int32_t group = 0;              // dependency group inside the category; -1 independent
    TestResult result;              // what the test found
    DiagExport testEntry = nullptr; // the bound export; only valid while the library is loaded
};

// The categories, also the order of the selection flags handed to LoadTasks.
enum DiagCategory : int32_t {
    kDiagDisplay = 1,
    kDiagSound = 2,
    kDiagNetwork = 3,
    kDiagSystem = 4,
};

// Which categories to run, in the order display, sound, network, system; nonzero = run it.
struct DiagSelection {
    int32_t flags[4] = {0, 0, 0, 0};
};

// The console's private message. The code is in wParam; lParam is 0 unless said otherwise.
constexpr UINT WM_DIAG_NOTIFY = WM_USER + 19;

enum DiagNotifyCode : WPARAM {
    DIAG_CANCEL_CONFIRMED = 100, // progress popup -> page: stop the run
    DIAG_PAUSE_WORKER = 105,     // progress popup -> page: lParam 0 pause, 1 resume
    DIAG_SAMPLE_BEGIN = 700,     // worker: a sample-playing test (1005, 2005) comes next
    DIAG_SAMPLE_END = 701,       // worker: the sample-playing test is over (or was skipped)
    DIAG_STEP_DONE = 909,        // worker: one table entry done, skipped ones included
    DIAG_ALL_DONE = 999,         // worker: the run is over
};
