#include "shell/outside/Bios.h"

#include "framework/SharedString.h"
#include "shell/ProgramPaths.h"

CBiosSession::CBiosSession(int osGeneration) : windows7_(osGeneration == 2)
{
    library_.reset(LoadLibraryBesideProgram(windows7_ ? kPavi3DllName : kPavi2DllName));
    if (!library_) {
        fw::CSharedString trace;
        trace.Format(L"Can not load PAVI Dll err:%d", static_cast<int>(GetLastError()));
        OutputDebugStringW(trace.c_str());
        return;
    }
    auto init = reinterpret_cast<PFN_InitBIOSInterface>(
        GetProcAddress(library_.get(), "InitBIOSInterface"));
    ready_ = init && init() == 0;
    if (!ready_)
        OutputDebugStringW(L"PAVI Init failed !");
}

void CBiosSession::ReadModelName(wchar_t (&name)[kPaviModelNameCapacity]) const
{
    name[0] = L'\0';
    if (!Loaded() || !ready_)
        return;
    if (windows7_) {
        auto read = reinterpret_cast<PFN_GetModelNameFromPaviExW>(
            GetProcAddress(library_.get(), "GetModelNameFromPaviExW"));
        int unused = 0;
        if (read)
            read(name, kPaviModelNameCapacity, &unused);
    } else {
        auto read = reinterpret_cast<PFN_GetModelNameFromPaviW>(
            GetProcAddress(library_.get(), "GetModelNameFromPaviW"));
        if (read)
            read(name);
    }
    // Whatever the library wrote, the name ends inside the buffer.
    name[kPaviModelNameCapacity - 1] = L'\0';
}

bool CBiosSession::Call(int command, unsigned char argument,
                        unsigned char (&answer)[kPaviBufferSize]) const
{
    ZeroMemory(answer, sizeof(answer));
    answer[0] = argument;
    if (!Loaded())
        return false;
    auto call = reinterpret_cast<PFN_CallBIOSInterface>(
        GetProcAddress(library_.get(), "CallBIOSInterface"));
    return call && call(command, answer) == 0 && answer[0] != kPaviAnswerFailed;
}
