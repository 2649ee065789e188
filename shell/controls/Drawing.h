#pragma once
// Drawing routines every page shares. Each does nothing when the context is null.

#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

void DrawLine(HDC dc, COLORREF colour, int penWidth, int fromX, int fromY, int toX, int toY);
// Fills `rect` with one colour, without making a brush.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour);
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
// Copies the part of a bitmap resource that starts at (sourceX, 0), `width` x `height`, to
// (x, y), straight from the program's mapped resource: nothing is loaded or kept, so large
// backgrounds cost no memory and no conversion of the whole picture at each paint. False when
// the resource is missing or not a plain DIB.
bool DrawBitmapResourcePart(HDC dc, int x, int y, UINT bitmapId, int sourceX, int width,
                            int height);
// A picture file (JPEG, PNG, BMP) loaded through GDI+; nullptr when it cannot be loaded. The
// caller owns the result.
Gdiplus::Bitmap* LoadImageFile(const wchar_t* path);
