// Finding programs: our own folder, the system folder's tools and the maker's programs.
#include "shell/OsVersion.h"
#include "shell/ProgramPaths.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace hlmtest;

TEST(AppFolder, SkipsABuildFolderNamedDebugOrRelease)
{
    const struct {
        const wchar_t* module;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\Program Files\\Vantrel\\Helmora\\HLMMain.exe",
         L"C:\\Program Files\\Vantrel\\Helmora\\"},
        {L"C:\\src\\Release\\HLMMain.exe", L"C:\\src\\"},
        {L"C:\\src\\release\\HLMMain.exe", L"C:\\src\\"},
        {L"C:\\src\\ReLeAsE\\HLMMain.exe", L"C:\\src\\"},
        {L"C:\\src\\DEBUG\\HLMMain.exe", L"C:\\src\\"},
        {L"C:\\src\\Releases\\HLMMain.exe", L"C:\\src\\Releases\\"},
        {L"HLMMain.exe", L""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(AppFolderOf(c.module).c_str(), c.folder) << c.module;
    EXPECT_EQ(GetAppFolder(), AppFolderOf((BinDir() + L"\\x.exe").c_str()));
}

TEST(OSGeneration, SplitsXpVistaAndSeven)
{
    EXPECT_EQ(OSGenerationFor(5, 1), 0);
    EXPECT_EQ(OSGenerationFor(5, 2), 0);
    EXPECT_EQ(OSGenerationFor(6, 0), 1);
    EXPECT_EQ(OSGenerationFor(6, 1), 2);
    EXPECT_EQ(OSGenerationFor(6, 2), 1);
    EXPECT_EQ(OSGenerationFor(10, 0), 1);
}

class ProgramInstallation : public ::testing::Test {
  protected:
    void TearDown() override
    {
        RemoveTree(ProgramFilesDir() + L"\\HelmoraTests");
        RemoveTree(ProgramX86Dir() + L"\\HelmoraTests");
    }
    static std::wstring ProgramX86Dir()
    {
        wchar_t path[MAX_PATH] = {};
        GetEnvironmentVariableW(L"ProgramFiles(x86)", path, MAX_PATH);
        return path;
    }
};

TEST_F(ProgramInstallation, FindsAProgramInEitherProgramFolder)
{
    // The tests run as a 64-bit program on 64-bit Windows 7: the 64-bit folder first.
    ASSERT_FALSE(CreateFileBelowProgramFiles(L"\\HelmoraTests\\Tool\\Native.exe", "MZ").empty());
    EXPECT_EQ(std::wstring(CheckProgramInstallation(L"\\HelmoraTests\\Tool\\Native.exe").c_str()),
              ProgramFilesDir() + L"\\HelmoraTests\\Tool\\Native.exe");

    // Installed only below "Program Files (x86)": found by the second look.
    const std::wstring x86 = ProgramX86Dir() + L"\\HelmoraTests\\Tool";
    ASSERT_TRUE(CreateDirectoryW((ProgramX86Dir() + L"\\HelmoraTests").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(x86.c_str(), nullptr));
    HANDLE file = CreateFileW((x86 + L"\\Old.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(std::wstring(CheckProgramInstallation(L"\\HelmoraTests\\Tool\\Old.exe").c_str()),
              x86 + L"\\Old.exe");

    EXPECT_TRUE(CheckProgramInstallation(L"\\HelmoraTests\\Tool\\Missing.exe").IsEmpty());
}

TEST(WinutilExistence, FindsSystemToolsOnly)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(std::wstring(CheckWinutilExistence(L"\\notepad.exe").c_str()),
              std::wstring(system) + L"\\notepad.exe");
    EXPECT_TRUE(CheckWinutilExistence(L"\\NoSuchTool.exe").IsEmpty());
}
