#include "framework/ScrollView.h"

#include "framework/Gdi.h"

namespace fw {

bool CScrollView::Create(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    if (!CreateEx(0, L"fw.ScrollView", L"", WS_CHILD | style, rect, parent, id))
        return false;
    OnInitialUpdate();
    return true;
}

void CScrollView::SetScrollSizes(SIZE total, SIZE page, SIZE line)
{
    total_ = total;
    page_ = {page.cx ? page.cx : total.cx / 10, page.cy ? page.cy : total.cy / 10};
    line_ = {line.cx ? line.cx : total.cx / 100, line.cy ? line.cy : total.cy / 100};
    if (line_.cx < 1)
        line_.cx = 1;
    if (line_.cy < 1)
        line_.cy = 1;
    UpdateBars();
}

POINT CScrollView::Clamp(POINT position) const
{
    const RECT client = GetClientRect();
    const LONG maxX = total_.cx - (client.right - client.left);
    const LONG maxY = total_.cy - (client.bottom - client.top);
    position.x = position.x > maxX ? maxX : position.x;
    position.y = position.y > maxY ? maxY : position.y;
    position.x = position.x < 0 ? 0 : position.x;
    position.y = position.y < 0 ? 0 : position.y;
    return position;
}

void CScrollView::ScrollToPosition(POINT position)
{
    position = Clamp(position);
    if (position.x == position_.x && position.y == position_.y)
        return;
    const POINT previous = position_;
    position_ = position;
    if (m_hWnd) {
        SetScrollPos(m_hWnd, SB_HORZ, position_.x, TRUE);
        SetScrollPos(m_hWnd, SB_VERT, position_.y, TRUE);
        ScrollWindowEx(m_hWnd, previous.x - position_.x, previous.y - position_.y, nullptr, nullptr,
                       nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
        UpdateWindow();
    }
}

void CScrollView::UpdateBars()
{
    if (!m_hWnd)
        return;
    const RECT client = GetClientRect();
    // The bars hide themselves when the content fits (nPage >= range).
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    info.nMax = total_.cx > 0 ? total_.cx - 1 : 0;
    info.nPage = static_cast<UINT>(client.right - client.left);
    info.nPos = position_.x;
    SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    info.nMax = total_.cy > 0 ? total_.cy - 1 : 0;
    info.nPage = static_cast<UINT>(client.bottom - client.top);
    info.nPos = position_.y;
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    // A resize may have left us past the end.
    const POINT clamped = Clamp(position_);
    if (clamped.x != position_.x || clamped.y != position_.y) {
        position_ = clamped;
        Invalidate();
    }
}

void CScrollView::Scroll(int bar, UINT request, int thumb)
{
    const bool vertical = bar == SB_VERT;
    const LONG line = vertical ? line_.cy : line_.cx;
    const LONG page = vertical ? page_.cy : page_.cx;
    const LONG total = vertical ? total_.cy : total_.cx;
    LONG at = vertical ? position_.y : position_.x;
    switch (request) {
    case SB_LINEUP:
        at -= line;
        break;
    case SB_LINEDOWN:
        at += line;
        break;
    case SB_PAGEUP:
        at -= page;
        break;
    case SB_PAGEDOWN:
        at += page;
        break;
    case SB_TOP:
        at = 0;
        break;
    case SB_BOTTOM:
        at = total;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        at = thumb;
        break;
    default:
        return;
    }
    const POINT previous = position_;
    ScrollToPosition(vertical ? POINT{position_.x, at} : POINT{at, position_.y});
    if (previous.x != position_.x || previous.y != position_.y)
        OnScrolled(previous);
}

LRESULT CScrollView::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
        // The 16-bit position in wParam is too small for tall content; ask for the 32-bit one.
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(m_hWnd, bar, &info);
        Scroll(bar, LOWORD(wp), info.nTrackPos);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(wp);
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        // A notch moves at most a page. That is also what "one screen at a time" asks for:
        // WHEEL_PAGESCROLL is UINT_MAX, which must not become billions of line steps.
        const bool byPage = static_cast<ULONGLONG>(lines) * static_cast<ULONGLONG>(line_.cy) >=
                            static_cast<ULONGLONG>(page_.cy);
        while (wheelRemainder_ >= WHEEL_DELTA || wheelRemainder_ <= -WHEEL_DELTA) {
            const bool up = wheelRemainder_ > 0;
            wheelRemainder_ += up ? -WHEEL_DELTA : WHEEL_DELTA;
            if (byPage)
                Scroll(SB_VERT, up ? SB_PAGEUP : SB_PAGEDOWN, 0);
            else
                for (UINT i = 0; i < lines; ++i)
                    Scroll(SB_VERT, up ? SB_LINEUP : SB_LINEDOWN, 0);
        }
        return 0;
    }
    default:
        return CWnd::WindowProc(msg, wp, lp);
    }
}

void CScrollView::OnPaint()
{
    PaintDC paint(m_hWnd);
    if (!paint.get())
        return;
    SetViewportOrgEx(paint.get(), -position_.x, -position_.y, nullptr);
    OnDraw(paint.get());
}

void CScrollView::OnSize(UINT, int, int)
{
    UpdateBars();
}

} // namespace fw
