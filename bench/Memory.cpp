// Memory of HLMMain.exe while the user switches pages: the program is started once, the page
// buttons are clicked in turn (each click waits until the window is painted again), and the
// memory is read after the first switches, when every page has been made and shown once, and
// again after many more. What grows in between grows with use.
//
// What is read and how: bench/ProcessMemory.h.
//
//   bench_memory [--warmup N] [--switches N] [--every N] [--buttons 1000,1001,...]
//   defaults:     10           1000           100        1000,1001,1002,1004,1005
#include <windows.h>

#include "bench/BenchCommon.h"
#include "bench/ProcessMemory.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace hlmbench;

namespace {

// The goal: no more growth than this over the measured switches.
constexpr double kTargetGrowthBytes = 1024.0 * 1024.0;
constexpr DWORD kClickTimeoutMs = 10000;
constexpr DWORD kPaintTimeoutMs = 10000;
constexpr int kHomeButton = 1005;
constexpr int kInternetButton = 1002;

std::vector<int> ParseButtons(const wchar_t* list)
{
    std::vector<int> ids;
    for (const wchar_t* at = list; *at;) {
        wchar_t* end = nullptr;
        const long id = std::wcstol(at, &end, 10);
        if (end == at)
            return {};
        ids.push_back(static_cast<int>(id));
        at = *end == L',' ? end + 1 : end;
    }
    return ids;
}

bool Click(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    DWORD_PTR result = 0;
    if (!button ||
        !SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kClickTimeoutMs, &result)) {
        std::fprintf(stderr, "clicking button %d failed\n", id);
        return false;
    }
    if (!WaitUntilPainted(window, kPaintTimeoutMs)) {
        std::fprintf(stderr, "the window was not painted within %lu ms after button %d\n",
                     kPaintTimeoutMs, id);
        return false;
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int warmup = 10;
    int switches = 1000;
    int every = 100;
    std::vector<int> buttons = {1000, 1001, kInternetButton, 1004, kHomeButton};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (wcscmp(argv[i], L"--warmup") == 0)
            warmup = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--switches") == 0)
            switches = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--every") == 0)
            every = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--buttons") == 0)
            buttons = ParseButtons(argv[i + 1]);
    }
    if (warmup < 0 || switches < 1 || every < 1 || buttons.size() < 2) {
        std::fprintf(stderr, "usage: bench_memory [--warmup N] [--switches N] [--every N] "
                             "[--buttons 1000,1001,...]\n");
        return 2;
    }
    // The internet assistance button is shown in English only for the United States.
    SetUserGeoID(kNationUnitedStates);
    if (!NoMainWindowOpenOrSay(30000))
        return 2;

    hlmtest::Process process = hlmtest::Launch(hlmtest::BinDir() + L"\\HLMMain.exe");
    if (!process.Valid()) {
        std::fprintf(stderr, "HLMMain.exe did not start (error %lu)\n", GetLastError());
        return 1;
    }
    HWND window = WaitUntilShown(process, kMainClass, kMainTitle, 120000);
    if (!window || !WaitUntilPainted(window, 30000)) {
        std::fprintf(stderr, "HLMMain.exe showed no painted window\n");
        return 1;
    }
    for (int id : buttons) {
        if (!IsWindowVisible(GetDlgItem(window, id))) {
            std::fprintf(stderr, "button %d is not shown (nation %ld)\n", id,
                         static_cast<long>(GetUserGeoID(GEOCLASS_NATION)));
            PostMessageW(window, WM_CLOSE, 0, 0);
            process.WaitForExit(30000);
            return 1;
        }
    }

    std::printf("Memory of HLMMain.exe while switching pages: buttons");
    for (int id : buttons)
        std::printf(" %d", id);
    std::printf(" in turn, %d switches, then %d more\n", warmup, switches);

    const bool gdiTableUsable = CanCountGdi();
    Memory started;
    Memory warm;
    Memory last;
    ReadMemory(process.Handle(), gdiTableUsable, started);
    PrintMemory("started", 0, started);

    size_t next = 0;
    int done = 0;
    auto switchPages = [&](int count) {
        for (int i = 0; i < count; ++i, ++done) {
            if (!Click(window, buttons[next]))
                return false;
            next = (next + 1) % buttons.size();
        }
        return true;
    };

    bool ok = switchPages(warmup);
    if (ok) {
        ReadMemory(process.Handle(), gdiTableUsable, warm);
        PrintMemory("warm", done, warm);
    }
    const double start = NowMs();
    for (int measured = 0; ok && measured < switches;) {
        const int step = std::min(every, switches - measured);
        ok = switchPages(step);
        measured += step;
        if (ok) {
            ReadMemory(process.Handle(), gdiTableUsable, last);
            PrintMemory(measured == switches ? "end" : "", done, last);
        }
    }
    const double elapsed = NowMs() - start;

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(30000))
        std::fprintf(stderr, "HLMMain.exe did not end within 30 s of WM_CLOSE\n");
    if (!ok)
        return 1;

    const double growth =
        static_cast<double>(last.workingSet) - static_cast<double>(warm.workingSet);
    const double virtualGrowth =
        static_cast<double>(last.virtualSize) - static_cast<double>(warm.virtualSize);
    std::printf("\nworking set after %d switches %.0f KiB, after %d switches %.0f KiB\n", warmup,
                KiB(warm.workingSet), done, KiB(last.workingSet));
    std::printf("growth over %d switches: working set %+.0f KiB (%+.2f KiB per switch), virtual "
                "%+.0f KiB; %.1f ms per switch\n",
                switches, growth / 1024.0, growth / 1024.0 / switches, virtualGrowth / 1024.0,
                elapsed / switches);
    if (warm.pagefile || last.pagefile)
        std::printf("page file usage %+.0f KiB\n",
                    (static_cast<double>(last.pagefile) - static_cast<double>(warm.pagefile)) /
                        1024.0);
    if (warm.gdiObjects >= 0 && last.gdiObjects >= 0)
        std::printf("GDI objects after %d switches %ld, after %d switches %ld (%+ld)\n", warmup,
                    warm.gdiObjects, done, last.gdiObjects, last.gdiObjects - warm.gdiObjects);
    std::printf("target: growth within %.0f KiB: %s\n", kTargetGrowthBytes / 1024.0,
                growth <= kTargetGrowthBytes ? "met" : "NOT met");
    return 0;
}
