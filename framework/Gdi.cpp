#include "framework/Gdi.h"

namespace fw {

DoubleBuffer::DoubleBuffer(HDC target, const RECT& rect) noexcept
    : target_(target), rect_(rect), memory_(target), bitmap_(CreateBitmapFor(target, rect)),
      select_(memory_.get(), bitmap_.get())
{
    if (IsBuffered()) {
        // Shift the origin so callers draw with the target's coordinates.
        ::SetViewportOrgEx(memory_.get(), -rect.left, -rect.top, nullptr);
    }
}

HBITMAP DoubleBuffer::CreateBitmapFor(HDC target, const RECT& rect) noexcept
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // A zero size would give a 1x1 monochrome bitmap; an empty rectangle has nothing to buffer.
    if (!target || width <= 0 || height <= 0) {
        return nullptr;
    }
    return ::CreateCompatibleBitmap(target, width, height);
}

void DoubleBuffer::Flush() const noexcept
{
    if (!IsBuffered()) {
        return;
    }
    // Source coordinates are logical, so they carry the same shifted origin.
    ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
             memory_.get(), rect_.left, rect_.top, SRCCOPY);
}

} // namespace fw
