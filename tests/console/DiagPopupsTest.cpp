// The diagnosis progress popup, its cancel confirmation and the result view, hosted in this
// program with the program's own templates, pictures and message table, and driven the way the
// troubleshooting page and the user drive them. The result view repairs through the fake
// diagnostic library that sits beside this program under the real library names.

#include "console/DiagProcessPopup.h"
#include "console/DiagResultView.h"

#include "tests/framework/windows/WindowTestSupport.h"
#include "tests/support/TestSupport.h"

#include "framework/Handles.h"
#include "resources/resource.h"
#include "shell/ProgramPaths.h"

#include <commctrl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr LANGID kEnglish = 0x0409;

// ---- what every test needs -------------------------------------------------------------------

void Pump()
{
    MSG msg;
    for (int i = 0; i < 500 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    return true;
}

// The main window's fonts, made here as the main window makes them.
struct Fonts {
    Fonts()
    {
        const wchar_t* face = L"Segoe UI";
        title.reset(CreateFontW(17, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face));
        bold.reset(CreateFontW(13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face));
        text.reset(CreateFontW(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face));
        ui = {kEnglish, title.get(), bold.get(), text.get()};
    }
    fw::UniqueFont title;
    fw::UniqueFont bold;
    fw::UniqueFont text;
    ConsoleUi ui;
};

std::wstring Shot(const wchar_t* name)
{
    return hlmtest::ScreenshotDir() + L"\\" + name;
}

// Steps run one after another from a thread timer, so they also run inside the popups' own
// modal loops. A step returns false to be asked again at the next tick. After `limitMs` the
// runner gives up and calls `rescue` to end whatever is still open.
class Script {
  public:
    Script(std::vector<std::function<bool()>> steps, std::function<void()> rescue,
           DWORD limitMs = 20000)
        : steps_(std::move(steps)), rescue_(std::move(rescue)), limitMs_(limitMs)
    {
        current_ = this;
        start_ = GetTickCount();
        timer_ = SetTimer(nullptr, 0, 30, &Tick);
    }
    ~Script()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }
    size_t StepReached() const { return next_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Script* self = current_;
        if (!self || self->running_)
            return;
        self->running_ = true; // a step may open a modal loop of its own
        if (self->next_ < self->steps_.size()) {
            if (GetTickCount() - self->start_ > self->limitMs_) {
                self->timedOut_ = true;
                self->next_ = self->steps_.size();
                self->rescue_();
            } else if (self->steps_[self->next_]()) {
                ++self->next_;
            }
        }
        self->running_ = false;
    }

    static Script* current_;
    std::vector<std::function<bool()>> steps_;
    std::function<void()> rescue_;
    DWORD limitMs_;
    DWORD start_ = 0;
    UINT_PTR timer_ = 0;
    size_t next_ = 0;
    bool running_ = false;
    bool timedOut_ = false;
};
Script* Script::current_ = nullptr;

// ---- the progress popup ----------------------------------------------------------------------

// The rows of a selection, titled so that a screenshot shows which is which.
DiagRowList Rows(const int (&counts)[kDiagCategories])
{
    static const wchar_t* const kCategories[kDiagCategories] = {L"Display", L"Sound", L"Network",
                                                                L"System"};
    DiagRowList rows;
    for (int c = 0; c < kDiagCategories; ++c) {
        rows.selection[c] = counts[c] > 0;
        rows.rowCount[c] = counts[c];
        lstrcpynW(rows.categoryTitle[c], kCategories[c], kDiagTitleChars);
        for (int r = 0; r < counts[c]; ++r)
            wsprintfW(rows.rowTitle[c][r], L"%s check number %d", kCategories[c], r + 1);
    }
    return rows;
}

// What the troubleshooting page does with the worker's messages, as far as the popup is
// concerned: 909 moves the running row on, 700 / 701 switch Cancel, 999 ends the run. It also
// keeps every 105 and 100 the popup sends it.
class PageStandIn : public fwtest::HostWindow {
  public:
    explicit PageStandIn(CDlgPopupDiagProcess& popup, const DiagRowList& rows)
        : popup_(popup), rows_(rows)
    {
        for (int c = 0; c < kDiagCategories; ++c) {
            for (int r = 0; rows_.selection[c] && r < rows_.rowCount[c]; ++r)
                order_.push_back({c, r});
        }
    }

    std::vector<std::pair<WPARAM, LPARAM>> received;
    size_t stepsDone = 0;

    const std::vector<std::pair<int, int>>& Order() const { return order_; }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg != WM_DIAG_NOTIFY)
            return fwtest::HostWindow::WindowProc(msg, wp, lp);
        switch (wp) {
        case DIAG_STEP_DONE:
            if (stepsDone < order_.size()) {
                popup_.ReportRow(order_[stepsDone].first, order_[stepsDone].second, 1);
                ++stepsDone;
                if (stepsDone < order_.size())
                    popup_.ReportRow(order_[stepsDone].first, order_[stepsDone].second, 0);
            }
            break;
        case DIAG_SAMPLE_BEGIN:
            popup_.SetCancelAllowed(false);
            break;
        case DIAG_SAMPLE_END:
            popup_.SetCancelAllowed(true);
            break;
        case DIAG_ALL_DONE:
            popup_.Finish();
            break;
        default:
            received.push_back({wp, lp});
            break;
        }
        return 0;
    }

  private:
    CDlgPopupDiagProcess& popup_;
    DiagRowList rows_;
    std::vector<std::pair<int, int>> order_;
};

class ProgressPopupTest : public testing::Test {
  protected:
    struct DialogSearch {
        const wchar_t* title;
        HWND except;
        HWND found;
    };

    // A window procedure's calling convention, which a lambda cannot have on 32-bit Windows.
    static BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lp)
    {
        auto* s = reinterpret_cast<DialogSearch*>(lp);
        if (hwnd != s->except && IsWindowVisible(hwnd) && fwtest::WindowText(hwnd) == s->title) {
            s->found = hwnd;
            return FALSE;
        }
        return TRUE;
    }

    // A top-level window of this thread with the title `title` other than `except`.
    static HWND FindDialog(const wchar_t* title, HWND except = nullptr)
    {
        DialogSearch search = {title, except, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static void Click(HWND dialog, int id)
    {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    static int BarPosition(HWND popup)
    {
        return static_cast<int>(SendDlgItemMessageW(popup, IDC_DIAG_PROCESS_BAR, PBM_GETPOS, 0, 0));
    }

    // Whether the running row's red is on screen in the view, where the row should be.
    static bool RunningRowShown(CYViewDiagProcess& view, int category, int row)
    {
        const int y = view.RowTop(category, row) - view.GetScrollPosition().y;
        const RECT client = view.GetClientRect();
        if (y < 0 || y + CYViewDiagProcess::kRowHeight > client.bottom)
            return false;
        HDC dc = GetDC(view);
        bool red = false;
        for (int x = 40; x < client.right && !red; ++x) {
            for (int dy = 5; dy < 25 && !red; ++dy) {
                const COLORREF pixel = GetPixel(dc, x, y + dy);
                red = GetRValue(pixel) > 150 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80;
            }
        }
        ReleaseDC(view, dc);
        return red;
    }

    Fonts fonts_;
    CDlgPopupDiagProcess popup_;
};

TEST_F(ProgressPopupTest, RowsAdvanceAndStayInSightUntilEveryRowIsComplete)
{
    // Display (6) and system (10): 540 pixels of rows in a 280 pixel view.
    const DiagRowList rows = Rows({6, 0, 0, 10});
    PageStandIn page(popup_, rows);
    ASSERT_TRUE(page.Create(200, 100));
    popup_.Prepare(&fonts_.ui, page, rows);
    CYViewDiagProcess& view = popup_.ProgressView();
    const auto& order = page.Order();
    ASSERT_EQ(order.size(), 16u);

    std::vector<std::function<bool()>> steps;
    steps.push_back([&] {
        if (!popup_.GetSafeHwnd() || !IsWindowVisible(popup_))
            return false;
        const RECT client = popup_.GetClientRect();
        EXPECT_EQ(client.right, 580);
        EXPECT_EQ(client.bottom, 450);
        EXPECT_EQ(view.CanvasHeight(), 540);
        EXPECT_EQ(popup_.TotalRows(), 16);
        EXPECT_EQ(view.RowMark(0, 0), 1) << "the first row runs at once";
        EXPECT_EQ(BarPosition(popup_), 0);
        return true;
    });
    for (size_t i = 0; i < order.size(); ++i) {
        steps.push_back([&page, i, &order] {
            PostMessageW(page, WM_DIAG_NOTIFY, DIAG_STEP_DONE, 0);
            return true;
        });
        steps.push_back([&, i] {
            if (page.stepsDone != i + 1)
                return false;
            Pump();
            EXPECT_EQ(view.RowMark(order[i].first, order[i].second), 2) << "row " << i;
            EXPECT_EQ(BarPosition(popup_), static_cast<int>(i) + 1);
            if (i + 1 < order.size()) {
                const auto next = order[i + 1];
                EXPECT_EQ(view.RowMark(next.first, next.second), 1) << "row " << i + 1;
                EXPECT_TRUE(RunningRowShown(view, next.first, next.second)) << "row " << i + 1;
            }
            if (i == 11) {
                EXPECT_TRUE(hlmtest::SavePng(popup_, Shot(L"diag_progress_running.png")));
            }
            return true;
        });
    }
    steps.push_back([&] {
        for (const auto& row : order)
            EXPECT_EQ(view.RowMark(row.first, row.second), 2);
        EXPECT_GT(view.GetScrollPosition().y, 0) << "the list scrolled down to the last rows";
        EXPECT_TRUE(hlmtest::SavePng(popup_, Shot(L"diag_progress_complete.png")));
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_ALL_DONE, 0);
        return true;
    });
    Script script(std::move(steps), [&] { popup_.Finish(); });
    EXPECT_EQ(popup_.Run(), 1);
    EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepReached();
    EXPECT_TRUE(page.received.empty()) << "no pause without a cancel";
}

TEST_F(ProgressPopupTest, SingleShortCategoryHasTheMinimumCanvasAndNoScrolling)
{
    const DiagRowList rows = Rows({0, 0, 0, 5});
    PageStandIn page(popup_, rows);
    ASSERT_TRUE(page.Create(200, 100));
    popup_.Prepare(&fonts_.ui, page, rows);
    CYViewDiagProcess& view = popup_.ProgressView();
    std::vector<std::function<bool()>> steps;
    steps.push_back([&] {
        if (!popup_.GetSafeHwnd() || !IsWindowVisible(popup_))
            return false;
        EXPECT_EQ(view.CanvasHeight(), CYViewDiagProcess::kMinHeight);
        EXPECT_EQ(view.RowTop(3, 0), 30) << "the system header at the top, then its rows";
        EXPECT_EQ(view.RowMark(3, 0), 1);
        EXPECT_EQ(view.RowTop(0, 0), -1) << "unselected categories take no room";
        // Reports the page could never mean are ignored.
        popup_.ReportRow(4, 0, 1);
        popup_.ReportRow(-1, 0, 1);
        popup_.ReportRow(0, 0, 1);
        popup_.ReportRow(3, 5, 1);
        popup_.ReportRow(3, -1, 1);
        EXPECT_EQ(BarPosition(popup_), 0);
        return true;
    });
    for (int i = 0; i < 5; ++i) {
        steps.push_back([&] {
            PostMessageW(page, WM_DIAG_NOTIFY, DIAG_STEP_DONE, 0);
            return true;
        });
    }
    steps.push_back([&] {
        if (page.stepsDone != 5)
            return false;
        EXPECT_EQ(view.GetScrollPosition().y, 0);
        EXPECT_EQ(BarPosition(popup_), 5);
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_ALL_DONE, 0);
        return true;
    });
    Script script(std::move(steps), [&] { popup_.Finish(); });
    EXPECT_EQ(popup_.Run(), 1);
    EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepReached();
}

TEST_F(ProgressPopupTest, EnterDoesNotEndTheRun)
{
    const DiagRowList rows = Rows({3, 3, 0, 0});
    PageStandIn page(popup_, rows);
    ASSERT_TRUE(page.Create(200, 100));
    popup_.Prepare(&fonts_.ui, page, rows);
    std::vector<std::function<bool()>> steps;
    steps.push_back([&] {
        if (!popup_.GetSafeHwnd() || !IsWindowVisible(popup_))
            return false;
        SetFocus(popup_.GetDlgItem(IDCANCEL));
        // The key goes to the focused Cancel button: the dialog manager makes it IDOK.
        PostMessageW(popup_.GetDlgItem(IDCANCEL), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(popup_.GetDlgItem(IDCANCEL), WM_KEYUP, VK_RETURN, 0xC0000000);
        Click(popup_, IDOK);
        return true;
    });
    steps.push_back([&] {
        Pump();
        EXPECT_TRUE(IsWindow(popup_.GetSafeHwnd()) && IsWindowVisible(popup_))
            << "Enter ended the popup under the running worker";
        EXPECT_EQ(FindDialog(L"Cancel", popup_), nullptr) << "Enter is not a cancel either";
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_ALL_DONE, 0);
        return true;
    });
    Script script(std::move(steps), [&] { popup_.Finish(); });
    EXPECT_EQ(popup_.Run(), 1);
    EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepReached();
}

TEST_F(ProgressPopupTest, CancelPausesAsksAndResumesOrEnds)
{
    const DiagRowList rows = Rows({2, 6, 0, 0});
    PageStandIn page(popup_, rows);
    ASSERT_TRUE(page.Create(200, 100));
    popup_.Prepare(&fonts_.ui, page, rows);
    HWND confirmation = nullptr;
    using Notes = std::vector<std::pair<WPARAM, LPARAM>>;

    std::vector<std::function<bool()>> steps;
    steps.push_back([&] {
        if (!popup_.GetSafeHwnd() || !IsWindowVisible(popup_))
            return false;
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_STEP_DONE, 0);
        Click(popup_, IDCANCEL);
        return true;
    });
    // The confirmation opens with the worker paused.
    steps.push_back([&] {
        confirmation = FindDialog(L"Cancel", popup_);
        if (!confirmation)
            return false;
        Pump();
        EXPECT_EQ(page.received, (Notes{{DIAG_PAUSE_WORKER, 0}}));
        EXPECT_EQ(fwtest::WindowText(GetDlgItem(confirmation, IDC_DIAG_CANCEL_TEXT)),
                  L"Do you want to cancel?");
        EXPECT_EQ(fwtest::WindowText(GetDlgItem(confirmation, IDOK)), L"Yes");
        EXPECT_EQ(fwtest::WindowText(GetDlgItem(confirmation, IDCANCEL)), L"No");
        RECT client;
        GetClientRect(confirmation, &client);
        EXPECT_EQ(client.right, 380);
        EXPECT_EQ(client.bottom, 140);
        EXPECT_TRUE(hlmtest::SavePng(confirmation, Shot(L"diag_cancel_confirmation.png")));
        Click(confirmation, IDCANCEL); // No
        return true;
    });
    // No: resumed, and the list goes on.
    steps.push_back([&] {
        if (IsWindow(confirmation))
            return false;
        EXPECT_EQ(page.received, (Notes{{DIAG_PAUSE_WORKER, 0}, {DIAG_PAUSE_WORKER, 1}}));
        EXPECT_TRUE(IsWindowVisible(popup_));
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_STEP_DONE, 0);
        return true;
    });
    // While a sample plays, Cancel is ignored: no pause, no confirmation.
    steps.push_back([&] {
        if (page.stepsDone != 2)
            return false;
        EXPECT_EQ(popup_.ProgressView().RowMark(1, 0), 1);
        page.received.clear();
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_SAMPLE_BEGIN, 0);
        Click(popup_, IDCANCEL);
        PostMessageW(popup_, WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    });
    steps.push_back([&] {
        Pump();
        EXPECT_FALSE(popup_.CancelAllowed());
        EXPECT_FALSE(IsWindowEnabled(popup_.GetDlgItem(IDCANCEL)));
        EXPECT_EQ(FindDialog(L"Cancel", popup_), nullptr);
        EXPECT_TRUE(page.received.empty());
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_SAMPLE_END, 0);
        return true;
    });
    // Yes: resumed, cancel confirmed, the popup ends with 2.
    steps.push_back([&] {
        if (!popup_.CancelAllowed())
            return false;
        EXPECT_TRUE(IsWindowEnabled(popup_.GetDlgItem(IDCANCEL)));
        PostMessageW(popup_, WM_CLOSE, 0, 0); // closing the popup asks too
        return true;
    });
    steps.push_back([&] {
        confirmation = FindDialog(L"Cancel", popup_);
        if (!confirmation)
            return false;
        Click(confirmation, IDOK); // Yes
        return true;
    });
    Script script(std::move(steps), [&] {
        if (confirmation && IsWindow(confirmation))
            PostMessageW(confirmation, WM_COMMAND, IDCANCEL, 0);
        popup_.Finish();
    });
    EXPECT_EQ(popup_.Run(), 2);
    EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepReached();
    EXPECT_EQ(page.received,
              (Notes{{DIAG_PAUSE_WORKER, 0}, {DIAG_PAUSE_WORKER, 1}, {DIAG_CANCEL_CONFIRMED, 0}}));
}

TEST_F(ProgressPopupTest, RunFinishingWhileTheConfirmationIsOpenCountsAsCancel)
{
    const DiagRowList rows = Rows({2, 0, 0, 0});
    PageStandIn page(popup_, rows);
    ASSERT_TRUE(page.Create(200, 100));
    popup_.Prepare(&fonts_.ui, page, rows);
    std::vector<std::function<bool()>> steps;
    steps.push_back([&] {
        if (!popup_.GetSafeHwnd() || !IsWindowVisible(popup_))
            return false;
        Click(popup_, IDCANCEL);
        return true;
    });
    steps.push_back([&] {
        if (!FindDialog(L"Cancel", popup_))
            return false;
        PostMessageW(page, WM_DIAG_NOTIFY, DIAG_ALL_DONE, 0);
        return true;
    });
    Script script(std::move(steps), [&] { popup_.Finish(); });
    EXPECT_EQ(popup_.Run(), 2);
    EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepReached();
    ASSERT_EQ(page.received.size(), 3u);
    EXPECT_EQ(page.received[2].first, static_cast<WPARAM>(DIAG_CANCEL_CONFIRMED));
}

TEST_F(ProgressPopupTest, ReusedPopupBuildsTheListOfTheNewRun)
{
    // The page keeps one popup for every diagnosis; the second run has other categories.
    for (int run = 0; run < 2; ++run) {
        const DiagRowList rows = run == 0 ? Rows({6, 6, 6, 10}) : Rows({0, 3, 0, 0});
        PageStandIn page(popup_, rows);
        ASSERT_TRUE(page.Create(200, 100));
        popup_.Prepare(&fonts_.ui, page, rows);
        const int expected =
            run == 0 ? 6 * 30 + 30 + 6 * 30 + 30 + 6 * 30 + 30 + 10 * 30 + 30 : 280;
        std::vector<std::function<bool()>> steps;
        steps.push_back([&] {
            if (!popup_.GetSafeHwnd() || !IsWindowVisible(popup_))
                return false;
            EXPECT_EQ(popup_.ProgressView().CanvasHeight(), expected) << "run " << run;
            EXPECT_EQ(popup_.ProgressView().RowTop(1, 0), run == 0 ? 240 : 30) << "run " << run;
            PostMessageW(page, WM_DIAG_NOTIFY, DIAG_ALL_DONE, 0);
            return true;
        });
        Script script(std::move(steps), [&] { popup_.Finish(); });
        EXPECT_EQ(popup_.Run(), 1);
        EXPECT_FALSE(script.TimedOut());
    }
}

// ---- the result view ---------------------------------------------------------------------------

// The fake library's controls, through this program's own reference to it: the view loads and
// frees it around every repair, and the answers must stay.
struct FakeRepairs {
    FakeRepairs() : library(LoadLibraryBesideProgram(L"ProbixWin7.dll"))
    {
        reset = Bind<void(__cdecl*)()>("FakeDiagResetRepairs");
        setAnswer = Bind<bool(__cdecl*)(const char*, int)>("FakeDiagSetRepairAnswer");
        callCount = Bind<int(__cdecl*)()>("FakeDiagRepairCallCount");
        lastName = Bind<const char*(__cdecl*)()>("FakeDiagLastRepairName");
        lastCode = Bind<int(__cdecl*)()>("FakeDiagLastRepairCode");
    }
    template <typename F> F Bind(const char* name)
    {
        return library ? reinterpret_cast<F>(GetProcAddress(library.get(), name)) : nullptr;
    }
    bool Ready() const { return reset && setAnswer && callCount && lastName && lastCode; }

    fw::UniqueModule library;
    void(__cdecl* reset)() = nullptr;
    bool(__cdecl* setAnswer)(const char*, int) = nullptr;
    int(__cdecl* callCount)() = nullptr;
    const char*(__cdecl* lastName)() = nullptr;
    int(__cdecl* lastCode)() = nullptr;
};

DiagTask Problem(int code, uint32_t taskId = 0)
{
    DiagTask task;
    task.taskId = taskId;
    task.result.problemCode = code;
    task.result.problemFound = 1;
    return task;
}

class ResultViewTest : public testing::Test {
  protected:
    static constexpr RECT kViewRect = {10, 10, 530, 225};

    void SetUp() override
    {
        ASSERT_TRUE(fake_.Ready()) << "the fake diagnostic library beside the test";
        fake_.reset();
        ASSERT_TRUE(host_.Create(560, 250));
        ASSERT_TRUE(view_.Create(host_, kViewRect, 1234, &fonts_.ui, 2));
        Pump();
    }

    HWND Button(int code) const { return GetDlgItem(view_, 1199 + code); }

    void ClickRow(int code)
    {
        PostMessageW(view_, WM_COMMAND, MAKEWPARAM(1199 + code, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Button(code)));
        Pump();
    }

    // Where a row's button sits in the view's client area.
    POINT ButtonAt(int code) const
    {
        RECT rect;
        GetWindowRect(Button(code), &rect);
        POINT at = {rect.left, rect.top};
        ScreenToClient(view_, &at);
        return at;
    }

    bool ShowsInk(int top, int bottom)
    {
        HDC dc = GetDC(view_);
        bool ink = false;
        for (int y = top; y < bottom && !ink; y += 2) {
            for (int x = 10; x < 400 && !ink; x += 2)
                ink = GetPixel(dc, x, y) != RGB(255, 255, 255);
        }
        ReleaseDC(view_, dc);
        return ink;
    }

    Fonts fonts_;
    FakeRepairs fake_;
    fwtest::HostWindow host_;
    CYViewDiagResult view_;
};

TEST_F(ResultViewTest, OneProblemShowsItsRowWithAFixButton)
{
    fw::CArray<DiagTask> problems;
    problems.Add(Problem(28));
    view_.LoadProblems(problems);
    Pump();
    EXPECT_TRUE(view_.RowPresent(28));
    EXPECT_EQ(view_.RowState(28), CYViewDiagResult::kFound);
    EXPECT_EQ(view_.ContentHeight(), CYViewDiagResult::kMinHeight);
    ASSERT_TRUE(IsWindowVisible(Button(28)));
    EXPECT_EQ(fwtest::WindowText(Button(28)), L"Fix");
    const POINT at = ButtonAt(28);
    EXPECT_EQ(at.x, 420);
    EXPECT_EQ(at.y, 28);
    for (int code = 1; code <= 35; ++code) {
        if (code != 28) {
            EXPECT_FALSE(IsWindowVisible(Button(code))) << code;
        }
    }
    // The title band is grey with the separator line on top; "Found" is red.
    HDC dc = GetDC(view_);
    EXPECT_EQ(GetPixel(dc, 200, 0), RGB(211, 211, 211));
    EXPECT_EQ(GetPixel(dc, 5, 12), RGB(242, 242, 242));
    bool red = false;
    for (int x = 440; x < 495 && !red; ++x) {
        for (int y = 5; y < 20 && !red; ++y)
            red = GetPixel(dc, x, y) == RGB(224, 0, 0);
    }
    ReleaseDC(view_, dc);
    EXPECT_TRUE(red);
    EXPECT_TRUE(hlmtest::SavePng(host_, Shot(L"diag_result_one.png")));
}

TEST_F(ResultViewTest, CodesOutsideTheTableAreLeftOutAndTheLaterDuplicateWins)
{
    fw::CArray<DiagTask> problems;
    for (int code : {0, 36, -1, 1000})
        problems.Add(Problem(code, 9));
    problems.Add(Problem(1, 1000));
    problems.Add(Problem(2, 1001));
    problems.Add(Problem(1, 1001));
    view_.LoadProblems(problems);
    Pump();
    for (int code : {0, 36, -1})
        EXPECT_FALSE(view_.RowPresent(code)) << code;
    EXPECT_TRUE(view_.RowPresent(1));
    EXPECT_TRUE(view_.RowPresent(2));
    ASSERT_NE(view_.RowProblem(1), nullptr);
    EXPECT_EQ(view_.RowProblem(1)->taskId, 1001u);
    EXPECT_EQ(view_.RunRepair(36), 0);
    EXPECT_EQ(view_.RunRepair(0), 0);
    EXPECT_EQ(view_.RunRepair(3), 0) << "a row that is not in the list";
    EXPECT_EQ(fake_.callCount(), 0);
    // Row 1 goes without the separator line, row 2 has one.
    HDC dc = GetDC(view_);
    EXPECT_EQ(GetPixel(dc, 200, 0), RGB(242, 242, 242));
    ReleaseDC(view_, dc);
    EXPECT_GT(ButtonAt(2).y, ButtonAt(1).y);
}

TEST_F(ResultViewTest, EveryRowIsDrawnWhenTheListIsLongerThanTheCanvas)
{
    fw::CArray<DiagTask> problems;
    for (int code = 1; code <= 35; ++code)
        problems.Add(Problem(code));
    view_.LoadProblems(problems);
    Pump();
    ASSERT_GT(view_.ContentHeight(), CYViewDiagResult::kCanvasHeight);
    EXPECT_TRUE(hlmtest::SavePng(host_, Shot(L"diag_result_all_top.png")));
    for (int code : {13, 16, 22}) {
        EXPECT_EQ(view_.RowState(code), CYViewDiagResult::kNoRepair) << code;
        EXPECT_FALSE(IsWindowVisible(Button(code))) << code;
    }

    // Scrolled to the end, the last rows are there, and the buttons moved with the scroll.
    const int firstButtonY = ButtonAt(1).y;
    SendMessageW(view_, WM_VSCROLL, SB_BOTTOM, 0);
    Pump();
    const int s = view_.GetScrollPosition().y;
    EXPECT_EQ(s, view_.ContentHeight() - (kViewRect.bottom - kViewRect.top));
    EXPECT_EQ(ButtonAt(1).y, firstButtonY - s);
    const RECT client = view_.GetClientRect();
    EXPECT_TRUE(ShowsInk(client.bottom - 100, client.bottom)) << "the rows past 1000 pixels";
    const POINT last = ButtonAt(35);
    EXPECT_GT(last.y, 0);
    EXPECT_LT(last.y, client.bottom);
    EXPECT_TRUE(hlmtest::SavePng(host_, Shot(L"diag_result_all_scrolled.png")));
}

TEST_F(ResultViewTest, RepairButtonsCallTheLibraryAndShowItsAnswer)
{
    struct Case {
        int code;
        int answer;
        const char* repair;
        int state; // after the click
        bool buttonStays;
        const wchar_t* body; // part of the row's text afterwards
    };
    const Case cases[] = {
        // Repairs that answer 0 (as every real one does for now): Not Fixed.
        {28, 0, "DllFixSystemWindowsUpdate", CYViewDiagResult::kNotFixed, false, nullptr},
        {1, 0, "DllFixGraphicDrv", CYViewDiagResult::kNotFixed, false, nullptr},
        {12, 0, "DllFixSoundService", CYViewDiagResult::kNotFixed, false, nullptr},
        {35, 0, "DllFixSystemPTWConfig", CYViewDiagResult::kFound, true, nullptr},
        // A repair that succeeds.
        {20, 1, "DllFixNetworkConfig", CYViewDiagResult::kFixed, false, nullptr},
        // Rows that start a tool keep their button whatever the answer.
        {24, 1, "DllFixSystemHddSpace", CYViewDiagResult::kFound, true, nullptr},
        {24, 0, "DllFixSystemHddSpace", CYViewDiagResult::kFound, true, nullptr},
        {7, 0, "DllFixGraphic3DsamplePlay", CYViewDiagResult::kFound, true, nullptr},
    };
    fw::CArray<DiagTask> problems;
    for (int code : {1, 7, 12, 20, 24, 28, 35})
        problems.Add(Problem(code));
    view_.LoadProblems(problems);
    Pump();

    int calls = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(fake_.setAnswer(c.repair, c.answer));
        ASSERT_TRUE(IsWindowVisible(Button(c.code)));
        ClickRow(c.code);
        ++calls;
        EXPECT_EQ(fake_.callCount(), calls);
        EXPECT_STREQ(fake_.lastName(), c.repair);
        EXPECT_EQ(fake_.lastCode(), c.code) << "the row's own record";
        EXPECT_EQ(view_.RowState(c.code), c.state);
        EXPECT_EQ(IsWindowVisible(Button(c.code)) != FALSE, c.buttonStays);
        if (c.code == 28) {
            EXPECT_TRUE(view_.ClockRunning()) << "2000 ms of clock after this repair";
        }
        // The clock stops by itself, and the rows are laid out again.
        EXPECT_TRUE(PumpUntil([&] { return !view_.ClockRunning(); }, 4000));
    }
    // A row that is done offers nothing more: a queued click changes nothing.
    ClickRow(28);
    EXPECT_EQ(fake_.callCount(), calls);
    EXPECT_TRUE(hlmtest::SavePng(host_, Shot(L"diag_result_repaired.png")));
}

TEST_F(ResultViewTest, NewProblemsStartTheRowsAfresh)
{
    fw::CArray<DiagTask> problems;
    problems.Add(Problem(28));
    view_.LoadProblems(problems);
    ClickRow(28);
    ASSERT_EQ(view_.RowState(28), CYViewDiagResult::kNotFixed);
    PumpUntil([&] { return !view_.ClockRunning(); }, 4000);
    view_.LoadProblems(problems);
    Pump();
    EXPECT_EQ(view_.RowState(28), CYViewDiagResult::kFound);
    EXPECT_TRUE(IsWindowVisible(Button(28)));
}

} // namespace

namespace {

// The confirmation before Check Disk, and its second mode for the utilities page.
TEST(HddDiagPopup, ShowsTheTextsOfItsModeAndAnswersRunOrCancel)
{
    Fonts fonts;
    const struct {
        int mode;
        int clicked;
        INT_PTR result;
        const wchar_t* title;
        bool lastLineShown;
        const wchar_t* shot;
    } cases[] = {
        {CDlgPopupHDDDiag::kCheckDisk, IDOK, 1, L"Check Disk", true, L"hdd_diag_check_disk.png"},
        {CDlgPopupHDDDiag::kDeleteTemporaryFiles, IDCANCEL, 2, L"Delete Temporary Internet Files",
         false, L"hdd_diag_temporary_files.png"},
    };
    for (const auto& c : cases) {
        CDlgPopupHDDDiag popup(c.mode, &fonts.ui);
        std::vector<std::function<bool()>> steps;
        steps.push_back([&] {
            if (!popup.GetSafeHwnd() || !IsWindowVisible(popup))
                return false;
            const RECT client = popup.GetClientRect();
            EXPECT_EQ(client.right, 580);
            EXPECT_EQ(client.bottom, 450);
            EXPECT_EQ(fwtest::WindowText(popup.GetDlgItem(IDC_HDD_DIAG_TITLE)), c.title);
            EXPECT_EQ(IsWindowVisible(popup.GetDlgItem(IDC_HDD_DIAG_TEXT4)) != FALSE,
                      c.lastLineShown);
            EXPECT_EQ(fwtest::WindowText(popup.GetDlgItem(IDOK)), L"Run");
            Pump();
            EXPECT_TRUE(hlmtest::SavePng(popup, Shot(c.shot)));
            PostMessageW(popup, WM_COMMAND, MAKEWPARAM(c.clicked, BN_CLICKED),
                         reinterpret_cast<LPARAM>(popup.GetDlgItem(c.clicked)));
            return true;
        });
        Script script(std::move(steps), [&] { EndDialog(popup, 2); });
        EXPECT_EQ(popup.Run(nullptr), c.result) << c.mode;
        EXPECT_FALSE(script.TimedOut());
    }
}

} // namespace
