#pragma once
// The program's only top-level window: a fixed-size dialog with the page buttons on the left
// and one visible page on the right.

#include "framework/Dialog.h"
#include "framework/Handles.h"

constexpr const wchar_t* kMainWindowClass = L"CHLMMainDlgMain";
constexpr const wchar_t* kMainWindowTitle = L"Helmora";

class CHLMMainDlg : public fw::CDialog {
  public:
    CHLMMainDlg();

    // The client area in pixels, whatever the dialog font makes of the template.
    static constexpr int kClientWidth = 781;
    static constexpr int kClientHeight = 520;

  protected:
    bool OnInitDialog() override;
    void OnDestroy() override;

  private:
    void SetClientSize();

    HICON icon_;
    HICON smallIcon_;
};
