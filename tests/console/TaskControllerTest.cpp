// The task controllers and their worker, against the fake diagnostic library built beside this
// program under the real builds' names, and the BIOS stand-ins' firmware state in the registry.
#include "console/TaskController.h"
#include "standins/pavi/FirmwareState.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace hlmtest;

namespace {

// ---- the fake library, reached without a reference of our own ---------------------------------

const wchar_t* LibraryNameOf(int generation)
{
    return generation == 0   ? L"ProbixXp.dll"
           : generation == 2 ? L"ProbixWin7.dll"
                             : L"ProbixVista.dll";
}

std::wstring LibraryPathOf(int generation)
{
    return BinDir() + L"\\" + LibraryNameOf(generation);
}

// The fake as the controller loaded it. GetModuleHandle takes no reference, so the library
// goes when the controller and the worker let go of it.
struct FakeLibrary {
    explicit FakeLibrary(int generation)
    {
        module = GetModuleHandleW(LibraryPathOf(generation).c_str());
        if (!module)
            return;
        reset = Bind<void(__cdecl*)()>("FakeDiagReset");
        setFound = Bind<bool(__cdecl*)(const char*, const wchar_t*)>("FakeDiagSetFound");
        setHang = Bind<bool(__cdecl*)(const char*, DWORD)>("FakeDiagSetHang");
        release = Bind<void(__cdecl*)()>("FakeDiagReleaseHang");
        callCount = Bind<int(__cdecl*)()>("FakeDiagCallCount");
        callName = Bind<const char*(__cdecl*)(int)>("FakeDiagCallName");
        inside = Bind<int(__cdecl*)()>("FakeDiagInside");
        reset();
    }

    template <typename Fn> Fn Bind(const char* name)
    {
        return reinterpret_cast<Fn>(GetProcAddress(module, name));
    }

    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (int i = 0; i < callCount(); ++i)
            calls.push_back(callName(i));
        return calls;
    }

    HMODULE module = nullptr;
    void(__cdecl* reset)() = nullptr;
    bool(__cdecl* setFound)(const char*, const wchar_t*) = nullptr;
    bool(__cdecl* setHang)(const char*, DWORD) = nullptr;
    void(__cdecl* release)() = nullptr;
    int(__cdecl* callCount)() = nullptr;
    const char*(__cdecl* callName)(int) = nullptr;
    int(__cdecl* inside)() = nullptr;
};

bool LibraryLoaded(int generation)
{
    return GetModuleHandleW(LibraryPathOf(generation).c_str()) != nullptr;
}

// ---- messages ---------------------------------------------------------------------------------

std::vector<WPARAM> g_codes;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DIAG_NOTIFY) {
        g_codes.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Handles this thread's messages until `done` holds or `ms` have passed; false on time-out.
template <typename Done> bool PumpUntil(Done done, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (done())
            return true;
        if (GetTickCount() - start >= ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

bool AllDone()
{
    return !g_codes.empty() && g_codes.back() == DIAG_ALL_DONE;
}

std::unique_ptr<TaskController> MakeController(int generation)
{
    return std::unique_ptr<TaskController>(CreateTaskController(generation));
}

DiagSelection Select(bool display, bool sound, bool network, bool system)
{
    DiagSelection selection;
    selection.flags[0] = display;
    selection.flags[1] = sound;
    selection.flags[2] = network;
    selection.flags[3] = system;
    return selection;
}

std::vector<uint32_t> IdsOf(const fw::CArray<DiagTask>& tasks)
{
    std::vector<uint32_t> ids;
    for (const DiagTask& task : tasks)
        ids.push_back(task.taskId);
    return ids;
}

class TaskControllerTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        SetDiagWaitsEnabled(false);
        ClearFirmware();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"HlmDiagRecorder";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        g_codes.clear();
    }

    void TearDown() override
    {
        DestroyWindow(window_);
        ClearFirmware();
        SetDiagWaitsEnabled(true);
        // Every test leaves the fakes unloaded, so the next one starts from fresh answers.
        for (int generation : {0, 1, 2})
            EXPECT_TRUE(PumpUntil([&] { return !LibraryLoaded(generation); }, 5000)) << generation;
    }

    static void ClearFirmware()
    {
        DeleteRegTree(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, fw::RegView::Force64);
    }

    static void SetModel(const wchar_t* name)
    {
        ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, pavi_state::kModelName,
                                   name, fw::RegView::Force64));
    }

    // A controller with its table loaded and its messages going to this test's window.
    std::unique_ptr<TaskController> Load(int generation, DiagSelection selection)
    {
        auto controller = MakeController(generation);
        controller->SetTargetWindow(window_);
        EXPECT_EQ(controller->LoadTasks(selection), 1);
        return controller;
    }

    HWND window_ = nullptr;
};

// ---- model flags and keep rules --------------------------------------------------------------

TEST(ModelFlags, FollowTheFirstLettersInAnyCase)
{
    struct Case {
        const wchar_t* name;
        int notN;
        int dmu;
    } cases[] = {
        {L"NP300E5A", 0, 0}, {L"np300", 0, 0}, {L"DMU150", 1, 1}, {L"dmu150", 1, 1},
        {L"DmU", 1, 1},      {L"DM", 1, 0},    {L"DMX1", 1, 0},   {L"R580", 1, 0},
        {L"", 0, 0},         {nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        const DiagModelFlags flags = ModelFlagsOf(c.name);
        EXPECT_EQ(flags.modelNotN, c.notN) << (c.name ? c.name : L"(null)");
        EXPECT_EQ(flags.modelDmu, c.dmu) << (c.name ? c.name : L"(null)");
    }
}

TEST_F(TaskControllerTest, KeepRulesPerGenerationAndModel)
{
    struct Case {
        int generation;
        const wchar_t* model; // null: the BIOS interface fails to initialise
        DiagSelection selection;
        std::vector<uint32_t> ids;
    } cases[] = {
        // Windows 7, system only: 4006 always dropped, 4007 only for models not beginning with N.
        {2,
         L"NP300",
         Select(0, 0, 0, 1),
         {4000, 4001, 4002, 4003, 4004, 4005, 4007, 4008, 4009, 4010}},
        {2,
         L"np300",
         Select(0, 0, 0, 1),
         {4000, 4001, 4002, 4003, 4004, 4005, 4007, 4008, 4009, 4010}},
        {2, L"R580", Select(0, 0, 0, 1), {4000, 4001, 4002, 4003, 4004, 4005, 4008, 4009, 4010}},
        // XP network: DMU keeps 3002 and 3003, other non-N models lose them; 3005 never runs.
        {0, L"DMU150", Select(0, 0, 1, 0), {3000, 3001, 3002, 3003, 3004}},
        {0, L"dmu150", Select(0, 0, 1, 0), {3000, 3001, 3002, 3003, 3004}},
        {0, L"R580", Select(0, 0, 1, 0), {3000, 3001, 3004}},
        {0, L"NP300", Select(0, 0, 1, 0), {3000, 3001, 3002, 3003, 3004}},
        // An unreadable model drops nothing for the model.
        {0,
         nullptr,
         Select(0, 0, 1, 1),
         {3000, 3001, 3002, 3003, 3004, 4000, 4001, 4002, 4003, 4004, 4005, 4006, 4007, 4009,
          4010}},
        // Every category, in the order display, sound, network, system.
        {0, L"NP300", Select(1, 1, 1, 1), {1000, 1001, 1003, 1004, 1005, 2000, 2001, 2004,
                                           2005, 3000, 3001, 3002, 3003, 3004, 4000, 4001,
                                           4002, 4003, 4004, 4005, 4006, 4007, 4009, 4010}},
        {1, L"R580", Select(1, 1, 1, 1), {1000, 1001, 1002, 1003, 1004, 1005, 2000, 2001,
                                          2002, 2003, 2004, 2005, 3000, 3001, 3004, 4000,
                                          4001, 4002, 4003, 4004, 4005, 4008, 4009, 4010}},
        {2,
         L"DMU1",
         Select(0, 1, 1, 0),
         {2000, 2001, 2002, 2003, 2004, 2005, 3000, 3001, 3002, 3003, 3004}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "generation " << c.generation << " model "
                                        << (c.model ? c.model : L"(unreadable)"));
        ClearFirmware();
        if (c.model)
            SetModel(c.model);
        else
            ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath,
                                      pavi_state::kInitResult, 1, fw::RegView::Force64));
        auto controller = Load(c.generation, c.selection);
        const fw::CArray<DiagTask> table = controller->CopyTaskTable();
        EXPECT_EQ(IdsOf(table), c.ids);
        for (const DiagTask& task : table) {
            EXPECT_EQ(task.category, static_cast<int32_t>(task.taskId / 1000)) << task.taskId;
            EXPECT_TRUE(KeepsDiagTask(c.generation, task.taskId,
                                      {controller->ModelNotN(), controller->ModelDmu()}));
        }
    }
}

TEST_F(TaskControllerTest, GroupsFollowTheTable)
{
    auto controller = Load(2, Select(1, 0, 0, 1));
    struct Expected {
        uint32_t id;
        int32_t group;
    } expected[] = {{1000, 0}, {1001, 0},  {1002, 1},  {1003, 2}, {1004, 2},
                    {1005, 3}, {4000, -1}, {4008, -1}, {4009, 0}, {4010, 1}};
    const fw::CArray<DiagTask> table = controller->CopyTaskTable();
    for (const Expected& e : expected) {
        bool seen = false;
        for (const DiagTask& task : table) {
            if (task.taskId == e.id) {
                seen = true;
                EXPECT_EQ(task.group, e.group) << e.id;
                EXPECT_NE(task.testEntry, nullptr) << e.id;
            }
        }
        EXPECT_TRUE(seen) << e.id;
    }
}

// ---- the worker --------------------------------------------------------------------------------

TEST_F(TaskControllerTest, SkipRuleAndMessages)
{
    struct Case {
        const char* title;
        DiagSelection selection;
        std::vector<const char*> failing;
        std::vector<std::string> calls;
        std::vector<uint32_t> problems;
    } cases[] = {
        {"failed display driver skips later groups, not its own group",
         Select(1, 0, 0, 0),
         {"DllTestGraphicDrv"},
         {"DllTestGraphicDrv", "DllTestGraphicDeviceStatus"},
         {1000}},
        {"a failure in group 2 still runs the rest of group 2",
         Select(1, 0, 0, 0),
         {"DllTestGraphicResolution"},
         {"DllTestGraphicDrv", "DllTestGraphicDeviceStatus", "DllTestGraphicDWMService",
          "DllTestGraphicResolution", "DllTestGraphicColorbit"},
         {1003}},
        {"failed update-tool installation skips its configuration",
         Select(0, 0, 0, 1),
         {"DllTestSystemPTWInstalled"},
         {"DllTestSystemHddSpace", "DllTestSystemAntiVirusInstalled", "DllTestSystemFirewall",
          "DllTestSystemVirtualMemory", "DllTestSystemWindowsUpdate",
          "DllTestSystemTempInternetFile", "DllTestSystemDSVInstalled", "DllTestSystemSPVInstalled",
          "DllTestSystemPTWInstalled"},
         {4009}},
        {"independent tests stop nothing",
         Select(0, 0, 0, 1),
         {"DllTestSystemHddSpace", "DllTestSystemFirewall"},
         {"DllTestSystemHddSpace", "DllTestSystemAntiVirusInstalled", "DllTestSystemFirewall",
          "DllTestSystemVirtualMemory", "DllTestSystemWindowsUpdate",
          "DllTestSystemTempInternetFile", "DllTestSystemDSVInstalled", "DllTestSystemSPVInstalled",
          "DllTestSystemPTWInstalled", "DllTestSystemPTWConfig"},
         {4000, 4002}},
        {"each category starts clean",
         Select(1, 1, 0, 0),
         {"DllTestGraphicDrv", "DllTestSoundVolumelevel"},
         {"DllTestGraphicDrv", "DllTestGraphicDeviceStatus", "DllTestSoundDrv",
          "DllTestSoundDeviceStatus", "DllTestSoundService", "DllTestSoundOutputDevice",
          "DllTestSoundVolumelevel"},
         {1000, 2004}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ClearFirmware();
        SetModel(L"NP300");
        g_codes.clear();
        auto controller = Load(2, c.selection);
        {
            FakeLibrary fake(2);
            ASSERT_NE(fake.module, nullptr);
            for (const char* name : c.failing)
                ASSERT_TRUE(fake.setFound(name, L""));
            ASSERT_TRUE(controller->StartWorker());
            ASSERT_TRUE(PumpUntil(AllDone, 10000));
            EXPECT_EQ(fake.Calls(), c.calls);
        }
        EXPECT_EQ(IdsOf(controller->GetProblemTasks()), c.problems);

        // One step message per entry, samples bracketed even when skipped, one end message.
        std::vector<WPARAM> expected;
        for (const DiagTask& task : controller->CopyTaskTable()) {
            const bool sample = task.taskId == 1005 || task.taskId == 2005;
            if (sample)
                expected.push_back(DIAG_SAMPLE_BEGIN);
            if (sample)
                expected.push_back(DIAG_SAMPLE_END);
            expected.push_back(DIAG_STEP_DONE);
        }
        expected.push_back(DIAG_ALL_DONE);
        PumpFor(100);
        EXPECT_EQ(g_codes, expected);
    }
}

TEST_F(TaskControllerTest, EmptyTableGivesOnlyTheEndMessage)
{
    auto controller = Load(1, Select(0, 0, 0, 0));
    ASSERT_TRUE(controller->StartWorker());
    ASSERT_TRUE(PumpUntil(AllDone, 5000));
    PumpFor(100);
    EXPECT_EQ(g_codes, std::vector<WPARAM>{DIAG_ALL_DONE});
}

TEST_F(TaskControllerTest, SampleMessagesBracketTheSampleTest)
{
    auto controller = Load(1, Select(1, 0, 0, 0));
    FakeLibrary fake(1);
    ASSERT_TRUE(fake.setHang("DllTestGraphic3DsamplePlay", 10000));
    ASSERT_TRUE(controller->StartWorker());
    ASSERT_TRUE(
        PumpUntil([] { return !g_codes.empty() && g_codes.back() == DIAG_SAMPLE_BEGIN; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return fake.inside() == 1; }, 5000));
    PumpFor(100);
    EXPECT_EQ(g_codes.back(), static_cast<WPARAM>(DIAG_SAMPLE_BEGIN)); // not ended yet
    fake.release();
    ASSERT_TRUE(PumpUntil(AllDone, 5000));
    const std::vector<WPARAM> tail(g_codes.end() - 4, g_codes.end());
    EXPECT_EQ(tail, (std::vector<WPARAM>{DIAG_SAMPLE_BEGIN, DIAG_SAMPLE_END, DIAG_STEP_DONE,
                                         DIAG_ALL_DONE}));
}

TEST_F(TaskControllerTest, MissingExportCountsAsNothingFound)
{
    // The XP fake lacks DllTestGraphicDeviceStatus (1001).
    auto controller = Load(0, Select(1, 0, 0, 0));
    const fw::CArray<DiagTask> table = controller->CopyTaskTable();
    ASSERT_EQ(IdsOf(table), (std::vector<uint32_t>{1000, 1001, 1003, 1004, 1005}));
    EXPECT_EQ(table[1].testEntry, nullptr);
    FakeLibrary fake(0);
    ASSERT_TRUE(controller->StartWorker());
    ASSERT_TRUE(PumpUntil(AllDone, 5000));
    EXPECT_EQ(fake.Calls(),
              (std::vector<std::string>{"DllTestGraphicDrv", "DllTestGraphicResolution",
                                        "DllTestGraphicColorbit", "DllTestGraphic3DsamplePlay"}));
    EXPECT_EQ(std::count(g_codes.begin(), g_codes.end(), DIAG_STEP_DONE), 5);
    EXPECT_TRUE(controller->GetProblemTasks().IsEmpty());
}

TEST_F(TaskControllerTest, StopBetweenTestsEndsBeforeTheNextTest)
{
    auto controller = Load(2, Select(1, 0, 0, 0));
    FakeLibrary fake(2);
    // The running test comes back by itself after 300 ms, well inside the stop's wait.
    ASSERT_TRUE(fake.setHang("DllTestGraphicDeviceStatus", 300));
    ASSERT_TRUE(controller->StartWorker());
    ASSERT_TRUE(PumpUntil([&] { return fake.inside() == 1; }, 5000));
    const DWORD start = GetTickCount();
    controller->StopWorker();
    EXPECT_LT(GetTickCount() - start, 1500u);
    EXPECT_EQ(fake.Calls(),
              (std::vector<std::string>{"DllTestGraphicDrv", "DllTestGraphicDeviceStatus"}));
    ASSERT_TRUE(PumpUntil(AllDone, 2000));
    PumpFor(100);
    EXPECT_EQ(g_codes, (std::vector<WPARAM>{DIAG_STEP_DONE, DIAG_STEP_DONE, DIAG_ALL_DONE}));
}

TEST_F(TaskControllerTest, PausedWorkerStartsNothingAndPostsNothing)
{
    auto controller = Load(2, Select(1, 0, 0, 0));
    FakeLibrary fake(2);
    ASSERT_TRUE(fake.setHang("DllTestGraphicDeviceStatus", 10000));
    ASSERT_TRUE(controller->StartWorker());
    ASSERT_TRUE(PumpUntil([&] { return fake.inside() == 1; }, 5000));
    PumpFor(50);
    controller->PauseWorker(true);
    PumpFor(50);
    const std::vector<WPARAM> atPause = g_codes;
    EXPECT_EQ(atPause, std::vector<WPARAM>{DIAG_STEP_DONE});
    // The test in progress completes, but neither its report nor a next test follows while
    // paused.
    fake.release();
    ASSERT_TRUE(PumpUntil([&] { return fake.inside() == 0; }, 5000));
    PumpFor(400);
    EXPECT_EQ(g_codes, atPause);
    EXPECT_EQ(fake.callCount(), 2);

    controller->PauseWorker(false);
    ASSERT_TRUE(PumpUntil(AllDone, 5000));
    EXPECT_EQ(fake.callCount(), 6);
    EXPECT_EQ(std::count(g_codes.begin(), g_codes.end(), DIAG_STEP_DONE), 6);
}

TEST_F(TaskControllerTest, PauseBeforeStartHoldsTheFirstTest)
{
    auto controller = Load(2, Select(0, 0, 0, 1));
    FakeLibrary fake(2);
    controller->PauseWorker(true);
    ASSERT_TRUE(controller->StartWorker());
    PumpFor(300);
    EXPECT_EQ(fake.callCount(), 0);
    EXPECT_TRUE(g_codes.empty());
    controller->PauseWorker(false);
    ASSERT_TRUE(PumpUntil(AllDone, 5000));
    EXPECT_EQ(fake.callCount(), 10);
}

TEST_F(TaskControllerTest, StopOfAHungTestAbandonsTheWorkerAndKeepsTheLibrary)
{
    auto controller = Load(2, Select(1, 0, 0, 0));
    {
        FakeLibrary fake(2);
        ASSERT_TRUE(fake.setHang("DllTestGraphicDeviceStatus", 20000));
        ASSERT_TRUE(fake.setFound("DllTestGraphicDeviceStatus", L"PCI\\VEN_10DE"));
        ASSERT_TRUE(controller->StartWorker());
        ASSERT_TRUE(PumpUntil([&] { return fake.inside() == 1; }, 5000));
    }
    const DWORD start = GetTickCount();
    controller->StopWorker();
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 1900u);
    EXPECT_LT(waited, 2500u);
    PumpFor(50);
    const std::vector<WPARAM> atStop = g_codes;

    controller.reset();
    // The worker is still inside the library: it must still be there.
    ASSERT_TRUE(LibraryLoaded(2));
    FakeLibrary fake(2);
    EXPECT_EQ(fake.inside(), 1);
    fake.release();
    // Once the worker has left the test it lets the library go, and reports nothing more.
    EXPECT_TRUE(PumpUntil([] { return !LibraryLoaded(2); }, 5000));
    PumpFor(200);
    EXPECT_EQ(g_codes, atStop);

    // The abandoned test's answer did not reach the table.
    DiagClassData& data = TaskControllerWin7::ClassData();
    DiagClassLock hold(data);
    ASSERT_EQ(data.taskTable.GetSize(), 6);
    EXPECT_EQ(data.taskTable[1].result.problemFound, 0);
}

TEST_F(TaskControllerTest, PauseResumeAndStopBeforeStartAndAfterEndAreHarmless)
{
    {
        auto controller = Load(2, Select(1, 0, 0, 0));
        controller->PauseWorker(true);
        controller->PauseWorker(false);
        controller->StopWorker();
        EXPECT_FALSE(controller->StartWorker()); // stopped before it started
        PumpFor(200);
        EXPECT_TRUE(g_codes.empty());
    }
    {
        auto controller = MakeController(1); // nothing loaded at all
        controller->PauseWorker(true);
        controller->StopWorker();
        controller->PauseWorker(false);
    }
    {
        auto controller = Load(2, Select(1, 0, 0, 0));
        ASSERT_TRUE(controller->StartWorker());
        EXPECT_FALSE(controller->StartWorker()); // one worker per controller
        ASSERT_TRUE(PumpUntil(AllDone, 5000));
        const DWORD start = GetTickCount();
        controller->PauseWorker(true);
        controller->PauseWorker(false);
        controller->StopWorker();
        controller->StopWorker();
        EXPECT_LT(GetTickCount() - start, 500u);
        PumpFor(100);
        EXPECT_EQ(std::count(g_codes.begin(), g_codes.end(), DIAG_ALL_DONE), 1);
    }
}

TEST_F(TaskControllerTest, ProblemRecordsOutliveTheLibrary)
{
    fw::CArray<DiagTask> problems;
    {
        auto controller = Load(2, Select(0, 0, 0, 1));
        FakeLibrary fake(2);
        ASSERT_TRUE(fake.setFound("DllTestSystemFirewall", L"MpsSvc"));
        ASSERT_TRUE(controller->StartWorker());
        ASSERT_TRUE(PumpUntil(AllDone, 5000));
        problems = controller->GetProblemTasks();
    }
    ASSERT_TRUE(PumpUntil([] { return !LibraryLoaded(2); }, 5000));
    ASSERT_EQ(problems.GetSize(), 1);
    EXPECT_EQ(problems[0].taskId, 4002u);
    EXPECT_EQ(problems[0].result.problemFound, 1);
    EXPECT_EQ(problems[0].result.detailValid, 1);
    // The string is the program's own: reading and releasing it needs no library.
    EXPECT_EQ(problems[0].result.detail, L"MpsSvc");
    problems.RemoveAll();
}

TEST_F(TaskControllerTest, DeletingTheControllerDuringARunStopsTheWorker)
{
    auto controller = Load(2, Select(1, 1, 0, 0));
    {
        FakeLibrary fake(2);
        ASSERT_TRUE(fake.setHang("DllTestGraphicDeviceStatus", 300));
        ASSERT_TRUE(controller->StartWorker());
        ASSERT_TRUE(PumpUntil([&] { return fake.inside() == 1; }, 5000));
        // The table may be read at any time.
        EXPECT_TRUE(controller->GetProblemTasks().IsEmpty());
    }
    controller.reset();
    EXPECT_TRUE(PumpUntil([] { return !LibraryLoaded(2); }, 5000));
}

TEST(StepPause, StaysBetween400And999)
{
    EXPECT_EQ(DiagStepPauseMs(0), 400u);
    EXPECT_EQ(DiagStepPauseMs(599), 999u);
    EXPECT_EQ(DiagStepPauseMs(600), 400u);
    for (int r = 0; r <= 32767; ++r) {
        const DWORD ms = DiagStepPauseMs(r);
        ASSERT_GE(ms, 400u);
        ASSERT_LE(ms, 999u);
    }
}

TEST_F(TaskControllerTest, ShippedPauseSpacesTheSteps)
{
    SetDiagWaitsEnabled(true);
    auto controller = Load(2, Select(1, 0, 0, 0)); // six entries
    const DWORD start = GetTickCount();
    ASSERT_TRUE(controller->StartWorker());
    ASSERT_TRUE(PumpUntil(AllDone, 15000));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 6 * 400u - 50);
    EXPECT_LE(elapsed, 6 * 1000u + 1000);
}

} // namespace
