#pragma once
// The maker's programs as the UI tests install, find and close them: the stand-ins are built into
// a folder of their own beside bin (standins/apps) and copied to the Program Files paths their
// installers use.

#include "tests/support/TestSupport.h"

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace hlmtest {

struct StandInProgram {
    const wchar_t* builtAs;     // file in the stand-ins' build folder
    const wchar_t* installedAt; // below Program Files, as the program spells it
    const wchar_t* windowClass;
    const wchar_t* title;
};

const StandInProgram kManualViewer = {L"RunManual.exe", L"\\Vantrel\\Manuvo\\RunManual.exe",
                                      L"HLMStandIn.ManualViewer", L"Vantrel Manual Viewer"};
const StandInProgram kUpdateClient = {L"PTWClientApp.exe",
                                      L"\\Vantrel\\Patchwell\\PTWClientApp.exe",
                                      L"HLMStandIn.Patchwell", L"Patchwell"};

// The stand-in's label with the arguments it was started with (see standins/apps).
constexpr int kStandInArgumentsId = 103;

// bin\..\standin-apps, for every test program built into a folder beside bin.
inline std::wstring StandInBuildDir()
{
    const std::wstring bin = BinDir();
    return bin.substr(0, bin.rfind(L'\\')) + L"\\standin-apps";
}

// Copies the built stand-in to its Program Files path; the full path, or empty on failure.
inline std::wstring InstallStandIn(const StandInProgram& program)
{
    // Makes the folders (and an empty file that the copy replaces).
    const std::wstring target = CreateFileBelowProgramFiles(program.installedAt, "");
    if (target.empty())
        return {};
    const std::wstring source = StandInBuildDir() + L"\\" + program.builtAs;
    return CopyFileW(source.c_str(), target.c_str(), FALSE) ? target : std::wstring();
}

// Removes the program's folder below Program Files.
inline void UninstallStandIn(const StandInProgram& program)
{
    const std::wstring path = ProgramFilesDir() + program.installedAt;
    RemoveTree(path.substr(0, path.rfind(L'\\')));
}

inline HWND WaitForStandIn(const StandInProgram& program, DWORD ms)
{
    return WaitForWindow(program.windowClass, program.title, ms);
}

// Ids of the running processes with this file name.
inline std::vector<DWORD> ProcessesNamed(const wchar_t* exeName)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

inline std::wstring ControlText(HWND window, int id)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(GetDlgItem(window, id), WM_GETTEXT, ARRAYSIZE(text),
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

// The full path of the program that owns the window; empty when Windows cannot tell.
inline std::wstring ProgramPathOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process)
        return {};
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const bool ok = QueryFullProcessImageNameW(process, 0, path, &length) != FALSE;
    CloseHandle(process);
    return ok ? std::wstring(path, length) : std::wstring();
}

// Asks a stand-in's window to close, as its close box would; true when its process then ends
// (at most `ms`) with exit code 0.
inline bool CloseStandIn(HWND window, DWORD ms = 15000)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process)
        return false;
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    const bool ended = WaitForSingleObject(process, ms) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &code) && code == 0;
    CloseHandle(process);
    return ended;
}

// Closes every copy of the stand-in still running (what a failed test left behind), waiting
// (bounded) for the window of a copy that has only just started.
inline void CloseAllStandIns(const StandInProgram& program, DWORD ms = 20000)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (!ProcessesNamed(program.builtAs).empty() && GetTickCount64() < deadline) {
        if (HWND window = FindWindowW(program.windowClass, nullptr))
            CloseStandIn(window, 5000);
        else
            Sleep(100);
    }
}

// Waits while handling this thread's messages: when another window comes to the front, a test
// thread that owns a window is sent messages, and the window coming forward waits for them.
inline void WaitPumping(DWORD ms)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// A picture of a stand-in's window, raised first so nothing covers it.
inline bool ShootStandIn(HWND window, const wchar_t* name)
{
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    WaitPumping(500);
    return SavePng(window, ScreenshotDir() + L"\\" + name + L".png");
}

} // namespace hlmtest
