#pragma once
// What the diagnosis popups and the result view share: the main window's language and fonts,
// and the off-screen bitmap their scroll views draw into once and copy at every paint.

#include <windows.h>

#include "framework/Handles.h"

// The message language and the three fonts of the main window. The troubleshooting page fills
// it from the main window (MessageLanguage, TitleFont, BoldFont, TextFont); the fonts stay the
// main window's.
struct ConsoleUi {
    LANGID language = 0;
    HFONT titleFont = nullptr;
    HFONT boldFont = nullptr;
    HFONT textFont = nullptr;
};

// A memory DC with a bitmap of its own selected into it for its whole life.
class DiagCanvas {
  public:
    DiagCanvas() = default;
    DiagCanvas(const DiagCanvas&) = delete;
    DiagCanvas& operator=(const DiagCanvas&) = delete;
    ~DiagCanvas();

    // Makes the canvas, compatible with `window`'s DC; false when GDI cannot.
    bool Create(HWND window, int width, int height);
    // Makes the canvas taller, keeping what it holds; the new part is white.
    bool Grow(HWND window, int height);

    // Gives the bitmap and DC back; the canvas can be made again.
    void Release();

    HDC dc() const { return dc_.get(); }
    bool IsValid() const { return dc_.IsValid(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    struct DcTraits {
        using Handle = HDC;
        static Handle Invalid() noexcept { return nullptr; }
        static void Close(Handle handle) noexcept { ::DeleteDC(handle); }
    };

    fw::UniqueResource<DcTraits> dc_;
    fw::UniqueBitmap bitmap_;
    HGDIOBJ replaced_ = nullptr; // the DC's own bitmap, selected back before ours goes
    int width_ = 0;
    int height_ = 0;
};
