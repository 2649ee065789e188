#!/usr/bin/env bash
# Builds HLMMain.exe and the benchmarks (x64 preset) and runs them under Wine as the tests run:
# through build/x64/wine-run.sh, in the test prefix, on the build's virtual display.
#
#   bench/run.sh [--runs N] [--switches N] [--diagnoses N]
#                [--only startup|memory|diagnosis|sysinfo]
#
# Only one HLMMain may run in a prefix, so do not run this while UI tests of build/x64 run.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=10
switches=1000
diagnoses=50
only=
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs="$2"; shift 2 ;;
        --switches) switches="$2"; shift 2 ;;
        --diagnoses) diagnoses="$2"; shift 2 ;;
        --only) only="$2"; shift 2 ;;
        *) echo "usage: bench/run.sh [--runs N] [--switches N] [--diagnoses N]" \
                "[--only startup|memory|diagnosis|sysinfo]" >&2; exit 2 ;;
    esac
done

tools/install-deps.sh
[ -f build/x64/build.ninja ] || cmake --preset x64 >/dev/null
cmake --build --preset x64 --target HLMMain ProbixWin7 ProbixVista ProbixXp PAVI2 PAVI3 \
    Korvex64 HLM3dTest HLMMainBench bench_bare_dialog bench_startup bench_memory bench_diagnosis \
    bench_tavdll bench_wmi_floor bench_sysinfo

run="$PWD/build/x64/wine-run.sh"
bin="$PWD/build/x64/bin"
status=0
want() { [ -z "$only" ] || [ "$only" = "$1" ]; }
if want startup; then
    echo
    "$run" "$bin/bench_startup.exe" --runs "$runs" || status=1
fi
if want memory; then
    echo
    "$run" "$bin/bench_memory.exe" --switches "$switches" || status=1
fi
if want diagnosis; then
    echo
    "$run" "$bin/bench_diagnosis.exe" --runs 5 --diagnoses "$diagnoses" || status=1
fi
if want sysinfo; then
    echo
    "$run" "$bin/bench_sysinfo.exe" --runs "$runs" || status=1
fi
exit $status
