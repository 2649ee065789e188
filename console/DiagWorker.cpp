#include "console/DiagWorker.h"

#include <cstdlib>
#include <ctime>

#include "framework/Handles.h"

namespace {

volatile LONG g_waitsEnabled = 1;

// A waiting worker looks at the run again at least this often.
constexpr DWORD kGateRecheckMs = 1000;

// Sits in the group and category bookkeeping as "none yet".
constexpr int32_t kNoneYet = 9999;

bool IsSampleTask(uint32_t taskId)
{
    return taskId == 1005 || taskId == 2005;
}

} // namespace

class DiagRun {
  public:
    DiagRun(DiagClassData& data, HMODULE library, bool startPaused)
        : tasks(data.taskTable), generation(data.tableGeneration), library(library),
          paused(startPaused), resumed(CreateEventW(nullptr, TRUE, !startPaused, nullptr)),
          stopped(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }

    void AddRef() { InterlockedIncrement(&refs_); }
    void Release()
    {
        if (InterlockedDecrement(&refs_) == 0)
            delete this;
    }

    // Only with the class lock held.
    bool Gone(const DiagClassData& data) const
    {
        return abandoned || generation != data.tableGeneration;
    }

    bool StopRequested() const { return InterlockedCompareExchange(&stopFlag, 0, 0) != 0; }

    // Waits (in bounded slices) for a resume or a stop.
    void WaitWhilePaused() const
    {
        HANDLE events[2] = {resumed.get(), stopped.get()};
        WaitForMultipleObjects(2, events, FALSE, kGateRecheckMs);
    }

    const fw::CArray<DiagTask> tasks; // the worker's own copy of the table
    const LONG generation;            // of the class table the copy was taken from
    const HMODULE library;            // the worker's reference, or null

    // Guarded by the class lock.
    bool paused;
    bool abandoned = false;

    mutable volatile LONG stopFlag = 0;
    fw::UniqueHandle resumed; // manual reset, set while not paused
    fw::UniqueHandle stopped; // manual reset, set once stop is requested

  private:
    ~DiagRun() = default;
    volatile LONG refs_ = 2; // the controller and the worker
};

namespace {

// The gate before a test: true when the test may start, false when the run is to end.
bool PassTestGate(DiagClassData& data, DiagRun& run)
{
    for (;;) {
        {
            DiagClassLock hold(data);
            if (run.Gone(data) || run.StopRequested())
                return false;
            if (!run.paused)
                return true;
        }
        run.WaitWhilePaused();
    }
}

// The gate before a post. A stop lets the last messages through even when paused: the page has
// left the run by then and ignores them. An abandoned run posts nothing.
void PostAtGate(DiagClassData& data, DiagRun& run, WPARAM code, bool finishing = false)
{
    for (;;) {
        {
            DiagClassLock hold(data);
            if (run.Gone(data))
                return;
            if (!run.paused || run.StopRequested()) {
                if (finishing)
                    data.runState = kRunFinished;
                // Without a window a post would land in this thread's own queue.
                if (data.notifyWindow)
                    PostMessageW(data.notifyWindow, WM_DIAG_NOTIFY, code, 0);
                return;
            }
        }
        run.WaitWhilePaused();
    }
}

// The record keeps a copy made by this module: the library's own string would need the library
// loaded when the record is released, and the records outlive it.
void StoreResult(DiagClassData& data, DiagRun& run, int index, const TestResult& found)
{
    DiagClassLock hold(data);
    if (run.Gone(data) || index >= data.taskTable.GetSize())
        return;
    TestResult& stored = data.taskTable[index].result;
    stored.categoryTag = found.categoryTag;
    stored.problemCode = found.problemCode;
    stored.problemFound = found.problemFound;
    stored.detail = fw::CSharedString(found.detail.c_str(), found.detail.GetLength());
    stored.detailValid = found.detailValid;
}

void PauseAfterStep(const DiagRun& run)
{
    if (InterlockedCompareExchange(&g_waitsEnabled, 0, 0) == 0)
        return;
    // A stop cuts the pause short; the entry is still reported before the run ends.
    WaitForSingleObject(run.stopped.get(), DiagStepPauseMs(rand()));
}

void RunSteps(DiagClassData& data, DiagRun& run)
{
    // The runtime keeps the random state per thread, so the window thread's seed does not
    // reach this one.
    srand(static_cast<unsigned>(time(nullptr)) ^ GetCurrentThreadId());

    int32_t currentCategory = kNoneYet;
    int32_t currentGroup = kNoneYet;
    bool runThisGroup = true;
    bool categoryClean = true;

    for (int i = 0; i < run.tasks.GetSize(); ++i) {
        if (run.StopRequested())
            break;
        const DiagTask& task = run.tasks[i];
        if (task.category != currentCategory) {
            currentCategory = task.category;
            currentGroup = kNoneYet;
            categoryClean = true;
            runThisGroup = true;
        }
        if (task.group != currentGroup) {
            currentGroup = task.group;
            runThisGroup = categoryClean;
        }

        const bool sample = IsSampleTask(task.taskId);
        if (sample)
            PostAtGate(data, run, DIAG_SAMPLE_BEGIN);
        // A missing export counts as a test that found nothing.
        if (runThisGroup && task.testEntry) {
            if (!PassTestGate(data, run)) {
                if (sample)
                    PostAtGate(data, run, DIAG_SAMPLE_END);
                break;
            }
            TestResult found = task.result;
            const bool clean = task.testEntry(&found);
            if (!clean && task.group != -1)
                categoryClean = false;
            StoreResult(data, run, i, found);
            // `found` may hold a string of the library; it goes here, while the library is
            // still loaded.
        }
        if (sample)
            PostAtGate(data, run, DIAG_SAMPLE_END);
        PauseAfterStep(run);
        PostAtGate(data, run, DIAG_STEP_DONE);
    }
    PostAtGate(data, run, DIAG_ALL_DONE, true);
}

} // namespace

DiagRun* CreateDiagRun(DiagClassData& data, HMODULE library, bool startPaused)
{
    DiagClassLock hold(data);
    return new DiagRun(data, library, startPaused);
}

void ReleaseUnstartedRun(DiagRun* run)
{
    if (run->library)
        FreeLibrary(run->library);
    run->Release();
}

void ReleaseDiagRun(DiagRun* run)
{
    if (run)
        run->Release();
}

DWORD RunDiagWorker(DiagClassData& data, DiagRun* run)
{
    const HMODULE library = run->library;
    RunSteps(data, *run);
    run->Release();
    // Our code lives in the program, not in the library, so the library can go with the last
    // thing this thread does.
    if (library)
        FreeLibraryAndExitThread(library, 1);
    return 1;
}

void PauseDiagRun(DiagClassData& data, DiagRun* run, bool pause)
{
    DiagClassLock hold(data);
    run->paused = pause;
    if (pause)
        ResetEvent(run->resumed.get());
    else
        SetEvent(run->resumed.get());
}

void RequestDiagStop(DiagClassData& data, DiagRun* run)
{
    DiagClassLock hold(data);
    InterlockedExchange(&run->stopFlag, 1);
    SetEvent(run->stopped.get());
    if (!run->Gone(data) && data.runState != kRunFinished)
        data.runState = kRunStopRequested;
}

void AbandonDiagRun(DiagClassData& data, DiagRun* run)
{
    DiagClassLock hold(data);
    run->abandoned = true;
}

DWORD DiagStepPauseMs(int randomValue)
{
    return static_cast<DWORD>(static_cast<unsigned>(randomValue) % 600u) + 400;
}

DWORD DiagStartDelayMs()
{
    return InterlockedCompareExchange(&g_waitsEnabled, 0, 0) ? 1000 : 0;
}

void SetDiagWaitsEnabled(bool enabled)
{
    InterlockedExchange(&g_waitsEnabled, enabled ? 1 : 0);
}
