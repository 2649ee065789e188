// The least a program can do to read what TavDLL's collectors read: COM and its security once,
// one connection to ROOT\CIMV2 with the same proxy blanket, the same WQL queries with the same
// flags, every row fetched and released, and nothing else (no property is read, nothing is
// kept, nothing of ours is linked). The system-information benchmark weighs TavDLL against it.
//
//   bench_wmi_floor [--runs N]   (default 1)
//
// Every run connects anew and releases the connection at its end, as TavDLL does between
// CleanUpWMI and its next collector; COM and its security are set up by the first run only, so
// the first run of a process is the cold one. Prints, for the benchmark to read:
//   step <run> <what> <ms> <rows>     the connection, then each query
//   run <run> <ms>                    the whole run
#include <windows.h>

#include <wbemidl.h>

#include <cstdio>
#include <cwchar>

namespace {

// Return at once and forward only, as TavDLL asks: rows are fetched while WMI makes them.
constexpr long kQueryFlags = WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY;
static_assert(kQueryFlags == 48, "the flags TavDLL passes");
constexpr long kRowTimeoutMs = 60000;

// In TavDLL's order: purchase date, serial number, disks, memory, BIOS, processor, optical
// drive, Windows, graphics. The texts are TavDLL's, spaces and case included.
struct Query {
    const wchar_t* wql;
    bool windows6Only;
};
constexpr Query kQueries[] = {
    {L"SELECT * FROM Win32_ComputerSystem ", false},
    {L"SELECT * FROM Win32_bios", false},
    {L"SELECT * FROM Win32_LogicalDisk", false},
    {L"SELECT * FROM Win32_PhysicalMemory ", false},
    {L"SELECT * FROM Win32_BIOS ", false},
    {L"SELECT * FROM Win32_Processor ", true},
    {L"SELECT * FROM Win32_CDROMDRIVE", false},
    {L"SELECT * FROM Win32_OperatingSystem", false},
    {L"SELECT * FROM Win32_VideoController", false},
};

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

template <typename T> struct Owned {
    T* p = nullptr;
    Owned() = default;
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned()
    {
        if (p)
            p->Release();
    }
};

bool IsWindows6OrLater()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) && version.dwMajorVersion >= 6;
}

// COM for this thread and the process's security, as TavDLL sets them up on first use. A
// later run finds both done.
bool InitialiseCom()
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(init)) {
        std::fprintf(stderr, "CoInitializeEx: 0x%08lx\n", static_cast<unsigned long>(init));
        return false;
    }
    const HRESULT security =
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                             RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(security) && security != RPC_E_TOO_LATE) {
        std::fprintf(stderr, "CoInitializeSecurity: 0x%08lx\n",
                     static_cast<unsigned long>(security));
        return false;
    }
    return true;
}

bool Connect(Owned<IWbemLocator>& locator, Owned<IWbemServices>& services)
{
    HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWbemLocator, reinterpret_cast<void**>(&locator.p));
    if (FAILED(hr)) {
        std::fprintf(stderr, "WbemLocator: 0x%08lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    BSTR nameSpace = SysAllocString(L"ROOT\\CIMV2");
    hr = locator.p->ConnectServer(nameSpace, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                  &services.p);
    SysFreeString(nameSpace);
    if (FAILED(hr)) {
        std::fprintf(stderr, "ConnectServer: 0x%08lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    hr = CoSetProxyBlanket(services.p, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                           RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    if (FAILED(hr)) {
        std::fprintf(stderr, "CoSetProxyBlanket: 0x%08lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    return true;
}

// Runs the query and fetches its rows one at a time; -1 when it fails.
int RunQuery(IWbemServices* services, const wchar_t* wql)
{
    BSTR language = SysAllocString(L"WQL");
    BSTR text = SysAllocString(wql);
    Owned<IEnumWbemClassObject> rows;
    const HRESULT hr = services->ExecQuery(language, text, kQueryFlags, nullptr, &rows.p);
    SysFreeString(language);
    SysFreeString(text);
    if (FAILED(hr)) {
        std::fprintf(stderr, "%ls: 0x%08lx\n", wql, static_cast<unsigned long>(hr));
        return -1;
    }
    int count = 0;
    for (;;) {
        IWbemClassObject* row = nullptr;
        ULONG returned = 0;
        const HRESULT next = rows.p->Next(kRowTimeoutMs, 1, &row, &returned);
        if (row)
            row->Release();
        if (next == WBEM_S_TIMEDOUT) {
            std::fprintf(stderr, "%ls: no row within %ld ms\n", wql, kRowTimeoutMs);
            return -1;
        }
        if (FAILED(next)) {
            std::fprintf(stderr, "%ls: Next 0x%08lx\n", wql, static_cast<unsigned long>(next));
            return -1;
        }
        if (returned == 0)
            return count;
        ++count;
    }
}

bool RunOnce(int run, bool windows6)
{
    const double started = NowMs();
    {
        Owned<IWbemLocator> locator;
        Owned<IWbemServices> services;
        if ((run == 1 && !InitialiseCom()) || !Connect(locator, services))
            return false;
        std::printf("step %d connect %.3f 0\n", run, NowMs() - started);
        for (const Query& query : kQueries) {
            if (query.windows6Only && !windows6)
                continue;
            const double queryStarted = NowMs();
            const int rows = RunQuery(services.p, query.wql);
            if (rows < 0)
                return false;
            std::printf("step %d %ls %.3f %d\n", run, query.wql, NowMs() - queryStarted, rows);
        }
    }
    std::printf("run %d %.3f\n", run, NowMs() - started);
    std::fflush(stdout);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int runs = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (wcscmp(argv[i], L"--runs") == 0)
            runs = _wtoi(argv[i + 1]);
    }
    if (runs < 1) {
        std::fprintf(stderr, "usage: bench_wmi_floor [--runs N]\n");
        return 2;
    }
    const bool windows6 = IsWindows6OrLater();
    for (int run = 1; run <= runs; ++run) {
        if (!RunOnce(run, windows6))
            return 1;
    }
    CoUninitialize();
    return 0;
}
