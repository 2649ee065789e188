// Control wrappers: a subclassed control gets the WM_DRAWITEM and WM_CTLCOLOR* its parent
// receives for it before the parent does, and wrapper and control may end in either order.
// The parent is a page, where the program's self-drawing controls live.

#include "tests/framework/windows/WindowTestSupport.h"
#include "tests/framework/windows/resource.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kChildColour = RGB(200, 30, 40);
constexpr COLORREF kParentColour = RGB(20, 60, 210);

// A page shown inside a host window, as the program's pages are, noting what reaches its
// own handlers.
class ParentPage : public fw::CDialog {
  public:
    ParentPage() : fw::CDialog(IDD_TEST_PAGE) {}
    ~ParentPage() override { DestroyWindow(); }

    bool Open()
    {
        if (!host_.Create() || !Create(host_))
            return false;
        ShowWindow(SW_SHOW);
        UpdateWindow();
        return true;
    }

    HBRUSH brush = nullptr; // what OnCtlColor answers for `watched`
    HWND watched = nullptr; // the control whose colour requests are counted
    int colourAsked = 0;
    UINT colourMessage = 0;
    int drawItems = 0;

  protected:
    HBRUSH OnCtlColor(HDC, HWND control, UINT message) override
    {
        if (control != watched)
            return nullptr;
        ++colourAsked;
        colourMessage = message;
        return brush;
    }

    bool OnDrawItem(DRAWITEMSTRUCT* item) override
    {
        if (item->CtlID != IDC_PAGE_DRAWN)
            return false;
        ++drawItems;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
        return true;
    }

  private:
    fwtest::HostWindow host_;
};

// An owner-drawn button that draws itself, or declines to.
class DrawnButton : public fw::CWnd {
  public:
    bool draws = true;
    int drawItems = 0;
    UINT drawnId = 0;

  protected:
    bool OnDrawItem(DRAWITEMSTRUCT* item) override
    {
        ++drawItems;
        drawnId = item->CtlID;
        if (!draws)
            return false;
        fw::UniqueBrush fill(CreateSolidBrush(kChildColour));
        FillRect(item->hDC, &item->rcItem, fill.get());
        return true;
    }
};

// A control that picks its own background, or leaves it to its parent.
class ColouredControl : public fw::CWnd {
  public:
    HBRUSH brush = nullptr;
    int colourAsked = 0;
    UINT colourMessage = 0;

  protected:
    HBRUSH OnCtlColor(HDC, HWND control, UINT message) override
    {
        if (control != m_hWnd)
            return nullptr;
        ++colourAsked;
        colourMessage = message;
        return brush;
    }
};

// Counts what passes through the wrapper and when its window is gone.
class CountingEdit : public fw::CWnd {
  public:
    int setTexts = 0;
    int ncDestroyed = 0;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_SETTEXT)
            ++setTexts;
        return fw::CWnd::WindowProc(msg, wp, lp);
    }
    void PostNcDestroy() override { ++ncDestroyed; }
};

// What the control paints at a point of its client area, as WM_PRINTCLIENT draws it: the same
// code as its WM_PAINT, including the colour request to its parent, into a DC we can read.
COLORREF PaintedColour(HWND control, POINT at)
{
    const RECT client = [control] {
        RECT r = {};
        GetClientRect(control, &r);
        return r;
    }();
    fw::WindowDC screen(control);
    fw::MemoryDC memory(screen.get());
    fw::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    fw::SelectGuard select(memory.get(), bitmap.get());
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    return GetPixel(memory.get(), at.x, at.y);
}

TEST(Reflection, OwnerDrawnButtonDrawsItselfBeforeItsParentIsAsked)
{
    enum class Wrapper { Draws, Declines, None };
    struct Case {
        const char* name;
        Wrapper wrapper;
        bool childAsked;
        bool parentAsked;
    };
    const Case cases[] = {
        {"wrapper draws", Wrapper::Draws, true, false},
        {"wrapper declines", Wrapper::Declines, true, true},
        {"no wrapper", Wrapper::None, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParentPage parent;
        ASSERT_TRUE(parent.Open());
        DrawnButton button;
        button.draws = c.wrapper == Wrapper::Draws;
        if (c.wrapper != Wrapper::None) {
            ASSERT_TRUE(button.SubclassDlgItem(IDC_PAGE_DRAWN, parent));
        }
        button.drawItems = 0;
        parent.drawItems = 0;

        RedrawWindow(parent.GetDlgItem(IDC_PAGE_DRAWN), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

        EXPECT_EQ(button.drawItems > 0, c.childAsked);
        EXPECT_EQ(parent.drawItems > 0, c.parentAsked);
        if (c.childAsked) {
            EXPECT_EQ(button.drawnId, static_cast<UINT>(IDC_PAGE_DRAWN));
        }
    }
}

TEST(Reflection, DrawingOfTheWrapperIsWhatTheButtonShows)
{
    ParentPage parent;
    ASSERT_TRUE(parent.Open());
    DrawnButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_PAGE_DRAWN, parent));
    EXPECT_EQ(PaintedColour(button, {3, 3}), kChildColour);
}

TEST(Reflection, ControlColoursItselfOrLeavesItToItsParent)
{
    fw::UniqueBrush childBrush(CreateSolidBrush(kChildColour));
    fw::UniqueBrush parentBrush(CreateSolidBrush(kParentColour));
    struct Case {
        const char* name;
        int control;
        UINT message;
        bool wrapped;
        HBRUSH childAnswer;
        HBRUSH parentAnswer;
        COLORREF painted;
        bool parentAsked;
    };
    const Case cases[] = {
        {"label colours itself", IDC_PAGE_LABEL, WM_CTLCOLORSTATIC, true, childBrush.get(),
         parentBrush.get(), kChildColour, false},
        {"label leaves it to the parent", IDC_PAGE_LABEL, WM_CTLCOLORSTATIC, true, nullptr,
         parentBrush.get(), kParentColour, true},
        {"label without a wrapper", IDC_PAGE_LABEL, WM_CTLCOLORSTATIC, false, nullptr,
         parentBrush.get(), kParentColour, true},
        {"edit colours itself", IDC_PAGE_EDIT, WM_CTLCOLOREDIT, true, childBrush.get(),
         parentBrush.get(), kChildColour, false},
        {"edit leaves it to the parent", IDC_PAGE_EDIT, WM_CTLCOLOREDIT, true, nullptr,
         parentBrush.get(), kParentColour, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParentPage parent;
        ASSERT_TRUE(parent.Open());
        const HWND control = parent.GetDlgItem(c.control);
        ColouredControl wrapper;
        if (c.wrapped) {
            ASSERT_TRUE(wrapper.SubclassWindow(control));
        }
        wrapper.brush = c.childAnswer;
        parent.watched = control;
        parent.brush = c.parentAnswer;

        EXPECT_EQ(PaintedColour(control, {2, 2}), c.painted);
        if (c.wrapped) {
            EXPECT_GT(wrapper.colourAsked, 0);
            EXPECT_EQ(wrapper.colourMessage, c.message);
        }
        EXPECT_EQ(parent.colourAsked > 0, c.parentAsked);
        if (c.parentAsked) {
            EXPECT_EQ(parent.colourMessage, c.message);
        }
    }
}

TEST(Subclass, WrapperThatGoesFirstGivesTheControlBackToItsClass)
{
    ParentPage parent;
    ASSERT_TRUE(parent.Open());
    const HWND edit = parent.GetDlgItem(IDC_PAGE_EDIT);
    const LONG_PTR classProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        CountingEdit wrapper;
        ASSERT_TRUE(wrapper.SubclassWindow(edit));
        EXPECT_EQ(fw::CWnd::FromHandle(edit), &wrapper);
        SetWindowTextW(edit, L"through the wrapper");
        EXPECT_EQ(wrapper.setTexts, 1);
        EXPECT_EQ(fwtest::WindowText(edit), L"through the wrapper");

        // One window, one wrapper.
        CountingEdit second;
        EXPECT_FALSE(second.SubclassWindow(edit));
        EXPECT_EQ(fw::CWnd::FromHandle(edit), &wrapper);
    }
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), classProc);
    EXPECT_EQ(fw::CWnd::FromHandle(edit), nullptr);
    SetWindowTextW(edit, L"after the wrapper");
    EXPECT_EQ(fwtest::WindowText(edit), L"after the wrapper");

    // Free again for a new wrapper.
    CountingEdit next;
    EXPECT_TRUE(next.SubclassWindow(edit));
}

TEST(Subclass, ControlThatGoesFirstLeavesItsWrapperDetachedAndReusable)
{
    ParentPage parent;
    ASSERT_TRUE(parent.Open());
    CountingEdit wrapper;
    ASSERT_TRUE(wrapper.SubclassDlgItem(IDC_PAGE_EDIT, parent));

    ::DestroyWindow(parent.GetDlgItem(IDC_PAGE_EDIT));
    EXPECT_EQ(wrapper.GetSafeHwnd(), nullptr);
    EXPECT_EQ(wrapper.ncDestroyed, 1);

    // The same object takes another control, and lets go when the dialog takes its
    // controls with it.
    ASSERT_TRUE(wrapper.SubclassDlgItem(IDC_PAGE_LABEL, parent));
    const HWND label = wrapper;
    EXPECT_EQ(fw::CWnd::FromHandle(label), &wrapper);
    parent.DestroyWindow();
    EXPECT_FALSE(IsWindow(label));
    EXPECT_EQ(wrapper.GetSafeHwnd(), nullptr);
    EXPECT_EQ(wrapper.ncDestroyed, 2);
}

} // namespace
