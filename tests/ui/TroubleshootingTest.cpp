// The troubleshooting page as a user meets it: the self-check view behind the main window's
// button, the diagnosis tab with its tree, [Start] refused with nothing ticked, and one real
// diagnosis of the display category to its end.
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

using namespace hlmtest;

namespace {

constexpr int kTroubleshootButton = 1000;
constexpr int kSelfCheckTab = 1020;
constexpr int kDiagnosisTab = 1021;
constexpr int kStart = 1022;
constexpr int kTree = 1033;
constexpr int kResultText = 1040;
constexpr int kResultView = 1234;

class Troubleshooting : public ::testing::Test {
  protected:
    void TearDown() override
    {
        if (window_)
            PostMessageW(window_, WM_CLOSE, 0, 0);
        if (program_.Valid() && !program_.WaitForExit(15000))
            program_.Kill();
    }

    void Start()
    {
        program_ = Launch(BinDir() + L"\\HLMMain.exe");
        ASSERT_TRUE(program_.Valid());
        window_ = WaitForWindow(L"CHLMMainDlgMain", L"Helmora", 120000, program_.Id());
        ASSERT_NE(window_, nullptr);
        Sleep(300);
    }

    // The page: the child dialog that holds the troubleshooting title.
    HWND Page() const
    {
        for (HWND child = GetWindow(window_, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, 1034))
                return child;
        return nullptr;
    }

    HWND PageItem(int id) const { return GetDlgItem(Page(), id); }
    bool Visible(int id) const { return IsWindowVisible(PageItem(id)) != FALSE; }

    static void Click(HWND button)
    {
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
        Sleep(200);
    }

    static std::wstring Text(HWND control)
    {
        wchar_t text[512] = {};
        SendMessageTimeoutW(control, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
        return text;
    }

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

    // Ticks only the display category (or nothing) the way a user does, by clicking the boxes:
    // item pointers cannot cross into the program, so each box is found by clicking along the
    // item's row until its check state changes. The categories are collapsed, rows 0-3.
    void TickOnlyDisplay(bool display)
    {
        HWND tree = PageItem(kTree);
        const int height = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
        ASSERT_GT(height, 0);
        int index = 0;
        for (HTREEITEM item = TreeView_GetRoot(tree); item;
             item = TreeView_GetNextSibling(tree, item), ++index) {
            const UINT wanted = (index == 0 && display) ? 2 : 1;
            for (int x = 1; x < 80 && StateOf(tree, item) != wanted; x += 2) {
                const LPARAM where = MAKELPARAM(x, index * height + height / 2);
                PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, where);
                PostMessageW(tree, WM_LBUTTONUP, 0, where);
                Sleep(60);
                SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
            }
            EXPECT_EQ(StateOf(tree, item), wanted) << index;
        }
        EXPECT_EQ(index, 4);
    }

    static UINT StateOf(HWND tree, HTREEITEM item)
    {
        const LRESULT state = SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                           TVIS_STATEIMAGEMASK);
        return static_cast<UINT>(state & TVIS_STATEIMAGEMASK) >> 12;
    }

    void Shot(const wchar_t* name) const
    {
        Sleep(400);
        EXPECT_TRUE(SavePng(window_, ScreenshotDir() + L"\\" + name + L".png"));
    }

    Process program_;
    HWND window_ = nullptr;
};

} // namespace

TEST_F(Troubleshooting, TabsSwitchBetweenSelfCheckAndDiagnosisViews)
{
    ASSERT_TRUE(SetNation(244));
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
    ASSERT_TRUE(SetNation(244));
    Start();
    Click(GetDlgItem(window_, kTroubleshootButton));
    Click(PageItem(kDiagnosisTab));
    ASSERT_TRUE(Visible(kTree));
    TickOnlyDisplay(false);

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

TEST_F(Troubleshooting, DisplayDiagnosisRunsToItsEnd)
{
    ASSERT_TRUE(SetNation(244));
    Start();
    Click(GetDlgItem(window_, kTroubleshootButton));
    Click(PageItem(kDiagnosisTab));
    TickOnlyDisplay(true);

    PostMessageW(PageItem(kStart), BM_CLICK, 0, 0);
    // The progress popup: a top-level dialog of the program other than the main window.
    HWND popup = nullptr;
    for (int i = 0; i < 600 && !popup; ++i) {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
             w = FindWindowExW(nullptr, w, L"#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == program_.Id() && IsWindowVisible(w) && w != window_) {
                popup = w;
                break;
            }
        }
        if (!popup)
            Sleep(50);
    }
    ASSERT_NE(popup, nullptr) << "no progress popup";
    EXPECT_FALSE(IsWindowEnabled(window_));
    Sleep(1500);
    EXPECT_TRUE(SavePng(popup, ScreenshotDir() + L"\\troubleshooting-progress.png"));

    for (int i = 0; i < 1200 && IsWindow(popup); ++i) // at most 120 s
        Sleep(100);
    ASSERT_FALSE(IsWindow(popup)) << "the run did not end within 120 s";
    Sleep(300);

    // State 3 or 4: the result text is shown, the tree is gone.
    EXPECT_TRUE(Visible(kResultText));
    EXPECT_FALSE(Visible(kTree));
    const std::wstring result = Text(PageItem(kResultText));
    EXPECT_TRUE(result == L"Diagnosis Complete - found problem." ||
                result == L"Diagnosis Complete- No Action required.")
        << result.c_str();
    EXPECT_EQ(Visible(kResultView), result == L"Diagnosis Complete - found problem.");
    Shot(L"troubleshooting-end");
}
