// Starting a program the way the pages do, in this process: the box for a program that is not
// there, the start itself (through the 64-bit helper library from Vista on), and the box when
// that library cannot be loaded.
//
// Built twice: ui_start_program runs beside the helper library in the bin folder;
// ui_start_program_no_helper runs from a folder of its own without it (only the
// StartProgramWithoutHelper tests), so no other test ever misses the library.
#include "shell/Launch.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/StandIns.h"

#include <gtest/gtest.h>

#include <string>

using namespace hlmtest;

namespace {

const wchar_t kMissingEnglish[] = L"This program has been changed, moved or uninstalled.";
const wchar_t kMissingGerman[] = L"Dieses Programm wurde ge\u00e4ndert, verschoben oder "
                                 L"deinstalliert.";
const wchar_t kHelperMissingPrefix[] = L"Can not load Korvex64 Dll err:";
// The id Windows gives the text of a message box.
constexpr int kBoxTextId = 0xFFFF;

// What the watcher found of the box the test thread showed.
struct SeenBox {
    bool found = false;
    std::wstring text;
    HWND owner = nullptr;
    int visibleButtons = 0;
    bool okVisible = false;
    bool strayDialogClosed = false; // another dialog blocked the test thread and was closed
};

// Watches, on a thread of its own, for the message box ("#32770", caption "Helmora") that the
// test thread may show while it is inside the call under test, which a box blocks: it reads the
// box, photographs it and presses OK. At its limit it closes any dialog the test thread still
// has open, so a test never hangs on a box nobody expected.
class BoxWatcher {
  public:
    BoxWatcher(const wchar_t* shotName, DWORD limitMs)
        : shotName_(shotName), limitMs_(limitMs), testThread_(GetCurrentThreadId()),
          stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread_ = CreateThread(nullptr, 0, &BoxWatcher::Run, this, 0, nullptr);
    }

    ~BoxWatcher() { Stop(); }

    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    bool Started() const { return thread_ != nullptr; }

    // Called when the call under test has returned: stops watching and reports.
    const SeenBox& Stop()
    {
        if (thread_) {
            SetEvent(stop_);
            WaitForSingleObject(thread_, limitMs_ + 10000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        if (stop_) {
            CloseHandle(stop_);
            stop_ = nullptr;
        }
        return seen_;
    }

  private:
    static DWORD WINAPI Run(void* self)
    {
        static_cast<BoxWatcher*>(self)->Watch();
        return 0;
    }

    void Watch()
    {
        const ULONGLONG deadline = GetTickCount64() + limitMs_;
        while (GetTickCount64() < deadline) {
            if (HWND box = FindBox()) {
                Answer(box);
                return;
            }
            if (WaitForSingleObject(stop_, 50) == WAIT_OBJECT_0)
                return;
        }
        EnumThreadWindows(testThread_, &BoxWatcher::CloseStray, reinterpret_cast<LPARAM>(this));
    }

    HWND FindBox() const
    {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", L"Helmora"); w;
             w = FindWindowExW(nullptr, w, L"#32770", L"Helmora")) {
            if (GetWindowThreadProcessId(w, nullptr) == testThread_ && IsWindowVisible(w))
                return w;
        }
        return nullptr;
    }

    void Answer(HWND box)
    {
        Sleep(300); // let it paint
        seen_.found = true;
        seen_.owner = GetWindow(box, GW_OWNER);
        seen_.text = ControlText(box, kBoxTextId);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[32] = {};
            GetClassNameW(child, cls, ARRAYSIZE(cls));
            if (_wcsicmp(cls, L"Button") == 0 && IsWindowVisible(child))
                ++seen_.visibleButtons;
        }
        seen_.okVisible = IsWindowVisible(GetDlgItem(box, IDOK)) != FALSE;
        if (shotName_)
            SavePng(box, ScreenshotDir() + L"\\" + shotName_ + L".png");
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }

    static BOOL CALLBACK CloseStray(HWND window, LPARAM self)
    {
        wchar_t cls[32] = {};
        GetClassNameW(window, cls, ARRAYSIZE(cls));
        if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window)) {
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            PostMessageW(window, WM_CLOSE, 0, 0);
            reinterpret_cast<BoxWatcher*>(self)->seen_.strayDialogClosed = true;
        }
        return TRUE;
    }

    const wchar_t* shotName_;
    DWORD limitMs_;
    DWORD testThread_;
    HANDLE stop_;
    HANDLE thread_ = nullptr;
    SeenBox seen_;
};

// StartProgram runs on the test thread; a plain top-level window of that thread stands in for the
// page that owns the box.
class StartProgramTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        CloseAllStandIns(kManualViewer); // left by an earlier run that failed
        ASSERT_TRUE(ProcessesNamed(kManualViewer.builtAs).empty())
            << "a manual viewer is running and does not close";
        owner_ =
            CreateWindowExW(0, L"STATIC", L"Owning page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                            320, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
    }

    void TearDown() override
    {
        CloseAllStandIns(kManualViewer);
        UninstallStandIn(kManualViewer);
        if (owner_)
            DestroyWindow(owner_);
    }

    // Runs StartProgram with a watcher for its box. The first box of a run may take long.
    SeenBox Start(const wchar_t* path, int osGeneration, LANGID language, const wchar_t* shot)
    {
        BoxWatcher watcher(shot, 60000);
        EXPECT_TRUE(watcher.Started());
        StartProgram(owner_, path, osGeneration, language);
        return watcher.Stop();
    }

    // After a start: the viewer's window appears; the test reads and closes it.
    void ExpectViewerStarted(const std::wstring& installedPath, const wchar_t* shot, int generation)
    {
        HWND viewer = WaitForStandIn(kManualViewer, 60000);
        ASSERT_NE(viewer, nullptr)
            << "generation " << generation << ": the manual viewer did not start";
        EXPECT_EQ(ProgramPathOf(viewer), installedPath) << generation;
        EXPECT_EQ(ControlText(viewer, kStandInArgumentsId), L"Started without arguments")
            << generation;
        if (shot) {
            EXPECT_TRUE(ShootStandIn(viewer, shot));
        }
        EXPECT_TRUE(CloseStandIn(viewer)) << generation;
    }

    HWND owner_ = nullptr;
};

class StartProgramWithoutHelper : public StartProgramTest {
  protected:
    void SetUp() override
    {
        ASSERT_EQ(GetFileAttributesW((BinDir() + L"\\Korvex64.dll").c_str()),
                  INVALID_FILE_ATTRIBUTES)
            << "this run belongs in a folder without the helper library";
        StartProgramTest::SetUp();
    }
};

} // namespace

TEST_F(StartProgramTest, AnEmptyPathShowsTheMissingProgramBoxInTheGivenLanguage)
{
    const struct {
        int osGeneration;
        LANGID language;
        const wchar_t* text;
        const wchar_t* shot;
    } cases[] = {
        {1, 0x0409, kMissingEnglish, L"start-program-missing-en"},
        {0, 0x0409, kMissingEnglish, nullptr},
        {2, 0x0407, kMissingGerman, L"start-program-missing-de"},
    };
    for (const auto& c : cases) {
        const SeenBox box = Start(L"", c.osGeneration, c.language, c.shot);
        ASSERT_TRUE(box.found) << "generation " << c.osGeneration << ": no box";
        EXPECT_EQ(box.text, c.text) << c.language;
        EXPECT_EQ(box.owner, owner_);
        EXPECT_TRUE(box.okVisible);
        EXPECT_EQ(box.visibleButtons, 1);
    }
    // Nothing was started for it, and the helper library was not needed.
    EXPECT_TRUE(ProcessesNamed(kManualViewer.builtAs).empty());
    EXPECT_EQ(GetModuleHandleW(L"Korvex64.dll"), nullptr);
}

// XP starts the program itself; Vista and 7 through the helper library, which is loaded for the
// call only.
TEST_F(StartProgramTest, StartsTheProgramOnEveryGeneration)
{
    const std::wstring path = InstallStandIn(kManualViewer);
    ASSERT_FALSE(path.empty());
    for (int generation : {1, 2, 0}) {
        const SeenBox box = Start(path.c_str(), generation, 0x0409, nullptr);
        EXPECT_FALSE(box.found || box.strayDialogClosed) << generation << ": " << box.text;
        EXPECT_EQ(GetModuleHandleW(L"Korvex64.dll"), nullptr) << generation;
        ASSERT_NO_FATAL_FAILURE(ExpectViewerStarted(
            path, generation == 1 ? L"start-program-manual-viewer" : nullptr, generation));
    }
}

TEST_F(StartProgramWithoutHelper, VistaAndSevenReportTheLibraryAndStartNothing)
{
    const std::wstring path = InstallStandIn(kManualViewer);
    ASSERT_FALSE(path.empty());
    for (int generation : {1, 2}) {
        const SeenBox box = Start(path.c_str(), generation, 0x0409,
                                  generation == 1 ? L"start-program-no-helper" : nullptr);
        ASSERT_TRUE(box.found) << generation;
        // With the load's own error: the library is not there.
        EXPECT_EQ(box.text, kHelperMissingPrefix + std::to_wstring(ERROR_MOD_NOT_FOUND))
            << generation;
        EXPECT_EQ(box.owner, owner_);
        EXPECT_TRUE(ProcessesNamed(kManualViewer.builtAs).empty()) << generation;
    }
}

TEST_F(StartProgramWithoutHelper, XpNeedsNoHelper)
{
    const std::wstring path = InstallStandIn(kManualViewer);
    ASSERT_FALSE(path.empty());
    const SeenBox box = Start(path.c_str(), 0, 0x0409, nullptr);
    EXPECT_FALSE(box.found || box.strayDialogClosed) << box.text;
    ASSERT_NO_FATAL_FAILURE(ExpectViewerStarted(path, nullptr, 0));
}
