// TavDLL's collectors as HLMMain runs them for the home page, timed: every collector in
// HLMMain's order, then CleanUpWMI. The library is linked through its import library, as
// HLMMain links it; this program does nothing else, so started on its own it shows what the
// collection costs a whole process.
//
//   bench_tavdll [--runs N] [--drivers]   (default: 1 run of the collectors)
//
// Every run after the first reconnects, as the collectors do after CleanUpWMI; the first run of
// a process is the cold one (COM, its security and the library's first connection). With
// --drivers the runs time DLLDriverInfo instead. Prints, for the benchmark to read:
//   step <run> <export> <ms> 0
//   run <run> <ms>
#include <windows.h>

#include "sysinfo/TavDLL.h"

#include <cstdio>
#include <cwchar>

namespace {

double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// Calls the export and prints its time; the results stay in the library.
template <typename Export> void Step(int run, const char* name, Export call)
{
    const double started = NowMs();
    call();
    std::printf("step %d %s %.3f 0\n", run, name, NowMs() - started);
}

void Collect(int run)
{
    Step(run, "DLLSetUserDate", DLLSetUserDate);
    Step(run, "DLLSetSerialNumber", DLLSetSerialNumber);
    Step(run, "DLLSetHddInfo", DLLSetHddInfo);
    Step(run, "DLLSetRamInfo", DLLSetRamInfo);
    Step(run, "DLLSetBiosInfo", DLLSetBiosInfo);
    Step(run, "DLLSetCpuInfo", DLLSetCpuInfo);
    Step(run, "DLLSetODDInfo", DLLSetODDInfo);
    Step(run, "DLLSetOSInfo", DLLSetOSInfo);
    Step(run, "DLLSetGFXInfo", DLLSetGFXInfo);
    Step(run, "CleanUpWMI", CleanUpWMI);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int runs = 1;
    bool drivers = false;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"--runs") == 0 && i + 1 < argc)
            runs = _wtoi(argv[++i]);
        else if (wcscmp(argv[i], L"--drivers") == 0)
            drivers = true;
        else
            runs = 0;
    }
    if (runs < 1) {
        std::fprintf(stderr, "usage: bench_tavdll [--runs N] [--drivers]\n");
        return 2;
    }
    for (int run = 1; run <= runs; ++run) {
        const double started = NowMs();
        if (drivers)
            Step(run, "DLLDriverInfo", DLLDriverInfo);
        else
            Collect(run);
        std::printf("run %d %.3f\n", run, NowMs() - started);
        std::fflush(stdout);
    }
    return 0;
}
