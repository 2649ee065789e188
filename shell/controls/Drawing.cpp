#include "shell/controls/Drawing.h"

#include <objidl.h>

#include <gdiplus.h>

#include "framework/Gdi.h"
#include "framework/Handles.h"

void DrawLine(HDC dc, COLORREF colour, int penWidth, int fromX, int fromY, int toX, int toY)
{
    if (!dc)
        return;
    fw::UniquePen pen(CreatePen(PS_SOLID, penWidth, colour));
    fw::SelectGuard select(dc, pen.get());
    MoveToEx(dc, fromX, fromY, nullptr);
    LineTo(dc, toX, toY);
}

void DrawBox(HDC dc, COLORREF pen, COLORREF fill, int left, int top, int right, int bottom)
{
    if (!dc)
        return;
    fw::UniquePen solidPen(CreatePen(PS_SOLID, 1, pen));
    fw::UniqueBrush brush(CreateSolidBrush(fill));
    fw::SelectGuard selectPen(dc, solidPen.get());
    fw::SelectGuard selectBrush(dc, brush.get());
    Rectangle(dc, left, top, right, bottom);
}

void DrawInnerFrame(HDC dc, const RECT& rect)
{
    if (!dc)
        return;
    fw::UniqueRegion outer(CreateRectRgnIndirect(&rect));
    // A rectangle one pixel across is all band. Shrunk, it would turn inside out, and
    // CreateRectRgn puts such a rectangle the right way round instead of leaving it empty.
    if (rect.right - rect.left > 2 && rect.bottom - rect.top > 2) {
        fw::UniqueRegion inner(
            CreateRectRgn(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1));
        CombineRgn(outer.get(), outer.get(), inner.get(), RGN_DIFF);
    }
    fw::UniqueBrush brush(CreateSolidBrush(RGB(211, 211, 211)));
    FillRgn(dc, outer.get(), brush.get());
}

namespace {

RECT Narrowed(const RECT& rect, int indent, int margin)
{
    return {rect.left + indent, rect.top, rect.right - margin, rect.bottom};
}

} // namespace

RECT DrawWrappedTextCentred(HDC dc, const wchar_t* text, int indent, const RECT& rect, int margin,
                            UINT format)
{
    RECT area = Narrowed(rect, indent, margin);
    if (!dc || !text)
        return area;
    RECT measured = area;
    DrawTextW(dc, text, -1, &measured, format | DT_WORDBREAK | DT_CALCRECT);
    const int freeHeight = (area.bottom - area.top) - (measured.bottom - measured.top);
    OffsetRect(&area, 0, freeHeight / 2);
    DrawTextW(dc, text, -1, &area, format | DT_WORDBREAK);
    return area;
}

int DrawWrappedTextTop(HDC dc, const wchar_t* text, int indent, const RECT& rect, int margin,
                       UINT format)
{
    if (!dc || !text)
        return 0;
    RECT area = Narrowed(rect, indent, margin);
    return DrawTextW(dc, text, -1, &area, format | DT_WORDBREAK);
}

void DrawLabelBox(HDC dc, const wchar_t* text, int indent, const RECT& rect)
{
    if (!dc)
        return;
    DrawBox(dc, RGB(238, 238, 238), RGB(238, 238, 238), rect.left, rect.top, rect.right,
            rect.bottom);
    RECT area = Narrowed(rect, indent, 0);
    DrawTextW(dc, text, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void DrawBitmapAt(HDC dc, int x, int y, UINT bitmapId)
{
    if (!dc)
        return;
    fw::UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof(info), &info))
        return;
    fw::MemoryDC memory(dc);
    fw::SelectGuard select(memory.get(), bitmap.get());
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
}

Gdiplus::Bitmap* LoadImageFile(const wchar_t* path)
{
    auto* image = Gdiplus::Bitmap::FromFile(path);
    if (image && image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return nullptr;
    }
    return image;
}
