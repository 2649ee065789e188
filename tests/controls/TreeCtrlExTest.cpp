// The check-box tree: a click on an item's box toggles it and leaves the selection alone, a
// click on its label selects it, and the tree paints itself in the page's colours. Both kinds of
// box are covered: the tree's own (TVS_CHECKBOXES) and the program's state pictures.

#include "tests/controls/ControlsTestSupport.h"
#include "tests/controls/resource.h"

#include "framework/Handles.h"
#include "shell/controls/TreeCtrlEx.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ctltest::Image;

constexpr UINT kStatePictures = 176; // none, unchecked, checked; 12 x 12 each
constexpr int kItemCount = 3;

struct ImageListOwner {
    HIMAGELIST list = nullptr;
    ~ImageListOwner()
    {
        if (list)
            ImageList_Destroy(list);
    }
};

struct Tree {
    const char* name;
    int id;
    CTreeCtrlEx control;
    HTREEITEM items[kItemCount] = {};
};

HTREEITEM Insert(HWND tree, const wchar_t* text)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.state = INDEXTOSTATEIMAGEMASK(1);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    return TreeView_InsertItem(tree, &insert);
}

RECT TextRect(HWND tree, HTREEITEM item)
{
    RECT rect = {};
    TreeView_GetItemRect(tree, item, &rect, TRUE);
    return rect;
}

// The item's box: found by hit-testing leftwards from its label along the item's middle row.
POINT BoxPoint(HWND tree, HTREEITEM item)
{
    const RECT text = TextRect(tree, item);
    const LONG y = (text.top + text.bottom) / 2;
    for (LONG x = text.left - 1; x >= 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = {x, y};
        if (TreeView_HitTest(tree, &hit) == item && (hit.flags & TVHT_ONITEMSTATEICON))
            return hit.pt;
    }
    return {-1, -1};
}

POINT LabelPoint(HWND tree, HTREEITEM item)
{
    const RECT text = TextRect(tree, item);
    return {(text.left + text.right) / 2, (text.top + text.bottom) / 2};
}

void Click(HWND tree, POINT at)
{
    const LPARAM where = MAKELPARAM(at.x, at.y);
    // The tree's own click handling waits in a loop of its own until a button comes up: that
    // release is queued first, so a click passed on to it cannot hang the test.
    PostMessageW(tree, WM_LBUTTONUP, 0, where);
    SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ctltest::PumpMessages();
}

class CheckTree : public testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(page_.Open());
        for (Tree* tree : {&withBoxes_, &withPictures_})
            ASSERT_TRUE(tree->control.SubclassDlgItem(tree->id, page_)) << tree->name;

        fw::UniqueBitmap pictures(static_cast<HBITMAP>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kStatePictures), IMAGE_BITMAP, 0, 0, 0)));
        states_.list = ImageList_Create(12, 12, ILC_COLOR24, 3, 0);
        ASSERT_EQ(ImageList_Add(states_.list, pictures.get(), nullptr), 0);
        TreeView_SetImageList(withPictures_.control, states_.list, TVSIL_STATE);

        const wchar_t* const labels[kItemCount] = {L"Display", L"Sound", L"Network"};
        for (Tree* tree : {&withBoxes_, &withPictures_})
            for (int i = 0; i < kItemCount; ++i) {
                tree->items[i] = Insert(tree->control, labels[i]);
                ASSERT_NE(tree->items[i], nullptr);
                CTreeCtrlEx::SetChecked(tree->control, tree->items[i], false);
            }
        ctltest::PumpMessages();
    }

    // Declared first, so the trees that show it go before it.
    ImageListOwner states_;
    ctltest::ControlsPage page_;
    Tree withBoxes_{"tree's own boxes", IDC_CHECK_TREE, {}};
    Tree withPictures_{"state pictures", IDC_STATE_TREE, {}};
};

TEST_F(CheckTree, BoxClickTogglesAndLabelClickSelects)
{
    enum class Target { Box, Label, BelowTheItems };
    struct Case {
        const char* name;
        Target target;
        int item;
        bool toggles;
        bool selects;
    };
    const Case cases[] = {
        {"box", Target::Box, 1, true, false},
        {"label", Target::Label, 2, false, true},
        {"below the items", Target::BelowTheItems, -1, false, false},
    };
    for (Tree* tree : {&withBoxes_, &withPictures_}) {
        const HWND hwnd = tree->control;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << tree->name << ", " << c.name);
            TreeView_SelectItem(hwnd, tree->items[0]);
            CTreeCtrlEx::SetChecked(hwnd, tree->items[2], true);
            bool checked[kItemCount];
            for (int i = 0; i < kItemCount; ++i)
                checked[i] = CTreeCtrlEx::IsChecked(hwnd, tree->items[i]);

            POINT at = {};
            switch (c.target) {
            case Target::Box:
                at = BoxPoint(hwnd, tree->items[c.item]);
                ASSERT_GE(at.x, 0) << "no box left of the label";
                break;
            case Target::Label:
                at = LabelPoint(hwnd, tree->items[c.item]);
                break;
            case Target::BelowTheItems: {
                RECT client = {};
                GetClientRect(hwnd, &client);
                at = {client.right / 2, client.bottom - 5};
                TVHITTESTINFO hit = {};
                hit.pt = at;
                ASSERT_EQ(TreeView_HitTest(hwnd, &hit), nullptr);
                break;
            }
            }

            // Twice: a box goes back to where it was.
            for (int click = 1; click <= 2; ++click) {
                SCOPED_TRACE(testing::Message() << "click " << click);
                Click(hwnd, at);
                for (int i = 0; i < kItemCount; ++i) {
                    const bool flipped = c.toggles && i == c.item && click == 1;
                    EXPECT_EQ(CTreeCtrlEx::IsChecked(hwnd, tree->items[i]), checked[i] != flipped)
                        << "item " << i;
                }
                EXPECT_EQ(TreeView_GetSelection(hwnd), tree->items[c.selects ? c.item : 0]);
            }
        }
    }
}

TEST_F(CheckTree, PaintsInThePageColoursInsteadOfTheWindowColour)
{
    constexpr COLORREF kBackground = RGB(255, 236, 200);
    constexpr COLORREF kSelection = RGB(190, 220, 250);
    constexpr COLORREF kItemText = RGB(79, 79, 79);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (Tree* tree : {&withBoxes_, &withPictures_}) {
        SCOPED_TRACE(tree->name);
        const HWND hwnd = tree->control;
        tree->control.backgroundColour = kBackground;
        tree->control.selectionColour = kSelection;
        CTreeCtrlEx::SetChecked(hwnd, tree->items[2], true);
        TreeView_SelectItem(hwnd, tree->items[1]);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const Image shown = ctltest::CaptureClient(hwnd);

        // Not one pixel of the window colour is left, not even inside the boxes.
        EXPECT_EQ(std::count(shown.pixels.begin(), shown.pixels.end(), window), 0);
        EXPECT_EQ(shown.At(shown.width / 2, shown.height - 5), kBackground) << "below the items";
        for (int i = 0; i < kItemCount; ++i) {
            SCOPED_TRACE(testing::Message() << "item " << i);
            const RECT text = TextRect(hwnd, tree->items[i]);
            const int middle = (text.top + text.bottom) / 2;
            // The selected item's band runs from its label to the right edge.
            const COLORREF band = i == 1 ? kSelection : kBackground;
            EXPECT_EQ(shown.At(text.left, middle), band);
            EXPECT_EQ(shown.At(shown.width - 1, middle), band);
            // The label is the tree's own text no longer: ours is (79, 79, 79), nothing darker.
            COLORREF darkest = RGB(255, 255, 255);
            for (int y = text.top; y < text.bottom; ++y)
                for (int x = text.left; x < text.right; ++x) {
                    const COLORREF c = shown.At(x, y);
                    if (GetRValue(c) + GetGValue(c) + GetBValue(c) <
                        GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest))
                        darkest = c;
                }
            EXPECT_EQ(darkest, kItemText);
        }
    }
}

} // namespace
