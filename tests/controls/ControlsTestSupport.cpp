#include "tests/controls/ControlsTestSupport.h"

#include "tests/controls/resource.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"

#include <algorithm>
#include <sstream>

namespace ctltest {

namespace {

void Place(HWND page, int id, const RECT& rect)
{
    MoveWindow(GetDlgItem(page, id), rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, FALSE);
}

// A 32-bit top-down DIB section: its bits are the picture, one DWORD 0x00RRGGBB a pixel.
HBITMAP MakeDib(HDC compatible, int width, int height, DWORD** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP dib = CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<DWORD*>(raw);
    return dib;
}

std::string Describe(COLORREF colour)
{
    std::ostringstream text;
    text << "(" << int(GetRValue(colour)) << ", " << int(GetGValue(colour)) << ", "
         << int(GetBValue(colour)) << ")";
    return text.str();
}

} // namespace

ControlsPage::ControlsPage() : fw::CDialog(IDD_CONTROLS_PAGE) {}

bool ControlsPage::Open()
{
    if (!host_.Create(kPageSize.cx + 2, kPageSize.cy + 2) || !Create(host_))
        return false;
    MoveWindow(0, 0, kPageSize.cx, kPageSize.cy);
    ShowWindow(SW_SHOW);
    UpdateWindow();
    PumpMessages();
    return true;
}

bool ControlsPage::OnInitDialog()
{
    Place(m_hWnd, IDC_FACE_BUTTON,
          {kFaceButtonAt.x, kFaceButtonAt.y, kFaceButtonAt.x + 40, kFaceButtonAt.y + 20});
    Place(
        m_hWnd, IDC_CAPTION_BUTTON,
        {kCaptionButtonAt.x, kCaptionButtonAt.y, kCaptionButtonAt.x + 40, kCaptionButtonAt.y + 20});
    Place(m_hWnd, IDC_PAGE_TEXT, kPageTextRect);
    Place(m_hWnd, IDC_CHECK_TREE, kCheckTreeRect);
    Place(m_hWnd, IDC_STATE_TREE, kStateTreeRect);
    return true;
}

Image Filled(int width, int height, COLORREF colour)
{
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, colour);
    return image;
}

Image Capture(HDC source, const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    Image image = Filled(width, height, CLR_INVALID);
    DWORD* bits = nullptr;
    fw::UniqueBitmap dib(MakeDib(source, width, height, &bits));
    fw::MemoryDC memory(source);
    if (!dib || !memory.IsValid())
        return image;
    {
        fw::SelectGuard select(memory.get(), dib.get());
        BitBlt(memory.get(), 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    }
    GdiFlush();
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const DWORD value = bits[i];
        image.pixels[i] = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    return image;
}

Image CaptureClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    fw::WindowDC dc(window);
    return Capture(dc.get(), client);
}

Image BitmapResource(UINT id)
{
    fw::UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof(info), &info))
        return {};
    fw::MemoryDC memory(nullptr);
    fw::SelectGuard select(memory.get(), bitmap.get());
    return Capture(memory.get(), {0, 0, info.bmWidth, info.bmHeight});
}

Image Crop(const Image& image, const RECT& area)
{
    Image part = Filled(area.right - area.left, area.bottom - area.top, CLR_INVALID);
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x)
            part.At(x, y) = image.At(area.left + x, area.top + y);
    return part;
}

void PaintImage(HDC target, POINT at, const Image& image)
{
    DWORD* bits = nullptr;
    fw::UniqueBitmap dib(MakeDib(target, image.width, image.height, &bits));
    fw::MemoryDC memory(target);
    if (!dib || !memory.IsValid())
        return;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const COLORREF c = image.pixels[i];
        bits[i] = (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c);
    }
    fw::SelectGuard select(memory.get(), dib.get());
    BitBlt(target, at.x, at.y, image.width, image.height, memory.get(), 0, 0, SRCCOPY);
}

testing::AssertionResult SameImage(const Image& actual, const Image& expected)
{
    if (actual.width != expected.width || actual.height != expected.height)
        return testing::AssertionFailure()
               << "size " << actual.width << " x " << actual.height << ", expected "
               << expected.width << " x " << expected.height;
    int differing = 0;
    int firstX = 0;
    int firstY = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            if (actual.At(x, y) != expected.At(x, y) && differing++ == 0) {
                firstX = x;
                firstY = y;
            }
    if (differing == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << differing << " pixels differ, the first at (" << firstX << ", " << firstY
           << "): " << Describe(actual.At(firstX, firstY)) << " instead of "
           << Describe(expected.At(firstX, firstY));
}

namespace {

RECT Bounds(const Image& image, const std::function<bool(int, int)>& isInk)
{
    RECT bounds = {image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (isInk(x, y)) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    if (bounds.right == 0)
        return {0, 0, 0, 0};
    return bounds;
}

} // namespace

RECT InkBounds(const Image& image, COLORREF ground)
{
    return Bounds(image, [&](int x, int y) { return image.At(x, y) != ground; });
}

RECT InkBounds(const Image& image, const Image& ground)
{
    return Bounds(image, [&](int x, int y) { return image.At(x, y) != ground.At(x, y); });
}

void PumpMessages()
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
    while (!done() && GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return done();
}

} // namespace ctltest
