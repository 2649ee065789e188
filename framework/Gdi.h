#pragma once

// Scope guards for device contexts and selected GDI objects. Each guard undoes exactly what its
// constructor did; none of them can be copied or moved, so the undo happens once, in the scope
// that started it. Declare the GDI object before the SelectGuard that selects it, so the guard
// puts the old object back before the new one is deleted.

#include "framework/Handles.h"

#include <windows.h>

namespace fw {

// GetDC / ReleaseDC. ReleaseDC needs the same window, so the guard keeps it.
class WindowDC {
  public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), hdc_(::GetDC(hwnd)) {}
    ~WindowDC()
    {
        if (hdc_) {
            ::ReleaseDC(hwnd_, hdc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return hdc_; }
    HWND window() const noexcept { return hwnd_; }

  private:
    HWND hwnd_;
    HDC hdc_;
};

// BeginPaint / EndPaint, for WM_PAINT only.
class PaintDC {
  public:
    explicit PaintDC(HWND hwnd) noexcept : hwnd_(hwnd), paint_{}, hdc_(::BeginPaint(hwnd, &paint_))
    {
    }
    ~PaintDC()
    {
        // EndPaint is due even when BeginPaint gave no DC: it shows the caret again.
        ::EndPaint(hwnd_, &paint_);
    }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const noexcept { return hdc_; }
    HWND window() const noexcept { return hwnd_; }
    const PAINTSTRUCT& paint() const noexcept { return paint_; }
    const RECT& dirty() const noexcept { return paint_.rcPaint; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_;
    HDC hdc_;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDC {
  public:
    // A null target makes a DC compatible with the screen.
    explicit MemoryDC(HDC compatibleWith) noexcept : hdc_(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (hdc_) {
            ::DeleteDC(hdc_);
        }
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const noexcept { return hdc_; }
    bool IsValid() const noexcept { return hdc_ != nullptr; }

  private:
    HDC hdc_;
};

// SelectObject, and the previous object selected back on scope exit.
class SelectGuard {
  public:
    SelectGuard(HDC hdc, HGDIOBJ object) noexcept
        : hdc_(hdc), previous_(hdc && object ? ::SelectObject(hdc, object) : nullptr)
    {
        if (previous_ == HGDI_ERROR) {
            previous_ = nullptr;
        }
    }
    // Selecting a region returns a region kind, not the old object, so there is nothing to
    // restore; regions go through SelectClipRgn instead.
    SelectGuard(HDC hdc, HRGN region) = delete;
    ~SelectGuard()
    {
        if (previous_) {
            ::SelectObject(hdc_, previous_);
        }
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

    // False when nothing was selected (no DC, no object, or SelectObject failed).
    bool IsSelected() const noexcept { return previous_ != nullptr; }

  private:
    HDC hdc_;
    HGDIOBJ previous_;
};

// Flicker-free drawing: draw into get() using the target's coordinates, then Flush() copies the
// rectangle to the target. If the buffer cannot be made, get() is the target itself, so drawing
// still works, only unbuffered.
class DoubleBuffer {
  public:
    DoubleBuffer(HDC target, const RECT& rect) noexcept;
    ~DoubleBuffer() = default;
    DoubleBuffer(const DoubleBuffer&) = delete;
    DoubleBuffer& operator=(const DoubleBuffer&) = delete;

    HDC get() const noexcept { return IsBuffered() ? memory_.get() : target_; }
    bool IsBuffered() const noexcept { return select_.IsSelected(); }
    const RECT& rect() const noexcept { return rect_; }

    void Flush() const noexcept;

  private:
    static HBITMAP CreateBitmapFor(HDC target, const RECT& rect) noexcept;

    // Order matters: destroyed bottom-up, so the bitmap is deselected before it is deleted and
    // deleted before its DC.
    HDC target_;
    RECT rect_;
    MemoryDC memory_;
    UniqueBitmap bitmap_;
    SelectGuard select_;
};

} // namespace fw
