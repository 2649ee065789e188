#!/usr/bin/env bash
# Checks what the linker made of the deliverables in each build folder given: real PE files
# with the imports they must have (and no GCC runtime DLL), hardened for ASLR and DEP.
set -u
fail=0
say() { echo "check-binaries: $*" >&2; fail=1; }
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
for build in "$@"; do
    bin="$build/bin"
    case "$(basename "$build")" in x86) od=i686-w64-mingw32-objdump ;; *) od=x86_64-w64-mingw32-objdump ;; esac
    for f in HLMMain.exe ProbixXp.dll ProbixVista.dll ProbixWin7.dll TavDLL.dll; do
        # The headers and import tables only: the resource directory of HLMMain is large.
        if ! $od -p "$bin/$f" 2>/dev/null | grep -E 'DLL Name|DllCharacteristics|DYNAMIC_BASE|NX_COMPAT|Base Relocation Directory' >"$dump"; then
            say "$bin/$f missing or not a PE file"; continue
        fi
        grep -qiE 'DLL Name: (libgcc|libstdc|libssp|libwinpthread)' "$dump" && say "$bin/$f imports a GCC runtime DLL"
        { grep -q DYNAMIC_BASE "$dump" && grep -q NX_COMPAT "$dump"; } || say "$bin/$f is not marked for ASLR and DEP"
        grep -qE 'Base Relocation Directory.*[1-9a-f]' "$dump" || say "$bin/$f has no relocation section"
    done
    imports() { $od -p "$bin/$1" | grep -qi "DLL Name: $2" || say "$bin/$1 does not import $2"; }
    imports ProbixWin7.dll PAVI3.dll
    imports ProbixVista.dll PAVI2.dll
    imports ProbixXp.dll PAVI2.dll
    imports HLMMain.exe TavDLL.dll
done
[ $fail = 0 ] && echo "check-binaries: deliverables of $* are in order"
exit $fail
