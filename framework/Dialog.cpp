#include "framework/Dialog.h"

namespace fw {

CDialog::CDialog(UINT templateId, HWND parent) : parent_(parent), templateId_(templateId) {}

bool CDialog::OnInitDialog()
{
    return true;
}
void CDialog::OnOK()
{
    EndDialog(IDOK);
}
void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(WORD id, WORD, HWND)
{
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

// The dialog window is subclassed at WM_INITDIALOG: messages we do not take go on to the
// dialog class procedure, which calls DialogProc again; DialogProc answers FALSE for
// everything but WM_INITDIALOG, so the dialog manager's defaults apply.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp)
{
    if (msg != WM_INITDIALOG)
        return FALSE;
    // From here on the dialog's messages pass through CWnd's dispatch first.
    auto* self = reinterpret_cast<CDialog*>(lp);
    if (!self->SubclassWindow(hwnd))
        return TRUE;
    return self->OnInitDialog() ? TRUE : FALSE;
}

bool CDialog::Create(HWND parent)
{
    parent_ = parent;
    modal_ = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                              &DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    modal_ = true;
    ending_ = false;
    result_ = -1;
    // A popup is owned by the top-level window even when a page inside it opens it; that
    // window is the one whose input the run takes away, as the system's DialogBox does.
    HWND owner = parent_ ? GetAncestor(parent_, GA_ROOT) : nullptr;
    if (!CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                            &DialogProc, reinterpret_cast<LPARAM>(this))) {
        modal_ = false;
        return -1;
    }
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    if (!ending_) { // EndDialog may already have run in OnInitDialog
        ShowWindow(SW_SHOW);
        RunModalLoop();
    }
    // Give the owner its input back before the dialog goes, so activation returns to it
    // rather than to another program.
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    DestroyWindow();
    modal_ = false;
    return result_;
}

bool CDialog::RunModalLoop()
{
    inModalLoop_ = true;
    MSG msg;
    while (!ending_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // WM_QUIT belongs to the outer loop: end this one and pass it on.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        bool swallowed = false;
        for (HWND h = msg.hwnd; h && !swallowed; h = ::GetParent(h)) {
            if (CWnd* wnd = FromHandle(h))
                swallowed = wnd->PreTranslateMessage(msg);
            if (h == m_hWnd)
                break;
        }
        if (swallowed || IsDialogMessageW(m_hWnd, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    inModalLoop_ = false;
    return true;
}

void CDialog::EndDialog(INT_PTR result)
{
    result_ = result;
    // A modal dialog stays until DoModal has given its owner the input back, however often
    // this is called.
    if (modal_) {
        ending_ = true;
        // Wake the loop in case no other message is on its way.
        if (inModalLoop_)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
        return;
    }
    DestroyWindow();
}

} // namespace fw
