#include "console/DiagCanvas.h"

#include "framework/Gdi.h"

DiagCanvas::~DiagCanvas()
{
    Release();
}

void DiagCanvas::Release()
{
    if (dc_ && replaced_)
        SelectObject(dc_.get(), replaced_);
    replaced_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    width_ = 0;
    height_ = 0;
}

bool DiagCanvas::Create(HWND window, int width, int height)
{
    Release();
    fw::WindowDC target(window);
    fw::UniqueResource<DcTraits> dc(CreateCompatibleDC(target.get()));
    fw::UniqueBitmap bitmap(CreateCompatibleBitmap(target.get(), width, height));
    if (!dc || !bitmap)
        return false;
    replaced_ = SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    width_ = width;
    height_ = height;
    const RECT all = {0, 0, width, height};
    FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

bool DiagCanvas::Grow(HWND window, int height)
{
    if (!dc_ || height <= height_)
        return dc_.IsValid();
    fw::WindowDC target(window);
    fw::UniqueBitmap bigger(CreateCompatibleBitmap(target.get(), width_, height));
    if (!bigger)
        return false;
    {
        fw::MemoryDC copy(dc_.get());
        fw::SelectGuard select(copy.get(), bigger.get());
        const RECT all = {0, 0, width_, height};
        FillRect(copy.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        BitBlt(copy.get(), 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
    }
    SelectObject(dc_.get(), bigger.get());
    bitmap_ = std::move(bigger);
    height_ = height;
    return true;
}
