// The waiting clock: thirteen 68 x 64 frames cut from one bitmap, each blended over the
// background saved where the clock stands, which goes back exactly as it was.

#include "tests/controls/ControlsTestSupport.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "shell/controls/WaitingClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using ctltest::Image;
using ctltest::SameImage;

constexpr int kWidth = 68;
constexpr int kHeight = 64;
constexpr int kMargin = 4; // around the clock, where nothing may change

std::vector<Image> Frames()
{
    const Image strip = ctltest::BitmapResource(CYWaitingClock::kFramesBitmap);
    std::vector<Image> frames;
    for (int i = 0; i < CYWaitingClock::kFrameCount; ++i)
        frames.push_back(ctltest::Crop(strip, {0, kHeight * i, kWidth, kHeight * (i + 1)}));
    return frames;
}

// A background where every pixel differs from its neighbours, so that a copy from the wrong
// place cannot pass.
Image Pattern(int width, int height)
{
    Image image = ctltest::Filled(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.At(x, y) = RGB((x * 7 + y) & 0xFF, (y * 5 + 40) & 0xFF, ((x + y) * 3) & 0xFF);
    return image;
}

// `frame` over `ground` at `at`, blended at the constant `alpha`.
Image Blended(const Image& ground, const Image& frame, POINT at, BYTE alpha)
{
    Image result = ground;
    const auto mix = [alpha](int top, int under) {
        return (top * alpha + under * (255 - alpha)) / 255;
    };
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const COLORREF f = frame.At(x, y);
            COLORREF& g = result.At(at.x + x, at.y + y);
            g = RGB(mix(GetRValue(f), GetRValue(g)), mix(GetGValue(f), GetGValue(g)),
                    mix(GetBValue(f), GetBValue(g)));
        }
    return result;
}

// Equal but for rounding: every channel within 1.
testing::AssertionResult Near(const Image& actual, const Image& expected)
{
    if (actual.width != expected.width || actual.height != expected.height)
        return testing::AssertionFailure() << "sizes differ";
    int differing = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i) {
        const COLORREF a = actual.pixels[i];
        const COLORREF e = expected.pixels[i];
        if (std::abs(GetRValue(a) - GetRValue(e)) > 1 ||
            std::abs(GetGValue(a) - GetGValue(e)) > 1 || std::abs(GetBValue(a) - GetBValue(e)) > 1)
            ++differing;
    }
    if (differing == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " pixels differ by more than 1";
}

class WaitingClock : public testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(page_.Open());
        ASSERT_TRUE(clock_.Create(page_));
        clock_.LoadFrames();
        ASSERT_TRUE(clock_.FramesLoaded());
        clock_.x = ctltest::kFreeArea.left + kMargin;
        clock_.y = ctltest::kFreeArea.top + kMargin;
        clock_.frameIndex = 0;
        clock_.animating = true;
    }

    // The clock's place on the page and a margin around it.
    RECT Around() const
    {
        return {clock_.x - kMargin, clock_.y - kMargin, clock_.x + kWidth + kMargin,
                clock_.y + kHeight + kMargin};
    }

    Image PageArea(const RECT& area) const
    {
        fw::WindowDC dc(page_);
        return ctltest::Capture(dc.get(), area);
    }

    ctltest::ControlsPage page_;
    CYWaitingClock clock_;
};

TEST_F(WaitingClock, ThirteenFramesCutTopToBottomAndShownInTurn)
{
    EXPECT_EQ(clock_.FrameWidth(), kWidth);
    EXPECT_EQ(clock_.FrameHeight(), kHeight);
    const std::vector<Image> frames = Frames();
    for (size_t i = 1; i < frames.size(); ++i)
        ASSERT_FALSE(SameImage(frames[i], frames[i - 1])) << "frames " << i - 1 << " and " << i;

    // At full alpha the frame covers its background: what shows is the frame itself.
    clock_.alpha = 255;
    const RECT place = {clock_.x, clock_.y, clock_.x + kWidth, clock_.y + kHeight};
    clock_.ShowAt();
    EXPECT_TRUE(SameImage(PageArea(place), frames[0]));
    for (int tick = 1; tick <= CYWaitingClock::kFrameCount + 1; ++tick) {
        const int expected = tick % CYWaitingClock::kFrameCount; // 1 ... 12, 0, 1
        SCOPED_TRACE(testing::Message() << "tick " << tick);
        clock_.NextFrame();
        EXPECT_EQ(clock_.frameIndex, expected);
        EXPECT_TRUE(SameImage(PageArea(place), frames[expected]));
    }
    clock_.RestoreBackground();
}

TEST_F(WaitingClock, FramesBlendOverTheSavedBackgroundWhichComesBackExactly)
{
    const RECT around = Around();
    const Image pattern = Pattern(around.right - around.left, around.bottom - around.top);
    {
        fw::WindowDC dc(page_);
        ctltest::PaintImage(dc.get(), {around.left, around.top}, pattern);
    }
    ASSERT_TRUE(SameImage(PageArea(around), pattern));
    const std::vector<Image> frames = Frames();
    const POINT inside = {kMargin, kMargin};

    clock_.alpha = 180;
    clock_.ShowAt();
    EXPECT_TRUE(Near(PageArea(around), Blended(pattern, frames[0], inside, 180)));

    // Every frame is blended over the saved background, not over the frame before it.
    for (int tick = 1; tick <= 3; ++tick)
        clock_.NextFrame();
    EXPECT_TRUE(Near(PageArea(around), Blended(pattern, frames[3], inside, 180)));

    clock_.LoadFrames(); // once loaded, a second call changes nothing, the saved background neither
    clock_.RestoreBackground();
    EXPECT_TRUE(SameImage(PageArea(around), pattern));
}

// The result view's variants draw into a context it gives, around a centre point, and only
// while the clock is meant to show.
TEST_F(WaitingClock, ContextVariantsWorkOnlyWhileAnimating)
{
    constexpr SIZE kCanvas = {200, 160};
    constexpr POINT kCentre = {100, 80};
    const POINT corner = {kCentre.x - kWidth / 2, kCentre.y - kHeight / 2};
    fw::WindowDC screen(nullptr);
    fw::MemoryDC canvas(screen.get());
    fw::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), kCanvas.cx, kCanvas.cy));
    fw::SelectGuard select(canvas.get(), bitmap.get());
    const Image pattern = Pattern(kCanvas.cx, kCanvas.cy);
    ctltest::PaintImage(canvas.get(), {0, 0}, pattern);
    const auto shown = [&] {
        return ctltest::Capture(canvas.get(), {0, 0, kCanvas.cx, kCanvas.cy});
    };
    clock_.alpha = 255;
    const Image withClock = Blended(pattern, Frames()[0], corner, 255);

    clock_.animating = false;
    clock_.ShowAt(canvas.get(), kCentre);
    EXPECT_TRUE(SameImage(shown(), pattern)) << "shown while not animating";

    clock_.animating = true;
    clock_.ShowAt(canvas.get(), kCentre);
    EXPECT_TRUE(SameImage(shown(), withClock)) << "not shown centred at the point";

    clock_.animating = false;
    clock_.RestoreBackground(canvas.get(), kCentre);
    EXPECT_TRUE(SameImage(shown(), withClock)) << "restored while not animating";

    clock_.animating = true;
    clock_.RestoreBackground(canvas.get(), kCentre);
    EXPECT_TRUE(SameImage(shown(), pattern)) << "not restored";

    // No context, or no frames: nothing to draw, nothing drawn.
    clock_.ShowAt(nullptr, kCentre);
    clock_.RestoreBackground(nullptr, kCentre);
    CYWaitingClock unloaded;
    ASSERT_TRUE(unloaded.Create(page_));
    unloaded.animating = true;
    unloaded.ShowAt(canvas.get(), kCentre);
    unloaded.RestoreBackground(canvas.get(), kCentre);
    EXPECT_TRUE(SameImage(shown(), pattern));
}

} // namespace
