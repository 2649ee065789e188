#!/usr/bin/env bash
# Checks what the linker made of the deliverables in each build folder given: real PE files
# with the imports they must have (and no GCC runtime DLL), hardened for ASLR and DEP.
set -u
fail=0
check() { # file, description, command...
    local file=$1 what=$2; shift 2
    if ! "$@"; then echo "check-binaries: $file: $what" >&2; fail=1; fi
}
for build in "$@"; do
    bin="$build/bin"
    case "$(basename "$build")" in x86) od=i686-w64-mingw32-objdump ;; *) od=x86_64-w64-mingw32-objdump ;; esac
    for f in HLMMain.exe ProbixXp.dll ProbixVista.dll ProbixWin7.dll TavDLL.dll; do
        dump=$($od -p "$bin/$f" 2>/dev/null) || { echo "check-binaries: $bin/$f missing" >&2; fail=1; continue; }
        check "$bin/$f" "GCC runtime DLL imported" \
            bash -c '! grep -qiE "DLL Name: (libgcc|libstdc|libssp|libwinpthread)" <<<"$0"' "$dump"
        check "$bin/$f" "not ASLR/DEP" bash -c 'grep -q DYNAMIC_BASE <<<"$0" && grep -q NX_COMPAT <<<"$0"' "$dump"
        check "$bin/$f" "no relocation section" bash -c 'grep -q "Base Relocation Directory.*[1-9a-f]" <<<"$0" || grep -q "\.reloc" <<<"$0"' "$dump"
    done
    imports() { $od -p "$bin/$1" | grep -i "DLL Name: $2" >/dev/null; }
    check ProbixWin7.dll "does not import PAVI3.dll" imports ProbixWin7.dll PAVI3.dll
    check ProbixVista.dll "does not import PAVI2.dll" imports ProbixVista.dll PAVI2.dll
    check ProbixXp.dll "does not import PAVI2.dll" imports ProbixXp.dll PAVI2.dll
    check HLMMain.exe "does not import TavDLL.dll" imports HLMMain.exe TavDLL.dll
done
[ $fail = 0 ] && echo "check-binaries: deliverables of $* are in order"
exit $fail
