// The simulated machine's knobs, seen from a program the tests start: if these are wrong, every
// language and generation test after them tests the wrong thing.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace hlmtest;

namespace {

std::string Query(const LaunchOptions& options)
{
    LaunchOptions query = options;
    query.arguments = L"query";
    std::string output;
    DWORD code = 1;
    EXPECT_TRUE(RunAndCapture(BinDir() + L"\\HlmTestTool.exe", query, 30000, output, code));
    EXPECT_EQ(code, 0u);
    return output;
}

} // namespace

TEST(Environment, ReportedGenerationIsPerProgram)
{
    const struct {
        WinGeneration generation;
        const char* version;
    } cases[] = {
        {WinGeneration::XP, "version=5.2"},
        {WinGeneration::Vista, "version=6.0"},
        {WinGeneration::Win7, "version=6.1"},
    };
    for (const auto& c : cases) {
        SetReportedGeneration(L"HlmTestTool.exe", c.generation);
        EXPECT_NE(Query({}).find(c.version), std::string::npos) << c.version;
    }
    ClearReportedGeneration(L"HlmTestTool.exe");
}

// Registered once per locale (see CMakeLists.txt): the test's LANG decides the UI language,
// and a started program sees the same language and the nation the test set.
TEST(Environment, UiLanguageAndNationReachAStartedProgram)
{
    const char* lang = getenv("LANG");
    ASSERT_NE(lang, nullptr);
    std::wstring name(lang, lang + strcspn(lang, "."));
    for (auto& ch : name)
        ch = ch == L'_' ? L'-' : ch;
    const LANGID expected = LANGIDFROMLCID(LocaleNameToLCID(name.c_str(), 0));
    EXPECT_EQ(TestUiLanguage(), expected) << lang;

    const GEOID nations[] = {134, 32, 244}; // Korea, Brazil, United States
    for (GEOID nation : nations) {
        ASSERT_TRUE(SetNation(nation));
        char want[64];
        snprintf(want, sizeof(want), "uilang=%04x geo=%ld ", expected, static_cast<long>(nation));
        const std::string seen = Query({});
        EXPECT_NE(seen.find(want), std::string::npos) << "want " << want << ", saw " << seen;
    }
}

TEST(Environment, RegistryHelpersWriteAndRemoveTrees)
{
    const wchar_t* path = L"Software\\HelmoraTests\\Environment";
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, path, L"Text", L"value", fw::RegView::Force64));
    ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, (std::wstring(path) + L"\\Sub").c_str(),
                              L"Number", 7, fw::RegView::Force64));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, path, fw::RegView::Force64));
    EXPECT_TRUE(DeleteRegTree(HKEY_LOCAL_MACHINE, path, fw::RegView::Force64));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, path, fw::RegView::Force64));
    EXPECT_TRUE(DeleteRegTree(HKEY_LOCAL_MACHINE, path, fw::RegView::Force64)); // already gone
}

TEST(Environment, FilesBelowProgramFiles)
{
    const std::wstring path =
        CreateFileBelowProgramFiles(L"\\HelmoraTests\\Deep\\Folder\\Tool.exe", "MZ");
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path, ProgramFilesDir() + L"\\HelmoraTests\\Deep\\Folder\\Tool.exe");
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(RemoveTree(ProgramFilesDir() + L"\\HelmoraTests"));
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}
