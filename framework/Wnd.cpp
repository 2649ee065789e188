#include "framework/Wnd.h"

namespace fw {

namespace {

// The object behind a window lives in a window property: it works the same for our own
// windows, dialogs and subclassed controls, whose class may use its user data itself.
const wchar_t kObjectProperty[] = L"fw.CWnd";

} // namespace

CWnd::~CWnd()
{
    // An object that dies before its window must not leave the window calling into it.
    if (m_hWnd) {
        if (superProc_)
            UnsubclassWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

void CWnd::Attach(HWND hwnd)
{
    m_hWnd = hwnd;
    SetPropW(hwnd, kObjectProperty, this);
}

void CWnd::Detach()
{
    if (m_hWnd)
        RemovePropW(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandle(hwnd))
        return false;
    Attach(hwnd);
    superProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    if (!superProc_) {
        Detach();
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(int id, const CWnd& parent)
{
    return SubclassWindow(parent.GetDlgItem(id));
}

void CWnd::UnsubclassWindow()
{
    if (!m_hWnd || !superProc_)
        return;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
    superProc_ = nullptr;
    Detach();
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& rect, HWND parent, UINT id, UINT classStyle)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = &StaticWindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc))
            return false;
    }
    const HMENU menu =
        (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    return CreateWindowExW(exStyle, className, title, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, menu, instance,
                           this) != nullptr;
}

bool CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

RECT CWnd::GetClientRect() const
{
    RECT rect = {};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

RECT CWnd::GetWindowRect() const
{
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

bool CWnd::OnCommand(WORD, WORD, HWND)
{
    return false;
}
LRESULT CWnd::OnNotify(int, NMHDR*)
{
    return 0;
}
void CWnd::OnPaint()
{
    DefaultProc(WM_PAINT, 0, 0);
}
bool CWnd::OnEraseBkgnd(HDC)
{
    return false;
}
void CWnd::OnTimer(UINT_PTR) {}
void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnDestroy() {}
HBRUSH CWnd::OnCtlColor(HDC, HWND, UINT)
{
    return nullptr;
}
bool CWnd::OnDrawItem(DRAWITEMSTRUCT*)
{
    return false;
}
bool CWnd::OnNotifyReflect(NMHDR*, LRESULT&)
{
    return false;
}
bool CWnd::PreTranslateMessage(MSG&)
{
    return false;
}

LRESULT CWnd::DefaultProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (superProc_)
        return CallWindowProcW(superProc_, m_hWnd, msg, wp, lp);
    return DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)))
            return 0;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        CWnd* child = header->hwndFrom != m_hWnd ? FromHandle(header->hwndFrom) : nullptr;
        LRESULT reflected = 0;
        if (child && child->OnNotifyReflect(header, reflected))
            return reflected;
        if (LRESULT result = OnNotify(static_cast<int>(wp), header))
            return result;
        break;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        if (OnEraseBkgnd(reinterpret_cast<HDC>(wp)))
            return 1;
        break;
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // The control colours itself if it wants to; otherwise its parent decides.
        const auto dc = reinterpret_cast<HDC>(wp);
        const auto control = reinterpret_cast<HWND>(lp);
        CWnd* child = control != m_hWnd ? FromHandle(control) : nullptr;
        HBRUSH brush = child ? child->OnCtlColor(dc, control, msg) : nullptr;
        if (!brush)
            brush = OnCtlColor(dc, control, msg);
        if (brush)
            return reinterpret_cast<LRESULT>(brush);
        break;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        CWnd* child = item->CtlType != ODT_MENU ? FromHandle(item->hwndItem) : nullptr;
        if ((child && child->OnDrawItem(item)) || OnDrawItem(item))
            return TRUE;
        break;
    }
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != WM_NCDESTROY)
        return WindowProc(msg, wp, lp);
    // Last message of the window: let the class see it, then forget the handle.
    const LRESULT result = DefaultProc(msg, wp, lp);
    if (superProc_) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
        superProc_ = nullptr;
    }
    Detach();
    PostNcDestroy();
    return result;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self)
            self->Attach(hwnd);
    }
    return self ? self->Dispatch(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* self = FromHandle(hwnd);
    if (self)
        return self->Dispatch(msg, wp, lp);
    // Not ours any more: hand the message to whatever the class does.
    const auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    return CallWindowProcW(classProc, hwnd, msg, wp, lp);
}

} // namespace fw
