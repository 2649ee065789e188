// The system tests of one build, on the fake WMI and a fake machine (memory, security centre,
// processes, cache folder, catalog), with the real registry, Program Files folders, services
// and the update tool's stand-in. Every registry value and file a test touches is put back.

#include "tests/diaglib/DiagExports.h"
#include "tests/diaglib/DiagTestSupport.h"
#include "tests/diaglib/FakeSystem.h"
#include "tests/diaglib/FakeWmi.h"
#include "tests/diaglib/TestService.h"
#include "tests/support/TestSupport.h"

#include "diaglib/exports/ProblemCodes.h"
#include "framework/Handles.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using diagtest::Recorder;

const wchar_t kDiskQuery[] = L"SELECT * FROM win32_logicaldisk where name = \"C:\" ";
const wchar_t kPublicProfile[] = L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\"
                                 L"Parameters\\FirewallPolicy\\PublicProfile";
const wchar_t kStandardProfile[] = L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\"
                                   L"Parameters\\FirewallPolicy\\StandardProfile";
const wchar_t kMemoryManagement[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kAutoUpdate[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
const wchar_t kInternetExplorer[] = L"SOFTWARE\\Microsoft\\Internet Explorer";
const wchar_t kUpdateTool[] = L"SOFTWARE\\Vantrel\\Patchwell";

std::wstring Engine()
{
    return diagtest::kWin7    ? L"DiagnosticsWin7"
           : diagtest::kVista ? L"DiagnosticsVista"
                              : L"DiagnosticsXP";
}

std::wstring ProgramFilesX86()
{
    fw::RegKey key;
    fw::CSharedString folder;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                 fw::RegView::Force64) != fw::RegResult::Ok ||
        key.ReadString(L"ProgramFilesDir (x86)", folder, 200) != fw::RegResult::Ok)
        return L"C:\\Program Files (x86)";
    return folder.c_str();
}

bool MakeFolders(const std::wstring& path)
{
    if (path.size() <= 3 || GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos && !MakeFolders(path.substr(0, slash)))
        return false;
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A file of `bytes` (sparse where the file system allows, so hundreds of MB cost nothing).
bool MakeFile(const std::wstring& path, ULONGLONG bytes = 0)
{
    if (!MakeFolders(path.substr(0, path.rfind(L'\\'))))
        return false;
    fw::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(bytes);
    return SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

// One registry value as it was before the test, written back (or deleted again) afterwards;
// a key the test made is removed.
class SavedValue {
  public:
    SavedValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name)
    {
        keyExisted_ = hlmtest::RegKeyExists(HKEY_LOCAL_MACHINE, key);
        fw::UniqueKey handle;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, handle.put()) !=
            ERROR_SUCCESS)
            return;
        DWORD bytes = 0;
        if (RegQueryValueExW(handle.get(), name, nullptr, &type_, nullptr, &bytes) != ERROR_SUCCESS)
            return;
        data_.resize(bytes + 2);
        if (RegQueryValueExW(handle.get(), name, nullptr, &type_, data_.data(), &bytes) ==
            ERROR_SUCCESS) {
            data_.resize(bytes);
            present_ = true;
        }
    }
    ~SavedValue()
    {
        if (!keyExisted_) {
            hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, key_.c_str());
            return;
        }
        fw::UniqueKey handle;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            handle.put(), nullptr) != ERROR_SUCCESS)
            return;
        if (present_)
            RegSetValueExW(handle.get(), name_.c_str(), 0, type_, data_.data(),
                           static_cast<DWORD>(data_.size()));
        else
            RegDeleteValueW(handle.get(), name_.c_str());
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

    // The value set to a number, or removed when `value` is kMissing.
    static constexpr DWORD kMissing = 0xFFFFFFFF;
    void Set(DWORD value) const
    {
        if (value == kMissing) {
            fw::RegKey key;
            if (key.Open(HKEY_LOCAL_MACHINE, key_.c_str(), KEY_SET_VALUE) == fw::RegResult::Ok)
                key.DeleteValue(name_.c_str());
            return;
        }
        ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), value));
    }
    void SetText(const wchar_t* text) const
    {
        ASSERT_TRUE(hlmtest::WriteRegString(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(), text));
    }
    void SetMultiText(const std::wstring& entry) const
    {
        std::wstring data = entry;
        data.push_back(L'\0');
        data.push_back(L'\0');
        ASSERT_TRUE(hlmtest::WriteRegRaw(HKEY_LOCAL_MACHINE, key_.c_str(), name_.c_str(),
                                         REG_MULTI_SZ, data.data(),
                                         static_cast<DWORD>(data.size() * sizeof(wchar_t))));
    }

  private:
    std::wstring key_;
    std::wstring name_;
    bool keyExisted_ = false;
    bool present_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// Folders below both Program Files folders that a test starts empty: what the machine had
// there is moved aside and put back afterwards, and what the test made is removed.
class ProgramFiles {
  public:
    ~ProgramFiles()
    {
        for (auto it = cleaned_.rbegin(); it != cleaned_.rend(); ++it) {
            hlmtest::RemoveTree(*it);
            MoveFileW((*it + kAside).c_str(), it->c_str());
        }
    }
    void Clean(const std::wstring& topFolder)
    {
        for (const std::wstring& base : {hlmtest::ProgramFilesDir(), ProgramFilesX86()}) {
            const std::wstring path = base + topFolder;
            hlmtest::RemoveTree(path + kAside);
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
                !MoveFileW(path.c_str(), (path + kAside).c_str()))
                hlmtest::RemoveTree(path);
            cleaned_.push_back(path);
        }
    }
    // Empties the cleaned folders again, between the cases of a table.
    void Reset()
    {
        for (const std::wstring& path : cleaned_)
            hlmtest::RemoveTree(path);
    }
    static bool File(bool x86, const std::wstring& relativePath)
    {
        return MakeFile((x86 ? ProgramFilesX86() : hlmtest::ProgramFilesDir()) + relativePath);
    }
    static bool Folder(bool x86, const std::wstring& relativePath)
    {
        return MakeFolders((x86 ? ProgramFilesX86() : hlmtest::ProgramFilesDir()) + relativePath);
    }

  private:
    static constexpr const wchar_t* kAside = L".aside-during-test";
    std::vector<std::wstring> cleaned_;
};

class SystemTests : public testing::Test {
  protected:
    SystemTests() : scoped_(Ports()) {}

    diag::Ports Ports()
    {
        diag::Ports ports;
        ports.wmi = &wmi_;
        ports.system = &machine_;
        return ports;
    }

    FakeWmi wmi_;
    FakeSystem machine_;
    diagtest::ScopedPorts scoped_;
};

// ---- Disk ------------------------------------------------------------------------------

WmiRow DiskRow(const wchar_t* freeSpace, const wchar_t* size)
{
    return {{L"Name", Bstr(L"C:")}, {L"FreeSpace", Bstr(freeSpace)}, {L"Size", Bstr(size)}};
}

TEST_F(SystemTests, DiskNeedsFifteenGigabytesOrATenth)
{
    const struct {
        const char* label;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> rows; // free, size
        bool passes;
        const wchar_t* trace;
    } cases[] = {
        {"20 GB free of 500", {{L"21474836480", L"536870912000"}}, true, L"15G"},
        {"exactly 15 GiB of 1000 GB", {{L"16106127360", L"1073741824000"}}, true, L"15G"},
        {"14 GB free of 100", {{L"15032385536", L"107374182400"}}, true, L"Free Pass"},
        {"9 GB free of 100", {{L"9663676416", L"107374182400"}}, false, nullptr},
        {"the last row counts",
         {{L"1", L"107374182400"}, {L"15032385536", L"107374182400"}},
         true,
         L"Free Pass"},
        {"no row", {}, true, nullptr},
        {"a drive of size 0", {{L"0", L"0"}}, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakeWmi wmi;
        for (const auto& row : c.rows)
            wmi.AddQueryRow(kDiskQuery, DiskRow(row.first, row.second));
        ScopedWmi scoped(wmi);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSystemHddSpace(&record), c.passes);
        EXPECT_EQ(record.categoryTag, kTagSystem);
        EXPECT_EQ(record.problemCode, c.passes ? 0 : ERROR_SYSTEM_HDD);
        EXPECT_EQ(record.problemFound, c.passes ? 0 : 1);
        ASSERT_EQ(wmi.Queries().size(), 1u);
        EXPECT_EQ(wmi.OpenConnections(), 0);
        if (c.trace) {
            EXPECT_TRUE(recorder.Traced(c.trace));
        }
        EXPECT_EQ(recorder.Traced(L"TestSystemHddSpace NO ERROR"), c.passes);
        EXPECT_EQ(recorder.Traced(L"TestSystemHddSpace - ERROR_SYSTEM_HDD"), !c.passes);
    }
}

TEST_F(SystemTests, DiskThatCannotBeAskedPasses)
{
    {
        wmi_.FailQuery(kDiskQuery);
        Recorder recorder;
        TestResult record;
        EXPECT_TRUE(DllTestSystemHddSpace(&record));
        EXPECT_EQ(record.problemFound, 0);
        EXPECT_EQ(recorder.Messages(), std::vector<std::wstring>{L"ExecQuery() Error!!"});
    }
    {
        FakeWmi wmi;
        wmi.FailConnect();
        ScopedWmi scoped(wmi);
        TestResult record;
        EXPECT_TRUE(DllTestSystemHddSpace(&record));
        EXPECT_EQ(record.problemFound, 0);
    }
}

// ---- Anti-virus ------------------------------------------------------------------------

TEST_F(SystemTests, AntiVirusIsMcAfeeNortonOrWhatTheSecurityCentreKnows)
{
    enum Where { None, Native, X86 };
    const struct {
        const char* label;
        Where mcAfee, norton;
        int wscHealth; // -1: the security centre cannot be asked
        bool passesWin7, passesXp;
        const wchar_t* trace; // after the engine's name
    } cases[] = {
        {"McAfee", Native, None, 1, true, true, nullptr},
        {"McAfee, 32-bit", X86, None, 1, true, true, nullptr},
        {"Norton", None, Native, 1, true, true, L"::TestSystemAntiVirusInstalled - NIS Installed"},
        {"Norton, 32-bit", None, X86, 1, true, true,
         L"::TestSystemAntiVirusInstalled - NIS Installed2"},
        {"another vendor in good health", None, None, 0, true, false,
         L"::TestSystemAntiVirusInstalled - WSC_SECURITY_PROVIDER_HEALTH_GOOD"},
        {"another vendor in poor health", None, None, 1, false, false, nullptr},
        {"no security centre", None, None, -1, false, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ProgramFiles files;
        files.Clean(L"\\McAfee");
        files.Clean(L"\\Norton Internet Security");
        if (c.mcAfee != None) {
            ASSERT_TRUE(files.File(c.mcAfee == X86, L"\\McAfee\\MSC\\mcshell.exe"));
        }
        if (c.norton != None) {
            ASSERT_TRUE(files.Folder(c.norton == X86, L"\\Norton Internet Security\\Engine"));
        }
        machine_.health.clear();
        machine_.asked.clear();
        if (c.wscHealth >= 0)
            machine_.health[4] = static_cast<DWORD>(c.wscHealth);

        Recorder recorder;
        TestResult record;
        const bool passes = diagtest::kXp ? c.passesXp : c.passesWin7;
        EXPECT_EQ(DllTestSystemAntiVirusInstalled(&record), passes);
        EXPECT_EQ(record.problemCode, passes ? 0 : ERROR_SYSTEM_ANTIVIRUS);
        EXPECT_EQ(record.problemFound, passes ? 0 : 1);
        if (c.trace && passes) {
            EXPECT_TRUE(recorder.Traced(Engine() + c.trace));
        }
        // XP has no security centre; the others ask it only when nothing else was found.
        const bool asks = !diagtest::kXp && c.mcAfee == None && c.norton == None;
        EXPECT_EQ(machine_.asked, asks ? std::vector<DWORD>{4} : std::vector<DWORD>{});
        if (diagtest::kXp) {
            EXPECT_EQ(recorder.Traced(L"TestSystemAntiVirusInstalled FAIL"), !passes);
            EXPECT_EQ(recorder.Traced(L"NO ERROR"), passes);
        } else {
            EXPECT_EQ(recorder.Traced(Engine() +
                                      L"::TestSystemAntiVirusInstalled - ERROR_SYSTEM_ANTIVIRUS"),
                      !passes);
            EXPECT_EQ(recorder.Traced(Engine() + L"::TestSystemAntiVirusInstalled - No Error"),
                      passes);
        }
    }
}

// The Norton probe creates the folder it looks for; one it made must not stay behind.
TEST_F(SystemTests, TheNortonProbeLeavesNoFolderBehind)
{
    ProgramFiles files;
    files.Clean(L"\\McAfee");
    files.Clean(L"\\Norton Internet Security");
    ASSERT_TRUE(files.Folder(false, L"\\Norton Internet Security"));
    ASSERT_TRUE(files.Folder(true, L"\\Norton Internet Security"));
    TestResult record;
    EXPECT_FALSE(DllTestSystemAntiVirusInstalled(&record));
    for (const std::wstring& folder : {hlmtest::ProgramFilesDir(), ProgramFilesX86()}) {
        const std::wstring engine = folder + L"\\Norton Internet Security\\Engine";
        EXPECT_EQ(GetFileAttributesW(engine.c_str()), INVALID_FILE_ATTRIBUTES) << engine.c_str();
    }
}

// ---- Firewall --------------------------------------------------------------------------

class FirewallTests : public SystemTests {
  protected:
    SavedValue publicProfile_{kPublicProfile, L"EnableFirewall"};
    SavedValue standardProfile_{kStandardProfile, L"EnableFirewall"};
};

TEST_F(FirewallTests, AProfileSwitchedOffIsAProblemUnlessAnotherFirewallStandsIn)
{
    if (diagtest::kXp)
        GTEST_SKIP() << "XP looks for the McAfee firewall's process (its own test)";
    const DWORD kMissing = SavedValue::kMissing;
    const struct {
        const char* label;
        DWORD publicOn, standardOn;
        int wscHealth; // -1: cannot be asked
        bool passesWin7, passesVista;
    } cases[] = {
        {"both on", 1, 1, 1, true, true},
        {"values missing", kMissing, kMissing, 1, true, true},
        {"public off, security centre says poor", 0, 1, 1, false, false},
        {"public off, no security centre", 0, 1, -1, true, true},
        {"public off, security centre says good", 0, 1, 0, true, true},
        {"standard off, security centre says poor", 1, 0, 1, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        publicProfile_.Set(c.publicOn);
        standardProfile_.Set(c.standardOn);
        machine_.health.clear();
        if (c.wscHealth >= 0)
            machine_.health[1] = static_cast<DWORD>(c.wscHealth);
        Recorder recorder;
        TestResult record;
        const bool passes = diagtest::kWin7 ? c.passesWin7 : c.passesVista;
        EXPECT_EQ(DllTestSystemFirewall(&record), passes);
        EXPECT_EQ(record.problemCode, passes ? 0 : ERROR_SYSTEM_FIREWALL);
        EXPECT_EQ(record.problemFound, passes ? 0 : 1);
        EXPECT_EQ(recorder.Traced(Engine() + L"::TestSystemFirewall - Firewall Fail"), !passes);
        EXPECT_EQ(recorder.Traced(Engine() + L"::TestSystemFirewall - No Error"), passes);
    }
}

TEST_F(FirewallTests, TheMcAfeeServiceRescuesOnlyWhenItStartsWithWindowsAndRuns)
{
    if (diagtest::kXp)
        GTEST_SKIP() << "XP looks for the McAfee firewall's process";
    publicProfile_.Set(0);
    machine_.health[1] = 1;
    for (const auto& c : diagtest::kServiceStates) {
        SCOPED_TRACE(c.label);
        diagtest::TestService service(c.startType, std::wstring(), L"MpfService");
        ASSERT_TRUE(service.Created()) << "a service MpfService exists already";
        if (c.running) {
            ASSERT_TRUE(service.Start());
        }
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSystemFirewall(&record), c.inOrder);
        EXPECT_EQ(record.problemCode, c.inOrder ? 0 : ERROR_SYSTEM_FIREWALL);
        EXPECT_TRUE(recorder.Traced(Engine() + L"::TestSystemFirewall - Test MpfService"));
    }
    // No such service: it cannot be asked, and so rescues nothing. (A deleted service lingers
    // until its process has gone.)
    diagtest::UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    for (int waited = 0; waited < 100; ++waited) {
        diagtest::UniqueServiceHandle gone(
            OpenServiceW(manager.get(), L"MpfService", SERVICE_QUERY_STATUS));
        if (!gone)
            break;
        Sleep(50);
    }
    Recorder recorder;
    TestResult record;
    EXPECT_FALSE(DllTestSystemFirewall(&record));
    EXPECT_TRUE(recorder.Traced(Engine() + L"::DetectServiceStatus -  schService NUL"));
    EXPECT_TRUE(recorder.Traced(Engine() + L"::TestSystemFirewall - McAfee Firewall Fail"));
    EXPECT_TRUE(recorder.Traced(Engine() + L"::TestSystemFirewall - WSC Firewall Fail"));
}

TEST_F(FirewallTests, XpRescuesAnOffFirewallWithTheMcAfeeProcess)
{
    if (!diagtest::kXp)
        GTEST_SKIP() << "Vista and 7 ask the service and the security centre";
    const struct {
        const char* label;
        DWORD publicOn, standardOn;
        bool processesKnown;
        std::vector<std::wstring> processes;
        bool passes;
    } cases[] = {
        {"standard on", 0, 1, false, {}, true},
        {"standard off, McAfee running", 1, 0, true, {L"explorer.exe", L"MPFSRV.EXE"}, true},
        {"standard off, McAfee not running", 1, 0, true, {L"explorer.exe"}, false},
        {"standard off, no process list", 1, 0, false, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        publicProfile_.Set(c.publicOn);
        standardProfile_.Set(c.standardOn);
        machine_.processesKnown = c.processesKnown;
        machine_.processes = c.processes;
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSystemFirewall(&record), c.passes);
        EXPECT_EQ(record.problemCode, c.passes ? 0 : ERROR_SYSTEM_FIREWALL);
        EXPECT_EQ(recorder.Traced(L"reg firewall error"), c.standardOn == 0);
        EXPECT_EQ(recorder.Traced(L"firewall error"), !c.passes);
        EXPECT_EQ(recorder.Traced(L"NO ERROR"), c.passes);
        EXPECT_TRUE(machine_.asked.empty());
    }
}

// ---- Paging file -----------------------------------------------------------------------

class PagingFileTests : public SystemTests {
  protected:
    SavedValue pagingFiles_{kMemoryManagement, L"PagingFiles"};
};

TEST_F(PagingFileTests, FixedSizesMustFitTheMemory)
{
    const struct {
        ULONGLONG memoryMb;
        const wchar_t* entry;
        bool passes;
    } cases[] = {
        {2048, L"C:\\pagefile.sys 3072 6144", true},
        {2048, L"C:\\pagefile.sys 2048 4096", false},
        {2048, L"C:\\pagefile.sys 3072 3994", false}, // maximum + 100 below 4095
        {512, L"C:\\pagefile.sys 768 1536", true},
        {512, L"C:\\pagefile.sys 760 1536", false},
        {512, L"C:\\pagefile.sys 768 1530", false},
        {2048, L"C:\\pagefile.sys 0 0", true}, // system-managed
        {2048, L"?:\\pagefile.sys", true},
        {2048, L"", false}, // no paging file
        {0, L"?:\\pagefile.sys", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.memoryMb << " MB, " << testing::PrintToString(std::wstring(c.entry)));
        machine_.SetMemoryMb(c.memoryMb);
        pagingFiles_.SetMultiText(c.entry);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSystemVirtualMemory(&record), c.passes);
        EXPECT_EQ(record.problemCode, c.passes ? 0 : ERROR_SYSTEM_VMEMORY);
        EXPECT_EQ(record.problemFound, c.passes ? 0 : 1);
        if (diagtest::kXp) {
            EXPECT_EQ(recorder.Traced(L"TestSystemVirtualMemory error"), !c.passes);
            EXPECT_EQ(recorder.Traced(L"NO ERROR"), c.passes);
        } else {
            EXPECT_EQ(
                recorder.Traced(Engine() + L"::TestSystemVirtualMemory - ERROR_SYSTEM_VMEMORY"),
                !c.passes);
            EXPECT_EQ(recorder.Traced(Engine() + L"::TestSystemVirtualMemory - No Error"),
                      c.passes);
        }
    }
}

TEST_F(PagingFileTests, MemoryIsCountedInWholeMegabytesRoundedUp)
{
    // 2047 MB and one byte counts as 2048 MB, so an initial size of 2971 is 1 MB short; at
    // 2047 MB exactly it is enough (1.5 x 2047 = 3070.5).
    pagingFiles_.SetMultiText(L"C:\\pagefile.sys 2971 6144");
    machine_.memoryKnown = true;
    machine_.memoryBytes = (2047ull << 20) + 1;
    TestResult record;
    EXPECT_FALSE(DllTestSystemVirtualMemory(&record)); // 2971 + 100 < 3072
    machine_.memoryBytes = 2047ull << 20;
    EXPECT_TRUE(DllTestSystemVirtualMemory(&record)); // 3071 >= 3070.5
}

TEST_F(PagingFileTests, UnknownMemoryIsNoFinding)
{
    pagingFiles_.SetMultiText(L"C:\\pagefile.sys 16 32");
    machine_.memoryKnown = false;
    TestResult record;
    EXPECT_TRUE(DllTestSystemVirtualMemory(&record));
    EXPECT_EQ(record.problemFound, 0);
}

// ---- Automatic update ------------------------------------------------------------------

TEST_F(SystemTests, AutomaticUpdateMustNotBeOff)
{
    SavedValue option(kAutoUpdate, L"AUOptions");
    const struct {
        DWORD value;
        bool passes;
        const wchar_t* trace; // Vista and 7
    } cases[] = {
        {1, false, L"::TestSystemWindowsUpdate - Windows Auto Update Error00"},
        {0, false, L"::TestSystemWindowsUpdate - Windows Auto Update Error00"},
        {2, true, L"::TestSystemWindowsUpdate - NO ERROR"},
        {3, true, L"::TestSystemWindowsUpdate - NO ERROR"},
        {4, true, L"::TestSystemWindowsUpdate - NO ERROR"},
        {SavedValue::kMissing, false, L"::TestSystemWindowsUpdate - Windows Auto Update Error01"},
    };
    ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, kAutoUpdate, L"AUOptions", 4));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        option.Set(c.value);
        Recorder recorder;
        TestResult record;
        EXPECT_EQ(DllTestSystemWindowsUpdate(&record), c.passes);
        EXPECT_EQ(record.problemCode, c.passes ? 0 : ERROR_SYSTEM_WINUPDATE);
        EXPECT_EQ(record.problemFound, c.passes ? 0 : 1);
        if (diagtest::kXp) {
            EXPECT_EQ(recorder.Traced(L"TestSystemWindowsUpdate error"), !c.passes);
            EXPECT_EQ(recorder.Traced(L"TestSystemWindowsUpdate NO ERROR"), c.passes);
        } else {
            EXPECT_TRUE(recorder.Traced(Engine() + c.trace));
        }
    }
}

TEST_F(SystemTests, AutomaticUpdateWithoutItsKeyPasses)
{
    SavedValue option(kAutoUpdate, L"AUOptions");
    hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, kAutoUpdate);
    TestResult record;
    EXPECT_TRUE(DllTestSystemWindowsUpdate(&record));
    EXPECT_EQ(record.problemFound, 0);
}

// ---- Temporary Internet files ----------------------------------------------------------

class CacheTests : public SystemTests {
  protected:
    CacheTests()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"HLMCache_" + std::to_wstring(GetCurrentProcessId());
        hlmtest::RemoveTree(folder_);
        MakeFolders(folder_);
        machine_.cacheFolder = folder_;
    }
    ~CacheTests() override { hlmtest::RemoveTree(folder_); }

    SavedValue version_{kInternetExplorer, L"Version"};
    std::wstring folder_;
};

constexpr ULONGLONG kMb = 1ull << 20;

TEST_F(CacheTests, MoreThan255MegabytesOfCacheIsAProblemFromInternetExplorer7On)
{
    const struct {
        const char* label;
        const wchar_t* version; // null: no value
        ULONGLONG topBytes, nestedBytes;
        bool passesWin7, passesXp;
    } cases[] = {
        {"IE 8, 300 MB", L"8.0.7600.16385", 300 * kMb, 0, false, false},
        {"IE 8, 300 MB two folders down", L"8.0.7600.16385", 100 * kMb, 200 * kMb, false, false},
        {"IE 8, 255 MB", L"8.0.7600.16385", 255 * kMb, 0, true, true},
        {"IE 8, 5 GB", L"8.0.7600.16385", 5 * 1024 * kMb, 0, false, false},
        {"IE 6, 300 MB", L"6.0.2900.5512", 300 * kMb, 0, true, false},
        {"no version, 300 MB", nullptr, 300 * kMb, 0, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        hlmtest::RemoveTree(folder_);
        ASSERT_TRUE(MakeFile(folder_ + L"\\index.dat", c.topBytes));
        if (c.nestedBytes) {
            ASSERT_TRUE(MakeFile(folder_ + L"\\Content.IE5\\ABCD1234\\page.htm", c.nestedBytes));
        }
        if (c.version)
            version_.SetText(c.version);
        else
            version_.Set(SavedValue::kMissing);
        Recorder recorder;
        TestResult record;
        const bool passes = diagtest::kXp ? c.passesXp : c.passesWin7;
        EXPECT_EQ(DllTestSystemTempInternetFile(&record), passes);
        EXPECT_EQ(record.problemCode, passes ? 0 : ERROR_SYSTEM_TEMPFILES);
        EXPECT_EQ(record.problemFound, passes ? 0 : 1);
        EXPECT_EQ(recorder.Traced(Engine() + L"::TestSystemTempInternetFile - error"), !passes);
        if (!c.version && !diagtest::kXp) {
            EXPECT_TRUE(recorder.Traced(L"IE 6.0 check Fail\n"));
        }
    }
}

TEST_F(CacheTests, ACacheThatCannotBeFoundOrMeasuredPasses)
{
    version_.SetText(L"8.0.7600.16385");
    {
        machine_.cacheFolder.clear();
        Recorder recorder;
        TestResult record;
        EXPECT_TRUE(DllTestSystemTempInternetFile(&record));
        EXPECT_TRUE(recorder.Traced(L"Temporary File FAIL"));
    }
    {
        machine_.cacheFolder = folder_ + L"\\missing";
        TestResult record;
        EXPECT_TRUE(DllTestSystemTempInternetFile(&record));
        EXPECT_EQ(record.problemFound, 0);
    }
}

TEST_F(CacheTests, ACacheAtADriveRootIsTheDrivesUsedSpace)
{
    version_.SetText(L"8.0.7600.16385");
    machine_.cacheFolder = L"C:\\";
    machine_.driveKnown = true;
    machine_.driveTotal = 1000 * kMb;
    machine_.driveFree = 700 * kMb;
    TestResult record;
    EXPECT_FALSE(DllTestSystemTempInternetFile(&record));
    EXPECT_EQ(record.problemCode, ERROR_SYSTEM_TEMPFILES);
    machine_.driveFree = 800 * kMb;
    EXPECT_TRUE(DllTestSystemTempInternetFile(&record));
    machine_.driveKnown = false;
    EXPECT_TRUE(DllTestSystemTempInternetFile(&record));
}

// ---- The maker's utilities -------------------------------------------------------------

struct Utility {
    const char* label;
    bool (*test)(TestResult*);
    const wchar_t* topFolder;
    const wchar_t* file;
    ProblemCode code;
    const wchar_t* failTrace; // after the engine's name
    const wchar_t* passTrace;
};

std::vector<Utility> UtilitiesOfThisBuild()
{
    std::vector<Utility> utilities = {
        {"display utility", DllTestSystemDSVInstalled, L"\\Vantrel\\Dispavo",
         L"\\Vantrel\\Dispavo\\dsvcore.exe", ERROR_SYSTEM_DSV, L"::TestSystemDSVInstalled  FAIL",
         L"::TestSystemDSVInstalled  NO ERROR"},
        {"update tool", DllTestSystemPTWInstalled, L"\\Vantrel\\Patchwell",
         L"\\Vantrel\\Patchwell\\PTWClientApp.exe", ERROR_SYSTEM_PTW,
         L"::TestSystemPTWInstalled FAIL", L"::TestSystemPTWInstalled NO ERROR"},
    };
#if HLM_DIAG_GENERATION == 5
    utilities.push_back({"keyboard utility", DllTestSystemKYVInstalled, L"\\Vantrel\\Keyavod",
                         L"\\Vantrel\\Keyavod\\Keyavod.exe", ERROR_SYSTEM_KYV,
                         L"::TestSystemKYVInstalled  FAIL", L"::TestSystemKYVInstalled  NO ERROR"});
#else
    utilities.push_back({"speed-up utility", DllTestSystemSPVInstalled, L"\\Vantrel\\SpeedavoMgr",
                         L"\\Vantrel\\SpeedavoMgr\\SpeedavoMgr.exe", ERROR_SYSTEM_SPV,
                         L"::TestSystemSPVInstalled FAIL", L"::TestSystemSPVInstalled - NO ERROR"});
#endif
    return utilities;
}

TEST_F(SystemTests, AUtilityIsFoundInEitherProgramFilesFolder)
{
    for (const Utility& utility : UtilitiesOfThisBuild()) {
        for (int where = 0; where < 3; ++where) { // missing, native, 32-bit
            SCOPED_TRACE(testing::Message() << utility.label << ", case " << where);
            ProgramFiles files;
            files.Clean(utility.topFolder);
            if (where > 0) {
                ASSERT_TRUE(files.File(where == 2, utility.file));
            }
            Recorder recorder;
            TestResult record;
            const bool passes = where > 0;
            EXPECT_EQ(utility.test(&record), passes);
            EXPECT_EQ(record.categoryTag, kTagSystem);
            EXPECT_EQ(record.problemCode, passes ? 0 : utility.code);
            EXPECT_EQ(record.problemFound, passes ? 0 : 1);
            EXPECT_TRUE(recorder.Traced(hlmtest::ProgramFilesDir() + utility.file));
            EXPECT_EQ(recorder.Traced(L"strPath_x86"), where != 1);
            EXPECT_EQ(recorder.Traced(Engine() + utility.failTrace), !passes);
            EXPECT_EQ(recorder.Traced(Engine() + utility.passTrace), passes);
        }
    }
}

TEST_F(SystemTests, TheKeyboardUtilityIsLookedForOnlyOnXp)
{
    ProgramFiles files;
    files.Clean(L"\\Vantrel\\Keyavod");
    TestResult record;
    EXPECT_EQ(DllTestSystemKYVInstalled(&record), !diagtest::kXp);
    EXPECT_EQ(record.problemCode, diagtest::kXp ? ERROR_SYSTEM_KYV : 0);
}

// ---- The update tool's configuration ---------------------------------------------------

class UpdateToolTests : public SystemTests {
  protected:
    UpdateToolTests()
    {
        files_.Clean(L"\\Vantrel\\Patchwell");
        hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, kUpdateTool);
    }

    // The stand-in client of a major version (3, or 2 for the older release) in Program Files.
    void InstallClient(int major, bool x86 = false)
    {
        const std::wstring bin = hlmtest::BinDir();
        const std::wstring source = bin.substr(0, bin.rfind(L'\\')) + L"\\standin-apps\\" +
                                    (major == 2 ? L"PTWClientApp_v2.exe" : L"PTWClientApp.exe");
        const std::wstring target = (x86 ? ProgramFilesX86() : hlmtest::ProgramFilesDir()) +
                                    L"\\Vantrel\\Patchwell\\PTWClientApp.exe";
        ASSERT_TRUE(MakeFolders(target.substr(0, target.rfind(L'\\'))));
        ASSERT_TRUE(CopyFileW(source.c_str(), target.c_str(), FALSE)) << source.c_str();
    }

    void Set(const wchar_t* name, DWORD value)
    {
        if (value != SavedValue::kMissing) {
            ASSERT_TRUE(hlmtest::WriteRegDword(HKEY_LOCAL_MACHINE, kUpdateTool, name, value));
        }
    }

    // The export keeps the tag the update page stored; it is checked after each call.
    bool Run(TestResult& record)
    {
        record.categoryTag = 77;
        const bool passed = DllTestSystemPTWConfig(&record);
        EXPECT_EQ(record.categoryTag, 77);
        return passed;
    }

    SavedValue registration_{kUpdateTool, L"User Registration"};
    SavedValue live_{kUpdateTool, L"Live Option"};
    SavedValue autoUpdate_{kUpdateTool, L"Auto Update Option"};
    SavedValue progress_{kUpdateTool, L"Update Progress"};
    ProgramFiles files_;
};

TEST_F(UpdateToolTests, ANewerClientSwitchedToManualUpdateIsAProblem)
{
    InstallClient(3);
    Set(L"User Registration", 1);
    Set(L"Live Option", 0);
    Set(L"Auto Update Option", 3);
    Recorder recorder;
    TestResult record;
    // Vista reads only the older client's "Live Option".
    const bool passes = diagtest::kVista;
    EXPECT_EQ(Run(record), passes);
    EXPECT_EQ(record.problemCode, passes ? 0 : ERROR_SYSTEM_PTW_UPDATECONFIG);
    EXPECT_EQ(recorder.Traced(Engine() + L"::TestSystemPTWConfig - Auto Update Option Error"),
              !passes);
}

TEST_F(UpdateToolTests, TheSettingsDecideWhetherTheCatalogIsRead)
{
    const DWORD kMissing = SavedValue::kMissing;
    const struct {
        const char* label;
        int major; // client installed, 0 none
        DWORD registration, live, autoUpdate, progress;
        ProblemCode win7, vista;
        const wchar_t* win7Trace; // after the engine's name and "::TestSystemPTWConfig - "
    } cases[] = {
        {"not registered", 3, 0, 0, 0, 0, NO_PROBLEM, NO_PROBLEM, L"User Registration Error"},
        {"registration missing", 3, kMissing, 0, 0, 0, NO_PROBLEM, NO_PROBLEM,
         L"User Registration- No Error"},
        {"version 3, automatic update missing", 3, 1, 0, kMissing, 0, NO_PROBLEM,
         ERROR_SYSTEM_PTW_NEWUPDATE, L"Auto Update Option- No Error"},
        {"version 2, live update off", 2, 1, 400, 0, 0, ERROR_SYSTEM_PTW_UPDATECONFIG,
         ERROR_SYSTEM_PTW_UPDATECONFIG, L"Live Option Error"},
        {"no client, live update off", 0, 1, 400, 0, 0, ERROR_SYSTEM_PTW_UPDATECONFIG,
         ERROR_SYSTEM_PTW_UPDATECONFIG, L"Live Option Error"},
        {"version 2, live option missing", 2, 1, kMissing, 0, 0, NO_PROBLEM, NO_PROBLEM,
         L"Live Option- No Error"},
        {"update under way", 3, 1, 0, 0, 1, NO_PROBLEM, NO_PROBLEM, L"not support"},
        {"progress missing", 3, 1, 0, 0, kMissing, NO_PROBLEM, NO_PROBLEM,
         L"Update Progress - No Error"},
        {"version 3, all in order, two updates", 3, 1, 0, 0, 0, ERROR_SYSTEM_PTW_NEWUPDATE,
         ERROR_SYSTEM_PTW_NEWUPDATE, L"ERROR_SYSTEM_PTW_NEWUPDATE"},
        {"version 2, all in order, two updates", 2, 1, 0, 0, 0, ERROR_SYSTEM_PTW_NEWUPDATE,
         ERROR_SYSTEM_PTW_NEWUPDATE, L"ERROR_SYSTEM_PTW_NEWUPDATE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        files_.Reset();
        hlmtest::DeleteRegTree(HKEY_LOCAL_MACHINE, kUpdateTool);
        if (c.major)
            InstallClient(c.major);
        // Both catalogs are there; the fake reader answers for whichever is asked.
        ASSERT_TRUE(ProgramFiles::File(false, L"\\Vantrel\\Patchwell\\SearchedCatalog.xml"));
        ASSERT_TRUE(ProgramFiles::File(false, L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml"));
        machine_.catalogFound = true;
        machine_.catalogEntries = {L"BIOS update", L"Display driver"};
        machine_.catalogKinds.clear();
        Set(L"User Registration", c.registration);
        Set(L"Live Option", c.live);
        Set(L"Auto Update Option", c.autoUpdate);
        Set(L"Update Progress", c.progress);

        Recorder recorder;
        TestResult record;
        const ProblemCode expected = diagtest::kVista ? c.vista : c.win7;
        EXPECT_EQ(Run(record), expected == NO_PROBLEM);
        EXPECT_EQ(record.problemCode, expected);
        EXPECT_EQ(record.problemFound, expected == NO_PROBLEM ? 0 : 1);
        if (!diagtest::kVista) {
            EXPECT_TRUE(recorder.Traced(Engine() + L"::TestSystemPTWConfig - " + c.win7Trace));
        }
        if (expected == ERROR_SYSTEM_PTW_NEWUPDATE) {
            // Version 3 keeps what its last search found; older ones what they downloaded.
            const int32_t kind = diagtest::kVista || c.major == 2 ? 2 : 1;
            EXPECT_EQ(machine_.catalogKinds, std::vector<int32_t>{kind});
        } else {
            EXPECT_TRUE(machine_.catalogKinds.empty());
        }
    }
}

TEST_F(UpdateToolTests, ACatalogWithoutUpdatesOrWithoutAFileIsNoProblem)
{
    InstallClient(3);
    Set(L"User Registration", 1);
    Set(L"Live Option", 0);
    Set(L"Auto Update Option", 0);
    Set(L"Update Progress", 0);
    {
        // No catalog file at all: the reader is not asked.
        Recorder recorder;
        TestResult record;
        EXPECT_TRUE(Run(record));
        EXPECT_TRUE(recorder.Traced(Engine() + L"::TestSystemPTWConfig - 32bit NO Update"));
        EXPECT_TRUE(
            recorder.Traced(Engine() + L"::TestSystemPTWConfig - 64bit No Update, No Error"));
        EXPECT_TRUE(machine_.catalogKinds.empty());
    }
    {
        // A catalog that lists nothing.
        ASSERT_TRUE(ProgramFiles::File(false, L"\\Vantrel\\Patchwell\\SearchedCatalog.xml"));
        ASSERT_TRUE(ProgramFiles::File(false, L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml"));
        machine_.catalogFound = true;
        machine_.catalogEntries.clear();
        Recorder recorder;
        TestResult record;
        EXPECT_TRUE(Run(record));
        EXPECT_EQ(record.problemFound, 0);
        EXPECT_TRUE(recorder.Traced(L"NO ERROR"));
    }
}

// On 64-bit Windows the 32-bit tool lives below Program Files (x86): its version is read
// there, and its downloaded catalog is found there.
TEST_F(UpdateToolTests, A32BitClientIsFoundBelowProgramFilesX86)
{
    if (diagtest::kVista)
        GTEST_SKIP() << "Vista never reads the client's version";
    InstallClient(3, true);
    Set(L"User Registration", 1);
    Set(L"Auto Update Option", 3);
    TestResult record;
    EXPECT_FALSE(Run(record));
    EXPECT_EQ(record.problemCode, ERROR_SYSTEM_PTW_UPDATECONFIG);

    Set(L"Auto Update Option", 0);
    Set(L"Update Progress", 0);
    ASSERT_TRUE(ProgramFiles::File(true, L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml"));
    machine_.catalogFound = true;
    machine_.catalogEntries = {L"BIOS update"};
    Recorder recorder;
    EXPECT_FALSE(Run(record));
    EXPECT_EQ(record.problemCode, ERROR_SYSTEM_PTW_NEWUPDATE);
    EXPECT_TRUE(recorder.Traced(Engine() + L"::TestSystemPTWConfig - Download XML PATH - x86"));
    EXPECT_EQ(machine_.catalogKinds, std::vector<int32_t>{2});
}

// The catalogs as the update tool writes them, read by the library's own reader.
TEST_F(UpdateToolTests, TwoUpdatesInTheToolsCatalogAreReported)
{
    InstallClient(3);
    Set(L"User Registration", 1);
    Set(L"Live Option", 0);
    Set(L"Auto Update Option", 0);
    Set(L"Update Progress", 0);
    const auto write = [](const wchar_t* name, const char* entry) {
        std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Catalog>\n";
        for (const char* update : {"BIOS update", "Display driver"}) {
            xml += std::string("  <") + entry + "><NAME>" + update +
                   "</NAME><VERSION>1.2</VERSION><FILESIZE>1048576</FILESIZE></" + entry + ">\n";
        }
        xml += "</Catalog>\n";
        return !hlmtest::CreateFileBelowProgramFiles(name, xml).empty();
    };
    ASSERT_TRUE(write(L"\\Vantrel\\Patchwell\\SearchedCatalog.xml", "Content"));
    ASSERT_TRUE(write(L"\\Vantrel\\Patchwell\\DownloadedCatalog.xml", "Item"));
    machine_.realCatalog = true;

    TestResult record;
    const bool passed = Run(record);
    if (passed && record.problemFound == 0) {
        int32_t count = 0;
        fw::CSharedString lines[diag::kUpdateCatalogEntries];
        if (diag::ReadUpdateCatalog(&count, lines, 2) == 1.0)
            GTEST_SKIP() << "the catalog reader finds no catalog yet";
    }
    EXPECT_FALSE(passed);
    EXPECT_EQ(record.problemCode, ERROR_SYSTEM_PTW_NEWUPDATE);
}

TEST_F(UpdateToolTests, WithoutTheToolsKeyThereIsNothingToCheck)
{
    Recorder recorder;
    TestResult record;
    EXPECT_TRUE(Run(record));
    EXPECT_EQ(record.problemFound, 0);
    const std::wstring misspelt = diagtest::kWin7    ? L"DiagnostricWin7"
                                  : diagtest::kVista ? L"DiagnostricVista"
                                                     : L"DiagnostricXP";
    EXPECT_TRUE(recorder.Traced(misspelt + L"::TestSystemPTWConfig - Cannot Open reg. TRUE"));
}

} // namespace

namespace {

// ---- The machine itself ----------------------------------------------------------------

// Wine has no security centre (no wscapi.dll) and no McAfee firewall: with a profile switched
// off the test must neither crash nor blame a firewall it could not ask about.
TEST(SystemTestsOnThisMachine, AnUnanswerableSecurityCentreIsNoFalseProblem)
{
    SavedValue publicProfile(kPublicProfile, L"EnableFirewall");
    SavedValue standardProfile(kStandardProfile, L"EnableFirewall");
    publicProfile.Set(0);
    standardProfile.Set(0);
    TestResult record;
    if (diagtest::kXp) {
        // XP asks the process list instead; no McAfee process runs here.
        EXPECT_FALSE(DllTestSystemFirewall(&record));
        EXPECT_EQ(record.problemCode, ERROR_SYSTEM_FIREWALL);
    } else {
        EXPECT_TRUE(DllTestSystemFirewall(&record));
        EXPECT_EQ(record.problemFound, 0);
    }
}

TEST(SystemTestsOnThisMachine, TheRealPortsAnswer)
{
    diag::ISystemPort& machine = *diag::CurrentPorts().system;
    ULONGLONG memory = 0;
    EXPECT_TRUE(machine.PhysicalMemory(&memory));
    EXPECT_GT(memory, 0u);

    // This test program is among the processes, spelt as Windows spells it.
    fw::CArray<fw::CSharedString> processes;
    ASSERT_TRUE(machine.ProcessNames(processes));
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring selfName = wcsrchr(self, L'\\') + 1;
    bool found = false;
    for (const fw::CSharedString& name : processes)
        found = found || lstrcmpiW(name.c_str(), selfName.c_str()) == 0;
    EXPECT_TRUE(found) << selfName.c_str();

    fw::CSharedString cache;
    EXPECT_TRUE(machine.InternetCacheFolder(cache));
    EXPECT_FALSE(cache.IsEmpty());
    ULONGLONG total = 0;
    ULONGLONG free = 0;
    EXPECT_TRUE(machine.DriveSpace(L"C:\\", &total, &free));
    EXPECT_GE(total, free);

    // Answered or not (not under Wine), asking must be safe.
    DWORD health = 0;
    machine.SecurityProviderHealth(diag::kWscFirewallProvider, &health);
    machine.SecurityProviderHealth(diag::kWscAntiVirusProvider, &health);
}

// Every system test against the machine as it is: no crash, no message box, and a result
// that agrees with the record.
TEST(SystemTestsOnThisMachine, EveryTestRunsToAnAnswer)
{
    const struct {
        const char* label;
        bool (*test)(TestResult*);
    } tests[] = {
        {"disk", DllTestSystemHddSpace},
        {"anti-virus", DllTestSystemAntiVirusInstalled},
        {"firewall", DllTestSystemFirewall},
        {"paging file", DllTestSystemVirtualMemory},
        {"automatic update", DllTestSystemWindowsUpdate},
        {"temporary files", DllTestSystemTempInternetFile},
        {"keyboard utility", DllTestSystemKYVInstalled},
        {"display utility", DllTestSystemDSVInstalled},
        {"update tool", DllTestSystemPTWInstalled},
        {"update tool settings", DllTestSystemPTWConfig},
    };
    for (const auto& t : tests) {
        SCOPED_TRACE(t.label);
        Recorder recorder;
        TestResult record;
        const bool passed = t.test(&record);
        EXPECT_EQ(passed, record.problemFound == 0);
        EXPECT_TRUE(recorder.Messages().empty());
    }
}

} // namespace
