// Start time of HLMMain.exe against a bare dialog program of the same window size: from
// CreateProcess until the main window is shown, completely painted and its thread idle again.
// Both programs are started in turn (after one warm-up start each), so a load that comes and
// goes on the machine falls on both alike. Each run is closed with WM_CLOSE and waited for.
//
// The program now collects the machine's facts through WMI while its home page is made, which
// a bare dialog does not: its start goal is judged by bench_sysinfo, against the bare dialog
// plus the least a program needs to read the same WMI classes. This one shows the plain ratio.
//
//   bench_startup [--runs N]    (default 10)
#include <windows.h>

#include "bench/BareDialog.h"
#include "bench/BenchCommon.h"
#include "bench/StartTime.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cwchar>

using namespace hlmbench;

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
    if (!NoMainWindowOpenOrSay(30000))
        return 2;

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
    ReportStarts(helmora);
    ReportStarts(bare);
    std::printf("ratio HLMMain/bare (medians, to painted) %.2f (min %.2f); the start goal with "
                "the home page's WMI facts: bench_sysinfo\n",
                ratio, Summarise(helmora.ready).min / Summarise(bare.ready).min);
    return 0;
}
