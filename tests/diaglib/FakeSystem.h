#pragma once
// The machine the system tests see, as a test sets it up: memory, the security centre's
// answers, the running processes, the Internet cache folder, drive space and the update
// tool's catalog. Everything starts as "cannot be read"; a test fills in what it needs.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "diaglib/ports/SystemPorts.h"
#include "diaglib/repairs/UpdateCatalog.h"

class FakeSystem : public diag::ISystemPort {
  public:
    // Memory.
    bool memoryKnown = false;
    ULONGLONG memoryBytes = 0;
    void SetMemoryMb(ULONGLONG mb)
    {
        memoryKnown = true;
        memoryBytes = mb << 20;
    }

    // Security centre: providers it answers for, with their health; others fail.
    std::map<DWORD, DWORD> health;
    std::vector<DWORD> asked;

    // Process list; null while the enumeration fails.
    bool processesKnown = false;
    std::vector<std::wstring> processes;

    // Internet cache folder; empty for none. Drive space for a root.
    std::wstring cacheFolder;
    bool driveKnown = false;
    ULONGLONG driveTotal = 0;
    ULONGLONG driveFree = 0;

    // Catalog: the names it lists (count and lines), or none at all; or the real reader.
    bool realCatalog = false;
    bool catalogFound = false;
    std::vector<std::wstring> catalogEntries;
    std::vector<int32_t> catalogKinds; // what was asked for

    bool PhysicalMemory(ULONGLONG* bytes) override
    {
        if (memoryKnown)
            *bytes = memoryBytes;
        return memoryKnown;
    }

    bool SecurityProviderHealth(DWORD provider, DWORD* answer) override
    {
        asked.push_back(provider);
        const auto found = health.find(provider);
        if (found == health.end())
            return false;
        *answer = found->second;
        return true;
    }

    bool ProcessNames(fw::CArray<fw::CSharedString>& names) override
    {
        if (!processesKnown)
            return false;
        for (const std::wstring& name : processes)
            names.Add(fw::CSharedString(name.c_str()));
        return true;
    }

    bool InternetCacheFolder(fw::CSharedString& folder) override
    {
        if (cacheFolder.empty())
            return false;
        folder = cacheFolder.c_str();
        return true;
    }

    bool DriveSpace(const wchar_t*, ULONGLONG* total, ULONGLONG* free) override
    {
        if (!driveKnown)
            return false;
        *total = driveTotal;
        *free = driveFree;
        return true;
    }

    double ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind) override
    {
        catalogKinds.push_back(kind);
        if (realCatalog)
            return diag::ReadUpdateCatalog(count, lines, kind);
        if (!catalogFound)
            return 1.0;
        *count = static_cast<int32_t>(catalogEntries.size());
        for (size_t i = 0; i < catalogEntries.size(); ++i) {
            lines[i] = L"- ";
            lines[i] += catalogEntries[i].c_str();
        }
        return catalogEntries.empty() ? -1.0 : 1024.0 * catalogEntries.size();
    }
};
