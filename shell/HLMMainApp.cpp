#include "shell/HLMMainApp.h"

#include <commctrl.h>
#include <objidl.h>

#include <gdiplus.h>
#include <wtsapi32.h>

#include "framework/Handles.h"
#include "shell/HLMMainDlg.h"
#include "shell/MessageText.h"

namespace {

const wchar_t kPrivilegeProbeKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\_TAV_checkPrivileges";
constexpr DWORD kMsgRunAsAdministrator = 0x2000272C;

// The main dialog template names this class, so the window can be found by it.
bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, L"#32770", &wc))
        return false;
    wc.hInstance = instance;
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0;
}

// Only an administrator may create keys there; the key is removed again at once.
bool CanWriteMachineRegistry()
{
    HKEY key = nullptr;
    if (RegCreateKeyW(HKEY_LOCAL_MACHINE, kPrivilegeProbeKey, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPrivilegeProbeKey);
    return true;
}

// Loaded from the system folder by full path, never through the search path.
HMODULE LoadSystemLibrary(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH)
        return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return LoadLibraryW(path);
}

// Counts the processes of every session named exactly "HLMMain.exe" (we are one of them);
// 0 when the enumeration fails.
DWORD CountRunningCopies(HMODULE wtsapi)
{
    using EnumerateFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD, WTS_PROCESS_INFOW**, DWORD*);
    using FreeFn = void(WINAPI*)(void*);
    auto enumerate =
        reinterpret_cast<EnumerateFn>(GetProcAddress(wtsapi, "WTSEnumerateProcessesW"));
    auto freeMemory = reinterpret_cast<FreeFn>(GetProcAddress(wtsapi, "WTSFreeMemory"));
    WTS_PROCESS_INFOW* processes = nullptr;
    DWORD count = 0;
    if (!enumerate || !freeMemory ||
        !enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &processes, &count))
        return 0;
    DWORD copies = 0;
    for (DWORD i = 0; i < count; ++i) {
        if (processes[i].pProcessName && lstrcmpW(processes[i].pProcessName, L"HLMMain.exe") == 0)
            ++copies;
    }
    freeMemory(processes);
    return copies;
}

} // namespace

bool CHLMMainApp::InitInstance()
{
    // Libraries are never looked for in the current folder.
    SetDllDirectoryW(L"");

    INITCOMMONCONTROLSEX controls = {8, 0xFF};
    InitCommonControlsEx(&controls);

    Gdiplus::GdiplusStartupInput gdiplus;
    Gdiplus::GdiplusStartup(&gdiplusToken_, &gdiplus, nullptr);

    RegisterMainWindowClass(Instance());

    if (!CanWriteMachineRegistry()) {
        const fw::CSharedString text =
            LoadMessageText(GetMessageLanguage(), kMsgRunAsAdministrator);
        MessageBoxW(nullptr, text.c_str(), kMainWindowTitle, MB_OK);
        return false;
    }

    fw::UniqueModule wtsapi(LoadSystemLibrary(L"Wtsapi32.dll"));
    if (!wtsapi)
        return false;
    if (CountRunningCopies(wtsapi.get()) >= 2) {
        if (HWND first = FindWindowW(nullptr, kMainWindowTitle)) {
            BringWindowToTop(first);
            SetForegroundWindow(first);
        }
        return false;
    }
    wtsapi.reset();

    CHLMMainDlg dialog;
    mainWindow = &dialog;
    dialog.DoModal();
    mainWindow = nullptr;
    return false;
}

int CHLMMainApp::ExitInstance()
{
    if (gdiplusToken_)
        Gdiplus::GdiplusShutdown(gdiplusToken_);
    return fw::CApp::ExitInstance();
}
