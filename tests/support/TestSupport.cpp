#include "tests/support/TestSupport.h"

#include <gdiplus.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>

namespace hlmtest {

namespace {

const wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\";

const wchar_t* VersionName(WinGeneration generation)
{
    switch (generation) {
    case WinGeneration::XP:
        return L"winxp64";
    case WinGeneration::Vista:
        return L"vista";
    case WinGeneration::Win7:
        break;
    }
    return L"win7";
}

bool WriteValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                DWORD bytes, fw::RegView view)
{
    // Raw on purpose: tests store malformed values the helper's typed writers refuse.
    fw::RegKey key;
    return key.Create(root, path, KEY_SET_VALUE, view) == fw::RegResult::Ok &&
           RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), bytes) ==
               ERROR_SUCCESS;
}

bool CreateFolders(const std::wstring& folder)
{
    for (size_t at = folder.find(L'\\', 3);; at = folder.find(L'\\', at + 1)) {
        const std::wstring part = folder.substr(0, at);
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (at == std::wstring::npos)
            return true;
    }
}

bool StartProcess(const std::wstring& program, const LaunchOptions& options, HANDLE output,
                  PROCESS_INFORMATION& pi)
{
    std::wstring command = L"\"" + program + L"\"";
    if (!options.arguments.empty())
        command += L" " + options.arguments;
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (output) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = output;
        si.hStdError = output;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    return CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, output != nullptr, 0,
                          nullptr, nullptr, &si, &pi) != FALSE;
}

} // namespace

LANGID TestUiLanguage()
{
    return GetUserDefaultUILanguage();
}

bool SetNation(GEOID nation)
{
    return SetUserGeoID(nation) != FALSE;
}

void SetReportedGeneration(const wchar_t* exeName, WinGeneration generation)
{
    const std::wstring path = std::wstring(kAppDefaults) + exeName;
    const wchar_t* name = VersionName(generation);
    WriteValue(HKEY_CURRENT_USER, path.c_str(), L"Version", REG_SZ, name,
               static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)), fw::RegView::Default);
}

void ClearReportedGeneration(const wchar_t* exeName)
{
    DeleteRegTree(HKEY_CURRENT_USER, (std::wstring(kAppDefaults) + exeName).c_str());
}

bool WriteRegString(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* value,
                    fw::RegView view)
{
    return WriteValue(root, path, name, REG_SZ, value,
                      static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)), view);
}

bool WriteRegDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value,
                   fw::RegView view)
{
    return WriteValue(root, path, name, REG_DWORD, &value, sizeof(value), view);
}

bool WriteRegRaw(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data,
                 DWORD bytes, fw::RegView view)
{
    return WriteValue(root, path, name, type, data, bytes, view);
}

bool DeleteRegTree(HKEY root, const wchar_t* path, fw::RegView view)
{
    const fw::RegResult result = fw::DeleteKeyTree(root, path, view);
    return result == fw::RegResult::Ok || result == fw::RegResult::NotFound;
}

bool RegKeyExists(HKEY root, const wchar_t* path, fw::RegView view)
{
    fw::RegKey key;
    return key.Open(root, path, KEY_READ, view) == fw::RegResult::Ok;
}

std::wstring ProgramFilesDir()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path)))
        return L"C:\\Program Files";
    return path;
}

std::wstring CreateFileBelowProgramFiles(const wchar_t* relativePath, const std::string& content)
{
    const std::wstring full = ProgramFilesDir() + relativePath;
    const size_t slash = full.rfind(L'\\');
    if (!CreateFolders(full.substr(0, slash)))
        return {};
    HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    DWORD written = 0;
    const bool ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    CloseHandle(file);
    return ok ? full : std::wstring();
}

bool RemoveTree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileW(path.c_str()) != FALSE;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
                RemoveTree(path + L"\\" + found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

std::wstring BinDir()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.rfind(L'\\'));
}

std::wstring ScreenshotDir()
{
    // bin\..\screenshots
    std::wstring bin = BinDir();
    const std::wstring folder = bin.substr(0, bin.rfind(L'\\')) + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

Process::Process(Process&& other) noexcept : process_(other.process_), id_(other.id_)
{
    other.process_ = nullptr;
    other.id_ = 0;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        Kill();
        process_ = other.process_;
        id_ = other.id_;
        other.process_ = nullptr;
        other.id_ = 0;
    }
    return *this;
}

Process::~Process()
{
    Kill();
}

bool Process::WaitForExit(DWORD ms) const
{
    return process_ && WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_, &code);
    return code;
}

void Process::Kill()
{
    if (!process_)
        return;
    if (!WaitForExit(0)) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    id_ = 0;
}

Process Launch(const std::wstring& program, const LaunchOptions& options)
{
    Process result;
    PROCESS_INFORMATION pi = {};
    if (!StartProcess(program, options, nullptr, pi))
        return result;
    CloseHandle(pi.hThread);
    result.process_ = pi.hProcess;
    result.id_ = pi.dwProcessId;
    return result;
}

bool RunAndCapture(const std::wstring& program, const LaunchOptions& options, DWORD ms,
                   std::string& output, DWORD& exitCode)
{
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION pi = {};
    const bool started = StartProcess(program, options, writeEnd, pi);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(pi.hThread);
    output.clear();
    // The child's output is small; read until it closes its end, then wait for it.
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof(chunk), &got, nullptr) && got)
        output.append(chunk, got);
    CloseHandle(readEnd);
    const bool ended = WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hProcess);
    return ended;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms, DWORD processId)
{
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        for (HWND window = FindWindowExW(nullptr, nullptr, className, title); window;
             window = FindWindowExW(nullptr, window, className, title)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if ((processId == 0 || owner == processId) && IsWindowVisible(window))
                return window;
        }
        if (GetTickCount64() >= deadline)
            return nullptr;
        Sleep(50);
    }
}

bool FindImageEncoder(const wchar_t* mimeType, CLSID& clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

void ClickAndWait(HWND button, DWORD ms, DWORD settleMs)
{
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, ms, nullptr);
    Sleep(settleMs);
}

HWND ChildHolding(HWND parent, int controlId)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgItem(child, controlId))
            return child;
    }
    return nullptr;
}

bool SavePng(HWND window, const std::wstring& path)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;

    // Copy what the screen shows, as the user sees it.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool saved = false;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        CLSID png;
        if (FindImageEncoder(L"image/png", png)) {
            Gdiplus::Bitmap image(bitmap, nullptr);
            saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
        Gdiplus::GdiplusShutdown(token);
    }
    DeleteObject(bitmap);
    return saved;
}

} // namespace hlmtest
