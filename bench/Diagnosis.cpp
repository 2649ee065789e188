// A full diagnosis (all four categories, Windows 7 library) as the user runs it, against the
// time its tests take when their exports are called directly, and the memory of the program
// over many diagnoses.
//
// The program is HLMMainBench.exe: HLMMain without the designed waits (the pause after every
// test, the second before the first), so what is left beyond the tests is the program's own
// work (loading the library, the worker, the messages, the progress popup, the result). The direct calls bind the same table through a task
// controller, call its exports in order with the same skip rule, and add up the calls alone.
// Both load the library anew for every diagnosis, as the program does.
//
//   bench_diagnosis [--runs N] [--diagnoses N] [--warmup N]
//   defaults:        5          50             5
// --runs: direct runs, and the diagnoses whose times are compared; --diagnoses: how many the
// program runs in all, for the memory after the first, after the warm-up and after the last.
//
// Under Wine the second and third diagnoses add about 2 MB once: the graphics stack keeps state
// for a new thread that probes Direct3D, and every diagnosis has a worker thread of its own. So
// the growth is also shown from the end of the warm-up on, as the page-switching benchmark
// measures it: that is what grows with use.
#include <windows.h>

#include "bench/BenchCommon.h"
#include "bench/ProcessMemory.h"
#include "console/TaskController.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cwchar>
#include <memory>
#include <vector>

using namespace hlmbench;

namespace {

constexpr double kTargetRatio = 1.2;
constexpr double kTargetGrowthBytes = 1024.0 * 1024.0;
constexpr int kWindows7 = 2;
constexpr wchar_t kProgram[] = L"HLMMainBench.exe";

constexpr int kTroubleshootButton = 1000;
constexpr int kPageTitle = 1034;
constexpr int kDiagnosisTab = 1021;
constexpr int kStart = 1022;
constexpr int kResultText = 1040;
constexpr DWORD kDiagnosisMs = 300000;

struct DirectRun {
    double callsMs = 0; // the export calls alone
    int tests = 0;      // calls made (the skip rule leaves some out)
    int problems = 0;
};

// One diagnosis without the program: a controller binds the table, the exports are called in
// table order, and a test that found a problem skips the later groups of its category (a test
// of group -1 never does), as the worker does.
bool RunDirect(DirectRun& run)
{
    std::unique_ptr<TaskController> controller(CreateTaskController(kWindows7));
    DiagSelection all;
    for (int32_t& flag : all.flags)
        flag = 1;
    if (!controller || controller->LoadTasks(all) != 1)
        return false;
    const fw::CArray<DiagTask> table = controller->CopyTaskTable();
    constexpr int32_t kNone = 9999;
    int32_t category = kNone;
    int32_t group = kNone;
    bool categoryClean = true;
    bool runGroup = true;
    for (int i = 0; i < table.GetSize(); ++i) {
        const DiagTask& task = table[i];
        if (task.category != category) {
            category = task.category;
            group = kNone;
            categoryClean = true;
        }
        if (task.group != group) {
            group = task.group;
            runGroup = categoryClean;
        }
        if (!runGroup || !task.testEntry)
            continue;
        TestResult result = task.result;
        const double started = NowMs();
        const bool clean = task.testEntry(&result);
        run.callsMs += NowMs() - started;
        ++run.tests;
        if (!clean) {
            ++run.problems;
            if (task.group != -1)
                categoryClean = false;
        }
    }
    return true;
}

HWND PageOf(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, kPageTitle))
            return child;
    return nullptr;
}

bool Click(HWND window, HWND button)
{
    DWORD_PTR result = 0;
    return button &&
           SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) &&
           WaitUntilPainted(window, 10000);
}

// The progress popup: a shown dialog of the program's other than the main window.
HWND FindPopup(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
         w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == process && w != window && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

struct ProgramRun {
    double totalMs = -1;    // [Start] until the page shows the result
    double popupMs = 0;     // until the progress popup is shown
    double afterPopupMs = 0; // from the popup's end until the result is shown
};

// [Start] with every category ticked (as the tree starts), until the page shows the result;
// totalMs stays negative when the diagnosis did not end.
ProgramRun RunInProgram(HWND window, HWND page)
{
    ProgramRun run;
    HWND result = GetDlgItem(page, kResultText);
    const double started = NowMs();
    if (!PostMessageW(GetDlgItem(page, kStart), BM_CLICK, 0, 0))
        return run;
    HWND popup = nullptr;
    double popupGone = 0;
    while (!IsWindowVisible(result)) {
        const double now = NowMs();
        if (now - started > kDiagnosisMs)
            return run;
        if (!popup && (popup = FindPopup(window)) != nullptr)
            run.popupMs = now - started;
        if (popup && !popupGone && !IsWindow(popup))
            popupGone = now;
        Sleep(1);
    }
    const double shown = NowMs();
    run.totalMs = shown - started;
    run.afterPopupMs = popupGone ? shown - popupGone : 0;
    // Back to the tree for the next one.
    if (!WaitUntilPainted(window, 10000) || !Click(window, GetDlgItem(page, kDiagnosisTab)))
        run.totalMs = -1;
    return run;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int runs = 5;
    int diagnoses = 50;
    int warmup = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (wcscmp(argv[i], L"--runs") == 0)
            runs = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--diagnoses") == 0)
            diagnoses = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--warmup") == 0)
            warmup = _wtoi(argv[i + 1]);
    }
    if (runs < 1 || diagnoses < 1 || warmup < 1) {
        std::fprintf(stderr, "usage: bench_diagnosis [--runs N] [--diagnoses N] [--warmup N]\n");
        return 2;
    }
    if (diagnoses < runs)
        diagnoses = runs;
    if (diagnoses < warmup)
        diagnoses = warmup;

    std::printf("A full diagnosis (display, sound, network, system; Windows 7 library)\n\n");
    std::printf("The exports called directly, %d runs:\n", runs);
    std::vector<double> direct;
    for (int i = 0; i < runs; ++i) {
        DirectRun run;
        if (!RunDirect(run)) {
            std::fprintf(stderr, "the diagnostic library did not load\n");
            return 1;
        }
        direct.push_back(run.callsMs);
        std::printf("  run %2d: %3d tests, %d found a problem, %8.1f ms in the tests\n", i + 1,
                    run.tests, run.problems, run.callsMs);
        std::fflush(stdout);
    }

    hlmtest::SetReportedGeneration(kProgram, hlmtest::WinGeneration::Win7);
    if (!NoMainWindowOpenOrSay(30000))
        return 2;
    hlmtest::Process process = hlmtest::Launch(hlmtest::BinDir() + L"\\" + kProgram);
    HWND window = process.Valid() ? WaitUntilShown(process, kMainClass, kMainTitle, 120000)
                                  : nullptr;
    if (!window || !WaitUntilPainted(window, 30000) ||
        !Click(window, GetDlgItem(window, kTroubleshootButton))) {
        std::fprintf(stderr, "%ls showed no troubleshooting page\n", kProgram);
        hlmtest::ClearReportedGeneration(kProgram);
        return 1;
    }
    HWND page = PageOf(window);
    if (!page || !Click(window, GetDlgItem(page, kDiagnosisTab))) {
        std::fprintf(stderr, "no diagnosis view\n");
        PostMessageW(window, WM_CLOSE, 0, 0);
        process.WaitForExit(30000);
        hlmtest::ClearReportedGeneration(kProgram);
        return 1;
    }

    std::printf("\nThe program without its designed waits, %d diagnoses:\n", diagnoses);
    const bool gdiTableUsable = CanCountGdi();
    Memory before;
    Memory first;
    Memory warm;
    Memory last;
    ReadMemory(process.Handle(), gdiTableUsable, before);
    PrintMemory("before", 0, before, "diagnoses");
    std::vector<double> program;
    bool ok = true;
    for (int i = 1; ok && i <= diagnoses; ++i) {
        const ProgramRun run = RunInProgram(window, page);
        const double ms = run.totalMs;
        ok = ms >= 0;
        if (!ok) {
            std::fprintf(stderr, "diagnosis %d did not end within %lu s\n", i, kDiagnosisMs / 1000);
            break;
        }
        if (i <= runs) {
            program.push_back(ms);
            std::printf("  diagnosis %2d: %8.1f ms (popup shown after %.1f ms, result %.1f ms "
                        "after it closed)\n",
                        i, ms, run.popupMs, run.afterPopupMs);
        }
        if (i == 1 || i == warmup || i == diagnoses || i <= 5 || i % 10 == 0) {
            ReadMemory(process.Handle(), gdiTableUsable, last);
            PrintMemory("after", i, last, "diagnoses");
            if (i == 1)
                first = last;
            if (i == warmup)
                warm = last;
        }
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(30000))
        std::fprintf(stderr, "%ls did not end within 30 s of WM_CLOSE\n", kProgram);
    hlmtest::ClearReportedGeneration(kProgram);
    if (!ok)
        return 1;

    const Summary d = Summarise(direct);
    const Summary p = Summarise(program);
    const double ratio = p.median / d.median;
    std::printf("\ntests called directly: median %.1f ms (%.1f - %.1f)\n", d.median, d.min, d.max);
    std::printf("diagnosis in the program: median %.1f ms (%.1f - %.1f)\n", p.median, p.min, p.max);
    std::printf("ratio %.3f; target at most %.1f: %s\n", ratio, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "NOT met");
    if (diagnoses > 1) {
        const double growth =
            static_cast<double>(last.workingSet) - static_cast<double>(first.workingSet);
        const double growthInUse =
            static_cast<double>(last.workingSet) - static_cast<double>(warm.workingSet);
        std::printf("working set after 1 diagnosis %.0f KiB, after %d %.0f KiB, after %d %.0f KiB "
                    "(%+.0f KiB from the first, %+.0f KiB from diagnosis %d: %+.1f KiB each)\n",
                    KiB(first.workingSet), warmup, KiB(warm.workingSet), diagnoses,
                    KiB(last.workingSet), growth / 1024.0, growthInUse / 1024.0, warmup,
                    diagnoses > warmup ? growthInUse / 1024.0 / (diagnoses - warmup) : 0.0);
        if (first.gdiObjects >= 0 && last.gdiObjects >= 0)
            std::printf("GDI objects after 1 diagnosis %ld, after %d %ld (%+ld)\n",
                        first.gdiObjects, diagnoses, last.gdiObjects,
                        last.gdiObjects - first.gdiObjects);
        std::printf("target: growth within %.0f KiB: from the first %s, after the warm-up %s\n",
                    kTargetGrowthBytes / 1024.0, growth <= kTargetGrowthBytes ? "met" : "NOT met",
                    growthInUse <= kTargetGrowthBytes ? "met" : "NOT met");
    }
    return 0;
}
