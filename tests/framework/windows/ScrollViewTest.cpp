// The scroll view: the position stays within the content, scroll-bar requests move it, and
// OnDraw always draws in content coordinates.

#include "tests/framework/windows/WindowTestSupport.h"

#include "framework/ScrollView.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr SIZE kContent = {100, 1000};
constexpr LONG kPage = 120;
constexpr LONG kLine = 10;

// Notes the origin and clip box of every OnDraw and every reported scroll.
class RecordingView : public fw::CScrollView {
  public:
    struct Paint {
        POINT origin;
        RECT clip;
    };
    std::vector<Paint> paints;
    std::vector<POINT> scrolledFrom;

  protected:
    void OnInitialUpdate() override { SetScrollSizes(kContent, {0, kPage}, {0, kLine}); }

    void OnDraw(HDC dc) override
    {
        Paint paint = {};
        GetViewportOrgEx(dc, &paint.origin);
        GetClipBox(dc, &paint.clip);
        paints.push_back(paint);
    }

    void OnScrolled(POINT previous) override { scrolledFrom.push_back(previous); }
};

class ScrollView : public testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(host_.Create());
        ASSERT_TRUE(view_.Create(host_, {10, 10, 210, 160}, 1));
        // The client is what is left of 200 x 150 beside the vertical bar.
        ASSERT_EQ(ClientHeight(), 150);
    }

    LONG ClientHeight() const { return view_.GetClientRect().bottom; }
    LONG ClientWidth() const { return view_.GetClientRect().right; }
    LONG Position() const { return view_.GetScrollPosition().y; }
    int BarPosition() const { return GetScrollPos(view_, SB_VERT); }
    bool HasBar() const { return (GetWindowLongPtrW(view_, GWL_STYLE) & WS_VSCROLL) != 0; }
    void Request(WORD request) const { view_.SendMessage(WM_VSCROLL, MAKEWPARAM(request, 0)); }

    fwtest::HostWindow host_;
    RecordingView view_;
};

TEST_F(ScrollView, ScrollToPositionStaysWithinTheContent)
{
    const LONG end = kContent.cy - ClientHeight();
    struct Case {
        POINT request;
        POINT expected;
    };
    const Case cases[] = {
        {{0, 300}, {0, 300}},
        {{0, -40}, {0, 0}},
        {{0, 5000}, {0, end}},
        {{0, end}, {0, end}},
        // The content is narrower than the view: nothing to scroll sideways.
        {{50, 200}, {0, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "to " << c.request.x << ", " << c.request.y);
        view_.ScrollToPosition(c.request);
        EXPECT_EQ(view_.GetScrollPosition().x, c.expected.x);
        EXPECT_EQ(Position(), c.expected.y);
        EXPECT_EQ(BarPosition(), c.expected.y);
    }
    // The program moved it; only a user's scrolling is reported.
    EXPECT_TRUE(view_.scrolledFrom.empty());

    // A view that grows while at the end shows the end, not space after it.
    view_.ScrollToPosition({0, end});
    view_.MoveWindow(10, 10, 200, 300);
    EXPECT_EQ(Position(), kContent.cy - ClientHeight());
}

TEST_F(ScrollView, ScrollBarRequestsMoveThePositionAndAreReported)
{
    const LONG end = kContent.cy - ClientHeight();
    struct Step {
        const char* name;
        WORD request;
        LONG expected;
    };
    const Step steps[] = {
        {"SB_PAGEDOWN", SB_PAGEDOWN, kPage},
        {"SB_LINEDOWN", SB_LINEDOWN, kPage + kLine},
        {"SB_BOTTOM", SB_BOTTOM, end},
        {"SB_PAGEDOWN at the end", SB_PAGEDOWN, end},
        {"SB_LINEUP", SB_LINEUP, end - kLine},
        {"SB_PAGEUP", SB_PAGEUP, end - kLine - kPage},
        {"SB_TOP", SB_TOP, 0},
        {"SB_LINEUP at the top", SB_LINEUP, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const LONG before = Position();
        const size_t reported = view_.scrolledFrom.size();
        Request(s.request);
        EXPECT_EQ(Position(), s.expected);
        EXPECT_EQ(BarPosition(), s.expected);
        if (s.expected == before) {
            EXPECT_EQ(view_.scrolledFrom.size(), reported);
        } else {
            ASSERT_EQ(view_.scrolledFrom.size(), reported + 1);
            EXPECT_EQ(view_.scrolledFrom.back().y, before);
        }
    }
}

// The user's wheel setting for the duration of a test; the setting lives in the shared
// wineserver, so it is put back whatever the test does.
class WheelLines {
  public:
    WheelLines() { SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &saved_, 0); }
    ~WheelLines() { SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, saved_, nullptr, 0); }
    WheelLines(const WheelLines&) = delete;
    WheelLines& operator=(const WheelLines&) = delete;

    bool Set(UINT lines)
    {
        return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0) != FALSE;
    }

  private:
    UINT saved_ = 0;
};

TEST_F(ScrollView, WheelScrollsByTheUsersSettingAndAddsUpPartialNotches)
{
    WheelLines setting;
    ASSERT_TRUE(setting.Set(3));
    const auto wheel = [this](int delta) {
        view_.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)));
    };

    wheel(-WHEEL_DELTA);
    EXPECT_EQ(Position(), 3 * kLine);
    // A fine wheel sends parts of a notch: two halves make one.
    wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(Position(), 3 * kLine);
    wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(Position(), 6 * kLine);
    wheel(WHEEL_DELTA);
    EXPECT_EQ(Position(), 3 * kLine);

    // A notch never moves more than a page. Checked with 100 lines first: without the limit
    // that is a quick failure, where "one screen at a time" (WHEEL_PAGESCROLL) would be
    // billions of line steps.
    view_.ScrollToPosition({0, 0});
    ASSERT_TRUE(setting.Set(100));
    wheel(-WHEEL_DELTA);
    ASSERT_EQ(Position(), kPage);
    ASSERT_TRUE(setting.Set(WHEEL_PAGESCROLL));
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(Position(), 2 * kPage);
    wheel(WHEEL_DELTA);
    EXPECT_EQ(Position(), kPage);
}

TEST_F(ScrollView, OnDrawGetsADcShiftedByThePosition)
{
    view_.paints.clear();
    view_.ScrollToPosition({0, 300});
    // The strip the scroll uncovered is painted at once, in content coordinates.
    ASSERT_FALSE(view_.paints.empty());
    for (const auto& paint : view_.paints) {
        EXPECT_EQ(paint.origin.x, 0);
        EXPECT_EQ(paint.origin.y, -300);
        EXPECT_GE(paint.clip.top, 300);
        EXPECT_LE(paint.clip.bottom, 300 + ClientHeight());
    }

    view_.paints.clear();
    RedrawWindow(view_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_EQ(view_.paints.size(), 1u);
    const RECT visible = {0, 300, ClientWidth(), 300 + ClientHeight()};
    EXPECT_EQ(view_.paints[0].origin.y, -300);
    EXPECT_TRUE(EqualRect(&view_.paints[0].clip, &visible))
        << "clip " << view_.paints[0].clip.top << ".." << view_.paints[0].clip.bottom;
}

TEST_F(ScrollView, ContentThatFitsHidesTheBarAndCannotScroll)
{
    ASSERT_TRUE(HasBar());
    view_.ScrollToPosition({0, 300});

    view_.SetScrollSizes({100, 100});
    EXPECT_FALSE(HasBar());
    EXPECT_EQ(Position(), 0);
    view_.ScrollToPosition({0, 50});
    EXPECT_EQ(Position(), 0);
    Request(SB_PAGEDOWN);
    EXPECT_EQ(Position(), 0);

    view_.SetScrollSizes(kContent);
    EXPECT_TRUE(HasBar());
    view_.ScrollToPosition({0, 50});
    EXPECT_EQ(Position(), 50);
}

} // namespace
