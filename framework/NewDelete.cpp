// The C++ allocation functions for every module, on the process heap.
//
// The shipped code is built without exceptions, so a failed allocation can be caught by
// nobody: the library's own operator new would throw into std::terminate, and only having
// that path drags the whole exception runtime and its name demangler into every module (over
// 100 KB per DLL). Here a failed allocation raises STATUS_NO_MEMORY at once, as a system
// allocator does, and the nothrow forms answer nullptr. The process heap also makes memory
// freed by another module safe, whichever of them allocated it.

#include <windows.h>

#include <new>

namespace {

void* Allocate(std::size_t size) noexcept
{
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void* AllocateOrFail(std::size_t size) noexcept
{
    void* memory = Allocate(size);
    if (!memory)
        RaiseException(static_cast<DWORD>(STATUS_NO_MEMORY), EXCEPTION_NONCONTINUABLE, 0,
                       nullptr);
    return memory;
}

void Free(void* memory) noexcept
{
    if (memory)
        HeapFree(GetProcessHeap(), 0, memory);
}

} // namespace

void* operator new(std::size_t size)
{
    return AllocateOrFail(size);
}
void* operator new[](std::size_t size)
{
    return AllocateOrFail(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* memory) noexcept
{
    Free(memory);
}
void operator delete[](void* memory) noexcept
{
    Free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    Free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept
{
    Free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept
{
    Free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept
{
    Free(memory);
}
