// The troubleshooting page as a user meets it: the self-check view behind the main window's
// button and a self-help question's popup, the diagnosis tab with its tree for each Windows
// generation, [Start] refused with nothing ticked, and real diagnoses of the display category
// through the diagnostic library under Wine: to their end, with a repair, and cancelled.
#include "diaglib/exports/TestResult.h"
#include "standins/pavi/FirmwareState.h"
#include "tests/diaglib/TestService.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ProgramTest.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace hlmtest;

namespace {

constexpr int kTroubleshootButton = 1000;
constexpr int kSelfCheckTab = 1020;
constexpr int kDiagnosisTab = 1021;
constexpr int kStart = 1022;
constexpr int kBatteryQuestion = 1031;
constexpr int kTree = 1033;
constexpr int kResultText = 1040;
constexpr int kResultView = 1234;
constexpr int kProgressBar = 1151;
constexpr DWORD kRunMs = 120000;

constexpr wchar_t kProblemsFound[] = L"Diagnosis Complete - found problem.";
constexpr wchar_t kNoProblems[] = L"Diagnosis Complete- No Action required.";

class Troubleshooting : public ProgramTest {
  protected:
    void Start() { StartProgram(); }
    void Stop() { StopProgram(); }

    void OpenDiagnosisView()
    {
        Click(GetDlgItem(window_, kTroubleshootButton));
        ASSERT_NE(Page(), nullptr);
        Click(PageItem(kDiagnosisTab));
        ASSERT_TRUE(Visible(kTree));
    }

    // The page: the child dialog that holds the troubleshooting title.
    HWND Page() const { return ChildHolding(window_, 1034); }

    HWND PageItem(int id) const { return GetDlgItem(Page(), id); }
    bool Visible(int id) const { return IsWindowVisible(PageItem(id)) != FALSE; }

    static void Click(HWND button) { ClickAndWait(button, 10000, 200); }
    static std::wstring Text(HWND control) { return WindowText(control); }

    // The static texts of a message box, joined.
    static std::wstring BoxText(HWND box)
    {
        std::wstring all;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[32] = {};
            GetClassNameW(child, cls, ARRAYSIZE(cls));
            if (std::wstring(cls) == L"Static")
                all += Text(child);
        }
        return all;
    }

    // A shown top-level dialog of the program other than the main window and `besides`,
    // waited for at most `ms`.
    HWND WaitForPopup(DWORD ms, HWND besides = nullptr) const
    {
        const DWORD started = GetTickCount();
        do {
            for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
                 w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == program_.Id() && IsWindowVisible(w) && w != window_ && w != besides)
                    return w;
            }
            Sleep(50);
        } while (GetTickCount() - started < ms);
        return nullptr;
    }

    template <typename Condition>
    static bool WaitFor(Condition condition, DWORD ms)
    {
        const DWORD started = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - started >= ms)
                return false;
            Sleep(50);
        }
        return true;
    }

    static bool WaitUntilGone(HWND window, DWORD ms)
    {
        const DWORD started = GetTickCount();
        while (IsWindow(window) && GetTickCount() - started < ms)
            Sleep(50);
        return !IsWindow(window);
    }

    // Ticks the categories the way a user does, by clicking the boxes: item pointers cannot
    // cross into the program, so each box is found by clicking along the item's row until its
    // check state changes. The categories are collapsed, rows 0-3 (display, sound, network,
    // system).
    void Tick(bool display, bool sound = false, bool network = false, bool system = false)
    {
        const bool wanted[] = {display, sound, network, system};
        HWND tree = PageItem(kTree);
        const int height = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
        ASSERT_GT(height, 0);
        int index = 0;
        for (HTREEITEM item = TreeView_GetRoot(tree); item && index < 4;
             item = TreeView_GetNextSibling(tree, item), ++index) {
            const UINT state = wanted[index] ? 2 : 1;
            for (int x = 1; x < 80 && StateOf(tree, item) != state; x += 2) {
                const LPARAM where = MAKELPARAM(x, index * height + height / 2);
                PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, where);
                PostMessageW(tree, WM_LBUTTONUP, 0, where);
                Sleep(60);
                SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
            }
            EXPECT_EQ(StateOf(tree, item), state) << index;
        }
        EXPECT_EQ(index, 4);
    }

    static UINT StateOf(HWND tree, HTREEITEM item)
    {
        const LRESULT state = SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                           TVIS_STATEIMAGEMASK);
        return static_cast<UINT>(state & TVIS_STATEIMAGEMASK) >> 12;
    }

    // [Start] pressed; the progress popup that opens, with the main window disabled under it.
    HWND StartRun()
    {
        PostMessageW(PageItem(kStart), BM_CLICK, 0, 0); // the popup is modal: do not wait
        HWND popup = WaitForPopup(30000);
        EXPECT_NE(popup, nullptr) << "no progress popup";
        if (popup) {
            EXPECT_FALSE(IsWindowEnabled(window_));
        }
        return popup;
    }

    static int ProgressOf(HWND popup)
    {
        DWORD_PTR position = 0;
        SendMessageTimeoutW(GetDlgItem(popup, kProgressBar), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG,
                            5000, &position);
        return static_cast<int>(position);
    }

    // Waits for the progress bar to pass `rows`; false when the popup ended first.
    static bool WaitForProgress(HWND popup, int rows, DWORD ms)
    {
        const DWORD started = GetTickCount();
        while (IsWindow(popup) && GetTickCount() - started < ms) {
            if (ProgressOf(popup) > rows)
                return true;
            Sleep(50);
        }
        return false;
    }

    // The visible buttons of the result view's rows.
    std::vector<HWND> RowButtons() const
    {
        std::vector<HWND> buttons;
        for (HWND child = GetWindow(PageItem(kResultView), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[32] = {};
            GetClassNameW(child, cls, ARRAYSIZE(cls));
            if (std::wstring(cls) == L"Button" && IsWindowVisible(child))
                buttons.push_back(child);
        }
        return buttons;
    }

    void Shot(HWND window, const wchar_t* name) const
    {
        Sleep(400);
        EXPECT_TRUE(SavePng(window, ScreenshotDir() + L"\\" + name + L".png"));
    }
    void Shot(const wchar_t* name) const { Shot(window_, name); }

};

// The same page, left to run diagnoses.
using TroubleshootingRun = Troubleshooting;

} // namespace

TEST_F(Troubleshooting, TabsSwitchBetweenSelfCheckAndDiagnosisViews)
{
    Start();
    Click(GetDlgItem(window_, kTroubleshootButton));
    ASSERT_NE(Page(), nullptr);
    ASSERT_TRUE(IsWindowVisible(Page()));

    struct View {
        int tab;
        bool topics, tree, start, result;
        const wchar_t* shot;
    };
    const View views[] = {
        {0, true, false, false, false, L"troubleshooting-self-check"},
        {kDiagnosisTab, false, true, true, false, L"troubleshooting-tree"},
        {kSelfCheckTab, true, false, false, false, nullptr},
    };
    for (const View& view : views) {
        if (view.tab)
            Click(PageItem(view.tab));
        EXPECT_EQ(Visible(1027), view.topics) << view.tab; // the Internet question: always there
        EXPECT_EQ(Visible(1036), view.topics) << view.tab;
        EXPECT_EQ(Visible(kTree), view.tree) << view.tab;
        EXPECT_EQ(Visible(kStart), view.start) << view.tab;
        EXPECT_EQ(Visible(kResultView), view.result) << view.tab;
        EXPECT_FALSE(Visible(1032)) << view.tab; // the printing question is never offered
        // The selected tab is disabled, the other one can be clicked.
        EXPECT_EQ(IsWindowEnabled(PageItem(kSelfCheckTab)) != FALSE, !view.topics) << view.tab;
        EXPECT_EQ(IsWindowEnabled(PageItem(kDiagnosisTab)) != FALSE, view.topics) << view.tab;
        if (view.shot)
            Shot(view.shot);
    }
}

TEST_F(Troubleshooting, StartWithNothingTickedOnlyShowsTheMessage)
{
    Start();
    OpenDiagnosisView();
    Tick(false);

    PostMessageW(PageItem(kStart), BM_CLICK, 0, 0); // the box is modal: do not wait for it
    HWND box = WaitForWindow(L"#32770", L"Helmora", 30000, program_.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(BoxText(box).find(L"No items selected."), std::wstring::npos) << BoxText(box).c_str();
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(box));
    // Still the diagnosis view: no run happened.
    EXPECT_TRUE(Visible(kTree));
    EXPECT_FALSE(Visible(kResultText));
}


TEST_F(Troubleshooting, TreeRowsFollowTheWindowsGeneration)
{
    // The simulated notebook reads as an 'N' model: only the generation drops rows.
    struct Case {
        WinGeneration generation;
        int rows[4]; // display, sound, network, system
        const wchar_t* shot;
    };
    const Case cases[] = {
        {WinGeneration::Win7, {6, 6, 5, 10}, nullptr},
        {WinGeneration::XP, {5, 4, 5, 10}, L"troubleshooting-tree-xp"},
    };
    for (const Case& c : cases) {
        SetReportedGeneration(kProgram, c.generation);
        Start();
        OpenDiagnosisView();
        HWND tree = PageItem(kTree);
        int category = 0;
        for (HTREEITEM item = TreeView_GetRoot(tree); item;
             item = TreeView_GetNextSibling(tree, item), ++category) {
            int rows = 0;
            for (HTREEITEM row = TreeView_GetChild(tree, item); row;
                 row = TreeView_GetNextSibling(tree, row))
                ++rows;
            ASSERT_LT(category, 4);
            EXPECT_EQ(rows, c.rows[category]) << "category " << category;
        }
        EXPECT_EQ(category, 4);
        if (c.shot) {
            HTREEITEM display = TreeView_GetRoot(tree);
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(display));
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND,
                         reinterpret_cast<LPARAM>(TreeView_GetNextSibling(tree, display)));
            Shot(c.shot);
        }
        Stop();
    }
}

TEST_F(Troubleshooting, SelfHelpQuestionOpensItsTopicPopup)
{
    // The battery question is offered when the firmware says so; its header takes two lines.
    ASSERT_TRUE(WriteRegDword(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, pavi_state::kBatteryTopic,
                              0, fw::RegView::Force64));
    Start();
    Click(GetDlgItem(window_, kTroubleshootButton));
    ASSERT_TRUE(Visible(kBatteryQuestion));

    // Closed once by its close box and once by Escape; each time the main window is usable
    // again.
    const UINT closings[] = {WM_SYSCOMMAND, WM_KEYDOWN};
    for (UINT closing : closings) {
        PostMessageW(PageItem(kBatteryQuestion), BM_CLICK, 0, 0);
        HWND popup = WaitForPopup(30000);
        ASSERT_NE(popup, nullptr) << "no self-help popup";
        RECT client = {};
        GetClientRect(popup, &client);
        EXPECT_EQ(client.right, 720);
        EXPECT_EQ(client.bottom, 480);
        HWND view = GetDlgItem(popup, kResultView);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(IsWindowVisible(view));
        RECT place = {};
        GetWindowRect(view, &place);
        MapWindowPoints(nullptr, popup, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.top, 54);
        EXPECT_FALSE(IsWindowEnabled(window_));
        if (closing == WM_SYSCOMMAND) {
            Shot(popup, L"self-help-battery");
            PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        EXPECT_TRUE(WaitUntilGone(popup, 10000)) << closing;
        Sleep(200);
        EXPECT_TRUE(IsWindowEnabled(window_)) << closing;
    }
    DeleteRegTree(HKEY_LOCAL_MACHINE, pavi_state::kKeyPath, fw::RegView::Force64);
}

TEST_F(TroubleshootingRun, DisplayDiagnosisEndsInWhatTheTestsFound)
{
    // Under Wine the display tests find nothing, unless the desktop window manager's service
    // exists and is stopped: then the one problem gets its row and repair button, and the
    // repair (not built yet) answers Not Fixed.
    struct Case {
        bool dwmStopped;
        const wchar_t* result;
        const wchar_t* shot;
    };
    const Case cases[] = {
        {false, kNoProblems, L"troubleshooting-no-problems"},
        {true, kProblemsFound, L"troubleshooting-result"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<diagtest::TestService> dwm;
        if (c.dwmStopped) {
            dwm = std::make_unique<diagtest::TestService>(SERVICE_DEMAND_START, std::wstring(),
                                                          L"UxSms");
            ASSERT_TRUE(dwm->Created()) << "a service UxSms exists already";
        }
        Start();
        OpenDiagnosisView();
        Tick(true);
        if (!c.dwmStopped)
            Shot(L"troubleshooting-tree");
        HWND popup = StartRun();
        ASSERT_NE(popup, nullptr);
        if (!c.dwmStopped) {
            ASSERT_TRUE(WaitForProgress(popup, 1, kRunMs));
            Shot(popup, L"troubleshooting-progress");
        }
        ASSERT_TRUE(WaitUntilGone(popup, kRunMs)) << "the run did not end";
        Sleep(300);
        EXPECT_TRUE(IsWindowEnabled(window_));

        // State 3 or 4: the result text is shown, the tree is gone.
        EXPECT_TRUE(Visible(kResultText));
        EXPECT_FALSE(Visible(kTree));
        EXPECT_EQ(Text(PageItem(kResultText)), c.result);
        EXPECT_EQ(Visible(kResultView), c.dwmStopped);
        if (c.dwmStopped) {
            const std::vector<HWND> buttons = RowButtons();
            ASSERT_EQ(buttons.size(), 1u);
            Shot(c.shot);
            PostMessageW(buttons[0], BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(buttons[0]); }, 30000))
                << "the repair button stayed";
            Shot(L"troubleshooting-not-fixed");
        } else {
            Shot(c.shot);
        }
        Stop();
    }
}

TEST_F(TroubleshootingRun, CancelAnsweredNoResumesAndYesEndsInTheDiagnosisView)
{
    Start();
    OpenDiagnosisView();
    Tick(true);

    const bool answers[] = {false, true}; // No, then Yes
    for (bool yes : answers) {
        HWND popup = StartRun();
        ASSERT_NE(popup, nullptr);
        HWND cancel = GetDlgItem(popup, IDCANCEL);
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(cancel) != FALSE; }, 10000));
        PostMessageW(cancel, BM_CLICK, 0, 0);
        HWND confirmation = WaitForPopup(10000, popup);
        ASSERT_NE(confirmation, nullptr) << "no cancel confirmation";

        // While the question is open the run stands still.
        const int held = ProgressOf(popup);
        if (!yes)
            Shot(confirmation, L"troubleshooting-cancel");
        Sleep(2500);
        EXPECT_EQ(ProgressOf(popup), held) << "the run went on under the question";
        EXPECT_TRUE(IsWindow(popup));

        PostMessageW(GetDlgItem(confirmation, yes ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntilGone(confirmation, 10000));
        if (!yes) {
            // It goes on to its end and shows what it found.
            EXPECT_TRUE(WaitForProgress(popup, held, kRunMs)) << "the run did not resume";
            ASSERT_TRUE(WaitUntilGone(popup, kRunMs));
            Sleep(300);
            EXPECT_EQ(Text(PageItem(kResultText)), kNoProblems);
            // Back to the diagnosis view for the second run.
            Click(PageItem(kDiagnosisTab));
            ASSERT_TRUE(Visible(kTree));
        } else {
            ASSERT_TRUE(WaitUntilGone(popup, 10000));
            Sleep(300);
            EXPECT_TRUE(IsWindowEnabled(window_));
            EXPECT_TRUE(Visible(kTree));
            EXPECT_TRUE(Visible(kStart));
            EXPECT_FALSE(Visible(kResultText));
            EXPECT_FALSE(Visible(kResultView));
        }
    }
}

// The system category through the program shows what the library's system tests find on this
// machine: the same exports called here first, in the order and with the skip rule the program
// runs them (the update tool's settings only when the tool is installed), give the rows.
TEST_F(TroubleshootingRun, SystemDiagnosisShowsWhatTheSystemTestsFind)
{
    const std::wstring path = BinDir() + L"\\ProbixWin7.dll";
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(library, nullptr);
    // An 'N' model on Windows 7: the key utility's test is not run.
    const char* const kSystemTests[] = {
        "DllTestSystemHddSpace",        "DllTestSystemAntiVirusInstalled",
        "DllTestSystemFirewall",        "DllTestSystemVirtualMemory",
        "DllTestSystemWindowsUpdate",   "DllTestSystemTempInternetFile",
        "DllTestSystemDSVInstalled",    "DllTestSystemSPVInstalled",
        "DllTestSystemPTWInstalled",    "DllTestSystemPTWConfig",
    };
    std::vector<int> problems;
    bool updateToolInstalled = true;
    for (const char* name : kSystemTests) {
        const auto test = reinterpret_cast<DiagExport>(GetProcAddress(library, name));
        ASSERT_NE(test, nullptr) << name;
        if (std::string(name) == "DllTestSystemPTWConfig" && !updateToolInstalled)
            continue;
        TestResult record;
        if (!test(&record)) {
            problems.push_back(record.problemCode);
            if (std::string(name) == "DllTestSystemPTWInstalled")
                updateToolInstalled = false;
        }
    }
    FreeLibrary(library);
    std::wstring codes;
    for (int code : problems)
        codes += std::to_wstring(code) + L" ";

    Start();
    OpenDiagnosisView();
    Tick(false, false, false, true);
    HWND popup = StartRun();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(WaitUntilGone(popup, kRunMs)) << "the run did not end";
    Sleep(300);
    EXPECT_EQ(Text(PageItem(kResultText)), problems.empty() ? kNoProblems : kProblemsFound)
        << codes.c_str();
    // Every system problem has a repair or install button on its row.
    EXPECT_EQ(RowButtons().size(), problems.size()) << codes.c_str();
    Shot(L"troubleshooting-system");
}
