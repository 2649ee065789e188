#pragma once
// The window base: one object per HWND, found again from the handle, with messages
// dispatched to a few typed virtuals. Everything else reaches WindowProc's default.

#include <windows.h>

namespace fw {

class CWnd {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object that owns `hwnd`, or nullptr for a window no CWnd owns.
    static CWnd* FromHandle(HWND hwnd);

    // Takes over an existing window (a dialog control) so that its messages, and the
    // WM_DRAWITEM / WM_CTLCOLOR* its parent reflects to it, reach this object.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, const CWnd& parent);
    // Gives the window back to its class procedure; done by the destructor when needed.
    void UnsubclassWindow();

    // Registers (once per process) and creates a window of our own class `className`.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parent, UINT id, UINT classStyle = CS_DBLCLKS);
    bool DestroyWindow();

    // Thin wrappers, for readability at the call sites.
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const
    {
        return ::SendMessageW(m_hWnd, msg, wp, lp);
    }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const
    {
        return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
    }
    void ShowWindow(int show) const { ::ShowWindow(m_hWnd, show); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    void EnableWindow(bool enable) const { ::EnableWindow(m_hWnd, enable); }
    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text); }
    void SetFont(HFONT font, bool redraw = true) const
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void MoveWindow(int x, int y, int width, int height, bool repaint = true) const
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    void KillTimer(UINT_PTR id) const { ::KillTimer(m_hWnd, id); }

  protected:
    // The typed handlers; each returns whether it handled the message where that matters.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    virtual LRESULT OnNotify(int id, NMHDR* header);
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(HDC dc);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSize(UINT type, int width, int height);
    virtual void OnDestroy();
    // Reflected from the parent to the control that asked.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT message);
    virtual bool OnDrawItem(DRAWITEMSTRUCT* item);
    // A notification the parent received from this control; true when handled, with the
    // answer in `result`.
    virtual bool OnNotifyReflect(NMHDR* header, LRESULT& result);

  public:
    // Sees a message before it is dispatched; the modal loop asks every window from the
    // target up to the dialog. Return true to swallow it.
    virtual bool PreTranslateMessage(MSG& msg);

  protected:
    // Dispatches to the handlers above; override to see every message. Call the base for
    // the ones you do not take.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // What happens to a message nobody handled: the class procedure of a subclassed
    // control, DefWindowProc for our own windows; dialogs override it.
    virtual LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the HWND is gone; the object may be reused.
    virtual void PostNcDestroy() {}

    // Binds `this` to `hwnd` (for the first message of a new window).
    void Attach(HWND hwnd);
    void Detach();

    HWND m_hWnd = nullptr;

  private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    WNDPROC superProc_ = nullptr; // set while a control is subclassed
};

} // namespace fw
