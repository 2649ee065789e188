#pragma once
// The worker thread of a diagnosis and what it shares with the window thread.
//
// The worker runs the table on a copy of its own and writes each test's result back into the
// class's table under the class lock. Pause is a gate the worker passes before a test starts
// and before each message it posts, so a paused worker starts nothing and reports nothing; it is
// never suspended at an arbitrary point. Stop is a request the worker sees between tests. A
// worker that does not come back from a hung test in time is abandoned, never terminated: from
// then on it touches neither the table nor the window, and it keeps the diagnostic library
// loaded through a reference of its own until it has left the test.

#include <windows.h>

#include "console/DiagTask.h"
#include "framework/Array.h"

enum DiagRunState : LONG {
    kRunIdle = 0,
    kRunRunning = 1,
    kRunStopRequested = 2,
    kRunFinished = 4,
};

// What every controller of one class shares: the task table, which outlives the controller
// until the next one of the class is built, the run state and the window the worker posts to.
// Made on first use and never destroyed: an abandoned worker may still reach the lock while the
// program exits.
struct DiagClassData {
    DiagClassData() { InitializeCriticalSection(&lock); }
    DiagClassData(const DiagClassData&) = delete;
    DiagClassData& operator=(const DiagClassData&) = delete;

    fw::CArray<DiagTask> taskTable;
    LONG runState = kRunIdle;
    HWND notifyWindow = nullptr;
    // Changes whenever the table is cleared, so that the worker of an earlier run can tell the
    // table is no longer its own.
    LONG tableGeneration = 0;
    // Guards everything above once a worker exists, and orders every post against pause.
    CRITICAL_SECTION lock;
};

class DiagClassLock {
  public:
    explicit DiagClassLock(DiagClassData& data) : lock_(data.lock) { EnterCriticalSection(&lock_); }
    ~DiagClassLock() { LeaveCriticalSection(&lock_); }
    DiagClassLock(const DiagClassLock&) = delete;
    DiagClassLock& operator=(const DiagClassLock&) = delete;

  private:
    CRITICAL_SECTION& lock_;
};

// One started run, shared by the controller and its worker; the last one to let go frees it.
class DiagRun;

// A run over a copy of the class's current table. `library` is the worker's own reference to
// the diagnostic library (may be null): the worker frees it when it ends; if the thread is never
// started, the caller frees it with ReleaseUnstartedRun. Returned with one reference (the
// caller's) plus one for the worker.
DiagRun* CreateDiagRun(DiagClassData& data, HMODULE library, bool startPaused);
// For a run whose thread could not be started: drops the worker's reference and library.
void ReleaseUnstartedRun(DiagRun* run);
void ReleaseDiagRun(DiagRun* run);

// The body of every class's DiagWorkerProc. Ends the thread with FreeLibraryAndExitThread when
// the run holds a library reference; exit code 1.
DWORD RunDiagWorker(DiagClassData& data, DiagRun* run);

// Window-thread side. All of them are harmless after the worker has ended.
void PauseDiagRun(DiagClassData& data, DiagRun* run, bool pause);
void RequestDiagStop(DiagClassData& data, DiagRun* run);
// After a stop that timed out: the worker must not write or post anything any more.
void AbandonDiagRun(DiagClassData& data, DiagRun* run);

// The pause after every entry, 400-999 ms, from a value of rand().
DWORD DiagStepPauseMs(int randomValue);
// How long the page shows the progress popup before it starts the worker: 1000 ms.
DWORD DiagStartDelayMs();
// Test hook, never called by the program: false makes the designed waits of a diagnosis zero,
// the pause after every entry and the start delay.
void SetDiagWaitsEnabled(bool enabled);
