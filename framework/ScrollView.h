#pragma once
// A child window that shows a larger drawing through scroll bars. Derived views draw the
// whole content in OnDraw as if it started at (0, 0); the view shifts the origin by the
// scroll position.

#include "framework/Wnd.h"

namespace fw {

class CScrollView : public CWnd {
  public:
    // Creates the view as a child of `parent` occupying `rect`; `style` adds to WS_CHILD.
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD style = WS_VISIBLE | WS_VSCROLL);

    // The size of the content; page and line are the steps of a page and arrow click (zero:
    // a tenth of the total for a page, a hundredth for a line, as usual for scroll views).
    void SetScrollSizes(SIZE total, SIZE page = {0, 0}, SIZE line = {0, 0});
    SIZE GetTotalSize() const { return total_; }
    POINT GetScrollPosition() const { return position_; }
    void ScrollToPosition(POINT position);

  protected:
    // Called once after creation, before the view is first shown.
    virtual void OnInitialUpdate() {}
    // Draws the content in content coordinates.
    virtual void OnDraw(HDC dc) = 0;
    // Called after the position changed by scrolling (not by ScrollToPosition's callers).
    virtual void OnScrolled(POINT /*previous*/) {}

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override;
    void OnSize(UINT type, int width, int height) override;

  private:
    void UpdateBars();
    void Scroll(int bar, UINT request, int thumb);
    POINT Clamp(POINT position) const;

    SIZE total_ = {0, 0};
    SIZE page_ = {0, 0};
    SIZE line_ = {0, 0};
    POINT position_ = {0, 0};
    int wheelRemainder_ = 0;
};

} // namespace fw
