// The main window's two launchers: the user guide starts the manual viewer that the maker's
// installer registered, and Update either opens the update page or, while the update tool's
// licence is still open, starts the tool and goes home.
#include "tests/support/TestSupport.h"
#include "tests/ui/StandIns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hlmtest;

namespace {

const wchar_t kAppPathKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Runmanual.exe";
const wchar_t kUpdateToolKey[] = L"SOFTWARE\\Vantrel\\Patchwell";
const wchar_t kRecoveryManagers[][40] = {L"\\Vantrel\\Restorix 4\\Rvmgr1.exe",
                                         L"\\Vantrel\\Restorix 5\\Rvmgr1.exe"};

// The maker's installers are 32-bit and write the 32-bit view; the program under test is the
// 64-bit build and reads the native one. Both get the same values (Wine links the 32-bit App
// Paths to the native key, so there the second write and delete meet the first's key).
const fw::RegView kViews[] = {fw::RegView::Force64, fw::RegView::Force32};

const int kPageButtons[] = {1000, 1001, 1002, 1003, 1004};
// The title static of each page behind those buttons; the home page has none of them.
const int kPageTitles[] = {1034, 1060, 1050, 1083, 1100};
constexpr int kUpdateTitle = 1083;
constexpr int kUtilitiesTitle = 1060;

std::wstring ProgramFilesX86Dir()
{
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramFiles(x86)", path, MAX_PATH);
    return path;
}

class Launchers : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetNation(244)); // all five page buttons
        CleanUp();
    }

    void TearDown() override
    {
        if (window_)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        if (program_.Valid()) {
            EXPECT_TRUE(program_.WaitForExit(15000));
        }
        CleanUp();
    }

    void CleanUp()
    {
        CloseAllStandIns(kManualViewer);
        CloseAllStandIns(kUpdateClient);
        UninstallStandIn(kManualViewer);
        UninstallStandIn(kUpdateClient);
        for (fw::RegView view : kViews) {
            DeleteRegTree(HKEY_LOCAL_MACHINE, kAppPathKey, view);
            DeleteRegTree(HKEY_LOCAL_MACHINE, kUpdateToolKey, view);
        }
        if (!recoveryManager_.empty()) {
            RemoveTree(recoveryManager_.substr(0, recoveryManager_.rfind(L'\\')));
            recoveryManager_.clear();
        }
    }

    void InstallManual()
    {
        const std::wstring path = InstallStandIn(kManualViewer);
        ASSERT_FALSE(path.empty()) << GetLastError();
        for (fw::RegView view : kViews)
            ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kAppPathKey, L"", path.c_str(), view));
    }

    void InstallUpdateClient()
    {
        ASSERT_FALSE(InstallStandIn(kUpdateClient).empty()) << GetLastError();
    }

    // A negative value: the key is not there at all.
    void SetUserRegistration(int value)
    {
        for (fw::RegView view : kViews) {
            ASSERT_TRUE(DeleteRegTree(HKEY_LOCAL_MACHINE, kUpdateToolKey, view));
            if (value >= 0) {
                ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, kUpdateToolKey, L"User Registration",
                                          static_cast<DWORD>(value), view));
            }
        }
    }

    void InstallRecoveryManager()
    {
        recoveryManager_ = CreateFileBelowProgramFiles(kRecoveryManagers[1], "MZ");
        ASSERT_FALSE(recoveryManager_.empty());
    }

    // State 3 needs a notebook without the recovery solution in either program folder.
    static void ExpectNoRecoverySolution()
    {
        for (const std::wstring& folder : {ProgramFilesDir(), ProgramFilesX86Dir()}) {
            for (const wchar_t* manager : kRecoveryManagers) {
                ASSERT_EQ(GetFileAttributesW((folder + manager).c_str()), INVALID_FILE_ATTRIBUTES)
                    << "left over: " << testing::PrintToString(folder + manager);
            }
        }
    }

    void Start()
    {
        program_ = Launch(BinDir() + L"\\HLMMain.exe");
        ASSERT_TRUE(program_.Valid());
        window_ = WaitForWindow(L"CHLMMainDlgMain", L"Helmora", 120000, program_.Id());
        ASSERT_NE(window_, nullptr);
        Sleep(300);
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }

    // Returns when the main window has handled the click; a launch is part of that.
    void Click(int id)
    {
        DWORD_PTR ignored = 0;
        ASSERT_NE(SendMessageTimeoutW(Item(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored),
                  0)
            << "button " << id << " did not answer";
        Sleep(150);
    }

    // The one visible page (a child dialog of the main window); nullptr unless exactly one is.
    HWND VisiblePage() const
    {
        std::vector<HWND> pages;
        for (HWND child = GetWindow(window_, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[64] = {};
            GetClassNameW(child, cls, ARRAYSIZE(cls));
            if (std::wstring(cls) == L"#32770" && IsWindowVisible(child))
                pages.push_back(child);
        }
        return pages.size() == 1 ? pages[0] : nullptr;
    }

    void ExpectPageWithTitle(int titleId, const char* when)
    {
        HWND page = VisiblePage();
        ASSERT_NE(page, nullptr) << when;
        EXPECT_NE(GetDlgItem(page, titleId), nullptr) << when;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, titleId))) << when;
    }

    void ExpectHomePage(const char* when)
    {
        HWND page = VisiblePage();
        ASSERT_NE(page, nullptr) << when;
        for (int title : kPageTitles)
            EXPECT_EQ(GetDlgItem(page, title), nullptr) << when << ": page with title " << title;
    }

    // `selected` is the one disabled page button, 0 for none.
    void ExpectPageButtons(int selected, const char* when)
    {
        for (int id : kPageButtons)
            EXPECT_EQ(IsWindowEnabled(Item(id)) != FALSE, id != selected)
                << when << ": button " << id;
    }

    Process program_;
    HWND window_ = nullptr;
    std::wstring recoveryManager_;
};

} // namespace

TEST_F(Launchers, UserGuideStartsTheRegisteredManualAndKeepsThePage)
{
    ASSERT_NO_FATAL_FAILURE(InstallManual());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(IsWindowVisible(Item(1300)));
    Click(1001); // a page other than home, its button selected
    ExpectPageButtons(1001, "on the utilities page");

    Click(1300);
    // The first window the prefix shows in a run can take long.
    HWND viewer = WaitForStandIn(kManualViewer, 60000);
    ASSERT_NE(viewer, nullptr) << "the manual viewer did not start";
    // Found by its registration: the copy below Program Files, not the one in the bin folder.
    EXPECT_EQ(ProgramPathOf(viewer), ProgramFilesDir() + kManualViewer.installedAt);
    EXPECT_EQ(ControlText(viewer, kStandInArgumentsId), L"Started without arguments");
    EXPECT_TRUE(ShootStandIn(viewer, L"launch-manual-viewer"));

    ExpectPageButtons(0, "after the user guide");
    ExpectPageWithTitle(kUtilitiesTitle, "after the user guide");
    EXPECT_TRUE(CloseStandIn(viewer));
}

TEST_F(Launchers, UpdateWithTheLicenceOpenStartsTheToolAndGoesHome)
{
    ASSERT_NO_FATAL_FAILURE(InstallUpdateClient());
    ASSERT_NO_FATAL_FAILURE(SetUserRegistration(0));
    ASSERT_NO_FATAL_FAILURE(Start());
    Click(1001);
    ExpectPageButtons(1001, "on the utilities page");

    Click(1003);
    HWND client = WaitForStandIn(kUpdateClient, 60000);
    ASSERT_NE(client, nullptr) << "the update tool did not start";
    EXPECT_EQ(ProgramPathOf(client), ProgramFilesDir() + kUpdateClient.installedAt);
    EXPECT_EQ(ControlText(client, kStandInArgumentsId), L"Started without arguments");
    EXPECT_TRUE(ShootStandIn(client, L"launch-update-tool"));

    ExpectHomePage("after Update in state 0");
    ExpectPageButtons(0, "after Update in state 0");
    EXPECT_TRUE(CloseStandIn(client));
}

// Every other state shows the update page. The main window asks for the state on each click,
// so one run goes through them all, back home in between.
TEST_F(Launchers, UpdateShowsItsPageInEveryOtherState)
{
    ASSERT_NO_FATAL_FAILURE(ExpectNoRecoverySolution());
    ASSERT_NO_FATAL_FAILURE(Start());
    const struct {
        const char* name;
        bool client;
        int registration; // negative: no key
        bool recovery;
    } states[] = {
        {"state 1: licence accepted", true, 1, false},
        {"state 1: no settings key", true, -1, false},
        {"state 1: unknown registration value", true, 7, false},
        {"state 3: no client, no recovery solution", false, -1, false},
        {"state 2: no client, recovery solution 5", false, -1, true},
    };
    for (const auto& state : states) {
        if (state.client) {
            ASSERT_NO_FATAL_FAILURE(InstallUpdateClient());
        } else {
            UninstallStandIn(kUpdateClient);
        }
        ASSERT_NO_FATAL_FAILURE(SetUserRegistration(state.registration));
        if (state.recovery) {
            ASSERT_NO_FATAL_FAILURE(InstallRecoveryManager());
        }

        Click(1003);
        ExpectPageWithTitle(kUpdateTitle, state.name);
        ExpectPageButtons(1003, state.name);
        // A start would have made the process before the click returned.
        EXPECT_TRUE(ProcessesNamed(kUpdateClient.builtAs).empty()) << state.name;

        Click(1005); // home
        ExpectHomePage(state.name);
    }
    Click(1003);
    Sleep(300);
    EXPECT_TRUE(SavePng(window_, ScreenshotDir() + L"\\launch-update-page.png"));
}
