// A second module for the shared-string tests: it links its own copy of the framework, so
// strings made here carry this DLL's free function, and FreedBlockCount() here counts only the
// blocks this DLL gave back.

#include "framework/SharedString.h"

using fw::CSharedString;

extern "C" {

__declspec(dllexport) void __cdecl MakePeerString(const wchar_t* text, void** out)
{
    *out = CSharedString(text).Detach();
}

// Drops one reference; the block goes back to whichever module made it.
__declspec(dllexport) void __cdecl ReleasePeerString(void* raw)
{
    CSharedString::Attach(static_cast<wchar_t*>(raw));
}

// One more reference to the same block.
__declspec(dllexport) void __cdecl CopyPeerString(void* raw, void** out)
{
    CSharedString held = CSharedString::Attach(static_cast<wchar_t*>(raw));
    CSharedString copy = held;
    held.Detach();
    *out = copy.Detach();
}

__declspec(dllexport) LONG __cdecl PeerFreedBlocks()
{
    return CSharedString::FreedBlockCount();
}
}
