#include "console/CheckDisk.h"

#include <windows.h>

#include "framework/Array.h"
#include "framework/Registry.h"
#include "framework/Restart.h"
#include "framework/SharedString.h"

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kCheckSystemDrive[] = L"autocheck autochk /r \\??\\C:";
constexpr UINT kRebootForced = EWX_REBOOT | EWX_FORCE;
constexpr DWORD kPlannedMaintenance = SHTDN_REASON_FLAG_PLANNED | SHTDN_REASON_MINOR_MAINTENANCE;

} // namespace

void ScheduleCheckDiskAndRestart()
{
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManager, KEY_ALL_ACCESS) != fw::RegResult::Ok) {
        OutputDebugStringW(L"Open Reg Error");
    } else {
        fw::CArray<fw::CSharedString> list;
        list.Add(kCheckSystemDrive);
        key.WriteMultiString(L"BootExecute", list);
        key.Close();
    }
    fw::RestartPort().RestartWindows(kRebootForced, kPlannedMaintenance);
}
