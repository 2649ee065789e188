#pragma once
// Starting a window program as a user does and timing it: from CreateProcess until its window
// is shown, until it is completely painted with its thread idle again, and from WM_CLOSE until
// the process has ended. Shared by the benchmarks that compare start times.

#include <windows.h>

#include "bench/BenchCommon.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace hlmbench {

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

// One start of the program from the bin folder, closed again with WM_CLOSE and waited for.
// With `keep` the times are added to the program's series; a warm-up start only prints them.
inline bool StartOnce(Program& program, bool keep)
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

inline void ReportStarts(const Program& program)
{
    const Summary ready = Summarise(program.ready);
    const Summary shown = Summarise(program.shown);
    const Summary closed = Summarise(program.closed);
    std::printf("%-22ls painted median %7.1f  min %7.1f  max %7.1f | shown median %7.1f | "
                "close median %6.1f ms\n",
                program.exe, ready.median, ready.min, ready.max, shown.median, closed.median);
}

} // namespace hlmbench
