#include "shell/ProgramPaths.h"

#include "framework/Handles.h"
#include "framework/Registry.h"
#include "shell/OsVersion.h"
#include "shell/outside/OutsideApi.h"

namespace {

void Trace(const wchar_t* text)
{
    OutputDebugStringW(text);
}

void Trace(const wchar_t* prefix, const wchar_t* text)
{
    fw::CSharedString line(prefix);
    line += text;
    OutputDebugStringW(line.c_str());
}

// The existence test the callers use: execute access, read sharing, open existing.
bool PlainCanOpen(const wchar_t* path)
{
    fw::UniqueFileHandle file(CreateFileW(path, GENERIC_EXECUTE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

// "ProgramFilesDir" or "ProgramFilesDir (x86)" from the 64-bit view, at most 256 bytes as the
// value has always been read; a longer one counts as absent.
bool ReadProgramFolder(const fw::RegKey& key, const wchar_t* name, fw::CSharedString& folder)
{
    constexpr int kMaxChars = 256 / sizeof(wchar_t) - 1;
    return key.ReadString(name, folder, kMaxChars) == fw::RegResult::Ok;
}

} // namespace

void ReportHelperMissing(HWND owner)
{
    fw::CSharedString text;
    text.Format(L"Can not load Korvex64 Dll err:%d", static_cast<int>(GetLastError()));
    MessageBoxW(owner, text.c_str(), L"Helmora", MB_OK);
}

bool HelperCanOpen(const wchar_t* path)
{
    fw::UniqueModule helper(LoadLibraryBesideProgram(kKorvexDllName));
    if (!helper) {
        ReportHelperMissing(nullptr);
        return false;
    }
    auto createFile =
        reinterpret_cast<PFN_DllCreateFile>(GetProcAddress(helper.get(), "DllCreateFile"));
    if (!createFile)
        return false;
    fw::UniqueFileHandle file(createFile(path, GENERIC_EXECUTE, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

fw::CSharedString CheckWinutilExistence(const wchar_t* relativePath)
{
    fw::CSharedString path;
    wchar_t* buffer = path.GetBuffer(MAX_PATH);
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    path.ReleaseBuffer(length < MAX_PATH ? static_cast<int>(length) : 0);
    path += relativePath;
    Trace(L"CheckWinutilExistence:", path.c_str());

    if (WindowsMajorVersion() > 5) {
        if (!HelperCanOpen(path.c_str())) {
            Trace(L"WinutilExistence fail");
            return {};
        }
    } else if (!PlainCanOpen(path.c_str())) {
        Trace(L"WinutilExistence_XP fail");
        return {};
    }
    return path;
}

fw::CSharedString CheckProgramInstallation(const wchar_t* relativePath)
{
    Trace(L"CheckProgramInstallation", relativePath);
    fw::CSharedString folder;
    fw::CSharedString folderX86;
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ,
                 fw::RegView::Force64) != fw::RegResult::Ok) {
        Trace(L"CheckProgramInstallation::GetProgramFiles - RegOpenEx Fail");
    } else {
        if (!ReadProgramFolder(key, L"ProgramFilesDir", folder))
            Trace(L"CheckProgramInstallation::GetProgramFiles - RegQueryValueEx Fail");
        if (!ReadProgramFolder(key, L"ProgramFilesDir (x86)", folderX86))
            Trace(L"CheckProgramInstallation::GetProgramFiles x86 - RegQueryValueEx Fail");
    }

    fw::CSharedString path = folder;
    path += relativePath;
    if (WindowsMajorVersion() > 5) {
        if (!HelperCanOpen(path.c_str())) {
            Trace(L"CheckProgramInstallation::target file not found - 32bit");
            path = folderX86;
            path += relativePath;
            if (!PlainCanOpen(path.c_str())) {
                Trace(L"CheckProgramInstallation::target file not found - x86");
                return {};
            }
        }
    } else if (!PlainCanOpen(path.c_str())) {
        Trace(L"CheckProgramInstallation::target file not found ");
        return {};
    }
    return path;
}

fw::CSharedString AppFolderOf(const wchar_t* modulePath)
{
    fw::CSharedString folder(modulePath);
    int slash = folder.ReverseFind(L'\\');
    if (slash < 0)
        return {};
    folder = folder.Left(slash);
    slash = folder.ReverseFind(L'\\');
    const fw::CSharedString last = folder.Mid(slash + 1);
    if (slash >= 0 && (last.CompareNoCase(L"DEBUG") == 0 || last.CompareNoCase(L"RELEASE") == 0))
        folder = folder.Left(slash);
    folder += L"\\";
    return folder;
}

fw::CSharedString GetAppFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return AppFolderOf(path);
}

HMODULE LoadLibraryBesideProgram(const wchar_t* fileName)
{
    // The libraries sit in the program's own folder, Debug or Release included.
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    fw::CSharedString fullPath(path, static_cast<int>(length));
    fullPath = fullPath.Left(fullPath.ReverseFind(L'\\') + 1);
    fullPath += fileName;
    return LoadLibraryW(fullPath.c_str());
}
