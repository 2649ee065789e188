// What collecting the system facts costs: TavDLL's collectors (bench_tavdll.exe) against the
// least a program can do to read the same WMI classes (bench_wmi_floor.exe) and against Wine's
// wmic run once per class, as a user or a script would; DLLDriverInfo; and HLMMain's start to
// its painted home page, which runs the collectors, against the bare dialog plus the floor.
//
// Everything runs in turn in one prefix with one wineserver, one round after another (the
// first round is a warm-up and not counted), so a load that comes and goes falls on all alike:
//   - whole processes: from CreateProcess to the end of the process (for HLMMain and the bare
//     dialog: to the window shown, completely painted and idle again);
//   - in the process: the programs time their own runs. The first run of a process is the cold
//     one (COM, its security, the first connection), taken from the whole-process starts; the
//     later runs of a process are the warm ones (connecting again after CleanUpWMI), from a
//     process of each per round.
//
//   bench_sysinfo [--runs N] [--warm N] [--calls N]
//   defaults:      10         3          20
// --runs: rounds; --warm: warm runs of the collectors and of the floor in each round; --calls:
// runs of DLLDriverInfo in one process, after the rounds.
#include <windows.h>

#include "bench/BareDialog.h"
#include "bench/BenchCommon.h"
#include "bench/StartTime.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

using namespace hlmbench;

namespace {

// The goals, as ratios of medians.
constexpr double kTargetVsWmic = 0.2;
constexpr double kTargetVsFloor = 1.1;
constexpr double kTargetStart = 1.2;

constexpr wchar_t kCollector[] = L"bench_tavdll.exe";
constexpr wchar_t kFloor[] = L"bench_wmi_floor.exe";
constexpr DWORD kConsoleTimeoutMs = 120000;

// The classes TavDLL reads, each asked of wmic by a process of its own for the properties
// TavDLL reads of it. Wine's wmic wants the properties named ("get *" is an invalid query), and
// Wine's Win32_ComputerSystem has no OEMStringArray, so the computer system is asked for what
// it has. The processor is only read on Windows 6 and later, as TavDLL does.
struct WmicClass {
    const wchar_t* name;
    const wchar_t* properties;
    bool windows6Only;
};
constexpr WmicClass kWmicClasses[] = {
    {L"Win32_BIOS", L"Manufacturer,SMBIOSBIOSVersion,SerialNumber", false},
    {L"Win32_ComputerSystem", L"Manufacturer,Model", false},
    {L"Win32_LogicalDisk", L"DeviceID,DriveType,Size", false},
    {L"Win32_PhysicalMemory", L"Capacity", false},
    {L"Win32_CDROMDrive", L"Name", false},
    {L"Win32_OperatingSystem", L"Caption,OSArchitecture", false},
    {L"Win32_Processor", L"Name", true},
    {L"Win32_VideoController", L"AdapterCompatibility,Availability,Name,DriverVersion,PNPDeviceID",
     false},
};

// What a timed console program printed: its runs ("run <n> <ms>") and the parts of each
// ("step <n> <what> <ms> <rows>"), the parts in the order first seen.
struct Timings {
    std::vector<double> runs;
    std::vector<std::string> stepOrder;
    std::map<std::string, std::vector<double>> coldSteps; // run 1
    std::map<std::string, std::vector<double>> warmSteps; // runs 2..
    std::map<std::string, int> rows;
};

void ParseLine(const std::string& line, Timings& timings)
{
    int run = 0;
    double ms = 0;
    if (std::sscanf(line.c_str(), "run %d %lf", &run, &ms) == 2) {
        timings.runs.push_back(ms);
        return;
    }
    if (line.compare(0, 5, "step ") != 0)
        return;
    // The name may hold spaces (a WQL text): the run number is the first word, the time and
    // the row count the last two.
    const size_t afterStep = 5;
    const size_t afterRun = line.find(' ', afterStep);
    const size_t beforeRows = line.rfind(' ');
    if (afterRun == std::string::npos || beforeRows == std::string::npos || beforeRows <= afterRun)
        return;
    const size_t beforeMs = line.rfind(' ', beforeRows - 1);
    if (beforeMs == std::string::npos || beforeMs <= afterRun)
        return;
    run = std::atoi(line.c_str() + afterStep);
    ms = std::atof(line.c_str() + beforeMs + 1);
    const std::string name = line.substr(afterRun + 1, beforeMs - afterRun - 1);
    if (!timings.rows.count(name))
        timings.stepOrder.push_back(name);
    timings.rows[name] = std::atoi(line.c_str() + beforeRows + 1);
    (run >= 2 ? timings.warmSteps : timings.coldSteps)[name].push_back(ms);
}

Timings Parse(const std::string& output)
{
    Timings timings;
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        if (end == std::string::npos)
            end = output.size();
        std::string line = output.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ParseLine(line, timings);
        at = end + 1;
    }
    return timings;
}

// Runs a console program to its end; `wallMs` from CreateProcess until it has ended.
bool RunConsole(const std::wstring& program, const std::wstring& arguments, double& wallMs,
                std::string& output, DWORD& exitCode)
{
    hlmtest::LaunchOptions options;
    options.arguments = arguments;
    const double started = NowMs();
    const bool ended =
        hlmtest::RunAndCapture(program, options, kConsoleTimeoutMs, output, exitCode);
    wallMs = NowMs() - started;
    if (!ended)
        std::fprintf(stderr, "%ls %ls did not end within %lu s\n", program.c_str(),
                     arguments.c_str(), kConsoleTimeoutMs / 1000);
    return ended;
}

// One of our timing programs started for a single run: the whole process and the run it timed.
struct ConsoleSeries {
    const wchar_t* exe;
    std::vector<double> process;
    std::vector<double> firstRun;
    Timings parts; // the parts of every counted first run, in coldSteps
};

bool TimeProcess(ConsoleSeries& series, bool keep)
{
    double wall = 0;
    std::string output;
    DWORD exitCode = 0;
    if (!RunConsole(hlmtest::BinDir() + L"\\" + series.exe, L"--runs 1", wall, output, exitCode))
        return false;
    const Timings timings = Parse(output);
    if (exitCode != 0 || timings.runs.size() != 1) {
        std::fprintf(stderr, "%ls failed (exit code %lu):\n%s\n", series.exe, exitCode,
                     output.c_str());
        return false;
    }
    if (keep) {
        series.process.push_back(wall);
        series.firstRun.push_back(timings.runs[0]);
        for (const std::string& name : timings.stepOrder) {
            if (!series.parts.rows.count(name))
                series.parts.stepOrder.push_back(name);
            series.parts.rows[name] = timings.rows.at(name);
            const std::vector<double>& ms = timings.coldSteps.at(name);
            series.parts.coldSteps[name].insert(series.parts.coldSteps[name].end(), ms.begin(),
                                                ms.end());
        }
    }
    std::printf("  %-22ls %s  process %7.1f  its run %7.1f ms\n", series.exe,
                keep ? "     " : "(warm)", wall, timings.runs[0]);
    std::fflush(stdout);
    return true;
}

std::wstring WmicPath()
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\wbem\\wmic.exe";
}

// Every class through its own wmic process; `total` is the sum of their times.
bool TimeWmic(bool windows6, std::vector<std::vector<double>>& perClass, std::vector<double>& total,
              bool keep)
{
    const std::wstring wmic = WmicPath();
    if (GetFileAttributesW(wmic.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "no %ls\n", wmic.c_str());
        return false;
    }
    double sum = 0;
    for (size_t i = 0; i < sizeof(kWmicClasses) / sizeof(kWmicClasses[0]); ++i) {
        const WmicClass& wmiClass = kWmicClasses[i];
        if (wmiClass.windows6Only && !windows6)
            continue;
        double wall = 0;
        std::string output;
        DWORD exitCode = 0;
        // A class without instances (Wine has no optical drive) prints nothing and ends with
        // 255, as it does for a user.
        if (!RunConsole(wmic,
                        std::wstring(L"path ") + wmiClass.name + L" get " + wmiClass.properties,
                        wall, output, exitCode))
            return false;
        if (keep)
            perClass[i].push_back(wall);
        else
            std::printf("  wmic %-27ls (warm)  process %7.1f ms, exit code %lu, %zu bytes out\n",
                        wmiClass.name, wall, exitCode, output.size());
        sum += wall;
    }
    if (keep)
        total.push_back(sum);
    std::printf("  %-22s %s  process %7.1f ms, all classes\n", "wmic.exe",
                keep ? "     " : "(warm)", sum);
    std::fflush(stdout);
    return true;
}

// A long process of the program: --calls runs, their own times.
bool TimeInProcess(const wchar_t* exe, const std::wstring& arguments, Timings& timings)
{
    double wall = 0;
    std::string output;
    DWORD exitCode = 0;
    if (!RunConsole(hlmtest::BinDir() + L"\\" + exe, arguments, wall, output, exitCode))
        return false;
    timings = Parse(output);
    if (exitCode != 0 || timings.runs.empty()) {
        std::fprintf(stderr, "%ls %ls failed (exit code %lu):\n%s\n", exe, arguments.c_str(),
                     exitCode, output.c_str());
        return false;
    }
    return true;
}

std::vector<double> Warm(const Timings& timings)
{
    return std::vector<double>(timings.runs.begin() + 1, timings.runs.end());
}

// The warm runs of one process of the program, `warmRuns` after its cold first: added to
// `all`, their median to `perRound`.
bool TimeWarm(const wchar_t* exe, int warmRuns, Timings& all, std::vector<double>& perRound,
              bool keep)
{
    Timings timings;
    if (!TimeInProcess(exe, L"--runs " + std::to_wstring(warmRuns + 1), timings))
        return false;
    const std::vector<double> warm = Warm(timings);
    if (keep) {
        all.runs.insert(all.runs.end(), warm.begin(), warm.end());
        for (const std::string& name : timings.stepOrder) {
            if (!all.rows.count(name))
                all.stepOrder.push_back(name);
            all.rows[name] = timings.rows[name];
            const std::vector<double>& ms = timings.warmSteps[name];
            all.warmSteps[name].insert(all.warmSteps[name].end(), ms.begin(), ms.end());
        }
        perRound.push_back(Summarise(warm).median);
    }
    std::printf("  %-22ls %s  %d warm runs in one process: median %7.1f ms\n", exe,
                keep ? "     " : "(warm)", warmRuns, Summarise(warm).median);
    std::fflush(stdout);
    return true;
}

void Row(const char* what, const std::vector<double>& values)
{
    const Summary s = Summarise(values);
    std::printf("  %-52s %9.1f %9.1f %9.1f %5zu\n", what, s.median, s.min, s.max, values.size());
}

// The ratio of the medians decides; the median of the ratios within each round is shown beside
// it, as a load that changes between rounds moves it less.
void Ratio(const char* what, double ofMedians, const std::vector<double>& perRound, double target)
{
    std::printf("  %-52s %8.3f %8.3f  <= %.2f  %s\n", what, ofMedians, Summarise(perRound).median,
                target, ofMedians <= target ? "met" : "NOT met");
}

// a[i] / (b[i] + c[i]) for every round; c may be empty.
std::vector<double> PerRound(const std::vector<double>& a, const std::vector<double>& b,
                             const std::vector<double>& c = {})
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        ratios.push_back(a[i] / (b[i] + (i < c.size() ? c[i] : 0.0)));
    return ratios;
}

double Median(const std::vector<double>& values)
{
    return Summarise(values).median;
}

double Divide(double a, double b)
{
    return b > 0 ? a / b : 0;
}

bool IsWindows6OrLater()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion >= 6;
}

// The parts side by side: TavDLL's exports, and the floor's connection and queries. The
// connection is part of TavDLL's first collector.
void PrintParts(const char* which, Timings& collector, Timings& floor, bool cold)
{
    std::printf("\n parts, %s (medians, ms): TavDLL exports | floor (rows)\n", which);
    const size_t parts = collector.stepOrder.size() > floor.stepOrder.size()
                             ? collector.stepOrder.size()
                             : floor.stepOrder.size();
    for (size_t i = 0; i < parts; ++i) {
        if (i < collector.stepOrder.size()) {
            const std::string& name = collector.stepOrder[i];
            std::printf("  %-20s %8.2f | ", name.c_str(),
                        Median(cold ? collector.coldSteps[name] : collector.warmSteps[name]));
        } else {
            std::printf("  %-20s %8s | ", "", "");
        }
        if (i < floor.stepOrder.size()) {
            const std::string& name = floor.stepOrder[i];
            std::printf("%-38s %8.2f (%d)", name.c_str(),
                        Median(cold ? floor.coldSteps[name] : floor.warmSteps[name]),
                        floor.rows[name]);
        }
        std::printf("\n");
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int runs = 10;
    int warmRuns = 3;
    int calls = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (wcscmp(argv[i], L"--runs") == 0)
            runs = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--warm") == 0)
            warmRuns = _wtoi(argv[i + 1]);
        else if (wcscmp(argv[i], L"--calls") == 0)
            calls = _wtoi(argv[i + 1]);
    }
    if (runs < 1 || warmRuns < 1 || calls < 2) {
        std::fprintf(stderr, "usage: bench_sysinfo [--runs N] [--warm N] [--calls N (at least "
                             "2)]\n");
        return 2;
    }
    // As a user in the United States sees it, as the start-time benchmark does.
    SetUserGeoID(kNationUnitedStates);
    if (!NoMainWindowOpenOrSay(30000))
        return 2;

    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    const bool windows6 = IsWindows6OrLater();
    wchar_t display[64] = L"";
    const bool hasDisplay = GetEnvironmentVariableW(L"DISPLAY", display, 64) > 0;
    std::printf("System information: TavDLL's collectors, the WMI floor, wmic, DLLDriverInfo and "
                "HLMMain's start\n");
    std::printf("Windows %lu.%lu as reported; DISPLAY %ls (Win32_VideoController costs far more "
                "with a display)\n",
                version.dwMajorVersion, version.dwMinorVersion, hasDisplay ? display : L"not set");
    std::printf("%d rounds after one warm-up round (each: the programs started once, %d warm "
                "runs of the collectors and of the floor); then DLLDriverInfo %d times\n\n",
                runs, warmRuns, calls);

    Program helmora = {L"HLMMain.exe", kMainClass, kMainTitle, {}, {}, {}};
    Program bare = {L"bench_bare_dialog.exe", BARE_DIALOG_CLASS, BARE_DIALOG_TITLE, {}, {}, {}};
    ConsoleSeries collector = {kCollector, {}, {}, {}};
    ConsoleSeries floor = {kFloor, {}, {}, {}};
    const size_t classCount = sizeof(kWmicClasses) / sizeof(kWmicClasses[0]);
    std::vector<std::vector<double>> wmicPerClass(classCount);
    std::vector<double> wmicTotal;
    Timings collectorRuns; // the warm runs of every round
    Timings floorRuns;
    std::vector<double> collectorWarm; // their median in each round
    std::vector<double> floorWarm;
    for (int i = 0; i <= runs; ++i) {
        const bool keep = i > 0;
        if (!StartOnce(helmora, keep) || !StartOnce(bare, keep) || !TimeProcess(floor, keep) ||
            !TimeProcess(collector, keep) ||
            !TimeWarm(kFloor, warmRuns, floorRuns, floorWarm, keep) ||
            !TimeWarm(kCollector, warmRuns, collectorRuns, collectorWarm, keep) ||
            !TimeWmic(windows6, wmicPerClass, wmicTotal, keep))
            return 1;
    }

    Timings driverRuns;
    if (!TimeInProcess(kCollector, L"--runs " + std::to_wstring(calls) + L" --drivers", driverRuns))
        return 1;

    std::printf("\n  %-52s %9s %9s %9s %5s\n", "ms", "median", "min", "max", "n");
    std::printf(" whole processes (CreateProcess until the end; windows: until painted)\n");
    Row("TavDLL collectors (bench_tavdll)", collector.process);
    Row("WMI floor (bench_wmi_floor)", floor.process);
    Row("wmic, one process per class, all classes", wmicTotal);
    for (size_t i = 0; i < classCount; ++i) {
        if (wmicPerClass[i].empty())
            continue;
        const std::wstring name = kWmicClasses[i].name;
        const std::string label =
            "  wmic path " + std::string(name.begin(), name.end()) + " get ..";
        Row(label.c_str(), wmicPerClass[i]);
    }
    Row("HLMMain to the home page painted", helmora.ready);
    Row("bare dialog to painted", bare.ready);
    std::printf(" in the process (the programs' own clocks)\n");
    Row("TavDLL collectors, cold (first run of a process)", collector.firstRun);
    Row("WMI floor, cold (first run of a process)", floor.firstRun);
    Row("TavDLL collectors, warm (runs 2.. of a process)", collectorRuns.runs);
    Row("WMI floor, warm (runs 2.. of a process)", floorRuns.runs);
    Row("DLLDriverInfo, all runs of one process", driverRuns.runs);
    Row("DLLDriverInfo, runs 2.. of one process", Warm(driverRuns));

    PrintParts("cold, first run of a process", collector.parts, floor.parts, true);
    PrintParts("warm, runs 2.. of a process", collectorRuns, floorRuns, false);

    const double collectorProcess = Median(collector.process);
    const double floorProcess = Median(floor.process);
    const double floorCold = Median(floor.firstRun);
    const double bareReady = Median(bare.ready);
    const double mainReady = Median(helmora.ready);
    std::printf("\n  %-52s %8s %8s  target\n", "ratios", "medians", "rounds");
    Ratio("TavDLL / wmic, whole processes", Divide(collectorProcess, Median(wmicTotal)),
          PerRound(collector.process, wmicTotal), kTargetVsWmic);
    Ratio("TavDLL / floor, whole processes", Divide(collectorProcess, floorProcess),
          PerRound(collector.process, floor.process), kTargetVsFloor);
    Ratio("TavDLL / floor, in the process, cold", Divide(Median(collector.firstRun), floorCold),
          PerRound(collector.firstRun, floor.firstRun), kTargetVsFloor);
    Ratio("TavDLL / floor, in the process, warm",
          Divide(Median(collectorRuns.runs), Median(floorRuns.runs)),
          PerRound(collectorWarm, floorWarm), kTargetVsFloor);
    // HLMMain is one process that also does the floor's work; the bare dialog already pays for
    // starting a process, so the floor's own cold run is what is added to it. The sum with the
    // floor's whole process counts a second process start and is shown for reference.
    Ratio("HLMMain / (bare dialog + floor cold in the process)",
          Divide(mainReady, bareReady + floorCold),
          PerRound(helmora.ready, bare.ready, floor.firstRun), kTargetStart);
    Ratio("HLMMain / (bare dialog + floor whole process)",
          Divide(mainReady, bareReady + floorProcess),
          PerRound(helmora.ready, bare.ready, floor.process), kTargetStart);
    return 0;
}
