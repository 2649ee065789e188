// Dialogs driven as the program drives them: modal runs ended from inside by commands, keys,
// timers and WM_QUIT, the owner around a run, and pages created inside another window.

#include "tests/framework/windows/WindowTestSupport.h"
#include "tests/framework/windows/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using fwtest::GuardedDialog;
using fwtest::HostWindow;
using fwtest::kWatchdogResult;

// The popup template with hooks: `atInit` runs inside OnInitDialog, `inLoop` from a timer once
// the modal loop runs (timers come last, after everything posted before them).
class ScriptedDialog : public GuardedDialog {
  public:
    explicit ScriptedDialog(HWND owner = nullptr) : GuardedDialog(IDD_TEST_POPUP, owner) {}

    std::function<void(ScriptedDialog&)> atInit;
    std::function<void(ScriptedDialog&)> inLoop;

    bool controlsAtInit = false;
    bool shown = false;
    int okCalls = 0;
    int cancelCalls = 0;

  protected:
    static constexpr UINT_PTR kLoopTimer = 1;

    bool OnInitDialog() override
    {
        GuardedDialog::OnInitDialog();
        controlsAtInit = GetDlgItem(IDC_POPUP_EDIT) && GetDlgItem(IDOK) && GetDlgItem(IDCANCEL) &&
                         FromHandle(m_hWnd) == this;
        if (inLoop)
            SetTimer(kLoopTimer, 10);
        if (atInit)
            atInit(*this);
        return true;
    }

    void OnTimer(UINT_PTR id) override
    {
        if (id != kLoopTimer) {
            GuardedDialog::OnTimer(id);
            return;
        }
        KillTimer(id);
        inLoop(*this);
    }

    void OnOK() override
    {
        ++okCalls;
        GuardedDialog::OnOK();
    }

    void OnCancel() override
    {
        ++cancelCalls;
        GuardedDialog::OnCancel();
    }

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_SHOWWINDOW && wp)
            shown = true;
        return GuardedDialog::WindowProc(msg, wp, lp);
    }
};

// A page: the child-dialog template, created inside another window.
class PageDialog : public fw::CDialog {
  public:
    PageDialog() : fw::CDialog(IDD_TEST_PAGE) {}
    ~PageDialog() override { DestroyWindow(); }

    bool controlsAtInit = false;
    std::vector<WORD> commands;
    int ncDestroyed = 0;

  protected:
    bool OnInitDialog() override
    {
        controlsAtInit = GetDlgItem(IDC_PAGE_APPLY) != nullptr;
        return true;
    }

    bool OnCommand(WORD id, WORD code, HWND control) override
    {
        if (id != IDC_PAGE_APPLY)
            return fw::CDialog::OnCommand(id, code, control);
        commands.push_back(id);
        return true;
    }

    void PostNcDestroy() override { ++ncDestroyed; }
};

LPARAM KeyDownLParam(WPARAM vk)
{
    return static_cast<LPARAM>(1 | (MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC) << 16));
}

TEST(ModalDialog, ReturnsTheEndDialogValueAndLeavesNoWindowBehind)
{
    ScriptedDialog dialog;
    HWND during = nullptr;
    bool foundDuring = false;
    bool visibleDuring = false;
    dialog.inLoop = [&](ScriptedDialog& d) {
        during = d.GetSafeHwnd();
        foundDuring = fw::CWnd::FromHandle(during) == &d;
        visibleDuring = d.IsWindowVisible();
        d.EndDialog(42);
    };

    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.controlsAtInit);
    EXPECT_TRUE(foundDuring);
    EXPECT_TRUE(visibleDuring);
    ASSERT_NE(during, nullptr);
    EXPECT_FALSE(IsWindow(during));
    EXPECT_EQ(fw::CWnd::FromHandle(during), nullptr);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.ncDestroyed, 1);

    // The same object runs again, as a dialog opened a second time does.
    dialog.inLoop = [](ScriptedDialog& d) { d.EndDialog(7); };
    EXPECT_EQ(dialog.DoModal(), 7);
    EXPECT_EQ(dialog.ncDestroyed, 2);
}

TEST(ModalDialog, CommandsCloseAndButtonClicksEndTheRunThroughOnOKAndOnCancel)
{
    struct Case {
        const char* name;
        int target; // 0: the dialog itself, otherwise a control id
        UINT msg;
        WPARAM wp;
        INT_PTR result;
        int okCalls;
        int cancelCalls;
    };
    const Case cases[] = {
        {"WM_COMMAND IDOK", 0, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), IDOK, 1, 0},
        {"WM_COMMAND IDCANCEL", 0, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), IDCANCEL, 0, 1},
        // The dialog manager turns WM_CLOSE (the caption's close box) into IDCANCEL.
        {"WM_CLOSE", 0, WM_CLOSE, 0, IDCANCEL, 0, 1},
        {"click on OK", IDOK, BM_CLICK, 0, IDOK, 1, 0},
        {"click on Cancel", IDCANCEL, BM_CLICK, 0, IDCANCEL, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialog dialog;
        dialog.inLoop = [&c](ScriptedDialog& d) {
            const HWND target = c.target ? d.GetDlgItem(c.target) : d.GetSafeHwnd();
            PostMessageW(target, c.msg, c.wp, 0);
        };
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.okCalls, c.okCalls);
        EXPECT_EQ(dialog.cancelCalls, c.cancelCalls);
    }
}

TEST(ModalDialog, EndDialogInsideOnInitDialogEndsWithoutShowingOrLooping)
{
    HostWindow owner;
    ASSERT_TRUE(owner.Create());
    ScriptedDialog dialog(owner);
    constexpr UINT kMarker = WM_APP + 7;
    dialog.atInit = [](ScriptedDialog& d) {
        // Any loop would take this off the queue.
        PostThreadMessageW(GetCurrentThreadId(), kMarker, 0, 0);
        d.EndDialog(5);
    };

    EXPECT_EQ(dialog.DoModal(), 5);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, kMarker, kMarker, PM_REMOVE));
    EXPECT_FALSE(dialog.shown);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.ncDestroyed, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

// Ending twice within one message (a handler that ends the run and then calls the base
// OnOK) must not destroy the dialog under the handler still running, nor before its owner
// has its input back. The last value wins, as with the system's EndDialog.
TEST(ModalDialog, EndDialogCalledTwiceKeepsTheWindowUntilTheRunEnds)
{
    HostWindow owner;
    ASSERT_TRUE(owner.Create());
    ScriptedDialog dialog(owner);
    bool aliveAfterSecond = false;
    bool ownerDisabledAfterSecond = false;
    dialog.inLoop = [&](ScriptedDialog& d) {
        d.EndDialog(IDOK);
        d.EndDialog(IDCANCEL);
        aliveAfterSecond = IsWindow(d) && d.GetSafeHwnd() != nullptr;
        ownerDisabledAfterSecond = !IsWindowEnabled(owner);
    };

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(aliveAfterSecond);
    EXPECT_TRUE(ownerDisabledAfterSecond);
    EXPECT_EQ(dialog.ncDestroyed, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

// A modal run takes input away from the top-level window it belongs to, also when it was
// opened from a page inside that window, and gives it back only if it had it before.
TEST(ModalDialog, DisablesTheTopLevelOwnerForTheRunOnly)
{
    enum class Opener { TopLevel, PageInside, DisabledTopLevel };
    struct Case {
        const char* name;
        Opener opener;
        bool enabledAfter;
    };
    const Case cases[] = {
        {"owned by a top-level window", Opener::TopLevel, true},
        {"opened from a page of the window", Opener::PageInside, true},
        {"owner already disabled", Opener::DisabledTopLevel, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostWindow top;
        ASSERT_TRUE(top.Create());
        PageDialog page;
        ASSERT_TRUE(page.Create(top));
        page.ShowWindow(SW_SHOW);
        if (c.opener == Opener::DisabledTopLevel)
            top.EnableWindow(false);

        ScriptedDialog dialog(c.opener == Opener::PageInside ? page.GetSafeHwnd()
                                                             : top.GetSafeHwnd());
        bool topEnabledDuring = true;
        HWND ownerDuring = nullptr;
        dialog.inLoop = [&](ScriptedDialog& d) {
            topEnabledDuring = IsWindowEnabled(top) != FALSE;
            ownerDuring = GetWindow(d, GW_OWNER);
            d.EndDialog(IDOK);
        };

        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_FALSE(topEnabledDuring);
        EXPECT_EQ(ownerDuring, top.GetSafeHwnd());
        EXPECT_EQ(IsWindowEnabled(top) != FALSE, c.enabledAfter);
        // Only the top-level window changes hands; the page keeps its own state.
        EXPECT_TRUE(IsWindowEnabled(page));
    }
}

// The program's main window is itself a modal run, so a popup's run sits inside another.
// WM_QUIT must end both and still reach the outermost loop, once.
TEST(ModalDialog, QuitEndsEveryNestedRunAndIsPassedOn)
{
    HostWindow top;
    ASSERT_TRUE(top.Create());
    ScriptedDialog outer(top);
    INT_PTR innerResult = 0;
    HWND innerHwnd = nullptr;
    bool outerAliveAfterInner = false;
    outer.inLoop = [&](ScriptedDialog& o) {
        ScriptedDialog inner(o.GetSafeHwnd());
        inner.inLoop = [&](ScriptedDialog& i) {
            innerHwnd = i.GetSafeHwnd();
            PostQuitMessage(7);
        };
        innerResult = inner.DoModal();
        outerAliveAfterInner = IsWindow(o) != FALSE;
    };

    // Neither run was ended by EndDialog: -1 tells the caller there is nothing to apply.
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(innerResult, -1);
    EXPECT_TRUE(outerAliveAfterInner);
    EXPECT_FALSE(IsWindow(innerHwnd));
    EXPECT_EQ(outer.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(top));

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Swallows Enter and Escape key-downs, as the main window must so that neither ends the
// program, and notes every key-down it is asked about. Its edit has a wrapper that notes
// them too, to show the order in which the loop asks.
class KeyDialog : public ScriptedDialog {
  public:
    explicit KeyDialog(bool swallow) : swallow_(swallow) {}

    std::vector<std::string> asked; // "edit:<vk>" / "dialog:<vk>", in order

    bool PreTranslateMessage(MSG& msg) override
    {
        if (msg.message != WM_KEYDOWN)
            return false;
        asked.push_back("dialog:" + std::to_string(msg.wParam));
        return swallow_ && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE);
    }

  protected:
    class Edit : public fw::CWnd {
      public:
        explicit Edit(std::vector<std::string>& asked) : asked_(asked) {}
        bool PreTranslateMessage(MSG& msg) override
        {
            if (msg.message == WM_KEYDOWN)
                asked_.push_back("edit:" + std::to_string(msg.wParam));
            return false;
        }

      private:
        std::vector<std::string>& asked_;
    };

    bool OnInitDialog() override
    {
        edit_.SubclassDlgItem(IDC_POPUP_EDIT, *this);
        return ScriptedDialog::OnInitDialog();
    }

  private:
    bool swallow_;
    Edit edit_{asked};
};

TEST(ModalDialogKeys, EnterAndEscapeSwallowedByTheDialogDoNotEndIt)
{
    constexpr INT_PTR kStillRunning = 1234;
    struct Case {
        const char* name;
        bool swallow;
        WPARAM key;
        INT_PTR result;
        int okCalls;
        int cancelCalls;
    };
    // The rows that do not swallow show that the same key would end the dialog.
    const Case cases[] = {
        {"Escape, swallowed", true, VK_ESCAPE, kStillRunning, 0, 0},
        {"Enter, swallowed", true, VK_RETURN, kStillRunning, 0, 0},
        {"Escape, passed on", false, VK_ESCAPE, IDCANCEL, 0, 1},
        {"Enter, passed on", false, VK_RETURN, IDOK, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyDialog dialog(c.swallow);
        dialog.atInit = [&c](ScriptedDialog& d) {
            PostMessageW(d.GetDlgItem(IDC_POPUP_EDIT), WM_KEYDOWN, c.key, KeyDownLParam(c.key));
        };
        dialog.inLoop = [](ScriptedDialog& d) { d.EndDialog(kStillRunning); };

        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.okCalls, c.okCalls);
        EXPECT_EQ(dialog.cancelCalls, c.cancelCalls);
        const std::string vk = std::to_string(c.key);
        EXPECT_EQ(dialog.asked, (std::vector<std::string>{"edit:" + vk, "dialog:" + vk}));
    }
}

TEST(ModalDialogKeys, OtherKeysStillReachTheControl)
{
    KeyDialog dialog(true);
    std::wstring text;
    DWORD caret = 0;
    dialog.atInit = [](ScriptedDialog& d) {
        const HWND edit = d.GetDlgItem(IDC_POPUP_EDIT);
        SetWindowTextW(edit, L"hello");
        SendMessageW(edit, EM_SETSEL, 0, 0);
        SetFocus(edit);
        // End moves the caret; 'X' becomes a character only if TranslateMessage ran; Escape
        // and Enter in between must change nothing.
        for (WPARAM key : {WPARAM(VK_END), WPARAM(VK_ESCAPE), WPARAM('X'), WPARAM(VK_RETURN)})
            PostMessageW(edit, WM_KEYDOWN, key, KeyDownLParam(key));
    };
    dialog.inLoop = [&](ScriptedDialog& d) {
        const HWND edit = d.GetDlgItem(IDC_POPUP_EDIT);
        text = fwtest::WindowText(edit);
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
        d.EndDialog(IDOK);
    };

    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(text, L"hellox");
    EXPECT_EQ(caret, 6u);
    EXPECT_EQ(dialog.cancelCalls, 0);
}

TEST(ModelessDialog, PageLivesInsideItsParentUntilEndedOrDestroyedWithIt)
{
    HostWindow top;
    ASSERT_TRUE(top.Create());
    PageDialog page;
    ASSERT_TRUE(page.Create(top));
    EXPECT_TRUE(page.controlsAtInit);
    EXPECT_EQ(page.GetParent(), top.GetSafeHwnd());
    EXPECT_TRUE(GetWindowLongPtrW(page, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(page.IsWindowVisible());

    page.ShowWindow(SW_SHOW);
    EXPECT_TRUE(page.IsWindowVisible());
    // Its controls report to the page, not to the window around it.
    SendMessageW(page.GetDlgItem(IDC_PAGE_APPLY), BM_CLICK, 0, 0);
    EXPECT_EQ(page.commands, std::vector<WORD>{IDC_PAGE_APPLY});
    page.ShowWindow(SW_HIDE);
    EXPECT_FALSE(page.IsWindowVisible());

    const HWND pageHwnd = page;
    page.EndDialog(0);
    EXPECT_FALSE(IsWindow(pageHwnd));
    EXPECT_EQ(page.GetSafeHwnd(), nullptr);
    EXPECT_EQ(page.ncDestroyed, 1);
    EXPECT_TRUE(IsWindow(top));

    // A page that goes with its parent lets go of its window as well.
    PageDialog second;
    ASSERT_TRUE(second.Create(top));
    top.DestroyWindow();
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
    EXPECT_EQ(second.ncDestroyed, 1);
}

} // namespace
