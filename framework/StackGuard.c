/* The stack protector's guard value and its failure handler, linked into every module.
 *
 * GCC's own runtime seeds the guard through CryptAcquireContext, which loads and unloads the
 * RSA provider (rsaenh, crypt32, bcrypt) each time a module is loaded: about 10 ms per load,
 * paid again for every short use of a library that is loaded and freed around one call. The
 * system's RtlGenRandom gives the same randomness without a provider. This file itself is
 * compiled without canaries: the constructor changes the value they are checked against. */
#include <windows.h>

#include <ntsecapi.h> /* needs windows.h first */

#if defined(_WIN64)
#define HLM_DEFAULT_GUARD ((UINT_PTR)0x00002B992DDFA232ull)
#else
#define HLM_DEFAULT_GUARD ((UINT_PTR)0xBB40E64Eu)
#endif

/* Read by the canary code the compiler emits. Never 0: a zero guard would match a string's
 * terminating zero written over it. */
UINT_PTR __stack_chk_guard = HLM_DEFAULT_GUARD;

__attribute__((constructor)) static void SeedStackGuard(void)
{
    UINT_PTR value = 0;
    if (!RtlGenRandom(&value, sizeof value) || value == 0) {
        /* The mix a system runtime uses when no random source answers. */
        LARGE_INTEGER counter;
        FILETIME now;
        QueryPerformanceCounter(&counter);
        GetSystemTimeAsFileTime(&now);
        value = HLM_DEFAULT_GUARD ^ (UINT_PTR)counter.QuadPart ^ now.dwLowDateTime ^
                ((UINT_PTR)GetCurrentProcessId() << 8) ^ GetCurrentThreadId() ^ (UINT_PTR)&value;
    }
    if (value != 0)
        __stack_chk_guard = value;
}

/* A canary was overwritten: the stack can no longer be trusted, so nothing of the process's
 * own code may run. End it at once, as the system does for its own stack cookies. */
__attribute__((noreturn)) void __stack_chk_fail(void)
{
    OutputDebugStringA("stack buffer overrun detected; ending the process\n");
    TerminateProcess(GetCurrentProcess(), (UINT)STATUS_STACK_BUFFER_OVERRUN);
    for (;;)
        ExitProcess((UINT)STATUS_STACK_BUFFER_OVERRUN);
}
