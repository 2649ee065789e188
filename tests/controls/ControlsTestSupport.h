#pragma once
// What the control tests share: a page of real controls shown in a host window, pictures read
// back from windows and from bitmap resources, and message pumping with a time limit.

#include "tests/framework/windows/WindowTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace ctltest {

// Where the page puts its controls, in pixels of the page.
constexpr SIZE kPageSize = {600, 420};
constexpr POINT kFaceButtonAt = {10, 10};
constexpr POINT kCaptionButtonAt = {10, 80};
constexpr RECT kPageTextRect = {260, 10, 420, 30};
constexpr RECT kCheckTreeRect = {10, 190, 280, 400};
constexpr RECT kStateTreeRect = {300, 190, 570, 400};
// Nothing covers this part of the page: the waiting clock draws there.
constexpr RECT kFreeArea = {300, 60, 420, 170};

// The page of IDD_CONTROLS_PAGE, shown inside a host window as the program's pages are.
class ControlsPage : public fw::CDialog {
  public:
    ControlsPage();
    ~ControlsPage() override { DestroyWindow(); }

    bool Open();

  protected:
    bool OnInitDialog() override;

  private:
    fwtest::HostWindow host_;
};

// A picture as 0x00BBGGRR colours, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    COLORREF& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

Image Filled(int width, int height, COLORREF colour);
// What `source` holds in `area`.
Image Capture(HDC source, const RECT& area);
// What the window's client area shows now, read through its own DC: the controls under test
// draw through that DC at once, so this sees exactly what they drew.
Image CaptureClient(HWND window);
// A bitmap resource of this program, at its own size.
Image BitmapResource(UINT id);
Image Crop(const Image& image, const RECT& area);
// Copies `image` onto `target` with its top left corner at `at`.
void PaintImage(HDC target, POINT at, const Image& image);

testing::AssertionResult SameImage(const Image& actual, const Image& expected);
// The smallest rectangle holding every pixel that differs from `ground` (a colour, or a picture
// of the same size); empty when there is none.
RECT InkBounds(const Image& image, COLORREF ground);
RECT InkBounds(const Image& image, const Image& ground);

// Handles what is queued now (at most a few hundred messages).
void PumpMessages();
// Handles messages until `done` or `ms` have passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);

} // namespace ctltest
