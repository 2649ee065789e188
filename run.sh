#!/usr/bin/env bash
# Builds Helmora, prepares the simulated notebook and starts HLMMain.exe on it.
# With a display ($DISPLAY) the window opens there and the script waits until it is closed;
# without one it runs on a virtual display, saves a screenshot and closes the program.
# Options are passed to tools/setup-notebook.sh (--windows xp|vista|7, --model NAME, ...),
# except --diagnose: without a display, also run a diagnosis of every category and save a
# screenshot of its result.
set -euo pipefail
cd "$(dirname "$0")"
diagnose=0
options=()
for option in "$@"; do
    if [ "$option" = --diagnose ]; then diagnose=1; else options+=("$option"); fi
done
tools/install-deps.sh

cmake --preset x64 >/dev/null
cmake --build --preset x64 --target HLMMain ProbixWin7 ProbixVista ProbixXp PAVI2 PAVI3 \
    Korvex64 HLM3dTest HLMStandInService hlm_test_wav RunManual PTWClientApp hlm_testtool

build="$PWD/build/x64"
. tools/wine-env.sh
HLM_PREFIX_NAME=notebook
# The prefix's desktop takes the display of the first Wine program, so the display comes first.
headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    hlm_display "$build"
fi
hlm_wine_init "$build"
program=$(tools/setup-notebook.sh "$build" ${options[@]+"${options[@]}"})

if [ $headless = 0 ]; then
    echo "Starting $program on $DISPLAY"
    wine "$program"
    exit 0
fi

shots="$build/screenshots"
mkdir -p "$shots"
echo "No display: running $program on the virtual display $DISPLAY"
wine "$program" &
pid=$!
tool="$build/bin/HlmTestTool.exe"
if wine "$tool" shot CHLMMainDlgMain Helmora "$(winepath -w "$shots/run-main-window.png")" 120000; then
    echo "Screenshot: $shots/run-main-window.png"
    status=0
else
    echo "The window titled \"Helmora\" did not appear" >&2
    status=1
fi
if [ $status = 0 ] && [ $diagnose = 1 ]; then
    if wine "$tool" diagnose "$(winepath -w "$shots/run-diagnosis.png")"; then
        echo "Screenshot: $shots/run-diagnosis.png"
    else
        echo "The diagnosis did not end" >&2
        status=1
    fi
fi
wine "$tool" close CHLMMainDlgMain Helmora || true
wait "$pid" || true
hlm_wine_stop "$build"
exit $status
