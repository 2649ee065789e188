#include "shell/Launch.h"

#include <shellapi.h>

#include "framework/Handles.h"
#include "framework/SharedString.h"
#include "shell/MessageText.h"
#include "shell/ProgramPaths.h"
#include "shell/outside/OutsideApi.h"

void StartProgram(HWND owner, const wchar_t* path, int osGeneration, LANGID language)
{
    if (!path || !*path) {
        const fw::CSharedString text = LoadMessageText(language, kMsgProgramMissing);
        MessageBoxW(owner, text.c_str(), L"Helmora", MB_OK);
        return;
    }
    if (osGeneration == 0) {
        ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    fw::UniqueModule helper(LoadLibraryBesideProgram(kKorvexDllName));
    if (!helper) {
        ReportHelperMissing(owner);
        return;
    }
    if (auto shellExecute =
            reinterpret_cast<PFN_DllShellExecute>(GetProcAddress(helper.get(), "DllShellExecute")))
        shellExecute(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL);
}
