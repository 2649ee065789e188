#pragma once
// The task controllers: one per Windows generation, each loading the diagnostic library build
// of its generation, building the table of tests to run and running it on a worker thread
// (console/DiagWorker.h) that reports to the troubleshooting page by posted WM_DIAG_NOTIFY.
//
// The page makes one controller per diagnosis: construct, SetTargetWindow, LoadTasks,
// StartWorker; GetProblemTasks after DIAG_ALL_DONE; delete. Pause, resume and stop may come at
// any point of that, before the worker started and after it ended included.

#include <windows.h>

#include <cstdint>

#include "console/DiagTask.h"
#include "console/DiagWorker.h"
#include "framework/Array.h"
#include "framework/Handles.h"

// What the model name says about the tests to run.
struct DiagModelFlags {
    int32_t modelNotN = 0; // the name was read and does not begin with 'N' or 'n'
    int32_t modelDmu = 0;  // the name begins with "DMU", any case
};

// The flags for a name read from the BIOS; null or empty counts as unreadable.
DiagModelFlags ModelFlagsOf(const wchar_t* modelName);
// Reads the model name through the BIOS interface library of `osGeneration` (PAVI3 for 2,
// PAVI2 otherwise). A missing or failing library gives both flags 0, like an 'N' model, so no
// test is dropped for want of a name. The troubleshooting page reads its flags here too, so its
// rows match the table.
DiagModelFlags ReadModelFlags(int osGeneration);
// Whether the controller of `osGeneration` (0 XP, 1 Vista, 2 Windows 7) runs task `taskId`.
bool KeepsDiagTask(int osGeneration, uint32_t taskId, const DiagModelFlags& flags);

class TaskController {
  public:
    TaskController(const TaskController&) = delete;
    TaskController& operator=(const TaskController&) = delete;

    // Stops a worker that is still running (as StopWorker does) and frees the library; the
    // worker keeps a reference of its own for as long as it is inside it.
    virtual ~TaskController();
    // selection: display, sound, network, system. 1 when the table was built, 0 when the
    // library could not be loaded (reported in a box) or the tasks were already loaded.
    virtual int LoadTasks(DiagSelection selection) = 0;
    // False when a worker was already started, a stop came first, or no thread could be made.
    virtual bool StartWorker() = 0;
    // Copies of the records whose test found a problem (problemFound 1), in table order. Their
    // testEntry is only valid while this controller lives.
    virtual fw::CArray<DiagTask> GetProblemTasks() = 0;
    virtual void AddDisplayTasks() = 0;
    virtual void AddSoundTasks() = 0;
    virtual void AddNetworkTasks() = 0;
    virtual void AddSystemTasks() = 0;
    // Asks the worker to stop and waits at most 2000 ms for it. A worker still inside a test
    // then is left to finish it on its own and reports nothing more.
    virtual void StopWorker() = 0;
    // Code 105: true pauses (no further test starts, no further message is posted), false
    // resumes. Before the worker starts it decides whether the worker starts paused.
    virtual void PauseWorker(bool pause) = 0;
    // The whole table as it stands, for the page's rows and for tests.
    virtual fw::CArray<DiagTask> CopyTaskTable() = 0;

    void SetTargetWindow(HWND window) { targetWindow_ = window; }
    int32_t ModelNotN() const { return modelNotN_; }
    int32_t ModelDmu() const { return modelDmu_; }

  protected:
    TaskController() = default;

    HMODULE libraryHandle_ = nullptr;
    fw::UniqueHandle workerThread_;
    HWND targetWindow_ = nullptr;
    int32_t modelNotN_ = 0;
    int32_t modelDmu_ = 0;
};

// What the three controllers share; they differ in the generation, and with it the library,
// the BIOS library and the keep rules, and in their class-wide data.
class GenerationTaskController : public TaskController {
  public:
    ~GenerationTaskController() override;

    int LoadTasks(DiagSelection selection) override;
    bool StartWorker() override;
    fw::CArray<DiagTask> GetProblemTasks() override;
    void AddDisplayTasks() override;
    void AddSoundTasks() override;
    void AddNetworkTasks() override;
    void AddSystemTasks() override;
    void StopWorker() override;
    void PauseWorker(bool pause) override;
    fw::CArray<DiagTask> CopyTaskTable() override;

  protected:
    GenerationTaskController(int osGeneration, const wchar_t* libraryName, DiagClassData& data,
                             LPTHREAD_START_ROUTINE workerProc);

  private:
    void AddTasks(int32_t category);
    // Stop request, bounded wait, abandon on time-out; shared by StopWorker and the destructor.
    void StopRun();

    const int osGeneration_;
    const wchar_t* const libraryName_;
    DiagClassData& data_;
    const LPTHREAD_START_ROUTINE workerProc_;
    DiagRun* run_ = nullptr;
    bool pauseRequested_ = false;
    bool stopRequested_ = false;
};

class TaskControllerXp final : public GenerationTaskController {
  public:
    TaskControllerXp();
    static DWORD WINAPI DiagWorkerProc(LPVOID run);
    // The class-wide task table, run state and notify window.
    static DiagClassData& ClassData();
};

class TaskControllerVista final : public GenerationTaskController {
  public:
    TaskControllerVista();
    static DWORD WINAPI DiagWorkerProc(LPVOID run);
    static DiagClassData& ClassData();
};

class TaskControllerWin7 final : public GenerationTaskController {
  public:
    TaskControllerWin7();
    static DWORD WINAPI DiagWorkerProc(LPVOID run);
    static DiagClassData& ClassData();
};

// The controller for GetOSGeneration's answer; the caller deletes it.
TaskController* CreateTaskController(int osGeneration);
