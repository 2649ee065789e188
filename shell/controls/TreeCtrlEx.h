#pragma once
// The tree with check boxes that the troubleshooting and update pages use: it paints itself in
// the page's colours through two memory bitmaps, and a click on a check box toggles it without
// selecting the item.

#include <windows.h>

#include <commctrl.h>

#include "framework/Wnd.h"

class CTreeCtrlEx : public fw::CWnd {
  public:
    COLORREF backgroundColour = RGB(255, 255, 255);
    COLORREF selectionColour = RGB(232, 232, 232);

    // Check states of the state image list: 1 unchecked, 2 checked.
    static bool IsChecked(HWND tree, HTREEITEM item);
    static void SetChecked(HWND tree, HTREEITEM item, bool checked);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override { return dc != nullptr; }
    bool OnNotifyReflect(NMHDR* header, LRESULT& result) override;

  private:
    bool OnLeftButtonDown(POINT point);
};
