#include "shell/controls/Drawing.h"

#include <objidl.h>

#include <gdiplus.h>

#include "framework/Gdi.h"
#include "framework/Handles.h"

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour)
{
    if (!dc)
        return;
    const COLORREF previous = SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

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

bool DrawBitmapResourcePart(HDC dc, int x, int y, UINT bitmapId, int sourceX, int width, int height)
{
    if (!dc)
        return false;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(bitmapId), RT_BITMAP);
    const DWORD size = found ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* info = loaded ? static_cast<const BITMAPINFO*>(LockResource(loaded)) : nullptr;
    if (!info || size < sizeof(BITMAPINFOHEADER))
        return false;
    // A resource holds the DIB without its file header: the header, the colour table, the bits.
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biCompression != BI_RGB)
        return false;
    DWORD colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8)
        colours = 1u << header.biBitCount;
    const DWORD bitsOffset = header.biSize + colours * sizeof(RGBQUAD);
    const LONG rows = header.biHeight > 0 ? header.biHeight : -header.biHeight;
    const DWORD stride = ((header.biWidth * header.biBitCount + 31) / 32) * 4;
    if (bitsOffset > size || static_cast<ULONGLONG>(stride) * rows > size - bitsOffset)
        return false;
    const BYTE* bits = reinterpret_cast<const BYTE*>(info) + bitsOffset;
    if (sourceX < 0 || sourceX >= header.biWidth)
        return false;
    width = width < header.biWidth - sourceX ? width : header.biWidth - sourceX;
    height = height < rows ? height : rows;
    // A bottom-up picture counts its source rows from the bottom: the top `height` rows start
    // at row rows - height.
    const int sourceY = header.biHeight > 0 ? rows - height : 0;
    return SetDIBitsToDevice(dc, x, y, width, height, sourceX, sourceY, 0, rows, bits, info,
                             DIB_RGB_COLORS) != 0;
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
