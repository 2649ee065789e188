// The 64-bit helper library, loaded by name and called with the arguments the program passes.
// This run is a 64-bit process, where there is no redirection to turn off: the tests prove the
// calls arrive intact and their results and errors come back unchanged.
#include "framework/Handles.h"
#include "shell/outside/OutsideApi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the program passes to DllCreateFile for its existence test.
constexpr DWORD kExecuteAccess = 0x20000000;
constexpr DWORD kShareRead = 1;
constexpr DWORD kOpenExisting = 3;
constexpr DWORD kNormalAttributes = 0x80;

std::wstring TempDir()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, path);
    return std::wstring(path, length);
}

std::wstring SystemDir()
{
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, length);
}

class Korvex64Test : public ::testing::Test {
  protected:
    void SetUp() override
    {
        module_.reset(LoadLibraryW(kKorvexDllName));
        ASSERT_TRUE(module_) << "LoadLibraryW failed: " << GetLastError();
        createFile_ =
            reinterpret_cast<PFN_DllCreateFile>(GetProcAddress(module_.get(), "DllCreateFile"));
        shellExecute_ =
            reinterpret_cast<PFN_DllShellExecute>(GetProcAddress(module_.get(), "DllShellExecute"));
        ASSERT_NE(nullptr, createFile_);
        ASSERT_NE(nullptr, shellExecute_);
    }

    fw::UniqueModule module_;
    PFN_DllCreateFile createFile_ = nullptr;
    PFN_DllShellExecute shellExecute_ = nullptr;
};

TEST_F(Korvex64Test, CreateFileOpensWhatExistsAndKeepsTheErrorOfWhatDoesNot)
{
    wchar_t existing[MAX_PATH];
    ASSERT_NE(0u, GetTempFileNameW(TempDir().c_str(), L"kvx", 0, existing));

    struct Case {
        std::wstring path;
        DWORD error; // 0: opens
    };
    const Case cases[] = {
        {existing, 0},
        {SystemDir() + L"\\kernel32.dll", 0},
        {TempDir() + L"kvx-no-such-file.exe", ERROR_FILE_NOT_FOUND},
        {TempDir() + L"kvx-no-such-folder\\tool.exe", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.path);
        SetLastError(0xDEAD);
        HANDLE file = createFile_(c.path.c_str(), kExecuteAccess, kShareRead, nullptr,
                                  kOpenExisting, kNormalAttributes, nullptr);
        DWORD error = GetLastError();
        if (c.error == 0) {
            EXPECT_NE(INVALID_HANDLE_VALUE, file) << error;
        } else {
            EXPECT_EQ(INVALID_HANDLE_VALUE, file);
            EXPECT_EQ(c.error, error);
        }
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    DeleteFileW(existing);
}

TEST_F(Korvex64Test, ShellExecuteOfAMissingProgramFails)
{
    std::wstring missing = TempDir() + L"kvx-no-such-program.exe";
    HINSTANCE result =
        shellExecute_(nullptr, L"open", missing.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_LE(reinterpret_cast<INT_PTR>(result), 32);
}

// The command interpreter writes a file into the given folder and ends at once: proof that verb,
// file, parameters and folder all reached ShellExecuteW.
TEST_F(Korvex64Test, ShellExecuteStartsTheProgramWithItsArguments)
{
    std::wstring folder = TempDir();
    std::wstring marker = folder + L"kvx-started.txt";
    DeleteFileW(marker.c_str());

    std::wstring cmd = SystemDir() + L"\\cmd.exe";
    HINSTANCE result = shellExecute_(nullptr, L"open", cmd.c_str(),
                                     L"/c echo started>kvx-started.txt", folder.c_str(), SW_HIDE);
    ASSERT_GT(reinterpret_cast<INT_PTR>(result), 32);

    bool appeared = false;
    for (int i = 0; i < 100 && !appeared; ++i) {
        appeared = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!appeared)
            Sleep(100);
    }
    EXPECT_TRUE(appeared) << "no marker within 10 s";
    // cmd may still hold the file for a moment after creating it.
    for (int i = 0; i < 50 && !DeleteFileW(marker.c_str()); ++i)
        Sleep(100);
}

} // namespace
