#pragma once
// The main window's pages. Each brings its own content; here they share the page frame.

#include "shell/Page.h"

// System utilities (template 141).
class CDlgSubSysUtil : public CPage {
  public:
    explicit CDlgSubSysUtil(CHLMMainDlg& mainDialog);
};

// Internet assistance, Netaide (template 142).
class CDlgSubNTA : public CPage {
  public:
    explicit CDlgSubNTA(CHLMMainDlg& mainDialog);
};

// Restore and backup (template 144).
class CDlgSubRecover : public CPage {
  public:
    explicit CDlgSubRecover(CHLMMainDlg& mainDialog);
};
