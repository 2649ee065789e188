// The 64-bit helper library: CreateFileW and ShellExecuteW as a native program sees the file
// system. A 32-bit process on 64-bit Windows has its "System32" paths redirected to "SysWOW64";
// turning redirection off for the one call lets it reach the real file.
#include "shell/outside/OutsideApi.h"

#include <shellapi.h>

namespace {

typedef BOOL(WINAPI* PFN_Wow64DisableWow64FsRedirection)(PVOID* oldValue);
typedef BOOL(WINAPI* PFN_Wow64RevertWow64FsRedirection)(PVOID oldValue);

// Turns file-system redirection off for this thread while it lives. The two functions are bound
// at run time because 32-bit Windows XP does not have them. Disabling fails in a 64-bit process
// and outside WOW64; then there is nothing to turn off and the call runs as it is.
class RedirectionOff {
  public:
    RedirectionOff()
    {
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!kernel)
            return;
        auto disable = reinterpret_cast<PFN_Wow64DisableWow64FsRedirection>(
            GetProcAddress(kernel, "Wow64DisableWow64FsRedirection"));
        revert_ = reinterpret_cast<PFN_Wow64RevertWow64FsRedirection>(
            GetProcAddress(kernel, "Wow64RevertWow64FsRedirection"));
        disabled_ = disable && revert_ && disable(&oldValue_);
    }

    // The caller reads GetLastError of the wrapped call, not of the revert.
    ~RedirectionOff()
    {
        if (!disabled_)
            return;
        DWORD error = GetLastError();
        revert_(oldValue_);
        SetLastError(error);
    }

    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

  private:
    PFN_Wow64RevertWow64FsRedirection revert_ = nullptr;
    PVOID oldValue_ = nullptr;
    bool disabled_ = false;
};

} // namespace

extern "C" {

HLM_KORVEX_API HANDLE __cdecl DllCreateFile(LPCWSTR path, DWORD access, DWORD share,
                                            LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                                            DWORD flags, HANDLE templateFile)
{
    RedirectionOff off;
    return CreateFileW(path, access, share, sa, disposition, flags, templateFile);
}

HLM_KORVEX_API HINSTANCE __cdecl DllShellExecute(HWND hwnd, LPCWSTR verb, LPCWSTR file,
                                                 LPCWSTR parameters, LPCWSTR directory, INT show)
{
    RedirectionOff off;
    return ShellExecuteW(hwnd, verb, file, parameters, directory, show);
}

} // extern "C"

// Callers bind these with the typedefs of OutsideApi.h: a typedef that disagrees with the
// definition (on i686, its calling convention) fails to compile here.
namespace {
[[maybe_unused]] constexpr PFN_DllCreateFile kCreateFileType = &DllCreateFile;
[[maybe_unused]] constexpr PFN_DllShellExecute kShellExecuteType = &DllShellExecute;
} // namespace
