#pragma once
// Dialogs from .rc templates: modal ones run their own message loop (so every window on the
// way to the dialog gets PreTranslateMessage first), modeless ones live as child or popup
// windows of their parent.

#include "framework/Wnd.h"

namespace fw {

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);

    // Runs the dialog modally; returns what EndDialog was given, or -1 when the template
    // could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless (a page or a popup that stays open).
    bool Create(HWND parent);
    // Ends a modal run with `result`; destroys a modeless dialog.
    void EndDialog(INT_PTR result);

    UINT TemplateId() const { return templateId_; }

  protected:
    // Called with the controls in place; return true to let Windows set the focus.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    bool OnCommand(WORD id, WORD code, HWND control) override;

    HWND parent_;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool RunModalLoop();

    UINT templateId_;
    bool modal_ = false;  // from DoModal's start until its window is gone
    bool ending_ = false; // EndDialog has ended the modal run
    bool inModalLoop_ = false;
    INT_PTR result_ = 0;
};

} // namespace fw
