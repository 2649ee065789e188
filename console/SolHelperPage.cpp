#include "console/SolHelperPage.h"

#include "resources/resource.h"

CDlgSubSolHelper::CDlgSubSolHelper(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_TROUBLESHOOT, mainDialog, IDB_PAGE_TROUBLESHOOT, 0, IDC_SOL_TITLE, 0x2000272D)
{
}
