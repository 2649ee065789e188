#pragma once
// Drawing routines every page shares. Each does nothing when the context is null.

#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

void DrawLine(HDC dc, COLORREF colour, int penWidth, int fromX, int fromY, int toX, int toY);
// A rectangle with a 1-pixel solid pen and a solid fill.
void DrawBox(HDC dc, COLORREF pen, COLORREF fill, int left, int top, int right, int bottom);
// Fills the 1-pixel band just inside `rect` with (211, 211, 211).
void DrawInnerFrame(HDC dc, const RECT& rect);
// Word-wrapped text, vertically centred in `rect` narrowed by `indent` on the left and
// `margin` on the right; returns the rectangle the text took.
RECT DrawWrappedTextCentred(HDC dc, const wchar_t* text, int indent, const RECT& rect, int margin,
                            UINT format);
// Word-wrapped text at the top of the narrowed rectangle; returns the text's height.
int DrawWrappedTextTop(HDC dc, const wchar_t* text, int indent, const RECT& rect, int margin,
                       UINT format);
// A (238, 238, 238) box with one line of text, vertically centred, from left + indent.
void DrawLabelBox(HDC dc, const wchar_t* text, int indent, const RECT& rect);
// A bitmap resource at its own size.
void DrawBitmapAt(HDC dc, int x, int y, UINT bitmapId);
// A picture file (JPEG, PNG, BMP) loaded through GDI+; nullptr when it cannot be loaded. The
// caller owns the result.
Gdiplus::Bitmap* LoadImageFile(const wchar_t* path);
