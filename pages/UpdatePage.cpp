#include "pages/UpdatePage.h"

#include "framework/Handles.h"
#include "framework/Registry.h"
#include "resources/resource.h"
#include "shell/ProgramPaths.h"

namespace {

const wchar_t kUpdateToolKey[] = L"SOFTWARE\\Vantrel\\Patchwell";

void Trace(const wchar_t* text)
{
    OutputDebugStringW(text);
}

// The recovery solution can install the update tool only when its manager opens.
bool RecoverySolutionPresent()
{
    fw::CSharedString manager = CheckProgramInstallation(L"\\Vantrel\\Restorix 4\\Rvmgr1.exe");
    if (manager.IsEmpty())
        manager = CheckProgramInstallation(L"\\Vantrel\\Restorix 5\\Rvmgr1.exe");
    fw::UniqueFileHandle file(CreateFileW(manager.c_str(), GENERIC_EXECUTE, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

} // namespace

CDlgSubPTW::CDlgSubPTW(CHLMMainDlg& mainDialog)
    : CPage(IDD_PAGE_UPDATE, mainDialog, IDB_PAGE_UPDATE, 0, IDC_PTW_TITLE, 0x20002787)
{
}

int CDlgSubPTW::GetUpdateToolState()
{
    if (CheckProgramInstallation(L"\\Vantrel\\Patchwell\\PTWClientApp.exe").IsEmpty())
        return RecoverySolutionPresent() ? 2 : 3;
    Trace(L"PTW INSTALLED");
    // The client's installer writes its key in the registry view of a 32-bit program, the
    // view this program sees by default. A key that cannot be opened counts as registered.
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kUpdateToolKey, KEY_ALL_ACCESS) != fw::RegResult::Ok) {
        Trace(L"Reg FAIL");
        return 1;
    }
    DWORD registration = 0;
    if (key.ReadDword(L"User Registration", registration) != fw::RegResult::Ok) {
        Trace(L"DiagnosticsVista::TestSystemPTWConfig - No Error");
        Trace(L"NOT CONFIG");
        return 1;
    }
    switch (registration) {
    case 0:
        Trace(L"PTW_PAGE_EULA");
        return 0;
    case 1:
        Trace(L"PTW_PAGE_INSTALLED");
        return 1;
    default:
        Trace(L"NOT CONFIG");
        return 1;
    }
}

void CDlgSubPTW::ApplyUpdatePageState(int state)
{
    if (state == 0)
        return;
    pageState_ = state;
}

bool CDlgSubPTW::OnInitDialog()
{
    CPage::OnInitDialog();
    ApplyUpdatePageState(GetUpdateToolState());
    return true;
}
