// Start time of HLMMain.exe against a bare dialog program of the same window size: from
// CreateProcess until the main window is shown, completely painted and its thread idle again.
// Both programs are started in turn (after one warm-up start each), so a load that comes and
// goes on the machine falls on both alike. Each run is closed with WM_CLOSE and waited for.
//
//   bench_startup [--runs N]    (default 10)
#include <windows.h>

#include "bench/BareDialog.h"
#include "bench/BenchCommon.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace hlmbench;

namespace {

// The goal: HLMMain starts in at most this many times the bare dialog's time.
constexpr double kTargetRatio = 1.5;
constexpr DWORD kShowTimeoutMs = 120000; // a first start in a fresh prefix takes tens of seconds
constexpr DWORD kPaintTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;

struct Program {
    const wchar_t* exe;
    const wchar_t* className;
    const wchar_t* title;
    std::vector<double> shown;  // ms from CreateProcess to the visible window
    std::vector<double> ready;  // ms from CreateProcess to painted and idle
    std::vector<double> closed; // ms from WM_CLOSE to the process's end
};

bool StartOnce(Program& program, bool keep)
{
    const std::wstring path = hlmtest::BinDir() + L"\\" + program.exe;
    const double start = NowMs();
    hlmtest::Process process = hlmtest::Launch(path);
    if (!process.Valid()) {
        std::fprintf(stderr, "%ls did not start (error %lu)\n", program.exe, GetLastError());
        return false;
    }
    HWND window = WaitUntilShown(process, program.className, program.title, kShowTimeoutMs);
    if (!window) {
        std::fprintf(stderr, "%ls showed no window \"%ls\" (class %ls); exit code %lu\n",
                     program.exe, program.title, program.className, process.ExitCode());
        return false;
    }
    const double shown = NowMs() - start;
    if (!WaitUntilPainted(window, kPaintTimeoutMs)) {
        std::fprintf(stderr, "%ls: the window was not painted within %lu ms\n", program.exe,
                     kPaintTimeoutMs);
        return false;
    }
    const double ready = NowMs() - start;

    const double closing = NowMs();
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(kExitTimeoutMs)) {
        std::fprintf(stderr, "%ls did not end within %lu ms of WM_CLOSE\n", program.exe,
                     kExitTimeoutMs);
        return false;
    }
    const double closed = NowMs() - closing;
    if (keep) {
        program.shown.push_back(shown);
        program.ready.push_back(ready);
        program.closed.push_back(closed);
    }
    std::printf("  %-22ls %s  shown %7.1f  painted %7.1f  closed %6.1f ms\n", program.exe,
                keep ? "     " : "(warm)", shown, ready, closed);
    std::fflush(stdout);
    // Wine finishes a process's clean-up (its desktop and server objects) just after it ends.
    Sleep(200);
    return true;
}

void Report(const Program& program)
{
    const Summary ready = Summarise(program.ready);
    const Summary shown = Summarise(program.shown);
    const Summary closed = Summarise(program.closed);
    std::printf("%-22ls painted median %7.1f  min %7.1f  max %7.1f | shown median %7.1f | "
                "close median %6.1f ms\n",
                program.exe, ready.median, ready.min, ready.max, shown.median, closed.median);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int runs = 10;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"--runs") == 0 && i + 1 < argc)
            runs = _wtoi(argv[++i]);
    }
    if (runs < 1) {
        std::fprintf(stderr, "usage: bench_startup [--runs N]\n");
        return 2;
    }
    // As a user in the United States sees it: with the internet assistance button.
    SetUserGeoID(kNationUnitedStates);
    if (!NoMainWindowOpen(30000)) {
        std::fprintf(stderr, "an HLMMain window is open in this prefix (a UI test?); close it "
                             "first\n");
        return 2;
    }

    Program helmora = {L"HLMMain.exe", kMainClass, kMainTitle, {}, {}, {}};
    Program bare = {L"bench_bare_dialog.exe", BARE_DIALOG_CLASS, BARE_DIALOG_TITLE, {}, {}, {}};
    std::printf("Start time: %d runs of each program after one warm-up, in turn\n", runs);
    for (int i = 0; i <= runs; ++i) {
        if (!StartOnce(helmora, i > 0) || !StartOnce(bare, i > 0))
            return 1;
    }

    const double mainMedian = Summarise(helmora.ready).median;
    const double bareMedian = Summarise(bare.ready).median;
    const double ratio = bareMedian > 0 ? mainMedian / bareMedian : 0;
    std::printf("\n");
    Report(helmora);
    Report(bare);
    std::printf("ratio HLMMain/bare (medians, to painted) %.2f (min %.2f); target <= %.1f: %s\n",
                ratio, Summarise(helmora.ready).min / Summarise(bare.ready).min, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "NOT met");
    return 0;
}
