#pragma once
// The troubleshooting page (template 140): self-help questions and the system diagnosis.

#include "shell/Page.h"

class CDlgSubSolHelper : public CPage {
  public:
    explicit CDlgSubSolHelper(CHLMMainDlg& mainDialog);

    // 1 the self-check view, 2 the diagnosis view.
    int PageState() const { return pageState_; }
    // The self-check view, as the page's own tab command 1020 shows it.
    void ShowSelfCheckView() { pageState_ = 1; }

  private:
    int pageState_ = 1;
};
