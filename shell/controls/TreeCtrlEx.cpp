#include "shell/controls/TreeCtrlEx.h"

#include "framework/Gdi.h"
#include "framework/Handles.h"
#include "shell/OsVersion.h"
#include "shell/controls/Drawing.h"

namespace {

HBITMAP MakeCanvas(HDC dc, const RECT& client)
{
    return CreateCompatibleBitmap(dc, client.right - client.left, client.bottom - client.top);
}

} // namespace

bool CTreeCtrlEx::IsChecked(HWND tree, HTREEITEM item)
{
    return (TreeView_GetItemState(tree, item, TVIS_STATEIMAGEMASK) >> 12) == 2;
}

void CTreeCtrlEx::SetChecked(HWND tree, HTREEITEM item, bool checked)
{
    TreeView_SetItemState(tree, item, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), TVIS_STATEIMAGEMASK);
}

void CTreeCtrlEx::OnPaint()
{
    fw::PaintDC paint(m_hWnd);
    if (!paint.get())
        return;
    const RECT client = GetClientRect();
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    // A: the tree as it paints itself; B: the page's background.
    fw::MemoryDC a(paint.get());
    fw::MemoryDC b(paint.get());
    fw::UniqueBitmap bitmapA(MakeCanvas(paint.get(), client));
    fw::UniqueBitmap bitmapB(MakeCanvas(paint.get(), client));
    fw::SelectGuard selectA(a.get(), bitmapA.get());
    fw::SelectGuard selectB(b.get(), bitmapB.get());
    DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(a.get()), 0);
    DrawBox(b.get(), backgroundColour, backgroundColour, 0, 0, width, height);

    // Our own item texts and selection band over the tree's.
    const wchar_t* face = WindowsMajorVersion() >= 6 ? L"Segoe UI" : L"Tahoma";
    fw::UniqueFont font(CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    VARIABLE_PITCH | FF_SWISS, face));
    fw::SelectGuard selectFont(a.get(), font.get());
    SetBkMode(a.get(), TRANSPARENT);
    SetTextColor(a.get(), RGB(79, 79, 79));
    const UINT visible = TreeView_GetVisibleCount(m_hWnd);
    HTREEITEM item = TreeView_GetFirstVisible(m_hWnd);
    for (UINT i = 0; item && i < visible + 1; ++i, item = TreeView_GetNextVisible(m_hWnd, item)) {
        RECT text;
        if (!TreeView_GetItemRect(m_hWnd, item, &text, TRUE))
            continue;
        if (TreeView_GetItemState(m_hWnd, item, TVIS_SELECTED) & TVIS_SELECTED)
            DrawBox(a.get(), selectionColour, selectionColour, text.left, text.top, client.right,
                    text.bottom);
        else
            DrawBox(a.get(), backgroundColour, backgroundColour, text.left, text.top, text.right,
                    text.bottom);
        wchar_t label[260] = {};
        TVITEMW info = {};
        info.mask = TVIF_TEXT;
        info.hItem = item;
        info.pszText = label;
        info.cchTextMax = ARRAYSIZE(label);
        TreeView_GetItem(m_hWnd, &info);
        TextOutW(a.get(), text.left + 2, text.top + 1, label, lstrlenW(label));
    }

    // What is still the tree's own window colour shows the page's background instead.
    TransparentBlt(b.get(), 0, 0, width, height, a.get(), 0, 0, width, height,
                   GetSysColor(COLOR_WINDOW));
    BitBlt(paint.get(), 0, 0, width, height, b.get(), 0, 0, SRCCOPY);
}

bool CTreeCtrlEx::OnLeftButtonDown(POINT point)
{
    TVHITTESTINFO hit = {};
    hit.pt = point;
    HTREEITEM item = TreeView_HitTest(m_hWnd, &hit);
    if (!item)
        return false;
    if (hit.flags & TVHT_ONITEMSTATEICON) {
        SetChecked(m_hWnd, item, !IsChecked(m_hWnd, item));
        return true;
    }
    if (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) {
        TreeView_SelectItem(m_hWnd, item);
        return true;
    }
    return false;
}

bool CTreeCtrlEx::OnNotifyReflect(NMHDR* header, LRESULT& result)
{
    // Expanding or collapsing moves every item below; repaint the whole tree and allow it.
    if (header->code != TVN_ITEMEXPANDINGW && header->code != TVN_ITEMEXPANDINGA)
        return false;
    Invalidate(false);
    result = FALSE;
    return true;
}

LRESULT CTreeCtrlEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_VSCROLL:
    case WM_HSCROLL:
        Invalidate(false);
        break;
    case WM_LBUTTONDOWN:
        if (OnLeftButtonDown({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}))
            return 0;
        break;
    default:
        break;
    }
    return fw::CWnd::WindowProc(msg, wp, lp);
}
