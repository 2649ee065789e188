#pragma once
// What the system tests read that a test run cannot stage on demand: the machine's memory, the
// security centre's verdict, the running processes, the Internet cache folder and a drive's
// space, and the update tool's catalog. Registry values, program files and services are read
// directly.

#include <windows.h>

#include <cstdint>

#include "framework/Array.h"
#include "framework/SharedString.h"

namespace diag {

// The security centre's providers (WSC_SECURITY_PROVIDER) and the health it calls good.
constexpr DWORD kWscFirewallProvider = 1;
constexpr DWORD kWscAntiVirusProvider = 4;
constexpr DWORD kWscHealthGood = 0;

class ISystemPort {
  public:
    virtual ~ISystemPort() = default;
    // The total physical memory in bytes; false when the memory status cannot be read.
    virtual bool PhysicalMemory(ULONGLONG* bytes) = 0;
    // WscGetSecurityProviderHealth for one provider; false when the security centre cannot be
    // asked (no wscapi.dll, as on XP and under Wine, or a failed call).
    virtual bool SecurityProviderHealth(DWORD provider, DWORD* health) = 0;
    // The executable names of every process of the machine (terminal-services enumeration);
    // false when the list cannot be made.
    virtual bool ProcessNames(fw::CArray<fw::CSharedString>& names) = 0;
    // The Internet cache folder (shell folder 32); false when Windows gives none.
    virtual bool InternetCacheFolder(fw::CSharedString& folder) = 0;
    // The size and free space of the drive of `root` ("C:\"); false when they cannot be read.
    virtual bool DriveSpace(const wchar_t* root, ULONGLONG* total, ULONGLONG* free) = 0;
    // The update tool's catalog of `kind`, read as diag::ReadUpdateCatalog reads it.
    virtual double ReadUpdateCatalog(int32_t* count, fw::CSharedString* lines, int32_t kind) = 0;
};

} // namespace diag
