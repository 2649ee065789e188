#pragma once
// The update page: the state of the maker's update tool Patchwell (template 143).

#include "shell/Page.h"

class CDlgSubPTW : public CPage {
  public:
    explicit CDlgSubPTW(CHLMMainDlg& mainDialog);

    // 0 client installed but its licence not yet accepted, 1 installed (or its settings
    // unreadable), 2 not installed but the recovery solution can install it, 3 neither.
    static int GetUpdateToolState();
    // Shows the controls of a state; state 0 changes nothing.
    void ApplyUpdatePageState(int state);
    int PageState() const { return pageState_; }

  protected:
    bool OnInitDialog() override;

  private:
    int pageState_ = 0;
};
