#pragma once
// What the tests need of the simulated machine: the Windows generation Wine reports, the UI
// language and nation of a program they start, registry values, files below Program Files,
// and windows to find and photograph.

#include <windows.h>

#include "framework/Registry.h"

#include <string>
#include <vector>

namespace hlmtest {

enum class WinGeneration { XP, Vista, Win7 };

// Wine reads the version to report when a process starts, from AppDefaults\<exe> before the
// prefix-wide value; a per-program setting keeps tests that run in parallel apart.
void SetReportedGeneration(const wchar_t* exeName, WinGeneration generation);
void ClearReportedGeneration(const wchar_t* exeName);

// Registry values, written through the framework's registry helper; missing keys are made.
bool WriteRegString(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* value,
                    fw::RegView view = fw::RegView::Default);
bool WriteRegDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value,
                   fw::RegView view = fw::RegView::Default);
bool WriteRegRaw(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                 DWORD bytes, fw::RegView view = fw::RegView::Default);
bool DeleteRegTree(HKEY root, const wchar_t* path, fw::RegView view = fw::RegView::Default);
bool RegKeyExists(HKEY root, const wchar_t* path, fw::RegView view = fw::RegView::Default);

// Files. Paths below Program Files are relative and start with a backslash, as the program
// spells them ("\Vantrel\Manuvo\RunManual.exe"); missing folders are created.
std::wstring ProgramFilesDir();
std::wstring CreateFileBelowProgramFiles(const wchar_t* relativePath, const std::string& content);
bool RemoveTree(const std::wstring& path);

// The folder of the running test program (the build's bin folder, beside every deliverable).
std::wstring BinDir();
// The build folder's screenshots folder, created on first use.
std::wstring ScreenshotDir();

// The UI language of a program comes from LANG when its Wine process tree starts; programs a
// test starts inherit it whatever their environment block says. So a test that needs another
// language is registered with it (hlm_add_test(... LANG ko_KR.UTF-8)) and these report it.
LANGID TestUiLanguage();
// The user's nation (GeoID) for the programs the test starts next. Wine resets it when the
// locale changes, so it is set by the test itself, which already runs under its LANG.
bool SetNation(GEOID nation);

// A program started by a test. The process is ended (if still running) and its handles
// closed when the object goes.
struct LaunchOptions {
    std::wstring arguments;
};

class Process {
  public:
    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    bool Valid() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    // Waits at most `ms`; true when the process has ended.
    bool WaitForExit(DWORD ms) const;
    DWORD ExitCode() const;
    void Kill();

  private:
    friend Process Launch(const std::wstring&, const LaunchOptions&);
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

Process Launch(const std::wstring& program, const LaunchOptions& options = {});

// Runs a program to its end (at most `ms`) and returns what it wrote to standard output.
bool RunAndCapture(const std::wstring& program, const LaunchOptions& options, DWORD ms,
                   std::string& output, DWORD& exitCode);

// Windows.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms, DWORD processId = 0);
// A window's text, asked of its process without hanging on it.
std::wstring WindowText(HWND window);
// Clicks a button of another process and waits at most `ms` for it to be handled, then
// `settleMs` more for what the click set off to be drawn.
void ClickAndWait(HWND button, DWORD ms, DWORD settleMs);
// The first child of `parent` that holds a control with this id (a page of a main window).
HWND ChildHolding(HWND parent, int controlId);
bool SavePng(HWND window, const std::wstring& path);
// The GDI+ encoder of a MIME type ("image/png", "image/jpeg", ...); GDI+ must be started.
bool FindImageEncoder(const wchar_t* mimeType, CLSID& clsid);

} // namespace hlmtest
