#include "console/TaskController.h"

#include <cstdlib>
#include <ctime>

#include "framework/SharedString.h"
#include "shell/ProgramPaths.h"
#include "shell/outside/Bios.h"

namespace {

// How a generation treats a task.
enum Keep : uint8_t {
    kKept,
    kDropped,
    kRuleA, // kept unless the model is not an 'N' and not a DMU
    kRuleB, // kept unless the model is not an 'N'
};

struct TaskRow {
    uint32_t taskId;
    int32_t category;
    int32_t group;
    const char* exportName;
    Keep keep[3]; // XP, Vista, Windows 7
};

// Every test of the library, in id order within each category.
constexpr TaskRow kTaskRows[] = {
    {1000, kDiagDisplay, 0, "DllTestGraphicDrv", {kKept, kKept, kKept}},
    {1001, kDiagDisplay, 0, "DllTestGraphicDeviceStatus", {kKept, kKept, kKept}},
    {1002, kDiagDisplay, 1, "DllTestGraphicDWMService", {kDropped, kKept, kKept}},
    {1003, kDiagDisplay, 2, "DllTestGraphicResolution", {kKept, kKept, kKept}},
    {1004, kDiagDisplay, 2, "DllTestGraphicColorbit", {kKept, kKept, kKept}},
    {1005, kDiagDisplay, 3, "DllTestGraphic3DsamplePlay", {kKept, kKept, kKept}},
    {2000, kDiagSound, 0, "DllTestSoundDrv", {kKept, kKept, kKept}},
    {2001, kDiagSound, 0, "DllTestSoundDeviceStatus", {kKept, kKept, kKept}},
    {2002, kDiagSound, 1, "DllTestSoundService", {kDropped, kKept, kKept}},
    {2003, kDiagSound, 2, "DllTestSoundOutputDevice", {kDropped, kKept, kKept}},
    {2004, kDiagSound, 3, "DllTestSoundVolumelevel", {kKept, kKept, kKept}},
    {2005, kDiagSound, 4, "DllTestSoundSamplePlay", {kKept, kKept, kKept}},
    {3000, kDiagNetwork, 0, "DllTestNetworkDrv", {kKept, kKept, kKept}},
    {3001, kDiagNetwork, 0, "DllTestNetworkDeviceStatus", {kKept, kKept, kKept}},
    {3002, kDiagNetwork, 1, "DllTestNetworkConfig", {kRuleA, kRuleA, kRuleA}},
    {3003, kDiagNetwork, 1, "DllTestNetworkService", {kRuleA, kRuleA, kRuleA}},
    {3004, kDiagNetwork, 1, "DllTestNetworkPhysicalConnection", {kKept, kKept, kKept}},
    {3005, kDiagNetwork, 2, "DllTestNetworkPacketTransition", {kDropped, kDropped, kDropped}},
    {4000, kDiagSystem, -1, "DllTestSystemHddSpace", {kKept, kKept, kKept}},
    {4001, kDiagSystem, -1, "DllTestSystemAntiVirusInstalled", {kKept, kKept, kKept}},
    {4002, kDiagSystem, -1, "DllTestSystemFirewall", {kKept, kKept, kKept}},
    {4003, kDiagSystem, -1, "DllTestSystemVirtualMemory", {kKept, kKept, kKept}},
    {4004, kDiagSystem, -1, "DllTestSystemWindowsUpdate", {kKept, kKept, kKept}},
    {4005, kDiagSystem, -1, "DllTestSystemTempInternetFile", {kKept, kKept, kKept}},
    {4006, kDiagSystem, -1, "DllTestSystemKYVInstalled", {kKept, kDropped, kDropped}},
    {4007, kDiagSystem, -1, "DllTestSystemDSVInstalled", {kRuleB, kRuleB, kRuleB}},
    {4008, kDiagSystem, -1, "DllTestSystemSPVInstalled", {kDropped, kKept, kKept}},
    {4009, kDiagSystem, 0, "DllTestSystemPTWInstalled", {kKept, kKept, kKept}},
    {4010, kDiagSystem, 1, "DllTestSystemPTWConfig", {kKept, kKept, kKept}},
};

int GenerationColumn(int osGeneration)
{
    return osGeneration <= 0 ? 0 : (osGeneration == 2 ? 2 : 1);
}

bool Keeps(Keep keep, const DiagModelFlags& flags)
{
    switch (keep) {
    case kKept:
        return true;
    case kRuleA:
        return !(flags.modelNotN == 1 && flags.modelDmu == 0);
    case kRuleB:
        return flags.modelNotN != 1;
    case kDropped:
        break;
    }
    return false;
}

const TaskRow* FindRow(uint32_t taskId)
{
    for (const TaskRow& row : kTaskRows) {
        if (row.taskId == taskId)
            return &row;
    }
    return nullptr;
}

bool Is(wchar_t ch, wchar_t upper)
{
    return ch == upper || ch == upper - L'A' + L'a';
}

// How long the window thread waits for a worker asked to stop.
constexpr DWORD kStopWaitMs = 2000;

} // namespace

DiagModelFlags ModelFlagsOf(const wchar_t* modelName)
{
    DiagModelFlags flags;
    if (!modelName || modelName[0] == L'\0')
        return flags;
    flags.modelDmu = Is(modelName[0], L'D') && Is(modelName[1], L'M') && Is(modelName[2], L'U');
    flags.modelNotN = !Is(modelName[0], L'N');
    return flags;
}

DiagModelFlags ReadModelFlags(int osGeneration)
{
    // The session traces a missing library and a failed initialisation; the name is then empty.
    CBiosSession bios(osGeneration);
    wchar_t name[kPaviModelNameCapacity];
    bios.ReadModelName(name);
    return ModelFlagsOf(name);
}

bool KeepsDiagTask(int osGeneration, uint32_t taskId, const DiagModelFlags& flags)
{
    const TaskRow* row = FindRow(taskId);
    return row && Keeps(row->keep[GenerationColumn(osGeneration)], flags);
}

TaskController::~TaskController() = default;

GenerationTaskController::GenerationTaskController(int osGeneration, const wchar_t* libraryName,
                                                   DiagClassData& data,
                                                   LPTHREAD_START_ROUTINE workerProc)
    : osGeneration_(osGeneration), libraryName_(libraryName), data_(data), workerProc_(workerProc)
{
    {
        DiagClassLock hold(data_);
        data_.taskTable.RemoveAll();
        ++data_.tableGeneration;
        data_.runState = kRunIdle;
    }
    srand(static_cast<unsigned>(time(nullptr)));
}

GenerationTaskController::~GenerationTaskController()
{
    // The page may delete the controller while the worker still runs (the progress popup can
    // end early); the worker must then stop before the library goes.
    if (run_) {
        StopRun();
        ReleaseDiagRun(run_);
    }
    if (libraryHandle_)
        FreeLibrary(libraryHandle_);
}

int GenerationTaskController::LoadTasks(DiagSelection selection)
{
    if (libraryHandle_ || run_)
        return 0;
    {
        DiagClassLock hold(data_);
        data_.runState = kRunRunning;
    }
    libraryHandle_ = LoadLibraryBesideProgram(libraryName_);
    if (!libraryHandle_) {
        fw::CSharedString text;
        text.Format(L"Can not load Diagnostic Dll err:%d", static_cast<int>(GetLastError()));
        MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK);
        return 0;
    }
    const DiagModelFlags flags = ReadModelFlags(osGeneration_);
    modelNotN_ = flags.modelNotN;
    modelDmu_ = flags.modelDmu;

    if (selection.flags[0])
        AddDisplayTasks();
    if (selection.flags[1])
        AddSoundTasks();
    if (selection.flags[2])
        AddNetworkTasks();
    if (selection.flags[3])
        AddSystemTasks();
    return 1;
}

void GenerationTaskController::AddTasks(int32_t category)
{
    const DiagModelFlags flags = {modelNotN_, modelDmu_};
    for (const TaskRow& row : kTaskRows) {
        if (row.category != category)
            continue;
        DiagTask task;
        task.taskId = row.taskId;
        task.category = row.category;
        task.group = row.group;
        // Bound before the keep decision, as for every row; null when the library lacks it.
        task.testEntry =
            reinterpret_cast<DiagExport>(GetProcAddress(libraryHandle_, row.exportName));
        if (!Keeps(row.keep[GenerationColumn(osGeneration_)], flags))
            continue;
        DiagClassLock hold(data_);
        data_.taskTable.Add(task);
    }
}

void GenerationTaskController::AddDisplayTasks()
{
    AddTasks(kDiagDisplay);
}

void GenerationTaskController::AddSoundTasks()
{
    AddTasks(kDiagSound);
}

void GenerationTaskController::AddNetworkTasks()
{
    AddTasks(kDiagNetwork);
}

void GenerationTaskController::AddSystemTasks()
{
    AddTasks(kDiagSystem);
}

bool GenerationTaskController::StartWorker()
{
    if (run_ || stopRequested_)
        return false;

    // The worker's own reference: it keeps the library loaded for as long as the worker may be
    // inside it, even after this controller is gone.
    HMODULE workerLibrary = nullptr;
    if (libraryHandle_ &&
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(libraryHandle_), &workerLibrary)) {
        return false;
    }
    {
        DiagClassLock hold(data_);
        data_.notifyWindow = targetWindow_;
        data_.runState = kRunRunning;
    }
    DiagRun* run = CreateDiagRun(data_, workerLibrary, pauseRequested_);
    HANDLE thread = CreateThread(nullptr, 0, workerProc_, run, 0, nullptr);
    if (!thread) {
        ReleaseUnstartedRun(run);
        ReleaseDiagRun(run);
        DiagClassLock hold(data_);
        data_.runState = kRunIdle;
        return false;
    }
    workerThread_.reset(thread);
    run_ = run;
    return true;
}

fw::CArray<DiagTask> GenerationTaskController::GetProblemTasks()
{
    fw::CArray<DiagTask> problems;
    DiagClassLock hold(data_);
    for (const DiagTask& task : data_.taskTable) {
        if (task.result.problemFound == 1)
            problems.Add(task);
    }
    return problems;
}

fw::CArray<DiagTask> GenerationTaskController::CopyTaskTable()
{
    DiagClassLock hold(data_);
    return data_.taskTable;
}

void GenerationTaskController::StopWorker()
{
    StopRun();
}

void GenerationTaskController::StopRun()
{
    stopRequested_ = true;
    if (!run_) {
        // Before the start: the worker will not be started at all.
        DiagClassLock hold(data_);
        if (data_.runState != kRunFinished)
            data_.runState = kRunStopRequested;
        return;
    }
    RequestDiagStop(data_, run_);
    if (WaitForSingleObject(workerThread_.get(), kStopWaitMs) != WAIT_OBJECT_0) {
        // Still inside a test. Terminating it could leave a lock of the library or of the
        // runtime held for good; instead it is left to come back on its own and from now on
        // neither writes the table nor posts.
        OutputDebugStringW(L"TaskController::StopWorker - worker abandoned inside a test");
        AbandonDiagRun(data_, run_);
    }
}

void GenerationTaskController::PauseWorker(bool pause)
{
    pauseRequested_ = pause;
    if (run_)
        PauseDiagRun(data_, run_, pause);
}

TaskControllerXp::TaskControllerXp()
    : GenerationTaskController(0, L"ProbixXp.dll", ClassData(), &DiagWorkerProc)
{
}

DWORD WINAPI TaskControllerXp::DiagWorkerProc(LPVOID run)
{
    return RunDiagWorker(ClassData(), static_cast<DiagRun*>(run));
}

DiagClassData& TaskControllerXp::ClassData()
{
    static DiagClassData* data = new DiagClassData;
    return *data;
}

TaskControllerVista::TaskControllerVista()
    : GenerationTaskController(1, L"ProbixVista.dll", ClassData(), &DiagWorkerProc)
{
}

DWORD WINAPI TaskControllerVista::DiagWorkerProc(LPVOID run)
{
    return RunDiagWorker(ClassData(), static_cast<DiagRun*>(run));
}

DiagClassData& TaskControllerVista::ClassData()
{
    static DiagClassData* data = new DiagClassData;
    return *data;
}

TaskControllerWin7::TaskControllerWin7()
    : GenerationTaskController(2, L"ProbixWin7.dll", ClassData(), &DiagWorkerProc)
{
}

DWORD WINAPI TaskControllerWin7::DiagWorkerProc(LPVOID run)
{
    return RunDiagWorker(ClassData(), static_cast<DiagRun*>(run));
}

DiagClassData& TaskControllerWin7::ClassData()
{
    static DiagClassData* data = new DiagClassData;
    return *data;
}

TaskController* CreateTaskController(int osGeneration)
{
    switch (osGeneration) {
    case 0:
        return new TaskControllerXp;
    case 2:
        return new TaskControllerWin7;
    default:
        return new TaskControllerVista;
    }
}
