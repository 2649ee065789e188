// The system tests: free space on the system drive, anti-virus program, firewall, paging file,
// automatic update, temporary Internet files, the maker's utilities and the update tool's
// settings. They set problem codes 24 to 35 (30 only in the XP build).

#include <windows.h>

#include <climits>

#include "diaglib/devices/VirtualMemory.h"
#include "diaglib/devices/Wmi.h"
#include "diaglib/exports/Engine.h"
#include "diaglib/exports/HelperScope.h"
#include "diaglib/exports/ProblemCodes.h"
#include "diaglib/exports/Trace.h"
#include "diaglib/ports/Ports.h"
#include "diaglib/ports/SystemPorts.h"
#include "diaglib/repairs/UpdateCatalog.h"
#include "diaglib/tests/TestCommon.h"
#include "framework/Array.h"
#include "framework/Handles.h"
#include "framework/Registry.h"

using diag::SetProblem;

namespace {

constexpr bool kXpBuild = HLM_DIAG_GENERATION == 5;
constexpr bool kVistaBuild = HLM_DIAG_GENERATION == 6;

// The update tool's configuration test has always spelled its class this way in one trace.
#if HLM_DIAG_GENERATION == 7
const wchar_t kMisspeltEngineName[] = L"DiagnostricWin7";
#elif HLM_DIAG_GENERATION == 6
const wchar_t kMisspeltEngineName[] = L"DiagnostricVista";
#else
const wchar_t kMisspeltEngineName[] = L"DiagnostricXP";
#endif

// 15 GiB free is always enough; below that a tenth of the drive is.
constexpr double kEnoughFreeBytes = 16106127360.0;
constexpr double kEnoughFreePercent = 10.0;
// More than 255 MB of temporary Internet files slows the browser down.
constexpr ULONGLONG kMostCacheBytes = 267386880;

const wchar_t kDiskQuery[] = L"SELECT * FROM win32_logicaldisk where name = \"C:\" ";
const wchar_t kPublicProfileKey[] = L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\"
                                    L"Parameters\\FirewallPolicy\\PublicProfile";
const wchar_t kStandardProfileKey[] = L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\"
                                      L"Parameters\\FirewallPolicy\\StandardProfile";
const wchar_t kAutoUpdateKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
const wchar_t kInternetExplorerKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer";
const wchar_t kUpdateToolKey[] = L"SOFTWARE\\Vantrel\\Patchwell";
const wchar_t kUpdateToolClient[] = L"\\Vantrel\\Patchwell\\PTWClientApp.exe";
const wchar_t kDownloadedCatalog[] = L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml";
const wchar_t kSearchedCatalog[] = L"\\Vantrel\\Patchwell\\SearchedCatalog.xml";
// ReadUpdateCatalog's kinds.
constexpr int32_t kDownloadedCatalogKind = 2;
constexpr int32_t kSearchedCatalogKind = 1;

diag::ISystemPort& System()
{
    return *diag::CurrentPorts().system;
}

void TraceStep(const wchar_t* operation, const wchar_t* outcome)
{
    diag::TraceOutcome(operation, outcome);
}

// ---- Program Files ---------------------------------------------------------------------

// The Program Files folders from the 64-bit registry view, each read into 256 bytes as the
// program reads them; a folder that cannot be read stays empty.
struct ProgramFolders {
    fw::CSharedString native;
    fw::CSharedString x86;
};

ProgramFolders GetProgramFiles()
{
    constexpr int kMaxChars = 256 / sizeof(wchar_t) - 1;
    ProgramFolders folders;
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                 fw::RegView::Force64) != fw::RegResult::Ok)
        return folders;
    if (key.ReadString(L"ProgramFilesDir", folders.native, kMaxChars) != fw::RegResult::Ok)
        folders.native.Empty();
    if (key.ReadString(L"ProgramFilesDir (x86)", folders.x86, kMaxChars) != fw::RegResult::Ok)
        folders.x86.Empty();
    return folders;
}

// A path below a Program Files folder; empty when the folder is unknown, so that a relative
// path never ends up looked for (or created) at the root of the current drive.
fw::CSharedString Below(const fw::CSharedString& folder, const wchar_t* relativePath)
{
    fw::CSharedString path;
    if (folder.IsEmpty())
        return path;
    path = folder;
    path += relativePath;
    return path;
}

// Present when it opens for execute access with read sharing, as Windows would start it.
bool FileIsPresent(const fw::CSharedString& path)
{
    if (path.IsEmpty())
        return false;
    const fw::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_EXECUTE, FILE_SHARE_READ,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
    return file.IsValid();
}

// A folder is present when creating it fails because it exists; one the probe made is
// removed again at once, so the probe leaves nothing behind.
bool FolderIsPresent(const fw::CSharedString& path)
{
    if (path.IsEmpty())
        return false;
    if (CreateDirectoryW(path.c_str(), nullptr)) {
        RemoveDirectoryW(path.c_str());
        return false;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

// The high word of the file version's most significant number; 0 when there is none.
WORD MajorFileVersion(const fw::CSharedString& path)
{
    if (path.IsEmpty())
        return 0;
    DWORD handle = 0;
    const DWORD bytes = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (bytes == 0)
        return 0;
    const fw::UniqueLocalMemory block(LocalAlloc(LPTR, bytes));
    if (!block || !GetFileVersionInfoW(path.c_str(), 0, bytes, block.get()))
        return 0;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoBytes = 0;
    if (!VerQueryValueW(block.get(), L"\\", reinterpret_cast<void**>(&info), &infoBytes) || !info ||
        infoBytes < sizeof(VS_FIXEDFILEINFO))
        return 0;
    return HIWORD(info->dwFileVersionMS);
}

// ---- Registry --------------------------------------------------------------------------

enum class DwordRead { Missing, Read };

// A 32-bit value of a key opened with full access, as the tests have always opened them.
DwordRead ReadDword(const fw::RegKey& key, const wchar_t* name, DWORD& value)
{
    return key.ReadDword(name, value) == fw::RegResult::Ok ? DwordRead::Read : DwordRead::Missing;
}

// "EnableFirewall" of a profile: a key or value that cannot be read counts as on.
bool ProfileIsOn(const wchar_t* profileKey)
{
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, profileKey, KEY_ALL_ACCESS) != fw::RegResult::Ok)
        return true;
    DWORD enabled = 1;
    if (ReadDword(key, L"EnableFirewall", enabled) == DwordRead::Missing)
        return true;
    return enabled != 0;
}

#if HLM_DIAG_GENERATION != 5
// DetectServiceStatus calls a service it cannot query in order, so that a test never fails
// for want of an answer. Where the service may only rescue a failed check, its answer has to
// be a real one: set to start with Windows and running now.
bool ServiceConfirmedInOrder(const wchar_t* name)
{
    struct ServiceTraits {
        using Handle = SC_HANDLE;
        static Handle Invalid() noexcept { return nullptr; }
        static void Close(Handle handle) noexcept { CloseServiceHandle(handle); }
    };
    using UniqueService = fw::UniqueResource<ServiceTraits>;
    const UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager)
        return false;
    const UniqueService service(
        OpenServiceW(manager.get(), name, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS));
    if (!service)
        return false;
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    if (needed == 0)
        return false;
    const fw::UniqueLocalMemory buffer(LocalAlloc(LPTR, needed));
    if (!buffer)
        return false;
    auto* config = static_cast<QUERY_SERVICE_CONFIGW*>(buffer.get());
    SERVICE_STATUS status = {};
    return QueryServiceConfigW(service.get(), config, needed, &needed) &&
           QueryServiceStatus(service.get(), &status) &&
           config->dwStartType == SERVICE_AUTO_START && status.dwCurrentState == SERVICE_RUNNING;
}
#endif

// ---- Disk ------------------------------------------------------------------------------

// A WMI number (uint64 arrives as text) as floating point; false when it has no value.
bool ReadNumber(diag::IWmiObject& object, const wchar_t* property, double& number)
{
    VARIANT value;
    VariantInit(&value);
    bool read = false;
    if (object.Get(property, &value)) {
        if (value.vt == VT_BSTR && value.bstrVal) {
            wchar_t* end = nullptr;
            number = wcstod(value.bstrVal, &end);
            read = end != value.bstrVal;
        } else if (value.vt != VT_NULL && value.vt != VT_EMPTY &&
                   SUCCEEDED(VariantChangeType(&value, &value, 0, VT_R8))) {
            number = value.dblVal;
            read = true;
        }
    }
    VariantClear(&value);
    return read;
}

// The system drive's row; with several rows the last one counts.
class DiskRow : public diag::IWmiVisitor {
  public:
    bool found = false;
    double freeBytes = 0;
    double sizeBytes = 0;

    bool Visit(diag::IWmiObject& object) override
    {
        double freeSpace = 0;
        double size = 0;
        found = ReadNumber(object, L"FreeSpace", freeSpace) && ReadNumber(object, L"Size", size);
        freeBytes = freeSpace;
        sizeBytes = size;
        return true;
    }
};

// ---- Paging file -----------------------------------------------------------------------

enum PagingSetting : int {
    kPagingNone = 0,
    kPagingFixed = 1,
    kPagingSystemManaged = 2,
};

// Fixed sizes must give at least one and a half times the memory to start with and three times
// at most (capped at 4095 MB from 1000 MB of memory on), with a little slack for rounding.
bool PagingFileTooSmall(double memoryMb, int initialMb, int maximumMb)
{
    if (memoryMb < 1000)
        return initialMb + 5 < 1.5 * memoryMb || maximumMb + 5 < 3 * memoryMb;
    const double largest = 3 * memoryMb < 4095 ? 3 * memoryMb : 4095;
    return initialMb + 100 < 1.5 * memoryMb || maximumMb + 100 < largest;
}

#if HLM_DIAG_GENERATION == 5
// XP has no paging-file helper: the first "PagingFiles" entry is read here, in the same way.
bool ParsePagingSize(const wchar_t*& text, int& size)
{
    while (*text == L' ' || *text == L'\t')
        ++text;
    if (!*text)
        return true; // a missing size is 0
    long long value = 0;
    for (; *text && *text != L' ' && *text != L'\t'; ++text) {
        if (*text < L'0' || *text > L'9')
            return false;
        value = value * 10 + (*text - L'0');
        if (value > INT_MAX)
            return false;
    }
    size = static_cast<int>(value);
    return true;
}

// False when the key cannot be opened; a value that is missing or cannot be understood reads
// as no paging file.
bool ReadPagingFileXp(int& mode, int& initialMb, int& maximumMb)
{
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE,
                 L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management",
                 KEY_ALL_ACCESS) != fw::RegResult::Ok)
        return false;
    mode = kPagingNone;
    initialMb = 0;
    maximumMb = 0;
    fw::CArray<fw::CSharedString> entries;
    fw::RegResult read = key.ReadMultiString(L"PagingFiles", entries, 32767);
    if (read == fw::RegResult::WrongType) {
        fw::CSharedString single;
        read = key.ReadString(L"PagingFiles", single, 32767);
        if (read == fw::RegResult::Ok && !single.IsEmpty())
            entries.Add(single);
    }
    if (read != fw::RegResult::Ok || entries.IsEmpty())
        return true;
    const wchar_t* text = entries[0].c_str();
    while (*text == L' ' || *text == L'\t')
        ++text;
    if (!*text)
        return true;
    const bool anyDrive = *text == L'?';
    while (*text && *text != L' ' && *text != L'\t')
        ++text;
    int initial = 0;
    int maximum = 0;
    if (!ParsePagingSize(text, initial) || !ParsePagingSize(text, maximum))
        return true;
    initialMb = initial;
    maximumMb = maximum;
    mode = anyDrive || (initial == 0 && maximum == 0) ? kPagingSystemManaged : kPagingFixed;
    return true;
}
#endif

// ---- Temporary Internet files ----------------------------------------------------------

// Adds the sizes of the files below `folder`, subfolders included. Folders reached through a
// link are not followed: a link back up the tree would never end. False when the folder
// itself cannot be listed.
bool AddFolderSize(const fw::CSharedString& folder, ULONGLONG& bytes)
{
    fw::CSharedString pattern(folder);
    if (pattern.GetLength() > 0 && pattern[pattern.GetLength() - 1] != L'\\')
        pattern += L'\\';
    const fw::CSharedString prefix(pattern);
    pattern += L'*';
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            fw::CSharedString child(prefix);
            child += found.cFileName;
            AddFolderSize(child, bytes);
        } else {
            bytes += (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

// A drive root ("C:\") is measured as the drive's used space.
bool MeasureCache(const fw::CSharedString& folder, ULONGLONG& bytes)
{
    bytes = 0;
    if (folder.GetLength() < 4) {
        ULONGLONG total = 0;
        ULONGLONG free = 0;
        if (!System().DriveSpace(folder.c_str(), &total, &free))
            return false;
        bytes = total > free ? total - free : 0;
        return true;
    }
    return AddFolderSize(folder, bytes);
}

// ---- Installed utilities ---------------------------------------------------------------

struct UtilityCheck {
    const wchar_t* operation; // "TestSystemDSVInstalled"
    const wchar_t* relativePath;
    ProblemCode code;
    const wchar_t* failTrace; // after the operation's name
    const wchar_t* passTrace;
};

bool CheckUtility(TestResult* result, const UtilityCheck& check)
{
    const ProgramFolders folders = GetProgramFiles();
    fw::CSharedString path = Below(folders.native, check.relativePath);
    diag::Trace(path.c_str());
    if (!FileIsPresent(path)) {
        TraceStep(check.operation, L"32bit Error");
        path = Below(folders.x86, check.relativePath);
        diag::Trace(L"strPath_x86");
        if (!FileIsPresent(path)) {
            TraceStep(check.operation, L"ERROR");
            SetProblem(result, check.code);
            diag::TraceFormat(L"%ls::%ls%ls", diag::kEngineName, check.operation, check.failTrace);
            return false;
        }
    }
    diag::TraceFormat(L"%ls::%ls%ls", diag::kEngineName, check.operation, check.passTrace);
    return true;
}

// ---- Update tool -----------------------------------------------------------------------

void TraceConfig(const wchar_t* outcome)
{
    TraceStep(L"TestSystemPTWConfig", outcome);
}

// A value whose absence ends the test without a problem; Vista says so in one trace for all.
void TraceConfigNoError(const wchar_t* perValue)
{
    TraceConfig(kVistaBuild ? L"No Error" : perValue);
}

} // namespace

bool HLM_DIAG_ENGINE::TestSystemHddSpace(TestResult* result)
{
    EnsureComInitialized();
    DiskRow row;
    {
        HelperScope<CCommonWmiData> wmi(commonWmi_);
        if (wmi->Connect())
            wmi->ExecQuery(kDiskQuery, row);
    }
    // No row, or a drive of no size, cannot be judged: a drive WMI does not describe is no
    // problem of the user's (and a size of 0 must not be divided by).
    if (!row.found || row.sizeBytes <= 0) {
        diag::Trace(L"TestSystemHddSpace NO ERROR");
        return true;
    }
    if (row.freeBytes >= kEnoughFreeBytes) {
        diag::Trace(L"15G");
    } else if (row.freeBytes * 100 / row.sizeBytes >= kEnoughFreePercent) {
        diag::Trace(L"Free Pass");
    } else {
        SetProblem(result, ERROR_SYSTEM_HDD);
        diag::Trace(L"TestSystemHddSpace - ERROR_SYSTEM_HDD");
        diag::Trace(L"TestSystemHddSpace - ERROR_SYSTEM_HDD");
        return false;
    }
    diag::Trace(L"TestSystemHddSpace NO ERROR");
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemAntiVirusInstalled(TestResult* result)
{
    const wchar_t kOperation[] = L"TestSystemAntiVirusInstalled";
    const wchar_t kMcAfeeShell[] = L"\\McAfee\\MSC\\mcshell.exe";
    const wchar_t kNortonEngine[] = L"\\Norton Internet Security\\Engine";

    const ProgramFolders folders = GetProgramFiles();
    if (!FileIsPresent(Below(folders.native, kMcAfeeShell)) &&
        !FileIsPresent(Below(folders.x86, kMcAfeeShell)))
        SetProblem(result, ERROR_SYSTEM_ANTIVIRUS);

    if (result->problemFound && FolderIsPresent(Below(folders.native, kNortonEngine))) {
        result->problemCode = NO_PROBLEM;
        result->problemFound = 0;
        result->detail.Empty();
        TraceStep(kOperation, L"NIS Installed");
    }
    if (result->problemFound && FolderIsPresent(Below(folders.x86, kNortonEngine))) {
        result->problemCode = NO_PROBLEM;
        result->problemFound = 0;
        result->detail.Empty();
        TraceStep(kOperation, L"NIS Installed2");
    }
    // XP has no security centre to ask.
    if (!kXpBuild && result->problemFound) {
        DWORD health = 0;
        if (System().SecurityProviderHealth(diag::kWscAntiVirusProvider, &health) &&
            health == diag::kWscHealthGood) {
            result->problemCode = NO_PROBLEM;
            result->problemFound = 0;
            TraceStep(kOperation, L"WSC_SECURITY_PROVIDER_HEALTH_GOOD");
        }
    }

    if (result->problemFound) {
        if (kXpBuild) {
            diag::Trace(L"TestSystemAntiVirusInstalled - ERROR");
            diag::Trace(L"TestSystemAntiVirusInstalled FAIL");
        } else {
            TraceStep(kOperation, L"ERROR_SYSTEM_ANTIVIRUS");
        }
        return false;
    }
    if (kXpBuild)
        diag::Trace(L"NO ERROR");
    else
        TraceStep(kOperation, L"No Error");
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemFirewall(TestResult* result)
{
#if HLM_DIAG_GENERATION == 5
    // XP has one profile that counts, and its McAfee firewall is a process, not a service.
    if (ProfileIsOn(kStandardProfileKey)) {
        diag::Trace(L"NO ERROR");
        return true;
    }
    diag::Trace(L"reg firewall error");
    bool mcAfeeRunning = false;
    fw::CArray<fw::CSharedString> processes;
    if (System().ProcessNames(processes)) {
        for (const fw::CSharedString& name : processes) {
            if (lstrcmpiW(name.c_str(), L"mpfsrv.exe") == 0) {
                mcAfeeRunning = true;
                break;
            }
        }
    }
    if (mcAfeeRunning) {
        diag::Trace(L"NO ERROR");
        return true;
    }
    diag::Trace(L"firewall error");
    SetProblem(result, ERROR_SYSTEM_FIREWALL);
    return false;
#else
    const wchar_t kOperation[] = L"TestSystemFirewall";
    const bool publicOn = ProfileIsOn(kPublicProfileKey);
    const bool standardOn = kVistaBuild || ProfileIsOn(kStandardProfileKey);
    if (publicOn && standardOn) {
        TraceStep(kOperation, L"No Error");
        return true;
    }
    TraceStep(kOperation, L"Windows Firewall Fail");

    // Another firewall may stand in for Windows': the security centre knows of any, and the
    // McAfee firewall shows as its service. A security centre that cannot be asked is given
    // the benefit of the doubt; a service that cannot be queried is not.
    DWORD health = diag::kWscHealthGood;
    bool securityCentreGood = true;
    if (System().SecurityProviderHealth(diag::kWscFirewallProvider, &health))
        securityCentreGood = health == diag::kWscHealthGood;
    TraceStep(kOperation, L"Test MpfService");
    const bool mcAfeeInOrder =
        DetectServiceStatus(L"MpfService") && ServiceConfirmedInOrder(L"MpfService");

    if (mcAfeeInOrder || securityCentreGood) {
        TraceStep(kOperation, L"No Error");
        return true;
    }
    TraceStep(kOperation, L"McAfee Firewall Fail");
    TraceStep(kOperation, L"WSC Firewall Fail");
    SetProblem(result, ERROR_SYSTEM_FIREWALL);
    TraceStep(kOperation, L"Firewall Fail");
    return false;
#endif
}

bool HLM_DIAG_ENGINE::TestSystemVirtualMemory(TestResult* result)
{
    EnsureComInitialized();
    ULONGLONG memoryBytes = 0;
    if (!System().PhysicalMemory(&memoryBytes)) {
        // Without the memory size the paging file cannot be judged.
        if (kXpBuild)
            diag::Trace(L"NO ERROR");
        else
            TraceStep(L"TestSystemVirtualMemory", L"No Error");
        return true;
    }
    const ULONGLONG kMegabyte = 1ull << 20;
    const double memoryMb = static_cast<double>((memoryBytes + kMegabyte - 1) / kMegabyte);

    int mode = kPagingNone;
    int initialMb = 0;
    int maximumMb = 0;
#if HLM_DIAG_GENERATION == 5
    if (!ReadPagingFileXp(mode, initialMb, maximumMb)) {
        diag::Trace(L"DiagnosticsXP::TestSystemVirtualMemory - RegOpenKeyEx() Failed");
        diag::Trace(L"NO ERROR");
        return true;
    }
#else
    bool read = false;
    {
        HelperScope<CVirtualMemInfo> pagingFile(virtualMemInfo_);
        read = pagingFile->Read(&mode, &initialMb, &maximumMb);
    }
    if (!read) {
        // A setting that cannot be read is no finding.
        TraceStep(L"TestSystemVirtualMemory", L"No Error");
        return true;
    }
#endif

    const bool problem =
        memoryMb == 0 || mode == kPagingNone ||
        (mode == kPagingFixed && PagingFileTooSmall(memoryMb, initialMb, maximumMb));
    if (problem) {
        SetProblem(result, ERROR_SYSTEM_VMEMORY);
        if (kXpBuild)
            diag::Trace(L"TestSystemVirtualMemory error");
        else
            TraceStep(L"TestSystemVirtualMemory", L"ERROR_SYSTEM_VMEMORY");
        return false;
    }
    if (kXpBuild)
        diag::Trace(L"NO ERROR");
    else
        TraceStep(L"TestSystemVirtualMemory", L"No Error");
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemWindowsUpdate(TestResult* result)
{
    const wchar_t kOperation[] = L"TestSystemWindowsUpdate";
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kAutoUpdateKey, KEY_ALL_ACCESS, fw::RegView::Force64) !=
        fw::RegResult::Ok) {
        // Without the key there is no setting to judge.
        if (kXpBuild)
            diag::Trace(L"TestSystemWindowsUpdate NO ERROR");
        else
            TraceStep(kOperation, L"NO ERROR");
        return true;
    }
    DWORD option = 0;
    const bool missing = ReadDword(key, L"AUOptions", option) == DwordRead::Missing;
    // 1 switches automatic update off; 2 to 4 only decide how much of it is automatic.
    if (missing || option < 2) {
        if (kXpBuild) {
            TraceStep(kOperation, L"Windows Auto Update Error");
            diag::Trace(L"TestSystemWindowsUpdate error");
        } else {
            TraceStep(kOperation,
                      missing ? L"Windows Auto Update Error01" : L"Windows Auto Update Error00");
        }
        SetProblem(result, ERROR_SYSTEM_WINUPDATE);
        return false;
    }
    if (kXpBuild)
        diag::Trace(L"TestSystemWindowsUpdate NO ERROR");
    else
        TraceStep(kOperation, L"NO ERROR");
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemTempInternetFile(TestResult* result)
{
    const wchar_t kOperation[] = L"TestSystemTempInternetFile";
    if (!kXpBuild) {
        // Internet Explorer 6 keeps its cache elsewhere and cleans it up itself.
        fw::RegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, kInternetExplorerKey, KEY_READ) != fw::RegResult::Ok)
            return true;
        fw::CSharedString version;
        if (key.ReadString(L"Version", version, 256 / sizeof(wchar_t) - 1) != fw::RegResult::Ok) {
            diag::Trace(L"IE 6.0 check Fail\n");
            return true;
        }
        if (version.GetLength() > 0 && version[0] == L'6')
            return true;
    }

    fw::CSharedString folder;
    if (!System().InternetCacheFolder(folder) || folder.IsEmpty()) {
        diag::Trace(L"Temporary File FAIL");
        return true;
    }
    diag::Trace(folder.c_str());

    ULONGLONG bytes = 0;
    if (!MeasureCache(folder, bytes))
        return true;
    if (bytes > kMostCacheBytes) {
        SetProblem(result, ERROR_SYSTEM_TEMPFILES);
        TraceStep(kOperation, L"error");
        return false;
    }
    TraceStep(kOperation, L"NO ERROR");
    return true;
}

bool HLM_DIAG_ENGINE::TestSystemKYVInstalled(TestResult* result)
{
    if (!kXpBuild)
        return true; // the keyboard utility exists only for XP notebooks
    return CheckUtility(result, {L"TestSystemKYVInstalled", L"\\Vantrel\\Keyavod\\Keyavod.exe",
                                 ERROR_SYSTEM_KYV, L"  FAIL", L"  NO ERROR"});
}

bool HLM_DIAG_ENGINE::TestSystemDSVInstalled(TestResult* result)
{
    return CheckUtility(result, {L"TestSystemDSVInstalled", L"\\Vantrel\\Dispavo\\dsvcore.exe",
                                 ERROR_SYSTEM_DSV, L"  FAIL", L"  NO ERROR"});
}

bool HLM_DIAG_ENGINE::TestSystemSPVInstalled(TestResult* result)
{
    if (kXpBuild)
        return true; // XP notebooks have no speed-up utility
    return CheckUtility(result,
                        {L"TestSystemSPVInstalled", L"\\Vantrel\\SpeedavoMgr\\SpeedavoMgr.exe",
                         ERROR_SYSTEM_SPV, L" FAIL", L" - NO ERROR"});
}

bool HLM_DIAG_ENGINE::TestSystemPTWInstalled(TestResult* result)
{
    return CheckUtility(result, {L"TestSystemPTWInstalled", kUpdateToolClient, ERROR_SYSTEM_PTW,
                                 L" FAIL", L" NO ERROR"});
}

bool HLM_DIAG_ENGINE::TestSystemPTWConfig(TestResult* result)
{
    result->detail.Empty();
    result->problemFound = 0;

    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kUpdateToolKey, KEY_ALL_ACCESS) != fw::RegResult::Ok) {
        diag::TraceFormat(L"%ls::TestSystemPTWConfig - Cannot Open reg. TRUE", kMisspeltEngineName);
        return true;
    }

    // Until the user has accepted the tool's licence it does nothing by itself.
    DWORD value = 0;
    if (ReadDword(key, L"User Registration", value) == DwordRead::Missing) {
        TraceConfigNoError(L"User Registration- No Error");
        return true;
    }
    if (value == 0) {
        TraceConfig(L"User Registration Error");
        return true;
    }

    // From version 3 on the tool keeps its automatic-update switch in a value of its own. On
    // 64-bit Windows the 32-bit tool is found below Program Files (x86), as its installed-test
    // finds it.
    const ProgramFolders folders = GetProgramFiles();
    WORD major = 0;
    if (!kVistaBuild) {
        fw::CSharedString client = Below(folders.native, kUpdateToolClient);
        if (!FileIsPresent(client))
            client = Below(folders.x86, kUpdateToolClient);
        major = MajorFileVersion(client);
    }
    if (major > 2) {
        if (ReadDword(key, L"Auto Update Option", value) == DwordRead::Missing) {
            TraceConfigNoError(L"Auto Update Option- No Error");
            return true;
        }
        if (value == 3) {
            TraceConfig(L"Auto Update Option Error");
            SetProblem(result, ERROR_SYSTEM_PTW_UPDATECONFIG);
            return false;
        }
    } else {
        if (ReadDword(key, L"Live Option", value) == DwordRead::Missing) {
            TraceConfigNoError(L"Live Option- No Error");
            return true;
        }
        if (value == 400) {
            TraceConfig(L"Live Option Error");
            SetProblem(result, ERROR_SYSTEM_PTW_UPDATECONFIG);
            return false;
        }
    }

    // An update under way is the tool's business until it ends.
    if (ReadDword(key, L"Update Progress", value) == DwordRead::Missing) {
        TraceConfigNoError(L"Update Progress - No Error");
        return true;
    }
    if (value != 0) {
        TraceConfig(L"not support");
        return true;
    }

    const bool searched = major > 2;
    fw::CSharedString catalog =
        Below(folders.native, searched ? kSearchedCatalog : kDownloadedCatalog);
    int32_t kind = searched ? kSearchedCatalogKind : kDownloadedCatalogKind;
    diag::Trace(catalog.c_str());
    if (!FileIsPresent(catalog)) {
        TraceConfig(L"32bit NO Update");
        catalog = Below(folders.x86, kDownloadedCatalog);
        kind = kDownloadedCatalogKind;
        diag::Trace(L"strPath_x86");
        if (!FileIsPresent(catalog)) {
            TraceConfig(L"64bit No Update, No Error");
            return true;
        }
        TraceConfig(L"Download XML PATH - x86");
    }

    // The reader writes up to its own table's number of lines, whatever the test would keep.
    fw::CSharedString lines[diag::kUpdateCatalogEntries];
    int32_t count = 0;
    System().ReadUpdateCatalog(&count, lines, kind);
    if (count > 0) {
        TraceConfig(L"ERROR_SYSTEM_PTW_NEWUPDATE");
        SetProblem(result, ERROR_SYSTEM_PTW_NEWUPDATE);
        return false;
    }
    diag::Trace(L"NO ERROR");
    return true;
}
