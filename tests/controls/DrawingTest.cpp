// The drawing helpers every page shares: exact pixels of boxes, lines and the inner frame,
// wrapped text at the top or centred, and pictures loaded from files through GDI+.

#include "tests/controls/ControlsTestSupport.h"
#include "tests/support/TestSupport.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "shell/controls/Drawing.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using ctltest::Image;
using ctltest::SameImage;

constexpr COLORREF kPaper = RGB(10, 20, 30);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The program starts GDI+ once before its first window; so do these tests.
class GdiPlus : public testing::Environment {
  public:
    void SetUp() override
    {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override
    {
        if (token_)
            Gdiplus::GdiplusShutdown(token_);
    }

  private:
    ULONG_PTR token_ = 0;
};

[[maybe_unused]] testing::Environment* const kGdiPlus =
    testing::AddGlobalTestEnvironment(new GdiPlus);

// A memory DC with a bitmap like the screen's, filled with one colour.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF colour)
        : screen_(nullptr), memory_(screen_.get()),
          bitmap_(CreateCompatibleBitmap(screen_.get(), width, height)),
          select_(memory_.get(), bitmap_.get()), width_(width), height_(height)
    {
        const RECT all = {0, 0, width, height};
        fw::UniqueBrush brush(CreateSolidBrush(colour));
        FillRect(memory_.get(), &all, brush.get());
    }

    HDC dc() const { return memory_.get(); }
    Image Read() const { return ctltest::Capture(memory_.get(), {0, 0, width_, height_}); }

  private:
    fw::WindowDC screen_;
    fw::MemoryDC memory_;
    fw::UniqueBitmap bitmap_;
    fw::SelectGuard select_;
    int width_;
    int height_;
};

bool Inside(const RECT& rect, int x, int y)
{
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

TEST(DrawingHelpers, InnerFrameFillsExactlyTheBandInsideTheRectangle)
{
    constexpr COLORREF kFrame = RGB(211, 211, 211);
    const RECT rects[] = {
        {5, 6, 25, 20},  // an ordinary box
        {3, 3, 5, 5},    // 2 x 2: nothing inside the band, all of it is band
        {30, 2, 31, 12}, // one pixel across: all of it is band
        {2, 20, 12, 21},
    };
    for (const RECT& rect : rects) {
        SCOPED_TRACE(testing::Message()
                     << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom);
        Canvas canvas(40, 24, kPaper);
        DrawInnerFrame(canvas.dc(), rect);
        const RECT inner = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        Image expected = ctltest::Filled(40, 24, kPaper);
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x)
                if (Inside(rect, x, y) && !Inside(inner, x, y))
                    expected.At(x, y) = kFrame;
        EXPECT_TRUE(SameImage(canvas.Read(), expected));
    }
}

TEST(DrawingHelpers, BoxAndLineDrawTheirPixelsAndGiveTheContextBack)
{
    constexpr COLORREF kPen = RGB(200, 0, 0);
    constexpr COLORREF kFill = RGB(0, 160, 0);
    Canvas canvas(30, 20, kPaper);
    const HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(canvas.dc(), OBJ_BRUSH);

    DrawBox(canvas.dc(), kPen, kFill, 4, 4, 14, 10);
    DrawLine(canvas.dc(), kPen, 1, 2, 15, 20, 15); // LineTo leaves out the end point

    Image expected = ctltest::Filled(30, 20, kPaper);
    for (int y = 4; y < 10; ++y)
        for (int x = 4; x < 14; ++x)
            expected.At(x, y) = (x == 4 || x == 13 || y == 4 || y == 9) ? kPen : kFill;
    for (int x = 2; x < 20; ++x)
        expected.At(x, 15) = kPen;
    EXPECT_TRUE(SameImage(canvas.Read(), expected));
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), brush);
}

TEST(DrawingHelpers, NothingHappensWithoutAContext)
{
    const RECT rect = {0, 0, 100, 40};
    DrawBox(nullptr, kWhite, kWhite, 0, 0, 10, 10);
    DrawLine(nullptr, kWhite, 2, 0, 0, 10, 10);
    DrawInnerFrame(nullptr, rect);
    DrawLabelBox(nullptr, L"Label", 4, rect);
    DrawBitmapAt(nullptr, 0, 0, 177);
    EXPECT_FALSE(DrawBitmapResourcePart(nullptr, 0, 0, 129, 0, 10, 10));
    DrawWrappedTextCentred(nullptr, L"Text", 4, rect, 4, DT_LEFT);
    EXPECT_EQ(DrawWrappedTextTop(nullptr, L"Text", 4, rect, 4, DT_LEFT), 0);
}

// Backgrounds are copied straight from the resource: the result must match the picture loaded
// the ordinary way, the right way up, from the right column, cut at the picture's edges.
TEST(DrawingHelpers, BitmapResourcePartMatchesTheLoadedPicture)
{
    const struct {
        int sourceX, width, height;
        int drawnWidth, drawnHeight; // after the cut at the picture's edges
    } cases[] = {
        {0, 211, 520, 211, 520},   // the main window's band
        {211, 570, 520, 570, 520}, // the home page's part
        {700, 200, 600, 81, 520},  // wider and taller than what is left
    };
    fw::UniqueBitmap picture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(129), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_TRUE(picture);
    for (const auto& c : cases) {
        Canvas drawn(c.width + 4, c.height + 4, kPaper);
        ASSERT_TRUE(DrawBitmapResourcePart(drawn.dc(), 2, 2, 129, c.sourceX, c.width, c.height));

        Canvas expected(c.width + 4, c.height + 4, kPaper);
        {
            fw::MemoryDC source(expected.dc());
            fw::SelectGuard select(source.get(), picture.get());
            BitBlt(expected.dc(), 2, 2, c.drawnWidth, c.drawnHeight, source.get(), c.sourceX, 0,
                   SRCCOPY);
        }
        EXPECT_TRUE(SameImage(drawn.Read(), expected.Read())) << "from x " << c.sourceX;
    }
}

TEST(DrawingHelpers, BitmapResourcePartRefusesWhatItCannotDraw)
{
    Canvas canvas(20, 20, kPaper);
    const Image before = canvas.Read();
    EXPECT_FALSE(DrawBitmapResourcePart(canvas.dc(), 0, 0, 9999, 0, 10, 10)); // no such picture
    EXPECT_FALSE(DrawBitmapResourcePart(canvas.dc(), 0, 0, 129, 781, 10, 10)); // right of it
    EXPECT_FALSE(DrawBitmapResourcePart(canvas.dc(), 0, 0, 129, -1, 10, 10));
    EXPECT_TRUE(SameImage(canvas.Read(), before));
}

TEST(DrawingHelpers, CentredTextIsTopTextMovedDownByHalfTheFreeHeight)
{
    constexpr SIZE kCanvas = {200, 130};
    const RECT rect = {10, 10, 170, 120};
    constexpr int kIndent = 20;
    constexpr int kMargin = 30; // so the text wraps within x 30 ... 140
    const wchar_t* const text = L"Restart the computer, then run the test once again";
    const auto prepare = [](Canvas& canvas) {
        SelectObject(canvas.dc(), GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(canvas.dc(), RGB(0, 0, 0));
        SetBkMode(canvas.dc(), TRANSPARENT);
    };

    Canvas top(kCanvas.cx, kCanvas.cy, kWhite);
    prepare(top);
    const int height = DrawWrappedTextTop(top.dc(), text, kIndent, rect, kMargin, DT_LEFT);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(top.dc(), &metrics);
    ASSERT_GE(height, 2 * metrics.tmHeight) << "the text did not wrap";
    const Image atTop = top.Read();
    const RECT ink = ctltest::InkBounds(atTop, kWhite);
    EXPECT_GE(ink.left, rect.left + kIndent);
    EXPECT_LE(ink.right, rect.right - kMargin);
    EXPECT_GE(ink.top, rect.top);

    Canvas centred(kCanvas.cx, kCanvas.cy, kWhite);
    prepare(centred);
    const RECT used = DrawWrappedTextCentred(centred.dc(), text, kIndent, rect, kMargin, DT_LEFT);
    const int down = (rect.bottom - rect.top - height) / 2;
    EXPECT_EQ(used.left, rect.left + kIndent);
    EXPECT_EQ(used.top, rect.top + down);

    Image expected = ctltest::Filled(kCanvas.cx, kCanvas.cy, kWhite);
    for (int y = 0; y + down < kCanvas.cy; ++y)
        for (int x = 0; x < kCanvas.cx; ++x)
            expected.At(x, y + down) = atTop.At(x, y);
    EXPECT_TRUE(SameImage(centred.Read(), expected));
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"hlm_controls_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           name;
}

TEST(DrawingHelpers, LoadImageFileReadsPicturesAndRefusesTheRest)
{
    struct Case {
        const wchar_t* file;
        const wchar_t* mimeType;
        SIZE size;
    };
    const Case pictures[] = {
        {L"photo.png", L"image/png", {37, 23}},
        {L"photo.jpg", L"image/jpeg", {41, 29}},
    };
    for (const Case& c : pictures) {
        SCOPED_TRACE(testing::Message() << "a picture of type " << c.mimeType);
        const std::wstring path = TempFile(c.file);
        {
            CLSID encoder = {};
            ASSERT_TRUE(hlmtest::FindImageEncoder(c.mimeType, encoder));
            Gdiplus::Bitmap picture(c.size.cx, c.size.cy, PixelFormat24bppRGB);
            Gdiplus::Graphics(&picture).Clear(Gdiplus::Color(255, 40, 120, 200));
            ASSERT_EQ(picture.Save(path.c_str(), &encoder, nullptr), Gdiplus::Ok);
        }
        std::unique_ptr<Gdiplus::Bitmap> loaded(LoadImageFile(path.c_str()));
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->GetWidth(), static_cast<UINT>(c.size.cx));
        EXPECT_EQ(loaded->GetHeight(), static_cast<UINT>(c.size.cy));
        loaded.reset(); // GDI+ keeps the file open while the picture lives
        EXPECT_TRUE(DeleteFileW(path.c_str()));
    }

    EXPECT_EQ(LoadImageFile(TempFile(L"missing.png").c_str()), nullptr);

    const std::wstring notAPicture = TempFile(L"notes.png");
    {
        fw::UniqueFileHandle file(CreateFileW(notAPicture.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        const char words[] = "Just some words, not a picture.";
        DWORD written = 0;
        WriteFile(file.get(), words, sizeof(words) - 1, &written, nullptr);
    }
    EXPECT_EQ(LoadImageFile(notAPicture.c_str()), nullptr);
    DeleteFileW(notAPicture.c_str());
}

} // namespace
