#include "pages/Pages.h"

#include "resources/resource.h"

CDlgSubSysUtil::CDlgSubSysUtil(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_UTILITIES, mainDialog, IDB_PAGE_UTILITIES, 0, IDC_UTIL_TITLE, 0x20002771)
{
}

CDlgSubNTA::CDlgSubNTA(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_INTERNET, mainDialog, IDB_PAGE_INTERNET, 0, IDC_NTA_TITLE, 0x2000277D)
{
}

CDlgSubRecover::CDlgSubRecover(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_RESTORE, mainDialog, IDB_PAGE_RESTORE, 0, IDC_RESTORE_TITLE, 0x200027A7)
{
}
