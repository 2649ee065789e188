#pragma once
// The memory of another process as the benchmarks read it.
//
// Wine answers the working set (the resident size of the process) and the virtual size; private
// bytes come back 0, and so does GetGuiResources, so GDI objects are counted in Wine's handle
// table of the process instead. The page file usage is shown when it is not 0.

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <vector>

namespace hlmbench {

struct Memory {
    SIZE_T workingSet = 0;
    SIZE_T pagefile = 0;
    SIZE_T virtualSize = 0;
    long gdiObjects = -1; // -1: not known
};

// GDI objects of another process. Windows answers GetGuiResources; Wine answers 0 there but
// keeps a handle table per process, whose address is in the PEB (GdiSharedHandleTable), with
// one 24-byte entry per handle and a non-zero type for every live object. Its layout is
// Wine's, so it is only trusted after it has counted our own objects right (CanCountGdi).
#pragma pack(push, 1)
struct WineGdiEntry {
    ULONGLONG object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    ULONGLONG user;
};
#pragma pack(pop)
static_assert(sizeof(WineGdiEntry) == 24, "Wine's GDI_HANDLE_ENTRY");
constexpr size_t kGdiHandleCount = 0x10000;
constexpr size_t kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

inline long CountGdiInTable(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  nullptr) < 0 ||
        !basic.PebBaseAddress)
        return -1;
    void* table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset,
                           &table, sizeof(table), &got) ||
        !table)
        return -1;
    std::vector<WineGdiEntry> entries(kGdiHandleCount);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(WineGdiEntry),
                           &got) ||
        got != entries.size() * sizeof(WineGdiEntry))
        return -1;
    long live = 0;
    for (const WineGdiEntry& entry : entries)
        live += entry.type != 0;
    return live;
}

// True when the table counts exactly the brushes we make and delete.
inline bool CanCountGdi()
{
    constexpr int kProbe = 16;
    const long before = CountGdiInTable(GetCurrentProcess());
    HBRUSH brushes[kProbe];
    for (int i = 0; i < kProbe; ++i)
        brushes[i] = CreateSolidBrush(RGB(i, 0, 0));
    const long during = CountGdiInTable(GetCurrentProcess());
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    const long after = CountGdiInTable(GetCurrentProcess());
    return before >= 0 && during == before + kProbe && after == before;
}

inline long CountGdiObjects(HANDLE process, bool tableUsable)
{
    if (const DWORD objects = GetGuiResources(process, GR_GDIOBJECTS))
        return static_cast<long>(objects);
    return tableUsable ? CountGdiInTable(process) : -1;
}

inline bool ReadMemory(HANDLE process, bool gdiTableUsable, Memory& memory)
{
    memory.gdiObjects = CountGdiObjects(process, gdiTableUsable);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters)))
        return false;
    memory.workingSet = counters.WorkingSetSize;
    memory.pagefile = counters.PagefileUsage;
    VM_COUNTERS vm = {};
    if (NtQueryInformationProcess(process, ProcessVmCounters, &vm, sizeof(vm), nullptr) >= 0)
        memory.virtualSize = vm.VirtualSize;
    return true;
}

inline double KiB(SIZE_T bytes)
{
    return static_cast<double>(bytes) / 1024.0;
}

// One line: "  <label> <count> <unit>: working set ... virtual ...".
inline void PrintMemory(const char* label, int count, const Memory& memory,
                        const char* unit = "switches")
{
    std::printf("  %-16s %5d %s: working set %9.0f KiB  virtual %10.0f KiB", label, count, unit,
                KiB(memory.workingSet), KiB(memory.virtualSize));
    if (memory.pagefile)
        std::printf("  page file %9.0f KiB", KiB(memory.pagefile));
    if (memory.gdiObjects >= 0)
        std::printf("  GDI objects %5ld", memory.gdiObjects);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace hlmbench
